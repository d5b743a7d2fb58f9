#pragma once

#include <QByteArray>
#include <QString>

// Byte-wise text operations on the UTF-8 form of a text.

// Removes from both ends every byte of value 0x20 or below (blanks and control characters).
QByteArray Utf8Trim(const QByteArray& utf8);
QString Utf8Trim(const QString& text);

// Lower-cases "A" to "Z" only; every other byte, non-ASCII letters included, is kept.
QByteArray AsciiLowerCase(const QByteArray& utf8);
QString AsciiLowerCase(const QString& text);

// The text with every CR LF, lone CR and lone LF replaced by one LF: the pane's lines.
QString NormaliseLineBreaks(const QString& text);
