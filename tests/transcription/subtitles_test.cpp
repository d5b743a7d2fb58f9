// The subtitle model: the tolerant reader, the two standard writers, and the standard form
// that the pane shows.
#include "transcription/subtitles.h"

#include "subtitlesamples.h"

#include <QFile>

#include <gtest/gtest.h>

namespace {

// One cue as "start-end [identifier] {settings} line|line".
QString describe(const SubtitleCue& cue)
{
    return QStringLiteral("%1-%2 [%3] {%4} %5")
        .arg(cue.startMs)
        .arg(cue.endMs)
        .arg(cue.identifier, cue.settings, cue.lines.join(QLatin1Char('|')));
}

QStringList describe(const SubtitleDocument& document)
{
    QStringList cues;
    for (const SubtitleCue& cue : document.cues)
        cues << describe(cue);
    return cues;
}

struct ReadCase {
    const char* name;
    SubtitleFormat format;
    bool stripModelSpace;
    QString text;
    QStringList cues;           // expected when the text reads
    qsizetype firstInvalidLine; // expected when it does not (cues then empty)
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadSubtitlesTest : public ::testing::TestWithParam<ReadCase> {};

TEST_P(ReadSubtitlesTest, ReadsTheCuesOrNamesTheFirstInvalidLine)
{
    const ReadCase& c = GetParam();
    const SubtitleReading reading = ReadSubtitles(c.text, c.format, c.stripModelSpace);
    if (c.firstInvalidLine > 0) {
        EXPECT_FALSE(reading.document.has_value());
        EXPECT_EQ(reading.firstInvalidLine, c.firstInvalidLine);
    } else {
        ASSERT_TRUE(reading.document.has_value()) << "invalid line " << reading.firstInvalidLine;
        EXPECT_EQ(describe(*reading.document), c.cues);
    }
}

const SubtitleFormat kVtt = SubtitleFormat::WebVtt;
const SubtitleFormat kSrt = SubtitleFormat::SubRip;

INSTANTIATE_TEST_SUITE_P(
    Cases, ReadSubtitlesTest,
    ::testing::Values(
        ReadCase{"model_webvtt",
                 kVtt,
                 true,
                 kModelWebVtt,
                 {"0-3480 [] {} Grüße aus Köln, sagte die Straßenbahn.",
                  "3480-7120 [] {} Ça va très bien — 東京 too.", "3607120-3609000 [] {} The end."},
                 0},
        ReadCase{"only_one_model_space_goes",
                 kVtt,
                 true,
                 QStringLiteral("WEBVTT\n00:00.000 --> 00:03.480\n  two\n  more\n"),
                 {"0-3480 [] {}  two|  more"},
                 0},
        ReadCase{"spaces_kept_when_not_from_the_model",
                 kVtt,
                 false,
                 QStringLiteral("WEBVTT\n00:00.000 --> 00:03.480\n  two\n"),
                 {"0-3480 [] {}   two"},
                 0},
        ReadCase{"webvtt_header_over_model_subrip",
                 kVtt,
                 true,
                 QStringLiteral("WEBVTT\n") + kModelSubRip,
                 {"0-3480 [1] {} Grüße aus Köln, sagte die Straßenbahn.",
                  "3480-7120 [2] {} Ça va très bien — 東京 too."},
                 0},
        ReadCase{"model_subrip",
                 kSrt,
                 true,
                 kModelSubRip,
                 {"0-3480 [1] {} Grüße aus Köln, sagte die Straßenbahn.",
                  "3480-7120 [2] {} Ça va très bien — 東京 too."},
                 0},
        ReadCase{"standard_subrip_crlf",
                 kSrt,
                 false,
                 QStringLiteral("1\r\n00:00:01,000 --> 00:00:02,000\r\nOne\r\nTwo\r\n\r\n"
                                "2\r\n00:00:02,500 --> 00:00:03,000\r\nThree\r\n\r\n"),
                 {"1000-2000 [1] {} One|Two", "2500-3000 [2] {} Three"},
                 0},
        ReadCase{
            "subrip_lone_cr_and_no_counter",
            kSrt,
            false,
            QStringLiteral("00:00:01.000 --> 00:00:02.000\rA\r\r00:00:03,000 --> 00:00:04,000\rB"),
            {"1000-2000 [] {} A", "3000-4000 [] {} B"},
            0},
        ReadCase{"loose_features",
                 kVtt,
                 false,
                 kLooseFeatures,
                 {"0-2500 [intro] {align:start position:10%} <v Anna>Guten Tag.|Zweite Zeile "
                  "-&gt; weiter",
                  "2000-4000 [] {} Tom --> Jerry", "4000-4000 [] {} ",
                  "360000000-446399999 [] {} Spät."},
                 0},
        ReadCase{"past_ten_hours_and_zero_ms",
                 kVtt,
                 false,
                 QStringLiteral("WEBVTT\n\n10:00:00.000 --> 10:00:00.001\nx\n"),
                 {"36000000-36000001 [] {} x"},
                 0},
        ReadCase{
            "arrows_in_text",
            kVtt,
            true,
            QStringLiteral("WEBVTT\n00:01.000 --> 00:02.000\n a -> b\nTom --> Jerry\n--> end\n"),
            {"1000-2000 [] {} a -> b|Tom --> Jerry|--> end"},
            0},
        ReadCase{"empty_cues_and_blank_text",
                 kVtt,
                 true,
                 QStringLiteral("WEBVTT\n00:01.000 --> 00:02.000\n00:02.000 --> 00:03.000\n \n"
                                "00:03.000 --> 00:04.000\n x\n"),
                 {"1000-2000 [] {} ", "2000-3000 [] {} ", "3000-4000 [] {} x"},
                 0},
        ReadCase{"text_that_opens_with_a_clock_time",
                 kVtt,
                 false,
                 QStringLiteral("WEBVTT\n\n00:01.000 --> 00:02.000\n10:30, we start.\n12:45.\n"),
                 {"1000-2000 [] {} 10:30, we start.|12:45."},
                 0},
        ReadCase{"overlapping_cues_keep_their_order",
                 kSrt,
                 false,
                 QStringLiteral("1\n00:00:05,000 --> 00:00:09,000\nlate\n\n"
                                "2\n00:00:01,000 --> 00:00:06,000\nearly\n"),
                 {"5000-9000 [1] {} late", "1000-6000 [2] {} early"},
                 0},
        ReadCase{"nul_and_replacement_characters_are_text",
                 kVtt,
                 true,
                 QStringLiteral("WEBVTT\n00:01.000 --> 00:02.000\n a") + QChar(0) +
                     QStringLiteral("b\uFFFD\n"),
                 {QStringLiteral("1000-2000 [] {} a") + QChar(0) + QStringLiteral("b\uFFFD")},
                 0},
        ReadCase{"webvtt_with_subrip_counters",
                 kVtt,
                 false,
                 QStringLiteral("WEBVTT\n\n1\n00:00:00,000 --> 00:00:01,000\nHi\n"),
                 {"0-1000 [1] {} Hi"},
                 0},
        // What does not read, and the line named for it.
        ReadCase{"garbage_as_webvtt", kVtt, false, QStringLiteral("hello\nworld"), {}, 1},
        ReadCase{"garbage_as_subrip", kSrt, false, QStringLiteral("hello\nworld"), {}, 1},
        ReadCase{"empty_text_as_webvtt", kVtt, false, QString(), {}, 1},
        ReadCase{"blank_text_as_subrip", kSrt, false, QStringLiteral("\n \n"), {}, 1},
        ReadCase{"webvtt_as_subrip", kSrt, true, kModelWebVtt, {}, 1},
        ReadCase{"subrip_as_webvtt", kVtt, true, kModelSubRip, {}, 1},
        ReadCase{"sixty_one_minutes",
                 kVtt,
                 false,
                 QStringLiteral("WEBVTT\n00:61.000 --> 01:02.000\n x\n"),
                 {},
                 2},
        ReadCase{"sixty_seconds",
                 kSrt,
                 false,
                 QStringLiteral("1\n00:00:60,000 --> 00:01:02,000\nx\n"),
                 {},
                 2},
        ReadCase{"negative_time",
                 kVtt,
                 false,
                 QStringLiteral("WEBVTT\n-00:01.000 --> 00:02.000\n x\n"),
                 {},
                 2},
        ReadCase{"end_before_start",
                 kVtt,
                 false,
                 QStringLiteral("WEBVTT\n00:05.000 --> 00:02.000\n x\n"),
                 {},
                 2},
        ReadCase{
            "broken_time_line_after_a_cue",
            kVtt,
            true,
            QStringLiteral("WEBVTT\n00:00.000 --> 00:03.480\n a\n00:03.480 --> 00:0x.120\n b\n"),
            {},
            4},
        ReadCase{"time_line_with_a_missing_dash",
                 kSrt,
                 false,
                 QStringLiteral("1\n00:00:01,000 --> 00:00:02,000\na\n\n2\n00:00:03,000 -> "
                                "00:00:04,000\nb\n"),
                 {},
                 6},
        ReadCase{"text_without_a_cue", kVtt, false, QStringLiteral("WEBVTT\n\n hello\n"), {}, 3},
        ReadCase{"subrip_with_a_webvtt_line",
                 kSrt,
                 false,
                 QStringLiteral("1\n00:00,000 --> 00:01,000\nHi\n\nWEBVTT\n\n2\n00:01,000 --> "
                                "00:02,000\nHo\n"),
                 {},
                 5},
        ReadCase{"arrow_in_the_header",
                 kVtt,
                 false,
                 QStringLiteral("WEBVTT\nsomething --> else\n\n00:01.000 --> 00:02.000\nx\n"),
                 {},
                 2}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return std::string(info.param.name); });

TEST(WriteSubtitles, StandardFormsMatchTheGoldenFiles)
{
    EXPECT_EQ(NormalizeSubtitles(kModelWebVtt, kVtt), golden("model_webvtt.vtt"));
    EXPECT_EQ(NormalizeSubtitles(kModelSubRip, kSrt), golden("model_subrip.srt"));

    const SubtitleReading model = ReadSubtitles(kModelWebVtt, kVtt, true);
    ASSERT_TRUE(model.document);
    EXPECT_EQ(WriteSubRip(*model.document), golden("model_webvtt_as_subrip.srt"));

    // Identifiers, settings, header lines, STYLE and NOTE blocks stay where they were; "-->"
    // in cue text is written the WebVTT way in WebVTT, as itself in SubRip.
    const SubtitleReading features = ReadSubtitles(kLooseFeatures, kVtt);
    ASSERT_TRUE(features.document);
    EXPECT_EQ(WriteWebVtt(*features.document), golden("features.vtt"));
    EXPECT_EQ(WriteSubRip(*features.document), golden("features_as_subrip.srt"));
}

TEST(WriteSubtitles, TheStandardFormIsReadBackAsItself)
{
    for (const QString& name : {QStringLiteral("model_webvtt.vtt"), QStringLiteral("features.vtt")})
        EXPECT_EQ(NormalizeSubtitles(golden(qPrintable(name)), kVtt), golden(qPrintable(name)))
            << name.toStdString();
    for (const char* name : {"model_subrip.srt", "features_as_subrip.srt"})
        EXPECT_EQ(NormalizeSubtitles(golden(name), kSrt), golden(name)) << name;
}

TEST(WriteSubtitles, TimeTexts)
{
    const struct {
        qint64 ms;
        const char* vtt;
        const char* srt;
    } cases[] = {
        {0, "00:00:00.000", "00:00:00,000"},         {59999, "00:00:59.999", "00:00:59,999"},
        {3607120, "01:00:07.120", "01:00:07,120"},   {36000000, "10:00:00.000", "10:00:00,000"},
        {359999999, "99:59:59.999", "99:59:59,999"}, {360000000, "100:00:00.000", "100:00:00,000"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SubtitleTimeText(c.ms, kVtt), QLatin1String(c.vtt));
        EXPECT_EQ(SubtitleTimeText(c.ms, kSrt), QLatin1String(c.srt));
    }
}

TEST(WriteSubtitles, WebVttToSubRipAndBackGivesTheSameCues)
{
    const SubtitleReading first = ReadSubtitles(kLooseFeatures, kVtt);
    ASSERT_TRUE(first.document);
    const QString subRip = WriteSubRip(*first.document);
    const SubtitleReading middle = ReadSubtitles(subRip, kSrt);
    ASSERT_TRUE(middle.document) << "invalid line " << middle.firstInvalidLine;
    const SubtitleReading last = ReadSubtitles(WriteWebVtt(*middle.document), kVtt);
    ASSERT_TRUE(last.document) << "invalid line " << last.firstInvalidLine;

    // The same times and text (SubRip carries no identifiers, settings or blocks).
    ASSERT_EQ(last.document->cues.size(), first.document->cues.size());
    for (std::size_t index = 0; index < first.document->cues.size(); ++index) {
        const SubtitleCue& before = first.document->cues[index];
        const SubtitleCue& after = last.document->cues[index];
        EXPECT_EQ(after.startMs, before.startMs) << index;
        EXPECT_EQ(after.endMs, before.endMs) << index;
        // The WebVTT reader keeps cue text raw, so the escaped arrow is what comes back.
        QStringList expected = before.lines;
        expected.replaceInStrings(QStringLiteral("-->"), QStringLiteral("--&gt;"));
        EXPECT_EQ(after.lines, expected) << index;
    }
}

TEST(NormalizeSubtitles, FourThousandCuesOfAThreeHourTranscript)
{
    const QString delivered = ModelTalk(4000);
    const QString standard = NormalizeSubtitles(delivered, kVtt);
    ASSERT_NE(standard, delivered);
    const SubtitleReading reading = ReadSubtitles(standard, kVtt);
    ASSERT_TRUE(reading.document);
    ASSERT_EQ(reading.document->cues.size(), 4000u);
    EXPECT_EQ(describe(reading.document->cues[3999]),
              QStringLiteral("10797300-10800000 [] {} Cue 3999 of the talk --&gt; next."));
    EXPECT_TRUE(standard.endsWith(
        QStringLiteral("\n\n02:59:57.300 --> 03:00:00.000\nCue 3999 of the talk --&gt; next.\n")));
    EXPECT_EQ(standard.count(QStringLiteral("\n\n")), 4000);
}

// What does not read as the format comes back exactly as delivered, however large or
// strangely shaped: these run in linear time (a quadratic reader would not finish them).
TEST(NormalizeSubtitles, WhatDoesNotReadIsKeptAsDelivered)
{
    const QString singleLine(10 * 1024 * 1024, QLatin1Char('x'));
    QString arrows = QStringLiteral("WEBVTT\n00:00.000 --> 00:01.000\n ");
    for (int i = 0; i < 500000; ++i)
        arrows += QStringLiteral("a-->");
    arrows += QStringLiteral("\n00:00.000 --> 00:0");
    QString manyArrowLines = QStringLiteral("WEBVTT\n");
    for (int i = 0; i < 300000; ++i)
        manyArrowLines += QStringLiteral("-->\n");
    QString digitLines;
    for (int i = 0; i < 300000; ++i)
        digitLines += QStringLiteral("1\n");
    const QString withNul =
        QStringLiteral("WEBVTT\n00:0") + QChar(0) + QStringLiteral("0.000 --> x");
    const QString invalidUtf8 = QString::fromUtf8("\xff\xfe\xc3(WEBVTT\n00:00.000 --> 00:01.000\n");
    for (const SubtitleFormat format : {kVtt, kSrt}) {
        for (const QString& text :
             {singleLine, arrows, manyArrowLines, digitLines, withNul, invalidUtf8}) {
            const QString normalized = NormalizeSubtitles(text, format);
            EXPECT_EQ(normalized.size(), text.size());
            EXPECT_TRUE(normalized == text) << text.left(40).toStdString();
        }
    }
}

// A single cue of a million lines and a ten-megabyte cue line read whole.
TEST(NormalizeSubtitles, HugeCuesReadWhole)
{
    QString longCue = QStringLiteral("WEBVTT\n00:00.000 --> 00:01.000\n");
    for (int i = 0; i < 1000000; ++i)
        longCue += QStringLiteral(" x\n");
    const SubtitleReading lines = ReadSubtitles(longCue, kVtt, true);
    ASSERT_TRUE(lines.document);
    ASSERT_EQ(lines.document->cues.size(), 1u);
    EXPECT_EQ(lines.document->cues[0].lines.size(), 1000000);

    const QString wide = QStringLiteral("1\n00:00,000 --> 00:01,000\n") +
                         QString(10 * 1024 * 1024, QLatin1Char('y'));
    const QString standard = NormalizeSubtitles(wide, kSrt);
    EXPECT_TRUE(standard.startsWith(QStringLiteral("1\n00:00:00,000 --> 00:00:01,000\nyyy")));
    EXPECT_EQ(standard.size(), 10 * 1024 * 1024 + 34);
}

} // namespace
