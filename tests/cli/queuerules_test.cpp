// The queue's plain rules: the rate of starts, where subtitles are written, the row texts.
#include "transcription/conversionqueue.h"
#include "transcription/createratelimiter.h"
#include "transcription/subtitletarget.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

TEST(CreateRateLimiterTest, NeverMoreThanTheLimitInAnyWindow)
{
    CreateRateLimiter limiter(600, 60000);
    // Starts as fast as the limiter lets them through, over three minutes of a test clock.
    std::vector<qint64> starts;
    qint64 now = 0;
    while (now < 180000) {
        const qint64 delay = limiter.delayAt(now);
        if (delay > 0) {
            now += delay;
            continue;
        }
        limiter.recordStart(now);
        starts.push_back(now);
        now += 7; // a burst: far quicker than the limit allows
    }
    ASSERT_GT(starts.size(), 1200u);
    std::size_t first = 0;
    for (std::size_t last = 0; last < starts.size(); ++last) {
        while (starts[last] - starts[first] >= 60000)
            ++first;
        ASSERT_LE(last - first + 1, 600u) << "at " << starts[last] << " ms";
    }
}

TEST(CreateRateLimiterTest, WaitsUntilTheOldestStartLeavesTheWindow)
{
    CreateRateLimiter limiter(2, 1000);
    limiter.recordStart(100);
    limiter.recordStart(400);
    EXPECT_EQ(limiter.delayAt(500), 600);
    EXPECT_EQ(limiter.delayAt(1100), 0);
}

struct TargetCase {
    const char* name;
    QString source;       // relative to the folder, or a web address
    QStringList existing; // files present in the folder
    bool vtt;
    bool overwrite;
    bool intoOutput;  // into the "out" folder instead of beside the source
    QString expected; // relative to the folder
};

class SubtitleTargetTest : public ::testing::TestWithParam<TargetCase> {};

TEST_P(SubtitleTargetTest, ChoosesTheName)
{
    const TargetCase& c = GetParam();
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("out"));
    for (const QString& name : c.existing) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << name.toStdString();
    }
    const QString source = IsWebAddress(c.source) ? c.source : folder.filePath(c.source);
    const QString output = c.intoOutput ? folder.filePath(QStringLiteral("out")) : QString();
    EXPECT_EQ(SubtitleTargetPath(source, output, c.vtt, c.overwrite, {}),
              folder.filePath(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SubtitleTargetTest,
    ::testing::Values(
        TargetCase{"beside", "talk.mp3", {"talk.mp3"}, true, false, false, "talk.vtt"},
        TargetCase{"srt", "talk.mp3", {"talk.mp3"}, false, false, false, "talk.srt"},
        TargetCase{"last_extension_only", "a.b.mp3", {}, true, false, false, "a.b.vtt"},
        TargetCase{
            "kept", "talk.mp3", {"talk.vtt", "talk (2).vtt"}, true, false, false, "talk (3).vtt"},
        TargetCase{"overwrite", "talk.mp3", {"talk.vtt"}, true, true, false, "talk.vtt"},
        // The recording itself is never replaced, whatever the options say.
        TargetCase{"source_is_target", "talk.vtt", {"talk.vtt"}, true, true, false, "talk (2).vtt"},
        TargetCase{
            "into_output", "talk.mp3", {"out/talk.vtt"}, true, false, true, "out/talk (2).vtt"},
        TargetCase{"address_into_output",
                   "https://media.example/show/ep%201.mp3?x=1",
                   {},
                   false,
                   false,
                   true,
                   "out/ep 1.srt"},
        TargetCase{
            "line_break_in_name", "two\nlines.mp3", {}, true, false, false, "two_lines.vtt"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(SubtitleTargetTest, OverwriteNeverReplacesAFileWrittenInTheSameRun)
{
    QTemporaryDir folder;
    const QString first = folder.filePath(QStringLiteral("talk.vtt"));
    QFile file(first);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    // talk.mp3 and talk.wav both want talk.vtt; the second must not replace the first.
    EXPECT_EQ(
        SubtitleTargetPath(folder.filePath(QStringLiteral("talk.wav")), {}, true, true, {first}),
        folder.filePath(QStringLiteral("talk (2).vtt")));
}

TEST(SubtitleTargetTest, ANameGivenOutButNotYetWrittenIsNeverGivenAgain)
{
    // The queue writes its files in the background: talk.vtt and talk (2).vtt are promised
    // to earlier sources and not on the disk yet.
    QTemporaryDir folder;
    const QSet<QString> claimed = {folder.filePath(QStringLiteral("talk.vtt")),
                                   folder.filePath(QStringLiteral("talk (2).vtt"))};
    for (const bool overwrite : {false, true})
        EXPECT_EQ(SubtitleTargetPath(folder.filePath(QStringLiteral("talk.ogg")), {}, true,
                                     overwrite, claimed),
                  folder.filePath(QStringLiteral("talk (3).vtt")))
            << overwrite;
}

TEST(SourceIdentityTest, TheSameFileNamedTwoWaysIsOneSource)
{
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("talk.mp3")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::link(folder.filePath(QStringLiteral("talk.mp3")),
                            folder.filePath(QStringLiteral("link.mp3"))));
    const QString identity = SourceIdentity(folder.filePath(QStringLiteral("talk.mp3")));
    EXPECT_EQ(SourceIdentity(folder.path() + QStringLiteral("/./talk.mp3")), identity);
    EXPECT_EQ(SourceIdentity(folder.filePath(QStringLiteral("link.mp3"))), identity);
    EXPECT_EQ(
        SourceIdentity(QUrl::fromLocalFile(folder.filePath(QStringLiteral("talk.mp3"))).toString()),
        identity);
    EXPECT_NE(SourceIdentity(folder.filePath(QStringLiteral("other.mp3"))), identity);
}

TEST(QueueStateTextTest, RowTexts)
{
    QueueItem item;
    EXPECT_EQ(QueueStateText(item), QStringLiteral("waiting"));
    item.state = QueueState::Running;
    item.uploadPercent = 42;
    EXPECT_EQ(QueueStateText(item), QStringLiteral("uploading 42%"));
    item.uploadPercent = -1;
    item.seconds = 73;
    EXPECT_EQ(QueueStateText(item), QStringLiteral("processing 01:13"));
    item.state = QueueState::Failed;
    item.reason = QStringLiteral("no such file");
    EXPECT_EQ(QueueStateText(item), QStringLiteral("failed: no such file"));
    item.state = QueueState::Canceled;
    EXPECT_EQ(QueueStateText(item), QStringLiteral("canceled"));
    item.state = QueueState::Done;
    EXPECT_EQ(QueueStateText(item), QStringLiteral("done"));
}

} // namespace
