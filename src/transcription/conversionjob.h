#pragma once

#include "platform/desktop.h"
#include "transcription/replicateclient.h"
#include "transcription/subtitles.h"

#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class FilesClient;
class JobRecordStore;
class PollBackoff;
class Transcoder;
struct FetchAnswer;
struct FilesOutcome;
struct PredictionReading;
struct UploadOutcome;

// The main window as the conversion job sees it: the input fields, the two status panels,
// the result pane, the Convert button, the job's two timers and the busy state.
class ConversionWindow : public PredictionFeedback {
public:
    virtual QString apiKeyText() const = 0;
    virtual void setApiKeyText(const QString& text) = 0;
    virtual QString audioUrlText() const = 0;
    virtual bool vttChosen() const = 0;
    // The model size sent as the create body's model name.
    virtual QString modelName() const { return QStringLiteral("base"); }
    // Whether a local video file is turned into audio before it is uploaded.
    virtual bool convertVideoToAudio() const { return true; }
    // The second status-bar panel.
    virtual void setClockPanel(const QString& text) = 0;
    virtual void setPaneText(const QString& text) = 0;
    // Subtitles in the standard form of that format, for the pane.
    virtual void setPaneSubtitles(const QString& text, SubtitleFormat format)
    {
        Q_UNUSED(format);
        setPaneText(text);
    }
    virtual void setConvertEnabled(bool enabled) = 0;
    virtual void setPollTimerEnabled(bool enabled) = 0;
    virtual void setClockTimerEnabled(bool enabled) = 0;
    virtual void setBusyCursor(bool busy) = 0;
    // While a request runs the window keeps painting, and the user's input waits for it.
    virtual void setInputHeld(bool held) = 0;
};

// How a conversion ended, for front ends that act on the result (the queue saves the
// subtitles, the command line writes them and sets its exit status).
struct ConversionOutcome {
    enum class Result { Succeeded, Failed, Canceled };
    Result result = Result::Failed;
    QString subtitles; // when succeeded: what the pane was given
    QString reason;    // when failed: one line that says why
};

// What a job takes from around it besides the window. Every member has a working default,
// so a front end sets only what it needs; tests set the clocks and the random seed.
struct ConversionJobOptions {
    // Milliseconds on a clock that never goes back: the poll rhythm and the back-off.
    std::function<qint64()> clock;
    // The date and time now, for the record of a job and the service's Retry-After dates.
    std::function<QDateTime()> wallClock;
    // Seeds the back-off's random part; unset: a different seed every run.
    std::optional<quint32> randomSeed;
    // Where temporary audio files go; empty: the system's temporary folder.
    QString dataFolder;
    // Where ffmpeg beside the program is looked for; empty: the program's own folder.
    QString programFolder;
    // Keeps the running conversion for the next start; null: nothing is kept.
    std::shared_ptr<JobRecordStore> record;
    // A create that the service refused for too many requests (429: it made nothing) is
    // sent again after the wait the service asks for, or a back-off, for up to the give-up
    // time. Off: the 429 is reported like any other refusal.
    bool retryThrottledCreate = false;
};

// One conversion at a time, from the address field to the subtitles: checks the inputs,
// turns a local video into audio, uploads a local file, creates a prediction, polls it on
// the ticks of the poll timer until it ends (riding out a flaky network with a back-off),
// cancels it on Stop, cleans up after itself and shows the outcome. Requests run
// asynchronously; a tick that comes while a request of the job (or a box it shows) is under
// way is dropped, so ticks never overlap, and polls are at least a second apart.
class ConversionJob final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConversionJob)

public:
    static constexpr qint32 kPollLimit = 1000000;
    // How long polling rides out failures without one good answer.
    static constexpr qint64 kGiveUpMs = 600000;
    static constexpr qint64 kPollSpacingMs = 1000;
    // Answers from this many characters on are read on a worker thread.
    static constexpr qsizetype kBackgroundReadChars = 256 * 1024;

    ConversionJob(ConversionWindow& window, Desktop& desktop, Endpoints endpoints,
                  RequestTimeouts timeouts = {}, QObject* parent = nullptr);
    ConversionJob(ConversionWindow& window, Desktop& desktop, Endpoints endpoints,
                  RequestTimeouts timeouts, ConversionJobOptions options,
                  QObject* parent = nullptr);
    // A job still running is left as it is on the service, and kept for the next start;
    // its temporary files are removed and ffmpeg is ended.
    ~ConversionJob() override;

    // The Convert command. True when a conversion started (it ends with `ended`); false when
    // the inputs were refused, with a box saying why.
    bool ConvertUsingReplicate();
    void TimerReplicateTimer();
    void TimerElapsedTimer();
    // Back to idle: the Convert button enabled, the clock stopped.
    void NormaleDon();

    // Cancels the running conversion at whatever stage it is; harmless when nothing runs
    // or a stop is already under way.
    void Stop();
    // True from a conversion's start until its end.
    bool running() const;

    // Where temporary files go and the record kept for the next start; the window knows
    // them only once it has chosen its data folder.
    void setDataFolder(const QString& folder);
    void setRecordStore(std::shared_ptr<JobRecordStore> record);
    // The clock of the poll rhythm (milliseconds, never going back).
    void setClock(std::function<qint64()> clock);
    // Takes up a conversion that a previous run of the program left running: polls its
    // prediction, or removes its uploaded file when it never got to the prediction. False
    // when there is none, or another copy of the program has it.
    bool ResumeRecorded();

    // True while a create, fetch or cancel request, or the handling of its answer, is under
    // way.
    bool requestRunning() const { return m_requestRunning; }
    // True while a create refused for too many requests waits to be sent again.
    bool waitingToCreateAgain() const { return m_pending && m_pending->stage == Stage::Throttled; }
    // True while the deletes of uploaded files that ended conversions left are under way; a
    // front end that frees its job waits for uploadsDeleted() first.
    bool deletingUploads() const { return m_pendingDeletes > 0; }

    // The job state.
    QString PredictionId;
    qint32 PollCount = 0;
    qint32 ElapsedSeconds = 0;

signals:
    // Once per conversion that got past the input checks, whatever its end.
    void ended(const ConversionOutcome& outcome);
    void runningChanged(bool running);
    // The service refused the create for too many requests; it is sent again in waitMs.
    void createThrottled(qint64 waitMs);
    // The last delete under way has been answered (or has failed).
    void uploadsDeleted();

private:
    enum class Stage { Transcoding, Uploading, Creating, Throttled, Polling, Canceling };
    struct Conversion {
        Stage stage = Stage::Creating;
        QString key;
        QString format;
        QString modelName;
        QString localPath; // empty for a web address
        QStringList temporaryFiles;
        QString fileId;
        QDateTime started;
        bool stopRequested = false;
        bool recorded = false;
        // The create's audio address, and while throttled: since when, and the next try.
        QString audioUrl;
        qint64 throttledSince = -1;
        qint64 nextCreateAt = 0;
    };

    qint64 now() const;
    void setPanel(const QString& text);
    void beginRequest();
    void endRequest();
    void updateRunning();
    void record(Conversion& conversion);

    void transcode();
    void upload(const QString& path);
    void uploaded(const UploadOutcome& outcome);
    void create(const QString& audioUrl);
    void created(const TReplicateResponse& response);
    void createThrottledAnswer(const TReplicateResponse& response);
    void createAgainWhenDue();
    void showThrottledCountdown();
    void startPolling();
    void fetched(const FetchAnswer& answer);
    void retryLater(const FetchAnswer& answer);
    void showRetryCountdown();
    void endOnRefusal(const FetchAnswer& answer);
    void handleStatus(const QString& answer);
    void handleReading(const QString& answer, const PredictionReading& reading);
    // The end of a fetch or cancel request whose answer has been handled.
    void answerHandled();
    void showLaidOut(const QString& answer);
    void sendCancel();
    void cancelAnswered(const FilesOutcome& outcome);

    // Ends the pending conversion (before polling) with a box already shown.
    void failPending(const QString& title, const QString& message, MessageIcon icon,
                     const QString& reason);
    void endPendingCanceled();
    // Ends a conversion: the uploaded file deleted, the temporary files removed, the record
    // cleared, then `ended`.
    void finish(std::unique_ptr<Conversion> conversion, ConversionOutcome::Result result,
                const QString& subtitles, const QString& reason);
    void finishActive(ConversionOutcome::Result result, const QString& subtitles,
                      const QString& reason);
    void deleteUploadedFile(const QString& key, const QString& fileId, bool recorded);

    ConversionWindow& m_window;
    Desktop& m_desktop;
    QString m_webDomain;
    ConversionJobOptions m_options;
    ReplicateClient* m_client;
    FilesClient* m_files;
    Transcoder* m_transcoder;
    std::unique_ptr<PollBackoff> m_backoff;
    std::unique_ptr<PollBackoff> m_createBackoff;

    // The conversion being prepared or created, and the one whose prediction is polled.
    std::unique_ptr<Conversion> m_pending;
    std::unique_ptr<Conversion> m_active;
    bool m_wasRunning = false;
    int m_pendingDeletes = 0;
    bool m_requestRunning = false;
    // An answer is being read on a worker thread; its request is still under way.
    bool m_readingAnswer = false;
    QString m_panelText;

    // The poll rhythm.
    qint64 m_lastPollAt = 0;
    bool m_polledOnce = false;
    qint64 m_lastGoodAt = 0;
    bool m_retrying = false;
    qint64 m_nextPollAt = 0;
    QString m_panelBeforeRetry;
};

// The clock panel's text for a number of seconds: minutes and seconds, two digits at least.
QString ElapsedText(qint32 seconds);
