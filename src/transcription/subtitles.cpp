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
// nothing but time characters, or the line opens like a time ("12:34.5" ...). Such a line is
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
    if (pos == 0 || pos + 4 >= line.size() || line[pos] != QLatin1Char(':'))
        return false;
    // "12:34:5", "12:34.5" or "12:34,5"; text such as "10:30, we start" is not a time.
    const QChar after = line[pos + 3];
    return isDigit(line[pos + 1]) && isDigit(line[pos + 2]) &&
           (after == QLatin1Char(':') || after == QLatin1Char('.') || after == QLatin1Char(',')) &&
           isDigit(line[pos + 4]);
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

// What the reader finds, in the order it stands, as views into the text read.
struct CueView {
    QStringView identifier;
    qint64 startMs = 0;
    qint64 endMs = 0;
    QStringView settings;
    std::vector<QStringView> lines;
};

class SubtitleSink {
public:
    virtual ~SubtitleSink() = default;
    virtual void header(QStringView first, const std::vector<QStringView>& lines) = 0;
    virtual void block(const std::vector<QStringView>& lines) = 0;
    virtual void cue(const CueView& cue) = 0;
};

class Reader {
public:
    Reader(QStringView text, SubtitleFormat format, bool stripModelSpace, SubtitleSink& sink)
        : m_lines(splitLines(text))
        , m_format(format)
        , m_stripModelSpace(stripModelSpace)
        , m_sink(sink)
    {
    }

    // The 1-based number of the first line that is not valid; 0 when the whole text read.
    qsizetype read()
    {
        const bool readWhole = m_format == SubtitleFormat::WebVtt ? readWebVtt() : readSubRip();
        return readWhole ? 0 : m_invalidLine + 1;
    }

private:
    qsizetype count() const { return qsizetype(m_lines.size()); }
    QStringView line(qsizetype at) const { return m_lines[std::size_t(at)]; }
    bool blank(qsizetype at) const { return isBlank(line(at)); }
    // Whether the line at is a time line. Each line is asked about up to three times in a
    // row (as itself, as the line after an identifier, as the line that ends a cue), so the
    // last answer is kept.
    bool timeLineAt(qsizetype at) const
    {
        if (at >= count())
            return false;
        if (at != m_timeLineCacheAt) {
            m_timeLineCacheAt = at;
            m_timeLineCache = readTimeLine(line(at)).has_value();
        }
        return m_timeLineCache;
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
        m_gathered.clear();
        qsizetype at = 1;
        while (at < count() && !blank(at) && !timeLineAt(at) && !identifierAt(at)) {
            if (line(at).contains(kArrow))
                return fail(at);
            m_gathered.push_back(line(at));
            ++at;
        }
        m_sink.header(line(0), m_gathered);
        for (at = skipBlanks(at); at < count(); at = skipBlanks(at)) {
            if (timeLineAt(at)) {
                if (!readCue(at, QStringView(), at))
                    return false;
            } else if (identifierAt(at)) {
                if (!readCue(at + 1, line(at), at))
                    return false;
            } else if (opensBlock(line(at))) {
                m_gathered.clear();
                for (; at < count() && !blank(at) && !timeLineAt(at); ++at) {
                    if (line(at).contains(kArrow))
                        return fail(at);
                    m_gathered.push_back(line(at));
                }
                m_sink.block(m_gathered);
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
        m_cue.identifier = identifier;
        m_cue.startMs = time.startMs;
        m_cue.endMs = time.endMs;
        m_cue.settings = time.settings;
        m_cue.lines.clear();
        qsizetype at = timeAt + 1;
        for (; at < count() && !blank(at) && !timeLineAt(at); ++at) {
            // A counter line before a time line starts the next cue, in WebVTT too (where
            // it reads as the cue's identifier).
            if (counterAt(at))
                break;
            if (looksLikeTimeLine(line(at)))
                return fail(at);
            QStringView text = line(at);
            // The model's space stays when the text would then open like a time ("12:30:00
            // ..."): written without it, the line would no longer read as text.
            if (m_stripModelSpace && m_cue.lines.empty() && text.startsWith(QLatin1Char(' ')) &&
                !looksLikeTimeLine(text.mid(1)))
                text = text.mid(1);
            m_cue.lines.push_back(text);
        }
        m_sink.cue(m_cue);
        next = at;
        return true;
    }

    std::vector<QStringView> m_lines;
    SubtitleFormat m_format;
    bool m_stripModelSpace;
    SubtitleSink& m_sink;
    std::vector<QStringView> m_gathered;
    CueView m_cue;
    qsizetype m_invalidLine = 0;
    mutable qsizetype m_timeLineCacheAt = -1;
    mutable bool m_timeLineCache = false;
};

QStringList toStrings(const std::vector<QStringView>& views)
{
    QStringList strings;
    strings.reserve(qsizetype(views.size()));
    for (const QStringView view : views)
        strings.append(view.toString());
    return strings;
}

std::vector<QStringView> toViews(const QStringList& strings)
{
    return std::vector<QStringView>(strings.cbegin(), strings.cend());
}

// Builds the document.
class DocumentSink final : public SubtitleSink {
public:
    explicit DocumentSink(SubtitleFormat format) { document.format = format; }

    void header(QStringView first, const std::vector<QStringView>& lines) override
    {
        document.header = first.toString();
        document.headerLines = toStrings(lines);
    }
    void block(const std::vector<QStringView>& lines) override
    {
        document.blocks.push_back(SubtitleBlock{qsizetype(document.cues.size()), toStrings(lines)});
    }
    void cue(const CueView& cue) override
    {
        document.cues.push_back(SubtitleCue{cue.identifier.toString(), cue.startMs, cue.endMs,
                                            cue.settings.toString(), toStrings(cue.lines)});
    }

    SubtitleDocument document;
};

void appendTime(QString& out, qint64 milliseconds, QChar separator)
{
    const qint64 hours = milliseconds / 3600000;
    const int minutes = int(milliseconds / 60000 % 60);
    const int seconds = int(milliseconds / 1000 % 60);
    const int millis = int(milliseconds % 1000);
    // Hours: at least two digits, more past 99.
    char digits[20];
    int count = 0;
    for (qint64 rest = hours; rest > 0 || count < 2; rest /= 10)
        digits[count++] = char('0' + rest % 10);
    while (count > 0)
        out += QLatin1Char(digits[--count]);
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

// Writes the standard form of what it is given, as it is given. fromWebVtt tells what was
// read: identifiers, cue settings and blocks are WebVTT's own and go only into WebVTT, a
// SubRip text's settings only into SubRip.
class WriterSink final : public SubtitleSink {
public:
    WriterSink(SubtitleFormat target, bool fromWebVtt, qsizetype expectedSize)
        : m_target(target)
        , m_fromWebVtt(fromWebVtt)
    {
        m_out.reserve(expectedSize + expectedSize / 8 + 64);
        if (m_target == SubtitleFormat::WebVtt && !fromWebVtt)
            m_out += QLatin1String("WEBVTT\n");
    }

    void header(QStringView first, const std::vector<QStringView>& lines) override
    {
        if (m_target != SubtitleFormat::WebVtt)
            return;
        appendLine(first.isEmpty() ? QStringView(u"WEBVTT") : first);
        for (const QStringView line : lines)
            appendLine(line);
    }

    void block(const std::vector<QStringView>& lines) override
    {
        if (m_target != SubtitleFormat::WebVtt || !m_fromWebVtt)
            return;
        m_out += QLatin1Char('\n');
        for (const QStringView line : lines)
            appendLine(line);
    }

    void cue(const CueView& cue) override
    {
        if (m_target == SubtitleFormat::WebVtt)
            webVttCue(cue);
        else
            subRipCue(cue);
    }

    QString take() { return std::move(m_out); }

private:
    void appendLine(QStringView line)
    {
        m_out += line;
        m_out += QLatin1Char('\n');
    }

    void timeLine(const CueView& cue, QChar separator, bool withSettings)
    {
        appendTime(m_out, cue.startMs, separator);
        m_out += QLatin1String(" --> ");
        appendTime(m_out, cue.endMs, separator);
        if (withSettings && !cue.settings.isEmpty()) {
            m_out += QLatin1Char(' ');
            m_out += cue.settings;
        }
        m_out += QLatin1Char('\n');
    }

    void webVttCue(const CueView& cue)
    {
        // The blank line after the header and between cues and blocks.
        m_out += QLatin1Char('\n');
        if (m_fromWebVtt && !cue.identifier.isEmpty())
            appendLine(cue.identifier);
        timeLine(cue, QLatin1Char('.'), m_fromWebVtt);
        for (const QStringView line : cue.lines) {
            if (line.contains(kArrow))
                appendLine(line.toString().replace(kArrow, kEscapedArrow));
            else
                appendLine(line);
        }
    }

    void subRipCue(const CueView& cue)
    {
        m_out += QString::number(++m_counter);
        m_out += QLatin1Char('\n');
        timeLine(cue, QLatin1Char(','), !m_fromWebVtt);
        for (const QStringView line : cue.lines) {
            // SubRip has no escapes: what WebVTT had to escape is written as itself.
            if (m_fromWebVtt && line.contains(kEscapedArrow))
                appendLine(line.toString().replace(kEscapedArrow, kArrow));
            else
                appendLine(line);
        }
        m_out += QLatin1Char('\n');
    }

    SubtitleFormat m_target;
    bool m_fromWebVtt;
    QString m_out;
    qint64 m_counter = 0;
};

} // namespace

SubtitleReading ReadSubtitles(QStringView text, SubtitleFormat format, bool stripModelSpace)
{
    DocumentSink sink(format);
    const qsizetype invalid = Reader(text, format, stripModelSpace, sink).read();
    if (invalid > 0)
        return SubtitleReading{std::nullopt, invalid};
    return SubtitleReading{std::move(sink.document), 0};
}

SubtitleConversion ConvertSubtitles(QStringView text, SubtitleFormat from, SubtitleFormat to,
                                    bool stripModelSpace)
{
    WriterSink sink(to, from == SubtitleFormat::WebVtt, text.size());
    const qsizetype invalid = Reader(text, from, stripModelSpace, sink).read();
    if (invalid > 0)
        return SubtitleConversion{std::nullopt, invalid};
    return SubtitleConversion{sink.take(), 0};
}

QString SubtitleTimeText(qint64 milliseconds, SubtitleFormat format)
{
    QString text;
    appendTime(text, milliseconds,
               format == SubtitleFormat::WebVtt ? QLatin1Char('.') : QLatin1Char(','));
    return text;
}

QString WriteSubtitles(const SubtitleDocument& document, SubtitleFormat format)
{
    const bool fromWebVtt = document.format == SubtitleFormat::WebVtt;
    qsizetype size = 64;
    for (const SubtitleCue& cue : document.cues) {
        size += 40 + cue.identifier.size() + cue.settings.size();
        for (const QString& text : cue.lines)
            size += text.size() + 1;
    }
    WriterSink sink(format, fromWebVtt, size);
    if (fromWebVtt)
        sink.header(document.header, toViews(document.headerLines));
    auto block = document.blocks.cbegin();
    const auto blocksBefore = [&](qsizetype cue) {
        for (; block != document.blocks.cend() && block->beforeCue <= cue; ++block)
            sink.block(toViews(block->lines));
    };
    CueView view;
    for (qsizetype index = 0; index < qsizetype(document.cues.size()); ++index) {
        blocksBefore(index);
        const SubtitleCue& cue = document.cues[std::size_t(index)];
        view.identifier = cue.identifier;
        view.startMs = cue.startMs;
        view.endMs = cue.endMs;
        view.settings = cue.settings;
        view.lines = toViews(cue.lines);
        sink.cue(view);
    }
    blocksBefore(qsizetype(document.cues.size()));
    return sink.take();
}

QString WriteWebVtt(const SubtitleDocument& document)
{
    return WriteSubtitles(document, SubtitleFormat::WebVtt);
}

QString WriteSubRip(const SubtitleDocument& document)
{
    return WriteSubtitles(document, SubtitleFormat::SubRip);
}

QString NormalizeSubtitles(const QString& delivered, SubtitleFormat format)
{
    SubtitleConversion conversion = ConvertSubtitles(delivered, format, format, true);
    return conversion.text ? std::move(*conversion.text) : delivered;
}
