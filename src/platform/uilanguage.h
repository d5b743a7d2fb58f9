#pragma once

#include <QLocale>

// The Windows language identifier (LANGID) of a locale, the number that language files'
// code lists are keyed by: 1031 for German (Germany), 1033 for English (United States).
// A locale whose region is not in the table takes its language's main identifier;
// an unknown language gives 1033.
quint16 WindowsLanguageId(const QLocale& locale);

// The identifier of the user's interface locale.
quint16 UserInterfaceLanguageId();
