#include "transcription/textbytes.h"

#include "transcription/utf16scan.h"

#include <algorithm>

QByteArray Utf8Trim(const QByteArray& utf8)
{
    qsizetype begin = 0;
    qsizetype end = utf8.size();
    while (begin < end && static_cast<unsigned char>(utf8[begin]) <= 0x20)
        ++begin;
    while (end > begin && static_cast<unsigned char>(utf8[end - 1]) <= 0x20)
        --end;
    return utf8.mid(begin, end - begin);
}

QString Utf8Trim(const QString& text)
{
    // Every trimmed byte is a whole character in UTF-8, so trimming the UTF-16 form by the
    // same rule gives the same text without the round trip.
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin].unicode() <= 0x20)
        ++begin;
    while (end > begin && text[end - 1].unicode() <= 0x20)
        --end;
    return text.mid(begin, end - begin);
}

QByteArray AsciiLowerCase(const QByteArray& utf8)
{
    QByteArray result = utf8;
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
    }
    return result;
}

QString AsciiLowerCase(const QString& text)
{
    QString result = text;
    for (QChar& c : result) {
        if (c.unicode() >= u'A' && c.unicode() <= u'Z')
            c = QChar(c.unicode() + 32);
    }
    return result;
}

QString NormaliseLineBreaks(const QString& text)
{
    // The service's subtitles hold LF only: they pass through unchanged and uncopied.
    if (!text.contains(QLatin1Char('\r')))
        return text;
    QString result = text;
    result.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    result.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return result;
}

char* EncodeUtf8WithCrLf(char* dst, QStringView text)
{
    const char16_t* src = text.utf16();
    const char16_t* const end = src + text.size();
    while (src != end) {
        src = CopyPlainAscii(src, end, dst);
        if (src == end)
            break;
        const char16_t c = *src++;
        if (c < 0x80) { // a line break
            if (c == u'\r' && src != end && *src == u'\n')
                ++src;
            *dst++ = '\r';
            *dst++ = '\n';
        } else if (c < 0x800) {
            *dst++ = char(0xC0 | (c >> 6));
            *dst++ = char(0x80 | (c & 0x3F));
        } else if (c < 0xD800 || c > 0xDFFF) {
            *dst++ = char(0xE0 | (c >> 12));
            *dst++ = char(0x80 | ((c >> 6) & 0x3F));
            *dst++ = char(0x80 | (c & 0x3F));
        } else if (c <= 0xDBFF && src != end && *src >= 0xDC00 && *src <= 0xDFFF) {
            const char32_t u = 0x10000 + ((char32_t(c) - 0xD800) << 10) + (*src++ - 0xDC00);
            *dst++ = char(0xF0 | (u >> 18));
            *dst++ = char(0x80 | ((u >> 12) & 0x3F));
            *dst++ = char(0x80 | ((u >> 6) & 0x3F));
            *dst++ = char(0x80 | (u & 0x3F));
        } else {
            *dst++ = '?'; // a surrogate without its partner, as QString::toUtf8 writes it
        }
    }
    return dst;
}

qsizetype Utf8SliceLength(QStringView text)
{
    if (text.size() <= kUtf8Slice)
        return text.size();
    qsizetype length = kUtf8Slice;
    while (length != text.size() &&
           (text[length - 1] == u'\r' || text[length - 1].isHighSurrogate()))
        ++length;
    return length;
}

void AppendUtf8WithCrLf(QByteArray& out, QStringView text)
{
    // A long text goes in slices, so that the room set aside for the worst case (3 bytes a
    // unit) stays small.
    while (!text.isEmpty()) {
        const QStringView slice = text.first(Utf8SliceLength(text));
        const qsizetype used = out.size();
        const qsizetype room = 3 * slice.size();
        if (out.capacity() - used < room)
            out.reserve(std::max(used + room, out.capacity() + out.capacity() / 2));
        out.resize(used + room);
        char* const start = out.data() + used;
        out.truncate(EncodeUtf8WithCrLf(start, slice) - out.constData());
        text = text.sliced(slice.size());
    }
}
