#include "transcription/predictionanswer.h"

#include "transcription/replicateclient.h"
#include "transcription/textbytes.h"

#include <QJsonDocument>
#include <QJsonObject>

// QJsonDocument refuses input nested deeper than its limit (1024 levels) as a parse error,
// without recursing further, so a hostile answer only ever reads as "not an object".

CreateAnswer ParseCreateAnswer(const QString& body)
{
    CreateAnswer answer;
    const QJsonDocument document = QJsonDocument::fromJson(body.toUtf8());
    if (!document.isObject())
        return answer;
    const QJsonObject object = document.object();
    QString value;
    if (TryGetJsonString(object, QStringLiteral("status"), value))
        answer.status = AsciiLowerCase(value);
    if (TryGetJsonString(object, QStringLiteral("id"), value))
        answer.id = value;
    return answer;
}

PredictionAnswer ParsePredictionAnswer(const QString& answer)
{
    PredictionAnswer parsed;
    const QJsonDocument document = QJsonDocument::fromJson(answer.toUtf8());
    if (!document.isObject())
        return parsed;
    const QJsonObject object = document.object();
    parsed.hasStatus = TryGetJsonString(object, QStringLiteral("status"), parsed.status) &&
                       !parsed.status.isEmpty();
    TryGetJsonString(object, QStringLiteral("error"), parsed.error);
    const QJsonValue output = object.value(QStringLiteral("output"));
    if (output.isObject())
        parsed.hasSubtitles =
            TryGetJsonString(output.toObject(), QStringLiteral("subtitles"), parsed.subtitles);
    return parsed;
}

PredictionReading ReadPredictionAnswer(const QString& answer, SubtitleFormat format)
{
    PredictionReading reading;
    reading.format = format;
    reading.answer = ParsePredictionAnswer(answer);
    if (reading.answer.status == QLatin1String("succeeded") && reading.answer.hasSubtitles) {
        // The model's subtitles are not in the standard form that players read.
        SubtitleConversion standard =
            ConvertSubtitles(reading.answer.subtitles, format, format, true);
        reading.standard = standard.text.has_value();
        reading.subtitles = reading.standard ? std::move(*standard.text) : reading.answer.subtitles;
        // The job goes on with the subtitles it shows; the delivered ones are not kept twice.
        reading.answer.subtitles.clear();
    }
    return reading;
}
