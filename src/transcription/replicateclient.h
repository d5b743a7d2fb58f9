#pragma once

#include "core/endpoints.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>

#include <functional>

class Desktop;
class QNetworkRequest;

// The answer to a create request.
struct TReplicateResponse {
    QString FResponse;     // the answer body, trimmed
    QString FStatus;       // its "status", lower-cased; only after a 201 answer
    QString FID;           // its "id" as received; only after a 201 answer
    int httpStatus = 0;    // the answer's HTTP status; 0 after a transport failure
    QByteArray retryAfter; // the answer's Retry-After header, when it had one
};

// What the fetch request answers when the transport failed.
inline const QString kFetchErrorSentinel = QStringLiteral("!!!ERROR!!!");

// A member of a JSON object as text: a string's content, a number's or a boolean's text
// form. False with empty text when the member is missing or holds null, an object or an
// array.
bool TryGetJsonString(const QJsonObject& object, const QString& path, QString& text);

// The create body, in the exact form the service has always received. The values are
// JSON-escaped, so an address holding quotes or backslashes still makes valid JSON.
QByteArray CreatePredictionBody(const QString& version, const QString& audioUrl,
                                const QString& modelName, const QString& format);

// How a refused create request is reported: the field the user has to correct, the box text.
struct CreateRefusal {
    enum class Focus { None, ApiKey, AudioUrl };
    Focus focus = Focus::None;
    QString message;
    bool listed = true; // false: an unexpected status, whose body is kept for the caller
};
// The report for any status but 201.
CreateRefusal CreateRefusalFor(int httpStatus);

// What one fetch of a prediction gave: the service's answer, or a transport failure.
struct FetchAnswer {
    bool answered = false; // false: refused, reset, timed out, TLS cut short...
    QString failure;       // the transport failure's message
    int status = 0;        // the HTTP status when answered
    QByteArray contentType;
    QByteArray retryAfter; // the Retry-After header, when the answer had one
    QString body;          // decoded and trimmed
};

// What a fetch means for a running job.
enum class FetchVerdict {
    Answer,      // a 2xx answer from the service itself: its status decides
    Transient,   // worth another try later: transport failure, 408, 429, 5xx, a proxy's page
    Credentials, // 401, 403: the key no longer works
    Gone,        // 404, 410: the service no longer knows the prediction
    Billing,     // 402
    Refused,     // any other answer: not worth repeating
};
FetchVerdict ClassifyFetch(const FetchAnswer& answer);

// Where the create request points the user when the service refuses it.
class PredictionFeedback {
public:
    virtual ~PredictionFeedback() = default;
    virtual void FocusReplicateAPIKey() = 0;
    virtual void FocusReplicateAudio() = 0;
    // The first status-bar panel.
    virtual void setStatePanel(const QString& text) = 0;
};

// How long a request may wait: to connect (and finish the TLS handshake and send), and
// between the request sent and each piece of the answer.
struct RequestTimeouts {
    int connectionMs = 10000;
    int responseMs = 600000;
};

// The prediction service's two requests. Each runs asynchronously on a network client of
// its own, made for that request and released after it; the completion runs once, on the
// thread of this object, after any box the request shows has been closed.
class ReplicateClient final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ReplicateClient)

public:
    ReplicateClient(Endpoints endpoints, Desktop& desktop, PredictionFeedback& feedback,
                    RequestTimeouts timeouts = {}, QObject* parent = nullptr);
    ~ReplicateClient() override;

    // Asks the service to run the model on the audio address. Refusals and transport
    // failures are reported to the user here ("Failed" in the first panel, a box), except a
    // 429 when throttledCreateLeftToCaller is set.
    void CreatePrediction(const QString& apiKey, const QString& modelVersion,
                          const QString& audioUrl, const QString& modelName, const QString& format,
                          std::function<void(const TReplicateResponse&)> done);
    // Gets the prediction; the answer body whatever its status, or kFetchErrorSentinel after
    // a transport failure, which is reported in a box first.
    void FetchPrediction(const QString& apiKey, const QString& predictionId,
                         std::function<void(const QString&)> done);

    // Gets the prediction and hands the whole answer over; shows nothing.
    void FetchPredictionAnswer(const QString& apiKey, const QString& predictionId,
                               std::function<void(const FetchAnswer&)> done);

    // When set, a create refused for too many requests (429: the service made nothing) is
    // handed back without a box, for a caller that waits and sends it again.
    void setThrottledCreateLeftToCaller(bool leftToCaller)
    {
        m_throttledCreateLeftToCaller = leftToCaller;
    }

    // What one exchange with the service gave.
    struct Outcome {
        bool answered = false; // false: a transport failure
        QString failure;       // the failure's message
        int status = 0;
        QString body;
        QByteArray contentType;
        QByteArray retryAfter;
    };

private:
    void send(const QByteArray& method, QNetworkRequest request, const QByteArray& body,
              std::function<void(const Outcome&)> done);
    QNetworkRequest requestFor(const QString& path, const QString& apiKey) const;

    Endpoints m_endpoints;
    Desktop& m_desktop;
    PredictionFeedback& m_feedback;
    RequestTimeouts m_timeouts;
    bool m_throttledCreateLeftToCaller = false;
};
