// The temporary audio files, made by the real ffmpeg from tones the tests make themselves.
#include "media/mediafiles.h"
#include "media/tempaudio.h"
#include "mediatestsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <stdexcept>

using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

// The window as a recorder: statuses, cursor changes, commands and boxes; commands run for
// real through the console runner unless a failure is scripted.
class RecordingHost final : public TempAudioHost {
public:
    void showStatus(const QString& text) override { statuses.append(text); }
    void setBusyCursor(bool busy) override { cursor.append(busy); }
    void runCommand(const QString& commandLine, const QString& workingFolder) override
    {
        commands.append(commandLine);
        folders.append(workingFolder);
        if (!failure.isEmpty())
            throw std::runtime_error(failure.toStdString());
        RunConsoleCommand(commandLine, workingFolder, log);
    }
    void showError(const QString& text) override { errors.append(text); }

    QStringList statuses;
    QList<bool> cursor;
    QStringList commands;
    QStringList folders;
    QStringList errors;
    QString failure;
    RecordingLog log;
};

class TempAudioTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_sources = new QTemporaryDir;
        s_tone = QDir(s_sources->path()).filePath(QStringLiteral("a tone with blanks.wav"));
        ASSERT_TRUE(MakeToneFile(s_tone)) << "ffmpeg could not make the test tone";
    }
    static void TearDownTestSuite()
    {
        delete s_sources;
        s_sources = nullptr;
    }
    void SetUp() override
    {
        m_dataFolder = m_data.path() + QLatin1Char('/');
        ASSERT_TRUE(QDir().mkpath(m_program.path()));
    }
    QString convert(TempAudioKind kind, const QString& source)
    {
        return ConvertToTempAudio(kind, source, m_dataFolder, m_program.path(), m_host);
    }
    QString dataFile(const QString& name) const { return m_dataFolder + name; }

    static inline QTemporaryDir* s_sources = nullptr;
    static inline QString s_tone;
    QTemporaryDir m_data;
    QTemporaryDir m_program;
    QString m_dataFolder;
    RecordingHost m_host;
};

struct KindCase {
    const char* name;
    TempAudioKind kind;
    QString target;
    QString extra;
    QString codec;
    int channels;
    bool clearsStatus;
};

class TempAudioKindTest : public TempAudioTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(TempAudioKindTest, ProducesAReadableFileWithTheExactCommandLine)
{
    const KindCase& c = GetParam();
    const QString result = convert(c.kind, s_tone);

    EXPECT_EQ(result, dataFile(c.target));
    EXPECT_EQ(Probe(result, QStringLiteral("stream=codec_name,channels")),
              QStringLiteral("codec_name=%1\nchannels=%2").arg(c.codec).arg(c.channels));
    ASSERT_EQ(m_host.commands.size(), 1);
    EXPECT_EQ(m_host.commands[0], QStringLiteral("ffmpeg -y -i \"") + s_tone +
                                      QStringLiteral("\" ") + c.extra + QStringLiteral(" \"") +
                                      dataFile(c.target) + QLatin1Char('"'));
    EXPECT_THAT(m_host.folders, ElementsAre(m_program.path()));
    EXPECT_THAT(m_host.cursor, ElementsAre(true, false));
    EXPECT_TRUE(m_host.errors.isEmpty());
    const QString converting = QStringLiteral("Converting a tone with blanks.wav...");
    if (c.clearsStatus)
        EXPECT_THAT(m_host.statuses, ElementsAre(converting, QString()));
    else
        EXPECT_THAT(m_host.statuses, ElementsAre(converting));
    // ffmpeg's own report lands in the log between the banner and the closing lines.
    EXPECT_THAT(m_host.log.outputText().toStdString(), HasSubstr("Output #0"));
}

TEST_P(TempAudioKindTest, RejectedSourceGivesNothingAndNoBox)
{
    const KindCase& c = GetParam();
    const QString source = QDir(s_sources->path()).filePath(QStringLiteral("not audio.wav"));
    QFile text(source);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is plain text, not sound\n");
    text.close();

    EXPECT_EQ(convert(c.kind, source), QString());
    EXPECT_TRUE(m_host.errors.isEmpty());
    EXPECT_EQ(m_host.statuses.last(),
              c.clearsStatus ? QString() : QStringLiteral("Converting not audio.wav..."));
    EXPECT_THAT(m_host.cursor, ElementsAre(true, false));
    EXPECT_FALSE(m_host.log.outputText().isEmpty()) << "ffmpeg's complaint belongs in the log";
}

TEST_P(TempAudioKindTest, ErrorOnTheWayIsShownAndGivesNothing)
{
    const KindCase& c = GetParam();
    m_host.failure = QStringLiteral("The pipe broke");
    EXPECT_EQ(convert(c.kind, s_tone), QString());
    EXPECT_THAT(m_host.errors, ElementsAre(QStringLiteral("The pipe broke")));
    EXPECT_THAT(m_host.cursor, ElementsAre(true, false));
    EXPECT_EQ(m_host.statuses.last(),
              c.clearsStatus ? QString() : QStringLiteral("Converting a tone with blanks.wav..."));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, TempAudioKindTest,
    ::testing::Values(KindCase{"Mp3", TempAudioKind::Mp3, QStringLiteral("temp.mp3"), QString(),
                               QStringLiteral("mp3"), 2, false},
                      KindCase{"Wav", TempAudioKind::Wav, QStringLiteral("temp.wav"),
                               QStringLiteral("-ac 1"), QStringLiteral("pcm_s16le"), 1, true},
                      KindCase{"Ogg", TempAudioKind::Ogg, QStringLiteral("temp.ogg"),
                               QStringLiteral("-c:a libvorbis -q:a 4"), QStringLiteral("vorbis"), 2,
                               false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TempAudioTest, Mp3CommandHasTwoBlanksBetweenTheQuotedPaths)
{
    convert(TempAudioKind::Mp3, s_tone);
    ASSERT_EQ(m_host.commands.size(), 1);
    EXPECT_THAT(m_host.commands[0].toStdString(), HasSubstr(".wav\"  \""));
}

TEST_F(TempAudioTest, OldTargetIsReplaced)
{
    QFile stale(dataFile(QStringLiteral("temp.wav")));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("stale");
    stale.close();
    EXPECT_EQ(convert(TempAudioKind::Wav, s_tone), dataFile(QStringLiteral("temp.wav")));
    EXPECT_GT(FileSizeByName(dataFile(QStringLiteral("temp.wav"))), 1000);
    EXPECT_FALSE(QFile::exists(dataFile(QStringLiteral("temp (2).wav"))));
}

TEST_F(TempAudioTest, StaleTargetThatCannotBeDeletedIsSteeredAround)
{
    // A folder cannot be removed as a file, by anybody, root included: the deletion fails
    // the way a file held by another program would.
    ASSERT_TRUE(QDir().mkpath(dataFile(QStringLiteral("temp.ogg/held"))));
    const QString result = convert(TempAudioKind::Ogg, s_tone);
    EXPECT_EQ(result, dataFile(QStringLiteral("temp (2).ogg")));
    EXPECT_EQ(Probe(result, QStringLiteral("stream=codec_name")),
              QStringLiteral("codec_name=vorbis"));
    EXPECT_TRUE(QFileInfo(dataFile(QStringLiteral("temp.ogg/held"))).isDir());
}

TEST_F(TempAudioTest, NameWithShellCharactersReachesFfmpegAsItIs)
{
    const QString odd =
        QDir(s_sources->path()).filePath(QStringLiteral("it's \"$HOME\" `id` \\ 100%.wav"));
    ASSERT_TRUE(QFile::copy(s_tone, odd));
    EXPECT_EQ(convert(TempAudioKind::Wav, odd), dataFile(QStringLiteral("temp.wav")));
    EXPECT_TRUE(m_host.errors.isEmpty());
}

TEST_F(TempAudioTest, MissingSourceGivesNothing)
{
    EXPECT_EQ(convert(TempAudioKind::Mp3, QStringLiteral("/no/such/file.mp4")), QString());
    EXPECT_TRUE(m_host.errors.isEmpty());
    EXPECT_THAT(m_host.statuses, ElementsAre(QStringLiteral("Converting file.mp4...")));
}

TEST_F(TempAudioTest, FfmpegBesideTheProgramComesFirstAndRunsInTheProgramFolder)
{
    // A stand-in that notes its folder and arguments and writes the target (its last argument).
    const QString stand = QDir(m_program.path()).filePath(QStringLiteral("ffmpeg"));
    QFile script(stand);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\npwd > called.txt\nfor a; do last=$a; done\n"
                 "printf '%s|' \"$@\" >> called.txt\necho sound > \"$last\"\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);

    const QString result = convert(TempAudioKind::Ogg, s_tone);

    EXPECT_EQ(result, dataFile(QStringLiteral("temp.ogg")));
    ASSERT_EQ(m_host.commands.size(), 1);
    EXPECT_TRUE(
        m_host.commands[0].startsWith(QLatin1Char('"') + stand + QStringLiteral("\" -y -i ")));
    QFile called(QDir(m_program.path()).filePath(QStringLiteral("called.txt")));
    ASSERT_TRUE(called.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(called.readAll()),
              QDir(m_program.path()).canonicalPath() + QStringLiteral("\n-y|-i|") + s_tone +
                  QStringLiteral("|-c:a|libvorbis|-q:a|4|") + dataFile(QStringLiteral("temp.ogg")) +
                  QLatin1Char('|'));
}

TEST(FfmpegCommandLineTest, QuotesOnlyWhatTheShellWouldChange)
{
    EXPECT_EQ(FfmpegCommandLine(QStringLiteral("ffmpeg"), QStringLiteral("/m/a b.mp4"), QString(),
                                QStringLiteral("/d/temp.mp3")),
              QStringLiteral("ffmpeg -y -i \"/m/a b.mp4\"  \"/d/temp.mp3\""));
    EXPECT_EQ(QuotedForShell(QStringLiteral("a\"b$c`d\\e'f")),
              QStringLiteral("\"a\\\"b\\$c\\`d\\\\e'f\""));
}

} // namespace
