// The language files that ship with the program, checked against the texts the program
// actually asks the catalogue for. The keys are gathered from the sources themselves, so a
// text added anywhere in the program without its translations fails here.
#include "language/languagecodes.h"
#include "language/textcatalogue.h"

#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace {

const QString kSourceFolder = QStringLiteral(PARLOTEXT_SOURCE_DIR);
const QString kShippedFolder = kSourceFolder + QStringLiteral("/Languages");
const QString kBuiltProgramFolder = QStringLiteral(PARLOTEXT_PROGRAM_DIR);
const QString kTranslatorKey = QStringLiteral("INFO:Translated By");

QString readUtf8(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

// The text of one or more adjacent C++ string literals ("a" "b"), escapes resolved.
QString literalText(const QString& literals)
{
    static const QRegularExpression piece(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    QString text;
    for (const auto& match : piece.globalMatch(literals)) {
        const QString raw = match.captured(1);
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] != QLatin1Char('\\') || i + 1 == raw.size()) {
                text += raw[i];
                continue;
            }
            const QChar escaped = raw[++i];
            text += escaped == QLatin1Char('n')   ? QChar(u'\n')
                    : escaped == QLatin1Char('r') ? QChar(u'\r')
                    : escaped == QLatin1Char('t') ? QChar(u'\t')
                                                  : escaped;
        }
    }
    return text;
}

struct SourceKey {
    QString key;
    QString file; // where the program asks for it, for the failure message
};

// Every key the program hands the catalogue: TranslateText or the language window's
// translate with a literal, or with a named text constant defined in the sources.
std::vector<SourceKey> catalogueKeys()
{
    static const QString literal = QStringLiteral(R"re(((?:"(?:[^"\\]|\\.)*"\s*)+))re");
    static const QRegularExpression call(
        QStringLiteral(R"re(\b(?:TranslateText|translate)\(\s*(?:QStringLiteral\(\s*)re") +
        literal + QStringLiteral(R"re(\)|(k[A-Za-z0-9_]+)\s*\)))re"));
    static const QRegularExpression constant(
        QStringLiteral(R"re(\b(k[A-Za-z0-9_]+)\s*=\s*QStringLiteral\(\s*)re") + literal +
        QStringLiteral(R"re(\))re"));

    QHash<QString, QString> sources;
    QDirIterator it(kSourceFolder + QStringLiteral("/src"),
                    {QStringLiteral("*.cpp"), QStringLiteral("*.h")}, QDir::Files,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        sources.insert(path, readUtf8(path));
    }
    QHash<QString, QString> constants;
    for (auto source = sources.cbegin(); source != sources.cend(); ++source) {
        for (const auto& match : constant.globalMatch(source.value()))
            constants.insert(match.captured(1), literalText(match.captured(2)));
    }

    std::vector<SourceKey> keys;
    QSet<QString> seen;
    for (auto source = sources.cbegin(); source != sources.cend(); ++source) {
        for (const auto& match : call.globalMatch(source.value())) {
            const QString key = match.hasCaptured(1) ? literalText(match.captured(1))
                                                     : constants.value(match.captured(2));
            if (!key.isEmpty() && !seen.contains(key)) {
                seen.insert(key);
                keys.push_back({key, QDir(kSourceFolder).relativeFilePath(source.key())});
            }
        }
    }
    return keys;
}

const std::vector<SourceKey>& keys()
{
    static const std::vector<SourceKey> gathered = catalogueKeys();
    return gathered;
}

// The entries of a language file as the catalogue reads them: key -> text, first line wins;
// duplicates lists every key given a second time.
struct LanguageFileEntries {
    std::map<QString, QString> texts;
    QStringList duplicates;
};

LanguageFileEntries entriesOf(const QString& path)
{
    QFile file(path);
    LanguageFileEntries entries;
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    for (const QString& line : SplitUtf8Lines(file.readAll())) {
        if (!line.startsWith(QLatin1Char('{')))
            continue;
        const qsizetype close = line.indexOf(QLatin1Char('}'));
        if (close < 0)
            continue;
        const QString key = line.mid(1, close - 1);
        if (entries.texts.count(key))
            entries.duplicates << key;
        else
            entries.texts.emplace(key, line.mid(close + 1));
    }
    return entries;
}

// The placeholders of a text (%s, %d, %1 .. %9, %%), sorted, so that order may change
// with the language but none may be lost or added.
QStringList placeholders(const QString& text)
{
    static const QRegularExpression placeholder(QStringLiteral("%(?:[sd%]|[1-9])"));
    QStringList found;
    for (const auto& match : placeholder.globalMatch(text))
        found << match.captured();
    found.sort();
    return found;
}

QString leadingBlanks(const QString& text)
{
    qsizetype n = 0;
    while (n < text.size() && text[n].isSpace())
        ++n;
    return text.left(n);
}

QString trailingBlanks(const QString& text)
{
    qsizetype n = 0;
    while (n < text.size() && text[text.size() - 1 - n].isSpace())
        ++n;
    return text.right(n);
}

QStringList shippedLanguageFiles()
{
    return QDir(kShippedFolder).entryList({QStringLiteral("*.lang.txt")}, QDir::Files, QDir::Name);
}

std::string printable(const QString& s)
{
    return s.toStdString();
}

TEST(CatalogueKeys, TheSourcesAreReadInEveryWayTheProgramNamesAKey)
{
    // One key of each form the sources use: a literal, a literal broken over lines, a named
    // constant, and the language window's own lookup. Should the gathering miss a form,
    // this fails instead of the translations passing on a short list.
    QSet<QString> found;
    for (const SourceKey& entry : keys())
        found.insert(entry.key);
    for (const char* key :
         {"About %s", "Something went wrong. Your feedback could not be delivered.", "I like it!",
          "Restart Application?", "UPDATE AVAILABLE", "CREDENTIALS"})
        EXPECT_TRUE(found.contains(QString::fromUtf8(key))) << key;
    EXPECT_GE(found.size(), 40);
}

TEST(CatalogueKeys, EveryKeyFitsOnTheOneLineOfAnEntry)
{
    // An entry is "{key}text" on one line, and its text starts after the first "}": a key
    // with a line break or a "}" could never be translated. The program joins such texts
    // from parts instead.
    for (const SourceKey& entry : keys()) {
        EXPECT_FALSE(entry.key.contains(QLatin1Char('\n')) ||
                     entry.key.contains(QLatin1Char('\r')) || entry.key.contains(QLatin1Char('}')))
            << printable(entry.key) << " in " << printable(entry.file);
    }
}

TEST(ShippedLanguages, GermanFrenchAndSpanishShip)
{
    const QStringList files = shippedLanguageFiles();
    for (const char* name : {"German.lang.txt", "French.lang.txt", "Spanish.lang.txt"})
        EXPECT_TRUE(files.contains(QString::fromUtf8(name))) << name;
    // English is the program's own language: a file of it would list it twice.
    EXPECT_FALSE(files.contains(QStringLiteral("English.lang.txt"), Qt::CaseInsensitive));
}

class ShippedLanguageFile : public ::testing::TestWithParam<QString> {
protected:
    QString path() const { return kShippedFolder + QLatin1Char('/') + GetParam(); }
};

TEST_P(ShippedLanguageFile, TranslatesEveryKeyOfTheProgram)
{
    const LanguageFileEntries entries = entriesOf(path());
    for (const SourceKey& entry : keys()) {
        const auto text = entries.texts.find(entry.key);
        EXPECT_TRUE(text != entries.texts.end() && !text->second.isEmpty())
            << "no translation of \"" << printable(entry.key) << "\" (asked for in "
            << printable(entry.file) << ")";
    }
    const auto translators = entries.texts.find(kTranslatorKey);
    EXPECT_TRUE(translators != entries.texts.end() && !translators->second.trimmed().isEmpty());
    EXPECT_TRUE(entries.duplicates.isEmpty())
        << "given twice, the second never counts: " << printable(entries.duplicates.join(u", "));
}

TEST_P(ShippedLanguageFile, KeepsPlaceholdersBlanksAndEndings)
{
    const LanguageFileEntries entries = entriesOf(path());
    for (const auto& [key, text] : entries.texts) {
        if (key == kTranslatorKey)
            continue;
        SCOPED_TRACE(printable(key) + " -> " + printable(text));
        EXPECT_EQ(placeholders(text), placeholders(key));
        // The program puts its own blanks and line breaks around the texts it joins.
        EXPECT_EQ(leadingBlanks(text), leadingBlanks(key));
        EXPECT_EQ(trailingBlanks(text), trailingBlanks(key));
        // A label's colon and a command's "..." (more to come) mean the same in every language.
        EXPECT_TRUE(!key.endsWith(QLatin1Char(':')) || text.endsWith(QLatin1Char(':')));
        EXPECT_TRUE(!key.endsWith(QStringLiteral("...")) || text.endsWith(QStringLiteral("...")));
        EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << "not valid UTF-8";
    }
}

TEST_P(ShippedLanguageFile, LoadsThroughTheCatalogueByItsName)
{
    TextCatalogue catalogue;
    catalogue.LoadLanguage(kSourceFolder, 1033, GetParam());
    ASSERT_EQ(catalogue.LanguageFile, path());
    EXPECT_EQ(catalogue.LanguageName + QStringLiteral(".lang.txt"), GetParam());
    const LanguageFileEntries entries = entriesOf(path());
    for (const SourceKey& entry : keys()) {
        const auto text = entries.texts.find(entry.key);
        if (text != entries.texts.end()) {
            EXPECT_EQ(catalogue.TranslateText(entry.key), text->second);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguageFile, ::testing::ValuesIn(shippedLanguageFiles()),
                         [](const ::testing::TestParamInfo<QString>& info) {
                             return info.param.section(QLatin1Char('.'), 0, 0).toStdString();
                         });

TEST(ShippedCodeList, NamesOnlyShippedFilesWithPlainCodesGivenOnce)
{
    const QStringList lines =
        ReadTextFileLines(kShippedFolder + QStringLiteral("/LanguageCodes.csv"));
    QStringList shippedLowered;
    for (const QString& file : shippedLanguageFiles())
        shippedLowered << file.toLower();
    static const QRegularExpression plainNumber(QStringLiteral("^[1-9][0-9]{0,4}$"));
    QSet<QString> codes;
    int entries = 0;
    for (const QString& line : lines) {
        const auto entry = ParseLanguageCodeLine(line);
        if (!entry)
            continue;
        ++entries;
        SCOPED_TRACE(printable(line));
        EXPECT_TRUE(plainNumber.match(entry->code).hasMatch()) << "codes are compared as text";
        EXPECT_LE(entry->code.toUInt(), 0xFFFFu);
        EXPECT_FALSE(codes.contains(entry->code)) << "the first line for a code decides";
        codes.insert(entry->code);
        EXPECT_TRUE(shippedLowered.contains(entry->fileName.toLower()));
    }
    EXPECT_GT(entries, 0);
}

struct AutomaticChoice {
    const char* region;
    quint16 languageId;
    const char* languageName; // empty: the built-in English
};

class ShippedAutomaticChoice : public ::testing::TestWithParam<AutomaticChoice> {};

TEST_P(ShippedAutomaticChoice, PicksTheLanguageOfTheUsersRegion)
{
    TextCatalogue catalogue;
    catalogue.LoadLanguage(kSourceFolder, GetParam().languageId, QString());
    EXPECT_EQ(catalogue.LanguageName, QString::fromUtf8(GetParam().languageName));
    if (*GetParam().languageName == '\0')
        EXPECT_EQ(catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Send"));
    else
        EXPECT_NE(catalogue.TranslateText(QStringLiteral("Send")), QStringLiteral("Send"));
}

INSTANTIATE_TEST_SUITE_P(
    Regions, ShippedAutomaticChoice,
    ::testing::Values(
        AutomaticChoice{"de_DE", 1031, "German"}, AutomaticChoice{"de_AT", 3079, "German"},
        AutomaticChoice{"de_CH", 2055, "German"}, AutomaticChoice{"fr_FR", 1036, "French"},
        AutomaticChoice{"fr_CA", 3084, "French"}, AutomaticChoice{"fr_BE", 2060, "French"},
        AutomaticChoice{"es_ES", 3082, "Spanish"}, AutomaticChoice{"es_MX", 2058, "Spanish"},
        AutomaticChoice{"es_AR", 11274, "Spanish"}, AutomaticChoice{"es_US", 21514, "Spanish"},
        AutomaticChoice{"en_US", 1033, ""}, AutomaticChoice{"en_GB", 2057, ""},
        AutomaticChoice{"it_IT", 1040, ""}),
    [](const ::testing::TestParamInfo<AutomaticChoice>& info) {
        return std::string(info.param.region);
    });

QByteArray fileDigest(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256);
}

TEST(BuiltProgramFolder, HoldsTheSameLanguageFilesAsTheSources)
{
    // The program looks beside itself, so a program started from the build tree needs the
    // copy; an old copy would show texts that no longer ship.
    const QString copy = kBuiltProgramFolder + QStringLiteral("/Languages");
    const QStringList shipped = QDir(kShippedFolder).entryList(QDir::Files, QDir::Name);
    ASSERT_FALSE(shipped.isEmpty());
    EXPECT_EQ(QDir(copy).entryList(QDir::Files, QDir::Name), shipped);
    for (const QString& name : shipped)
        EXPECT_EQ(fileDigest(copy + QLatin1Char('/') + name),
                  fileDigest(kShippedFolder + QLatin1Char('/') + name))
            << printable(name);
}

} // namespace
