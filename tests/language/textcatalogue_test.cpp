#include "language/textcatalogue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

constexpr quint16 kGerman = 1031;

// A program folder with an optional Languages folder, and a catalogue loaded from it.
class TextCatalogueTest : public ::testing::Test {
protected:
    QString languages() const { return m_programFolder.filePath(QStringLiteral("Languages")); }

    void makeLanguagesFolder() const { QDir().mkpath(languages()); }

    void writeLanguageFile(const QString& name, const QByteArray& bytes) const
    {
        makeLanguagesFolder();
        QFile file(languages() + QLatin1Char('/') + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void load(quint16 userLanguage = kGerman, const QString& fileName = QString())
    {
        m_catalogue.LoadLanguage(m_programFolder.path(), userLanguage, fileName);
    }

    QTemporaryDir m_programFolder;
    TextCatalogue m_catalogue;
};

TEST_F(TextCatalogueTest, WithoutLanguagesFolderEveryKeyComesBackUnchanged)
{
    load();
    EXPECT_EQ(m_catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Send"));
    EXPECT_TRUE(m_catalogue.LanguageFiles.isEmpty());
    EXPECT_TRUE(m_catalogue.LanguageFile.isEmpty());
    EXPECT_EQ(m_catalogue.LanguagesFolder, languages());
}

TEST_F(TextCatalogueTest, LanguageFilesWithoutCodeListLoadNothingAutomatically)
{
    writeLanguageFile(QStringLiteral("German.lang.txt"), "{Send}Senden\n");
    load();
    EXPECT_EQ(m_catalogue.LanguageFiles, QStringList{QStringLiteral("German.lang.txt")});
    EXPECT_EQ(m_catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Send"));
}

struct CodeListCase {
    const char* name;
    QByteArray codeList;
    bool loads;
};

class CodeListTest : public TextCatalogueTest,
                     public ::testing::WithParamInterface<CodeListCase> {};

TEST_P(CodeListTest, ChoosesTheFileForTheUsersCode)
{
    writeLanguageFile(QStringLiteral("German.lang.txt"), "{Send}Senden\n");
    writeLanguageFile(QStringLiteral("French.lang.txt"), "{Send}Envoyer\n");
    writeLanguageFile(QStringLiteral("LanguageCodes.csv"), GetParam().codeList);
    load(kGerman);
    if (GetParam().loads) {
        EXPECT_EQ(m_catalogue.LanguageName, QStringLiteral("German"));
        EXPECT_TRUE(m_catalogue.LanguageFile.endsWith(QLatin1String("/Languages/German.lang.txt")));
        EXPECT_EQ(m_catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Senden"));
    } else {
        EXPECT_TRUE(m_catalogue.LanguageFile.isEmpty());
        EXPECT_TRUE(m_catalogue.LanguageName.isEmpty());
        EXPECT_EQ(m_catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Send"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    CodeLists, CodeListTest,
    ::testing::Values(
        CodeListCase{"Plain", "1036,French.lang.txt\n1031,German.lang.txt\n", true},
        CodeListCase{"BlanksAroundBothSides", "  1031 \t,  German.lang.txt \r\n", true},
        CodeListCase{"NameInOtherCase", "1031,german.LANG.txt\n", true},
        CodeListCase{"FirstMatchingLineWins", "1031,German.lang.txt\n1031,French.lang.txt\n", true},
        CodeListCase{"Utf8ByteOrderMark",
                     "\xEF\xBB\xBF"
                     "1031,German.lang.txt\n",
                     true},
        CodeListCase{"Utf16ByteOrderMark",
                     QByteArray("\xFF\xFE"
                                "1\0"
                                "0\0"
                                "3\0"
                                "1\0"
                                ",\0"
                                "G\0"
                                "e\0"
                                "r\0"
                                "m\0"
                                "a\0"
                                "n\0"
                                ".\0"
                                "l\0"
                                "a\0"
                                "n\0"
                                "g\0"
                                ".\0"
                                "t\0"
                                "x\0"
                                "t\0",
                                42),
                     true},
        CodeListCase{"LeadingZeroDoesNotMatch", "01031,German.lang.txt\n", false},
        CodeListCase{"NoLineForTheCode", "1036,French.lang.txt\n", false},
        CodeListCase{"LineWithoutCommaIsSkipped", "1031 German.lang.txt\n", false},
        CodeListCase{"FileNotInTheFolder", "1031,Klingon.lang.txt\n", false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextCatalogueTest, EntryRules)
{
    writeLanguageFile(QStringLiteral("Test.lang.txt"), "\xEF\xBB\xBF{First}Erste\r\n"
                                                       "A heading, never a key\n"
                                                       "{Empty}\r"
                                                       "{Braces}a}b\n"
                                                       "{Blanks}  kept  \n"
                                                       "{Send}Senden\n"
                                                       "{Send}Second one\n"
                                                       "{send}lower\n"
                                                       "{Umlaut}Schlie\xC3\x9F"
                                                       "en\n");
    load(kGerman, QStringLiteral("Test.lang.txt"));
    const std::pair<const char*, QString> cases[] = {
        {"First", QStringLiteral("Erste")},           // the byte-order mark is skipped
        {"Empty", QStringLiteral("Empty")},           // an empty text gives the key back
        {"Braces", QStringLiteral("a}b")},            // text after the first "}"
        {"Blanks", QStringLiteral("  kept  ")},       // not trimmed
        {"Send", QStringLiteral("Senden")},           // the first line wins
        {"SEND", QStringLiteral("SEND")},             // keys compare with case
        {"Umlaut", QStringLiteral("Schlie\u00DFen")}, // UTF-8
        {"Missing", QStringLiteral("Missing")},
    };
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(m_catalogue.TranslateText(QLatin1String(key)), expected) << key;
    EXPECT_EQ(FindTranslation(QStringLiteral("Empty"), m_catalogue.LanguageLines), QString());
    EXPECT_EQ(FindTranslation(QStringLiteral("Braces"), m_catalogue.LanguageLines),
              QStringLiteral("a}b"));
    EXPECT_EQ(FindTranslation(QStringLiteral("Send"), {}), QStringLiteral("Send"));
}

TEST_F(TextCatalogueTest, ExplicitFileNameBypassesTheCodeList)
{
    writeLanguageFile(QStringLiteral("German.lang.txt"), "{Send}Senden\n");
    writeLanguageFile(QStringLiteral("French.lang.txt"), "{Send}Envoyer\n");
    writeLanguageFile(QStringLiteral("LanguageCodes.csv"), "1031,German.lang.txt\n");
    load(kGerman, QStringLiteral("French.lang.txt"));
    EXPECT_EQ(m_catalogue.LanguageName, QStringLiteral("French"));
    EXPECT_EQ(m_catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Envoyer"));
}

TEST_F(TextCatalogueTest, MissingExplicitFileLoadsNothing)
{
    writeLanguageFile(QStringLiteral("German.lang.txt"), "{Send}Senden\n");
    load(kGerman, QStringLiteral("Klingon.lang.txt"));
    EXPECT_TRUE(m_catalogue.LanguageFile.isEmpty());
    EXPECT_EQ(m_catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Send"));
}

TEST_F(TextCatalogueTest, ListingMatchesLangTxtInAnyCaseAndSkipsFolders)
{
    writeLanguageFile(QStringLiteral("German.lang.txt"), "");
    writeLanguageFile(QStringLiteral("SHOUT.LANG.TXT"), "");
    writeLanguageFile(QStringLiteral("Germanlang.txt"), "{Send}Senden\n");
    writeLanguageFile(QStringLiteral(".hidden.lang.txt"), "");
    writeLanguageFile(QStringLiteral("notes.txt"), "");
    QDir().mkpath(languages() + QStringLiteral("/Folder.lang.txt"));
    load();
    QStringList listed = m_catalogue.LanguageFiles;
    listed.sort();
    EXPECT_EQ(listed,
              (QStringList{QStringLiteral(".hidden.lang.txt"), QStringLiteral("German.lang.txt"),
                           QStringLiteral("Germanlang.txt"), QStringLiteral("SHOUT.LANG.TXT")}));
}

TEST_F(TextCatalogueTest, FileWithoutDotBeforeLangLoadsWithEmptyName)
{
    writeLanguageFile(QStringLiteral("Germanlang.txt"), "{Send}Senden\n");
    load(kGerman, QStringLiteral("Germanlang.txt"));
    EXPECT_TRUE(m_catalogue.LanguageName.isEmpty());
    EXPECT_FALSE(m_catalogue.LanguageFile.isEmpty());
    EXPECT_EQ(m_catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Senden"));
}

} // namespace
