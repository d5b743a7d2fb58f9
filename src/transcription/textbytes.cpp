#include "transcription/textbytes.h"

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
