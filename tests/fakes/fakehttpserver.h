#pragma once

#include <QByteArray>
#include <QUrl>

#include <httplib.h>

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// One request as the fake received it.
struct RecordedRequest {
    std::string method;
    std::string path;
    std::string query;
    std::multimap<std::string, std::string> headers; // names lower-cased
    std::string body;

    // The first value of a header (name in any case), or "" when absent.
    std::string header(const std::string& name) const;
};

// A web server on 127.0.0.1 for tests: plain HTTP, or HTTPS with a certificate of the test
// authority (trusted by clients given testCaCertificates()) or a self-signed one that no
// client trusts. Routes are scripted per test; every request is recorded before its
// handler runs, and anything unscripted is answered 404.
class FakeHttpServer {
public:
    enum class Transport { Plain, Secure, SecureUntrusted };
    using Handler = std::function<void(const httplib::Request&, httplib::Response&)>;
    // A handler that reads the body itself, piece by piece, and says what of it to record.
    using ContentHandler =
        std::function<void(const httplib::Request&, httplib::Response&,
                           const httplib::ContentReader&, std::string& recordedBody)>;

    explicit FakeHttpServer(Transport transport);
    ~FakeHttpServer();
    FakeHttpServer(const FakeHttpServer&) = delete;
    FakeHttpServer& operator=(const FakeHttpServer&) = delete;

    // Scripts a route; pattern is a regular expression over the path. Before start().
    void on(const std::string& method, const std::string& pattern, Handler handler);
    // Scripts a POST route whose handler reads the body as it arrives (large uploads). Its
    // request is recorded once the handler is done, with the body the handler chose.
    // Multipart bodies reach it unparsed, exactly as sent.
    void onContent(const std::string& pattern, ContentHandler handler);
    // The request's Content-Type as the client sent it (inside such a handler too).
    static std::string contentType(const httplib::Request& request);
    // Binds a free port and serves on a thread of its own.
    void start();
    // Stops serving; the destructor does it too.
    void stop();

    // "http://127.0.0.1:port" or "https://127.0.0.1:port".
    QUrl baseUrl() const;
    int port() const { return m_port; }
    std::vector<RecordedRequest> requests() const;
    void clearRequests();

    // The PEM of the test certificate authority.
    static QByteArray testCaCertificates();
    // A free port on 127.0.0.1 where nothing listens (connections are refused).
    static int closedPort();
    // Cuts the connection the request came on, at once, from inside its handler: the
    // client sees the connection drop, with no answer.
    void dropConnection(const httplib::Request& request) const;

private:
    void record(const httplib::Request& request, const std::string* body = nullptr);

    Transport m_transport;
    std::unique_ptr<httplib::Server> m_server;
    std::thread m_thread;
    int m_port = 0;
    mutable std::mutex m_mutex;
    std::vector<RecordedRequest> m_requests;
};
