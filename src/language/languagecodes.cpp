#include "language/languagecodes.h"

#include <QFile>
#include <QStringDecoder>

#include <stdexcept>

namespace {

QStringList splitLines(const QString& text)
{
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text[i + 1] == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

} // namespace

QString TrimBlanksAndControls(const QString& s)
{
    qsizetype first = 0;
    qsizetype last = s.size();
    while (first < last && s[first].unicode() <= 0x20)
        ++first;
    while (last > first && s[last - 1].unicode() <= 0x20)
        --last;
    return s.mid(first, last - first);
}

std::optional<LanguageCodeEntry> ParseLanguageCodeLine(const QString& line)
{
    const qsizetype comma = line.indexOf(QLatin1Char(','));
    if (comma < 0)
        return std::nullopt;
    return LanguageCodeEntry{TrimBlanksAndControls(line.left(comma)),
                             TrimBlanksAndControls(line.mid(comma + 1))};
}

QStringList ReadTextFileLines(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(file.errorString().toStdString());
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw std::runtime_error(file.errorString().toStdString());

    // Without a byte-order mark the text is in the locale's own encoding.
    auto encoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(encoding.value_or(QStringConverter::System),
                           QStringConverter::Flag::Stateless);
    return splitLines(decoder.decode(bytes));
}

QStringList SplitUtf8Lines(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringConverter::Utf8); // skips a leading byte-order mark
    return splitLines(decoder.decode(bytes));
}
