// Speed of the conversion's heavy steps on a 10 MB answer: the JSON layout (against jq on
// the same file), a finished answer's subtitles shown in the main window's pane, and saving
// the pane to a file.
#include "app/appform.h"
#include "platform/desktop.h"
#include "transcription/jsonreformat.h"
#include "transcription/replicateclient.h"
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
#include <string>

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

// The "succeeded" tick's work on a 10 MB answer, as the main window does it: the answer
// decoded and trimmed, parsed, its subtitles split into lines, then put into the window's
// pane piece by piece and painted. longest_block_ms is the longest the event loop went
// without turning (a 5 ms timer watches it); parse_ms the one stint of decoding and parsing;
// pane_ms the time from the text handed to the pane to the pane full and painted.
void BM_ShowSubtitlesInPane(benchmark::State& state)
{
    Window window;
    auto* hold = new WindowInputHold(window.form.get());
    auto* filler = new PaneFiller(window.form->MemoReplicate, hold, window.form.get());
    const QByteArray& body = answer();
    qint64 longestBlock = 0;
    qint64 parseTime = 0;
    qint64 fillTime = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        qint64 lastTurn = 0;
        QTimer watcher;
        watcher.setInterval(5);
        QObject::connect(&watcher, &QTimer::timeout, [&] {
            longestBlock = std::max(longestBlock, clock.elapsed() - lastTurn);
            lastTurn = clock.elapsed();
        });
        watcher.start();

        const QString text = Utf8Trim(QString::fromUtf8(body));
        const QJsonDocument document = QJsonDocument::fromJson(text.toUtf8());
        QString subtitles;
        TryGetJsonString(document.object().value(QStringLiteral("output")).toObject(),
                         QStringLiteral("subtitles"), subtitles);
        const QString lines = NormaliseLineBreaks(subtitles);
        parseTime = std::max(parseTime, clock.elapsed());

        const qint64 fillStart = clock.elapsed();
        QEventLoop loop;
        QObject::connect(filler, &PaneFiller::filled, &loop, &QEventLoop::quit);
        filler->setText(lines);
        if (filler->isFilling())
            loop.exec();
        window.form->MemoReplicate->repaint();
        QCoreApplication::processEvents();
        fillTime = std::max(fillTime, clock.elapsed() - fillStart);
        longestBlock = std::max(longestBlock, clock.elapsed() - lastTurn);
        if (window.form->MemoReplicate->document()->characterCount() != lines.size() + 1)
            state.SkipWithError("the pane does not hold the subtitles");
    }
    state.counters["longest_block_ms"] = double(longestBlock);
    state.counters["parse_ms"] = double(parseTime);
    state.counters["pane_ms"] = double(fillTime);
    state.SetBytesProcessed(int64_t(state.iterations()) * body.size());
}
BENCHMARK(BM_ShowSubtitlesInPane)->Unit(benchmark::kMillisecond)->UseRealTime();

// File > Save of a pane holding 10 MB of subtitles.
void BM_SavePane(benchmark::State& state)
{
    Window window;
    window.form->MemoReplicate->setPlainText(QString::fromStdString(subtitles(kAnswerBytes)));
    window.desktop.savePath = window.folder.filePath(QStringLiteral("talk.vtt"));
    for (auto _ : state)
        window.form->Save1Click();
    state.SetBytesProcessed(int64_t(state.iterations()) * QFile(window.desktop.savePath).size());
}
BENCHMARK(BM_SavePane)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
