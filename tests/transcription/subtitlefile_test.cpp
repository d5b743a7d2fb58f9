#include "transcription/subtitlefile.h"

#include "subtitlesamples.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Only line breaks change: a no-break space and a line separator are written as they are.
TEST(SubtitleFileBytes, KeepsEveryCharacterButLineBreaks)
{
    EXPECT_EQ(SubtitleFileBytes(QStringLiteral("a\u00A0b\u2028c\u2029d\te\n")),
              QByteArray("\xEF\xBB\xBF"
                         "a\xC2\xA0"
                         "b\xE2\x80\xA8"
                         "c\xE2\x80\xA9"
                         "d\te\r\n"));
}

TEST(SubtitleTextForFile, ConvertsByTheNamesExtension)
{
    const QString standardVtt = golden("model_webvtt.vtt");
    const QString standardSrt = golden("model_webvtt_as_subrip.srt");
    const QString broken = QStringLiteral("WEBVTT\n\n00:00:01.000 --> 00:00:02.000\nA\n\n"
                                          "00:00:03.000 -> 00:00:04.000\nB\n");
    const struct {
        const char* file;
        QString pane;
        QString written;
        qsizetype firstInvalidLine;
    } cases[] = {
        {"talk.vtt", standardVtt, standardVtt, 0},
        {"talk.srt", standardVtt, standardSrt, 0},
        {"TALK.SRT", standardVtt, standardSrt, 0},
        {"talk.vtt", standardSrt, standardVtt, 0},
        // A pane in the model's shape is standard in the file; its text keeps every space.
        {"talk.vtt", kModelWebVtt,
         QStringLiteral("WEBVTT\n\n00:00:00.000 --> 00:00:03.480\n Grüße aus Köln, sagte die "
                        "Straßenbahn.\n\n00:00:03.480 --> 00:00:07.120\n Ça va très bien — 東京 "
                        "too.\n\n01:00:07.120 --> 01:00:09.000\n The end.\n"),
         0},
        {"talk.srt", kModelSubRip,
         QStringLiteral("1\n00:00:00,000 --> 00:00:03,480\n Grüße aus Köln, sagte die "
                        "Straßenbahn.\n\n2\n00:00:03,480 --> 00:00:07,120\n Ça va très bien — "
                        "東京 too.\n\n"),
         0},
        {"talk.txt", kModelWebVtt, kModelWebVtt, 0},
        {"talk", kModelWebVtt, kModelWebVtt, 0},
        // A broken time line: the pane as it stands, and the line named.
        {"talk.vtt", broken, broken, 6},
        {"talk.srt", broken, broken, 6},
        {"talk.srt",
         QStringLiteral("1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:0x,000 --> "
                        "00:00:04,000\nB\n"),
         QStringLiteral("1\n00:00:01,000 --> 00:00:02,000\nA\n\n2\n00:00:0x,000 --> "
                        "00:00:04,000\nB\n"),
         6},
        {"talk.vtt", QStringLiteral("just words"), QStringLiteral("just words"), 1},
    };
    for (const auto& c : cases) {
        const SubtitleFileText text = SubtitleTextForFile(QLatin1String(c.file), c.pane);
        EXPECT_EQ(text.text, c.written) << c.file << " from " << c.pane.left(30).toStdString();
        EXPECT_EQ(text.firstInvalidLine, c.firstInvalidLine) << c.file;
    }
}

// Saving makes the file's bytes in one pass from the pane's text; they are the bytes of the
// text SubtitleTextForFile gives, whatever the pane holds.
TEST(SubtitleFileContentFor, IsTheTextForTheFileInItsSavedForm)
{
    const QString panes[] = {
        golden("model_webvtt.vtt"),
        golden("model_webvtt_as_subrip.srt"),
        golden("features.vtt"),
        kModelWebVtt,
        kModelSubRip,
        kLooseFeatures,
        NormalizeSubtitles(ModelTalk(300), SubtitleFormat::WebVtt),
        // Cue text with arrows, escaped arrows, odd characters and a lone surrogate.
        QStringLiteral("WEBVTT\n\n00:01.000 --> 00:02.000\nA --> B --&gt; C\u2028D\u00A0E\n\n"
                       "00:02.000 --> 00:03.000\n") +
            QChar(0xD83D) + QStringLiteral(" \u6771\U0001F600\n"),
        QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\nA --> B\r\n\r\n2\r00:00:02,000 --> "
                       "00:00:03,000\rC --&gt; D\r"),
        QStringLiteral("WEBVTT\n\n00:00:01.000 --> 00:00:02.000\nA\n\n00:00:03.000 -> "
                       "00:00:04.000\nB\n"),
        QStringLiteral("just words\r\nand more"),
        QString(),
        // Large panes, made and written a piece at a time: among their pieces, some would end
        // inside a surrogate pair or between a CR and its LF.
        ModelTalk(4000),
        QStringLiteral("WEBVTT\n\n00:01.000 --> 00:02.000\n") +
            QStringLiteral("a\U0001F600").repeated(120000) + QLatin1Char('\n'),
        QStringLiteral("x\r\n").repeated(100000) + QStringLiteral("a\U0001F600").repeated(100000),
    };
    for (const char* file : {"talk.vtt", "talk.srt", "talk.txt"}) {
        for (const QString& pane : panes) {
            const SubtitleFileText text = SubtitleTextForFile(QLatin1String(file), pane);
            const SubtitleFileContent content = SubtitleFileContentFor(QLatin1String(file), pane);
            EXPECT_EQ(content.bytes, SubtitleFileBytes(text.text))
                << file << " from " << pane.left(40).toStdString();
            EXPECT_EQ(content.firstInvalidLine, text.firstInvalidLine) << file;
            EXPECT_EQ(content.format, text.format) << file;
        }
    }
}

// A pane known to hold the standard form of one format is written as it stands to a file of
// that format, and converted for a file of the other.
TEST(SubtitleFileContentFor, APaneKnownToBeStandardIsConvertedOnlyForTheOtherFormat)
{
    const QString vtt = golden("model_webvtt.vtt");
    const QString srt = golden("model_webvtt_as_subrip.srt");
    const struct {
        const char* file;
        SubtitleFormat known;
        QString pane;
        QString written;
    } cases[] = {
        {"talk.vtt", SubtitleFormat::WebVtt, vtt, vtt},
        {"talk.srt", SubtitleFormat::WebVtt, vtt, srt},
        {"talk.srt", SubtitleFormat::SubRip, srt, srt},
        {"talk.vtt", SubtitleFormat::SubRip, srt, SubtitleTextForFile("talk.vtt", srt).text},
        {"talk.txt", SubtitleFormat::WebVtt, vtt, vtt},
    };
    for (const auto& c : cases) {
        const SubtitleFileContent content =
            SubtitleFileContentFor(QLatin1String(c.file), c.pane, c.known);
        EXPECT_EQ(content.bytes, SubtitleFileBytes(c.written)) << c.file;
        EXPECT_EQ(content.firstInvalidLine, 0) << c.file;
    }
}

TEST(WriteSubtitleFile, WritesTheFormatTheNameAsksForAndReportsABrokenPane)
{
    QTemporaryDir folder;
    const QString srt = folder.filePath(QStringLiteral("talk.srt"));
    SubtitleFileOutcome written;
    written.firstInvalidLine = -1;
    EXPECT_EQ(WriteSubtitleFile(srt, golden("model_webvtt.vtt"), &written), QString());
    EXPECT_EQ(written.firstInvalidLine, 0);
    QByteArray expected = "\xEF\xBB\xBF" + golden("model_webvtt_as_subrip.srt").toUtf8();
    expected.replace("\n", "\r\n");
    EXPECT_EQ(readAll(srt), expected);

    const QString pane =
        QStringLiteral("WEBVTT\n00:00.000 --> 00:01.000\n a\n00:01.000 --> oops\n");
    EXPECT_EQ(WriteSubtitleFile(srt, pane, &written), QString());
    EXPECT_EQ(written.firstInvalidLine, 4);
    EXPECT_EQ(written.format, SubtitleFormat::WebVtt);
    EXPECT_EQ(readAll(srt), QByteArray("\xEF\xBB\xBFWEBVTT\r\n00:00.000 --> 00:01.000\r\n a\r\n"
                                       "00:01.000 --> oops\r\n"));
}

// A large pane is written as it is made. When it turns out not to read as subtitles only
// after pieces of the converted file were written, the file holds the pane as it stands,
// and nothing else is left in the folder.
TEST(WriteSubtitleFile, ALargePaneBrokenNearItsEndIsWrittenAsItStands)
{
    QTemporaryDir folder;
    const QString talk = NormalizeSubtitles(ModelTalk(4000), SubtitleFormat::WebVtt);
    const QString broken = QString(talk).replace(QStringLiteral("02:59:57.300 -->"),
                                                 QStringLiteral("02:59:57.300 ->"));
    ASSERT_NE(broken, talk);
    const qsizetype brokenLine =
        talk.left(talk.indexOf(QStringLiteral("02:59:57.300 -->"))).count(u'\n') + 1;
    const struct {
        const char* file;
        QString pane;
        qsizetype firstInvalidLine;
    } cases[] = {
        {"talk.srt", talk, 0},
        {"talk.vtt", talk, 0},
        {"broken.srt", broken, brokenLine},
        {"broken.vtt", broken, brokenLine},
    };
    for (const auto& c : cases) {
        const QString path = folder.filePath(QLatin1String(c.file));
        SubtitleFileOutcome outcome;
        ASSERT_EQ(WriteSubtitleFile(path, c.pane, &outcome), QString()) << c.file;
        EXPECT_EQ(outcome.firstInvalidLine, c.firstInvalidLine) << c.file;
        const SubtitleFileText expected = SubtitleTextForFile(path, c.pane);
        EXPECT_EQ(readAll(path), SubtitleFileBytes(expected.text)) << c.file;
    }
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files | QDir::Hidden),
              QStringList({"broken.srt", "broken.vtt", "talk.srt", "talk.vtt"}));
}

// A folder the user cannot write, holding a file they can: there is no room for a temporary
// file beside it, so the file is written in place. A pane that turns out not to read as
// subtitles only after pieces of the converted file went in is written again from the start:
// nothing of the old file or of the converted pieces is left after it.
TEST(WriteSubtitleFile, AFolderThatCannotBeWrittenGetsTheFileWrittenInPlace)
{
    const QString broken =
        NormalizeSubtitles(ModelTalk(4000), SubtitleFormat::WebVtt)
            .replace(QStringLiteral("02:59:57.300 -->"), QStringLiteral("02:59:57.300 ->"));
    const struct {
        const char* file;
        QString pane;
    } cases[] = {
        {"talk.txt", QStringLiteral("new\u00A0text")},
        {"broken.srt", broken},
    };
    for (const auto& c : cases) {
        QTemporaryDir folder;
        const QString path = folder.filePath(QLatin1String(c.file));
        {
            QFile old(path);
            ASSERT_TRUE(old.open(QIODevice::WriteOnly));
            old.write(QByteArray(3000000, 'o'));
        }
        const QByteArray folderName = QFile::encodeName(folder.path());
        const QByteArray fileName = QFile::encodeName(path);
        // The superuser passes every permission check; it writes as "nobody" here.
        const bool asRoot = geteuid() == 0;
        if (asRoot) {
            ASSERT_EQ(chmod(folderName.constData(), 0755), 0);
            ASSERT_EQ(chown(fileName.constData(), 65534, 65534), 0);
            ASSERT_EQ(seteuid(65534), 0);
        } else {
            ASSERT_EQ(chmod(folderName.constData(), 0555), 0);
        }
        const bool folderWritable = access(folderName.constData(), W_OK) == 0 && !asRoot;
        const QString failure = WriteSubtitleFile(path, c.pane);
        if (asRoot) {
            ASSERT_EQ(seteuid(0), 0);
        }
        chmod(folderName.constData(), 0700);
        ASSERT_FALSE(folderWritable);

        EXPECT_EQ(failure, QString()) << c.file;
        EXPECT_EQ(readAll(path), SubtitleFileBytes(c.pane)) << c.file;
        EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList({QLatin1String(c.file)}));
    }
}

// The cues ffmpeg reads from a file, counted in its SubRip output; -1 when it fails.
int ffmpegCueCount(const QString& ffmpeg, const QString& path)
{
    QProcess process;
    process.start(ffmpeg,
                  {"-nostdin", "-hide_banner", "-loglevel", "error", "-i", path, "-f", "srt", "-"});
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0) {
        ADD_FAILURE() << "ffmpeg on " << path.toStdString() << ": "
                      << process.readAllStandardError().toStdString();
        return -1;
    }
    // Time lines only: cue text may hold "-->" too.
    static const QRegularExpression timeLine(
        QStringLiteral("^\\d+:\\d\\d:\\d\\d,\\d\\d\\d --> \\d+:\\d\\d:\\d\\d,\\d\\d\\d\\r?$"),
        QRegularExpression::MultilineOption);
    int cues = 0;
    for (auto match = timeLine.globalMatch(QString::fromUtf8(process.readAllStandardOutput()));
         match.hasNext(); match.next())
        ++cues;
    return cues;
}

TEST(SavedSubtitleFiles, FfmpegReadsEveryCue)
{
    const QString ffmpeg = QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
    if (ffmpeg.isEmpty())
        GTEST_SKIP() << "ffmpeg is not installed (Debian package ffmpeg); the saved files "
                        "were not checked against a real player's reader";
    const QString longTalk = ModelTalk(4000);
    QTemporaryDir folder;

    // The model's WebVTT as delivered: the file that shows nothing.
    const QString raw = folder.filePath(QStringLiteral("raw.vtt"));
    {
        QFile file(raw);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(SubtitleFileBytes(kModelWebVtt));
    }
    EXPECT_EQ(ffmpegCueCount(ffmpeg, raw), 0);

    const QString withoutStyle =
        QString(kLooseFeatures).remove(QStringLiteral("STYLE\r\n::cue { color: yellow }\r\n\r\n"));
    ASSERT_NE(withoutStyle, kLooseFeatures);
    const struct {
        const char* file;
        QString pane;
        int cues;
    } cases[] = {
        {"model.vtt", NormalizeSubtitles(kModelWebVtt, SubtitleFormat::WebVtt), 3},
        {"model.srt", NormalizeSubtitles(kModelSubRip, SubtitleFormat::SubRip), 2},
        {"vtt-pane.srt", NormalizeSubtitles(kModelWebVtt, SubtitleFormat::WebVtt), 3},
        {"srt-pane.vtt", NormalizeSubtitles(kModelSubRip, SubtitleFormat::SubRip), 2},
        {"model-as-delivered.vtt", kModelWebVtt, 3},
        // ffmpeg leaves out the cue without text. (It reads no cue at all from a WebVTT file
        // with a STYLE block, which the standard allows: the sample goes without one here.)
        {"features.vtt", withoutStyle, 3},
        {"features.srt", withoutStyle, 3},
        {"long.vtt", NormalizeSubtitles(longTalk, SubtitleFormat::WebVtt), 4000},
        {"long.srt", NormalizeSubtitles(longTalk, SubtitleFormat::WebVtt), 4000},
    };
    for (const auto& c : cases) {
        const QString path = folder.filePath(QLatin1String(c.file));
        ASSERT_EQ(WriteSubtitleFile(path, c.pane), QString());
        EXPECT_EQ(ffmpegCueCount(ffmpeg, path), c.cues) << c.file;
    }
}

} // namespace
