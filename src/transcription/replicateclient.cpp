#include "transcription/replicateclient.h"

#include "core/httpbody.h"
#include "core/networkclientrelease.h"
#include "platform/desktop.h"
#include "transcription/backgroundwork.h"
#include "transcription/predictionanswer.h"
#include "transcription/servicerequest.h"
#include "transcription/textbytes.h"

#include <QJsonDocument>
#include <QJsonValue>
#include <QLocale>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>

#include <memory>

namespace {

const QString kCreatePath = QStringLiteral("/v1/predictions");
const QString kFetchPath = QStringLiteral("/v1/predictions/");
// Answers from this size on are decoded away from the interface thread.
constexpr qsizetype kBackgroundDecodeBytes = 1024 * 1024;

void appendJsonEscaped(QByteArray& out, const QString& value)
{
    static const char hex[] = "0123456789abcdef";
    for (const char c : value.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        switch (byte) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                out += "\\u00";
                out += hex[byte >> 4];
                out += hex[byte & 0x0f];
            } else {
                out += c;
            }
        }
    }
}

// Statuses that Qt reports as errors although the server answered them.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    const int code = error;
    return (code >= 201 && code <= 299) || error == QNetworkReply::ProtocolInvalidOperationError ||
           (code >= 401 && code <= 499);
}

} // namespace

bool TryGetJsonString(const QJsonObject& object, const QString& path, QString& text)
{
    text.clear();
    const QJsonValue value = object.value(path);
    switch (value.type()) {
    case QJsonValue::String:
        text = value.toString();
        return true;
    case QJsonValue::Bool:
        text = value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
        return true;
    case QJsonValue::Double: {
        const double number = value.toDouble();
        const qint64 whole = value.toInteger(-1);
        text = (double(whole) == number)
                   ? QString::number(whole)
                   : QString::number(number, 'g', QLocale::FloatingPointShortest);
        return true;
    }
    default:
        return false;
    }
}

QByteArray CreatePredictionBody(const QString& version, const QString& audioUrl,
                                const QString& modelName, const QString& format)
{
    QByteArray body;
    body += "{\"version\": \"";
    appendJsonEscaped(body, version);
    body += "\", \"input\": {\"audio_path\": \"";
    appendJsonEscaped(body, audioUrl);
    body += "\", \"model_name\": \"";
    appendJsonEscaped(body, modelName);
    body += "\", \"format\": \"";
    appendJsonEscaped(body, format);
    body += "\"}}";
    return body;
}

FetchVerdict ClassifyFetch(const FetchAnswer& answer)
{
    if (!answer.answered)
        return FetchVerdict::Transient;
    // A page of a proxy or a gateway in front of the service, whatever its status: the
    // service itself answers in JSON.
    const bool html = answer.contentType.toLower().contains("text/html") ||
                      answer.body.startsWith(QLatin1Char('<'));
    const int status = answer.status;
    if (html || status == 408 || status == 425 || status == 429 || status >= 500)
        return FetchVerdict::Transient;
    if (status >= 200 && status <= 299)
        return FetchVerdict::Answer;
    switch (status) {
    case 401:
    case 403:
        return FetchVerdict::Credentials;
    case 402:
        return FetchVerdict::Billing;
    case 404:
    case 410:
        return FetchVerdict::Gone;
    default:
        return FetchVerdict::Refused;
    }
}

CreateRefusal CreateRefusalFor(int httpStatus)
{
    using Focus = CreateRefusal::Focus;
    switch (httpStatus) {
    case 400:
        return {Focus::AudioUrl,
                QStringLiteral("HTTP response code: 400 (Bad Request)\r\rCheck parameters!")};
    case 401:
        return {Focus::ApiKey,
                QStringLiteral("HTTP response code: 401 (Unauthorized)\r\rInvalid API Key!")};
    case 402:
        return {Focus::None, QStringLiteral("HTTP response code: 402 (Payment Required)\r\r"
                                            "Manage Billing in Replicate!")};
    case 422:
        return {Focus::AudioUrl,
                QStringLiteral("HTTP response code: 422 (Unprocessable Content)\r\rCheck URL!")};
    default:
        return {Focus::None, QStringLiteral("HTTP response code: %1").arg(httpStatus), false};
    }
}

ReplicateClient::ReplicateClient(Endpoints endpoints, Desktop& desktop,
                                 PredictionFeedback& feedback, RequestTimeouts timeouts,
                                 QObject* parent)
    : QObject(parent)
    , m_endpoints(std::move(endpoints))
    , m_desktop(desktop)
    , m_feedback(feedback)
    , m_timeouts(timeouts)
{
}

ReplicateClient::~ReplicateClient()
{
    // Requests still under way are abandoned: their completions must not run into a caller
    // that is going away with this client.
    for (QNetworkReply* reply : findChildren<QNetworkReply*>())
        reply->disconnect();
}

QNetworkRequest ReplicateClient::requestFor(const QString& path, const QString& apiKey) const
{
    return ServiceRequest(m_endpoints, path, apiKey);
}

void ReplicateClient::send(const QByteArray& method, QNetworkRequest request,
                           const QByteArray& body, std::function<void(const Outcome&)> done)
{
    // A client of its own for every request: nothing carries over from one to the next.
    auto* manager = new QNetworkAccessManager(this);
    QNetworkReply* reply = method == "POST" ? manager->post(request, body) : manager->get(request);
    reply->setParent(manager);

    auto* connectionTimer = new QTimer(manager);
    connectionTimer->setSingleShot(true);
    connectionTimer->setInterval(m_timeouts.connectionMs);
    auto* responseTimer = new QTimer(manager);
    responseTimer->setSingleShot(true);
    responseTimer->setInterval(m_timeouts.responseMs);
    auto timedOut = std::make_shared<QString>();

    connect(connectionTimer, &QTimer::timeout, reply, [reply, timedOut, url = request.url()] {
        *timedOut = QStringLiteral("The connection to %1 timed out.").arg(url.host());
        reply->abort();
    });
    connect(responseTimer, &QTimer::timeout, reply, [reply, timedOut, url = request.url()] {
        *timedOut = QStringLiteral("The server %1 did not answer in time.").arg(url.host());
        reply->abort();
    });
    connect(reply, &QNetworkReply::requestSent, reply, [connectionTimer, responseTimer] {
        connectionTimer->stop();
        responseTimer->start();
    });
    // The response time-out counts the silence between pieces of the answer, so a large
    // answer that keeps arriving is not cut off.
    connect(reply, &QNetworkReply::downloadProgress, reply, [responseTimer] {
        if (responseTimer->isActive())
            responseTimer->start();
    });
    connect(reply, &QNetworkReply::finished, reply,
            [this, reply, manager, connectionTimer, responseTimer, timedOut, done] {
                connectionTimer->stop();
                responseTimer->stop();
                Outcome outcome;
                QByteArray body;
                const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
                const QNetworkReply::NetworkError error = reply->error();
                if (timedOut->isEmpty() && status.isValid() &&
                    (error == QNetworkReply::NoError || isHttpStatusError(error))) {
                    outcome.answered = true;
                    outcome.status = status.toInt();
                    outcome.contentType = reply->rawHeader("Content-Type");
                    outcome.retryAfter = reply->rawHeader("Retry-After");
                    body = reply->readAll();
                } else {
                    outcome.failure = timedOut->isEmpty() ? reply->errorString() : *timedOut;
                }
                // The completion may show a box with its own event loop; the client goes
                // once control is back in the loop that runs it.
                ReleaseNetworkClient(manager);
                if (body.size() < kBackgroundDecodeBytes) {
                    outcome.body = DecodeHttpBody(body, outcome.contentType);
                    done(outcome);
                    return;
                }
                // A large answer (a long recording's subtitles) is decoded on a worker
                // thread, so that the window keeps painting meanwhile.
                RunInBackground<QString>(
                    this,
                    [body, contentType = outcome.contentType] {
                        return DecodeHttpBody(body, contentType);
                    },
                    [outcome, done](const QString& text) mutable {
                        outcome.body = text;
                        done(outcome);
                    });
            });
    connectionTimer->start();
}

void ReplicateClient::CreatePrediction(const QString& apiKey, const QString& modelVersion,
                                       const QString& audioUrl, const QString& modelName,
                                       const QString& format,
                                       std::function<void(const TReplicateResponse&)> done)
{
    QNetworkRequest request = requestFor(kCreatePath, apiKey);
    request.setRawHeader("Content-Type", "application/json");
    const QByteArray body = CreatePredictionBody(modelVersion, audioUrl, modelName, format);
    send("POST", request, body, [this, done](const Outcome& outcome) {
        TReplicateResponse response;
        if (!outcome.answered) {
            m_feedback.setStatePanel(QStringLiteral("Failed"));
            m_desktop.showMessage(QStringLiteral("ERROR"), outcome.failure, MessageIcon::Error);
        } else if (outcome.status == 429 && m_throttledCreateLeftToCaller) {
            response.FResponse = outcome.body;
        } else if (outcome.status == 201) {
            response.FResponse = outcome.body;
            const CreateAnswer answer = ParseCreateAnswer(outcome.body);
            response.FStatus = answer.status;
            response.FID = answer.id;
        } else {
            const CreateRefusal refusal = CreateRefusalFor(outcome.status);
            if (refusal.focus == CreateRefusal::Focus::ApiKey)
                m_feedback.FocusReplicateAPIKey();
            else if (refusal.focus == CreateRefusal::Focus::AudioUrl)
                m_feedback.FocusReplicateAudio();
            m_feedback.setStatePanel(QStringLiteral("Failed"));
            m_desktop.showMessage(QStringLiteral("WARNING"), refusal.message, MessageIcon::Warning);
            if (!refusal.listed)
                response.FResponse = outcome.body;
        }
        response.httpStatus = outcome.answered ? outcome.status : 0;
        response.retryAfter = outcome.retryAfter;
        response.FResponse = Utf8Trim(response.FResponse);
        done(response);
    });
}

void ReplicateClient::FetchPrediction(const QString& apiKey, const QString& predictionId,
                                      std::function<void(const QString&)> done)
{
    send("GET", requestFor(kFetchPath + predictionId, apiKey), {},
         [this, done](const Outcome& outcome) {
             QString result;
             if (outcome.answered) {
                 result = outcome.body;
             } else {
                 result = kFetchErrorSentinel;
                 m_desktop.showMessage(QStringLiteral("ERROR"), outcome.failure,
                                       MessageIcon::Error);
             }
             done(Utf8Trim(result));
         });
}

void ReplicateClient::FetchPredictionAnswer(const QString& apiKey, const QString& predictionId,
                                            std::function<void(const FetchAnswer&)> done)
{
    send("GET", requestFor(kFetchPath + predictionId, apiKey), {}, [done](const Outcome& outcome) {
        FetchAnswer answer;
        answer.answered = outcome.answered;
        answer.failure = outcome.failure;
        answer.status = outcome.status;
        answer.contentType = outcome.contentType;
        answer.retryAfter = outcome.retryAfter;
        answer.body = Utf8Trim(outcome.body);
        done(answer);
    });
}
