// The built program run as a process, with no display: help, version, bad usage and the
// missing key, all of which end before any request.
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProcessRun {
    int exitCode = -1;
    QString out;
    QString err;
};

class CommandLineProcessTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        // A copy of the program in a folder of its own: its settings.ini is looked for
        // there, never beside the build's program.
        ASSERT_TRUE(folder.isValid());
        program = folder.filePath(QStringLiteral("parlotext"));
        ASSERT_TRUE(QFile::copy(QStringLiteral(PARLOTEXT_PROGRAM), program));
    }

    ProcessRun run(const QStringList& arguments, const QString& key = {})
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name :
             {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "REPLICATE_API_TOKEN"})
            environment.remove(QString::fromLatin1(name));
        environment.insert(QStringLiteral("HOME"), folder.path());
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           folder.filePath(QStringLiteral("config")));
        if (!key.isNull())
            environment.insert(QStringLiteral("REPLICATE_API_TOKEN"), key);
        QProcess process;
        process.setProcessEnvironment(environment);
        process.start(program, arguments);
        EXPECT_TRUE(process.waitForFinished(30000));
        ProcessRun result;
        result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
        result.out = QString::fromUtf8(process.readAllStandardOutput());
        result.err = QString::fromUtf8(process.readAllStandardError());
        return result;
    }

    QTemporaryDir folder;
    QString program;
};

TEST_F(CommandLineProcessTest, HelpAndVersionNeedNoDisplay)
{
    const ProcessRun help = run({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: parlotext --convert FILE_OR_URL...")));
    EXPECT_TRUE(help.out.contains(QStringLiteral("REPLICATE_API_TOKEN")));
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();

    const ProcessRun version = run({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("Parlotext 1.3.0.0\n"));
}

struct BadUsageCase {
    const char* name;
    QStringList arguments;
    QString message;
};

class CommandLineBadUsageTest : public CommandLineProcessTest,
                                public ::testing::WithParamInterface<BadUsageCase> {};

TEST_P(CommandLineBadUsageTest, ExitsTwoWithTheUsage)
{
    const BadUsageCase& c = GetParam();
    QStringList arguments = c.arguments;
    arguments.replaceInStrings(QStringLiteral("@"), folder.path());
    const ProcessRun result = run(arguments, QStringLiteral("r8_not_used"));
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.startsWith(QStringLiteral("parlotext: ") + c.message))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("Usage: parlotext")));
    EXPECT_TRUE(result.out.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandLineBadUsageTest,
    ::testing::Values(BadUsageCase{"format_xml",
                                   {QStringLiteral("--convert"), QStringLiteral("a.mp3"),
                                    QStringLiteral("--format"), QStringLiteral("xml")},
                                   QStringLiteral("unknown format \"xml\"")},
                      BadUsageCase{"model_huge",
                                   {QStringLiteral("--convert"), QStringLiteral("a.mp3"),
                                    QStringLiteral("--model"), QStringLiteral("huge")},
                                   QStringLiteral("unknown model \"huge\"")},
                      BadUsageCase{"missing_output",
                                   {QStringLiteral("--convert"), QStringLiteral("a.mp3"),
                                    QStringLiteral("--output"), QStringLiteral("@/none")},
                                   QStringLiteral("the output folder")},
                      BadUsageCase{"unknown_option",
                                   {QStringLiteral("--colour")},
                                   QStringLiteral("unknown option \"--colour\"")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CommandLineProcessTest, NoKeyAnywhereSaysHowToGiveOne)
{
    const ProcessRun result = run({QStringLiteral("--convert"), QStringLiteral("a.mp3")});
    EXPECT_EQ(result.exitCode, 2);
    EXPECT_TRUE(result.err.contains(QStringLiteral("export REPLICATE_API_TOKEN=")))
        << result.err.toStdString();
    EXPECT_TRUE(result.err.contains(QStringLiteral("https://replicate.com/account/api-tokens")));
    EXPECT_TRUE(result.out.isEmpty());
}

} // namespace
