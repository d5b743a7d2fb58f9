#include "transcription/filesclient.h"

#include "core/httpbody.h"
#include "core/networkclientrelease.h"
#include "transcription/servicerequest.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QHttpMultiPart>
#include <QHttpPart>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRandomGenerator>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace {

const QString kFilesPath = QStringLiteral("/v1/files");
const QString kPredictionsPath = QStringLiteral("/v1/predictions/");
constexpr int kMaxFileNameBytes = 255;
// An extension up to this long survives when a long name is cut.
constexpr int kMaxKeptExtensionBytes = 16;

// Statuses that Qt reports as errors although the server answered them.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    const int code = error;
    return (code >= 201 && code <= 299) || (code >= 401 && code <= 499) ||
           error == QNetworkReply::ProtocolInvalidOperationError;
}

// One character's bytes in the file name: those that would end the quoted value or the
// header line are percent-encoded.
QByteArray fileNameBytes(char32_t codePoint)
{
    const QByteArray utf8 = QString::fromUcs4(&codePoint, 1).toUtf8();
    if (codePoint < 0x20 || codePoint == 0x7f || codePoint == '"' || codePoint == '\\') {
        return '%' + QByteArray::number(uint(codePoint), 16).toUpper().rightJustified(2, '0');
    }
    return utf8;
}

QByteArray encodedName(const QString& name)
{
    QByteArray out;
    for (const char32_t codePoint : name.toUcs4())
        out += fileNameBytes(codePoint);
    return out;
}

// The encoded name cut to the byte budget, never inside a character or an escape.
QByteArray cutName(const QString& name, int budget)
{
    QByteArray out;
    for (const char32_t codePoint : name.toUcs4()) {
        const QByteArray bytes = fileNameBytes(codePoint);
        if (out.size() + bytes.size() > budget)
            break;
        out += bytes;
    }
    return out;
}

QByteArray newBoundary()
{
    QByteArray random(16, Qt::Uninitialized);
    for (char& c : random)
        c = char(QRandomGenerator::global()->bounded(256));
    return "parlotext-" + random.toHex();
}

// The answer's decoded body and its status, or the failure, of a finished reply.
FilesOutcome outcomeOf(QNetworkReply* reply, const QString& timedOut)
{
    FilesOutcome outcome;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QNetworkReply::NetworkError error = reply->error();
    if (timedOut.isEmpty() && status.isValid() &&
        (error == QNetworkReply::NoError || isHttpStatusError(error))) {
        outcome.answered = true;
        outcome.status = status.toInt();
        outcome.body = DecodeHttpBody(reply->readAll(), reply->rawHeader("Content-Type"));
        outcome.detail = ServiceDetail(outcome.body);
    } else {
        outcome.failure = timedOut.isEmpty() ? reply->errorString() : timedOut;
    }
    return outcome;
}

// An identifier from the service as one path segment: a slash or a question mark in it
// cannot point the request elsewhere.
QString pathSegment(const QString& identifier)
{
    return QString::fromLatin1(QUrl::toPercentEncoding(identifier));
}

} // namespace

QByteArray UploadFileName(const QString& localPath)
{
    const QString name = QFileInfo(localPath).fileName();
    const QByteArray whole = encodedName(name);
    if (whole.size() <= kMaxFileNameBytes)
        return whole;
    // Too long: cut the stem and keep a short extension, so the type stays visible.
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QByteArray extension = dot > 0 ? encodedName(name.mid(dot)) : QByteArray();
    if (!extension.isEmpty() && extension.size() <= kMaxKeptExtensionBytes)
        return cutName(name.left(dot), kMaxFileNameBytes - int(extension.size())) + extension;
    return cutName(name, kMaxFileNameBytes);
}

QByteArray UploadContentType(const QString& localPath)
{
    static const QHash<QString, QByteArray> types = {
        {QStringLiteral("mp3"), "audio/mpeg"},       {QStringLiteral("wav"), "audio/wav"},
        {QStringLiteral("flac"), "audio/flac"},      {QStringLiteral("ogg"), "audio/ogg"},
        {QStringLiteral("oga"), "audio/ogg"},        {QStringLiteral("opus"), "audio/opus"},
        {QStringLiteral("m4a"), "audio/mp4"},        {QStringLiteral("aac"), "audio/aac"},
        {QStringLiteral("wma"), "audio/x-ms-wma"},   {QStringLiteral("webm"), "video/webm"},
        {QStringLiteral("mp4"), "video/mp4"},        {QStringLiteral("m4v"), "video/mp4"},
        {QStringLiteral("mkv"), "video/x-matroska"}, {QStringLiteral("avi"), "video/x-msvideo"},
        {QStringLiteral("mpg"), "video/mpeg"},       {QStringLiteral("mpeg"), "video/mpeg"},
        {QStringLiteral("mov"), "video/quicktime"},  {QStringLiteral("wmv"), "video/x-ms-wmv"},
        {QStringLiteral("flv"), "video/x-flv"},      {QStringLiteral("ts"), "video/mp2t"},
        {QStringLiteral("3gp"), "video/3gpp"},
    };
    const QString extension = QFileInfo(localPath).suffix().toLower();
    return types.value(extension, QByteArrayLiteral("application/octet-stream"));
}

QString ServiceDetail(const QString& body)
{
    const QJsonDocument document = QJsonDocument::fromJson(body.toUtf8());
    if (!document.isObject())
        return {};
    const QJsonValue detail = document.object().value(QStringLiteral("detail"));
    return detail.isString() ? detail.toString() : QString();
}

FilesClient::FilesClient(Endpoints endpoints, RequestTimeouts timeouts, QObject* parent)
    : QObject(parent)
    , m_endpoints(std::move(endpoints))
    , m_timeouts(timeouts)
{
}

FilesClient::~FilesClient()
{
    // Requests still under way are abandoned: their completions must not run into a caller
    // that is going away with this client.
    for (QNetworkReply* reply : findChildren<QNetworkReply*>())
        reply->disconnect();
}

bool FilesClient::uploading() const
{
    return m_upload && m_upload->isRunning();
}

void FilesClient::abortUpload()
{
    if (!uploading())
        return;
    m_upload->setProperty("aborted", true);
    m_upload->abort();
}

// Sends one request on a client of its own, with the connection time-out until the first
// byte of the body (or the request) is out, and the silence time-out afterwards, counted
// between pieces sent and received. The completion comes through the event loop.
static QNetworkReply*
sendRequest(FilesClient* owner, const RequestTimeouts& timeouts,
            const std::function<QNetworkReply*(QNetworkAccessManager&)>& start,
            std::function<void(QNetworkReply*, const QString&)> finished)
{
    auto* manager = new QNetworkAccessManager(owner);
    QNetworkReply* reply = start(*manager);
    reply->setParent(manager);

    auto* connectionTimer = new QTimer(manager);
    connectionTimer->setSingleShot(true);
    connectionTimer->setInterval(timeouts.connectionMs);
    auto* silenceTimer = new QTimer(manager);
    silenceTimer->setSingleShot(true);
    silenceTimer->setInterval(timeouts.responseMs);
    auto timedOut = std::make_shared<QString>();
    const QString host = reply->request().url().host();

    QObject::connect(connectionTimer, &QTimer::timeout, reply, [reply, timedOut, host] {
        *timedOut = QStringLiteral("The connection to %1 timed out.").arg(host);
        reply->abort();
    });
    QObject::connect(silenceTimer, &QTimer::timeout, reply, [reply, timedOut, host] {
        *timedOut = QStringLiteral("The server %1 did not answer in time.").arg(host);
        reply->abort();
    });
    auto progressed = [connectionTimer, silenceTimer] {
        connectionTimer->stop();
        silenceTimer->start();
    };
    QObject::connect(reply, &QNetworkReply::uploadProgress, reply,
                     [progressed](qint64 sent, qint64) {
                         if (sent > 0)
                             progressed();
                     });
    QObject::connect(reply, &QNetworkReply::requestSent, reply, progressed);
    QObject::connect(reply, &QNetworkReply::downloadProgress, reply, progressed);
    QObject::connect(reply, &QNetworkReply::finished, reply,
                     [reply, manager, connectionTimer, silenceTimer, timedOut, finished] {
                         connectionTimer->stop();
                         silenceTimer->stop();
                         // Read the reply now; the caller hears of it from the event loop, never
                         // from inside the call that aborted the request.
                         finished(reply, *timedOut);
                         ReleaseNetworkClient(manager);
                     });
    connectionTimer->start();
    return reply;
}

void FilesClient::UploadFile(const QString& apiKey, const QString& localPath, Progress progress,
                             std::function<void(const UploadOutcome&)> done)
{
    abortUpload();

    auto deliver = [this, done](UploadOutcome outcome) {
        QMetaObject::invokeMethod(
            this, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
    };

    UploadOutcome early;
    const QFileInfo info(localPath);
    early.fileSize = info.isFile() ? info.size() : 0;
    if (!info.isFile()) {
        early.kind = UploadOutcome::Kind::Unreadable;
        early.failure = info.exists() ? QStringLiteral("%1 is not a file.").arg(localPath)
                                      : QStringLiteral("%1 does not exist.").arg(localPath);
        deliver(early);
        return;
    }
    if (early.fileSize > kMaxUploadBytes) {
        early.kind = UploadOutcome::Kind::TooLarge;
        deliver(early);
        return;
    }
    auto file = std::make_unique<QFile>(localPath);
    if (!file->open(QIODevice::ReadOnly)) {
        early.kind = UploadOutcome::Kind::Unreadable;
        early.failure = file->errorString();
        deliver(early);
        return;
    }

    const QByteArray boundary = newBoundary();
    auto* multiPart = new QHttpMultiPart(QHttpMultiPart::FormDataType);
    multiPart->setBoundary(boundary);
    QHttpPart content;
    content.setRawHeader("Content-Disposition", "form-data; name=\"content\"; filename=\"" +
                                                    UploadFileName(localPath) + '"');
    content.setRawHeader("Content-Type", UploadContentType(localPath));
    // The part reads the file as the request goes out: it is never whole in memory.
    content.setBodyDevice(file.get());
    file.release()->setParent(multiPart);
    multiPart->append(content);

    QNetworkRequest request = ServiceRequest(m_endpoints, kFilesPath, apiKey);
    request.setRawHeader("Content-Type", "multipart/form-data; boundary=" + boundary);

    const qint64 fileSize = early.fileSize;
    QNetworkReply* reply = sendRequest(
        this, m_timeouts,
        [&request, multiPart](QNetworkAccessManager& manager) {
            QNetworkReply* started = manager.post(request, multiPart);
            multiPart->setParent(started);
            return started;
        },
        [this, deliver, fileSize](QNetworkReply* finished, const QString& timedOut) {
            // A finished upload is no longer this client's to abort; its reply goes with
            // its network client, on another thread.
            if (m_upload == finished)
                m_upload.clear();
            UploadOutcome outcome;
            static_cast<FilesOutcome&>(outcome) = outcomeOf(finished, timedOut);
            outcome.fileSize = fileSize;
            if (finished->property("aborted").toBool()) {
                outcome = UploadOutcome{};
                outcome.fileSize = fileSize;
                outcome.kind = UploadOutcome::Kind::Aborted;
                outcome.failure = QStringLiteral("The upload was stopped.");
            } else if (!outcome.answered) {
                outcome.kind = UploadOutcome::Kind::Transport;
            } else if (outcome.status != 201) {
                outcome.kind = UploadOutcome::Kind::Refused;
            } else {
                const QJsonDocument document = QJsonDocument::fromJson(outcome.body.toUtf8());
                const QJsonObject file = document.object();
                outcome.fileId = file.value(QStringLiteral("id")).toString();
                outcome.url = file.value(QStringLiteral("urls"))
                                  .toObject()
                                  .value(QStringLiteral("get"))
                                  .toString();
                outcome.kind = outcome.fileId.isEmpty() || outcome.url.isEmpty()
                                   ? UploadOutcome::Kind::BadAnswer
                                   : UploadOutcome::Kind::Uploaded;
            }
            deliver(outcome);
        });
    if (progress) {
        connect(reply, &QNetworkReply::uploadProgress, this, [progress](qint64 sent, qint64 total) {
            if (total > 0)
                progress(sent, total);
        });
    }
    m_upload = reply;
}

void FilesClient::DeleteFile(const QString& apiKey, const QString& fileId,
                             std::function<void(bool)> done)
{
    QNetworkRequest request =
        ServiceRequest(m_endpoints, kFilesPath + QLatin1Char('/') + pathSegment(fileId), apiKey);
    sendRequest(
        this, m_timeouts,
        [&request](QNetworkAccessManager& manager) { return manager.deleteResource(request); },
        [this, done](QNetworkReply* finished, const QString& timedOut) {
            const FilesOutcome outcome = outcomeOf(finished, timedOut);
            const bool gone =
                outcome.answered &&
                ((outcome.status >= 200 && outcome.status < 300) || outcome.status == 404);
            QMetaObject::invokeMethod(
                this, [done, gone] { done(gone); }, Qt::QueuedConnection);
        });
}

void FilesClient::CancelPrediction(const QString& apiKey, const QString& predictionId,
                                   std::function<void(const FilesOutcome&)> done)
{
    QNetworkRequest request = ServiceRequest(
        m_endpoints, kPredictionsPath + pathSegment(predictionId) + QStringLiteral("/cancel"),
        apiKey);
    // A POST without a body, as the service's own examples send it; the length says so,
    // or a server would wait for a body until the connection closes.
    request.setRawHeader("Content-Length", "0");
    sendRequest(
        this, m_timeouts,
        [&request](QNetworkAccessManager& manager) {
            return manager.sendCustomRequest(request, "POST");
        },
        [this, done](QNetworkReply* finished, const QString& timedOut) {
            const FilesOutcome outcome = outcomeOf(finished, timedOut);
            QMetaObject::invokeMethod(
                this, [done, outcome] { done(outcome); }, Qt::QueuedConnection);
        });
}
