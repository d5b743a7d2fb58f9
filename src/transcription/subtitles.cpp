#include "transcription/subtitles.h"

#include "transcription/textbytes.h"
#include "transcription/utf16scan.h"

#include <algorithm>
#include <array>
#include <cstring>
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

// The lines of a text, split at CR, LF or CR LF as the reader comes to them, after a leading
// byte-order mark; a text ending with a line break has an empty last line. Only the last few
// lines are kept, which is all the reader looks at, so that reading a large text needs no
// list of all its lines.
class LineSplitter {
public:
    explicit LineSplitter(QStringView text)
        : m_next(text.utf16())
        , m_end(m_next + text.size())
    {
        if (text.startsWith(QChar(0xFEFF)))
            ++m_next;
    }

    // Whether the text has a line at that index.
    bool has(qsizetype at)
    {
        while (at >= m_count && !m_finished)
            splitNext();
        return at < m_count;
    }

    QStringView line(qsizetype at)
    {
        const bool exists = has(at);
        Q_ASSERT(exists && at >= m_count - kKept);
        Q_UNUSED(exists);
        return m_kept[std::size_t(at % kKept)];
    }

private:
    static constexpr qsizetype kKept = 8;

    void splitNext()
    {
        const char16_t* lineEnd = FindEitherUnit(m_next, m_end, u'\n', u'\r');
        m_kept[std::size_t(m_count++ % kKept)] = QStringView(m_next, lineEnd);
        if (lineEnd == m_end) {
            m_finished = true;
            return;
        }
        if (*lineEnd == u'\r' && lineEnd + 1 != m_end && lineEnd[1] == u'\n')
            ++lineEnd;
        m_next = lineEnd + 1;
    }

    const char16_t* m_next;
    const char16_t* m_end;
    qsizetype m_count = 0; // lines split so far
    bool m_finished = false;
    std::array<QStringView, kKept> m_kept;
};

// Where marker (two characters or more) first stands in line, -1 when nowhere: a fast
// search for its last character, then a look at the ones before. Every character of the line
// is looked at a bounded number of times.
qsizetype findMarker(QStringView line, QLatin1StringView marker)
{
    const qsizetype before = marker.size() - 1;
    const QLatin1StringView head = marker.first(before);
    const char16_t last = char16_t(marker.back().unicode());
    const char16_t* const begin = line.utf16();
    const char16_t* const end = begin + line.size();
    if (line.size() <= before)
        return -1;
    for (const char16_t* at = FindUnit(begin + before, end, last); at != end;
         at = FindUnit(at + 1, end, last)) {
        if (QStringView(at - before, before) == head)
            return at - begin - before;
    }
    return -1;
}

bool hasArrow(QStringView line)
{
    return findMarker(line, kArrow) >= 0;
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
    const qsizetype arrow = findMarker(line, kArrow);
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
        : m_lines(text)
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
    bool has(qsizetype at) const { return m_lines.has(at); }
    QStringView line(qsizetype at) const { return m_lines.line(at); }
    bool blank(qsizetype at) const { return isBlank(line(at)); }
    // Whether the line at is a time line. Each line is asked about up to three times in a
    // row (as itself, as the line after an identifier, as the line that ends a cue) and a
    // time line once more for its times, so the last reading is kept.
    bool timeLineAt(qsizetype at) const
    {
        if (!has(at))
            return false;
        if (at != m_timeLineCacheAt) {
            m_timeLineCacheAt = at;
            m_timeLineCache = readTimeLine(line(at));
        }
        return m_timeLineCache.has_value();
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
        if (has(at + 1) && !blank(at) && !hasArrow(line(at)) && looksLikeTimeLine(line(at + 1)) &&
            !timeLineAt(at + 1))
            return fail(at + 1);
        return fail(at);
    }

    qsizetype skipBlanks(qsizetype at) const
    {
        while (has(at) && blank(at))
            ++at;
        return at;
    }

    // A WebVTT cue identifier: a line without "-->" right before a time line.
    bool identifierAt(qsizetype at) const { return !hasArrow(line(at)) && timeLineAt(at + 1); }

    // A SubRip counter line right before a time line.
    bool counterAt(qsizetype at) const { return isCounter(line(at)) && timeLineAt(at + 1); }

    bool readWebVtt()
    {
        if (!isWebVttHeader(line(0)))
            return fail(0);
        m_gathered.clear();
        qsizetype at = 1;
        while (has(at) && !blank(at) && !timeLineAt(at) && !identifierAt(at)) {
            if (hasArrow(line(at)))
                return fail(at);
            m_gathered.push_back(line(at));
            ++at;
        }
        m_sink.header(line(0), m_gathered);
        for (at = skipBlanks(at); has(at); at = skipBlanks(at)) {
            if (timeLineAt(at)) {
                if (!readCue(at, QStringView(), at))
                    return false;
            } else if (identifierAt(at)) {
                if (!readCue(at + 1, line(at), at))
                    return false;
            } else if (opensBlock(line(at))) {
                m_gathered.clear();
                for (; has(at) && !blank(at) && !timeLineAt(at); ++at) {
                    if (hasArrow(line(at)))
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
        if (!has(at))
            return fail(0);
        for (; has(at); at = skipBlanks(at)) {
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
        timeLineAt(timeAt);
        const TimeLine time = *m_timeLineCache;
        m_cue.identifier = identifier;
        m_cue.startMs = time.startMs;
        m_cue.endMs = time.endMs;
        m_cue.settings = time.settings;
        m_cue.lines.clear();
        qsizetype at = timeAt + 1;
        for (; has(at) && !blank(at) && !timeLineAt(at); ++at) {
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

    mutable LineSplitter m_lines;
    SubtitleFormat m_format;
    bool m_stripModelSpace;
    SubtitleSink& m_sink;
    std::vector<QStringView> m_gathered;
    CueView m_cue;
    qsizetype m_invalidLine = 0;
    mutable qsizetype m_timeLineCacheAt = -1;
    mutable std::optional<TimeLine> m_timeLineCache;
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

// Writes "HH:MM:SS.mmm" (or with another separator before the milliseconds) at out, hours
// with two digits at least and more past 99; returns the end of what it wrote (29 characters
// at most).
char* writeTime(char* out, qint64 milliseconds, char separator)
{
    const qint64 hours = milliseconds / 3600000;
    const int minutes = int(milliseconds / 60000 % 60);
    const int seconds = int(milliseconds / 1000 % 60);
    const int millis = int(milliseconds % 1000);
    char digits[20];
    int count = 0;
    for (qint64 rest = hours; rest > 0 || count < 2; rest /= 10)
        digits[count++] = char('0' + rest % 10);
    while (count > 0)
        *out++ = digits[--count];
    const auto two = [&out](int value) {
        *out++ = char('0' + value / 10);
        *out++ = char('0' + value % 10);
    };
    *out++ = ':';
    two(minutes);
    *out++ = ':';
    two(seconds);
    *out++ = separator;
    *out++ = char('0' + millis / 100);
    two(millis % 100);
    return out;
}

// Where the writer puts the standard form: a text whose lines end with LF.
class TextOutput {
public:
    explicit TextOutput(qsizetype expectedSize) { m_text.reserve(expectedSize); }
    void text(QStringView text) { m_text.append(text); }
    void ascii(const char* text, qsizetype size) { m_text.append(QLatin1StringView(text, size)); }
    void endLine() { m_text.append(QLatin1Char('\n')); }
    QString take() { return std::move(m_text); }

private:
    QString m_text;
};

// Where the writer puts the bytes of a subtitle file: a byte-order mark, then UTF-8 with
// lines ending with CR LF, as SubtitleFileBytes writes a text; no text in between. The bytes
// are written straight into an array of a piece's size, handed to write whenever it is full
// and by flush at the end.
class FileBytesOutput {
public:
    explicit FileBytesOutput(const FileBytesWriter& write)
        : m_write(write)
    {
        m_bytes.resize(kPieceSize);
        m_used = std::copy_n("\xEF\xBB\xBF", 3, m_bytes.data());
        m_end = m_bytes.data() + m_bytes.size();
    }

    void text(QStringView text)
    {
        // A long text goes in slices, so that the room asked for (3 bytes a unit at most)
        // stays small.
        while (!text.isEmpty()) {
            const QStringView slice = text.first(Utf8SliceLength(text));
            room(3 * slice.size());
            m_used = EncodeUtf8WithCrLf(m_used, slice);
            text = text.sliced(slice.size());
        }
    }
    void ascii(const char* text, qsizetype size)
    {
        room(size);
        m_used = std::copy_n(text, size, m_used);
    }
    void endLine()
    {
        room(2);
        *m_used++ = '\r';
        *m_used++ = '\n';
    }
    void flush()
    {
        if (m_used != m_bytes.constData())
            m_write(m_bytes.constData(), m_used - m_bytes.constData());
        m_used = m_bytes.data();
    }

private:
    // A piece stays below the size that the memory allocator gives a mapping of its own, so
    // the same memory serves every save.
    static constexpr qsizetype kPieceSize = 256 * 1024;

    void room(qsizetype size)
    {
        if (m_end - m_used >= size)
            return;
        flush();
        if (m_end - m_used >= size)
            return;
        // Slices and lines never ask for more than a piece holds; this keeps any that did
        // from writing past the array.
        m_bytes.resize(size);
        m_used = m_bytes.data();
        m_end = m_bytes.data() + m_bytes.size();
    }

    const FileBytesWriter& m_write;
    QByteArray m_bytes;
    char* m_used = nullptr; // where the next byte goes
    char* m_end = nullptr;
};

// Writes the standard form of what it is given, as it is given. fromWebVtt tells what was
// read: identifiers, cue settings and blocks are WebVTT's own and go only into WebVTT, a
// SubRip text's settings only into SubRip.
template <typename Output> class WriterSink final : public SubtitleSink {
public:
    WriterSink(SubtitleFormat target, bool fromWebVtt, Output& out)
        : m_target(target)
        , m_fromWebVtt(fromWebVtt)
        , m_out(out)
    {
        if (m_target == SubtitleFormat::WebVtt && !fromWebVtt)
            appendAsciiLine("WEBVTT");
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
        m_out.endLine();
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

private:
    void appendLine(QStringView line)
    {
        m_out.text(line);
        m_out.endLine();
    }

    void appendAsciiLine(const char* line)
    {
        m_out.ascii(line, qsizetype(std::strlen(line)));
        m_out.endLine();
    }

    void timeLine(const CueView& cue, char separator, bool withSettings)
    {
        char line[80];
        char* end = writeTime(line, cue.startMs, separator);
        std::memcpy(end, " --> ", 5);
        end = writeTime(end + 5, cue.endMs, separator);
        if (withSettings && !cue.settings.isEmpty())
            *end++ = ' ';
        m_out.ascii(line, end - line);
        if (withSettings && !cue.settings.isEmpty())
            m_out.text(cue.settings);
        m_out.endLine();
    }

    void webVttCue(const CueView& cue)
    {
        // The blank line after the header and between cues and blocks.
        m_out.endLine();
        if (m_fromWebVtt && !cue.identifier.isEmpty())
            appendLine(cue.identifier);
        timeLine(cue, '.', m_fromWebVtt);
        for (const QStringView line : cue.lines) {
            if (hasArrow(line))
                appendLine(line.toString().replace(kArrow, kEscapedArrow));
            else
                appendLine(line);
        }
    }

    void subRipCue(const CueView& cue)
    {
        // The counter's digits, written from the last one back: formatting them with
        // snprintf stood out in the profile of saving a large pane as SubRip.
        char counter[24];
        char* const end = counter + sizeof counter;
        char* first = end;
        for (qulonglong rest = ++m_counter; first == end || rest > 0; rest /= 10)
            *--first = char('0' + rest % 10);
        m_out.ascii(first, end - first);
        m_out.endLine();
        timeLine(cue, ',', !m_fromWebVtt);
        for (const QStringView line : cue.lines) {
            // SubRip has no escapes: what WebVTT had to escape is written as itself.
            if (m_fromWebVtt && findMarker(line, kEscapedArrow) >= 0)
                appendLine(line.toString().replace(kEscapedArrow, kArrow));
            else
                appendLine(line);
        }
        m_out.endLine();
    }

    SubtitleFormat m_target;
    bool m_fromWebVtt;
    Output& m_out;
    qulonglong m_counter = 0;
};

// Reads text as one format and writes the standard form of another into out; the 1-based
// number of the first line that is not valid, 0 when the whole text read.
template <typename Output>
qsizetype convertInto(Output& out, QStringView text, SubtitleFormat from, SubtitleFormat to,
                      bool stripModelSpace)
{
    WriterSink<Output> sink(to, from == SubtitleFormat::WebVtt, out);
    return Reader(text, from, stripModelSpace, sink).read();
}

// The room the standard form of a text of that size takes, about: the time lines grow by
// the hours' padding and the blank lines that the model leaves out.
qsizetype expectedStandardSize(qsizetype textSize)
{
    return textSize + textSize / 8 + 64;
}

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
    TextOutput out(expectedStandardSize(text.size()));
    const qsizetype invalid = convertInto(out, text, from, to, stripModelSpace);
    if (invalid > 0)
        return SubtitleConversion{std::nullopt, invalid};
    return SubtitleConversion{out.take(), 0};
}

qsizetype StreamConvertedSubtitleFileBytes(QStringView text, SubtitleFormat from, SubtitleFormat to,
                                           const FileBytesWriter& write)
{
    FileBytesOutput out(write);
    const qsizetype invalid = convertInto(out, text, from, to, false);
    if (invalid == 0)
        out.flush();
    return invalid;
}

void StreamSubtitleFileBytes(QStringView text, const FileBytesWriter& write)
{
    FileBytesOutput out(write);
    out.text(text);
    out.flush();
}

QString SubtitleTimeText(qint64 milliseconds, SubtitleFormat format)
{
    char text[32];
    const char* end = writeTime(text, milliseconds, format == SubtitleFormat::WebVtt ? '.' : ',');
    return QString::fromLatin1(text, end - text);
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
    TextOutput out(size);
    WriterSink<TextOutput> sink(format, fromWebVtt, out);
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
    return out.take();
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
