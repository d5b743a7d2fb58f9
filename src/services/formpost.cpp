#include "services/formpost.h"

#include "core/httpbody.h"
#include "core/tlsconfiguration.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QRegularExpression>
#include <QTimer>
#include <QUrl>

namespace {

QByteArray encodeFormPart(const QString& text)
{
    // Letters, digits and "-._~" stay; a space becomes "+"; everything else is %XX of its
    // UTF-8 bytes, "+" included, so that a plus in a value survives the trip.
    QByteArray encoded = text.toUtf8().toPercentEncoding(QByteArrayLiteral(" "));
    encoded.replace(' ', '+');
    return encoded;
}

// Whether the transfer itself went wrong: no connection, a connection lost or timed out
// mid-answer, an abort, a proxy or a protocol fault. The codes that only mirror an HTTP
// error status (the content and server groups) are not transport errors.
bool isTransportError(QNetworkReply::NetworkError error)
{
    const int code = int(error);
    return (code >= 1 && code < 200) || (code >= 300 && code < 400);
}

// Whether the body is shorter than its announced length. The network layer does not flag
// every such answer (a status other than 200 cut off mid-body passes as complete); a
// compressed body's length is the packed one, and a cut in it fails the unpacking instead.
bool isCutShort(const QNetworkReply& reply, const QByteArray& body)
{
    const QVariant announced = reply.header(QNetworkRequest::ContentLengthHeader);
    if (!announced.isValid())
        return false;
    const QByteArray encoding = reply.rawHeader("Content-Encoding").trimmed().toLower();
    if (!encoding.isEmpty() && encoding != "identity")
        return false;
    return body.size() < announced.toLongLong();
}

bool isSecureUrl(const QString& url)
{
    // The scheme is tested on an ASCII-lowered copy; the URL itself travels unchanged.
    QString lowered = url.left(8);
    for (QChar& c : lowered) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return lowered == QLatin1String("https://");
}

} // namespace

QByteArray EncodeFormBody(const QStringList& fields)
{
    QByteArray body;
    for (const QString& line : fields) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        const QString name = equals < 0 ? line : line.left(equals);
        const QString value = equals < 0 ? QString() : line.mid(equals + 1);
        if (!body.isEmpty())
            body += '&';
        body += encodeFormPart(name) + '=' + encodeFormPart(value);
    }
    return body;
}

QString ReadTag(const QString& line, const QString& name)
{
    if (line.isEmpty() || name.isEmpty())
        return {};
    const QString opening = QLatin1Char('<') + name.toLower() + QLatin1Char('>');
    const QString closing = QLatin1String("</") + name.toLower() + QLatin1Char('>');
    if (line.size() < opening.size() + closing.size())
        return {};
    if (!line.startsWith(opening, Qt::CaseSensitive) || !line.endsWith(closing, Qt::CaseSensitive))
        return {};
    return line.mid(opening.size(), line.size() - opening.size() - closing.size());
}

QStringList SplitReplyLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            lines.append(text.mid(start, i - start));
            if (c == QLatin1Char('\r') && i + 1 < size && text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            start = i + 1;
        }
        ++i;
    }
    if (start < size)
        lines.append(text.mid(start));
    return lines;
}

QString TrimServiceText(const QString& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && text.at(first).unicode() <= 0x20)
        ++first;
    while (last > first && text.at(last - 1).unicode() <= 0x20)
        --last;
    return text.mid(first, last - first);
}

PostFormCall::PostFormCall(QString url, QStringList fields, int timeoutMs, QSslConfiguration tls,
                           QObject* parent)
    : QObject(parent)
    , m_url(std::move(url))
    , m_fields(std::move(fields))
    , m_timeoutMs(timeoutMs)
    , m_tls(std::move(tls))
{
}

PostFormCall::~PostFormCall()
{
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
}

void PostFormCall::start()
{
    m_secure = isSecureUrl(m_url);
    const QUrl url(m_url);
    if (!url.isValid() || url.host().isEmpty()) {
        // Reported from the event loop, like every other outcome.
        QMetaObject::invokeMethod(
            this,
            [this] {
                finish({false, {}, QStringLiteral("Invalid URL: ") + m_url});
            },
            Qt::QueuedConnection);
        return;
    }
    m_manager = std::make_unique<QNetworkAccessManager>();
    QNetworkRequest request(url);
    request.setTransferTimeout(m_timeoutMs);
    // Both transports speak HTTP/1.1, one request per connection.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    if (m_secure) {
        request.setRawHeader("Connection", "close");
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded; charset=utf-8"));
        request.setSslConfiguration(m_tls);
    } else {
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          QByteArrayLiteral("application/x-www-form-urlencoded"));
    }
    m_reply = m_manager->post(request, EncodeFormBody(m_fields));
    connect(m_reply, &QNetworkReply::finished, this, &PostFormCall::onReplyFinished);
}

void PostFormCall::abort()
{
    if (m_finished)
        return;
    if (m_reply)
        m_reply->abort(); // finished() follows at once, as a cancelled request
    else
        finish({false, {}, QStringLiteral("Operation canceled")});
}

void PostFormCall::onReplyFinished()
{
    QNetworkReply* reply = m_reply;
    if (!reply || m_finished)
        return;
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    const QByteArray body = reply->isOpen() ? reply->readAll() : QByteArray();
    // Headers alone are no answer: a body cut off by a dropped connection, a time-out or an
    // abort fails the attempt, whatever its status, so that nothing truncated is ever used.
    if (status.isValid() && !isTransportError(reply->error()) && isCutShort(*reply, body)) {
        finish({false,
                {},
                QStringLiteral("The answer was cut off after %1 of %2 bytes")
                    .arg(body.size())
                    .arg(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong())});
        return;
    }
    const bool answered = status.isValid() && !isTransportError(reply->error());
    if (m_secure) {
        // Any HTTP status is an answer here; an error page comes back as the reply.
        if (answered)
            finish({true, DecodeHttpBody(body, reply->rawHeader("Content-Type")), {}});
        else
            finish({false, {}, reply->errorString()});
        return;
    }
    if (!answered) {
        finish({false, {}, reply->errorString()});
        return;
    }
    const int code = status.toInt();
    if (code >= 400) {
        const QString reason =
            reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString();
        finish({false, {}, QStringLiteral("HTTP error %1 %2").arg(code).arg(reason).trimmed()});
        return;
    }
    finish({true, DecodeHttpBody(body, reply->rawHeader("Content-Type")), {}});
}

void PostFormCall::finish(PostFormResult result)
{
    if (m_finished)
        return;
    m_finished = true;
    m_result = std::move(result);
    emit finished();
}

PostFormResult PostForm(const QString& url, const QStringList& fields, int timeoutMs,
                        const QSslConfiguration& tls, const std::atomic<bool>* abandon)
{
    if (abandon && abandon->load(std::memory_order_acquire))
        return {false, {}, QStringLiteral("Operation canceled")};
    PostFormCall call(url, fields, timeoutMs, tls);
    QEventLoop loop;
    QObject::connect(&call, &PostFormCall::finished, &loop, &QEventLoop::quit);
    // The thread that waits here may be asked to give up, e.g. when the program ends.
    QTimer watch;
    if (abandon) {
        watch.setInterval(50);
        QObject::connect(&watch, &QTimer::timeout, &call, [&call, abandon] {
            if (abandon->load(std::memory_order_acquire))
                call.abort();
        });
        watch.start();
    }
    call.start();
    if (!call.isFinished())
        loop.exec();
    return call.result();
}

ServiceEndpoint MakerServiceEndpoint(const Endpoints& endpoints, const QString& path)
{
    return {JoinUrlPath(endpoints.makerServiceSecure, path).toString(),
            JoinUrlPath(endpoints.makerServicePlain, path).toString(),
            TlsConfigurationFor(endpoints)};
}

ServiceOutcome SendToService(const ServiceEndpoint& endpoint, const QStringList& fields,
                             int timeoutMs, const std::atomic<bool>* abandon)
{
    ServiceOutcome outcome;
    const PostFormResult secure =
        PostForm(endpoint.secureUrl, fields, timeoutMs, endpoint.tls, abandon);
    if (secure.succeeded) {
        outcome.succeeded = true;
        outcome.reply = secure.reply;
        return outcome;
    }
    outcome.secureFailed = true;
    outcome.secureError = secure.error;
    if (abandon && abandon->load(std::memory_order_acquire)) {
        outcome.error = secure.error;
        return outcome;
    }
    const PostFormResult plain =
        PostForm(endpoint.plainUrl, fields, timeoutMs, endpoint.tls, abandon);
    outcome.succeeded = plain.succeeded;
    outcome.reply = plain.reply;
    outcome.error = plain.error;
    return outcome;
}

ServiceRequest::ServiceRequest(ServiceEndpoint endpoint, QStringList fields, int timeoutMs,
                               QObject* parent)
    : QObject(parent)
    , m_endpoint(std::move(endpoint))
    , m_fields(std::move(fields))
    , m_timeoutMs(timeoutMs)
{
}

ServiceRequest::~ServiceRequest()
{
    delete m_call;
}

void ServiceRequest::start()
{
    m_plainAttempt = false;
    m_outcome = {};
    startAttempt(m_endpoint.secureUrl);
}

void ServiceRequest::startAttempt(const QString& url)
{
    m_call = new PostFormCall(url, m_fields, m_timeoutMs, m_endpoint.tls);
    connect(m_call, &PostFormCall::finished, this, &ServiceRequest::onAttemptFinished);
    m_call->start();
}

void ServiceRequest::onAttemptFinished()
{
    const PostFormResult result = m_call->result();
    // The call is inside its own signal; it goes once control is back in the event loop.
    m_call->deleteLater();
    m_call = nullptr;
    if (!m_plainAttempt && !result.succeeded) {
        m_outcome.secureFailed = true;
        m_outcome.secureError = result.error;
        m_plainAttempt = true;
        startAttempt(m_endpoint.plainUrl);
        return;
    }
    m_outcome.succeeded = result.succeeded;
    m_outcome.reply = result.reply;
    m_outcome.error = result.error;
    emit finished();
}
