#pragma once

#include "core/endpoints.h"
#include "transcription/replicateclient.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QNetworkReply;

// The largest file the service's files API takes. The service says "less than 100MB"; the
// decimal reading is the smaller one, so a file we let through is never one it refuses.
inline constexpr qint64 kMaxUploadBytes = 100'000'000;

// What one exchange with the service's files API, or a cancel, gave.
struct FilesOutcome {
    bool answered = false; // false: a transport failure, or the request never left
    QString failure;       // the transport failure's message
    int status = 0;        // the HTTP status when answered
    QString detail;        // the service's "detail" (application/problem+json), when it gave one
    QString body;          // the answer body, decoded
};

// How an upload ended.
struct UploadOutcome : FilesOutcome {
    enum class Kind {
        Uploaded,   // 201 with a file object: fileId and url are set
        TooLarge,   // larger than kMaxUploadBytes: refused before any byte was sent
        Unreadable, // the local file could not be opened: nothing was sent
        Aborted,    // abortUpload() ended it
        Transport,  // no answer: connection refused, TLS, time-out, dropped connection
        Refused,    // an answer other than 201 (413 among them): see status and detail
        BadAnswer,  // 201 whose body is not a file object with an id and urls.get
    };
    Kind kind = Kind::Transport;
    qint64 fileSize = 0; // the local file's size
    QString fileId;      // the file object's "id"
    QString url;         // the file object's "urls.get": the address to give the model
};

// The file name sent with an upload: the local file's name in UTF-8, cut to at most 255
// bytes on a character boundary (keeping a short extension), with the characters that
// would end or break the quoted header value percent-encoded ('"', '\\', CR, LF, other
// control characters), as browsers do.
QByteArray UploadFileName(const QString& localPath);
// The content type the upload declares, by the file's extension; application/octet-stream
// for an extension we do not know.
QByteArray UploadContentType(const QString& localPath);
// The service's "detail" from an answer body; empty when the body is not a JSON object
// with a string "detail".
QString ServiceDetail(const QString& body);

// The service's files API (upload, delete) and the prediction cancel. No boxes: the caller
// reports the outcomes. Each request runs asynchronously on a network client of its own;
// a completion runs exactly once, on this object's thread, from the event loop (never from
// inside the call that started or aborted the request). Completions of requests still
// under way when the client is destroyed never run.
class FilesClient final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FilesClient)

public:
    using Progress = std::function<void(qint64 sent, qint64 total)>;

    FilesClient(Endpoints endpoints, RequestTimeouts timeouts = {}, QObject* parent = nullptr);
    ~FilesClient() override;

    // POST /v1/files: multipart/form-data, part "content" streamed from the file on disk.
    // One upload at a time: starting another aborts the one under way. progress reports
    // the bytes of the request body sent so far and its total.
    void UploadFile(const QString& apiKey, const QString& localPath, Progress progress,
                    std::function<void(const UploadOutcome&)> done);
    // Ends the upload under way, if any; its completion then reports Kind::Aborted.
    void abortUpload();
    bool uploading() const;

    // DELETE /v1/files/{id}. True when the file is no longer on the service (204, or 404:
    // already gone).
    void DeleteFile(const QString& apiKey, const QString& fileId, std::function<void(bool)> done);

    // POST /v1/predictions/{id}/cancel. The service answers 200 with the prediction, whose
    // status is then "canceled".
    void CancelPrediction(const QString& apiKey, const QString& predictionId,
                          std::function<void(const FilesOutcome&)> done);

private:
    Endpoints m_endpoints;
    RequestTimeouts m_timeouts;
    QPointer<QNetworkReply> m_upload;
};
