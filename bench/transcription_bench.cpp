// Speed of the conversion's heavy steps on a 10 MB answer: the JSON layout (against jq on
// the same file), a finished answer's subtitles shown in the main window's pane, and saving
// the pane to a file (against writing and syncing the same bytes); and the standard form of
// a three-hour transcript.
#include "app/appform.h"
#include "core/httpbody.h"
#include "platform/desktop.h"
#include "transcription/backgroundwork.h"
#include "transcription/jsonreformat.h"
#include "transcription/predictionanswer.h"
#include "transcription/replicateclient.h"
#include "transcription/subtitlefile.h"
#include "transcription/subtitles.h"
#include "transcription/textbytes.h"
#include "transcription/widgets/panefiller.h"
#include "transcription/widgets/windowinputhold.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTimer>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

constexpr std::size_t kAnswerBytes = 10 * 1024 * 1024;

// Subtitles of the model's shape (no blank lines between cues, LF breaks, non-ASCII text).
std::string subtitles(std::size_t bytes)
{
    std::string text = "WEBVTT\n";
    text.reserve(bytes + 128);
    for (int cue = 0; text.size() < bytes; ++cue) {
        char times[64];
        const int start = cue * 3;
        std::snprintf(times, sizeof times, "%d:%02d:%02d.000 --> %d:%02d:%02d.500\n", start / 3600,
                      (start / 60) % 60, start % 60, start / 3600, ((start + 2) / 60) % 60,
                      (start + 2) % 60);
        text += times;
        text += " Cue " + std::to_string(cue) + ": Grüße aus Köln, the quick brown fox jumps.\n";
    }
    return text;
}

std::string jsonString(const std::string& text)
{
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\')
            (out += '\\') += c;
        else if (c == '\n')
            out += "\\n";
        else
            out += c;
    }
    return out + "\"";
}

// A finished prediction whose output holds about 10 MB of subtitles.
const QByteArray& answer()
{
    static const QByteArray body = QByteArray::fromStdString(
        R"({"id":"q3bd6k3","model":"openai/whisper","version":"7f686e2","input":{"audio_path":"https://files.example/talk.mp3","format":"vtt","model_name":"base"},"logs":"Transcribing...\n","output":{"text":"Grüße","language":"german","subtitles":)" +
        jsonString(subtitles(kAnswerBytes - 1024)) +
        R"(},"data_removed":false,"error":null,"status":"succeeded","created_at":"2026-12-09T21:14:03.504128Z","started_at":"2026-12-09T21:14:05.200311Z","completed_at":"2026-12-09T21:14:41.918004Z","urls":{"get":"https://api.replicate.com/v1/predictions/q3bd6k3","cancel":"https://api.replicate.com/v1/predictions/q3bd6k3/cancel"},"metrics":{"predict_time":36.7,"total_time":38.4}})");
    return body;
}

void BM_JsonReformat(benchmark::State& state)
{
    const QByteArray& input = answer();
    for (auto _ : state) {
        QByteArray laidOut = JsonReformat(input);
        benchmark::DoNotOptimize(laidOut.data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * input.size());
}
BENCHMARK(BM_JsonReformat)->Unit(benchmark::kMillisecond);

// jq (Debian package) pretty-printing the same file, for comparison.
void BM_JqPrettyPrint(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("answer.json"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(answer()) != answer().size()) {
        state.SkipWithError("cannot write the answer file");
        return;
    }
    file.close();
    const std::string command = "jq . '" + path.toStdString() + "' > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("jq failed");
            return;
        }
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * answer().size());
}
BENCHMARK(BM_JqPrettyPrint)->Unit(benchmark::kMillisecond)->UseRealTime();

// A desktop whose save dialog always answers with one file.
class BenchDesktop final : public Desktop {
public:
    void showMessage(const QString&, const QString& text, MessageIcon) override
    {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
    }
    bool askQuestion(const QString&, const QString&, const QString&, const QString&) override
    {
        return false;
    }
    void beep() override {}
    bool openUrl(const QUrl&) override { return false; }
    QString chooseSaveFile(const QStringList&, const QString&) override { return savePath; }
    QString chooseOpenFile(const QStringList&) override { return {}; }
    QStringList chooseOpenFiles(const QStringList&) override { return {}; }
    bool startDetached(const QString&, const QStringList&, const QString&) override
    {
        return false;
    }
    QString savePath;
};

struct Window {
    Window()
    {
        AppEnvironment environment;
        environment.programFile = QCoreApplication::applicationFilePath();
        environment.programFolder = folder.path();
        environment.appDataBase = folder.path();
        environment.endpoints = Endpoints::compiledIn();
        form = std::make_unique<TAppForm>(environment, desktop);
        form->FormCreate();
        form->TimerChecker->stop();
        form->show();
        QCoreApplication::processEvents();
    }
    QTemporaryDir folder;
    BenchDesktop desktop;
    std::unique_ptr<TAppForm> form;
};

// A finished 10 MB answer shown in the window's pane, as the client and the job do it: the
// body decoded on a worker thread, then read there (parsed, its subtitles brought to the
// standard form), then put into the pane piece by piece and painted. longest_block_ms is the
// longest the event loop went without turning (a 5 ms timer watches it) from the body's
// arrival to the pane full, longest_block_end_ms when that block ended; read_ms the time until the
// reading is back on the interface thread; pane_ms the time from then to the pane full and painted.
void BM_ShowSubtitlesInPane(benchmark::State& state)
{
    Window window;
    auto* hold = new WindowInputHold(window.form.get());
    auto* filler = new PaneFiller(window.form->MemoReplicate, hold, window.form.get());
    const QByteArray& body = answer();
    qint64 longestBlock = 0;
    qint64 longestBlockEnd = 0; // when the longest block ended, from the body's arrival
    qint64 readTime = 0;
    qint64 fillTime = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        qint64 lastTurn = 0;
        QTimer watcher;
        watcher.setInterval(5);
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            if (clock.elapsed() - lastTurn > longestBlock) {
                longestBlock = clock.elapsed() - lastTurn;
                longestBlockEnd = clock.elapsed();
            }
            lastTurn = clock.elapsed();
        });
        watcher.start();

        QEventLoop loop;
        QObject::connect(filler, &PaneFiller::filled, &loop, &QEventLoop::quit);
        qint64 fillStart = 0;
        RunInBackground<QString>(
            window.form.get(),
            [] { return DecodeHttpBody(answer(), "application/json; charset=utf-8"); },
            [&](const QString& decoded) {
                const QString text = Utf8Trim(decoded);
                RunInBackground<PredictionReading>(
                    window.form.get(),
                    [text] { return ReadPredictionAnswer(text, SubtitleFormat::WebVtt); },
                    [&](const PredictionReading& reading) {
                        fillStart = clock.elapsed();
                        readTime = std::max(readTime, fillStart);
                        filler->setText(reading.subtitles, SubtitleFormat::WebVtt);
                    });
            });
        loop.exec();
        window.form->MemoReplicate->repaint();
        QCoreApplication::processEvents();
        fillTime = std::max(fillTime, clock.elapsed() - fillStart);
        if (clock.elapsed() - lastTurn > longestBlock) {
            longestBlock = clock.elapsed() - lastTurn;
            longestBlockEnd = clock.elapsed();
        }
        if (filler->standardForm() != SubtitleFormat::WebVtt)
            state.SkipWithError("the pane does not hold the standard form");
    }
    state.counters["longest_block_ms"] = double(longestBlock);
    state.counters["longest_block_end_ms"] = double(longestBlockEnd);
    state.counters["read_ms"] = double(readTime);
    state.counters["pane_ms"] = double(fillTime);
    state.SetBytesProcessed(int64_t(state.iterations()) * body.size());
}
BENCHMARK(BM_ShowSubtitlesInPane)->Unit(benchmark::kMillisecond)->UseRealTime();

// File > Save of a pane holding 10 MB of subtitles in the standard form, as .vtt (the pane's
// own format) and as .srt (converted). "filled": the pane as a result fills it, known to be
// standard WebVTT; "edited": the same text after an edit undone, so that what changed is read
// back from the pane and the whole text is read and converted again.
void BM_SavePane(benchmark::State& state, const char* fileName, bool edited)
{
    Window window;
    auto* filler = window.form->findChild<PaneFiller*>();
    QEventLoop loop;
    QObject::connect(filler, &PaneFiller::filled, &loop, &QEventLoop::quit);
    filler->setText(
        NormalizeSubtitles(QString::fromStdString(subtitles(kAnswerBytes)), SubtitleFormat::WebVtt),
        SubtitleFormat::WebVtt);
    if (filler->isFilling())
        loop.exec();
    if (edited) {
        window.form->MemoReplicate->insertPlainText(QStringLiteral("x"));
        window.form->MemoReplicate->undo();
    }
    if (filler->standardForm().has_value() == edited)
        state.SkipWithError("the pane is not in the state to measure");
    window.desktop.savePath = window.folder.filePath(QLatin1String(fileName));
    for (auto _ : state)
        window.form->Save1Click();
    if (window.form->statusPanelText(0).startsWith(QStringLiteral("Saved as it stands")))
        state.SkipWithError("the pane did not read as subtitles");
    state.SetBytesProcessed(int64_t(state.iterations()) * QFile(window.desktop.savePath).size());
}
BENCHMARK_CAPTURE(BM_SavePane, vtt_filled, "talk.vtt", false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SavePane, srt_filled, "talk.srt", false)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SavePane, vtt_edited, "talk.vtt", true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_SavePane, srt_edited, "talk.srt", true)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The floor for BM_SavePane: the same file's bytes written to a new file and synced.
void BM_WriteAndSyncBytes(benchmark::State& state)
{
    QTemporaryDir folder;
    const QByteArray bytes = SubtitleFileBytes(NormalizeSubtitles(
        QString::fromStdString(subtitles(kAnswerBytes)), SubtitleFormat::WebVtt));
    const QByteArray path = QFile::encodeName(folder.filePath(QStringLiteral("raw.vtt")));
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (fd < 0 || ::write(fd, bytes.constData(), std::size_t(bytes.size())) != bytes.size() ||
            ::fsync(fd) != 0) {
            state.SkipWithError("cannot write the file");
            return;
        }
        ::close(fd);
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * bytes.size());
}
BENCHMARK(BM_WriteAndSyncBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

// A three-hour transcript in the model's shape: 4000 cues, about 400 KB.
QString threeHourTranscript()
{
    QString text = QStringLiteral("WEBVTT\n");
    for (int cue = 0; cue < 4000; ++cue) {
        const int start = cue * 2700;
        const auto time = [](int ms) {
            const QString rest =
                QString::asprintf("%02d:%02d.%03d", ms / 60000 % 60, ms / 1000 % 60, ms % 1000);
            return ms >= 3600000 ? QString::number(ms / 3600000) + QLatin1Char(':') + rest : rest;
        };
        text += time(start) + QStringLiteral(" --> ") + time(start + 2700) +
                QStringLiteral("\n Cue %1: und dann sagte sie, dass die Straßenbahn in Köln "
                               "heute wieder einmal zu spät kam.\n")
                    .arg(cue);
    }
    return text;
}

void BM_NormalizeSubtitles(benchmark::State& state)
{
    const QString delivered = threeHourTranscript();
    for (auto _ : state) {
        QString standard = NormalizeSubtitles(delivered, SubtitleFormat::WebVtt);
        benchmark::DoNotOptimize(standard.data());
    }
    state.counters["input_kb"] = double(delivered.toUtf8().size()) / 1024;
    state.SetBytesProcessed(int64_t(state.iterations()) * delivered.toUtf8().size());
}
BENCHMARK(BM_NormalizeSubtitles)->Unit(benchmark::kMillisecond);

// The conversion step of saving, alone: the 10 MB pane's text read as WebVTT and written as
// the standard form of each format.
void BM_ConvertPaneText(benchmark::State& state, SubtitleFormat target)
{
    const QString pane =
        NormalizeSubtitles(QString::fromStdString(subtitles(kAnswerBytes)), SubtitleFormat::WebVtt);
    for (auto _ : state) {
        SubtitleConversion converted = ConvertSubtitles(pane, SubtitleFormat::WebVtt, target);
        if (!converted.text)
            state.SkipWithError("the text did not read");
        benchmark::DoNotOptimize(converted.text->data());
    }
    state.SetBytesProcessed(int64_t(state.iterations()) * pane.size() * 2);
}
BENCHMARK_CAPTURE(BM_ConvertPaneText, vtt, SubtitleFormat::WebVtt)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_ConvertPaneText, srt, SubtitleFormat::SubRip)->Unit(benchmark::kMillisecond);

} // namespace
