#include "transcription/subtitles.h"

#include <optional>

// Every step below looks at each line a bounded number of times and never looks back more
// than one line, so reading stays linear in the text's length whatever its shape.

namespace {

const QLatin1StringView kArrow("-->");
// How WebVTT writes "-->" inside cue text, where the characters themselves would start a
// new time line for every WebVTT reader.
const QLatin1StringView kEscapedArrow("--&gt;");

struct TimeLine {
    qint64 startMs = 0;
    qint64 endMs = 0;
    QStringView settings;
};

std::vector<QStringView> splitLines(QStringView text)
{
    if (text.startsWith(QChar(0xFEFF)))
        text = text.mid(1);
    std::vector<QStringView> lines;
    qsizetype start = 0;
    const qsizetype size = text.size();
    for (qsizetype at = 0; at < size; ++at) {
        const QChar c = text[at];
        if (c != QLatin1Char('\n') && c != QLatin1Char('\r'))
            continue;
        lines.push_back(text.mid(start, at - start));
        if (c == QLatin1Char('\r') && at + 1 < size && text[at + 1] == QLatin1Char('\n'))
            ++at;
        start = at + 1;
    }
    lines.push_back(text.mid(start));
    return lines;
}

bool isBlank(QStringView line)
{
    for (const QChar c : line) {
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    }
    return true;
}

bool isBlankOrSpace(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\t');
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Reads a run of digits at pos, at most maxDigits of them; the count read.
int readDigits(QStringView line, qsizetype& pos, int maxDigits, qint64& value)
{
    int count = 0;
    value = 0;
    while (pos < line.size() && isDigit(line[pos])) {
        if (++count > maxDigits)
            return count;
        value = value * 10 + (line[pos].unicode() - '0');
        ++pos;
    }
    return count;
}

// "[h...:]mm:ss.mmm" with "." or "," before the milliseconds.
std::optional<qint64> readTime(QStringView line, qsizetype& pos)
{
    qint64 first = 0;
    const int firstDigits = readDigits(line, pos, 9, first);
    if (firstDigits == 0 || firstDigits > 9 || pos >= line.size() || line[pos] != QLatin1Char(':'))
        return std::nullopt;
    ++pos;
    qint64 second = 0;
    if (readDigits(line, pos, 2, second) != 2)
        return std::nullopt;
    qint64 hours = 0;
    qint64 minutes = first;
    qint64 seconds = second;
    if (pos < line.size() && line[pos] == QLatin1Char(':')) {
        ++pos;
        hours = first;
        minutes = second;
        if (readDigits(line, pos, 2, seconds) != 2)
            return std::nullopt;
    } else if (firstDigits != 2) {
        return std::nullopt;
    }
    if (pos >= line.size() || (line[pos] != QLatin1Char('.') && line[pos] != QLatin1Char(',')))
        return std::nullopt;
    ++pos;
    qint64 milliseconds = 0;
    if (readDigits(line, pos, 3, milliseconds) != 3)
        return std::nullopt;
    if (minutes > 59 || seconds > 59)
        return std::nullopt;
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + milliseconds;
}

std::optional<TimeLine> readTimeLine(QStringView line)
{
    if (line.isEmpty() || !isDigit(line[0]))
        return std::nullopt;
    qsizetype pos = 0;
    const std::optional<qint64> start = readTime(line, pos);
    if (!start)
        return std::nullopt;
    while (pos < line.size() && isBlankOrSpace(line[pos]))
        ++pos;
    if (!line.mid(pos).startsWith(kArrow))
        return std::nullopt;
    pos += kArrow.size();
    while (pos < line.size() && isBlankOrSpace(line[pos]))
        ++pos;
    const std::optional<qint64> end = readTime(line, pos);
    if (!end || *end < *start)
        return std::nullopt;
    if (pos < line.size() && !isBlankOrSpace(line[pos]))
        return std::nullopt;
    return TimeLine{*start, *end, line.mid(pos).trimmed()};
}

// A line meant as a time line that does not read as one: what comes before "-->" holds
// nothing but time characters, or the line opens like a time ("12:34." ...). Such a line is
// never taken as cue text, so that a time line broken by an edit is reported, not absorbed.
bool looksLikeTimeLine(QStringView line)
{
    const qsizetype arrow = line.indexOf(kArrow);
    if (arrow >= 0) {
        const QStringView before = line.left(arrow).trimmed();
        bool digit = false;
        bool onlyTimeCharacters = !before.isEmpty();
        for (const QChar c : before) {
            if (isDigit(c))
                digit = true;
            else if (c != QLatin1Char(':') && c != QLatin1Char('.') && c != QLatin1Char(',') &&
                     c != QLatin1Char('-'))
                onlyTimeCharacters = false;
        }
        if (onlyTimeCharacters && digit)
            return true;
    }
    qsizetype pos = 0;
    while (pos < line.size() && isDigit(line[pos]))
        ++pos;
    if (pos == 0 || pos + 3 >= line.size() || line[pos] != QLatin1Char(':'))
        return false;
    const QChar after = line[pos + 3];
    return isDigit(line[pos + 1]) && isDigit(line[pos + 2]) &&
           (after == QLatin1Char(':') || after == QLatin1Char('.') || after == QLatin1Char(','));
}

bool isCounter(QStringView line)
{
    const QStringView trimmed = line.trimmed();
    if (trimmed.isEmpty())
        return false;
    for (const QChar c : trimmed) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

bool opensBlock(QStringView line)
{
    for (const char* keyword : {"NOTE", "STYLE", "REGION"}) {
        const QLatin1StringView word(keyword);
        if (line.startsWith(word) &&
            (line.size() == word.size() || isBlankOrSpace(line[word.size()])))
            return true;
    }
    return false;
}

bool isWebVttHeader(QStringView line)
{
    const QLatin1StringView word("WEBVTT");
    return line.startsWith(word) &&
           (line.size() == word.size() || isBlankOrSpace(line[word.size()]));
}

class Reader {
public:
    Reader(QStringView text, SubtitleFormat format, bool stripModelSpace)
        : m_lines(splitLines(text))
        , m_format(format)
        , m_stripModelSpace(stripModelSpace)
    {
        m_document.format = format;
    }

    SubtitleReading read()
    {
        const bool readWhole = m_format == SubtitleFormat::WebVtt ? readWebVtt() : readSubRip();
        if (!readWhole)
            return SubtitleReading{std::nullopt, m_invalidLine + 1};
        return SubtitleReading{std::move(m_document), 0};
    }

private:
    qsizetype count() const { return qsizetype(m_lines.size()); }
    QStringView line(qsizetype at) const { return m_lines[std::size_t(at)]; }
    bool blank(qsizetype at) const { return isBlank(line(at)); }
    bool timeLineAt(qsizetype at) const
    {
        return at < count() && readTimeLine(line(at)).has_value();
    }

    bool fail(qsizetype at)
    {
        m_invalidLine = at;
        return false;
    }

    // The line at is neither a cue nor a block: the fault is the time line after it when
    // that is what follows (an identifier or counter whose time line is broken).
    bool failBefore(qsizetype at)
    {
        if (at + 1 < count() && !blank(at) && !line(at).contains(kArrow) &&
            looksLikeTimeLine(line(at + 1)) && !timeLineAt(at + 1))
            return fail(at + 1);
        return fail(at);
    }

    qsizetype skipBlanks(qsizetype at) const
    {
        while (at < count() && blank(at))
            ++at;
        return at;
    }

    // A WebVTT cue identifier: a line without "-->" right before a time line.
    bool identifierAt(qsizetype at) const
    {
        return !line(at).contains(kArrow) && timeLineAt(at + 1);
    }

    // A SubRip counter line right before a time line.
    bool counterAt(qsizetype at) const { return isCounter(line(at)) && timeLineAt(at + 1); }

    bool readWebVtt()
    {
        if (!isWebVttHeader(line(0)))
            return fail(0);
        m_document.header = line(0).toString();
        qsizetype at = 1;
        while (at < count() && !blank(at) && !timeLineAt(at) && !identifierAt(at)) {
            if (line(at).contains(kArrow))
                return fail(at);
            m_document.headerLines.append(line(at).toString());
            ++at;
        }
        for (at = skipBlanks(at); at < count(); at = skipBlanks(at)) {
            if (timeLineAt(at)) {
                if (!readCue(at, QStringView(), at))
                    return false;
            } else if (identifierAt(at)) {
                if (!readCue(at + 1, line(at), at))
                    return false;
            } else if (opensBlock(line(at))) {
                SubtitleBlock block;
                block.beforeCue = qsizetype(m_document.cues.size());
                for (; at < count() && !blank(at) && !timeLineAt(at); ++at) {
                    if (line(at).contains(kArrow))
                        return fail(at);
                    block.lines.append(line(at).toString());
                }
                m_document.blocks.push_back(std::move(block));
            } else {
                return failBefore(at);
            }
        }
        return true;
    }

    bool readSubRip()
    {
        qsizetype at = skipBlanks(0);
        if (at >= count())
            return fail(0);
        for (; at < count(); at = skipBlanks(at)) {
            if (timeLineAt(at)) {
                if (!readCue(at, QStringView(), at))
                    return false;
            } else if (counterAt(at)) {
                if (!readCue(at + 1, line(at), at))
                    return false;
            } else {
                return failBefore(at);
            }
        }
        return true;
    }

    // Reads the cue whose time line is at timeAt; next is set to the line after its text.
    bool readCue(qsizetype timeAt, QStringView identifier, qsizetype& next)
    {
        const TimeLine time = *readTimeLine(line(timeAt));
        SubtitleCue cue;
        cue.identifier = identifier.toString();
        cue.startMs = time.startMs;
        cue.endMs = time.endMs;
        cue.settings = time.settings.toString();
        qsizetype at = timeAt + 1;
        for (; at < count() && !blank(at) && !timeLineAt(at); ++at) {
            // A counter line before a time line starts the next cue, in WebVTT too (where
            // it reads as the cue's identifier).
            if (counterAt(at))
                break;
            if (looksLikeTimeLine(line(at)))
                return fail(at);
            QStringView text = line(at);
            // The model's space stays when the text would then open like a time ("12:30.
            // ..."): written without it, the line would no longer read as text.
            if (m_stripModelSpace && cue.lines.isEmpty() && text.startsWith(QLatin1Char(' ')) &&
                !looksLikeTimeLine(text.mid(1)))
                text = text.mid(1);
            cue.lines.append(text.toString());
        }
        m_document.cues.push_back(std::move(cue));
        next = at;
        return true;
    }

    std::vector<QStringView> m_lines;
    SubtitleFormat m_format;
    bool m_stripModelSpace;
    SubtitleDocument m_document;
    qsizetype m_invalidLine = 0;
};

void appendTime(QString& out, qint64 milliseconds, QChar separator)
{
    const qint64 hours = milliseconds / 3600000;
    const int minutes = int(milliseconds / 60000 % 60);
    const int seconds = int(milliseconds / 1000 % 60);
    const int millis = int(milliseconds % 1000);
    if (hours < 10)
        out += QLatin1Char('0');
    out += QString::number(hours);
    const auto two = [&out](int value) {
        out += QLatin1Char(char('0' + value / 10));
        out += QLatin1Char(char('0' + value % 10));
    };
    out += QLatin1Char(':');
    two(minutes);
    out += QLatin1Char(':');
    two(seconds);
    out += separator;
    out += QLatin1Char(char('0' + millis / 100));
    two(millis % 100);
}

qsizetype roughSize(const SubtitleDocument& document)
{
    qsizetype size = 64;
    for (const SubtitleCue& cue : document.cues) {
        size += 40 + cue.identifier.size() + cue.settings.size();
        for (const QString& text : cue.lines)
            size += text.size() + 8;
    }
    return size;
}

} // namespace

SubtitleReading ReadSubtitles(QStringView text, SubtitleFormat format, bool stripModelSpace)
{
    return Reader(text, format, stripModelSpace).read();
}

QString SubtitleTimeText(qint64 milliseconds, SubtitleFormat format)
{
    QString text;
    appendTime(text, milliseconds,
               format == SubtitleFormat::WebVtt ? QLatin1Char('.') : QLatin1Char(','));
    return text;
}

QString WriteWebVtt(const SubtitleDocument& document)
{
    const bool fromWebVtt = document.format == SubtitleFormat::WebVtt;
    QString out;
    out.reserve(roughSize(document));
    out += document.header.isEmpty() ? QStringLiteral("WEBVTT") : document.header;
    out += QLatin1Char('\n');
    for (const QString& line : document.headerLines)
        out += line + QLatin1Char('\n');
    auto block = document.blocks.cbegin();
    // The blank line after the header and between cues and blocks.
    const auto separate = [&out] {
        out += QLatin1Char('\n');
    };
    const auto writeBlocksBefore = [&](qsizetype cue) {
        for (; fromWebVtt && block != document.blocks.cend() && block->beforeCue <= cue; ++block) {
            separate();
            for (const QString& line : block->lines)
                out += line + QLatin1Char('\n');
        }
    };
    for (qsizetype index = 0; index < qsizetype(document.cues.size()); ++index) {
        writeBlocksBefore(index);
        const SubtitleCue& cue = document.cues[std::size_t(index)];
        separate();
        if (fromWebVtt && !cue.identifier.isEmpty())
            out += cue.identifier + QLatin1Char('\n');
        appendTime(out, cue.startMs, QLatin1Char('.'));
        out += QLatin1String(" --> ");
        appendTime(out, cue.endMs, QLatin1Char('.'));
        if (fromWebVtt && !cue.settings.isEmpty())
            out += QLatin1Char(' ') + cue.settings;
        out += QLatin1Char('\n');
        for (const QString& line : cue.lines) {
            if (line.contains(kArrow))
                out += QString(line).replace(kArrow, kEscapedArrow);
            else
                out += line;
            out += QLatin1Char('\n');
        }
    }
    writeBlocksBefore(qsizetype(document.cues.size()));
    return out;
}

QString WriteSubRip(const SubtitleDocument& document)
{
    const bool fromWebVtt = document.format == SubtitleFormat::WebVtt;
    QString out;
    out.reserve(roughSize(document));
    qsizetype counter = 0;
    for (const SubtitleCue& cue : document.cues) {
        out += QString::number(++counter);
        out += QLatin1Char('\n');
        appendTime(out, cue.startMs, QLatin1Char(','));
        out += QLatin1String(" --> ");
        appendTime(out, cue.endMs, QLatin1Char(','));
        if (!fromWebVtt && !cue.settings.isEmpty())
            out += QLatin1Char(' ') + cue.settings;
        out += QLatin1Char('\n');
        for (const QString& line : cue.lines) {
            // SubRip has no escapes: the characters WebVTT had to escape are written as such.
            if (fromWebVtt && line.contains(kEscapedArrow))
                out += QString(line).replace(kEscapedArrow, kArrow);
            else
                out += line;
            out += QLatin1Char('\n');
        }
        out += QLatin1Char('\n');
    }
    return out;
}

QString WriteSubtitles(const SubtitleDocument& document, SubtitleFormat format)
{
    return format == SubtitleFormat::WebVtt ? WriteWebVtt(document) : WriteSubRip(document);
}

QString NormalizeSubtitles(const QString& delivered, SubtitleFormat format)
{
    const SubtitleReading reading = ReadSubtitles(delivered, format, true);
    if (!reading.document)
        return delivered;
    return WriteSubtitles(*reading.document, format);
}
