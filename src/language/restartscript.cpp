#include "language/restartscript.h"

#include "language/languagecodes.h"
#include "language/textcatalogue.h"
#include "platform/inifile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QOperatingSystemVersion>
#include <QSaveFile>
#include <QStringEncoder>
#include <QUrl>

#include <stdexcept>

namespace {

const QLatin1String kLanguageSuffix(".lang.txt");

} // namespace

QString LanguageItemText(const QString& languageFileName)
{
    const qsizetype suffix = languageFileName.indexOf(kLanguageSuffix, 0, Qt::CaseSensitive);
    return suffix >= 0 ? languageFileName.left(suffix) : QString();
}

int LanguageFlagIndex(const QString& itemText)
{
    static const char* const kNames[] = {"English",
                                         "German",
                                         "French",
                                         "Turkish",
                                         "Albanian",
                                         "Arabic",
                                         "Bulgarian",
                                         "ChineseSimplified",
                                         "ChineseTraditional",
                                         "Czech",
                                         "Dutch",
                                         "Finnish",
                                         "Greek",
                                         "Hebrew",
                                         "Hungarian",
                                         "Italian",
                                         "Japanese",
                                         "Korean",
                                         "Persian",
                                         "Polish",
                                         "PortugueseBrazil",
                                         "PortuguesePortugal",
                                         "Romanian",
                                         "Russian",
                                         "Slovenian",
                                         "Spanish",
                                         "Swedish",
                                         "Ukrainian",
                                         "Vietnamese",
                                         "Slovak"};
    for (int i = 0; i < int(std::size(kNames)); ++i) {
        if (itemText == QLatin1String(kNames[i]))
            return i + 1;
    }
    return 0;
}

QString TranslatorText(const QString& languagesFolder, const QString& itemText)
{
    if (itemText == kBuiltInLanguage)
        return kBuiltInTranslator;
    QFile file(languagesFolder + QLatin1Char('/') + itemText + kLanguageSuffix);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return FindTranslation(QStringLiteral("INFO:Translated By"), SplitUtf8Lines(file.readAll()));
}

QStringList TranslatorLines(const QString& translatorText)
{
    if (translatorText.isEmpty())
        return {};
    QStringList pieces = translatorText.split(QLatin1Char(','));
    if (pieces.size() > 1 && pieces.last().isEmpty())
        pieces.removeLast();
    for (QString& piece : pieces)
        piece = TrimBlanksAndControls(piece);
    return pieces;
}

bool RestartPauseAvailable()
{
#ifdef Q_OS_WIN
    // "timeout" came with the Windows versions after major version 5.
    return QOperatingSystemVersion::current().majorVersion() > 5;
#else
    // A POSIX shell always has "sleep".
    return true;
#endif
}

QString RestartScriptName()
{
#ifdef Q_OS_WIN
    return QStringLiteral("start.bat");
#else
    return QStringLiteral("start.sh");
#endif
}

QString ShellQuoted(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("'\\''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

QStringList RestartScriptLines(const QString& programFile, bool withPause)
{
#ifdef Q_OS_WIN
    QStringList lines{QStringLiteral("@ECHO OFF"),
                      QStringLiteral("ECHO This file was created automatically to restart the "
                                     "program."),
                      QStringLiteral("ECHO It is safe to delete this file.")};
    if (withPause)
        lines << QStringLiteral("timeout 1");
    lines << QLatin1Char('"') + QDir::toNativeSeparators(programFile) + QLatin1Char('"');
#else
    QStringList lines{QStringLiteral("#!/bin/sh"),
                      QStringLiteral("echo 'This file was created automatically to restart the "
                                     "program.'"),
                      QStringLiteral("echo 'It is safe to delete this file.'")};
    if (withPause)
        lines << QStringLiteral("sleep 1");
    lines << ShellQuoted(programFile);
#endif
    return lines;
}

void WriteRestartScript(const QString& path, const QStringList& lines)
{
#ifdef Q_OS_WIN
    const QString lineEnd = QStringLiteral("\r\n");
#else
    // A carriage return would become part of every command in a POSIX shell.
    const QString lineEnd = QStringLiteral("\n");
#endif
    QString text;
    for (const QString& line : lines)
        text += line + lineEnd;

    QStringEncoder encoder(QStringConverter::System);
    const QByteArray bytes = encoder.encode(text);
    // A path that the locale cannot spell would start some other program, or none.
    if (encoder.hasError())
        throw std::runtime_error(
            QStringLiteral("Cannot write \"%1\": its text cannot be written in the system's "
                           "encoding.")
                .arg(QDir::toNativeSeparators(path))
                .toStdString());

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        throw std::runtime_error(QStringLiteral("Cannot create file \"%1\". %2")
                                     .arg(QDir::toNativeSeparators(path), file.errorString())
                                     .toStdString());
}

ScriptCommand RestartScriptCommand(const QString& path)
{
#ifdef Q_OS_WIN
    return {QStringLiteral("cmd.exe"), {QStringLiteral("/C"), QDir::toNativeSeparators(path)}};
#else
    return {QStringLiteral("/bin/sh"), {path}};
#endif
}

void SaveChosenLanguage(IniFile& settings, const QString& languageFileName)
{
    settings.writeString(kLanguageSettingsSection, kLanguageSettingsKey, languageFileName);
}

void LoadChosenLanguage(TextCatalogue& catalogue, const QString& programFolder,
                        quint16 userLanguageId, const IniFile* settings)
{
    // A fresh state, so that nothing of an earlier load is left when nothing loads now.
    catalogue = TextCatalogue();
    QString saved;
    if (settings)
        saved = settings->readString(kLanguageSettingsSection, kLanguageSettingsKey)
                    .value_or(QString());
    // Only a plain file name of the Languages folder counts; anything else in the file
    // is not ours to follow.
    const bool plainName = !saved.isEmpty() && !saved.contains(QLatin1Char('/')) &&
                           !saved.contains(QLatin1Char('\\')) && saved != QLatin1String(".") &&
                           saved != QLatin1String("..");
    const QString languagesFolder = QDir(programFolder).filePath(QStringLiteral("Languages"));
    const bool exists = plainName && QFileInfo(languagesFolder + QLatin1Char('/') + saved).isFile();
    const bool builtIn = plainName && LanguageItemText(saved) == kBuiltInLanguage;
    // An explicit name that no file carries loads nothing: the built-in texts.
    catalogue.LoadLanguage(programFolder, userLanguageId, exists || builtIn ? saved : QString());
}

QUrl TranslationPage(const QUrl& makerWeb)
{
    QUrl page = makerWeb;
    page.setPath(QStringLiteral("/translation/"));
    page.setScheme(QStringLiteral("https"));
    return page;
}
