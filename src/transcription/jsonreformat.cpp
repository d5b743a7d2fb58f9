#include "transcription/jsonreformat.h"

#include <vector>

namespace {

// The parser reads the input once and writes the layout as it goes; a fault anywhere
// throws the output away, since a half laid-out answer would mislead the reader.
class Reformatter {
public:
    explicit Reformatter(const QByteArray& input)
        : m_p(input.constData())
        , m_end(input.constData() + input.size())
    {
        // Layout adds a line break and tabs per member; a quarter more is usually enough.
        m_out.reserve(input.size() + input.size() / 4 + 16);
    }

    // Indentation grows with the nesting level on every line, so deeply nested input would
    // otherwise be laid out in space (and time) that grows with the square of its size:
    // a megabyte of brackets would take gigabytes. A layout that would exceed this is
    // refused like invalid input; ordinary answers stay far below it.
    static qsizetype budgetFor(qsizetype inputSize) { return 16 * inputSize + 1024 * 1024; }

    bool run();
    QByteArray result() { return std::move(m_out); }

private:
    enum class Expect { Value, MemberOrClose, Member, Colon, CommaOrClose, End };

    void lineBreak(qsizetype level)
    {
        // An indentation is never followed by an empty line.
        if (!m_out.isEmpty() && m_out.back() == '\t')
            return;
        m_out.append("\r\n", 2);
        m_out.append(level, '\t');
    }
    void skipWhitespace()
    {
        while (m_p != m_end && (*m_p == ' ' || *m_p == '\n' || *m_p == '\r' || *m_p == '\t'))
            ++m_p;
    }
    void afterValue() { m_expect = m_stack.empty() ? Expect::End : Expect::CommaOrClose; }
    bool copyString();
    bool copyNumber();
    bool copyLiteral();
    bool value();

    const char* m_p;
    const char* m_end;
    QByteArray m_out;
    const qsizetype m_budget = budgetFor(m_end - m_p);
    std::vector<char> m_stack; // '{' or '[' per open level; the level is its size
    Expect m_expect = Expect::Value;
};

bool isHex(char c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool Reformatter::copyString()
{
    const char* start = m_p++;
    while (m_p != m_end) {
        const unsigned char c = static_cast<unsigned char>(*m_p);
        if (c == '"') {
            ++m_p;
            m_out.append(start, m_p - start);
            return true;
        }
        if (c < 0x20)
            return false;
        if (c == '\\') {
            if (++m_p == m_end)
                return false;
            switch (*m_p) {
            case '"':
            case '\\':
            case '/':
            case 'b':
            case 'f':
            case 'n':
            case 'r':
            case 't':
                break;
            case 'u':
                for (int i = 0; i < 4; ++i) {
                    if (++m_p == m_end || !isHex(*m_p))
                        return false;
                }
                break;
            default:
                return false;
            }
        }
        ++m_p;
    }
    return false;
}

bool Reformatter::copyNumber()
{
    const char* start = m_p;
    if (*m_p == '-')
        ++m_p;
    if (m_p == m_end || !isDigit(*m_p))
        return false;
    if (*m_p == '0') {
        ++m_p;
    } else {
        while (m_p != m_end && isDigit(*m_p))
            ++m_p;
    }
    if (m_p != m_end && *m_p == '.') {
        ++m_p;
        if (m_p == m_end || !isDigit(*m_p))
            return false;
        while (m_p != m_end && isDigit(*m_p))
            ++m_p;
    }
    if (m_p != m_end && (*m_p == 'e' || *m_p == 'E')) {
        ++m_p;
        if (m_p != m_end && (*m_p == '+' || *m_p == '-'))
            ++m_p;
        if (m_p == m_end || !isDigit(*m_p))
            return false;
        while (m_p != m_end && isDigit(*m_p))
            ++m_p;
    }
    m_out.append(start, m_p - start);
    return true;
}

bool Reformatter::copyLiteral()
{
    for (const char* literal : {"true", "false", "null"}) {
        const qsizetype length = qstrlen(literal);
        if (m_end - m_p >= length && qstrncmp(m_p, literal, length) == 0) {
            m_out.append(literal, length);
            m_p += length;
            return true;
        }
    }
    return false;
}

bool Reformatter::value()
{
    switch (*m_p) {
    case '{':
        ++m_p;
        m_out.append('{');
        m_stack.push_back('{');
        lineBreak(qsizetype(m_stack.size()));
        m_expect = Expect::MemberOrClose;
        return true;
    case '[': {
        ++m_p;
        skipWhitespace();
        if (m_p != m_end && *m_p == ']') {
            ++m_p;
            m_out.append("[]", 2);
            afterValue();
            return true;
        }
        // A non-empty array starts on a line of its own at its own level.
        lineBreak(qsizetype(m_stack.size()));
        m_out.append('[');
        m_stack.push_back('[');
        lineBreak(qsizetype(m_stack.size()));
        m_expect = Expect::Value;
        return true;
    }
    case '"':
        if (!copyString())
            return false;
        afterValue();
        return true;
    case 't':
    case 'f':
    case 'n':
        if (!copyLiteral())
            return false;
        afterValue();
        return true;
    default:
        if (*m_p != '-' && !isDigit(*m_p))
            return false;
        if (!copyNumber())
            return false;
        afterValue();
        return true;
    }
}

bool Reformatter::run()
{
    for (;;) {
        // One step writes at most two indentations, so the output never runs far past it.
        if (m_out.size() > m_budget)
            return false;
        skipWhitespace();
        if (m_p == m_end)
            return m_expect == Expect::End;
        switch (m_expect) {
        case Expect::Value:
            if (!value())
                return false;
            break;
        case Expect::MemberOrClose:
            if (*m_p == '}') {
                ++m_p;
                m_stack.pop_back();
                lineBreak(qsizetype(m_stack.size()));
                m_out.append('}');
                afterValue();
                break;
            }
            [[fallthrough]];
        case Expect::Member:
            if (*m_p != '"' || !copyString())
                return false;
            m_expect = Expect::Colon;
            break;
        case Expect::Colon:
            if (*m_p != ':')
                return false;
            ++m_p;
            m_out.append(": ", 2);
            m_expect = Expect::Value;
            break;
        case Expect::CommaOrClose: {
            const char open = m_stack.back();
            if (*m_p == ',') {
                ++m_p;
                m_out.append(',');
                lineBreak(qsizetype(m_stack.size()));
                m_expect = open == '{' ? Expect::Member : Expect::Value;
                break;
            }
            const char close = open == '{' ? '}' : ']';
            if (*m_p != close)
                return false;
            ++m_p;
            m_stack.pop_back();
            lineBreak(qsizetype(m_stack.size()));
            m_out.append(close);
            afterValue();
            break;
        }
        case Expect::End:
            return false;
        }
    }
}

} // namespace

QByteArray JsonReformat(const QByteArray& utf8)
{
    Reformatter reformatter(utf8);
    if (!reformatter.run())
        return QByteArrayLiteral("null");
    return reformatter.result();
}

QString JsonReformat(const QString& text)
{
    return QString::fromUtf8(JsonReformat(text.toUtf8()));
}
