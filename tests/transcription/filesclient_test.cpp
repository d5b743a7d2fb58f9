#include "transcription/filesclient.h"

#include "support/recordingdesktop.h"
#include "transcriptiontesting.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTimer>

#include <optional>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Runs the event loop until the condition holds; false after ten seconds without it. A
// plain event loop, not a wait with pauses: the upload's data reaches Qt's network thread
// through the loop, so pauses would slow it to a crawl.
template <typename Condition> bool RunUntil(Condition condition)
{
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (condition())
            loop.quit();
    });
    QTimer::singleShot(10000, &loop, &QEventLoop::quit);
    check.start(2);
    if (!condition())
        loop.exec();
    return condition();
}

const QString kKey = QStringLiteral("r8_secret");

// Bytes that look like multipart syntax, so a reader that trusts the content would trip.
QByteArray awkwardBytes()
{
    QByteArray bytes("ID3\x04\x00\x00", 6);
    bytes += "\r\n--not-the-boundary\r\n\r\n--";
    for (int i = 0; i < 256; ++i)
        bytes += char(i);
    return bytes;
}

class FilesClientTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder.isValid()); }

    QString writeFile(const QString& name, const QByteArray& bytes)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        return path;
    }

    // A file of that size whose content is a repeating pattern; written in pieces.
    QString writeLargeFile(const QString& name, qint64 size)
    {
        const QString path = folder.filePath(name);
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray piece(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < piece.size(); ++i)
            piece[i] = char(i * 7);
        for (qint64 left = size; left > 0; left -= piece.size())
            file.write(piece.constData(), qMin<qint64>(left, piece.size()));
        return path;
    }

    UploadOutcome upload(FilesClient& client, const QString& path,
                         FilesClient::Progress progress = {})
    {
        std::optional<UploadOutcome> result;
        client.UploadFile(kKey, path, progress, [&](const UploadOutcome& o) {
            EXPECT_FALSE(result.has_value()) << "the completion ran twice";
            result = o;
        });
        EXPECT_TRUE(RunUntil([&] { return result.has_value(); }));
        return result.value_or(UploadOutcome{});
    }

    UploadOutcome upload(const QString& path, RequestTimeouts timeouts = {})
    {
        FilesClient client(EndpointsFor(service), timeouts);
        return upload(client, path);
    }

    bool deleteFile(FilesClient& client, const QString& id)
    {
        std::optional<bool> result;
        client.DeleteFile(kKey, id, [&](bool gone) { result = gone; });
        EXPECT_TRUE(RunUntil([&] { return result.has_value(); }));
        return result.value_or(false);
    }

    std::size_t uploadRequests() const
    {
        std::size_t count = 0;
        for (const RecordedRequest& request : service.requests())
            count += request.method == "POST" && request.path == "/v1/files";
        return count;
    }

    QTemporaryDir folder;
    FakePredictionService service;
};

TEST_F(FilesClientTest, SendsTheFileAsOneMultipartPartWithItsNameAndType)
{
    service.start();
    const QByteArray bytes = awkwardBytes();
    const QString path = writeFile(QStringLiteral("Café \"interview\" notes\\1.mp3"), bytes);
    QList<QPair<qint64, qint64>> steps;
    FilesClient client(EndpointsFor(service));
    const UploadOutcome outcome = upload(client, path, [&](qint64 sent, qint64 total) {
        steps.append({sent, total});
    });

    ASSERT_EQ(outcome.kind, UploadOutcome::Kind::Uploaded)
        << outcome.status << " " << service.lastUploadError();
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    const RecordedRequest& request = requests[0];
    EXPECT_EQ(request.method, "POST");
    EXPECT_EQ(request.path, "/v1/files");
    EXPECT_EQ(request.header("Authorization"), "Token r8_secret");
    const std::string type = request.header("Content-Type");
    const std::string prefix = "multipart/form-data; boundary=";
    ASSERT_EQ(type.rfind(prefix, 0), 0u) << type;
    const std::string boundary = type.substr(prefix.size());
    EXPECT_GE(boundary.size(), 20u);
    EXPECT_EQ(boundary.find_first_of("\"; \r\n"), std::string::npos);

    const std::string expected = "--" + boundary +
                                 "\r\n"
                                 "Content-Disposition: form-data; name=\"content\"; "
                                 "filename=\"Café %22interview%22 notes%5C1.mp3\"\r\n"
                                 "Content-Type: audio/mpeg\r\n"
                                 "\r\n" +
                                 bytes.toStdString() + "\r\n--" + boundary + "--\r\n";
    EXPECT_EQ(request.body, expected);
    EXPECT_EQ(request.header("Content-Length"), std::to_string(expected.size()));
    EXPECT_EQ(service.lastUploadError(), "");

    const auto files = service.files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].name, "Café %22interview%22 notes%5C1.mp3");
    EXPECT_EQ(files[0].contentType, "audio/mpeg");
    EXPECT_EQ(files[0].content, bytes.toStdString());
    EXPECT_EQ(outcome.fileId.toStdString(), files[0].id);
    EXPECT_EQ(outcome.url,
              service.baseUrl().toString() + QStringLiteral("/v1/files/") + outcome.fileId);
    EXPECT_EQ(outcome.status, 201);
    EXPECT_EQ(outcome.fileSize, bytes.size());

    // Progress rises to the whole request body.
    ASSERT_FALSE(steps.isEmpty());
    for (int i = 1; i < steps.size(); ++i)
        EXPECT_LE(steps[i - 1].first, steps[i].first);
    EXPECT_EQ(steps.last().first, qint64(expected.size()));
    EXPECT_EQ(steps.last().second, qint64(expected.size()));
}

TEST_F(FilesClientTest, AnEmptyFileIsSentAsAnEmptyPart)
{
    service.start();
    const UploadOutcome outcome = upload(writeFile(QStringLiteral("silence.wav"), {}));
    ASSERT_EQ(outcome.kind, UploadOutcome::Kind::Uploaded) << service.lastUploadError();
    ASSERT_EQ(service.files().size(), 1u);
    EXPECT_EQ(service.files()[0].size, 0u);
    EXPECT_EQ(service.files()[0].contentType, "audio/wav");
}

TEST_F(FilesClientTest, AFileOfSeveralMegabytesArrivesWhole)
{
    service.start();
    const qint64 size = 6 * 1024 * 1024 + 17;
    const QString path = writeLargeFile(QStringLiteral("lecture.mp4"), size);
    const UploadOutcome outcome = upload(path);
    ASSERT_EQ(outcome.kind, UploadOutcome::Kind::Uploaded) << service.lastUploadError();
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const auto files = service.files();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].size, std::uint64_t(size));
    EXPECT_TRUE(files[0].content == file.readAll().toStdString());
    EXPECT_EQ(files[0].contentType, "video/mp4");
}

struct NameCase {
    const char* label;
    QString fileName;
    QByteArray expected; // empty: only the limits are checked
};

class UploadFileNameTest : public ::testing::TestWithParam<NameCase> {};

TEST_P(UploadFileNameTest, StaysQuotableUtf8WithinTheLimit)
{
    const NameCase& c = GetParam();
    const QByteArray name = UploadFileName(QStringLiteral("/some/folder/") + c.fileName);
    if (!c.expected.isEmpty()) {
        EXPECT_EQ(name, c.expected);
    }
    EXPECT_LE(name.size(), 255);
    EXPECT_FALSE(name.isEmpty());
    // Cut on a character boundary: the bytes read back as UTF-8 without loss.
    EXPECT_EQ(QString::fromUtf8(name).toUtf8(), name);
    EXPECT_FALSE(QString::fromUtf8(name).contains(QChar::ReplacementCharacter));
    for (const char c : name)
        EXPECT_TRUE(c != '"' && c != '\r' && c != '\n' && c != '\\' && c != '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Names, UploadFileNameTest,
    ::testing::Values(
        NameCase{"plain", QStringLiteral("talk.mp3"), "talk.mp3"},
        NameCase{"spaces and accents", QStringLiteral("Café interview.mp3"),
                 "Caf\xc3\xa9 interview.mp3"},
        NameCase{"line breaks and tab", QStringLiteral("a\r\nb\tc.wav"), "a%0D%0Ab%09c.wav"},
        NameCase{"long accented name keeps its extension",
                 QString(200, QChar(0xe9)) + QStringLiteral(".flac"),
                 QString(125, QChar(0xe9)).toUtf8() + ".flac"},
        NameCase{"cut never splits a four-byte character",
                 QString::fromUcs4(std::u32string(100, U'\U0001F3A4').c_str(), 100) +
                     QStringLiteral(".ogg"),
                 QString::fromUcs4(std::u32string(62, U'\U0001F3A4').c_str(), 62).toUtf8() +
                     ".ogg"},
        NameCase{"cut never splits an escape",
                 QString(84, QLatin1Char('"')) + QStringLiteral("x.mp3"),
                 QByteArray("%22").repeated(83) + ".mp3"},
        NameCase{"long extension is cut with the rest",
                 QStringLiteral("a.") + QString(300, QLatin1Char('b')),
                 "a." + QByteArray(253, 'b')}),
    [](const ::testing::TestParamInfo<NameCase>& info) {
        std::string name = info.param.label;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST(UploadContentType, FollowsTheExtensionInAnyCase)
{
    const QList<QPair<QString, QByteArray>> cases = {
        {QStringLiteral("a.mp3"), "audio/mpeg"},
        {QStringLiteral("A.MP3"), "audio/mpeg"},
        {QStringLiteral("a.wav"), "audio/wav"},
        {QStringLiteral("a.mp4"), "video/mp4"},
        {QStringLiteral("a.mkv"), "video/x-matroska"},
        {QStringLiteral("a.ogg"), "audio/ogg"},
        {QStringLiteral("a.txt"), "application/octet-stream"},
        {QStringLiteral("noextension"), "application/octet-stream"},
    };
    for (const auto& [path, type] : cases)
        EXPECT_EQ(UploadContentType(path), type) << path.toStdString();
}

struct RefusalCase {
    const char* label;
    FakeAnswer answer;
    int status;
    QString detail;
};

class UploadRefusalTest : public FilesClientTest,
                          public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(UploadRefusalTest, ReportsTheStatusAndTheServiceDetail)
{
    service.scriptUploads({GetParam().answer});
    service.start();
    const UploadOutcome outcome = upload(writeFile(QStringLiteral("talk.mp3"), "ID3"));
    EXPECT_EQ(outcome.kind, UploadOutcome::Kind::Refused);
    EXPECT_TRUE(outcome.answered);
    EXPECT_EQ(outcome.status, GetParam().status);
    EXPECT_EQ(outcome.detail, GetParam().detail);
    EXPECT_TRUE(outcome.fileId.isEmpty());
    EXPECT_TRUE(outcome.url.isEmpty());
    EXPECT_EQ(service.storedFileCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, UploadRefusalTest,
    ::testing::Values(
        RefusalCase{"unauthorized",
                    FakePredictionService::problem(401, "Unauthenticated",
                                                   "You did not pass a valid authentication token"),
                    401, QStringLiteral("You did not pass a valid authentication token")},
        RefusalCase{"payment",
                    FakePredictionService::problem(402, "Payment Required", "Add billing."), 402,
                    QStringLiteral("Add billing.")},
        RefusalCase{"unprocessable",
                    FakePredictionService::problem(422, "Invalid", "filename: too long"), 422,
                    QStringLiteral("filename: too long")},
        RefusalCase{"throttled",
                    FakePredictionService::problem(429, "Throttled", "Request was throttled."), 429,
                    QStringLiteral("Request was throttled.")},
        RefusalCase{"server error", FakePredictionService::problem(500, "Error", "Ünexpected."),
                    500, QStringLiteral("Ünexpected.")},
        RefusalCase{"html page", FakePredictionService::htmlPage(502, "502 Bad Gateway"), 502, {}},
        RefusalCase{"detail not a string",
                    FakePredictionService::raw(503, "application/json", R"({"detail":{"a":1}})"),
                    503,
                    {}},
        RefusalCase{"success other than created",
                    FakePredictionService::raw(200, "application/json", R"({"id":"x"})"),
                    200,
                    {}}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) {
        std::string name = info.param.label;
        for (char& c : name)
            if (!std::isalnum(static_cast<unsigned char>(c)))
                c = '_';
        return name;
    });

TEST_F(FilesClientTest, TooLargeForTheServiceGivesItsDetail)
{
    service.setUploadLimit(1000);
    service.start();
    const UploadOutcome outcome = upload(writeLargeFile(QStringLiteral("long.wav"), 5000));
    EXPECT_EQ(outcome.kind, UploadOutcome::Kind::Refused);
    EXPECT_EQ(outcome.status, 413);
    EXPECT_EQ(outcome.detail, QStringLiteral("Files must be less than 100MB in size"));
    EXPECT_EQ(service.storedFileCount(), 0u);
}

TEST_F(FilesClientTest, ACreatedAnswerWithoutAFileObjectIsABadAnswer)
{
    service.scriptUploads({FakePredictionService::raw(201, "application/json", R"({"id":"f1"})"),
                           FakePredictionService::raw(201, "text/html", "<html></html>")});
    service.start();
    const QString path = writeFile(QStringLiteral("talk.mp3"), "ID3");
    EXPECT_EQ(upload(path).kind, UploadOutcome::Kind::BadAnswer);
    EXPECT_EQ(upload(path).kind, UploadOutcome::Kind::BadAnswer);
}

TEST_F(FilesClientTest, LargerThanTheServiceTakesIsRefusedBeforeAnyByteIsSent)
{
    service.start();
    const QString path = folder.filePath(QStringLiteral("huge.mp4"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(kMaxUploadBytes + 1)); // sparse: nothing is written
    file.close();

    FilesClient client(EndpointsFor(service));
    bool ran = false;
    std::optional<UploadOutcome> outcome;
    client.UploadFile(kKey, path, {}, [&](const UploadOutcome& o) {
        ran = true;
        outcome = o;
    });
    EXPECT_FALSE(ran) << "the completion ran inside the call";
    ASSERT_TRUE(RunUntil([&] { return outcome.has_value(); }));
    EXPECT_EQ(outcome->kind, UploadOutcome::Kind::TooLarge);
    EXPECT_EQ(outcome->fileSize, kMaxUploadBytes + 1);
    EXPECT_FALSE(client.uploading());
    QTest::qWait(50);
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(FilesClientTest, AMissingFileOrAFolderIsRefusedWithoutARequest)
{
    service.start();
    for (const QString& path : {folder.filePath(QStringLiteral("gone.mp3")), folder.path()}) {
        const UploadOutcome outcome = upload(path);
        EXPECT_EQ(outcome.kind, UploadOutcome::Kind::Unreadable) << path.toStdString();
        EXPECT_TRUE(outcome.failure.contains(path)) << outcome.failure.toStdString();
    }
    EXPECT_TRUE(service.requests().empty());
}

TEST_F(FilesClientTest, TransportFailuresAreReportedWithTheirMessage)
{
    service.start();
    const QString path = writeFile(QStringLiteral("talk.mp3"), "ID3");

    Endpoints refused = EndpointsFor(service);
    refused.replicateApi =
        QUrl(QStringLiteral("https://127.0.0.1:%1").arg(FakeHttpServer::closedPort()));
    FilesClient refusedClient(refused);
    const UploadOutcome noServer = upload(refusedClient, path);
    EXPECT_EQ(noServer.kind, UploadOutcome::Kind::Transport);
    EXPECT_FALSE(noServer.answered);
    EXPECT_EQ(noServer.failure, QStringLiteral("Connection refused"));

    FakePredictionService untrusted(FakeHttpServer::Transport::SecureUntrusted);
    untrusted.start();
    FilesClient untrustedClient(EndpointsFor(untrusted));
    const UploadOutcome tls = upload(untrustedClient, path);
    EXPECT_EQ(tls.kind, UploadOutcome::Kind::Transport);
    EXPECT_TRUE(tls.failure.contains(QStringLiteral("SSL"))) << tls.failure.toStdString();
    EXPECT_TRUE(untrusted.requests().empty());
}

TEST_F(FilesClientTest, AConnectionDroppedHalfWayIsATransportFailure)
{
    FakeAnswer drop;
    drop.dropDuringUpload = true;
    service.scriptUploads({drop});
    service.start();
    const UploadOutcome outcome =
        upload(writeLargeFile(QStringLiteral("lecture.mp4"), 8 * 1024 * 1024));
    EXPECT_EQ(outcome.kind, UploadOutcome::Kind::Transport);
    EXPECT_FALSE(outcome.failure.isEmpty());
    // Qt's network layer tries a dropped request again a few times before it gives up.
    EXPECT_GE(uploadRequests(), 1u);
    EXPECT_EQ(service.storedFileCount(), 0u);
}

TEST_F(FilesClientTest, AServiceThatStopsReadingEndsAtTheSilenceTimeOut)
{
    FakeAnswer stall;
    stall.stallDuringUploadMs = 1500;
    service.scriptUploads({stall});
    service.start();
    const UploadOutcome outcome =
        upload(writeLargeFile(QStringLiteral("lecture.mp4"), 32 * 1024 * 1024), {10000, 300});
    EXPECT_EQ(outcome.kind, UploadOutcome::Kind::Transport);
    EXPECT_EQ(outcome.failure, QStringLiteral("The server 127.0.0.1 did not answer in time."));
}

TEST_F(FilesClientTest, ASlowAnswerAfterTheUploadEndsAtTheSilenceTimeOut)
{
    FakeAnswer slow = FakePredictionService::problem(500, "Error", "late");
    slow.delayMs = 1500;
    service.scriptUploads({slow});
    service.start();
    const UploadOutcome outcome = upload(writeFile(QStringLiteral("a.mp3"), "ID3"), {10000, 200});
    EXPECT_EQ(outcome.kind, UploadOutcome::Kind::Transport);
    EXPECT_EQ(outcome.failure, QStringLiteral("The server 127.0.0.1 did not answer in time."));
}

TEST_F(FilesClientTest, AbortEndsTheUploadOnceAndNothingIsStored)
{
    FakeAnswer stall;
    stall.stallDuringUploadMs = 800;
    service.scriptUploads({stall});
    service.start();
    const QString path = writeLargeFile(QStringLiteral("lecture.mp4"), 32 * 1024 * 1024);
    FilesClient client(EndpointsFor(service));
    int completions = 0;
    bool insideAbort = false;
    bool ranInsideAbort = false;
    std::optional<UploadOutcome> outcome;
    client.UploadFile(
        kKey, path,
        [&](qint64 sent, qint64 total) {
            if (sent > 0 && sent < total && client.uploading()) {
                insideAbort = true;
                client.abortUpload();
                client.abortUpload(); // twice is harmless
                insideAbort = false;
            }
        },
        [&](const UploadOutcome& o) {
            ++completions;
            ranInsideAbort = ranInsideAbort || insideAbort;
            outcome = o;
        });
    EXPECT_TRUE(client.uploading());
    ASSERT_TRUE(RunUntil([&] { return outcome.has_value(); }));
    QTest::qWait(50);
    EXPECT_EQ(completions, 1);
    EXPECT_FALSE(ranInsideAbort);
    EXPECT_EQ(outcome->kind, UploadOutcome::Kind::Aborted);
    EXPECT_FALSE(client.uploading());
    EXPECT_EQ(service.storedFileCount(), 0u);
}

TEST_F(FilesClientTest, NoCompletionRunsAfterTheClientIsGone)
{
    FakeAnswer slow = FakePredictionService::problem(500, "Error", "late");
    slow.delayMs = 300;
    service.scriptUploads({slow});
    service.start();
    bool ran = false;
    {
        FilesClient client(EndpointsFor(service));
        client.UploadFile(kKey, writeFile(QStringLiteral("a.mp3"), "ID3"), {},
                          [&](const UploadOutcome&) { ran = true; });
        client.CancelPrediction(kKey, QStringLiteral("p1"),
                                [&](const FilesOutcome&) { ran = true; });
        QTest::qWait(20);
    }
    QTest::qWait(500);
    EXPECT_FALSE(ran);
}

TEST_F(FilesClientTest, ADeletedFileIsGoneAndDeletingAgainFindsItGone)
{
    service.start();
    FilesClient client(EndpointsFor(service));
    const UploadOutcome outcome = upload(client, writeFile(QStringLiteral("a.mp3"), "ID3"));
    ASSERT_EQ(outcome.kind, UploadOutcome::Kind::Uploaded);
    ASSERT_EQ(service.storedFileCount(), 1u);

    EXPECT_TRUE(deleteFile(client, outcome.fileId));
    EXPECT_EQ(service.storedFileCount(), 0u);
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[1].method, "DELETE");
    EXPECT_EQ(requests[1].path, "/v1/files/" + outcome.fileId.toStdString());
    EXPECT_EQ(requests[1].header("Authorization"), "Token r8_secret");

    // The service answers 404 now; the file is no less gone.
    EXPECT_TRUE(deleteFile(client, outcome.fileId));
    EXPECT_EQ(service.requests().size(), 3u);
}

TEST_F(FilesClientTest, ADeleteThatDoesNotReachTheServiceFails)
{
    service.start();
    Endpoints refused = EndpointsFor(service);
    refused.replicateApi =
        QUrl(QStringLiteral("https://127.0.0.1:%1").arg(FakeHttpServer::closedPort()));
    FilesClient client(refused);
    EXPECT_FALSE(deleteFile(client, QStringLiteral("file1")));
}

TEST_F(FilesClientTest, AnIdentifierCannotLeadTheRequestElsewhere)
{
    service.start();
    FilesClient client(EndpointsFor(service));
    deleteFile(client, QStringLiteral("../predictions/p1?x=1"));
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "DELETE");
    EXPECT_EQ(requests[0].path.rfind("/v1/files/", 0), 0u) << requests[0].path;
    EXPECT_EQ(requests[0].query, "");
}

TEST_F(FilesClientTest, CancelAsksTheServiceAndItsPredictionIsCanceledAfterwards)
{
    service.scriptPolls("p1", {FakePredictionService::processing("p1")});
    service.start();
    FilesClient client(EndpointsFor(service));
    std::optional<FilesOutcome> outcome;
    client.CancelPrediction(kKey, QStringLiteral("p1"),
                            [&](const FilesOutcome& o) { outcome = o; });
    ASSERT_TRUE(RunUntil([&] { return outcome.has_value(); }));
    EXPECT_TRUE(outcome->answered);
    EXPECT_EQ(outcome->status, 200);
    EXPECT_EQ(QJsonDocument::fromJson(outcome->body.toUtf8()).object().value("status").toString(),
              QStringLiteral("canceled"));

    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/v1/predictions/p1/cancel");
    EXPECT_EQ(requests[0].header("Authorization"), "Token r8_secret");
    EXPECT_EQ(requests[0].body, "");

    // The next poll of the prediction answers "canceled".
    RecordingDesktop desktop;
    struct : PredictionFeedback {
        void FocusReplicateAPIKey() override {}
        void FocusReplicateAudio() override {}
        void setStatePanel(const QString&) override {}
    } feedback;
    ReplicateClient replicate(EndpointsFor(service), desktop, feedback);
    std::optional<QString> fetched;
    replicate.FetchPrediction(kKey, QStringLiteral("p1"),
                              [&](const QString& body) { fetched = body; });
    ASSERT_TRUE(RunUntil([&] { return fetched.has_value(); }));
    EXPECT_EQ(QJsonDocument::fromJson(fetched->toUtf8()).object().value("status").toString(),
              QStringLiteral("canceled"));
}

TEST_F(FilesClientTest, ARefusedCancelCarriesTheServiceDetail)
{
    service.scriptCancel("p1", FakePredictionService::problem(404, "Not found", "Not found."));
    service.start();
    FilesClient client(EndpointsFor(service));
    std::optional<FilesOutcome> outcome;
    client.CancelPrediction(kKey, QStringLiteral("p1"),
                            [&](const FilesOutcome& o) { outcome = o; });
    ASSERT_TRUE(RunUntil([&] { return outcome.has_value(); }));
    EXPECT_TRUE(outcome->answered);
    EXPECT_EQ(outcome->status, 404);
    EXPECT_EQ(outcome->detail, QStringLiteral("Not found."));
}

} // namespace
