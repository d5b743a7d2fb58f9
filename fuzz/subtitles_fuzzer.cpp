// The subtitle reader, the two writers, the one-pass conversion and the file's bytes made a
// piece at a time. Whatever the reader accepts, each writer writes a text that the reader
// reads back as the same cues: same times, same text (WebVTT writes "-->" inside text as
// "--&gt;", and SubRip writes it back as "-->").
#include "fuzzcheck.h"
#include "transcription/subtitlefile.h"
#include "transcription/subtitles.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>

namespace {

QStringList expectedLines(const QStringList& lines, SubtitleFormat from, SubtitleFormat to)
{
    QStringList expected = lines;
    for (QString& line : expected) {
        if (to == SubtitleFormat::WebVtt)
            line.replace(QLatin1String("-->"), QLatin1String("--&gt;"));
        else if (from == SubtitleFormat::WebVtt)
            line.replace(QLatin1String("--&gt;"), QLatin1String("-->"));
    }
    return expected;
}

void checkRoundTrip(const SubtitleDocument& document, SubtitleFormat to)
{
    const QString written = WriteSubtitles(document, to);
    const SubtitleReading reread = ReadSubtitles(written, to);
    if (document.cues.empty() && to == SubtitleFormat::SubRip) {
        FUZZ_CHECK(!reread.document); // an empty SubRip text is no subtitles at all
        return;
    }
    FUZZ_CHECK(reread.document.has_value());
    FUZZ_CHECK(reread.document->cues.size() == document.cues.size());
    for (std::size_t i = 0; i < document.cues.size(); ++i) {
        const SubtitleCue& before = document.cues[i];
        const SubtitleCue& after = reread.document->cues[i];
        FUZZ_CHECK(after.startMs == before.startMs);
        FUZZ_CHECK(after.endMs == before.endMs);
        FUZZ_CHECK(after.lines == expectedLines(before.lines, document.format, to));
    }
    // The standard form is a fixed point: written again, it stays the same text.
    FUZZ_CHECK(WriteSubtitles(*reread.document, to) == written);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    const SubtitleFormat format =
        provider.ConsumeBool() ? SubtitleFormat::WebVtt : SubtitleFormat::SubRip;
    const bool stripModelSpace = provider.ConsumeBool();
    const std::string rest = provider.ConsumeRemainingBytesAsString();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    const SubtitleReading reading = ReadSubtitles(text, format, stripModelSpace);
    FUZZ_CHECK(reading.document.has_value() == (reading.firstInvalidLine == 0));
    // The one-pass conversion gives what reading and writing give.
    for (const SubtitleFormat to : {SubtitleFormat::WebVtt, SubtitleFormat::SubRip}) {
        const SubtitleConversion converted = ConvertSubtitles(text, format, to, stripModelSpace);
        FUZZ_CHECK(converted.text.has_value() == reading.document.has_value());
        FUZZ_CHECK(converted.firstInvalidLine == reading.firstInvalidLine);
        if (converted.text)
            FUZZ_CHECK(*converted.text == WriteSubtitles(*reading.document, to));
    }
    // The file's bytes, made a piece at a time, are the converted text's saved form; a text as
    // it stands is saved the same, whatever the pieces' bounds cut through.
    for (const SubtitleFormat to : {SubtitleFormat::WebVtt, SubtitleFormat::SubRip}) {
        QByteArray streamed;
        const auto collect = [&streamed](const char* bytes, qsizetype size) {
            streamed.append(bytes, size);
        };
        const qsizetype invalid = StreamConvertedSubtitleFileBytes(text, format, to, collect);
        FUZZ_CHECK(invalid == reading.firstInvalidLine);
        if (reading.document)
            FUZZ_CHECK(streamed == SubtitleFileBytes(WriteSubtitles(*reading.document, to)));
        streamed.clear();
        StreamSubtitleFileBytes(text, collect);
        FUZZ_CHECK(streamed == SubtitleFileBytes(text));
    }
    if (!reading.document) {
        // Text that is not subtitles is shown and saved exactly as delivered.
        if (stripModelSpace)
            FUZZ_CHECK(NormalizeSubtitles(text, format) == text);
        return 0;
    }
    for (const SubtitleCue& cue : reading.document->cues)
        FUZZ_CHECK(cue.startMs <= cue.endMs);
    checkRoundTrip(*reading.document, SubtitleFormat::WebVtt);
    checkRoundTrip(*reading.document, SubtitleFormat::SubRip);
    return 0;
}
