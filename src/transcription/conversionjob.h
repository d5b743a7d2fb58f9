#pragma once

#include "transcription/replicateclient.h"

#include <QObject>
#include <QString>

#include <memory>

class Desktop;

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
    // The second status-bar panel.
    virtual void setClockPanel(const QString& text) = 0;
    virtual void setPaneText(const QString& text) = 0;
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

// One conversion: checks the inputs, creates a prediction, polls it on every tick of the
// poll timer until it ends, and shows the outcome. Requests run asynchronously; a tick that
// comes while a request of the job (or a box it shows) is under way is dropped, so ticks
// never overlap.
class ConversionJob final : public QObject {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ConversionJob)

public:
    static constexpr qint32 kPollLimit = 1000000;

    ConversionJob(ConversionWindow& window, Desktop& desktop, Endpoints endpoints,
                  RequestTimeouts timeouts = {}, QObject* parent = nullptr);
    ~ConversionJob() override;

    void ConvertUsingReplicate();
    void TimerReplicateTimer();
    void TimerElapsedTimer();
    // Back to idle: the Convert button enabled, the clock stopped.
    void NormaleDon();

    // True while a create or fetch request, or the handling of its answer, is under way.
    bool requestRunning() const { return m_requestRunning; }

    // The job state.
    QString PredictionId;
    qint32 PollCount = 0;
    qint32 ElapsedSeconds = 0;

signals:
    // Once per conversion that got past the input checks, whatever its end.
    void ended(const ConversionOutcome& outcome);

private:
    void finish(ConversionOutcome::Result result, const QString& subtitles, const QString& reason);
    void beginRequest();
    void endRequest();
    void created(const TReplicateResponse& response);
    void fetched(const QString& answer);
    void handleStatus(const QString& answer);
    void showLaidOut(const QString& answer);

    ConversionWindow& m_window;
    Desktop& m_desktop;
    QString m_webDomain;
    ReplicateClient* m_client;
    bool m_requestRunning = false;
};

// The clock panel's text for a number of seconds: minutes and seconds, two digits at least.
QString ElapsedText(qint32 seconds);
