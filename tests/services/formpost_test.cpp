// Form posts to the maker's service: the body, the two transports, the secure-then-plain
// rule and the reader of tagged reply lines.
#include "services/formpost.h"

#include "core/tlsconfiguration.h"
#include "servicetestsupport.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
#include <zlib.h>

#include <thread>

using Behaviour = FakeMakerService::Behaviour;

namespace {

constexpr int kShortTimeoutMs = 400;

QString urlOf(const QUrl& base, const char* path)
{
    return JoinUrlPath(base, QLatin1String(path)).toString();
}

std::string gzip(const std::string& text)
{
    z_stream stream{};
    // 16 + 15 window bits: a gzip wrapper around the deflate data.
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, 16 + 15, 8, Z_DEFAULT_STRATEGY);
    std::string out(text.size() + 64, '\0');
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
    stream.avail_in = uInt(text.size());
    stream.next_out = reinterpret_cast<Bytef*>(out.data());
    stream.avail_out = uInt(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

} // namespace

// ---- ReadTag ----

struct TagCase {
    const char* line;
    const char* name;
    const char* expected;
};

void PrintTo(const TagCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.line)) << " / " << c.name;
}

class ReadTagTest : public ::testing::TestWithParam<TagCase> {};

TEST_P(ReadTagTest, ReadsOnlyAnExactlyTaggedLine)
{
    const TagCase& c = GetParam();
    EXPECT_EQ(ReadTag(QString::fromUtf8(c.line), QString::fromUtf8(c.name)).toStdString(),
              c.expected)
        << "line \"" << c.line << "\", name \"" << c.name << "\"";
}

INSTANTIATE_TEST_SUITE_P(Table, ReadTagTest,
                         ::testing::Values(TagCase{"<version>1.4</version>", "version", "1.4"},
                                           TagCase{"<VERSION>1.4</VERSION>", "version", ""},
                                           TagCase{"<version>1.4</version>", "VERSION", "1.4"},
                                           TagCase{"<VERSION>1.4</VERSION>", "VERSION", ""},
                                           TagCase{" <version>1.4</version>", "version", ""},
                                           TagCase{"<version>1.4</version> ", "version", ""},
                                           TagCase{"<version> 1.4 </version>", "version", " 1.4 "},
                                           TagCase{"<version></version>", "version", ""},
                                           TagCase{"<version>", "version", ""},
                                           TagCase{"<version>1.4</url>", "version", ""},
                                           TagCase{"<url>http://a.example/d?x=<y></url>", "url",
                                                   "http://a.example/d?x=<y>"},
                                           TagCase{"<result>0</result>", "result", "0"},
                                           TagCase{"", "version", ""},
                                           TagCase{"<version>1.4</version>", "", ""},
                                           TagCase{"<vérsion>é</vérsion>", "VÉRSION", "é"}));

// ---- reply lines ----

struct LinesCase {
    const char* text;
    std::vector<std::string> lines;
};

void PrintTo(const LinesCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.text));
}

class SplitReplyLinesTest : public ::testing::TestWithParam<LinesCase> {};

TEST_P(SplitReplyLinesTest, SplitsAtEveryKindOfLineBreak)
{
    const LinesCase& c = GetParam();
    std::vector<std::string> lines;
    for (const QString& line : SplitReplyLines(QString::fromUtf8(c.text)))
        lines.push_back(line.toStdString());
    EXPECT_EQ(lines, c.lines) << "text: " << ::testing::PrintToString(std::string(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    Table, SplitReplyLinesTest,
    ::testing::Values(LinesCase{"", {}}, LinesCase{"a", {"a"}}, LinesCase{"a\r\nb", {"a", "b"}},
                      LinesCase{"a\nb\n", {"a", "b"}}, LinesCase{"a\rb\r", {"a", "b"}},
                      LinesCase{"a\r\n\r\nb", {"a", "", "b"}}, LinesCase{"a\n\rb", {"a", "", "b"}},
                      LinesCase{"\r\n", {""}}, LinesCase{"a\n\n", {"a", ""}}));

// ---- the form body ----

struct FieldCase {
    const char* line;
    const char* name;
    const char* value;
};

void PrintTo(const FieldCase& c, std::ostream* os)
{
    *os << ::testing::PrintToString(std::string(c.line));
}

class FormBodyTest : public ::testing::TestWithParam<FieldCase> {};

TEST_P(FormBodyTest, DecodesToTheNameAndValueOfTheLine)
{
    const FieldCase& c = GetParam();
    const QByteArray body = EncodeFormBody({QString::fromUtf8(c.line)});
    // What travels uses only the characters a form body may carry unescaped.
    for (const char ch : body)
        EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(ch)) || std::strchr("-._~%+=", ch))
            << "raw character '" << ch << "' in " << body.toStdString();
    const auto fields = FakeMakerService::DecodeForm(body.toStdString());
    ASSERT_EQ(fields.size(), 1u) << body.toStdString();
    EXPECT_EQ(fields[0].first, c.name);
    EXPECT_EQ(fields[0].second, c.value);
}

const FieldCase kFieldCases[] = {
    {"cmd=check", "cmd", "check"},
    {"appname=QUILLON - Parlotext", "appname", "QUILLON - Parlotext"},
    {"feedback=salt & pepper", "feedback", "salt & pepper"},
    {"feedback=a=b==c", "feedback", "a=b==c"},
    {"feedback=Grüße, señor! Ωμέγα 日本語 🙂", "feedback",
     "Grüße, señor! Ωμέγα 日本語 🙂"},
    {"email=", "email", ""},
    {"feedback=1+1 is 2, 100% sure", "feedback", "1+1 is 2, 100% sure"},
    {"feedback=I like it!\rline one\r\nline two", "feedback", "I like it!\rline one\r\nline two"},
    {"os=Debian GNU/Linux 12 (Version 6.1, Build 0, 64-bit Edition)", "os",
     "Debian GNU/Linux 12 (Version 6.1, Build 0, 64-bit Edition)"},
    {"guid=", "guid", ""},
    {"url=http://a.example/?q=x&y=z#top", "url", "http://a.example/?q=x&y=z#top"},
};

INSTANTIATE_TEST_SUITE_P(Table, FormBodyTest, ::testing::ValuesIn(kFieldCases));

TEST(FormBody, SpacesArePlusSignsAndPairsAreJoinedByAmpersands)
{
    EXPECT_EQ(EncodeFormBody({QStringLiteral("cmd=check"), QStringLiteral("feedback=a b&c=d"),
                              QStringLiteral("email=")}),
              QByteArrayLiteral("cmd=check&feedback=a+b%26c%3Dd&email="));
    EXPECT_EQ(EncodeFormBody({QStringLiteral("x=ü")}), QByteArrayLiteral("x=%C3%BC"));
    EXPECT_EQ(EncodeFormBody({}), QByteArray());
}

class FormBodyOverTheWireTest : public ::testing::TestWithParam<bool> {};

TEST_P(FormBodyOverTheWireTest, TheFakeReceivesEveryFieldInOrder)
{
    const bool secure = GetParam();
    FakeMakerService service;
    service.start();
    QStringList lines;
    for (const FieldCase& c : kFieldCases)
        lines.append(QString::fromUtf8(c.line));
    const QString url = urlOf(secure ? service.secureBase() : service.plainBase(), kFeedbackPath);
    const PostFormResult result =
        PostForm(url, lines, 5000, TlsConfigurationFor(EndpointsFor(service)));
    ASSERT_TRUE(result.succeeded) << result.error.toStdString();
    EXPECT_EQ(result.reply, QStringLiteral("OK"));
    const auto posts = service.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].secure, secure);
    ASSERT_EQ(posts[0].fields.size(), std::size(kFieldCases));
    for (size_t i = 0; i < std::size(kFieldCases); ++i) {
        EXPECT_EQ(posts[0].fields[i].first, kFieldCases[i].name);
        EXPECT_EQ(posts[0].fields[i].second, kFieldCases[i].value);
    }
}

INSTANTIATE_TEST_SUITE_P(BothTransports, FormBodyOverTheWireTest, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "Secure" : "Plain"; });

// ---- the transports ----

class PostFormTest : public ::testing::Test {
protected:
    PostFormResult post(const QString& url, int timeoutMs = 5000)
    {
        return PostForm(url, {QStringLiteral("cmd=check")}, timeoutMs,
                        TlsConfigurationFor(EndpointsFor(service)));
    }
    FakeMakerService service;
};

TEST_F(PostFormTest, SecureTransportClosesTheConnectionAndDeclaresUtf8)
{
    service.start();
    ASSERT_TRUE(post(urlOf(service.secureBase(), kUpdateCheckPath)).succeeded);
    const auto posts = service.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].request.method, "POST");
    EXPECT_EQ(posts[0].request.header("Connection"), "close");
    EXPECT_EQ(posts[0].request.header("Content-Type"),
              "application/x-www-form-urlencoded; charset=utf-8");
}

TEST_F(PostFormTest, PlainTransportSendsAPlainFormWithoutClosingTheConnection)
{
    service.start();
    ASSERT_TRUE(post(urlOf(service.plainBase(), kUpdateCheckPath)).succeeded);
    const auto posts = service.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_EQ(posts[0].request.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_NE(posts[0].request.header("Connection"), "close");
}

TEST_F(PostFormTest, ASchemeInCapitalsStillGoesOverTheSecureTransport)
{
    service.start();
    QString url = urlOf(service.secureBase(), kUpdateCheckPath);
    url.replace(0, 5, QStringLiteral("HTTPS"));
    const PostFormResult result = post(url);
    ASSERT_TRUE(result.succeeded) << result.error.toStdString();
    const auto posts = service.posts();
    ASSERT_EQ(posts.size(), 1u);
    EXPECT_TRUE(posts[0].secure);
    EXPECT_EQ(posts[0].request.header("Connection"), "close");
}

TEST_F(PostFormTest, AnHttpErrorIsAnAnswerOnTheSecureTransportAndAFailureOnThePlainOne)
{
    service.secureBehaviour = Behaviour::HttpError;
    service.plainBehaviour = Behaviour::HttpError;
    service.errorStatus = 503;
    service.start();
    const PostFormResult secure = post(urlOf(service.secureBase(), kUpdateCheckPath));
    EXPECT_TRUE(secure.succeeded);
    EXPECT_EQ(secure.reply.toStdString(), service.errorBody);
    const PostFormResult plain = post(urlOf(service.plainBase(), kUpdateCheckPath));
    EXPECT_FALSE(plain.succeeded);
    EXPECT_TRUE(plain.error.contains(QLatin1String("503"))) << plain.error.toStdString();
    EXPECT_TRUE(plain.reply.isEmpty());
}

TEST_F(PostFormTest, AGzipBodyIsUnpacked)
{
    const std::string text = "<version>2.0</version>\r\n<url></url>\r\n\r\n<result>1</result>";
    service.shapeReply = [text](httplib::Response& response) {
        response.set_content(gzip(text), "application/octet-stream");
        response.set_header("Content-Encoding", "gzip");
    };
    service.start();
    const PostFormResult result = post(urlOf(service.secureBase(), kUpdateCheckPath));
    ASSERT_TRUE(result.succeeded) << result.error.toStdString();
    EXPECT_EQ(result.reply.toStdString(), text);
}

TEST_F(PostFormTest, TheDeclaredCharacterSetIsHonouredAndUtf8IsTheDefault)
{
    service.contentType = "text/plain; charset=ISO-8859-1";
    service.checkReply = "Gr\xFC\xDF"
                         "e";
    service.feedbackReply = "Gr\xC3\xBC\xC3\x9F"
                            "e";
    service.shapeReply = [](httplib::Response& response) {
        if (response.body == "Gr\xC3\xBC\xC3\x9F"
                             "e") {
            response.headers.erase("Content-Type");
            response.set_header("Content-Type", "text/plain");
        }
    };
    service.start();
    EXPECT_EQ(post(urlOf(service.secureBase(), kUpdateCheckPath)).reply, QStringLiteral("Grüße"));
    EXPECT_EQ(post(urlOf(service.secureBase(), kFeedbackPath)).reply, QStringLiteral("Grüße"));
}

TEST_F(PostFormTest, AnUntrustedCertificateRefusedConnectionOrSilenceIsAFailure)
{
    service.secureBehaviour = Behaviour::TlsFailure;
    service.plainBehaviour = Behaviour::TimeOut;
    service.start();
    EXPECT_FALSE(post(urlOf(service.secureBase(), kUpdateCheckPath)).succeeded);
    EXPECT_FALSE(post(urlOf(service.closedBase(), kUpdateCheckPath)).succeeded);
    QElapsedTimer clock;
    clock.start();
    const PostFormResult silent =
        post(urlOf(service.plainBase(), kUpdateCheckPath), kShortTimeoutMs);
    EXPECT_FALSE(silent.succeeded);
    EXPECT_FALSE(silent.error.isEmpty());
    EXPECT_LT(clock.elapsed(), 5000); // bounded by the time-out, not by the server
}

// An answer that breaks off after its headers, on either transport and whatever its status.
struct BrokenAnswerCase {
    const char* name;
    bool secure;
    Behaviour behaviour;
    int status;
};

void PrintTo(const BrokenAnswerCase& c, std::ostream* os)
{
    *os << c.name;
}

class BrokenAnswerTest : public ::testing::TestWithParam<BrokenAnswerCase> {};

TEST_P(BrokenAnswerTest, IsAFailureAndNoPartOfItIsUsed)
{
    const BrokenAnswerCase& c = GetParam();
    FakeMakerService service;
    (c.secure ? service.secureBehaviour : service.plainBehaviour) = c.behaviour;
    service.cutOffStatus = c.status;
    service.checkReply = "<version>9.9</version>\r\n<url>http://127.0.0.1:1/x</url>\r\n"
                         "<info></info>\r\n<result>1</result>\r\n";
    service.start();
    const QUrl base = c.secure ? service.secureBase() : service.plainBase();
    const PostFormResult result =
        PostForm(urlOf(base, kUpdateCheckPath), {QStringLiteral("cmd=check")}, kShortTimeoutMs,
                 TlsConfigurationFor(EndpointsFor(service)));
    EXPECT_FALSE(result.succeeded) << result.reply.toStdString();
    EXPECT_TRUE(result.reply.isEmpty());
    EXPECT_FALSE(result.error.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Table, BrokenAnswerTest,
    ::testing::Values(BrokenAnswerCase{"SecureCutOff200", true, Behaviour::CutOff, 200},
                      BrokenAnswerCase{"SecureCutOff500", true, Behaviour::CutOff, 500},
                      BrokenAnswerCase{"SecureStalled", true, Behaviour::Stall, 200},
                      BrokenAnswerCase{"PlainCutOff200", false, Behaviour::CutOff, 200},
                      BrokenAnswerCase{"PlainCutOff203", false, Behaviour::CutOff, 203},
                      BrokenAnswerCase{"PlainStalled", false, Behaviour::Stall, 200}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(PostFormTest, AnAbortAfterTheHeadersIsAFailure)
{
    service.secureBehaviour = Behaviour::Stall;
    service.start();
    PostFormCall call(urlOf(service.secureBase(), kUpdateCheckPath), {}, 20000,
                      TlsConfigurationFor(EndpointsFor(service)));
    QSignalSpy finished(&call, &PostFormCall::finished);
    call.start();
    // Wait until the headers and the first half of the answer are in.
    ASSERT_TRUE(QTest::qWaitFor([this] { return !service.posts().empty(); }, 5000));
    QTest::qWait(100);
    call.abort();
    ASSERT_TRUE(finished.count() == 1 || finished.wait(3000));
    EXPECT_FALSE(call.result().succeeded);
    EXPECT_TRUE(call.result().reply.isEmpty());
}

TEST_F(PostFormTest, AnAbandonedPostEndsAtOnce)
{
    service.secureBehaviour = Behaviour::TimeOut;
    service.start();
    std::atomic<bool> abandon{false};
    QTimer::singleShot(100, [&abandon] { abandon.store(true); });
    QElapsedTimer clock;
    clock.start();
    const PostFormResult result = PostForm(urlOf(service.secureBase(), kUpdateCheckPath), {}, 20000,
                                           TlsConfigurationFor(EndpointsFor(service)), &abandon);
    EXPECT_FALSE(result.succeeded);
    EXPECT_LT(clock.elapsed(), 3000);
}

// ---- secure first, then plain once ----

struct RuleCase {
    Behaviour secure;
    Behaviour plain;
    bool secureFailed;
    bool succeeded;
    const char* reply; // "" when the request failed
    int securePosts;   // posts the secure fake saw
    int plainPosts;
};

std::string behaviourName(Behaviour behaviour)
{
    switch (behaviour) {
    case Behaviour::Answer:
        return "Answers";
    case Behaviour::Refuse:
        return "Refuses";
    case Behaviour::TimeOut:
        return "TimesOut";
    case Behaviour::TlsFailure:
        return "FailsTls";
    case Behaviour::HttpError:
        return "HttpError";
    case Behaviour::CutOff:
        return "CutsOff";
    case Behaviour::Stall:
        return "Stalls";
    case Behaviour::Slow:
        return "IsSlow";
    case Behaviour::Garbage:
        return "SendsGarbage";
    }
    return "Unknown";
}

class ServiceRuleTest : public ::testing::TestWithParam<std::tuple<RuleCase, bool>> {};

TEST_P(ServiceRuleTest, TriesPlainOnceAndOnlyWhenSecureFails)
{
    const auto& [c, asynchronous] = GetParam();
    FakeMakerService service;
    service.secureBehaviour = c.secure;
    service.plainBehaviour = c.plain;
    service.errorBody = "error page";
    service.feedbackReply = "OK";
    service.start();
    const ServiceEndpoint endpoint =
        MakerServiceEndpoint(EndpointsFor(service), QLatin1String(kFeedbackPath));
    const QStringList fields = {QStringLiteral("cmd=feedback"), QStringLiteral("feedback=hi")};

    ServiceOutcome outcome;
    if (asynchronous) {
        ServiceRequest request(endpoint, fields, kShortTimeoutMs);
        QSignalSpy finished(&request, &ServiceRequest::finished);
        request.start();
        ASSERT_TRUE(finished.wait(10000));
        EXPECT_EQ(finished.count(), 1);
        outcome = request.outcome();
        // Let the finished attempts release their connections before the fake stops.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    } else {
        outcome = SendToService(endpoint, fields, kShortTimeoutMs);
    }

    EXPECT_EQ(outcome.secureFailed, c.secureFailed);
    EXPECT_EQ(outcome.secureError.isEmpty(), !c.secureFailed);
    EXPECT_EQ(outcome.succeeded, c.succeeded) << outcome.error.toStdString();
    EXPECT_EQ(outcome.reply.toStdString(), c.reply);
    EXPECT_EQ(outcome.error.isEmpty(), c.succeeded);
    int securePosts = 0;
    int plainPosts = 0;
    for (const auto& post : service.posts()) {
        (post.secure ? securePosts : plainPosts)++;
        EXPECT_EQ(post.field("feedback"), "hi");
    }
    EXPECT_EQ(securePosts, c.securePosts);
    EXPECT_EQ(plainPosts, c.plainPosts);
}

INSTANTIATE_TEST_SUITE_P(
    Combinations, ServiceRuleTest,
    ::testing::Combine(
        ::testing::Values(
            RuleCase{Behaviour::Answer, Behaviour::Answer, false, true, "OK", 1, 0},
            RuleCase{Behaviour::Answer, Behaviour::Refuse, false, true, "OK", 1, 0},
            RuleCase{Behaviour::HttpError, Behaviour::Answer, false, true, "error page", 1, 0},
            RuleCase{Behaviour::Refuse, Behaviour::Answer, true, true, "OK", 0, 1},
            RuleCase{Behaviour::Refuse, Behaviour::Refuse, true, false, "", 0, 0},
            RuleCase{Behaviour::Refuse, Behaviour::HttpError, true, false, "", 0, 1},
            RuleCase{Behaviour::TimeOut, Behaviour::Answer, true, true, "OK", 1, 1},
            RuleCase{Behaviour::TimeOut, Behaviour::TimeOut, true, false, "", 1, 1},
            RuleCase{Behaviour::TlsFailure, Behaviour::Answer, true, true, "OK", 0, 1},
            RuleCase{Behaviour::TlsFailure, Behaviour::HttpError, true, false, "", 0, 1},
            // An answer cut off after its headers is no answer: the plain attempt follows.
            RuleCase{Behaviour::CutOff, Behaviour::Answer, true, true, "OK", 1, 1},
            RuleCase{Behaviour::Stall, Behaviour::Answer, true, true, "OK", 1, 1},
            RuleCase{Behaviour::CutOff, Behaviour::CutOff, true, false, "", 1, 1}),
        ::testing::Bool()),
    [](const auto& info) {
        const RuleCase& c = std::get<0>(info.param);
        return "Secure" + behaviourName(c.secure) + "Plain" + behaviourName(c.plain) +
               (std::get<1>(info.param) ? "Async" : "Blocking");
    });
