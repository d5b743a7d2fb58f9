#include "fakes/fakehttpserver.h"

#include <QFile>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <stdexcept>

#include <arpa/inet.h>
#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

std::string lowered(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    return s;
}

// cpp-httplib parses multipart bodies itself, leniently, and keeps no raw bytes of them;
// the fake reads them raw. So the request's type is hidden from the library under this
// header until the body is read, and given back to the handlers and the record.
const char* const kHiddenType = "X-Fake-Hidden-Content-Type";

void restoreContentType(httplib::Request& request)
{
    const auto hidden = request.headers.find(kHiddenType);
    if (hidden == request.headers.end())
        return;
    const std::string type = hidden->second;
    request.headers.erase(kHiddenType);
    request.headers.erase("Content-Type");
    request.headers.emplace("Content-Type", type);
}

std::string certificatePath(const char* name)
{
    return std::string(PARLOTEXT_TEST_CERTS) + "/" + name;
}

} // namespace

std::string RecordedRequest::header(const std::string& name) const
{
    const auto found = headers.find(lowered(name));
    return found == headers.end() ? std::string() : found->second;
}

FakeHttpServer::FakeHttpServer(Transport transport)
    : m_transport(transport)
{
    switch (transport) {
    case Transport::Plain:
        m_server = std::make_unique<httplib::Server>();
        break;
    case Transport::Secure:
        m_server = std::make_unique<httplib::SSLServer>(certificatePath("server.pem").c_str(),
                                                        certificatePath("server.key").c_str());
        break;
    case Transport::SecureUntrusted:
        m_server = std::make_unique<httplib::SSLServer>(certificatePath("untrusted.pem").c_str(),
                                                        certificatePath("untrusted.key").c_str());
        break;
    }
    if (!m_server->is_valid())
        throw std::runtime_error("the fake server's certificate could not be loaded");
}

FakeHttpServer::~FakeHttpServer()
{
    stop();
}

void FakeHttpServer::on(const std::string& method, const std::string& pattern, Handler handler)
{
    auto recorded = [this, handler](const httplib::Request& request, httplib::Response& response) {
        restoreContentType(const_cast<httplib::Request&>(request));
        record(request);
        handler(request, response);
    };
    if (method == "GET")
        m_server->Get(pattern, recorded);
    else if (method == "POST")
        m_server->Post(pattern, recorded);
    else if (method == "PUT")
        m_server->Put(pattern, recorded);
    else if (method == "DELETE")
        m_server->Delete(pattern, recorded);
    else
        throw std::invalid_argument("unsupported method " + method);
}

std::string FakeHttpServer::contentType(const httplib::Request& request)
{
    return request.has_header(kHiddenType) ? request.get_header_value(kHiddenType)
                                           : request.get_header_value("Content-Type");
}

void FakeHttpServer::onContent(const std::string& pattern, ContentHandler handler)
{
    m_server->Post(pattern,
                   [this, handler](const httplib::Request& request, httplib::Response& response,
                                   const httplib::ContentReader& reader) {
                       // The type comes back once the body is read: the library looks
                       // at it while reading.
                       std::string body;
                       handler(request, response, reader, body);
                       restoreContentType(const_cast<httplib::Request&>(request));
                       record(request, &body);
                   });
}

void FakeHttpServer::start()
{
    // The request object is the server's own, not a constant: the library hands it over
    // as const only by habit.
    m_server->set_pre_routing_handler([](const httplib::Request& constRequest, httplib::Response&) {
        auto& request = const_cast<httplib::Request&>(constRequest);
        if (request.is_multipart_form_data()) {
            const std::string type = request.get_header_value("Content-Type");
            request.headers.erase("Content-Type");
            request.headers.emplace("Content-Type", "application/octet-stream");
            request.headers.emplace(kHiddenType, type);
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    // Whatever no test scripted is recorded too, and answered 404.
    for (const char* method : {"GET", "POST", "PUT", "DELETE"})
        on(method, ".*",
           [](const httplib::Request&, httplib::Response& response) { response.status = 404; });
    m_port = m_server->bind_to_any_port("127.0.0.1");
    if (m_port <= 0)
        throw std::runtime_error("the fake server found no free port");
    m_thread = std::thread([this] { m_server->listen_after_bind(); });
    while (!m_server->is_running())
        std::this_thread::yield();
}

void FakeHttpServer::stop()
{
    if (m_thread.joinable()) {
        m_server->stop();
        m_thread.join();
    }
}

QUrl FakeHttpServer::baseUrl() const
{
    const char* scheme = m_transport == Transport::Plain ? "http" : "https";
    return QUrl(QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme)).arg(m_port));
}

std::vector<RecordedRequest> FakeHttpServer::requests() const
{
    std::lock_guard lock(m_mutex);
    return m_requests;
}

void FakeHttpServer::clearRequests()
{
    std::lock_guard lock(m_mutex);
    m_requests.clear();
}

void FakeHttpServer::record(const httplib::Request& request, const std::string* body)
{
    RecordedRequest entry;
    entry.method = request.method;
    entry.path = request.path;
    for (const auto& [name, value] : request.params)
        entry.query += (entry.query.empty() ? "" : "&") + name + "=" + value;
    for (const auto& [name, value] : request.headers)
        entry.headers.emplace(lowered(name), value);
    entry.body = body ? *body : request.body;
    std::lock_guard lock(m_mutex);
    m_requests.push_back(std::move(entry));
}

QByteArray FakeHttpServer::testCaCertificates()
{
    QFile file(QString::fromStdString(certificatePath("ca.pem")));
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error("the test certificate authority is missing");
    return file.readAll();
}

int FakeHttpServer::closedPort()
{
    // Bind a port, note it, and close it again: nothing listens there afterwards.
    const int handle = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ::bind(handle, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    ::getsockname(handle, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(handle);
    return ntohs(address.sin_port);
}

void FakeHttpServer::dropConnection(const httplib::Request& request) const
{
    // The handler has no handle of its connection: find the socket whose far end is the
    // request's and whose near end is this server's, and shut it down (not closed: the
    // library still owns the handle and closes it itself).
    DIR* folder = ::opendir("/proc/self/fd");
    if (!folder)
        return;
    while (const dirent* entry = ::readdir(folder)) {
        const int handle = std::atoi(entry->d_name);
        if (handle <= 2)
            continue;
        sockaddr_in near{};
        sockaddr_in far{};
        socklen_t nearLength = sizeof near;
        socklen_t farLength = sizeof far;
        if (::getsockname(handle, reinterpret_cast<sockaddr*>(&near), &nearLength) != 0 ||
            ::getpeername(handle, reinterpret_cast<sockaddr*>(&far), &farLength) != 0 ||
            near.sin_family != AF_INET)
            continue;
        if (ntohs(near.sin_port) == m_port && ntohs(far.sin_port) == request.remote_port) {
            // Unread bytes make the close a reset, as a crashed or cut-off server's would.
            linger hard{1, 0};
            ::setsockopt(handle, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
            ::shutdown(handle, SHUT_RDWR);
        }
    }
    ::closedir(folder);
}
