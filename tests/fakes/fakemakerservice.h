#pragma once

#include "fakes/fakehttpserver.h"

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

// The maker's web service for tests: "/php/check2.php" and "/php/feedback.php" on
// 127.0.0.1, over HTTPS (test authority) and over plain HTTP. Each transport can be made
// to fail on its own; every post is recorded with its form fields decoded.
class FakeMakerService {
public:
    enum class Behaviour {
        Answer,     // 200 with the scripted reply
        Refuse,     // nothing listens: the connection is refused
        TimeOut,    // the request is taken and never answered (until the fake goes)
        TlsFailure, // the server's certificate is not trusted (secure transport only)
        HttpError,  // errorStatus with errorBody
        CutOff,     // cutOffStatus, the headers and half the reply, then the connection closes
        Stall,      // the headers and half the reply, then nothing more (until the fake goes)
        Slow,       // the scripted reply after delayMs
        Garbage,    // 200 with garbageBody instead of the reply
    };
    using Fields = std::vector<std::pair<std::string, std::string>>;

    struct Post {
        bool secure = false;
        RecordedRequest request;
        Fields fields; // decoded, in the order they were sent

        // The value of the first field called name, or "" when absent.
        std::string field(const std::string& name) const;
        bool hasField(const std::string& name) const;
        std::vector<std::string> names() const;
    };

    FakeMakerService();
    ~FakeMakerService();
    FakeMakerService(const FakeMakerService&) = delete;
    FakeMakerService& operator=(const FakeMakerService&) = delete;

    // Set these before start().
    Behaviour secureBehaviour = Behaviour::Answer;
    Behaviour plainBehaviour = Behaviour::Answer;
    std::string checkReply = "<version>1.3</version>\r\n<url>http://127.0.0.1:1/download</url>\r\n"
                             "<info></info>\r\n<result>1</result>\r\n";
    std::string feedbackReply = "OK";
    std::string contentType = "text/plain; charset=utf-8";
    int errorStatus = 500;
    std::string errorBody = "<html><body>Internal Server Error</body></html>";
    int cutOffStatus = 200;
    int delayMs = 500;
    std::string garbageBody = std::string("\x00\xff\xfe<version>\x01\r\n<url", 16) + "\x80\x81";
    // Changes a reply before it goes out (compression, odd headers).
    std::function<void(httplib::Response&)> shapeReply;

    void start();
    // The bases of the maker's service over each transport: "https://127.0.0.1:port" and
    // "http://127.0.0.1:port" (a closed port for a refusing transport).
    QUrl secureBase() const { return baseFor(m_secure, true); }
    QUrl plainBase() const { return baseFor(m_plain, false); }
    // A local base where nothing listens, for every other host.
    QUrl closedBase() const;
    // Every post both transports received, in order of arrival.
    std::vector<Post> posts() const;
    std::vector<Post> posts(const std::string& path) const;

    // The fields of an application/x-www-form-urlencoded body, decoded independently of
    // the program's encoder.
    static Fields DecodeForm(const std::string& body);

private:
    std::unique_ptr<FakeHttpServer> makeServer(Behaviour behaviour, bool secure);
    QUrl baseFor(const std::unique_ptr<FakeHttpServer>& server, bool secure) const;
    void handle(bool secure, Behaviour behaviour, const httplib::Request& request,
                httplib::Response& response);

    mutable std::mutex m_mutex;
    std::condition_variable m_released;
    bool m_releasing = false;
    std::vector<Post> m_posts;
    int m_closedPort = 0;
    std::unique_ptr<FakeHttpServer> m_secure;
    std::unique_ptr<FakeHttpServer> m_plain;
};
