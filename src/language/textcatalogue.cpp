#include "language/textcatalogue.h"

#include "language/languagecodes.h"
#include "platform/folders.h"
#include "platform/uilanguage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <optional>
#include <stdexcept>

namespace {

const QLatin1String kLanguageSuffix(".lang.txt");

// The text after the first "}" of the first line that begins with "{key}".
std::optional<QString> lookUp(const QString& key, const QStringList& lines)
{
    const QString prefix = QLatin1Char('{') + key + QLatin1Char('}');
    for (const QString& line : lines) {
        if (line.startsWith(prefix))
            return line.mid(line.indexOf(QLatin1Char('}')) + 1);
    }
    return std::nullopt;
}

// Lower-cases the letters A to Z only, as the file-name comparison does.
QString asciiLowered(QString s)
{
    for (QChar& c : s) {
        if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
            c = QChar(c.unicode() + ('a' - 'A'));
    }
    return s;
}

} // namespace

void TextCatalogue::LoadLanguage(const QString& programFolder, quint16 userLanguageId,
                                 const QString& fileName)
{
    LanguagesFolder = QDir(programFolder).filePath(QStringLiteral("Languages"));
    LanguageFiles = QStringList();
    if (!QFileInfo(LanguagesFolder).isDir())
        return;
    ListLanguageFiles(LanguagesFolder);

    const QString chosen =
        TrimBlanksAndControls(fileName).isEmpty() ? automaticChoice(userLanguageId) : fileName;
    const QString path = LanguagesFolder + QLatin1Char('/') + chosen;
    if (chosen.isEmpty() || !QFileInfo(path).isFile())
        return;

    const qsizetype suffix = chosen.indexOf(kLanguageSuffix, 0, Qt::CaseSensitive);
    LanguageName = suffix >= 0 ? chosen.left(suffix) : QString();
    LanguageFile = path;
    LanguageLines = QStringList();

    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Cannot open file \"%1\". %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString())
                                     .toStdString());
    LanguageLines = SplitUtf8Lines(file.readAll());
}

QString TextCatalogue::automaticChoice(quint16 userLanguageId) const
{
    const QString codesPath = LanguagesFolder + QStringLiteral("/LanguageCodes.csv");
    if (!QFileInfo(codesPath).isFile())
        return {};
    const QString userCode = QString::number(userLanguageId);

    QStringList lines;
    try {
        lines = ReadTextFileLines(codesPath);
    } catch (const std::exception&) {
        // An unreadable code list simply chooses nothing.
    }
    QString wanted;
    for (const QString& line : lines) {
        const auto entry = ParseLanguageCodeLine(line);
        if (entry && entry->code == userCode) {
            wanted = entry->fileName;
            break;
        }
    }
    if (wanted.isEmpty())
        return {};
    const QString wantedLowered = asciiLowered(wanted);
    for (const QString& listed : LanguageFiles) {
        if (asciiLowered(listed) == wantedLowered)
            return listed;
    }
    return {};
}

void TextCatalogue::ListLanguageFiles(const QString& folder)
{
    QDir dir(folder);
    dir.setNameFilters({QStringLiteral("*lang.txt")});
    dir.setFilter(QDir::Files | QDir::Hidden | QDir::System);
    dir.setSorting(QDir::Unsorted);
    LanguageFiles += dir.entryList();
}

QString TextCatalogue::TranslateText(const QString& key) const
{
    if (LanguageFile.isEmpty())
        return key;
    const auto text = lookUp(key, LanguageLines);
    return text && !text->isEmpty() ? *text : key;
}

QString FindTranslation(const QString& key, const QStringList& lines)
{
    return lookUp(key, lines).value_or(key);
}

TextCatalogue& ProgramCatalogue()
{
    static TextCatalogue catalogue;
    return catalogue;
}

void LoadLanguage(const QString& fileName)
{
    ProgramCatalogue().LoadLanguage(ProgramFolder(), UserInterfaceLanguageId(), fileName);
}

QString TranslateText(const QString& key)
{
    return ProgramCatalogue().TranslateText(key);
}
