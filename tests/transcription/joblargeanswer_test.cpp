// A long recording's answer: megabytes decoded, read and brought to the standard form away
// from the interface thread, while the job stays one request that ticks and input wait for.
#include "transcription/conversionjob.h"

#include "jobtesting.h"
#include "subtitlesamples.h"
#include "transcription/subtitles.h"

#include <QSemaphore>
#include <QThreadPool>

#include <gtest/gtest.h>

namespace {

// Holds every thread of the application's pool until released, so that work handed to the
// pool waits where a test can look at the job meanwhile.
class HeldThreadPool {
public:
    HeldThreadPool()
    {
        QThreadPool* pool = QThreadPool::globalInstance();
        m_threads = pool->maxThreadCount();
        for (int i = 0; i < m_threads; ++i)
            pool->start([this] { m_release.acquire(); });
    }
    ~HeldThreadPool() { release(); }
    void release()
    {
        m_release.release(m_threads);
        m_threads = 0;
        QThreadPool::globalInstance()->waitForDone();
    }

private:
    QSemaphore m_release;
    int m_threads = 0;
};

class LargeAnswerTest : public JobTest {
protected:
    // Polled once, answering with subtitles of that many cues.
    void startWithSubtitles(int cues)
    {
        delivered = ModelTalk(cues);
        startWaiting({FakePredictionService::succeeded("p1", delivered.toStdString())});
    }
    // A tick whose answer is read on a worker thread held by the test: returns once the job
    // has handed the reading over (it asks for the format just before).
    void tickIntoHeldReading()
    {
        window.formatReads = 0;
        nowMs += 1000;
        job().TimerReplicateTimer();
        ASSERT_TRUE(WaitFor([&] { return window.formatReads > 0; }));
    }

    QString delivered;
};

// An answer above a megabyte: decoded and read on worker threads, then shown in the pane in
// the standard form, told as such.
TEST_F(LargeAnswerTest, IsShownInTheStandardForm)
{
    startWithSubtitles(30000);
    ASSERT_GT(delivered.size(), 1024 * 1024);
    tick();
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    const QString standard = NormalizeSubtitles(delivered, SubtitleFormat::WebVtt);
    EXPECT_EQ(window.pane, standard);
    EXPECT_EQ(window.paneFormat, SubtitleFormat::WebVtt);
    EXPECT_EQ(outcomes[0].subtitles, standard);
    EXPECT_EQ(window.statePanel, QStringLiteral("Succeeded"));
    expectIdle();
}

// While the reading runs, the request is under way: a tick polls nothing, and a stop waits
// for it; the prediction has succeeded, so the subtitles are shown and no cancel goes out.
TEST_F(LargeAnswerTest, TicksAndAStopWaitForTheReading)
{
    startWithSubtitles(8000);
    ASSERT_GT(delivered.size(), ConversionJob::kBackgroundReadChars);
    HeldThreadPool held;
    tickIntoHeldReading();
    EXPECT_TRUE(job().requestRunning());
    EXPECT_TRUE(window.inputHeld);
    nowMs += 5000;
    job().TimerReplicateTimer();
    job().Stop();
    EXPECT_EQ(window.statePanel, QStringLiteral("Canceling..."));
    EXPECT_EQ(window.pane, QString());
    held.release();
    ASSERT_TRUE(WaitFor([&] { return !outcomes.isEmpty(); }));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    EXPECT_EQ(window.pane, NormalizeSubtitles(delivered, SubtitleFormat::WebVtt));
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 1);
    EXPECT_EQ(countRequests("POST", "/v1/predictions/p1/cancel"), 0);
    EXPECT_FALSE(job().requestRunning());
    expectIdle();
}

// The window closes while the reading runs: the job goes, and what the worker read goes
// nowhere.
TEST_F(LargeAnswerTest, AJobGoneBeforeTheReadingEndsGetsNothing)
{
    startWithSubtitles(8000);
    HeldThreadPool held;
    tickIntoHeldReading();
    m_job.reset();
    held.release();
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(outcomes.isEmpty());
    EXPECT_EQ(window.pane, QString());
}

// Subtitles that are not in the chosen format are shown as delivered, not told as standard.
TEST_F(LargeAnswerTest, SubtitlesInAnotherFormatAreShownAsDelivered)
{
    window.vtt = false;
    startWithSubtitles(8000);
    tick();
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    EXPECT_EQ(window.pane, delivered);
    EXPECT_EQ(window.paneFormat, std::nullopt);
}

} // namespace
