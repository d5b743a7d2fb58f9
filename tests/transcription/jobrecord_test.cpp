// A conversion outlives the program: the record in settings.ini, the resume at the next
// start, and the lock that keeps a second copy of the program away from it.
#include "transcription/jobrecord.h"

#include "jobtesting.h"
#include "platform/inifile.h"

#include <gtest/gtest.h>

namespace {

const std::string kSubtitles = FakePredictionService::subRip();

class JobRecordTest : public JobTest {
protected:
    QString iniPath() const { return dataFolder.filePath(QStringLiteral("settings.ini")); }
    std::shared_ptr<JobRecordStore> newStore() const
    {
        return std::make_shared<SettingsJobRecord>(iniPath(),
                                                   dataFolder.filePath(QStringLiteral("job.lock")));
    }
    QString kept(const QString& key) const
    {
        return IniFile(iniPath()).readString(QStringLiteral("Job"), key).value_or(QString());
    }
    // The program closes and starts again on the same settings folder.
    void restart()
    {
        m_job.reset();
        record = newStore();
        outcomes.clear();
    }
};

TEST_F(JobRecordTest, TheRunningPredictionIsKeptAndRemovedAtTheEnd)
{
    IniFile(iniPath()).writeString(QStringLiteral("Settings"), QStringLiteral("Key"),
                                   QStringLiteral("r8_kept"));
    record = newStore();
    startWaiting({FakePredictionService::processing("p1"),
                  FakePredictionService::succeeded("p1", kSubtitles)});
    EXPECT_EQ(kept(QStringLiteral("PredictionId")), QStringLiteral("p1"));
    EXPECT_EQ(QDateTime::fromString(kept(QStringLiteral("Started")), Qt::ISODate),
              wallStart.addMSecs(nowMs));
    tick();
    tick();
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(kept(QStringLiteral("PredictionId")), QString());
    EXPECT_EQ(kept(QStringLiteral("Started")), QString());
    // The rest of the file is left alone.
    EXPECT_EQ(IniFile(iniPath()).readString(QStringLiteral("Settings"), QStringLiteral("Key")),
              QStringLiteral("r8_kept"));
}

TEST_F(JobRecordTest, AJobWithoutAStoreLeavesTheSettingsAlone)
{
    startWaiting({FakePredictionService::succeeded("p1", kSubtitles)});
    tick();
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_FALSE(QFile::exists(iniPath()));
}

TEST_F(JobRecordTest, ARestartHalfWayFinishesTheSameJobWithoutASecondCreate)
{
    record = newStore();
    startWaiting({FakePredictionService::processing("p1")});
    tick();
    tick();
    job().TimerElapsedTimer();
    const QDateTime started = wallStart.addMSecs(nowMs - 2000);

    restart();
    nowMs += 90000; // the program was closed for a minute and a half
    service.scriptPolls("p1", {FakePredictionService::processing("p1"),
                               FakePredictionService::succeeded("p1", kSubtitles)});
    ASSERT_TRUE(job().ResumeRecorded());
    EXPECT_TRUE(job().running());
    EXPECT_EQ(window.statePanel,
              QStringLiteral("Resumed the conversion started on ") +
                  started.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm")));
    EXPECT_EQ(job().ElapsedSeconds, 92); // the clock goes on from the start
    EXPECT_EQ(window.clockPanel, QStringLiteral("01:32"));
    EXPECT_FALSE(window.convertEnabled);
    EXPECT_TRUE(window.pollTimer);
    EXPECT_TRUE(window.clockTimer);

    ASSERT_TRUE(tickUntilEnded(10));
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Succeeded);
    EXPECT_EQ(window.pane, QString::fromStdString(kSubtitles));
    EXPECT_EQ(creates(), 0); // the one create was before the restart
    EXPECT_EQ(countRequests("POST", "/v1/predictions/p1/cancel"), 0);
    EXPECT_EQ(kept(QStringLiteral("PredictionId")), QString());
    EXPECT_FALSE(job().running());
}

TEST_F(JobRecordTest, OnlyOneCopyOfTheProgramResumesAJob)
{
    record = newStore();
    startWaiting({FakePredictionService::processing("p1")});
    restart();
    ASSERT_TRUE(job().ResumeRecorded());

    // A second copy started meanwhile on the same settings folder.
    RecordingWindow otherWindow;
    ConversionJobOptions options;
    options.record = newStore();
    ConversionJob other(otherWindow, desktop, EndpointsFor(service), timeouts, options);
    service.clearRequests();
    EXPECT_FALSE(other.ResumeRecorded());
    EXPECT_FALSE(other.running());
    other.TimerReplicateTimer();
    QTest::qWait(50);
    EXPECT_TRUE(service.requests().empty());
    EXPECT_TRUE(otherWindow.statePanels.isEmpty());
    EXPECT_EQ(kept(QStringLiteral("PredictionId")), QStringLiteral("p1"));
}

TEST_F(JobRecordTest, APredictionTheServiceNoLongerKnowsEndsWithAMessageAndIsForgotten)
{
    IniFile ini(iniPath());
    ini.writeString(QStringLiteral("Job"), QStringLiteral("Started"),
                    QStringLiteral("2026-12-09T08:00:00Z"));
    ini.writeString(QStringLiteral("Job"), QStringLiteral("PredictionId"), QStringLiteral("gone1"));
    record = newStore();
    start();
    ASSERT_TRUE(job().ResumeRecorded());
    tick(); // the fake answers 404 for a prediction it never made
    ASSERT_EQ(outcomes.size(), 1);
    EXPECT_EQ(outcomes[0].result, ConversionOutcome::Result::Failed);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_TRUE(
        desktop.messages[0].text.contains(QStringLiteral("no longer knows the prediction gone1")));
    EXPECT_EQ(kept(QStringLiteral("PredictionId")), QString());
    // Forgotten: the next start finds nothing.
    restart();
    EXPECT_FALSE(job().ResumeRecorded());
}

TEST_F(JobRecordTest, AKeptIdentifierThatIsNotOneIsIgnored)
{
    IniFile ini(iniPath());
    ini.writeString(QStringLiteral("Job"), QStringLiteral("PredictionId"),
                    QStringLiteral("../files/x?y"));
    record = newStore();
    start();
    EXPECT_FALSE(job().ResumeRecorded());
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(JobRecordTest, AnUploadLeftWithoutItsPredictionIsDeletedAtTheNextStart)
{
    IniFile ini(iniPath());
    ini.writeString(QStringLiteral("Job"), QStringLiteral("FileId"), QStringLiteral("file1"));
    record = newStore();
    start();
    EXPECT_FALSE(job().ResumeRecorded());
    ASSERT_TRUE(WaitFor([&] { return kept(QStringLiteral("FileId")).isEmpty(); }));
    EXPECT_EQ(countRequests("DELETE", "/v1/files/file1"), 1);
    EXPECT_FALSE(job().running());
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST(SettingsJobRecord, OneHolderAtATime)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("settings.ini"));
    const QString lock = folder.filePath(QStringLiteral("job.lock"));
    SettingsJobRecord first(ini, lock);
    SettingsJobRecord second(ini, lock);
    JobRecordData data{QStringLiteral("p1"), QStringLiteral("f1"),
                       QDateTime(QDate(2026, 12, 10), QTime(8, 30), Qt::UTC)};
    ASSERT_TRUE(first.save(data));
    EXPECT_FALSE(second.claim());
    EXPECT_FALSE(second.save({QStringLiteral("p2"), {}, {}}));
    const auto loaded = second.load();
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->predictionId, QStringLiteral("p1"));
    EXPECT_EQ(loaded->fileId, QStringLiteral("f1"));
    EXPECT_EQ(loaded->started, data.started);
    first.clear();
    EXPECT_FALSE(second.load());
    EXPECT_TRUE(second.claim()); // given up with the record
}

} // namespace
