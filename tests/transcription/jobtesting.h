#pragma once

#include "support/recordingdesktop.h"
#include "transcription/conversionjob.h"
#include "transcription/jobrecord.h"
#include "transcriptiontesting.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

// The main window reduced to what the job reads and writes.
class RecordingWindow final : public ConversionWindow {
public:
    QString apiKeyText() const override { return key; }
    void setApiKeyText(const QString& text) override
    {
        key = text;
        ++keyWrites;
    }
    QString audioUrlText() const override { return url; }
    bool vttChosen() const override
    {
        ++formatReads;
        return vtt;
    }
    bool convertVideoToAudio() const override { return videoToAudio; }
    void FocusReplicateAPIKey() override { focus = QStringLiteral("key"); }
    void FocusReplicateAudio() override { focus = QStringLiteral("audio"); }
    void setStatePanel(const QString& text) override
    {
        statePanel = text;
        statePanels << text;
    }
    void setClockPanel(const QString& text) override { clockPanel = text; }
    void setPaneText(const QString& text) override
    {
        pane = text;
        paneFormat.reset();
    }
    void setPaneSubtitles(const QString& text, SubtitleFormat format) override
    {
        pane = text;
        paneFormat = format;
    }
    void setConvertEnabled(bool enabled) override { convertEnabled = enabled; }
    void setPollTimerEnabled(bool enabled) override { pollTimer = enabled; }
    void setClockTimerEnabled(bool enabled) override { clockTimer = enabled; }
    void setBusyCursor(bool busy) override { busyCursor = busy; }
    void setInputHeld(bool held) override { inputHeld = held; }

    QString key = QStringLiteral("r8_key");
    int keyWrites = 0;
    QString url = QStringLiteral("https://files.example/talk.mp3");
    bool vtt = true;
    mutable int formatReads = 0;
    bool videoToAudio = true;
    QString focus;
    QString statePanel;
    QStringList statePanels;
    QString clockPanel;
    QString pane;
    std::optional<SubtitleFormat> paneFormat; // when the pane was given standard subtitles
    bool convertEnabled = true;
    bool pollTimer = false;
    bool clockTimer = false;
    bool busyCursor = false;
    bool inputHeld = false;
};

class JobTest : public ::testing::Test {
protected:
    void start() { service.start(); }

    ConversionJob& job()
    {
        if (!m_job) {
            ConversionJobOptions options;
            options.clock = [this] {
                return nowMs;
            };
            options.wallClock = [this] {
                return wallStart.addMSecs(nowMs);
            };
            options.randomSeed = 7;
            options.dataFolder = dataFolder.path();
            options.record = record;
            options.retryThrottledCreate = retryThrottledCreate;
            m_job = std::make_unique<ConversionJob>(window, desktop, EndpointsFor(service),
                                                    timeouts, options);
            QObject::connect(m_job.get(), &ConversionJob::ended,
                             [this](const ConversionOutcome& outcome) { outcomes << outcome; });
        }
        return *m_job;
    }

    void convert()
    {
        job().ConvertUsingReplicate();
        ASSERT_TRUE(WaitFor([&] { return !job().requestRunning(); }));
    }

    // One tick of the poll timer, a second after the previous one on the test's clock.
    void tick()
    {
        nowMs += 1000;
        job().TimerReplicateTimer();
        ASSERT_TRUE(WaitFor([&] { return !job().requestRunning(); }));
    }

    // Convert answered with "starting" for prediction p1, polled with the given answers.
    void startWaiting(std::vector<FakeAnswer> polls)
    {
        service.scriptCreate({FakePredictionService::starting("p1")});
        service.scriptPolls("p1", std::move(polls));
        start();
        convert();
        ASSERT_EQ(job().PredictionId, QStringLiteral("p1"));
        service.clearRequests();
        window.statePanels.clear();
    }

    // Ticks a second apart on the test's clock until the job has ended; false when it has
    // not after maxTicks.
    bool tickUntilEnded(int maxTicks)
    {
        for (int i = 0; i < maxTicks && outcomes.isEmpty(); ++i) {
            tick();
            if (::testing::Test::HasFatalFailure())
                return false;
        }
        return !outcomes.isEmpty();
    }

    // How many requests of the method went to paths starting with prefix.
    int countRequests(const std::string& method, const std::string& prefix) const
    {
        int count = 0;
        for (const RecordedRequest& request : service.requests()) {
            if (request.method == method && request.path.rfind(prefix, 0) == 0)
                ++count;
        }
        return count;
    }
    int creates() const
    {
        int count = 0;
        for (const RecordedRequest& request : service.requests()) {
            if (request.method == "POST" && request.path == "/v1/predictions")
                ++count;
        }
        return count;
    }

    void expectIdle()
    {
        EXPECT_TRUE(window.convertEnabled);
        EXPECT_FALSE(window.clockTimer);
        EXPECT_FALSE(window.pollTimer);
        EXPECT_FALSE(window.inputHeld);
    }

    FakePredictionService service;
    RecordingDesktop desktop;
    RecordingWindow window;
    RequestTimeouts timeouts;
    qint64 nowMs = 5000000;
    QDateTime wallStart = QDateTime(QDate(2026, 12, 10), QTime(9, 0), Qt::UTC);
    QTemporaryDir dataFolder;
    std::shared_ptr<JobRecordStore> record;
    bool retryThrottledCreate = false; // as the queue's jobs have it
    QList<ConversionOutcome> outcomes;

    std::unique_ptr<ConversionJob> m_job;
};
