// The command line's conversions in this process, against the fake service over real
// sockets: exit status, the lines on stdout and stderr, the files, and Ctrl+C.
#include "cli/convertcommand.h"

#include "queuetesting.h"

#include <QTemporaryDir>
#include <QTextStream>
#include <QTimer>

#include <gtest/gtest.h>

#include <csignal>

namespace {

class ConvertCommandTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        service.start();
        setup.endpoints = EndpointsFor(service);
        setup.apiKey = QStringLiteral("r8_cli_key");
        setup.pollIntervalMs = 20;
        setup.clockIntervalMs = 20;
        setup.clock = QuickJobClock();
        setup.cancelGraceMs = 10000;
    }

    int run(const QStringList& arguments)
    {
        const CommandLine line = ParseCommandLine(arguments);
        EXPECT_EQ(line.action, CommandLine::Action::Convert) << line.error.toStdString();
        out.clear();
        err.clear();
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        return RunConvertCommand(line, setup, outStream, errStream);
    }

    QStringList outLines() const { return out.split(QLatin1Char('\n'), Qt::SkipEmptyParts); }

    QTemporaryDir folder;
    ManyFilesService service;
    ConvertSetup setup;
    QString out;
    QString err;
};

TEST_F(ConvertCommandTest, FiveFilesOneMissingOneFailedOneThrottled)
{
    const QDir dir(folder.path());
    const FiveFiles files(dir, service);
    EXPECT_EQ(run(QStringList{QStringLiteral("--convert")} + files.paths +
                  QStringList{QStringLiteral("--format"), QStringLiteral("srt")}),
              ExitSomeFailed)
        << err.toStdString();

    QStringList written = outLines();
    written.sort();
    EXPECT_EQ(written, (QStringList{dir.filePath(QStringLiteral("a-talk.srt")),
                                    dir.filePath(QStringLiteral("d-throttled.srt")),
                                    dir.filePath(QStringLiteral("e-talk.srt"))}));
    for (const QString& path : written)
        EXPECT_TRUE(ReadFile(path).contains("Words of ")) << path.toStdString();
    // Each failure is named on stderr with its reason.
    const QStringList errors = err.split(QLatin1Char('\n'));
    const auto failureLine = [&](const QString& name) {
        for (const QString& line : errors) {
            if (line.contains(name) && line.contains(QStringLiteral("failed: ")))
                return line;
        }
        return QString();
    };
    EXPECT_TRUE(failureLine(QStringLiteral("b-missing.mp3")).size() > 0) << err.toStdString();
    EXPECT_TRUE(failureLine(QStringLiteral("c-fails.mp3"))
                    .contains(QString::fromLatin1(FiveFiles::kFailError)))
        << err.toStdString();
    EXPECT_TRUE(err.contains(QStringLiteral("2 of 5 failed")));
    EXPECT_TRUE(
        err.contains(QStringLiteral("d-throttled.mp3: waiting (the service asked to slow down)")))
        << err.toStdString();
    for (const char* name : {"a-talk.mp3", "c-fails.mp3", "d-throttled.mp3", "e-talk.mp3"})
        EXPECT_EQ(service.acceptedCreates(name), 1) << name;
}

TEST_F(ConvertCommandTest, AllConvertedIntoTheOutputFolderWithTheChosenModel)
{
    const QDir dir(folder.path());
    ASSERT_TRUE(dir.mkdir(QStringLiteral("out")));
    const QString one = MakeAudioFile(dir, QStringLiteral("one.mp3"));
    const QString two = MakeAudioFile(dir, QStringLiteral("two.mp3"));
    EXPECT_EQ(run({QStringLiteral("--convert"), one, two, one, QStringLiteral("--model"),
                   QStringLiteral("medium.en"), QStringLiteral("--output"),
                   dir.filePath(QStringLiteral("out"))}),
              ExitAllConverted)
        << err.toStdString();
    QStringList written = outLines();
    written.sort();
    EXPECT_EQ(written, (QStringList{dir.filePath(QStringLiteral("out/one.vtt")),
                                    dir.filePath(QStringLiteral("out/two.vtt"))}));
    EXPECT_TRUE(err.contains(QStringLiteral("named more than once")));
    // The same file named twice makes one prediction; every create names the model.
    EXPECT_EQ(service.acceptedCreates("one.mp3"), 1);
    for (const RecordedRequest& request : service.requests()) {
        if (request.method == "POST" && request.path == "/v1/predictions") {
            EXPECT_NE(request.body.find("\"model_name\": \"medium.en\""), std::string::npos)
                << request.body;
        }
    }
}

TEST_F(ConvertCommandTest, AnOutputFolderThatCannotTakeFilesIsBadUsage)
{
    const QDir dir(folder.path());
    const QString one = MakeAudioFile(dir, QStringLiteral("one.mp3"));
    EXPECT_EQ(run({QStringLiteral("--convert"), one, QStringLiteral("--output"),
                   dir.filePath(QStringLiteral("nowhere"))}),
              ExitBadUsage);
    EXPECT_TRUE(err.contains(QStringLiteral("does not exist")));
    EXPECT_EQ(run({QStringLiteral("--convert"), one, QStringLiteral("--output"), one}),
              ExitBadUsage);
    EXPECT_TRUE(err.contains(QStringLiteral("is not a folder")));
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(ConvertCommandTest, ANameWithALineBreakStaysOnOneLine)
{
    const QDir dir(folder.path());
    const QString odd = MakeAudioFile(dir, QStringLiteral("two\nlines.mp3"));
    EXPECT_EQ(run({QStringLiteral("--convert"), odd}), ExitAllConverted) << err.toStdString();
    EXPECT_EQ(outLines(), QStringList{dir.filePath(QStringLiteral("two_lines.vtt"))});
    EXPECT_TRUE(err.contains(QStringLiteral("two\\nlines.mp3")));
}

TEST_F(ConvertCommandTest, CtrlCCancelsOnTheServiceAndRemovesTheUploads)
{
    const QDir dir(folder.path());
    ManyFilesService::Script hang;
    hang.end = "hang";
    service.script("long1.mp3", hang);
    service.script("long2.mp3", hang);
    const QString one = MakeAudioFile(dir, QStringLiteral("long1.mp3"));
    const QString two = MakeAudioFile(dir, QStringLiteral("long2.mp3"));

    // Ctrl+C once both predictions are being polled.
    QTimer interrupter;
    bool raised = false;
    QObject::connect(&interrupter, &QTimer::timeout, [&] {
        if (raised)
            return;
        int polled = 0;
        for (const RecordedRequest& request : service.requests()) {
            if (request.method == "GET")
                ++polled;
        }
        if (polled >= 2) {
            raised = true;
            std::raise(SIGINT);
        }
    });
    interrupter.start(10);
    EXPECT_EQ(run({QStringLiteral("--convert"), one, two}), ExitInterrupted) << err.toStdString();
    ASSERT_TRUE(raised);

    std::vector<std::string> canceled = service.canceledPredictions();
    std::vector<std::string> created = service.createdPredictions();
    std::sort(canceled.begin(), canceled.end());
    std::sort(created.begin(), created.end());
    EXPECT_EQ(canceled, created);
    EXPECT_EQ(created.size(), 2u);
    std::vector<std::string> deleted = service.deletedFiles();
    std::sort(deleted.begin(), deleted.end());
    EXPECT_FALSE(service.uploadedFiles().empty());
    EXPECT_EQ(deleted, service.uploadedFiles());
    EXPECT_TRUE(out.isEmpty());
}

} // namespace
