#include "transcription/replicateclient.h"

#include "core/networkclientrelease.h"

#include "support/recordingdesktop.h"
#include "transcriptiontesting.h"

#include <QJsonDocument>
#include <QNetworkAccessManager>
#include <QThread>

#include <atomic>
#include <optional>

#include <gtest/gtest.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

const QString kVersion =
    QStringLiteral("7f686e243a96c7f6f0f481bcef24d688a1369ed3983cea348d1f43b879615766");

// Records the focus moves and panel texts into one log with the boxes, so the order shows.
class RecordingFeedback final : public PredictionFeedback {
public:
    explicit RecordingFeedback(QStringList& log)
        : m_log(log)
    {
    }
    void FocusReplicateAPIKey() override { m_log << QStringLiteral("focus key"); }
    void FocusReplicateAudio() override { m_log << QStringLiteral("focus audio"); }
    void setStatePanel(const QString& text) override { m_log << QStringLiteral("panel ") + text; }

private:
    QStringList& m_log;
};

class ClientTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        desktop.onMessage = [this](const RecordingDesktop::Message& message) {
            log << QStringLiteral("box ") + message.title;
        };
    }

    void startService() { service.start(); }

    std::unique_ptr<ReplicateClient> makeClient(Endpoints endpoints, RequestTimeouts timeouts = {})
    {
        return std::make_unique<ReplicateClient>(std::move(endpoints), desktop, feedback, timeouts);
    }

    TReplicateResponse create(ReplicateClient& client,
                              const QString& url = QStringLiteral("https://files.example/talk.mp3"),
                              const QString& key = QStringLiteral("r8_secret"))
    {
        std::optional<TReplicateResponse> result;
        client.CreatePrediction(key, kVersion, url, QStringLiteral("base"), QStringLiteral("vtt"),
                                [&](const TReplicateResponse& response) { result = response; });
        EXPECT_TRUE(WaitFor([&] { return result.has_value(); }));
        return result.value_or(TReplicateResponse{});
    }

    TReplicateResponse create(const QString& url = QStringLiteral("https://files.example/talk.mp3"))
    {
        auto client = makeClient(EndpointsFor(service));
        return create(*client, url);
    }

    QString fetch(ReplicateClient& client, const QString& id)
    {
        std::optional<QString> result;
        client.FetchPrediction(QStringLiteral("r8_secret"), id,
                               [&](const QString& answer) { result = answer; });
        EXPECT_TRUE(WaitFor([&] { return result.has_value(); }));
        return result.value_or(QStringLiteral("<no answer>"));
    }

    QString fetch(const QString& id)
    {
        auto client = makeClient(EndpointsFor(service));
        return fetch(*client, id);
    }

    FakePredictionService service;
    RecordingDesktop desktop;
    QStringList log;
    RecordingFeedback feedback{log};
};

TEST_F(ClientTest, CreateSendsTheExactBodyAndHeaders)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    startService();
    create();
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].path, "/v1/predictions");
    EXPECT_EQ(requests[0].header("Authorization"), "Token r8_secret");
    EXPECT_EQ(requests[0].header("Content-Type"), "application/json");
    EXPECT_EQ(requests[0].headers.count("content-type"), 1u);
    EXPECT_EQ(requests[0].headers.count("authorization"), 1u);
    EXPECT_EQ(requests[0].body,
              "{\"version\": \"7f686e243a96c7f6f0f481bcef24d688a1369ed3983cea348d1f43b879615766\", "
              "\"input\": {\"audio_path\": \"https://files.example/talk.mp3\", \"model_name\": "
              "\"base\", \"format\": \"vtt\"}}");
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(ClientTest, AnAddressWithJsonSpecialCharactersStillSendsValidJson)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    startService();
    const QString url = QStringLiteral("  https://files.example/a \"b\"\\c\td\ne\x01/Grüße.mp3 ");
    create(url);
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    QJsonParseError error{};
    const QJsonDocument body =
        QJsonDocument::fromJson(QByteArray::fromStdString(requests[0].body), &error);
    ASSERT_EQ(error.error, QJsonParseError::NoError) << requests[0].body;
    // The address arrives as typed: neither trimmed nor changed.
    EXPECT_EQ(body["input"]["audio_path"].toString(), url);
    EXPECT_NE(requests[0].body.find(R"(a \"b\"\\c\td\ne\u0001/Grüße.mp3 ")"), std::string::npos)
        << requests[0].body;
}

TEST(CreatePredictionBody, IsTheFixedTemplateForOrdinaryValues)
{
    EXPECT_EQ(
        CreatePredictionBody(QStringLiteral("v"),
                             QStringLiteral("https://x.example/a b.mp3?q=1&r=ü"),
                             QStringLiteral("base"), QStringLiteral("srt")),
        QByteArray("{\"version\": \"v\", \"input\": {\"audio_path\": \"https://x.example/a "
                   "b.mp3?q=1&r=\xC3\xBC\", \"model_name\": \"base\", \"format\": \"srt\"}}"));
}

struct StatusRow {
    int status;
    const char* focus; // the log entry of the focus move, or "" for none
    QString message;
    bool keepsBody;
};

void PrintTo(const StatusRow& row, std::ostream* os)
{
    *os << row.status;
}

class CreateStatusTest : public ClientTest, public ::testing::WithParamInterface<StatusRow> {};

TEST_P(CreateStatusTest, ReportsTheRefusalInOrder)
{
    const StatusRow& row = GetParam();
    FakeAnswer answer =
        FakePredictionService::problem(row.status, "Refused", "Refused for the test");
    answer.body += "\r\n";
    service.scriptCreate({answer});
    startService();
    const TReplicateResponse response = create();

    QStringList expected;
    if (*row.focus)
        expected << QString::fromLatin1(row.focus);
    expected << QStringLiteral("panel Failed") << QStringLiteral("box WARNING");
    EXPECT_EQ(log, expected);
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].text, row.message);
    EXPECT_EQ(desktop.messages[0].icon, MessageIcon::Warning);
    EXPECT_TRUE(response.FStatus.isEmpty());
    EXPECT_TRUE(response.FID.isEmpty());
    const QString trimmedBody = QString::fromStdString(answer.body).trimmed();
    EXPECT_EQ(response.FResponse, row.keepsBody ? trimmedBody : QString());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CreateStatusTest,
    ::testing::Values(
        StatusRow{400, "focus audio",
                  QStringLiteral("HTTP response code: 400 (Bad Request)\r\rCheck parameters!"),
                  false},
        StatusRow{401, "focus key",
                  QStringLiteral("HTTP response code: 401 (Unauthorized)\r\rInvalid API Key!"),
                  false},
        StatusRow{402, "",
                  QStringLiteral(
                      "HTTP response code: 402 (Payment Required)\r\rManage Billing in Replicate!"),
                  false},
        StatusRow{422, "focus audio",
                  QStringLiteral("HTTP response code: 422 (Unprocessable Content)\r\rCheck URL!"),
                  false},
        StatusRow{200, "", QStringLiteral("HTTP response code: 200"), true},
        StatusRow{404, "", QStringLiteral("HTTP response code: 404"), true},
        StatusRow{429, "", QStringLiteral("HTTP response code: 429"), true},
        StatusRow{500, "", QStringLiteral("HTTP response code: 500"), true},
        StatusRow{503, "", QStringLiteral("HTTP response code: 503"), true}));

TEST_F(ClientTest, A200PredictionIsNotASuccess)
{
    service.scriptCreate({FakePredictionService::prediction("p1", "starting", 200)});
    startService();
    const TReplicateResponse response = create();
    EXPECT_EQ(log, QStringList({"panel Failed", "box WARNING"}));
    EXPECT_EQ(desktop.messages.value(0).text, QStringLiteral("HTTP response code: 200"));
    EXPECT_TRUE(response.FStatus.isEmpty());
    EXPECT_TRUE(response.FID.isEmpty());
    EXPECT_TRUE(response.FResponse.contains(QStringLiteral("\"id\":\"p1\"")));
}

QString Utf8TrimmedForTest(const std::string& body)
{
    QString text = QString::fromStdString(body);
    while (!text.isEmpty() && text.back().unicode() <= 0x20)
        text.chop(1);
    return text;
}

struct CreatedCase {
    const char* name;
    FakeAnswer answer;
    QString status;
    QString id;
};

void PrintTo(const CreatedCase& c, std::ostream* os)
{
    *os << c.name;
}

class CreatedTest : public ClientTest, public ::testing::WithParamInterface<CreatedCase> {};

TEST_P(CreatedTest, ParsesStatusAndIdentifierWithoutAnyMessage)
{
    const CreatedCase& c = GetParam();
    service.scriptCreate({c.answer});
    startService();
    const TReplicateResponse response = create();
    EXPECT_EQ(response.FStatus, c.status);
    EXPECT_EQ(response.FID, c.id);
    EXPECT_EQ(response.FResponse, Utf8TrimmedForTest(c.answer.body));
    EXPECT_TRUE(desktop.messages.isEmpty());
    EXPECT_TRUE(log.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, CreatedTest,
    ::testing::Values(
        CreatedCase{"starting", FakePredictionService::starting("hdwst0bb05"), "starting",
                    "hdwst0bb05"},
        CreatedCase{"capitals lowered",
                    FakePredictionService::raw(201, "application/json",
                                               R"({"id":"X1","status":"Starting"})"),
                    "starting", "X1"},
        CreatedCase{
            "non-ASCII capitals kept",
            FakePredictionService::raw(201, "application/json", R"({"id":"x","status":"ÄRGER"})"),
            "Ärger", "x"},
        CreatedCase{"trailing line break trimmed",
                    FakePredictionService::raw(201, "application/json",
                                               "{\"id\":\"a\",\"status\":\"starting\"}\r\n\r\n"),
                    "starting", "a"},
        CreatedCase{"not JSON", FakePredictionService::raw(201, "text/plain", "Created"), "", ""},
        CreatedCase{"html page", FakePredictionService::htmlPage(201, "Created"), "", ""},
        CreatedCase{"JSON but not an object",
                    FakePredictionService::raw(201, "application/json", R"(["starting","p1"])"), "",
                    ""},
        CreatedCase{"no identifier",
                    FakePredictionService::raw(201, "application/json", R"({"status":"starting"})"),
                    "starting", ""},
        CreatedCase{"no status",
                    FakePredictionService::raw(201, "application/json", R"({"id":"p9"})"), "",
                    "p9"},
        CreatedCase{
            "numeric identifier",
            FakePredictionService::raw(201, "application/json", R"({"id":12,"status":null})"), "",
            "12"}));

TEST_F(ClientTest, ARefusedConnectionIsATransportFailure)
{
    Endpoints endpoints = EndpointsFor(service);
    endpoints.replicateApi =
        QUrl(QStringLiteral("https://127.0.0.1:%1").arg(FakeHttpServer::closedPort()));
    auto client = makeClient(endpoints);
    const TReplicateResponse response = create(*client);
    EXPECT_EQ(log, QStringList({"panel Failed", "box ERROR"}));
    EXPECT_EQ(desktop.messages.value(0).text, QStringLiteral("Connection refused"));
    EXPECT_EQ(desktop.messages.value(0).icon, MessageIcon::Error);
    EXPECT_TRUE(response.FResponse.isEmpty());
    EXPECT_TRUE(response.FStatus.isEmpty());
}

TEST_F(ClientTest, TheWholeFetchAnswerIsHandedOverWithoutABox)
{
    FakeAnswer throttled =
        FakePredictionService::problem(429, "Request was throttled", "Expected in 3 seconds.");
    throttled.headers.emplace("Retry-After", "3");
    service.scriptPolls("p1", {throttled});
    startService();
    auto client = makeClient(EndpointsFor(service));
    std::optional<FetchAnswer> answer;
    client->FetchPredictionAnswer("r8_secret", "p1", [&](const FetchAnswer& a) { answer = a; });
    ASSERT_TRUE(WaitFor([&] { return answer.has_value(); }));
    EXPECT_TRUE(answer->answered);
    EXPECT_EQ(answer->status, 429);
    EXPECT_EQ(answer->retryAfter, QByteArray("3"));
    EXPECT_TRUE(answer->contentType.startsWith("application/problem+json"));
    EXPECT_TRUE(answer->body.contains(QStringLiteral("Expected in 3 seconds.")));

    // A refused connection: the failure's message, and still no box.
    Endpoints closed = EndpointsFor(service);
    closed.replicateApi =
        QUrl(QStringLiteral("https://127.0.0.1:%1").arg(FakeHttpServer::closedPort()));
    auto unreachable = makeClient(closed);
    answer.reset();
    unreachable->FetchPredictionAnswer("r8_secret", "p1",
                                       [&](const FetchAnswer& a) { answer = a; });
    ASSERT_TRUE(WaitFor([&] { return answer.has_value(); }));
    EXPECT_FALSE(answer->answered);
    EXPECT_EQ(answer->failure, QStringLiteral("Connection refused"));
    EXPECT_EQ(ClassifyFetch(*answer), FetchVerdict::Transient);
    EXPECT_TRUE(desktop.messages.isEmpty());
}

// Freeing a network client waits for its network thread; a finished request's client is
// freed on another thread, so that the window never waits for that.
TEST_F(ClientTest, AFinishedRequestsNetworkClientIsFreedAwayFromThisThread)
{
    service.scriptPolls("p1", {FakePredictionService::processing("p1")});
    startService();
    auto client = makeClient(EndpointsFor(service));
    std::optional<FetchAnswer> answer;
    client->FetchPredictionAnswer("r8_secret", "p1", [&](const FetchAnswer& a) { answer = a; });
    auto* manager = client->findChild<QNetworkAccessManager*>();
    ASSERT_NE(manager, nullptr);
    std::atomic<QThread*> freedOn = nullptr;
    QObject::connect(
        manager, &QObject::destroyed, manager, [&freedOn] { freedOn = QThread::currentThread(); },
        Qt::DirectConnection);
    ASSERT_TRUE(WaitFor([&] { return answer.has_value() && freedOn.load() != nullptr; }));
    EXPECT_EQ(answer->status, 200);
    EXPECT_NE(freedOn.load(), QThread::currentThread());
    EXPECT_EQ(client->findChild<QNetworkAccessManager*>(), nullptr);
}

TEST(NetworkClientRelease, AClientFreedWithItsOwnerFirstIsLeftAlone)
{
    auto owner = std::make_unique<QObject>();
    auto* manager = new QNetworkAccessManager(owner.get());
    bool freed = false;
    QObject::connect(manager, &QObject::destroyed, [&freed] { freed = true; });
    ReleaseNetworkClient(manager);
    owner.reset(); // before control is back in the event loop
    EXPECT_TRUE(freed);
    // The release that was asked for finds nothing left to free.
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents();
}

TEST(ClientTls, AnUntrustedCertificateIsRefused)
{
    FakePredictionService untrusted(FakeHttpServer::Transport::SecureUntrusted);
    untrusted.scriptCreate({FakePredictionService::starting("p1")});
    untrusted.scriptPolls("p1", {FakePredictionService::processing("p1")});
    untrusted.start();
    RecordingDesktop desktop;
    QStringList log;
    RecordingFeedback feedback(log);
    ReplicateClient client(EndpointsFor(untrusted), desktop, feedback);

    std::optional<TReplicateResponse> created;
    client.CreatePrediction("k", kVersion, "u", "base", "vtt",
                            [&](const TReplicateResponse& r) { created = r; });
    ASSERT_TRUE(WaitFor([&] { return created.has_value(); }));
    EXPECT_TRUE(created->FStatus.isEmpty());
    EXPECT_EQ(log, QStringList({"panel Failed"}));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("ERROR"));
    EXPECT_TRUE(desktop.messages[0].text.contains(QStringLiteral("SSL")))
        << desktop.messages[0].text.toStdString();

    std::optional<QString> fetched;
    client.FetchPrediction("k", "p1", [&](const QString& answer) { fetched = answer; });
    ASSERT_TRUE(WaitFor([&] { return fetched.has_value(); }));
    EXPECT_EQ(*fetched, QStringLiteral("!!!ERROR!!!"));
    // The handshake failed before any request was sent.
    EXPECT_TRUE(untrusted.requests().empty());
}

TEST_F(ClientTest, ASlowAnswerEndsAtTheResponseTimeOut)
{
    FakeAnswer slow = FakePredictionService::starting("p1");
    slow.delayMs = 1500;
    service.scriptCreate({slow});
    startService();
    auto client = makeClient(EndpointsFor(service), {10000, 200});
    const TReplicateResponse response = create(*client);
    EXPECT_EQ(log, QStringList({"panel Failed", "box ERROR"}));
    EXPECT_EQ(desktop.messages.value(0).text,
              QStringLiteral("The server 127.0.0.1 did not answer in time."));
    EXPECT_TRUE(response.FStatus.isEmpty());
}

TEST_F(ClientTest, AServerThatNeverCompletesTheConnectionEndsAtTheConnectionTimeOut)
{
    // A socket that listens but never answers: the TLS handshake never completes.
    const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(::listen(listener, 4), 0);
    socklen_t length = sizeof address;
    ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length);

    Endpoints endpoints = EndpointsFor(service);
    endpoints.replicateApi =
        QUrl(QStringLiteral("https://127.0.0.1:%1").arg(ntohs(address.sin_port)));
    auto client = makeClient(endpoints, {200, 600000});
    const QString answer = fetch(*client, QStringLiteral("p1"));
    ::close(listener);
    EXPECT_EQ(answer, QStringLiteral("!!!ERROR!!!"));
    EXPECT_EQ(desktop.messages.value(0).text,
              QStringLiteral("The connection to 127.0.0.1 timed out."));
}

TEST_F(ClientTest, ADroppedConnectionIsATransportFailure)
{
    FakeAnswer dropped = FakePredictionService::processing("p1");
    dropped.dropConnection = true;
    service.scriptPolls("p1", {dropped});
    startService();
    EXPECT_EQ(fetch(QStringLiteral("p1")), QStringLiteral("!!!ERROR!!!"));
    ASSERT_EQ(desktop.messages.size(), 1);
    EXPECT_EQ(desktop.messages[0].title, QStringLiteral("ERROR"));
    EXPECT_FALSE(desktop.messages[0].text.isEmpty());
    EXPECT_TRUE(log == QStringList({"box ERROR"}));
}

TEST_F(ClientTest, ARedirectDoesNotTakeTheKeyToAnotherHost)
{
    FakePredictionService elsewhere;
    elsewhere.scriptCreate({FakePredictionService::starting("p1")});
    elsewhere.start();
    FakeAnswer redirect = FakePredictionService::raw(307, "text/plain", "Moved");
    redirect.headers.emplace("Location",
                             elsewhere.baseUrl().toString().toStdString() + "/v1/predictions");
    service.scriptCreate({redirect});
    startService();
    const TReplicateResponse response = create();
    EXPECT_TRUE(elsewhere.requests().empty());
    EXPECT_EQ(log, QStringList({"panel Failed", "box ERROR"}));
    EXPECT_TRUE(response.FID.isEmpty());
}

TEST_F(ClientTest, FetchGetsThePredictionWithTheKey)
{
    FakeAnswer answer = FakePredictionService::processing("p1");
    answer.body = "\r\n " + answer.body + "\n";
    service.scriptPolls("p1", {answer});
    startService();
    const QString fetched = fetch(QStringLiteral("p1"));
    EXPECT_EQ(fetched, QString::fromStdString(answer.body).trimmed());
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].path, "/v1/predictions/p1");
    EXPECT_EQ(requests[0].header("Authorization"), "Token r8_secret");
    EXPECT_EQ(requests[0].header("Content-Type"), "");
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(ClientTest, FetchHandsBackErrorBodiesWithoutAMessage)
{
    service.scriptPolls("throttled",
                        {FakePredictionService::problem(429, "Request was throttled",
                                                        "Expected available in 1 second.")});
    startService();
    EXPECT_EQ(fetch(QStringLiteral("unknown")), QStringLiteral("{\"detail\":\"Not found.\"}"));
    EXPECT_TRUE(
        fetch(QStringLiteral("throttled")).contains(QStringLiteral("Request was throttled")));
    EXPECT_TRUE(desktop.messages.isEmpty());
}

TEST_F(ClientTest, AnswersAreDecodedByTheirDeclaredCharacterSet)
{
    service.scriptPolls(
        "latin1", {FakePredictionService::raw(200, "text/plain; charset=ISO-8859-1", "\xC4rger")});
    service.scriptPolls("quoted", {FakePredictionService::raw(200, "text/plain; charset=\"utf-8\"",
                                                              "\xC3\x84rger")});
    service.scriptPolls("none", {FakePredictionService::raw(200, "text/plain", "\xC3\x84rger")});
    service.scriptPolls("utf16", {FakePredictionService::raw(200, "text/plain;charset=UTF-16LE",
                                                             std::string("\xC4\x00r\x00", 4))});
    // Answers of a megabyte and more are decoded on a worker thread, the same way.
    const int copies = 300000;
    std::string latin1;
    std::string utf8;
    for (int i = 0; i < copies; ++i) {
        latin1 += "\xC4rger";
        utf8 += "\xC3\x84rger";
    }
    service.scriptPolls("large latin1", {FakePredictionService::raw(
                                            200, "text/plain; charset=ISO-8859-1", latin1)});
    service.scriptPolls("large", {FakePredictionService::raw(200, "application/json", utf8)});
    startService();
    EXPECT_EQ(fetch(QStringLiteral("latin1")), QStringLiteral("Ärger"));
    EXPECT_EQ(fetch(QStringLiteral("quoted")), QStringLiteral("Ärger"));
    EXPECT_EQ(fetch(QStringLiteral("none")), QStringLiteral("Ärger"));
    EXPECT_EQ(fetch(QStringLiteral("utf16")), QStringLiteral("Är"));
    EXPECT_EQ(fetch(QStringLiteral("large latin1")), QStringLiteral("Ärger").repeated(copies));
    EXPECT_EQ(fetch(QStringLiteral("large")), QStringLiteral("Ärger").repeated(copies));
}

TEST_F(ClientTest, AKeyCannotAddHeaders)
{
    service.scriptCreate({FakePredictionService::starting("p1")});
    startService();
    auto client = makeClient(EndpointsFor(service));
    create(*client, QStringLiteral("u"), QStringLiteral("r8_a\r\nX-Injected: 1"));
    const auto requests = service.requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].header("X-Injected"), "");
    EXPECT_EQ(requests[0].header("Authorization"), "Token r8_aX-Injected: 1");
}

struct JsonStringCase {
    const char* json;
    bool found;
    QString text;
};

class TryGetJsonStringTest : public ::testing::TestWithParam<JsonStringCase> {};

TEST_P(TryGetJsonStringTest, ConvertsTheMember)
{
    const JsonStringCase& c = GetParam();
    const QJsonObject object = QJsonDocument::fromJson(c.json).object();
    QString text = QStringLiteral("stale");
    EXPECT_EQ(TryGetJsonString(object, QStringLiteral("status"), text), c.found) << c.json;
    EXPECT_EQ(text, c.text) << c.json;
}

INSTANTIATE_TEST_SUITE_P(
    Table, TryGetJsonStringTest,
    ::testing::Values(JsonStringCase{R"({"status":"succeeded"})", true, "succeeded"},
                      JsonStringCase{R"({"status":"a\"b\nc\u00e9"})", true, "a\"b\nc\u00e9"},
                      JsonStringCase{R"({"status":""})", true, ""},
                      JsonStringCase{R"({"status":429})", true, "429"},
                      JsonStringCase{R"({"status":1.25})", true, "1.25"},
                      JsonStringCase{R"({"status":true})", true, "true"},
                      JsonStringCase{R"({"status":null})", false, ""},
                      JsonStringCase{R"({"status":{"a":1}})", false, ""},
                      JsonStringCase{R"({"status":[1]})", false, ""},
                      JsonStringCase{R"({"Status":"x"})", false, ""},
                      JsonStringCase{R"({})", false, ""}));

} // namespace
