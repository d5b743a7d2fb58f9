#pragma once

// Subtitle texts shared by the subtitle tests.
#include <QFile>
#include <QString>

// The model's WebVTT and SubRip: no blank lines, hours only when not zero and unpadded,
// "." before the milliseconds in both, a space before each cue's text.
inline const QString kModelWebVtt = QStringLiteral("WEBVTT\n"
                                                   "00:00.000 --> 00:03.480\n"
                                                   " Grüße aus Köln, sagte die Straßenbahn.\n"
                                                   "00:03.480 --> 00:07.120\n"
                                                   " Ça va très bien — 東京 too.\n"
                                                   "1:00:07.120 --> 1:00:09.000\n"
                                                   " The end.\n");
inline const QString kModelSubRip = QStringLiteral("1\n"
                                                   "00:00.000 --> 00:03.480\n"
                                                   " Grüße aus Köln, sagte die Straßenbahn.\n"
                                                   "2\n"
                                                   "00:03.480 --> 00:07.120\n"
                                                   " Ça va très bien — 東京 too.\n");

// The features of standard WebVTT, written loosely: byte-order mark, CR LF, extra blank
// lines, unpadded hours, a "," before milliseconds, no blanks around the arrow, a missing
// blank line before an empty cue, "-->" unescaped in cue text.
inline const QString kLooseFeatures =
    QStringLiteral("\uFEFFWEBVTT - Interview\r\nKind: captions\r\n\r\n\r\n"
                   "STYLE\r\n::cue { color: yellow }\r\n\r\n"
                   "NOTE recorded in Köln\r\n\r\n"
                   "intro\r\n0:00:00.000 --> 0:00:02,500 align:start position:10%\r\n"
                   "<v Anna>Guten Tag.\r\nZweite Zeile -&gt; weiter\r\n\r\n"
                   "00:02.000-->00:04.000\r\nTom --> Jerry\r\n"
                   "00:04.000 --> 00:04.000\r\n\r\n\r\n"
                   "NOTE\r\nend of the first part\r\n\r\n"
                   "100:00:00.000 --> 123:59:59.999\r\nSpät.\r\n");

// A golden file of tests/transcription/golden, as text.
inline QString golden(const char* name)
{
    QFile file(QString::fromUtf8(SUBTITLE_GOLDEN_DIR "/") + QLatin1String(name));
    if (!file.open(QIODevice::ReadOnly))
        return QStringLiteral("<missing golden file %1>").arg(QLatin1String(name));
    return QString::fromUtf8(file.readAll());
}

// A talk of the given number of cues in the model's WebVTT, 2.7 s each: hours only when not
// zero and unpadded, the model's space before each text, every text holding "-->".
inline QString ModelTalk(int cues)
{
    const auto time = [](qint64 ms) {
        const qint64 hours = ms / 3600000;
        const QString rest = QString::asprintf("%02d:%02d.%03d", int(ms / 60000 % 60),
                                               int(ms / 1000 % 60), int(ms % 1000));
        return hours > 0 ? QString::number(hours) + QLatin1Char(':') + rest : rest;
    };
    QString talk = QStringLiteral("WEBVTT\n");
    for (int cue = 0; cue < cues; ++cue) {
        const qint64 start = qint64(cue) * 2700;
        talk += time(start) + QStringLiteral(" --> ") + time(start + 2700) +
                QStringLiteral("\n Cue %1 of the talk --> next.\n").arg(cue);
    }
    return talk;
}
