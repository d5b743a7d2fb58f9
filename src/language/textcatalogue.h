#pragma once

#include <QString>
#include <QStringList>

// The interface-language catalogue: the English text of an interface string is its key,
// and the loaded language file gives its translation. Loaded once at start-up and only
// read afterwards, from any thread.
class TextCatalogue final {
public:
    // Chooses and reads the catalogue from programFolder/Languages. An empty fileName
    // (after trimming) lets LanguageCodes.csv choose by userLanguageId; otherwise fileName
    // names a language file in that folder. A missing folder or file loads nothing.
    // Throws std::runtime_error when the chosen language file exists but cannot be read.
    void LoadLanguage(const QString& programFolder, quint16 userLanguageId,
                      const QString& fileName);

    // Appends the names of folder's language files ("*lang.txt", any case) to LanguageFiles.
    void ListLanguageFiles(const QString& folder);

    // The text of key in the loaded language, or key itself.
    QString TranslateText(const QString& key) const;

    QString LanguagesFolder;
    QStringList LanguageFiles;
    QString LanguageName;
    QString LanguageFile;
    QStringList LanguageLines;

private:
    QString automaticChoice(quint16 userLanguageId) const;
};

// The text of key in lines (read from some language file), even when that text is empty;
// key itself when no line carries it.
QString FindTranslation(const QString& key, const QStringList& lines);

// The process-wide catalogue of the running program.
TextCatalogue& ProgramCatalogue();

// Loads the process-wide catalogue from the program's own Languages folder.
void LoadLanguage(const QString& fileName);

// Looks key up in the process-wide catalogue.
QString TranslateText(const QString& key);
