#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class IniFile;
class TextCatalogue;

// The language that needs no file: the program's own texts.
inline const QString kBuiltInLanguage = QStringLiteral("English");
// Who made the built-in texts, shown in place of a translator line.
inline const QString kBuiltInTranslator = QStringLiteral("Quillon");
// settings.ini section and key that keep the chosen language file across the restart.
inline const QString kLanguageSettingsSection = QStringLiteral("Settings");
inline const QString kLanguageSettingsKey = QStringLiteral("Language");

// The list text of a language file name: the name up to the first ".lang.txt"
// (case-sensitive), or an empty text when the suffix is missing.
QString LanguageItemText(const QString& languageFileName);

// The index of a language's flag picture: 1 "English", 2 to 30 the known languages,
// 0 (the blank flag) for any other text. Exact, case-sensitive comparison.
int LanguageFlagIndex(const QString& itemText);

// The translator text of a language: "Quillon" for the built-in English, else the
// "INFO:Translated By" entry of its file in languagesFolder. A file that cannot be read
// gives an empty text; a file without the entry gives the key itself.
QString TranslatorText(const QString& languagesFolder, const QString& itemText);

// The translator text as lines: split at every comma, each piece trimmed of blanks and
// control characters. An empty text and a comma at the very end add no line.
QStringList TranslatorLines(const QString& translatorText);

// Whether the restart script may wait a second before starting the program. The pause
// gives the ending process time to let go of its files.
bool RestartPauseAvailable();

// The file name of the restart script inside the data folder.
QString RestartScriptName();

// The lines of the restart script: two lines telling what the file is, the pause when
// withPause, then the program file, quoted for the script's interpreter.
QStringList RestartScriptLines(const QString& programFile, bool withPause);

// Quotes text as one word for a POSIX shell.
QString ShellQuoted(const QString& text);

// Writes the lines to path, replacing any earlier file, in the locale's encoding, each line
// ended as the script's interpreter expects. Throws std::runtime_error when the file cannot
// be written or a line cannot be written in that encoding.
void WriteRestartScript(const QString& path, const QStringList& lines);

// The program and arguments that run the script at path.
struct ScriptCommand {
    QString program;
    QStringList arguments;
};
ScriptCommand RestartScriptCommand(const QString& path);

// Keeps the chosen language file name for the next start. Throws IniWriteError.
void SaveChosenLanguage(IniFile& settings, const QString& languageFileName);

// The start-up load: the language file saved by the language window when that file still
// exists in programFolder/Languages, the built-in English when that was the choice, else
// the automatic choice by userLanguageId. settings may be null. Throws what
// TextCatalogue::LoadLanguage throws.
void LoadChosenLanguage(TextCatalogue& catalogue, const QString& programFolder,
                        quint16 userLanguageId, const IniFile* settings);

// The maker's page for volunteer translators: "/translation/" on the maker's web host,
// over HTTPS.
class QUrl;
QUrl TranslationPage(const QUrl& makerWeb);
