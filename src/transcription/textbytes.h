#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Byte-wise text operations on the UTF-8 form of a text.

// Removes from both ends every byte of value 0x20 or below (blanks and control characters).
QByteArray Utf8Trim(const QByteArray& utf8);
QString Utf8Trim(const QString& text);

// Lower-cases "A" to "Z" only; every other byte, non-ASCII letters included, is kept.
QByteArray AsciiLowerCase(const QByteArray& utf8);
QString AsciiLowerCase(const QString& text);

// The text with every CR LF, lone CR and lone LF replaced by one LF: the pane's lines.
QString NormaliseLineBreaks(const QString& text);

// Appends the UTF-8 form of text to out with every CR LF, lone CR and lone LF written as
// CR LF, in one pass. Every other character is encoded as QString::toUtf8 encodes it, a
// surrogate without its partner included (as "?").
void AppendUtf8WithCrLf(QByteArray& out, QStringView text);

// A long text is encoded a slice at a time, so that the room set aside for the worst case
// stays small. The length of text's first slice: all of it up to kUtf8Slice units, else
// kUtf8Slice units and as many more as keep a CR with the LF after it and a surrogate pair
// whole (EncodeUtf8WithCrLf writes what ends its text on its own).
constexpr qsizetype kUtf8Slice = 16 * 1024;
qsizetype Utf8SliceLength(QStringView text);

// The same encoding written at dst, which has room for 3 bytes a UTF-16 unit of text (the
// most a unit takes: a line break takes 2, a surrogate pair 4 for its 2 units). Returns the
// end of what it wrote. A CR at the end of text is written as a line break of its own.
char* EncodeUtf8WithCrLf(char* dst, QStringView text);
