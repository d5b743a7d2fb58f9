#include "fakes/fakemakerservice.h"

#include <chrono>
#include <stdexcept>

namespace {

int hexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

std::string decodeComponent(const std::string& text)
{
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '+') {
            out += ' ';
        } else if (c == '%' && i + 2 < text.size() && hexValue(text[i + 1]) >= 0 &&
                   hexValue(text[i + 2]) >= 0) {
            out += char(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2]));
            i += 2;
        } else {
            out += c;
        }
    }
    return out;
}

} // namespace

std::string FakeMakerService::Post::field(const std::string& name) const
{
    for (const auto& [key, value] : fields) {
        if (key == name)
            return value;
    }
    return {};
}

bool FakeMakerService::Post::hasField(const std::string& name) const
{
    for (const auto& entry : fields) {
        if (entry.first == name)
            return true;
    }
    return false;
}

std::vector<std::string> FakeMakerService::Post::names() const
{
    std::vector<std::string> result;
    for (const auto& entry : fields)
        result.push_back(entry.first);
    return result;
}

FakeMakerService::FakeMakerService() = default;

FakeMakerService::~FakeMakerService()
{
    {
        std::lock_guard lock(m_mutex);
        m_releasing = true;
    }
    m_released.notify_all();
    // The servers stop (and wait for their handlers) as the members go.
    m_secure.reset();
    m_plain.reset();
}

FakeMakerService::Fields FakeMakerService::DecodeForm(const std::string& body)
{
    Fields fields;
    if (body.empty())
        return fields;
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        if (end == std::string::npos)
            end = body.size();
        const std::string pair = body.substr(start, end - start);
        const size_t equals = pair.find('=');
        if (equals == std::string::npos)
            fields.emplace_back(decodeComponent(pair), std::string());
        else
            fields.emplace_back(decodeComponent(pair.substr(0, equals)),
                                decodeComponent(pair.substr(equals + 1)));
        start = end + 1;
    }
    return fields;
}

std::unique_ptr<FakeHttpServer> FakeMakerService::makeServer(Behaviour behaviour, bool secure)
{
    if (behaviour == Behaviour::Refuse)
        return nullptr;
    FakeHttpServer::Transport transport = FakeHttpServer::Transport::Plain;
    if (secure)
        transport = behaviour == Behaviour::TlsFailure ? FakeHttpServer::Transport::SecureUntrusted
                                                       : FakeHttpServer::Transport::Secure;
    else if (behaviour == Behaviour::TlsFailure)
        throw std::invalid_argument("a plain transport cannot fail its TLS");
    auto server = std::make_unique<FakeHttpServer>(transport);
    for (const char* path : {"/php/check2\\.php", "/php/feedback\\.php"}) {
        server->on("POST", path,
                   [this, secure, behaviour](const httplib::Request& request,
                                             httplib::Response& response) {
                       handle(secure, behaviour, request, response);
                   });
    }
    server->start();
    return server;
}

void FakeMakerService::start()
{
    m_closedPort = FakeHttpServer::closedPort();
    m_secure = makeServer(secureBehaviour, true);
    m_plain = makeServer(plainBehaviour, false);
}

void FakeMakerService::handle(bool secure, Behaviour behaviour, const httplib::Request& request,
                              httplib::Response& response)
{
    Post post;
    post.secure = secure;
    post.request.method = request.method;
    post.request.path = request.path;
    for (const auto& [name, value] : request.headers) {
        std::string lowered = name;
        for (char& c : lowered)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        post.request.headers.emplace(lowered, value);
    }
    post.request.body = request.body;
    post.fields = DecodeForm(request.body);
    {
        std::lock_guard lock(m_mutex);
        m_posts.push_back(std::move(post));
    }

    switch (behaviour) {
    case Behaviour::TimeOut: {
        std::unique_lock lock(m_mutex);
        m_released.wait_for(lock, std::chrono::seconds(30), [this] { return m_releasing; });
        response.status = 200;
        return;
    }
    case Behaviour::HttpError:
        response.status = errorStatus;
        response.set_content(errorBody, "text/html; charset=utf-8");
        break;
    case Behaviour::CutOff:
    case Behaviour::Stall: {
        const bool check = request.path == "/php/check2.php";
        const std::string reply = check ? checkReply : feedbackReply;
        response.status = behaviour == Behaviour::CutOff ? cutOffStatus : 200;
        const bool stall = behaviour == Behaviour::Stall;
        // The length announced is the whole reply's; only its first half is ever sent.
        response.set_content_provider(
            reply.size() + 2, contentType,
            [this, reply, stall](std::size_t offset, std::size_t, httplib::DataSink& sink) {
                if (offset == 0)
                    sink.write(reply.data(), reply.size() / 2 + 1);
                if (stall) {
                    std::unique_lock lock(m_mutex);
                    m_released.wait_for(lock, std::chrono::seconds(30),
                                        [this] { return m_releasing; });
                }
                return false; // the server closes the connection mid-answer
            });
        return; // shapeReply would replace the provider
    }
    case Behaviour::Slow: {
        {
            std::unique_lock lock(m_mutex);
            m_released.wait_for(lock, std::chrono::milliseconds(delayMs),
                                [this] { return m_releasing; });
        }
        const bool check = request.path == "/php/check2.php";
        response.status = 200;
        response.set_content(check ? checkReply : feedbackReply, contentType.c_str());
        break;
    }
    case Behaviour::Garbage:
        response.status = 200;
        response.set_content(garbageBody, "application/octet-stream");
        break;
    default: {
        const bool check = request.path == "/php/check2.php";
        response.status = 200;
        response.set_content(check ? checkReply : feedbackReply, contentType.c_str());
        break;
    }
    }
    if (shapeReply)
        shapeReply(response);
}

QUrl FakeMakerService::baseFor(const std::unique_ptr<FakeHttpServer>& server, bool secure) const
{
    if (server)
        return server->baseUrl();
    return QUrl(QStringLiteral("%1://127.0.0.1:%2")
                    .arg(secure ? QStringLiteral("https") : QStringLiteral("http"))
                    .arg(m_closedPort));
}

QUrl FakeMakerService::closedBase() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(m_closedPort));
}

std::vector<FakeMakerService::Post> FakeMakerService::posts() const
{
    std::lock_guard lock(m_mutex);
    return m_posts;
}

std::vector<FakeMakerService::Post> FakeMakerService::posts(const std::string& path) const
{
    std::vector<Post> result;
    for (Post& post : posts()) {
        if (post.request.path == path)
            result.push_back(std::move(post));
    }
    return result;
}
