// Answers shaped to hurt: nesting a hundred thousand levels deep, a megabyte of brackets,
// long strings and runs of escapes. Each is handled in one pass without recursion, so these
// run to the end instead of overflowing the stack or exhausting memory.
#include "transcription/jsonreformat.h"
#include "transcription/predictionanswer.h"

#include <gtest/gtest.h>

namespace {

constexpr qsizetype kDeep = 100000;
constexpr qsizetype kMegabyte = 1024 * 1024;

QByteArray nestedArrays(qsizetype levels)
{
    return QByteArray(levels, '[') + QByteArray(levels, ']');
}

QByteArray nestedObjects(qsizetype levels)
{
    QByteArray text;
    for (qsizetype i = 0; i < levels; ++i)
        text += "{\"a\":";
    text += "0";
    text += QByteArray(levels, '}');
    return text;
}

struct HostileCase {
    const char* name;
    QByteArray input;
};

void PrintTo(const HostileCase& c, std::ostream* os)
{
    *os << c.name;
}

class DeepInputTest : public ::testing::TestWithParam<HostileCase> {};

// Valid or not, input whose layout would be mostly indentation is refused like invalid
// input, and the answer readers see no object in it.
TEST_P(DeepInputTest, IsRefusedWithoutOverflow)
{
    const QByteArray& input = GetParam().input;
    EXPECT_EQ(JsonReformat(input), QByteArray("null"));
    EXPECT_EQ(JsonReformat(QString::fromLatin1(input)), QStringLiteral("null"));

    const PredictionAnswer polled = ParsePredictionAnswer(QString::fromLatin1(input));
    EXPECT_FALSE(polled.hasStatus);
    EXPECT_FALSE(polled.hasSubtitles);
    const CreateAnswer created = ParseCreateAnswer(QString::fromLatin1(input));
    EXPECT_TRUE(created.status.isEmpty());
    EXPECT_TRUE(created.id.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, DeepInputTest,
    ::testing::Values(HostileCase{"arrays_100000_deep", nestedArrays(kDeep)},
                      HostileCase{"objects_100000_deep", nestedObjects(kDeep)},
                      HostileCase{"megabyte_of_open_brackets", QByteArray(kMegabyte, '[')},
                      HostileCase{"megabyte_of_nested_brackets", nestedArrays(kMegabyte / 2)},
                      HostileCase{"megabyte_of_open_objects",
                                  QByteArray("{\"a\":").repeated(kMegabyte / 5)}),
    [](const ::testing::TestParamInfo<HostileCase>& info) { return info.param.name; });

// Deep nesting below the answer's top level: the members beside it still count when the
// reader accepts the depth, and the whole answer is refused when it does not.
TEST(DeepInput, NestingInsideAnAnswer)
{
    const QByteArray shallow = "{\"status\":\"succeeded\",\"logs\":" + nestedArrays(100) +
                               ",\"output\":{\"subtitles\":\"WEBVTT\"}}";
    const PredictionAnswer readable = ParsePredictionAnswer(QString::fromLatin1(shallow));
    EXPECT_EQ(readable.status, QStringLiteral("succeeded"));
    EXPECT_EQ(readable.subtitles, QStringLiteral("WEBVTT"));
    EXPECT_NE(JsonReformat(shallow), QByteArray("null"));

    const QByteArray deep = "{\"status\":\"succeeded\",\"logs\":" + nestedArrays(kDeep) +
                            ",\"output\":{\"subtitles\":\"WEBVTT\"}}";
    const PredictionAnswer refused = ParsePredictionAnswer(QString::fromLatin1(deep));
    EXPECT_FALSE(refused.hasStatus);
    EXPECT_FALSE(refused.hasSubtitles);
    EXPECT_EQ(JsonReformat(deep), QByteArray("null"));
}

// Size alone is no reason to refuse: a long string, a run of escapes and a wide, shallow
// answer of a megabyte or more are laid out in full.
TEST(DeepInput, LargeButShallowAnswersAreLaidOut)
{
    const QByteArray longText(4 * kMegabyte, 'x');
    const QByteArray longString = "{\"subtitles\":\"" + longText + "\"}";
    EXPECT_EQ(JsonReformat(longString), "{\r\n\t\"subtitles\": \"" + longText + "\"\r\n}");

    const QByteArray escapes = QByteArray("\\n\\\"\\u00e9\\\\").repeated(kMegabyte / 12);
    const QByteArray escaped = "[\"" + escapes + "\"]";
    EXPECT_EQ(JsonReformat(escaped), "\r\n[\r\n\t\"" + escapes + "\"\r\n]");
    const PredictionAnswer polled = ParsePredictionAnswer(QString::fromLatin1(
        "{\"status\":\"succeeded\",\"output\":{\"subtitles\":\"" + escapes + "\"}}"));
    EXPECT_EQ(polled.subtitles.size(), (kMegabyte / 12) * 4);

    // A megabyte of small elements two levels deep: every element on a line of its own.
    const qsizetype count = kMegabyte / 2;
    const QByteArray wide = "[[" + QByteArray("0,").repeated(count - 1) + "0]]";
    const QByteArray laidOut = JsonReformat(wide);
    ASSERT_NE(laidOut, QByteArray("null"));
    EXPECT_EQ(laidOut.count("\r\n\t\t0"), count);
}

} // namespace
