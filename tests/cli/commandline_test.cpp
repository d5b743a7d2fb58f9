// Reading the command line, and where the key comes from.
#include "cli/commandline.h"
#include "cli/commandlineprogram.h"

#include "platform/inifile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using Action = CommandLine::Action;

struct ParseCase {
    const char* name;
    QStringList arguments;
    Action action;
    QStringList sources = {};
    bool vtt = true;
    QString model = QStringLiteral("base");
    QString output = {};
    bool overwrite = false;
    QString errorPart = {}; // with BadUsage: a part of the message
};

class ParseCommandLineTest : public ::testing::TestWithParam<ParseCase> {};

TEST_P(ParseCommandLineTest, Reads)
{
    const ParseCase& c = GetParam();
    const CommandLine line = ParseCommandLine(c.arguments);
    ASSERT_EQ(line.action, c.action) << line.error.toStdString();
    if (c.action == Action::BadUsage) {
        EXPECT_TRUE(line.error.contains(c.errorPart)) << line.error.toStdString();
        return;
    }
    if (c.action != Action::Convert)
        return;
    EXPECT_EQ(line.sources, c.sources);
    EXPECT_EQ(line.vtt, c.vtt);
    EXPECT_EQ(line.modelName, c.model);
    EXPECT_EQ(line.outputFolder, c.output);
    EXPECT_EQ(line.overwrite, c.overwrite);
}

const auto S = [](std::initializer_list<const char*> items) {
    QStringList list;
    for (const char* item : items)
        list.append(QString::fromUtf8(item));
    return list;
};

INSTANTIATE_TEST_SUITE_P(
    Cases, ParseCommandLineTest,
    ::testing::Values(ParseCase{"plain", S({"--convert", "a.mp3", "b.mp3"}), Action::Convert,
                                S({"a.mp3", "b.mp3"})},
                      ParseCase{"all_options",
                                S({"--convert", "a.mp3", "--format", "srt", "--model", "small.en",
                                   "--output", "out", "--overwrite"}),
                                Action::Convert, S({"a.mp3"}), false, QStringLiteral("small.en"),
                                QStringLiteral("out"), true},
                      ParseCase{"equals_form",
                                S({"--format=SRT", "--model=tiny", "--convert", "a.mp3"}),
                                Action::Convert, S({"a.mp3"}), false, QStringLiteral("tiny")},
                      ParseCase{"dash_dash", S({"--convert", "--", "--odd name.mp3"}),
                                Action::Convert, S({"--odd name.mp3"})},
                      ParseCase{"newline_in_name", S({"--convert", "two\nlines.mp3"}),
                                Action::Convert, S({"two\nlines.mp3"})},
                      ParseCase{"web_address", S({"--convert", "https://media.example/a.mp3"}),
                                Action::Convert, S({"https://media.example/a.mp3"})},
                      ParseCase{"help_wins", S({"--convert", "a.mp3", "--help"}), Action::Help, {}},
                      ParseCase{"version", S({"--version"}), Action::Version, {}},
                      ParseCase{"format_xml",
                                S({"--convert", "a.mp3", "--format", "xml"}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("\"xml\"")},
                      ParseCase{"model_huge",
                                S({"--convert", "a.mp3", "--model", "huge"}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("\"huge\"")},
                      ParseCase{"model_case",
                                S({"--convert", "a.mp3", "--model", "Base"}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("\"Base\"")},
                      ParseCase{"format_without_value",
                                S({"--convert", "a.mp3", "--format"}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("--format")},
                      ParseCase{"format_twice",
                                S({"--convert", "a.mp3", "--format", "srt", "--format=vtt"}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("twice")},
                      ParseCase{"unknown_option",
                                S({"--convert", "a.mp3", "--fast"}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("--fast")},
                      ParseCase{"no_sources",
                                S({"--convert"}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("at least one")},
                      ParseCase{"files_without_convert",
                                S({"a.mp3"}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("--convert")},
                      ParseCase{"empty_name",
                                S({"--convert", ""}),
                                Action::BadUsage,
                                {},
                                true,
                                {},
                                {},
                                false,
                                QStringLiteral("empty")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ParseCommandLineTest, TheSameFileNamedTwiceIsConvertedOnce)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("a.mp3"));
    const CommandLine line = ParseCommandLine(
        {QStringLiteral("--convert"), path, folder.path() + QStringLiteral("/./a.mp3"), path});
    ASSERT_EQ(line.action, Action::Convert);
    EXPECT_EQ(line.sources, QStringList{path});
    EXPECT_EQ(line.repeated.size(), 2);
}

TEST(ParseCommandLineTest, TenThousandFiles)
{
    QStringList arguments{QStringLiteral("--convert")};
    for (int i = 0; i < 10000; ++i)
        arguments.append(QStringLiteral("/recordings/part%1.mp3").arg(i));
    arguments.append(QStringLiteral("/recordings/part17.mp3"));
    const CommandLine line = ParseCommandLine(arguments);
    ASSERT_EQ(line.action, Action::Convert);
    EXPECT_EQ(line.sources.size(), 10000);
    EXPECT_EQ(line.repeated, QStringList{QStringLiteral("/recordings/part17.mp3")});
}

TEST(FindApiKeyTest, EnvironmentFirstThenSettings)
{
    QTemporaryDir folder;
    const QString ini = folder.filePath(QStringLiteral("settings.ini"));
    EXPECT_EQ(FindApiKey({}, ini), QString());
    IniFile(ini).writeString(QStringLiteral("Settings"), QStringLiteral("Key"),
                             QStringLiteral(" r8_saved "));
    EXPECT_EQ(FindApiKey({}, ini), QStringLiteral("r8_saved"));
    EXPECT_EQ(FindApiKey(QStringLiteral("   "), ini), QStringLiteral("r8_saved"));
    EXPECT_EQ(FindApiKey(QStringLiteral("r8_env"), ini), QStringLiteral("r8_env"));
}

} // namespace
