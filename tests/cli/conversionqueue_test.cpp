// The queue against the fake service over real sockets: several files at once, each through
// the same conversion job as the window, saved beside its source.
#include "transcription/conversionqueue.h"

#include "queuetesting.h"

#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

class ConversionQueueTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        service.start();
        options.apiKey = QStringLiteral("r8_queue_key");
        options.pollIntervalMs = 20;
        options.clockIntervalMs = 20;
        options.clock = QuickJobClock();
        options.jobClock = QuickJobClock();
    }

    bool runToEnd(ConversionQueue& queue)
    {
        QSignalSpy finished(&queue, &ConversionQueue::finished);
        queue.start();
        return QTest::qWaitFor([&] { return finished.count() > 0; }, 20000) && !queue.isActive();
    }

    QTemporaryDir folder;
    ManyFilesService service;
    QueueOptions options;
};

TEST_F(ConversionQueueTest, FiveFilesOneMissingOneFailedOneThrottled)
{
    const QDir dir(folder.path());
    const FiveFiles files(dir, service);
    ConversionQueue queue(EndpointsFor(service), options);
    int mostRunning = 0;
    QStringList throttledRowStates;
    QObject::connect(&queue, &ConversionQueue::itemChanged, &queue, [&](int row) {
        mostRunning = std::max(mostRunning, queue.runningCount());
        if (row == 3)
            throttledRowStates.append(QueueStateText(queue.item(row)));
    });
    for (const QString& path : files.paths)
        ASSERT_TRUE(queue.add(path));
    ASSERT_TRUE(runToEnd(queue));

    EXPECT_EQ(QueueStateText(queue.item(0)), QStringLiteral("done"));
    EXPECT_EQ(queue.item(1).state, QueueState::Failed);
    EXPECT_TRUE(queue.item(1).reason.contains(QStringLiteral("b-missing.mp3")))
        << queue.item(1).reason.toStdString();
    EXPECT_EQ(QueueStateText(queue.item(2)),
              QStringLiteral("failed: ") + QString::fromLatin1(FiveFiles::kFailError));
    EXPECT_EQ(QueueStateText(queue.item(3)), QStringLiteral("done"));
    EXPECT_EQ(QueueStateText(queue.item(4)), QStringLiteral("done"));
    EXPECT_LE(mostRunning, 3);

    // Three subtitle files beside their sources, each with its own file's words.
    for (const auto& [row, name] : {std::pair{0, "a-talk"}, {3, "d-throttled"}, {4, "e-talk"}}) {
        const QString vtt = dir.filePath(QString::fromLatin1(name) + QStringLiteral(".vtt"));
        EXPECT_EQ(queue.item(row).outputPath, vtt);
        EXPECT_TRUE(ReadFile(vtt).contains(QByteArray("Words of ") + name + ".mp3")) << name;
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("b-missing.vtt"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("c-fails.vtt"))));

    // Exactly one prediction per file that reached the service; the throttled one was
    // refused once and made once.
    for (const char* name : {"a-talk.mp3", "c-fails.mp3", "d-throttled.mp3", "e-talk.mp3"})
        EXPECT_EQ(service.acceptedCreates(name), 1) << name;
    EXPECT_EQ(service.acceptedCreates("b-missing.mp3"), 0);
    EXPECT_EQ(service.refusedCreates("d-throttled.mp3"), 1);
    // While the service's wait ran, the row said so, and its file was uploaded only once.
    EXPECT_TRUE(
        throttledRowStates.contains(QStringLiteral("waiting (the service asked to slow down)")))
        << throttledRowStates.join(QStringLiteral(", ")).toStdString();
    EXPECT_EQ(service.uploadedFiles().size(), 4u);
}

TEST_F(ConversionQueueTest, NeverReplacesExistingSubtitlesAndNeverAddsAFileTwice)
{
    const QDir dir(folder.path());
    const QString talk = MakeAudioFile(dir, QStringLiteral("talk.mp3"));
    MakeAudioFile(dir, QStringLiteral("talk.vtt"));
    options.vtt = true;
    ConversionQueue queue(EndpointsFor(service), options);
    ASSERT_TRUE(queue.add(talk));
    EXPECT_FALSE(queue.add(dir.path() + QStringLiteral("/./talk.mp3")));
    EXPECT_EQ(queue.count(), 1);
    ASSERT_TRUE(runToEnd(queue));

    EXPECT_EQ(queue.item(0).outputPath, dir.filePath(QStringLiteral("talk (2).vtt")));
    EXPECT_TRUE(ReadFile(dir.filePath(QStringLiteral("talk.vtt"))).startsWith("ID3"));
    EXPECT_TRUE(ReadFile(queue.item(0).outputPath).contains("Words of talk.mp3"));
}

TEST_F(ConversionQueueTest, SourcesThatWantTheSameNameEachGetTheirOwnFile)
{
    // The three finish close together and their files are written in the background: no
    // name may be given twice while an earlier file is still on its way to the disk.
    const QDir dir(folder.path());
    const QStringList sources = {MakeAudioFile(dir, QStringLiteral("talk.mp3")),
                                 MakeAudioFile(dir, QStringLiteral("talk.wav")),
                                 MakeAudioFile(dir, QStringLiteral("talk.ogg"))};
    ConversionQueue queue(EndpointsFor(service), options);
    for (const QString& source : sources)
        ASSERT_TRUE(queue.add(source));
    ASSERT_TRUE(runToEnd(queue));
    QSet<QString> written;
    for (int row = 0; row < queue.count(); ++row) {
        ASSERT_EQ(queue.item(row).state, QueueState::Done) << row;
        written.insert(queue.item(row).outputPath);
        const QByteArray words = "Words of " + QFileInfo(sources[row]).fileName().toUtf8();
        EXPECT_TRUE(ReadFile(queue.item(row).outputPath).contains(words)) << row;
    }
    EXPECT_EQ(written, (QSet<QString>{dir.filePath(QStringLiteral("talk.vtt")),
                                      dir.filePath(QStringLiteral("talk (2).vtt")),
                                      dir.filePath(QStringLiteral("talk (3).vtt"))}));
}

TEST_F(ConversionQueueTest, StopCancelsTheRunningAndLeavesTheRestWaiting)
{
    const QDir dir(folder.path());
    ManyFilesService::Script hang;
    hang.end = "hang";
    QStringList paths;
    for (int i = 1; i <= 5; ++i) {
        const QString name = QStringLiteral("slow%1.mp3").arg(i);
        service.script(name.toStdString(), hang);
        paths.append(MakeAudioFile(dir, name));
    }
    ConversionQueue queue(EndpointsFor(service), options);
    for (const QString& path : paths)
        queue.add(path);
    queue.start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return service.createdPredictions().size() == 3; }, 10000));
    // Let each of the three be polled at least once, so that all are past their create.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            for (int row = 0; row < 3; ++row) {
                if (queue.item(row).state != QueueState::Running)
                    return false;
            }
            return true;
        },
        10000));

    QSignalSpy finished(&queue, &ConversionQueue::finished);
    queue.stop();
    ASSERT_TRUE(QTest::qWaitFor([&] { return finished.count() > 0; }, 10000));
    for (int row = 0; row < 3; ++row)
        EXPECT_EQ(QueueStateText(queue.item(row)), QStringLiteral("canceled")) << row;
    for (int row = 3; row < 5; ++row)
        EXPECT_EQ(QueueStateText(queue.item(row)), QStringLiteral("waiting")) << row;
    // Each running prediction was canceled on the service; no more were made.
    EXPECT_EQ(service.canceledPredictions().size(), 3u);
    EXPECT_EQ(service.createdPredictions().size(), 3u);
}

} // namespace
