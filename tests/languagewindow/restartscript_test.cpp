// The language window's rules: list texts, flags, translator lines, the restart script and
// the start-up load of the chosen language.
#include "language/restartscript.h"

#include "language/textcatalogue.h"
#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(bytes);
}

QByteArray readFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

struct TranslatorCase {
    const char* text;
    QStringList lines;
};

void PrintTo(const TranslatorCase& c, std::ostream* os)
{
    *os << "\"" << c.text << "\"";
}

class TranslatorLinesTest : public ::testing::TestWithParam<TranslatorCase> {};

TEST_P(TranslatorLinesTest, SplitsAtCommasAndTrims)
{
    EXPECT_EQ(TranslatorLines(QString::fromUtf8(GetParam().text)), GetParam().lines);
}

INSTANTIATE_TEST_SUITE_P(
    Table, TranslatorLinesTest,
    ::testing::Values(TranslatorCase{"", {}}, TranslatorCase{"Quillon", {"Quillon"}},
                      // Two names, a space after the comma, one more comma at the end.
                      TranslatorCase{"Anna Schmidt, Jörg Weber,", {"Anna Schmidt", "Jörg Weber"}},
                      TranslatorCase{"a,,b", {"a", "", "b"}}, TranslatorCase{"\t a \t", {"a"}},
                      TranslatorCase{",", {""}}, TranslatorCase{"a,b,,", {"a", "b", ""}}));

TEST(LanguageItemTextTest, CutsAtTheFirstCaseSensitiveSuffix)
{
    EXPECT_EQ(LanguageItemText(QStringLiteral("German.lang.txt")), QStringLiteral("German"));
    EXPECT_EQ(LanguageItemText(QStringLiteral("A.lang.txt.lang.txt")), QStringLiteral("A"));
    EXPECT_EQ(LanguageItemText(QStringLiteral("German.LANG.txt")), QString());
    EXPECT_EQ(LanguageItemText(QStringLiteral("Germanlang.txt")), QString());
}

TEST(LanguageFlagIndexTest, KnownNamesGetTheirFlagsAndOthersTheBlankOne)
{
    const std::pair<const char*, int> cases[] = {{"English", 1},
                                                 {"German", 2},
                                                 {"French", 3},
                                                 {"Albanian", 5},
                                                 {"ChineseSimplified", 8},
                                                 {"ChineseTraditional", 9},
                                                 {"PortugueseBrazil", 21},
                                                 {"PortuguesePortugal", 22},
                                                 {"Vietnamese", 29},
                                                 {"Slovak", 30},
                                                 {"Klingon", 0},
                                                 {"german", 0},
                                                 {"", 0},
                                                 {"English ", 0}};
    for (const auto& [name, index] : cases)
        EXPECT_EQ(LanguageFlagIndex(QString::fromLatin1(name)), index) << name;
}

TEST(TranslatorTextTest, EnglishFileWithoutLineAndMissingFile)
{
    QTemporaryDir folder;
    writeFile(folder.filePath(QStringLiteral("German.lang.txt")),
              "\xEF\xBB\xBF{INFO:Translated By}Anna, Jörg,\r\n{Yes}Ja\r\n");
    writeFile(folder.filePath(QStringLiteral("French.lang.txt")), "{Yes}Oui\n");
    EXPECT_EQ(TranslatorText(folder.path(), QStringLiteral("English")), QStringLiteral("Quillon"));
    EXPECT_EQ(TranslatorText(folder.path(), QStringLiteral("German")),
              QString::fromUtf8("Anna, Jörg,"));
    EXPECT_EQ(TranslatorText(folder.path(), QStringLiteral("French")),
              QStringLiteral("INFO:Translated By"));
    EXPECT_EQ(TranslatorText(folder.path(), QStringLiteral("Klingon")), QString());
}

TEST(RestartScriptTest, LinesWithAndWithoutThePause)
{
    const QString program = QStringLiteral("/opt/parlotext/parlotext");
    const QStringList head{QStringLiteral("#!/bin/sh"),
                           QStringLiteral("echo 'This file was created automatically to restart "
                                          "the program.'"),
                           QStringLiteral("echo 'It is safe to delete this file.'")};
    const QStringList paused{QStringLiteral("sleep 1"),
                             QStringLiteral("'/opt/parlotext/parlotext'")};
    EXPECT_EQ(RestartScriptLines(program, true), head + paused);
    const QStringList unpaused{QStringLiteral("'/opt/parlotext/parlotext'")};
    EXPECT_EQ(RestartScriptLines(program, false), head + unpaused);
    EXPECT_TRUE(RestartPauseAvailable());
    EXPECT_EQ(RestartScriptName(), QStringLiteral("start.sh"));
}

// The script really starts a program whose path holds quotes, spaces and shell characters,
// and only that program.
TEST(RestartScriptTest, TheShellRunsTheProgramOfAnAwkwardPath)
{
    QTemporaryDir folder;
    const QString marker = folder.filePath(QStringLiteral("ran"));
    const QString program =
        folder.filePath(QStringLiteral("it's a \"program\" $HOME `true`; x&y.sh"));
    writeFile(program, "#!/bin/sh\necho started > \"$MARKER\"\n");
    QFile::setPermissions(program,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString script = folder.filePath(QStringLiteral("start.sh"));
    WriteRestartScript(script, RestartScriptLines(program, false));

    const QByteArray text = readFile(script);
    EXPECT_FALSE(text.contains('\r'));
    EXPECT_TRUE(text.endsWith('\n'));

    const ScriptCommand command = RestartScriptCommand(script);
    QProcess shell;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("MARKER"), marker);
    shell.setProcessEnvironment(environment);
    shell.setWorkingDirectory(folder.path());
    shell.start(command.program, command.arguments);
    ASSERT_TRUE(shell.waitForFinished(10000));
    EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
    EXPECT_EQ(shell.readAllStandardOutput(),
              QByteArray("This file was created automatically to restart the program.\n"
                         "It is safe to delete this file.\n"));
    EXPECT_EQ(readFile(marker), QByteArray("started\n"));
}

TEST(RestartScriptTest, ReplacesAnEarlierScriptAndReportsAnUnwritablePlace)
{
    QTemporaryDir folder;
    const QString script = folder.filePath(QStringLiteral("start.sh"));
    writeFile(script, "an older and much longer script text\n\n\n\n\n\n\n\n\n\n\n\n\n\n");
    WriteRestartScript(script, {QStringLiteral("a"), QStringLiteral("b")});
    EXPECT_EQ(readFile(script), QByteArray("a\nb\n"));

    QDir(folder.path()).mkdir(QStringLiteral("occupied"));
    EXPECT_THROW(WriteRestartScript(folder.filePath(QStringLiteral("occupied")), {}),
                 std::runtime_error);
}

TEST(TranslationPageTest, IsTheTranslationPathOverHttps)
{
    EXPECT_EQ(TranslationPage(QUrl(QStringLiteral("http://www.maker.test"))),
              QUrl(QStringLiteral("https://www.maker.test/translation/")));
}

// ---- the start-up load of the chosen language ----

class ChosenLanguageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QDir(m_program.path()).mkdir(QStringLiteral("Languages"));
        writeFile(languages() + QStringLiteral("/German.lang.txt"), "{Yes}Ja\n");
        writeFile(languages() + QStringLiteral("/French.lang.txt"), "{Yes}Oui\n");
        // The automatic choice for 1033 is French.
        writeFile(languages() + QStringLiteral("/LanguageCodes.csv"), "1033,French.lang.txt\n");
    }
    QString languages() const { return m_program.filePath(QStringLiteral("Languages")); }

    TextCatalogue load(const std::optional<QString>& saved)
    {
        IniFile settings(m_program.filePath(QStringLiteral("settings.ini")));
        if (saved)
            SaveChosenLanguage(settings, *saved);
        TextCatalogue catalogue;
        LoadChosenLanguage(catalogue, m_program.path(), 1033, &settings);
        return catalogue;
    }

    QTemporaryDir m_program;
};

TEST_F(ChosenLanguageTest, WithoutAChoiceTheAutomaticChoiceDecides)
{
    EXPECT_EQ(load(std::nullopt).LanguageName, QStringLiteral("French"));
    TextCatalogue catalogue;
    LoadChosenLanguage(catalogue, m_program.path(), 1033, nullptr);
    EXPECT_EQ(catalogue.TranslateText(QStringLiteral("Yes")), QStringLiteral("Oui"));
}

TEST_F(ChosenLanguageTest, TheSavedFileWins)
{
    const TextCatalogue catalogue = load(QStringLiteral("German.lang.txt"));
    EXPECT_EQ(catalogue.LanguageName, QStringLiteral("German"));
    EXPECT_EQ(catalogue.TranslateText(QStringLiteral("Yes")), QStringLiteral("Ja"));
    EXPECT_EQ(catalogue.LanguageFiles.size(), 2);
}

TEST_F(ChosenLanguageTest, EnglishMeansTheBuiltInTexts)
{
    const TextCatalogue catalogue = load(QStringLiteral("English.lang.txt"));
    EXPECT_EQ(catalogue.LanguageName, QString());
    EXPECT_EQ(catalogue.LanguageFile, QString());
    EXPECT_EQ(catalogue.TranslateText(QStringLiteral("Yes")), QStringLiteral("Yes"));
    EXPECT_EQ(catalogue.LanguageFiles.size(), 2); // the window still lists the files
}

TEST_F(ChosenLanguageTest, AVanishedOrForeignFileFallsBackToTheAutomaticChoice)
{
    for (const QString& saved :
         {QStringLiteral("Dutch.lang.txt"), QStringLiteral("../Languages/German.lang.txt"),
          QStringLiteral("Languages"), QString()}) {
        EXPECT_EQ(load(saved).LanguageName, QStringLiteral("French")) << saved.toStdString();
    }
}

TEST_F(ChosenLanguageTest, ALaterLoadLeavesNothingOfAnEarlierOne)
{
    TextCatalogue catalogue = load(QStringLiteral("German.lang.txt"));
    IniFile settings(m_program.filePath(QStringLiteral("settings.ini")));
    SaveChosenLanguage(settings, QStringLiteral("English.lang.txt"));
    LoadChosenLanguage(catalogue, m_program.path(), 1033, &settings);
    EXPECT_EQ(catalogue.LanguageName, QString());
    EXPECT_EQ(catalogue.TranslateText(QStringLiteral("Yes")), QStringLiteral("Yes"));
}
