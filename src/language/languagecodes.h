#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// One useful line of LanguageCodes.csv: a language identifier and the language file
// chosen for it.
struct LanguageCodeEntry {
    QString code;
    QString fileName;
};

// Splits a line at its first comma, both sides trimmed of blanks and control characters.
// A line without a comma gives nothing.
std::optional<LanguageCodeEntry> ParseLanguageCodeLine(const QString& line);

// The lines of a text file whose byte-order mark picks UTF-8 or UTF-16; without a mark
// the file is in the locale's encoding. Lines end at CR LF, LF or CR.
// Throws std::runtime_error when the file cannot be read.
QStringList ReadTextFileLines(const QString& path);

// The lines of a UTF-8 text (a leading byte-order mark skipped), split at CR LF, LF or CR.
QStringList SplitUtf8Lines(const QByteArray& bytes);

// s without leading and trailing blanks and control characters.
QString TrimBlanksAndControls(const QString& s);
