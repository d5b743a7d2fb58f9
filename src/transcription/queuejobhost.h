#pragma once

#include "platform/desktop.h"
#include "transcription/conversionjob.h"

#include <QObject>
#include <QString>

class QTimer;

// What a host of a queued conversion needs to know from its queue.
struct QueueJobSettings {
    QString apiKey;
    QString modelName;
    bool vtt = true;
    int pollIntervalMs = 1000;
    int clockIntervalMs = 1000;
    // The job's own clock and temporary folder; the defaults serve the program.
    ConversionJobOptions job;
};

// One conversion of the queue, run without a window: the job sees this host as its window
// and as its desktop. The host owns the job's two timers, keeps what the job reports (the
// state line, upload progress, the clock) and turns the job's message boxes into the
// reason shown for a failed file, so that nothing modal ever appears for a queued file.
class QueueJobHost final : public QObject, public ConversionWindow, public Desktop {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(QueueJobHost)

public:
    QueueJobHost(QString source, QueueJobSettings settings, const Endpoints& endpoints,
                 QObject* parent = nullptr);
    ~QueueJobHost() override;

    // Starts the conversion. False when the job refused to start (a bad input, told in
    // refusal()); ended() is then never emitted.
    bool start();
    // Asks the job to cancel on the service; ended() follows.
    void stop();
    bool stopping() const { return m_stopping; }
    bool isRunning() const;

    const QString& source() const { return m_source; }
    // The last upload progress in percent, or -1 while nothing is being uploaded.
    int uploadPercent() const { return m_uploadPercent; }
    // True while a video is being turned into audio before its upload.
    bool converting() const { return m_converting; }
    int elapsedSeconds() const;
    // The first message the job showed, as one line; empty when none.
    const QString& refusal() const { return m_firstMessage; }
    // True while the job waits to send a create that the service refused for too many
    // requests.
    bool throttled() const { return m_job->waitingToCreateAgain(); }
    ConversionJob& job() { return *m_job; }

    // ConversionWindow
    QString apiKeyText() const override { return m_settings.apiKey; }
    void setApiKeyText(const QString& text) override { m_settings.apiKey = text; }
    QString audioUrlText() const override { return m_source; }
    bool vttChosen() const override { return m_settings.vtt; }
    QString modelName() const override { return m_settings.modelName; }
    void setClockPanel(const QString&) override { emit progressed(); }
    void setPaneText(const QString& text) override { m_paneText = text; }
    void setConvertEnabled(bool) override {}
    void setPollTimerEnabled(bool enabled) override;
    void setClockTimerEnabled(bool enabled) override;
    void setBusyCursor(bool) override {}
    void setInputHeld(bool) override {}
    void FocusReplicateAPIKey() override {}
    void FocusReplicateAudio() override {}
    void setStatePanel(const QString& text) override;

    // Desktop: boxes become the reason; nothing else of a desktop is there.
    void showMessage(const QString& title, const QString& text, MessageIcon icon) override;
    bool askQuestion(const QString&, const QString&, const QString&, const QString&) override
    {
        return false;
    }
    void beep() override {}
    bool openUrl(const QUrl&) override { return false; }
    QString chooseSaveFile(const QStringList&, const QString&) override { return {}; }
    QString chooseOpenFile(const QStringList&) override { return {}; }
    QStringList chooseOpenFiles(const QStringList&) override { return {}; }
    // How long a host waits for its job's deletes after the end.
    static constexpr int kReleaseLimitMs = 15000;

    bool startDetached(const QString&, const QStringList&, const QString&) override
    {
        return false;
    }

signals:
    // The state line, the upload progress or the clock changed.
    void progressed();
    // The service refused the create for too many requests; the job tries again in waitMs.
    void createThrottled(qint64 waitMs);
    void ended(const ConversionOutcome& outcome);
    // After ended(): the job's last requests (the deletes of its uploads) are done, or given
    // up after releaseLimitMs; the host may go.
    void released();

private:
    QString m_source;
    QueueJobSettings m_settings;
    QTimer* m_pollTimer;
    QTimer* m_clockTimer;
    ConversionJob* m_job;
    QString m_paneText;
    QString m_firstMessage;
    int m_uploadPercent = -1;
    bool m_converting = false;
    bool m_ended = false;
    bool m_stopping = false;
};

// A message box's text as one line for a list or a terminal: line breaks and runs of
// blanks become single spaces.
QString OneLine(const QString& text);
