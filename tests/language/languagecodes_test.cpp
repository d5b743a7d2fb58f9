#include "language/languagecodes.h"

#include <gtest/gtest.h>

namespace {

struct CodeLineCase {
    const char* line;
    bool useful;
    const char* code;
    const char* fileName;
};

class ParseLanguageCodeLineTest : public ::testing::TestWithParam<CodeLineCase> {};

TEST_P(ParseLanguageCodeLineTest, SplitsAtTheFirstComma)
{
    const auto entry = ParseLanguageCodeLine(QString::fromUtf8(GetParam().line));
    ASSERT_EQ(entry.has_value(), GetParam().useful);
    if (entry) {
        EXPECT_EQ(entry->code, QString::fromUtf8(GetParam().code));
        EXPECT_EQ(entry->fileName, QString::fromUtf8(GetParam().fileName));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseLanguageCodeLineTest,
    ::testing::Values(CodeLineCase{"1031,German.lang.txt", true, "1031", "German.lang.txt"},
                      CodeLineCase{" 1031\t, German.lang.txt \x01", true, "1031",
                                   "German.lang.txt"},
                      CodeLineCase{"1031,Odd, name.lang.txt", true, "1031", "Odd, name.lang.txt"},
                      CodeLineCase{",", true, "", ""},
                      CodeLineCase{"1031 German.lang.txt", false, "", ""},
                      CodeLineCase{"", false, "", ""}));

TEST(SplitUtf8Lines, SplitsAtEveryKindOfBreakAndSkipsTheMark)
{
    EXPECT_EQ(SplitUtf8Lines("\xEF\xBB\xBF"
                             "a\r\nb\nc\rd"),
              (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"),
                           QStringLiteral("d")}));
    EXPECT_EQ(SplitUtf8Lines("a\n\nb\n"),
              (QStringList{QStringLiteral("a"), QString(), QStringLiteral("b")}));
    EXPECT_TRUE(SplitUtf8Lines("").isEmpty());
}

} // namespace
