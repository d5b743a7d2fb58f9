// Polling through a flaky network and a service that says no: the back-off, the limits of
// the poll rhythm, the answers that end a job.
#include "transcription/conversionjob.h"

#include "jobtesting.h"
#include "transcription/pollbackoff.h"
#include "transcription/subtitles.h"

#include <gtest/gtest.h>

#include <iostream>
#include <random>

namespace {

const QString kRequested =
    QStringLiteral("Requested. Please wait... (This may take up to 10 minutes)");
const std::string kSubtitles = FakePredictionService::webVtt();
// What the pane shows of kSubtitles: their standard form.
QString shownSubtitles()
{
    return NormalizeSubtitles(QString::fromStdString(kSubtitles), SubtitleFormat::WebVtt);
}

FakeAnswer dropped()
{
    FakeAnswer answer = FakePredictionService::processing("p1");
    answer.dropConnection = true;
    return answer;
}

FakeAnswer withHeader(FakeAnswer answer, const std::string& name, const std::string& value)
{
    answer.headers.emplace(name, value);
    return answer;
}

TEST(PollBackoff, DoublesFromOneToThirtySecondsWithJitterBelowEachStep)
{
    PollBackoff backoff(42);
    const qint64 steps[] = {1000, 2000, 4000, 8000, 16000, 30000, 30000, 30000};
    for (const qint64 step : steps) {
        const qint64 delay = backoff.failed();
        EXPECT_LE(delay, step);
        EXPECT_GE(delay, std::max<qint64>(1000, step * 3 / 4));
    }
    backoff.reset();
    EXPECT_EQ(backoff.failed(), 1000);
}

TEST(PollBackoff, TheJitterDependsOnTheSeedAndIsRepeatable)
{
    PollBackoff a(1), b(1), c(2);
    std::vector<qint64> first, second, third;
    for (int i = 0; i < 8; ++i) {
        first.push_back(a.failed());
        second.push_back(b.failed());
        third.push_back(c.failed());
    }
    EXPECT_EQ(first, second);
    EXPECT_NE(first, third);
}

TEST(PollBackoff, ARetryAfterLongerThanTheStepIsHonouredAndAbsurdOnesAreCapped)
{
    PollBackoff backoff(3);
    EXPECT_EQ(backoff.failed(12000), 12000);
    EXPECT_LE(backoff.failed(500), 2000); // shorter than the step: the step holds
    EXPECT_EQ(backoff.failed(qint64(1) << 40), PollBackoff::kLongestRequestedMs);
}

TEST(RetryAfter, SecondsAndHttpDates)
{
    const QDateTime now(QDate(2026, 12, 10), QTime(12, 0, 0), Qt::UTC);
    EXPECT_EQ(RetryAfterMs("5", now), 5000);
    EXPECT_EQ(RetryAfterMs(" 0 ", now), 0);
    EXPECT_EQ(RetryAfterMs("Thu, 10 Dec 2026 12:00:30 GMT", now), 30000);
    EXPECT_EQ(RetryAfterMs("Thu, 10 Dec 2026 11:00:00 GMT", now), 0);
    EXPECT_LT(RetryAfterMs("", now), 0);
    EXPECT_LT(RetryAfterMs("-3", now), 0);
    EXPECT_LT(RetryAfterMs("soon", now), 0);
}

struct VerdictCase {
    const char* name;
    FetchAnswer answer;
    FetchVerdict verdict;
};

void PrintTo(const VerdictCase& c, std::ostream* os)
{
    *os << c.name;
}

FetchAnswer answerOf(int status, const char* contentType, const char* body)
{
    FetchAnswer answer;
    answer.answered = true;
    answer.status = status;
    answer.contentType = contentType;
    answer.body = QString::fromUtf8(body);
    return answer;
}

class VerdictTest : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictTest, Classifies)
{
    EXPECT_EQ(ClassifyFetch(GetParam().answer), GetParam().verdict);
}

const char* const kJson = "application/json";
const char* const kProblem = "application/problem+json";

INSTANTIATE_TEST_SUITE_P(
    Table, VerdictTest,
    ::testing::Values(
        VerdictCase{"transport", FetchAnswer{}, FetchVerdict::Transient},
        VerdictCase{"200", answerOf(200, kJson, R"({"status":"processing"})"),
                    FetchVerdict::Answer},
        VerdictCase{"200 html page",
                    answerOf(200, "text/html; charset=utf-8", "<html>portal</html>"),
                    FetchVerdict::Transient},
        VerdictCase{"html without type", answerOf(200, "", "<!DOCTYPE html><p>x"),
                    FetchVerdict::Transient},
        VerdictCase{"408", answerOf(408, kProblem, "{}"), FetchVerdict::Transient},
        VerdictCase{"429", answerOf(429, kProblem, R"({"status":429})"), FetchVerdict::Transient},
        VerdictCase{"500", answerOf(500, kProblem, "{}"), FetchVerdict::Transient},
        VerdictCase{"502", answerOf(502, "text/html", "<html>"), FetchVerdict::Transient},
        VerdictCase{"503", answerOf(503, kJson, "{}"), FetchVerdict::Transient},
        VerdictCase{"401", answerOf(401, kProblem, R"({"status":401})"), FetchVerdict::Credentials},
        VerdictCase{"403", answerOf(403, kProblem, "{}"), FetchVerdict::Credentials},
        VerdictCase{"402", answerOf(402, kProblem, "{}"), FetchVerdict::Billing},
        VerdictCase{"404", answerOf(404, kProblem, R"({"status":404})"), FetchVerdict::Gone},
        VerdictCase{"400", answerOf(400, kProblem, "{}"), FetchVerdict::Refused},
        VerdictCase{"422", answerOf(422, kProblem, "{}"), FetchVerdict::Refused}));

struct FaultCase {
    const char* name;
    FakeAnswer fault;
};

void PrintTo(const FaultCase& c, std::ostream* os)
{
    *os << c.name;
}

class RiddenOutTest : public JobTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(RiddenOutTest, IsRetriedAfterASecondAndTheSubtitlesArrive)
{
    startWaiting({FakePredictionService::processing("p1"), GetParam().fault, GetParam().fault,
                  FakePredictionService::processing("p1"),
                  FakePredictionService::succeeded("p1", kSubtitles)});
    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Processing..."));
    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Connection lost, retrying in 1 s..."));
    EXPECT_TRUE(window.pollTimer);
    EXPECT_FALSE(window.convertEnabled);
    EXPECT_TRUE(window.clockTimer); // the clock keeps running
    tick();                         // the second fault: two seconds now
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 3);
    EXPECT_EQ(window.statePanel, QStringLiteral("Connection lost, retrying in 2 s..."));
    tick(); // waits, counting down
    EXPECT_EQ(window.statePanel, QStringLiteral("Connection lost, retrying in 1 s..."));
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 3);
    tick(); // processing again: the panel says so
    EXPECT_EQ(window.statePanel, QStringLiteral("Processing..."));
    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Succeeded"));
    EXPECT_EQ(window.pane, shownSubtitles());
    EXPECT_TRUE(desktop.messages.isEmpty());
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    expectIdle();
}

INSTANTIATE_TEST_SUITE_P(
    Table, RiddenOutTest,
    ::testing::Values(
        FaultCase{"dropped connection", dropped()},
        FaultCase{"proxy page", FakePredictionService::htmlPage(502, "502 Bad Gateway")},
        FaultCase{"proxy page with 200", FakePredictionService::htmlPage(200, "Sign in")},
        FaultCase{"server error",
                  FakePredictionService::problem(500, "Internal Server Error", "Oops")},
        FaultCase{"unavailable", FakePredictionService::problem(503, "Unavailable", "Later")},
        FaultCase{"throttled", FakePredictionService::problem(429, "Request was throttled",
                                                              "Expected available in 1 second.")}));

TEST_F(JobTest, AStartingPredictionSaysSoAgainAfterTheRetry)
{
    startWaiting({dropped(), FakePredictionService::starting("p1")});
    tick();
    EXPECT_TRUE(window.statePanel.startsWith(QStringLiteral("Connection lost")));
    service.scriptPolls("p1", {FakePredictionService::starting("p1")});
    tick();
    EXPECT_EQ(window.statePanel, kRequested);
}

TEST_F(JobTest, RetryAfterIsHonoured)
{
    startWaiting({withHeader(FakePredictionService::problem(429, "Request was throttled",
                                                            "Expected available in 5 seconds."),
                             "Retry-After", "5"),
                  FakePredictionService::succeeded("p1", kSubtitles)});
    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Connection lost, retrying in 5 s..."));
    for (int second = 4; second >= 1; --second) {
        tick();
        EXPECT_EQ(window.statePanel,
                  QStringLiteral("Connection lost, retrying in %1 s...").arg(second));
    }
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 1);
    tick();
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 2);
    EXPECT_EQ(window.statePanel, QStringLiteral("Succeeded"));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(JobTest, AGoodAnswerResetsTheBackOff)
{
    startWaiting({dropped(), dropped(), FakePredictionService::processing("p1"), dropped(),
                  FakePredictionService::processing("p1")});
    tick(); // dropped: one second
    tick(); // dropped: two seconds
    EXPECT_EQ(window.statePanel, QStringLiteral("Connection lost, retrying in 2 s..."));
    tick();
    tick(); // processing
    EXPECT_EQ(window.statePanel, QStringLiteral("Processing..."));
    tick(); // dropped: back to one second
    EXPECT_EQ(window.statePanel, QStringLiteral("Connection lost, retrying in 1 s..."));
    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Processing..."));
}

TEST_F(JobTest, NeverMoreThanOnePollASecondHoweverTheTicksCome)
{
    startWaiting({FakePredictionService::processing("p1")});
    // Ticks every 300 ms for 6 s (a timer gone wild, or a window replaying ticks).
    for (int i = 0; i < 20; ++i) {
        nowMs += 300;
        job().TimerReplicateTimer();
        ASSERT_TRUE(WaitFor([&] { return !job().requestRunning(); }));
    }
    const int polls = countRequests("GET", "/v1/predictions/p1");
    EXPECT_GE(polls, 5);
    EXPECT_LE(polls, 6);
}

TEST_F(JobTest, TenMinutesWithoutAGoodAnswerEndsInError)
{
    startWaiting({FakePredictionService::processing("p1"), dropped()});
    tick();
    const qint64 lastGood = nowMs;
    ASSERT_TRUE(tickUntilEnded(700));
    EXPECT_GE(nowMs - lastGood, 600000);
    EXPECT_LE(nowMs - lastGood, 600000 + 31000);
    EXPECT_EQ(window.pane, QStringLiteral("ERROR"));
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("ERROR"));
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Error);
    EXPECT_EQ(outcomes.value(0).result, ConversionOutcome::Result::Failed);
    // 1 + 2 + 4 + 8 + 16 s, then one try every 30 s at most.
    EXPECT_LE(countRequests("GET", "/v1/predictions/p1"), 1 + 5 + 600 / 22 + 1);
    expectIdle();
}

struct RefusalCase {
    const char* name;
    FakeAnswer answer;
    QString focus;
    QStringList inMessage;
};

void PrintTo(const RefusalCase& c, std::ostream* os)
{
    *os << c.name;
}

class RefusedWhilePollingTest : public JobTest,
                                public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(RefusedWhilePollingTest, EndsAtOnceWithAMessage)
{
    startWaiting({FakePredictionService::processing("p1"), GetParam().answer,
                  FakePredictionService::processing("p1")});
    tick();
    tick();
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    EXPECT_EQ(window.focus, GetParam().focus);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("WARNING"));
    for (const QString& part : GetParam().inMessage)
        EXPECT_TRUE(desktop.messages[0].text.contains(part))
            << desktop.messages[0].text.toStdString();
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Failed);
    expectIdle();
    tick();
    tick();
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 2); // polling has stopped
}

INSTANTIATE_TEST_SUITE_P(
    Table, RefusedWhilePollingTest,
    ::testing::Values(
        RefusalCase{"key revoked",
                    FakePredictionService::problem(401, "Unauthenticated",
                                                   "You did not pass a valid authentication token"),
                    QStringLiteral("key"),
                    {QStringLiteral("401"), QStringLiteral("The API key no longer works"),
                     QStringLiteral("You did not pass a valid authentication token")}},
        RefusalCase{"forbidden",
                    FakePredictionService::problem(403, "Forbidden", "Not yours"),
                    QStringLiteral("key"),
                    {QStringLiteral("403"), QStringLiteral("Not yours")}},
        RefusalCase{"deleted",
                    FakePredictionService::problem(404, "Not found", "Prediction not found"),
                    QString(),
                    {QStringLiteral("no longer knows the prediction p1"),
                     QStringLiteral("Prediction not found")}},
        RefusalCase{"billing",
                    FakePredictionService::problem(402, "Payment Required", "Add a card"),
                    QString(),
                    {QStringLiteral("Manage Billing"), QStringLiteral("Add a card")}},
        RefusalCase{"bad request",
                    FakePredictionService::problem(400, "Bad", "Malformed id"),
                    QString(),
                    {QStringLiteral("HTTP response code: 400"), QStringLiteral("Malformed id")}}));

TEST_F(JobTest, AFailedAnswerThatCannotBeLaidOutIsShownAsItIs)
{
    // A raw tab inside a string: read by the JSON parser, refused by the layout.
    const std::string body = R"({"id":"p1","status":"failed","error":"E: bad)"
                             "\t"
                             R"(input"})";
    startWaiting({FakePredictionService::raw(200, "application/json", body)});
    tick();
    EXPECT_EQ(window.pane, QString::fromStdString(body));
    EXPECT_EQ(window.statePanel, QStringLiteral("Failed"));
    EXPECT_EQ(outcomes.value(0).reason, QStringLiteral("E: bad\tinput"));
}

// 30% of the polls fail, at random but the same way every run.
TEST_F(JobTest, ThirtyPercentOfPollsFailingStillGivesTheSubtitles)
{
    std::mt19937 random(20261210);
    std::bernoulli_distribution fails(0.3);
    const std::vector<FakeAnswer> faults = {
        dropped(), FakePredictionService::htmlPage(502, "502 Bad Gateway"),
        FakePredictionService::problem(503, "Unavailable", "Later"),
        FakePredictionService::problem(429, "Request was throttled", "Slow down")};
    std::vector<FakeAnswer> polls;
    int failures = 0;
    for (int i = 0; i < 120; ++i) {
        if (fails(random)) {
            polls.push_back(faults[i % faults.size()]);
            ++failures;
        } else {
            polls.push_back(FakePredictionService::processing("p1"));
        }
    }
    ASSERT_GT(failures, 20);
    polls.push_back(FakePredictionService::succeeded("p1", kSubtitles));
    startWaiting(polls);
    ASSERT_TRUE(tickUntilEnded(2000));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    EXPECT_EQ(window.pane, shownSubtitles());
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(countRequests("GET", "/v1/predictions/p1"), 121);
    EXPECT_EQ(creates(), 0); // startWaiting cleared the one create
}

// A ten-minute job with the service out of reach for the sixty seconds after minute four:
// the subtitles arrive, and the outage costs a handful of requests, not sixty.
TEST_F(JobTest, ASixtySecondOutageInATenMinuteJob)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    service.scriptPolls("p1", {FakePredictionService::processing("p1")});
    start();
    convert();
    const qint64 begin = nowMs;
    const auto runUntil = [&](qint64 end) {
        while (nowMs < end && outcomes.isEmpty())
            tick();
    };
    runUntil(begin + 240000);
    const int before = countRequests("GET", "/v1/predictions/p1");
    service.scriptPolls("p1", {dropped()});
    runUntil(begin + 300000);
    EXPECT_TRUE(window.statePanel.startsWith(QStringLiteral("Connection lost")));
    service.scriptPolls("p1", {FakePredictionService::processing("p1")});
    const int duringOutage = countRequests("GET", "/v1/predictions/p1") - before;
    runUntil(begin + 600000);
    service.scriptPolls("p1", {FakePredictionService::succeeded("p1", kSubtitles)});
    ASSERT_TRUE(tickUntilEnded(40));
    const int total = countRequests("GET", "/v1/predictions/p1");
    std::cout << "[ figures  ] 10-minute job, 60 s outage: " << total << " polls, " << duringOutage
              << " during the outage\n";
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    EXPECT_EQ(window.pane, shownSubtitles());
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_EQ(creates(), 1);
    // One a second outside the outage; 1, 2, 4, 8, 16, then 30 s apart inside it.
    EXPECT_GE(duringOutage, 5);
    EXPECT_LE(duringOutage, 7);
    EXPECT_LE(total, 540 + duringOutage + 32);
}

} // namespace
