// Parsers of outside input against inputs shaped to hurt, at 1 MB and 4 MB: deep nesting,
// a long string, runs of escapes, many tiny lines. Time per byte stays the same at both
// sizes when the work is linear; a quadratic shape would take 16 times as long at 4 MB.
#include "language/languagecodes.h"
#include "language/textcatalogue.h"
#include "platform/inifile.h"
#include "transcription/jsonreformat.h"
#include "transcription/predictionanswer.h"
#include "transcription/subtitles.h"

#include <benchmark/benchmark.h>

#include <functional>

namespace {

constexpr qsizetype kMegabyte = 1024 * 1024;

QByteArray repeatedTo(const QByteArray& piece, qsizetype size)
{
    return piece.repeated(size / piece.size());
}

// The JSON shapes, each about `size` bytes.
QByteArray jsonShape(int shape, qsizetype size)
{
    switch (shape) {
    case 0: // wide and shallow: every element on a line of its own
        return "[[" + repeatedTo("0,", size) + "0]]";
    case 1: // brackets nested size/2 deep, closed
        return QByteArray(size / 2, '[') + QByteArray(size / 2, ']');
    case 2: // brackets opened and never closed
        return QByteArray(size, '[');
    case 3: // objects nested deep
        return repeatedTo("{\"a\":", size);
    case 4: // one long string
        return "{\"subtitles\":\"" + QByteArray(size, 'x') + "\"}";
    default: // runs of escapes
        return "[\"" + repeatedTo("\\n\\\"\\u00e9\\\\", size) + "\"]";
    }
}

const char* const kJsonShapeNames[] = {"wide",           "nested_closed", "nested_open",
                                       "objects_nested", "long_string",   "escapes"};

void setLabel(benchmark::State& state, qsizetype bytes)
{
    state.SetLabel(kJsonShapeNames[state.range(0)]);
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes);
}

void BM_JsonReformatShape(benchmark::State& state)
{
    const QByteArray input = jsonShape(int(state.range(0)), state.range(1) * kMegabyte);
    for (auto _ : state) {
        QByteArray laidOut = JsonReformat(input);
        benchmark::DoNotOptimize(laidOut.data());
    }
    setLabel(state, input.size());
}

void BM_PredictionAnswerShape(benchmark::State& state)
{
    const QString input =
        QString::fromLatin1(jsonShape(int(state.range(0)), state.range(1) * kMegabyte));
    for (auto _ : state) {
        PredictionAnswer parsed = ParsePredictionAnswer(input);
        benchmark::DoNotOptimize(parsed.hasStatus);
    }
    setLabel(state, input.size());
}

void jsonShapes(benchmark::internal::Benchmark* benchmark)
{
    for (int shape = 0; shape < 6; ++shape)
        for (int megabytes : {1, 4})
            benchmark->Args({shape, megabytes});
    benchmark->Unit(benchmark::kMillisecond);
}
BENCHMARK(BM_JsonReformatShape)->Apply(jsonShapes);
BENCHMARK(BM_PredictionAnswerShape)->Apply(jsonShapes);

// Subtitles of many tiny cues, and text lines that only look like times.
QString subtitleShape(int shape, qsizetype size)
{
    if (shape == 0)
        return QStringLiteral("WEBVTT\n\n") +
               QString::fromLatin1(repeatedTo("00:01.000 --> 00:02.000\nx\n", size));
    return QStringLiteral("WEBVTT\n\n00:01.000 --> 00:02.000\n") +
           QString::fromLatin1(repeatedTo(" 1 -> 2 --> x\n", size));
}

void BM_ReadSubtitlesShape(benchmark::State& state)
{
    const QString input = subtitleShape(int(state.range(0)), state.range(1) * kMegabyte);
    for (auto _ : state) {
        SubtitleReading reading = ReadSubtitles(input, SubtitleFormat::WebVtt, true);
        benchmark::DoNotOptimize(reading.firstInvalidLine);
    }
    state.SetLabel(state.range(0) == 0 ? "tiny_cues" : "arrow_text");
    state.SetBytesProcessed(int64_t(state.iterations()) * input.size() * 2);
}
BENCHMARK(BM_ReadSubtitlesShape)
    ->Args({0, 1})
    ->Args({0, 4})
    ->Args({1, 1})
    ->Args({1, 4})
    ->Unit(benchmark::kMillisecond);

// settings.ini and a language file made of nothing but tiny lines.
void BM_IniValueInTinyLines(benchmark::State& state)
{
    const QString text = QString::fromLatin1(repeatedTo("[s]\nk=v\n", state.range(0) * kMegabyte)) +
                         QStringLiteral("[Settings]\nLanguage=x\n");
    for (auto _ : state) {
        auto value = IniValueInText(text, QStringLiteral("Settings"), QStringLiteral("Language"));
        benchmark::DoNotOptimize(value);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * text.size() * 2);
}
BENCHMARK(BM_IniValueInTinyLines)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

void BM_LanguageFileTinyLines(benchmark::State& state)
{
    const QByteArray bytes = repeatedTo("{a}\r\n", state.range(0) * kMegabyte);
    for (auto _ : state) {
        const QStringList lines = SplitUtf8Lines(bytes);
        benchmark::DoNotOptimize(FindTranslation(QStringLiteral("missing"), lines));
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_LanguageFileTinyLines)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
