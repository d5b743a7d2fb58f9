// Texts the fuzzer found: each is read, written in both standard forms, and the written
// text must read back as the same cues.
#include "transcription/subtitles.h"

#include <gtest/gtest.h>

namespace {

struct RoundTripCase {
    const char* name;
    const char* text;
    SubtitleFormat format;
    bool stripModelSpace;
};

void PrintTo(const RoundTripCase& c, std::ostream* os)
{
    *os << c.name;
}

class SubtitleRoundTripTest : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(SubtitleRoundTripTest, WrittenTextReadsBackAsTheSameCues)
{
    const RoundTripCase& c = GetParam();
    const SubtitleReading reading =
        ReadSubtitles(QString::fromUtf8(c.text), c.format, c.stripModelSpace);
    ASSERT_TRUE(reading.document.has_value()) << "line " << reading.firstInvalidLine;
    for (const SubtitleFormat to : {SubtitleFormat::WebVtt, SubtitleFormat::SubRip}) {
        const QString written = WriteSubtitles(*reading.document, to);
        const SubtitleReading reread = ReadSubtitles(written, to);
        ASSERT_TRUE(reread.document.has_value())
            << written.toStdString() << "\nfails at line " << reread.firstInvalidLine;
        ASSERT_EQ(reread.document->cues.size(), reading.document->cues.size());
        for (std::size_t i = 0; i < reading.document->cues.size(); ++i) {
            EXPECT_EQ(reread.document->cues[i].startMs, reading.document->cues[i].startMs);
            EXPECT_EQ(reread.document->cues[i].lines, reading.document->cues[i].lines);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Found, SubtitleRoundTripTest,
    ::testing::Values(
        // The model's space removed from a text line that opens like a time ("12:34:...").
        RoundTripCase{"model_text_opening_like_a_time",
                      "1\n00:00:00,000 --> 00:00:02,500\n 12:30:00 we meet\n",
                      SubtitleFormat::SubRip, true},
        RoundTripCase{"model_text_opening_like_a_short_time",
                      "WEBVTT\n\n00:00.000 --> 00:02.500\n 12:30.5 Uhr\n", SubtitleFormat::WebVtt,
                      true}),
    [](const ::testing::TestParamInfo<RoundTripCase>& info) { return info.param.name; });

// Normalizing keeps such a line as text, with the model's space, rather than refusing the
// whole delivery.
TEST(SubtitleRoundTrip, NormalizingKeepsTheTimeLikeLine)
{
    const QString normalized =
        NormalizeSubtitles(QStringLiteral("WEBVTT\n\n00:00.000 --> 00:02.500\n 12:30.5 Uhr\n"),
                           SubtitleFormat::WebVtt);
    EXPECT_EQ(normalized,
              QStringLiteral("WEBVTT\n\n00:00:00.000 --> 00:00:02.500\n 12:30.5 Uhr\n"));
}

} // namespace
