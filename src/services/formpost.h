#pragma once

#include "core/endpoints.h"

#include <QObject>
#include <QPointer>
#include <QSslConfiguration>
#include <QStringList>

#include <atomic>
#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

// Form posts to the maker's web service: the update check and the feedback window send
// small forms and read one-tag-per-line replies.

// The paths of the service's two endpoints.
inline constexpr char kUpdateCheckPath[] = "/php/check2.php";
inline constexpr char kFeedbackPath[] = "/php/feedback.php";

// The body of a form post: every line is split at its first "=" into name and value, both
// are percent-encoded from UTF-8 with spaces as "+", and the pairs are joined by "&".
QByteArray EncodeFormBody(const QStringList& fields);

// The value between "<name>" and "</name>" (name lower-cased) when line is exactly that,
// else empty text. Nothing is trimmed and the tags are compared case-sensitively.
QString ReadTag(const QString& line, const QString& name);

// The lines of a reply, split at CR, LF or CR LF; a line break at the very end adds no
// empty last line.
QStringList SplitReplyLines(const QString& text);

// text without its leading and trailing blanks and control characters.
QString TrimServiceText(const QString& text);

// The outcome of one post: the reply text, or the failure's message.
struct PostFormResult {
    bool succeeded = false;
    QString reply;
    QString error;
};

// One form post, asynchronous. A URL whose scheme is https (in any case) goes over the
// secure transport: "Connection: close", a UTF-8 form, and every HTTP status counts as an
// answer. Any other URL goes over the plain transport, where an HTTP error status is a
// failure. On both, an answer that breaks off (connection lost, time-out, abort) is a
// failure even after its headers. timeoutMs bounds the connection and every wait for the
// answer. The call owns
// its network client and releases it when it ends.
class PostFormCall final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PostFormCall)

public:
    PostFormCall(QString url, QStringList fields, int timeoutMs, QSslConfiguration tls,
                 QObject* parent = nullptr);
    ~PostFormCall() override;

    // Sends the request; finished() follows exactly once, possibly before start() returns
    // when the URL cannot be used.
    void start();
    // Gives up: finished() follows with a failure.
    void abort();
    bool isFinished() const { return m_finished; }
    const PostFormResult& result() const { return m_result; }

signals:
    void finished();

private:
    void onReplyFinished();
    void finish(PostFormResult result);

    QString m_url;
    QStringList m_fields;
    int m_timeoutMs;
    QSslConfiguration m_tls;
    bool m_secure = false;
    bool m_finished = false;
    std::unique_ptr<QNetworkAccessManager> m_manager;
    QPointer<QNetworkReply> m_reply;
    PostFormResult m_result;
};

// One form post that blocks the calling thread until it ends; for threads of their own.
// When abandon becomes true the request is aborted and a failure returned.
PostFormResult PostForm(const QString& url, const QStringList& fields, int timeoutMs,
                        const QSslConfiguration& tls, const std::atomic<bool>* abandon = nullptr);

// Where a request to the maker's service goes: the same path over the secure and the
// plain host.
struct ServiceEndpoint {
    QString secureUrl;
    QString plainUrl;
    QSslConfiguration tls;
};
ServiceEndpoint MakerServiceEndpoint(const Endpoints& endpoints, const QString& path);

// What a request to the service came to, in the order the caller learns it: whether the
// secure attempt failed (and why), then the reply of the attempt that succeeded or the
// failure of the plain one.
struct ServiceOutcome {
    bool secureFailed = false;
    QString secureError;
    bool succeeded = false;
    QString reply;
    QString error;
};

// Sends fields to the service: over the secure host first and, only when that fails, once
// over the plain host. Blocks the calling thread.
ServiceOutcome SendToService(const ServiceEndpoint& endpoint, const QStringList& fields,
                             int timeoutMs, const std::atomic<bool>* abandon = nullptr);

// The same rule without blocking: finished() follows once with the outcome.
class ServiceRequest final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ServiceRequest)

public:
    ServiceRequest(ServiceEndpoint endpoint, QStringList fields, int timeoutMs,
                   QObject* parent = nullptr);
    ~ServiceRequest() override;

    void start();
    bool isRunning() const { return m_call != nullptr; }
    const ServiceOutcome& outcome() const { return m_outcome; }

signals:
    void finished();

private:
    void startAttempt(const QString& url);
    void onAttemptFinished();

    ServiceEndpoint m_endpoint;
    QStringList m_fields;
    int m_timeoutMs;
    bool m_plainAttempt = false;
    PostFormCall* m_call = nullptr;
    ServiceOutcome m_outcome;
};
