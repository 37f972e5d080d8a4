#include "support/fakehttp.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/ssl.h>
#include <poll.h>
#include <pthread.h>
#include <signal.h>
#include <strings.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace testing_support {
namespace {

// Limits on what a client may send, so that a faulty client cannot fill the test's memory.
constexpr size_t kMaxHead = 64 * 1024;
constexpr size_t kMaxBody = 64 * 1024 * 1024;
// The alphabet repeated a whole number of times, so that every block of a huge body is the same.
constexpr size_t kHugeBlock = 26 * 2048;

const char* ReasonOf(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 303:
            return "See Other";
        case 307:
            return "Temporary Redirect";
        case 308:
            return "Permanent Redirect";
        case 404:
            return "Not Found";
        case 500:
            return "Internal Server Error";
        default:
            return "Reply";
    }
}

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

SSL_CTX* MakeTlsContext(const std::string& certificatePem, const std::string& keyPem) {
    SSL_CTX* context = SSL_CTX_new(TLS_server_method());
    if (context == nullptr) return nullptr;
    BIO* certificateText =
        BIO_new_mem_buf(certificatePem.data(), static_cast<int>(certificatePem.size()));
    BIO* keyText = BIO_new_mem_buf(keyPem.data(), static_cast<int>(keyPem.size()));
    X509* certificate = PEM_read_bio_X509(certificateText, nullptr, nullptr, nullptr);
    EVP_PKEY* key = PEM_read_bio_PrivateKey(keyText, nullptr, nullptr, nullptr);
    bool ok = certificate != nullptr && key != nullptr &&
              SSL_CTX_use_certificate(context, certificate) == 1 &&
              SSL_CTX_use_PrivateKey(context, key) == 1;
    X509_free(certificate);
    EVP_PKEY_free(key);
    BIO_free(certificateText);
    BIO_free(keyText);
    if (!ok) {
        SSL_CTX_free(context);
        return nullptr;
    }
    return context;
}

}  // namespace

// One accepted connection; its fd is -1 once closed.
struct FakeHttpServer::Connection {
    int fd = -1;
    bool done = false;
    std::thread thread;
};

// Reads and writes one connection, plain or through TLS. Blocking.
class FakeHttpServer::Channel {
public:
    Channel(int fd, SSL_CTX* tls) : mFd(fd) {
        if (tls != nullptr) {
            mSsl = SSL_new(tls);
            if (mSsl != nullptr) SSL_set_fd(mSsl, fd);
        }
    }
    ~Channel() {
        if (mSsl != nullptr) {
            if (mOpen) SSL_shutdown(mSsl);
            SSL_free(mSsl);
        }
    }

    // The TLS handshake (nothing in plain mode); false when the client gave up on it, as a
    // client that refuses the certificate does.
    bool Open(bool tls) {
        if (!tls) return mOpen = true;
        mOpen = mSsl != nullptr && SSL_accept(mSsl) == 1;
        if (!mOpen) ERR_clear_error();
        return mOpen;
    }

    // Up to `size` bytes; 0 at the end or on failure.
    size_t Read(char* buffer, size_t size) {
        if (mSsl != nullptr) {
            int read = SSL_read(mSsl, buffer, static_cast<int>(std::min<size_t>(size, 1 << 20)));
            return read > 0 ? static_cast<size_t>(read) : 0;
        }
        ssize_t read = recv(mFd, buffer, size, 0);
        return read > 0 ? static_cast<size_t>(read) : 0;
    }

    // All of it; false when the client left.
    bool Write(const char* data, size_t size) {
        while (size > 0) {
            size_t written = 0;
            if (mSsl != nullptr) {
                int result =
                    SSL_write(mSsl, data, static_cast<int>(std::min<size_t>(size, 1 << 20)));
                if (result <= 0) return false;
                written = static_cast<size_t>(result);
            } else {
                ssize_t result = send(mFd, data, size, MSG_NOSIGNAL);
                if (result <= 0) return false;
                written = static_cast<size_t>(result);
            }
            data += written;
            size -= written;
            mWritten += written;
        }
        return true;
    }
    bool Write(const std::string& text) { return Write(text.data(), text.size()); }

    size_t Written() const { return mWritten; }
    int Fd() const { return mFd; }

private:
    int mFd;
    SSL* mSsl = nullptr;
    bool mOpen = false;
    size_t mWritten = 0;
};

std::string RecordedRequest::Header(const std::string& name) const {
    for (const auto& [headerName, value] : headers) {
        if (SameName(headerName, name)) return value;
    }
    return "";
}

bool RecordedRequest::HasHeader(const std::string& name) const {
    return std::any_of(headers.begin(), headers.end(),
                       [&name](const auto& header) { return SameName(header.first, name); });
}

FakeReply FakeReply::Text(int status, std::string body, std::string contentType) {
    FakeReply reply;
    reply.status = status;
    reply.headers.emplace_back("Content-Type", std::move(contentType));
    reply.body = std::move(body);
    return reply;
}

FakeReply FakeReply::Chunked(std::string body, size_t chunkSize) {
    FakeReply reply = Text(200, std::move(body));
    reply.kind = Kind::kChunked;
    reply.chunkSize = std::max<size_t>(chunkSize, 1);
    return reply;
}

FakeReply FakeReply::StallAfterHeaders() {
    FakeReply reply;
    reply.kind = Kind::kStallAfterHeaders;
    return reply;
}

FakeReply FakeReply::CutBody(std::string body, size_t cutAfter) {
    FakeReply reply = Text(200, std::move(body));
    reply.kind = Kind::kCutBody;
    reply.cutAfter = std::min(cutAfter, reply.body.size());
    return reply;
}

FakeReply FakeReply::Huge(size_t size) {
    FakeReply reply;
    reply.kind = Kind::kHugeBody;
    reply.hugeSize = size;
    return reply;
}

FakeReply FakeReply::Trickle(std::string body, int intervalMs) {
    FakeReply reply = Text(200, std::move(body));
    reply.kind = Kind::kTrickle;
    reply.trickleMs = intervalMs;
    return reply;
}

FakeReply FakeReply::Redirect(int status, std::string location) {
    FakeReply reply = Text(status, "moved");
    reply.headers.emplace_back("Location", std::move(location));
    return reply;
}

FakeReply FakeReply::CloseWithoutAnswer() {
    FakeReply reply;
    reply.kind = Kind::kCloseWithoutAnswer;
    return reply;
}

char HugeBodyByte(size_t offset) {
    return static_cast<char>('a' + offset % 26);
}

std::string HugeBody(size_t size) {
    std::string body(size, '\0');
    for (size_t i = 0; i < size; ++i)
        body[i] = HugeBodyByte(i);
    return body;
}

FakeHttpServer::FakeHttpServer() : FakeHttpServer(Options{}) {}

FakeHttpServer::FakeHttpServer(Options options) : mOptions(std::move(options)) {
    if (mOptions.tls) {
        mTls = MakeTlsContext(mOptions.certificatePem, mOptions.keyPem);
        if (mTls == nullptr) return;
    }
    mStop = eventfd(0, EFD_CLOEXEC);
    int listener = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (mStop < 0 || listener < 0 ||
        bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        listen(listener, 512) != 0 ||
        getsockname(listener, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        if (listener >= 0) close(listener);
        return;
    }
    mListener = listener;
    mPort = ntohs(address.sin_port);
    mListening = std::thread(&FakeHttpServer::Listen, this);
}

FakeHttpServer::~FakeHttpServer() {
    if (mStop >= 0) {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t written = write(mStop, &one, sizeof one);
    }
    if (mListening.joinable()) mListening.join();
    {
        // Wakes every connection thread out of its reads and writes.
        std::lock_guard<std::mutex> lock(mMutex);
        for (auto& connection : mConnections) {
            if (connection->fd >= 0) shutdown(connection->fd, SHUT_RDWR);
        }
    }
    for (auto& connection : mConnections)
        connection->thread.join();
    if (mListener >= 0) close(mListener);
    if (mStop >= 0) close(mStop);
    SSL_CTX_free(static_cast<SSL_CTX*>(mTls));
}

std::string FakeHttpServer::Url(const std::string& path) const {
    return (mOptions.tls ? "https://127.0.0.1:" : "http://127.0.0.1:") + std::to_string(mPort) +
           path;
}

void FakeHttpServer::Answer(const std::string& path, FakeReply reply) {
    std::lock_guard<std::mutex> lock(mMutex);
    mScript[path] = std::make_shared<const FakeReply>(std::move(reply));
}

std::vector<RecordedRequest> FakeHttpServer::Requests() const {
    std::lock_guard<std::mutex> lock(mMutex);
    return mRequests;
}

bool FakeHttpServer::WaitForRequests(size_t count, std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mMutex);
    return mChanged.wait_for(lock, timeout, [&] { return mRequests.size() >= count; });
}

bool FakeHttpServer::WaitUntilIdle(std::chrono::milliseconds timeout) const {
    std::unique_lock<std::mutex> lock(mMutex);
    return mChanged.wait_for(lock, timeout, [&] { return mActive == 0; });
}

void FakeHttpServer::Listen() {
    for (;;) {
        pollfd waits[2] = {{mListener, POLLIN, 0}, {mStop, POLLIN, 0}};
        if (poll(waits, 2, -1) < 0) continue;
        if (waits[1].revents != 0) return;
        int fd = accept4(mListener, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) continue;
        std::lock_guard<std::mutex> lock(mMutex);
        // Joins the threads of the connections that ended, so that a long run keeps few.
        for (auto it = mConnections.begin(); it != mConnections.end();) {
            if ((*it)->done) {
                (*it)->thread.join();
                it = mConnections.erase(it);
            } else {
                ++it;
            }
        }
        auto connection = std::make_unique<Connection>();
        connection->fd = fd;
        ++mActive;
        connection->thread = std::thread(&FakeHttpServer::Serve, this, connection.get());
        mConnections.push_back(std::move(connection));
    }
}

void FakeHttpServer::Serve(Connection* connection) {
    // A write to a client that has left raises SIGPIPE in the writing thread: kept pending here
    // instead of ending the test program.
    sigset_t pipe;
    sigemptyset(&pipe);
    sigaddset(&pipe, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipe, nullptr);

    int fd = connection->fd;
    {
        Channel channel(fd, static_cast<SSL_CTX*>(mTls));
        RecordedRequest request;
        if (channel.Open(mOptions.tls) && ReadRequest(channel, &request)) {
            size_t index;
            {
                std::lock_guard<std::mutex> lock(mMutex);
                index = mRequests.size();
                mRequests.push_back(request);
                mChanged.notify_all();
            }
            size_t sent = Reply(channel, *ScriptFor(request.path));
            std::lock_guard<std::mutex> lock(mMutex);
            mRequests[index].bytesSent = sent;
        }
    }
    std::lock_guard<std::mutex> lock(mMutex);
    shutdown(fd, SHUT_RDWR);
    close(fd);
    connection->fd = -1;
    connection->done = true;
    --mActive;
    mChanged.notify_all();
}

bool FakeHttpServer::ReadRequest(Channel& channel, RecordedRequest* request) {
    std::string data;
    char buffer[16384];
    size_t headEnd;
    while ((headEnd = data.find("\r\n\r\n")) == std::string::npos) {
        if (data.size() > kMaxHead) return false;
        size_t read = channel.Read(buffer, sizeof buffer);
        if (read == 0) return false;
        data.append(buffer, read);
    }
    std::string head = data.substr(0, headEnd);
    std::string body = data.substr(headEnd + 4);

    size_t lineEnd = head.find("\r\n");
    std::string requestLine = head.substr(0, lineEnd);
    size_t firstSpace = requestLine.find(' ');
    size_t secondSpace = requestLine.find(' ', firstSpace + 1);
    if (firstSpace == std::string::npos || secondSpace == std::string::npos) return false;
    request->method = requestLine.substr(0, firstSpace);
    request->target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    request->path = request->target.substr(0, request->target.find('?'));

    size_t start = lineEnd == std::string::npos ? head.size() : lineEnd + 2;
    while (start < head.size()) {
        size_t end = head.find("\r\n", start);
        if (end == std::string::npos) end = head.size();
        std::string line = head.substr(start, end - start);
        start = end + 2;
        size_t colon = line.find(':');
        if (colon == std::string::npos) continue;
        request->headers.emplace_back(line.substr(0, colon), Trim(line.substr(colon + 1)));
    }

    size_t length = std::strtoull(request->Header("Content-Length").c_str(), nullptr, 10);
    if (length > kMaxBody) return false;
    while (body.size() < length) {
        size_t read = channel.Read(buffer, std::min(sizeof buffer, length - body.size()));
        if (read == 0) return false;
        body.append(buffer, read);
    }
    body.resize(length);
    request->body = std::move(body);
    return true;
}

size_t FakeHttpServer::Reply(Channel& channel, const FakeReply& reply) {
    using Kind = FakeReply::Kind;
    if (reply.kind == Kind::kCloseWithoutAnswer) return 0;

    std::string head = "HTTP/1.1 " + std::to_string(reply.status) + " " + ReasonOf(reply.status) +
                       "\r\nConnection: close\r\n";
    for (const auto& [name, value] : reply.headers)
        head += name + ": " + value + "\r\n";
    switch (reply.kind) {
        case Kind::kChunked:
            head += "Transfer-Encoding: chunked\r\n";
            break;
        case Kind::kStallAfterHeaders:
            head += "Content-Length: 1000\r\n";
            break;
        case Kind::kHugeBody:
            head += "Content-Length: " + std::to_string(reply.hugeSize) + "\r\n";
            break;
        default:
            head += "Content-Length: " + std::to_string(reply.body.size()) + "\r\n";
            break;
    }
    head += "\r\n";
    if (!channel.Write(head)) return channel.Written();

    switch (reply.kind) {
        case Kind::kWhole:
            channel.Write(reply.body);
            break;
        case Kind::kChunked:
            for (size_t offset = 0; offset < reply.body.size(); offset += reply.chunkSize) {
                size_t size = std::min(reply.chunkSize, reply.body.size() - offset);
                char length[32];
                std::snprintf(length, sizeof length, "%zx\r\n", size);
                if (!channel.Write(length) || !channel.Write(reply.body.data() + offset, size) ||
                    !channel.Write("\r\n")) {
                    return channel.Written();
                }
            }
            channel.Write("0\r\n\r\n");
            break;
        case Kind::kStallAfterHeaders:
            ClientLeftOrStopped(channel.Fd(), -1);
            break;
        case Kind::kCutBody:
            channel.Write(reply.body.data(), reply.cutAfter);
            break;
        case Kind::kHugeBody: {
            std::string block = HugeBody(kHugeBlock);
            for (size_t left = reply.hugeSize; left > 0;) {
                size_t size = std::min(left, block.size());
                if (!channel.Write(block.data(), size)) break;
                left -= size;
            }
            break;
        }
        case Kind::kTrickle:
            for (char byte : reply.body) {
                if (!channel.Write(&byte, 1) || ClientLeftOrStopped(channel.Fd(), reply.trickleMs))
                    break;
            }
            break;
        case Kind::kCloseWithoutAnswer:
            break;
    }
    return channel.Written();
}

bool FakeHttpServer::ClientLeftOrStopped(int fd, int ms) const {
    auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        int wait = -1;
        if (ms >= 0) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                until - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            wait = static_cast<int>(left.count());
        }
        pollfd waits[2] = {{fd, POLLIN | POLLRDHUP, 0}, {mStop, POLLIN, 0}};
        if (poll(waits, 2, wait) < 0) continue;
        if (waits[1].revents != 0) return true;
        if (waits[0].revents & (POLLRDHUP | POLLHUP | POLLERR)) return true;
        if (waits[0].revents & POLLIN) {
            // More from the client than its request: dropped, so that the wait goes on.
            char ignored[4096];
            if (recv(fd, ignored, sizeof ignored, 0) <= 0) return true;
        }
    }
}

std::shared_ptr<const FakeReply> FakeHttpServer::ScriptFor(const std::string& path) const {
    std::lock_guard<std::mutex> lock(mMutex);
    auto it = mScript.find(path);
    if (it != mScript.end()) return it->second;
    return std::make_shared<const FakeReply>(FakeReply::Text(404, "not found"));
}

int ClosedPort() {
    int probe = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    // Bound but never listening: a connection there is refused.
    close(probe);
    return port;
}

}  // namespace testing_support
