#include "transcription/jsonreformat.h"

#include <gtest/gtest.h>

namespace {

struct LayoutCase {
    const char* name;
    QByteArray input;
    QByteArray expected;
};

void PrintTo(const LayoutCase& c, std::ostream* os)
{
    *os << c.name;
}

class JsonReformatTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(JsonReformatTest, LaysOutAsExpected)
{
    const LayoutCase& c = GetParam();
    EXPECT_EQ(JsonReformat(c.input).toStdString(), c.expected.toStdString());
}

INSTANTIATE_TEST_SUITE_P(
    Table, JsonReformatTest,
    ::testing::Values(
        LayoutCase{"example", R"({"id":"a","error":"x","urls":{"get":"g"}})",
                   "{\r\n\t\"id\": \"a\",\r\n\t\"error\": \"x\",\r\n\t\"urls\": {\r\n"
                   "\t\t\"get\": \"g\"\r\n\t}\r\n}"},
        LayoutCase{"whitespace of the input dropped",
                   " \r\n{ \"id\" :\t\"a\" ,\n \"urls\" : { \"get\" : \"g\" } }\r\n ",
                   "{\r\n\t\"id\": \"a\",\r\n\t\"urls\": {\r\n\t\t\"get\": \"g\"\r\n\t}\r\n}"},
        LayoutCase{"empty object", "{}", "{\r\n\t}"},
        LayoutCase{"nested empty object", R"({"a":{}})", "{\r\n\t\"a\": {\r\n\t\t}\r\n}"},
        LayoutCase{"empty array member", R"({"a":[ ]})", "{\r\n\t\"a\": []\r\n}"},
        LayoutCase{"array member starts on its own line", R"({"a":[1,true]})",
                   "{\r\n\t\"a\": \r\n\t[\r\n\t\t1,\r\n\t\ttrue\r\n\t]\r\n}"},
        LayoutCase{"nested arrays", "[[1],[],{\"b\":null}]",
                   "\r\n[\r\n\t[\r\n\t\t1\r\n\t],\r\n\t[],\r\n\t{\r\n\t\t\"b\": null\r\n\t}\r\n]"},
        LayoutCase{
            "strings copied with their escapes", R"({"t\"x":"a\\b\nc\u00e9\/","u":"\uD83D\uDE00"})",
            "{\r\n\t\"t\\\"x\": \"a\\\\b\\nc\\u00e9\\/\",\r\n\t\"u\": \"\\uD83D\\uDE00\"\r\n}"},
        LayoutCase{"non-ASCII bytes kept verbatim",
                   "{\"s\":\"Gr\xC3\xBC\xC3\x9F"
                   "e \xE6\x9D\xB1\"}",
                   "{\r\n\t\"s\": \"Gr\xC3\xBC\xC3\x9F"
                   "e \xE6\x9D\xB1\"\r\n}"},
        LayoutCase{"numbers with trailing blanks", "{\"a\":-0.5e+3  ,\"b\":12 \t\n,\"c\":0}",
                   "{\r\n\t\"a\": -0.5e+3,\r\n\t\"b\": 12,\r\n\t\"c\": 0\r\n}"},
        LayoutCase{"literals", R"({"t":true,"f":false,"n":null})",
                   "{\r\n\t\"t\": true,\r\n\t\"f\": false,\r\n\t\"n\": null\r\n}"},
        LayoutCase{"top-level scalar", " 42 ", "42"},
        LayoutCase{"top-level string", "\"x\"", "\"x\""},
        LayoutCase{"sentinel", "!!!ERROR!!!", "null"},
        LayoutCase{"html page", "<html><body>Bad Gateway</body></html>", "null"},
        LayoutCase{"empty input", "", "null"}, LayoutCase{"blank input", " \r\n", "null"},
        LayoutCase{"unclosed object", R"({"a":1)", "null"},
        LayoutCase{"trailing comma", R"({"a":1,})", "null"},
        LayoutCase{"trailing text", R"({"a":1} x)", "null"},
        LayoutCase{"two values", "1 2", "null"}, LayoutCase{"leading zero", "[01]", "null"},
        LayoutCase{"bad literal", "[tru]", "null"}, LayoutCase{"bad escape", R"(["\x"])", "null"},
        LayoutCase{"short unicode escape", R"(["\u12"])", "null"},
        LayoutCase{"raw control character in string", "[\"a\tb\"]", "null"},
        LayoutCase{"member without name", R"({1:2})", "null"},
        LayoutCase{"missing colon", R"({"a" 1})", "null"},
        LayoutCase{"mismatched close", R"({"a":[1}])", "null"},
        LayoutCase{"bare minus", "[-]", "null"},
        LayoutCase{"fraction without digits", "[1.]", "null"}));

TEST(JsonReformat, ReadsAServiceAnswerInMemberOrder)
{
    const QByteArray answer =
        R"({"id":"p1","status":"failed","error":"E: no audio","logs":"","output":null,)"
        R"("metrics":{"predict_time":1.5}})";
    EXPECT_EQ(JsonReformat(answer).toStdString(),
              "{\r\n\t\"id\": \"p1\",\r\n\t\"status\": \"failed\",\r\n\t\"error\": \"E: no "
              "audio\",\r\n\t\"logs\": \"\",\r\n\t\"output\": null,\r\n\t\"metrics\": {\r\n"
              "\t\t\"predict_time\": 1.5\r\n\t}\r\n}");
}

TEST(JsonReformat, DeepNestingIsLaidOutWithoutRecursion)
{
    const QByteArray deep = QByteArray(500, '[') + QByteArray(500, ']');
    const QByteArray result = JsonReformat(deep);
    EXPECT_TRUE(result.startsWith("\r\n[\r\n\t["));
    EXPECT_TRUE(result.endsWith("]"));
    // The innermost array is empty and sits one tab deeper than the 499 arrays around it.
    EXPECT_TRUE(result.contains("\r\n" + QByteArray(499, '\t') + "[]\r\n"));
    EXPECT_EQ(JsonReformat(QByteArray(500, '[')), QByteArray("null"));
}

TEST(JsonReformat, TextOverloadWorksOnUtf8)
{
    EXPECT_EQ(JsonReformat(QStringLiteral("{\"s\":\"Köln\"}")),
              QStringLiteral("{\r\n\t\"s\": \"Köln\"\r\n}"));
}

} // namespace
