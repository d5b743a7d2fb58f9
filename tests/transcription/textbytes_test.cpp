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

} // namespace
