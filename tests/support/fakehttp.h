// A small HTTP/1.1 server inside the test process, for the tests of the internet service and of
// the online services above it: the replies a real server gives, and the faults no packaged
// server gives on cue (a stall after the headers, a body cut off, an endless body, a trickle, a
// connection closed without an answer).
//
//   testing_support::FakeHttpServer server;
//   server.Answer("/score", FakeReply::Text(200, "ok"));
//   ... fetch server.Url("/score?x=1") ...
//   server.Requests()[0].body
//
// It binds 127.0.0.1 only, on a port the system picks, and never reaches out. A listening thread
// accepts; each connection is served on a thread of its own, one request per connection, and
// closed after the reply. Every request is recorded (method, target, headers, body bytes). Paths
// without a script are answered 404. The destructor cuts every connection and joins every thread.
//
// A TLS mode serves https with a certificate the test makes (support/testcert.h).
//
// Any thread may call the server's methods.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <list>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testing_support {

using HeaderList = std::vector<std::pair<std::string, std::string>>;

struct RecordedRequest {
    std::string method;
    std::string target;  // as sent: the path and the query
    std::string path;    // without the query
    HeaderList headers;
    std::string body;
    // Bytes of the reply the server wrote (headers included), once the reply has ended.
    size_t bytesSent = 0;

    // The first header of that name (in any case); empty when there is none.
    std::string Header(const std::string& name) const;
    bool HasHeader(const std::string& name) const;
};

// How the server answers one request.
struct FakeReply {
    enum class Kind {
        kWhole,               // status, headers and the body with its Content-Length
        kChunked,             // the body in chunks of chunkSize
        kStallAfterHeaders,   // headers announcing a body, then nothing until the client leaves
        kCutBody,             // the Content-Length of the whole body, then cutAfter bytes of it
        kHugeBody,            // hugeSize bytes of HugeBodyByte, with their Content-Length
        kTrickle,             // the body one byte at a time, trickleMs apart
        kCloseWithoutAnswer,  // the request read, then the connection closed
    };

    Kind kind = Kind::kWhole;
    int status = 200;
    HeaderList headers;
    std::string body;
    size_t chunkSize = 0;
    size_t cutAfter = 0;
    size_t hugeSize = 0;
    int trickleMs = 0;

    static FakeReply Text(int status, std::string body, std::string contentType = "text/plain");
    static FakeReply Chunked(std::string body, size_t chunkSize);
    static FakeReply StallAfterHeaders();
    static FakeReply CutBody(std::string body, size_t cutAfter);
    static FakeReply Huge(size_t size);
    static FakeReply Trickle(std::string body, int intervalMs);
    // A redirect (301, 302, 303, 307, 308) to the location, with a short body.
    static FakeReply Redirect(int status, std::string location);
    static FakeReply CloseWithoutAnswer();
};

// The bytes of a huge body: a repeating alphabet, so that a reader can check any stretch.
char HugeBodyByte(size_t offset);
std::string HugeBody(size_t size);

class FakeHttpServer {
public:
    struct Options {
        bool tls = false;
        // PEM texts, for tls.
        std::string certificatePem;
        std::string keyPem;
    };

    FakeHttpServer();
    explicit FakeHttpServer(Options options);
    ~FakeHttpServer();
    FakeHttpServer(const FakeHttpServer&) = delete;
    FakeHttpServer& operator=(const FakeHttpServer&) = delete;

    // False when it could not listen (or, in TLS mode, use the certificate).
    bool IsRunning() const { return mListener >= 0; }
    int Port() const { return mPort; }
    // "http://127.0.0.1:<port>" (https in TLS mode) followed by the path.
    std::string Url(const std::string& path) const;

    // Every later request for the path (its query ignored) gets this reply.
    void Answer(const std::string& path, FakeReply reply);

    std::vector<RecordedRequest> Requests() const;
    // Waits until the server has recorded `count` requests; false on timeout.
    bool WaitForRequests(size_t count, std::chrono::milliseconds timeout) const;
    // Waits until every connection accepted so far has ended; false on timeout.
    bool WaitUntilIdle(std::chrono::milliseconds timeout) const;

private:
    struct Connection;
    class Channel;

    void Listen();
    void Serve(Connection* connection);
    // Reads one request; false when the client sent none.
    bool ReadRequest(Channel& channel, RecordedRequest* request);
    // Writes the reply; answers the bytes written.
    size_t Reply(Channel& channel, const FakeReply& reply);
    // Waits up to `ms` (negative: without end) for the client to leave or the server to stop;
    // true when either happened.
    bool ClientLeftOrStopped(int fd, int ms) const;
    // Shared, so that a large body is not copied for each request.
    std::shared_ptr<const FakeReply> ScriptFor(const std::string& path) const;

    Options mOptions;
    void* mTls = nullptr;  // the TLS context (SSL_CTX), in TLS mode
    int mListener = -1;
    int mPort = 0;
    int mStop = -1;  // an event descriptor, readable once the server stops
    std::thread mListening;

    mutable std::mutex mMutex;
    mutable std::condition_variable mChanged;
    std::map<std::string, std::shared_ptr<const FakeReply>> mScript;
    std::vector<RecordedRequest> mRequests;
    std::list<std::unique_ptr<Connection>> mConnections;
    int mActive = 0;
};

// A port on 127.0.0.1 where nothing listens.
int ClosedPort();

}  // namespace testing_support
