#include "transcription/textbytes.h"

#include <gtest/gtest.h>

namespace {

struct TrimCase {
    QByteArray input;
    QByteArray expected;
};

class Utf8TrimTest : public ::testing::TestWithParam<TrimCase> {};

TEST_P(Utf8TrimTest, RemovesControlBytesAndBlanksFromBothEndsOnly)
{
    const TrimCase& c = GetParam();
    EXPECT_EQ(Utf8Trim(c.input), c.expected);
    EXPECT_EQ(Utf8Trim(QString::fromUtf8(c.input)), QString::fromUtf8(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Utf8TrimTest,
    ::testing::Values(TrimCase{"", ""}, TrimCase{" \t\r\n\x01\x1f ", ""},
                      TrimCase{"\r\n{\"a\": 1}\r\n", "{\"a\": 1}"},
                      TrimCase{" inner  blanks\tkept ", "inner  blanks\tkept"},
                      // No-break space and other non-ASCII characters are not trimmed.
                      TrimCase{"\xC2\xA0x\xC2\xA0", "\xC2\xA0x\xC2\xA0"},
                      TrimCase{"\x7f"
                               "x",
                               "\x7f"
                               "x"},
                      TrimCase{"!", "!"}));

TEST(AsciiLowerCase, ChangesOnlyAsciiCapitals)
{
    EXPECT_EQ(AsciiLowerCase(QByteArray("Starting PROCESSING")), QByteArray("starting processing"));
    EXPECT_EQ(AsciiLowerCase(QStringLiteral("ÄÖÜ Succeeded ÉTÉ")),
              QStringLiteral("ÄÖÜ succeeded ÉtÉ"));
    EXPECT_EQ(AsciiLowerCase(QByteArray("@[`{Zz09")), QByteArray("@[`{zz09"));
}

TEST(NormaliseLineBreaks, SplitsAtCrLfAndCrLf)
{
    EXPECT_EQ(NormaliseLineBreaks(QStringLiteral("a\r\rb\r\nc\nd\n\re")),
              QStringLiteral("a\n\nb\nc\nd\n\ne"));
    EXPECT_EQ(NormaliseLineBreaks(QStringLiteral("\r")), QStringLiteral("\n"));
}

// What the encoder must give: the text's QString::toUtf8 form with every CR LF, lone CR and
// lone LF turned into CR LF, worked out the slow and plain way.
QByteArray utf8WithCrLf(const QString& text)
{
    QByteArray out;
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype at = 0; at < utf8.size(); ++at) {
        if (utf8[at] == '\r' && at + 1 < utf8.size() && utf8[at + 1] == '\n')
            continue; // the LF writes the break
        if (utf8[at] == '\r' || utf8[at] == '\n')
            out += "\r\n";
        else
            out += utf8[at];
    }
    return out;
}

// The encoder looks at eight units at a time and splits long texts into slices of 16384
// units: the texts put every kind of unit at every place in a look and around a slice's end.
TEST(AppendUtf8WithCrLf, GivesTheUtf8FormWithCrLfBreaks)
{
    const QString kinds[] = {
        QStringLiteral("\r\n"),
        QStringLiteral("\r"),
        QStringLiteral("\n"),
        QStringLiteral("\r\r\n"),
        QStringLiteral("ü"),
        QStringLiteral("東"),
        QStringLiteral("😀"),
        QString(QChar(0xD83D)),
        QString(QChar(0xDE00)),
        QString(QChar(0)),
        QStringLiteral("\u2028\u2029"),
        QStringLiteral("\u00A0"),
        QString(QChar(0x7F)),
        QString(QChar(0x80)),
        QString(QChar(0xFFFF)),
    };
    QList<QString> texts = {QString(), QStringLiteral("plain"),
                            QString(QChar(0xD83D)) + QStringLiteral("\n"),
                            QStringLiteral("\n") + QString(QChar(0xDE00)),
                            QString(QChar(0xDE00)) + QString(QChar(0xD83D))};
    for (const QString& kind : kinds) {
        for (int before = 0; before < 17; ++before)
            texts << QString(before, QLatin1Char('a')) + kind + QStringLiteral("bcdefghij");
        for (int before = 16380; before < 16386; ++before)
            texts << QString(before, QLatin1Char('a')) + kind + kind + QStringLiteral("z");
    }
    for (const QString& text : texts) {
        QByteArray out("old");
        AppendUtf8WithCrLf(out, text);
        ASSERT_EQ(out, "old" + utf8WithCrLf(text))
            << "text of " << text.size() << " units ending " << text.right(12).toStdString();
    }
}

} // namespace
