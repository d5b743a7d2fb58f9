#include "transcription/conversionjob.h"

#include "jobtesting.h"
#include "transcription/jsonreformat.h"
#include "transcription/subtitles.h"
#include "transcriptiontesting.h"

#include <gtest/gtest.h>

namespace {

const QString kRequested =
    QStringLiteral("Requested. Please wait... (This may take up to 10 minutes)");

TEST_F(JobTest, AKeyOfBlanksIsEmptiedAndAskedFor)
{
    start();
    window.key = QStringLiteral(" \t ");
    job().ConvertUsingReplicate();
    EXPECT_EQ(window.key, QString());
    EXPECT_EQ(window.focus, QStringLiteral("key"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("CREDENTIALS"));
    EXPECT_EQ(desktop.messages[0].text,
              QStringLiteral("Please enter your credentials for replicate.com"));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Information);
    EXPECT_TRUE(service.requests().empty());
    EXPECT_FALSE(job().requestRunning());
}

TEST_F(JobTest, AnEmptyAddressIsAskedFor)
{
    start();
    window.url.clear();
    job().ConvertUsingReplicate();
    EXPECT_EQ(window.focus, QStringLiteral("audio"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("WARNING"));
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("Please enter the audio URL."));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(JobTest, TheKeyIsTrimmedInPlaceAndAnAddressOfBlanksIsSent)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    start();
    window.key = QStringLiteral("  r8_key\r\n");
    window.url = QStringLiteral("   ");
    window.vtt = false;
    convert();
    EXPECT_EQ(window.key, QStringLiteral("r8_key"));
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("Authorization"), "Token r8_key");
    EXPECT_NE(requests[0].body.find("\"audio_path\": \"   \""), std::string::npos);
    EXPECT_NE(requests[0].body.find("\"model_name\": \"base\", \"format\": \"srt\""),
              std::string::npos);
}

TEST_F(JobTest, StartingThenProcessingThenSucceeded)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    service.scriptPolls(
        "p1", {FakePredictionService::starting("p1"), FakePredictionService::processing("p1"),
               FakePredictionService::succeeded("p1", FakePredictionService::webVtt())});
    start();
    job().ElapsedSeconds = 77;
    job().ConvertUsingReplicate();
    // Requesting: the busy cursor, the input held, the panel.
    EXPECT_TRUE(job().requestRunning());
    EXPECT_TRUE(window.busyCursor);
    EXPECT_TRUE(window.inputHeld);
    EXPECT_EQ(window.statePanel, QStringLiteral("Requesting..."));
    ASSERT_TRUE(WaitFor([&] { return !job().requestRunning(); }));

    // Waiting.
    EXPECT_EQ(window.statePanel, kRequested);
    EXPECT_FALSE(window.busyCursor);
    EXPECT_FALSE(window.inputHeld);
    EXPECT_FALSE(window.convertEnabled);
    EXPECT_TRUE(window.clockTimer);
    EXPECT_TRUE(window.pollTimer);
    EXPECT_EQ(job().PredictionId, QStringLiteral("p1"));
    EXPECT_EQ(job().PollCount, 0);
    EXPECT_EQ(job().ElapsedSeconds, 0);

    job().TimerElapsedTimer();
    EXPECT_EQ(window.clockPanel, QStringLiteral("00:01"));

    tick(); // starting: nothing changes
    EXPECT_EQ(window.statePanel, kRequested);
    EXPECT_EQ(job().PollCount, 1);
    EXPECT_TRUE(window.pollTimer);

    tick(); // processing
    EXPECT_EQ(window.statePanel, QStringLiteral("Processing..."));
    EXPECT_EQ(job().PollCount, 0);
    EXPECT_FALSE(window.convertEnabled);

    tick(); // succeeded
    EXPECT_EQ(window.statePanel, QStringLiteral("Succeeded"));
    // The model's subtitles in the standard form.
    EXPECT_EQ(window.pane,
              NormalizeSubtitles(QString::fromStdString(FakePredictionService::webVtt()),
                                 SubtitleFormat::WebVtt));
    EXPECT_TRUE(window.pane.startsWith(QStringLiteral("WEBVTT\n\n00:00:00.000 --> ")));
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_TRUE(desktop.messages.isEmpty());
    expectIdle();

    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 4u);
    for (std::size_t i = 1; i < 4; ++i) {
        EXPECT_EQ(requests[i].method, "GET");
        EXPECT_EQ(requests[i].path, "/v1/predictions/p1");
    }
}

TEST_F(JobTest, SucceededWithoutSubtitlesShowsTheJsonError)
{
    startWaiting({FakePredictionService::prediction("p1", "succeeded", 200,
                                                    R"({"text":"hi","language":"en"})")});
    tick();
    EXPECT_EQ(window.pane, QStringLiteral("JSON ERROR: Subtitles not found in \"output\" object!"));
    EXPECT_EQ(window.statePanel, QStringLiteral("Succeeded"));
    EXPECT_EQ(desktop.beeps, 1);
    expectIdle();
}

struct CreateOutcome {
    const char* name;
    FakeAnswer answer;
    int messages; // boxes shown by the request itself
};

void PrintTo(const CreateOutcome& c, std::ostream* os)
{
    *os << c.name;
}

class CreateFailureTest : public JobTest, public ::testing::WithParamInterface<CreateOutcome> {};

TEST_P(CreateFailureTest, EndsTheJobAtOnce)
{
    service.scriptCreate({GetParam().answer});
    start();
    convert();
    EXPECT_EQ(window.statePanels.last(), QStringLiteral("Failed"));
    EXPECT_EQ(desktop.messages.size(), GetParam().messages);
    EXPECT_EQ(desktop.beeps, 0);
    EXPECT_FALSE(window.busyCursor);
    EXPECT_TRUE(job().PredictionId.isEmpty());
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Table, CreateFailureTest,
    ::testing::Values(
        CreateOutcome{"processing at once",
                      FakePredictionService::prediction("p1", "processing", 201), 0},
        CreateOutcome{"succeeded at once",
                      FakePredictionService::prediction("p1", "succeeded", 201), 0},
        CreateOutcome{
            "starting without identifier",
            FakePredictionService::raw(201, "application/json", R"({"status":"starting"})"), 0},
        CreateOutcome{"not JSON", FakePredictionService::raw(201, "text/plain", "Created"), 0},
        CreateOutcome{"unauthorized",
                      FakePredictionService::problem(
                          401, "Unauthenticated", "You did not pass a valid authentication token"),
                      1},
        CreateOutcome{"payment required",
                      FakePredictionService::problem(402, "Payment Required", "Add billing"), 1},
        CreateOutcome{"server error",
                      FakePredictionService::htmlPage(500, "500 Internal Server Error"), 1}));

struct EndCase {
    const char* status;
};

class FinalStatusTest : public JobTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(FinalStatusTest, ShowsTheLaidOutAnswerAndEnds)
{
    FakeAnswer answer =
        FakePredictionService::prediction("p1", GetParam(), 200, {}, "\"E: no audio\"");
    startWaiting({answer});
    tick();
    EXPECT_EQ(window.pane, JsonReformat(QString::fromStdString(answer.body)));
    EXPECT_TRUE(window.pane.startsWith(QStringLiteral("{\r\n\t\"id\": \"p1\",\r\n")));
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    EXPECT_EQ(desktop.beeps, 1);
    EXPECT_TRUE(desktop.messages.isEmpty());
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(Statuses, FinalStatusTest,
                         ::testing::Values("failed", "canceled", "aborted"));

struct WaitCase {
    const char* name;
    FakeAnswer answer;
};

void PrintTo(const WaitCase& c, std::ostream* os)
{
    *os << c.name;
}

class KeepsWaitingTest : public JobTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(KeepsWaitingTest, ChangesNothing)
{
    startWaiting({GetParam().answer});
    window.pane = QStringLiteral("untouched");
    tick();
    tick();
    EXPECT_EQ(job().PollCount, 2);
    EXPECT_TRUE(window.statePanels.isEmpty());
    EXPECT_EQ(window.pane, QStringLiteral("untouched"));
    EXPECT_FALSE(window.convertEnabled);
    EXPECT_TRUE(window.pollTimer);
    EXPECT_TRUE(window.clockTimer);
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(desktop.beeps, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KeepsWaitingTest,
    ::testing::Values(WaitCase{"starting", FakePredictionService::prediction("p1", "starting")},
                      WaitCase{"unknown status", FakePredictionService::prediction("p1", "queued")},
                      WaitCase{"capitalised status",
                               FakePredictionService::prediction("p1", "Succeeded")}));

class DetachTest : public JobTest, public ::testing::WithParamInterface<WaitCase> {};

TEST_P(DetachTest, AnAnswerWithoutStatusDetachesThePolling)
{
    startWaiting({GetParam().answer, FakePredictionService::processing("p1"),
                  FakePredictionService::succeeded("p1", FakePredictionService::subRip())});
    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    EXPECT_EQ(window.pane, QStringLiteral("Something is wrong!\r\r") +
                               QString::fromStdString(GetParam().answer.body).trimmed());
    EXPECT_TRUE(window.convertEnabled);
    EXPECT_FALSE(window.clockTimer);
    EXPECT_TRUE(window.pollTimer); // polling goes on
    EXPECT_TRUE(desktop.messages.isEmpty());

    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Processing..."));
    EXPECT_FALSE(window.clockTimer); // the clock stays stopped
    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Succeeded"));
    EXPECT_EQ(window.pane, QString::fromStdString(FakePredictionService::subRip()));
    EXPECT_EQ(desktop.beeps, 1);
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Table, DetachTest,
    ::testing::Values(WaitCase{"object without status",
                               FakePredictionService::raw(200, "application/json",
                                                          R"({"id":"p1","output":null})")},
                      WaitCase{"empty status", FakePredictionService::raw(200, "application/json",
                                                                          R"({"status":""})")},
                      WaitCase{"array",
                               FakePredictionService::raw(200, "application/json",
                                                          R"([{"status":"processing"}])")}));

TEST_F(JobTest, ThePollLimitEndsTheJobOnItsMillionthTickWhateverTheAnswer)
{
    FakeAnswer succeeded = FakePredictionService::succeeded("p1", FakePredictionService::webVtt());
    startWaiting({FakePredictionService::starting("p1"), succeeded});
    job().PollCount = 999998;
    tick();
    EXPECT_EQ(job().PollCount, 999999);
    EXPECT_TRUE(window.pollTimer);
    tick();
    EXPECT_EQ(job().PollCount, 1000000);
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    EXPECT_EQ(window.pane, JsonReformat(QString::fromStdString(succeeded.body)));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("ERROR"));
    EXPECT_EQ(desktop.messages[0].text, QStringLiteral("Server error!\r\rPlease try again."));
    EXPECT_EQ(desktop.beeps, 0);
    expectIdle();
}

TEST_F(JobTest, ThePollLimitShowsAnAnswerThatIsNotJsonAsItIs)
{
    startWaiting({FakePredictionService::htmlPage(504, "504 Gateway Time-out")});
    job().PollCount = 999999;
    tick();
    EXPECT_TRUE(window.pane.startsWith(QStringLiteral("<html>")));
    EXPECT_EQ(desktop.messages.value(0).text, QStringLiteral("Server error!\r\rPlease try again."));
    expectIdle();
}

TEST_F(JobTest, ProcessingResetsTheCounterBeforeTheLimit)
{
    startWaiting({FakePredictionService::processing("p1"), FakePredictionService::starting("p1")});
    job().PollCount = 999998;
    tick();
    EXPECT_EQ(job().PollCount, 0);
    tick();
    EXPECT_EQ(job().PollCount, 1);
    EXPECT_TRUE(window.pollTimer);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(JobTest, EachFetchReadsTheKeyAnew)
{
    startWaiting({FakePredictionService::starting("p1")});
    tick();
    window.key = QStringLiteral("r8_corrected");
    tick();
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].header("Authorization"), "Token r8_key");
    EXPECT_EQ(requests[1].header("Authorization"), "Token r8_corrected");
}

TEST_F(JobTest, ANewConvertReplacesThePolledPrediction)
{
    service.scriptCreate(
        {FakePredictionService::starting("p1"), FakePredictionService::starting("p2")});
    service.scriptPolls("p1", {FakePredictionService::processing("p1")});
    service.scriptPolls("p2", {FakePredictionService::starting("p2")});
    start();
    convert();
    tick();
    job().TimerElapsedTimer();
    job().TimerElapsedTimer();
    EXPECT_EQ(window.clockPanel, QStringLiteral("00:02"));
    convert();
    EXPECT_EQ(job().PredictionId, QStringLiteral("p2"));
    EXPECT_EQ(job().PollCount, 0);
    EXPECT_EQ(job().ElapsedSeconds, 0);
    EXPECT_EQ(window.clockPanel, QStringLiteral("00:02")); // until the new clock's first tick
    service.clearRequests();
    tick();
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/v1/predictions/p2");
}

TEST_F(JobTest, AFailedNewConvertLeavesTheEarlierPredictionPolled)
{
    service.scriptCreate(
        {FakePredictionService::starting("p1"),
         FakePredictionService::problem(500, "Internal Server Error", "Try again")});
    service.scriptPolls("p1", {FakePredictionService::processing("p1")});
    start();
    convert();
    convert();
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    EXPECT_TRUE(window.convertEnabled);
    EXPECT_FALSE(window.clockTimer);
    EXPECT_TRUE(window.pollTimer);
    EXPECT_EQ(job().PredictionId, QStringLiteral("p1"));
    service.clearRequests();
    tick();
    EXPECT_EQ(service.requests().at(0).path, "/v1/predictions/p1");
    EXPECT_EQ(window.statePanel, QStringLiteral("Processing..."));
}

TEST_F(JobTest, ATickNeverRunsInsideARequest)
{
    FakeAnswer slow = FakePredictionService::processing("p1");
    slow.delayMs = 300;
    startWaiting({slow});
    job().TimerReplicateTimer();
    ASSERT_TRUE(job().requestRunning());
    // A tick inside the request is skipped: the next one polls. The user's own commands never
    // get here during a request: the window holds them and runs them once it has ended. The
    // job itself still never starts a second conversion inside a running request.
    job().TimerReplicateTimer();
    job().ConvertUsingReplicate();
    ASSERT_TRUE(WaitFor([&] { return !job().requestRunning(); }));
    QTest::qWait(50);
    EXPECT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(job().PollCount, 0); // one tick counted, then reset by "processing"
}

TEST_F(JobTest, ATickNeverRunsInsideATicksOwnBox)
{
    startWaiting({FakePredictionService::problem(401, "Unauthenticated",
                                                 "You did not pass a valid authentication token")});
    int ticksInBox = 0;
    desktop.onMessage = [&](const RecordingDesktop::Message&) {
        // The poll timer keeps firing while a real box is open.
        nowMs += 5000;
        job().TimerReplicateTimer();
        job().TimerReplicateTimer();
        ++ticksInBox;
    };
    tick();
    QTest::qWait(50);
    EXPECT_EQ(ticksInBox, 1);
    EXPECT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(service.requests().size(), 1u);
    EXPECT_EQ(job().PollCount, 1);
}

TEST(ElapsedText, MinutesAndSecondsGrowPastNinetyNine)
{
    EXPECT_EQ(ElapsedText(0), QStringLiteral("00:00"));
    EXPECT_EQ(ElapsedText(1), QStringLiteral("00:01"));
    EXPECT_EQ(ElapsedText(59), QStringLiteral("00:59"));
    EXPECT_EQ(ElapsedText(60), QStringLiteral("01:00"));
    EXPECT_EQ(ElapsedText(5999), QStringLiteral("99:59"));
    EXPECT_EQ(ElapsedText(6000), QStringLiteral("100:00"));
    EXPECT_EQ(ElapsedText(600000), QStringLiteral("10000:00"));
}

TEST_F(JobTest, TheClockCountsFromTheStart)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    service.scriptPolls("p1", {FakePredictionService::starting("p1")});
    start();
    convert();
    for (int i = 0; i < 61; ++i)
        job().TimerElapsedTimer();
    EXPECT_EQ(window.clockPanel, QStringLiteral("01:01"));
}

} // namespace
