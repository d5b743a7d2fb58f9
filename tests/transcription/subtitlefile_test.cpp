#include "transcription/subtitlefile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray readAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return "<missing>";
    return file.readAll();
}

TEST(SaveDialogFilters, PutTheChosenFormatFirst)
{
    EXPECT_EQ(SaveDialogFilters(true),
              QStringList({"VTT File|*.vtt", "SRT File|*.srt", "TXT File|*.txt"}));
    EXPECT_EQ(SaveDialogFilters(false),
              QStringList({"SRT File|*.srt", "VTT File|*.vtt", "TXT File|*.txt"}));
}

TEST(SubtitleFileBytes, Utf8AfterTheByteOrderMarkWithCrLf)
{
    EXPECT_EQ(SubtitleFileBytes(QString()), QByteArray("\xEF\xBB\xBF"));
    EXPECT_EQ(SubtitleFileBytes(QStringLiteral("WEBVTT\n00:00.000 --> 00:01.000\n Grüße\n")),
              QByteArray("\xEF\xBB\xBFWEBVTT\r\n00:00.000 --> 00:01.000\r\n Gr\xC3\xBC\xC3\x9F"
                         "e\r\n"));
    // Whatever breaks the text holds come out as CR LF, one per break.
    EXPECT_EQ(SubtitleFileBytes(QStringLiteral("a\r\nb\rc\n\nd")),
              QByteArray("\xEF\xBB\xBF"
                         "a\r\nb\r\nc\r\n\r\nd"));
}

TEST(WriteSubtitleFile, WritesAndReplacesAnOldFile)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("talk.vtt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write(QByteArray(5000, 'x'));
    }
    EXPECT_EQ(WriteSubtitleFile(path, QStringLiteral("東京\n")), QString());
    EXPECT_EQ(readAll(path), QByteArray("\xEF\xBB\xBF\xE6\x9D\xB1\xE4\xBA\xAC\r\n"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"talk.vtt"}));
}

TEST(WriteSubtitleFile, AMissingFolderGivesAMessage)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("gone/talk.srt"));
    const QString failure = WriteSubtitleFile(path, QStringLiteral("x"));
    EXPECT_TRUE(failure.startsWith(QStringLiteral("Cannot create file \"%1\". ").arg(path)))
        << failure.toStdString();
    EXPECT_FALSE(QFile::exists(path));
}

// A write that fails half-way (here: the file size limit of the process) leaves the old
// file exactly as it was and no temporary file behind.
TEST(WriteSubtitleFile, AFailedWriteLeavesTheOldFileUntouched)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("talk.txt"));
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old subtitles");
    }
    rlimit previous{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = previous;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const QString failure = WriteSubtitleFile(path, QString(100000, QLatin1Char('y')));
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(failure.isEmpty());
    EXPECT_EQ(readAll(path), QByteArray("old subtitles"));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({"talk.txt"}));
}

} // namespace
