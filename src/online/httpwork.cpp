#include "online/httpwork.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <new>
#include <set>

#include "foundation/file/file.h"
#include "foundation/log.h"
#include "port/system/lasterror.h"
#include "port/system/sync.h"
#include "port/system/thread.h"

namespace online {
namespace {

constexpr const char* kAgent = "bvlib";
constexpr size_t kReadPiece = 32768;
constexpr size_t kMaxReplyBytes = 8 * 1024 * 1024;
constexpr size_t kMaxDownloadBytes = 1024 * 1024 * 1024;
// How long the program waits at exit for workers still transferring.
constexpr auto kExitWait = std::chrono::seconds(1);

// The workers still transferring, for the exit guard. Never destroyed: a worker may still
// report to it while the process exits.
struct Workers {
    std::mutex mutex;
    std::condition_variable ended;
    std::set<HttpWork*> running;
};

Workers& TheWorkers() {
    static Workers* workers = new Workers;
    return *workers;
}

// At exit, workers still transferring are stopped, and the program waits a moment for them, so
// that none is still inside the network library when the process tears it down.
struct ExitGuard {
    ~ExitGuard() {
        Workers& workers = TheWorkers();
        std::unique_lock<std::mutex> lock(workers.mutex);
        for (HttpWork* work : workers.running)
            work->stop.Raise();
        workers.ended.wait_for(lock, kExitWait, [&] { return workers.running.empty(); });
    }
};

struct Session {
    std::mutex mutex;
    HINTERNET handle = nullptr;
};

Session& TheSession() {
    static Session* session = new Session;
    return *session;
}

// With the session locked.
HINTERNET OpenSessionLocked(Session& session) {
    session.handle = InternetOpenA(kAgent, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    if (session.handle != nullptr) {
        // Made after the network library's own set-up (the first InternetOpenA), so that its
        // exit-time clean-up runs only once the guard has stopped the workers.
        static ExitGuard guard;
    }
    return session.handle;
}

// The shared session after `failed` was reported invalid: reopened, unless another worker has
// done so already.
HINTERNET ReopenSession(HINTERNET failed) {
    Session& session = TheSession();
    std::lock_guard<std::mutex> lock(session.mutex);
    if (session.handle != failed) return session.handle;
    if (session.handle != nullptr) InternetCloseHandle(session.handle);
    return OpenSessionLocked(session);
}

void LogConnectionError(const HttpWork& work, const char* kind, DWORD error) {
    // A stop is not a fault of the connection.
    if (work.stop.Raised()) return;
    LogPrintf("Error creating connection (%s) %d", kind, static_cast<int>(error));
}

// A plain GET: the address opened as a whole.
HINTERNET OpenUrl(HttpWork& work) {
    DWORD flags = (work.options & 1) ? INTERNET_FLAG_NO_CACHE_WRITE : 0;
    if (!work.downloadFile.empty()) flags |= INTERNET_FLAG_NEED_FILE;
    auto open = [&] {
        return InternetOpenUrlA(work.session, work.url.c_str(), nullptr, 0, flags,
                                reinterpret_cast<DWORD_PTR>(&work));
    };
    HINTERNET request = open();
    if (request == nullptr && GetLastError() == ERROR_INVALID_HANDLE) {
        work.session = ReopenSession(work.session);
        request = open();
    }
    if (request == nullptr) LogConnectionError(work, "InternetOpenUrl", GetLastError());
    return request;
}

// Every other request: the address cracked, a connection to its server, a request on it.
HINTERNET OpenRequest(HttpWork& work, bool https, HINTERNET* connection) {
    char host[MAX_PATH];
    char path[MAX_PATH];
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    if (!InternetCrackUrlA(work.url.c_str(), 0, 0, &parts)) return nullptr;
    INTERNET_PORT port = parts.nPort;
    if (port == INTERNET_INVALID_PORT_NUMBER) {
        port = https ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT;
    }
    const char* kind = https ? "HTTPS" : "POST";

    auto connect = [&] {
        return InternetConnectA(work.session, host, port, nullptr, nullptr, INTERNET_SERVICE_HTTP,
                                0, 0);
    };
    *connection = connect();
    if (*connection == nullptr && GetLastError() == ERROR_INVALID_HANDLE) {
        work.session = ReopenSession(work.session);
        *connection = connect();
    }
    if (*connection == nullptr) {
        LogConnectionError(work, kind, GetLastError());
        return nullptr;
    }

    DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
    if (https) flags |= INTERNET_FLAG_SECURE;
    if (https && (work.options & 2)) flags |= INTERNET_FLAG_IGNORE_CERT_CN_INVALID;
    if (!work.downloadFile.empty()) flags |= INTERNET_FLAG_NEED_FILE;
    HINTERNET request = HttpOpenRequestA(*connection, work.postMode ? "POST" : "GET", path, nullptr,
                                         nullptr, nullptr, flags, 0);
    if (request == nullptr) return nullptr;
    if (https) {
        DWORD security = 0;
        DWORD length = sizeof security;
        InternetQueryOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &security, &length);
        security |= SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &security, sizeof security);
    }
    bool sent;
    if (work.postMode) {
        HttpAddRequestHeadersA(request, "Content-Type: application/x-www-form-urlencoded",
                               static_cast<DWORD>(-1), HTTP_ADDREQ_FLAG_ADD);
        sent = HttpSendRequestA(request, nullptr, 0, work.formData.data(),
                                static_cast<DWORD>(work.formData.size()));
    } else {
        sent = HttpSendRequestA(request, nullptr, 0, nullptr, 0);
    }
    if (!sent) {
        // A refused or failed connection shows here: the connection itself does no network work.
        LogConnectionError(work, kind, GetLastError());
        InternetCloseHandle(request);
        return nullptr;
    }
    return request;
}

// Reads the body into the reply or the download file until it ends; the final state.
int Receive(HttpWork& work, HINTERNET request) {
    TFile* file = nullptr;
    std::unique_ptr<char[]> buffer;
    if (!work.downloadFile.empty()) {
        file = FileOpen(work.downloadFile.c_str(), kFileWriteBinary);
        if (file == nullptr) return 3;
        buffer.reset(new (std::nothrow) char[kReadPiece]);
    } else if (!work.reply.Reserve(1, kMaxReplyBytes)) {
        return 2;
    }
    size_t size = 0;
    size_t cap = file != nullptr ? kMaxDownloadBytes : kMaxReplyBytes;
    int state = 2;
    for (;;) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) break;
        if (available == 0) {
            state = 1;
            break;
        }
        bool failed = false;
        while (available > 0 && !failed) {
            DWORD piece = static_cast<DWORD>(std::min<size_t>(available, kReadPiece));
            if (size + piece > cap) {
                LogPrintf("HTTP reply larger than %zu bytes, transfer stopped", cap);
                failed = true;
                break;
            }
            char* into = buffer.get();
            if (file == nullptr) {
                if (!work.reply.Reserve(size + piece + 1, cap + 1)) {
                    failed = true;
                    break;
                }
                into = work.reply.text.get() + size;
            }
            DWORD read = 0;
            if (into == nullptr || !InternetReadFile(request, into, piece, &read)) {
                failed = true;
                break;
            }
            if (read == 0) break;
            if (file != nullptr &&
                FileWrite(file, into, static_cast<int>(read)) != static_cast<int>(read)) {
                failed = true;
                break;
            }
            size += read;
            available -= std::min(read, available);
            if (file == nullptr) {
                work.reply.length = size;
                work.reply.text.get()[size] = '\0';
            }
        }
        if (failed) break;
    }
    FileClose(file);
    return state;
}

// Steps of one request; answers its final state.
int Transfer(HttpWork& work) {
    // Only a lower-case scheme counts: "HTTPS:" goes as plain HTTP.
    bool https = work.url.compare(0, 6, "https:") == 0;
    HINTERNET connection = nullptr;
    HINTERNET request =
        (!https && !work.postMode) ? OpenUrl(work) : OpenRequest(work, https, &connection);
    int state = request != nullptr ? Receive(work, request) : 2;
    if (request != nullptr) InternetCloseHandle(request);
    if (connection != nullptr) InternetCloseHandle(connection);
    return state;
}

DWORD RunHttpWork(void* parameter) {
    auto* work = static_cast<HttpWork*>(parameter);
    port::SetThreadInternetStop(&work->stop);
    int state = Transfer(*work);
    port::SetThreadInternetStop(nullptr);
    // The reply is complete before the state says so.
    work->state.store(state, std::memory_order_release);
    {
        Workers& workers = TheWorkers();
        std::lock_guard<std::mutex> lock(workers.mutex);
        workers.running.erase(work);
        workers.ended.notify_all();
    }
    {
        std::unique_lock<std::mutex> lock(work->mutex);
        work->released.wait(lock, [work] { return work->abandoned.load(); });
    }
    delete work;
    return 0;
}

}  // namespace

bool HttpReply::Reserve(size_t needed, size_t cap) {
    if (needed <= capacity) return true;
    if (needed > cap) return false;
    size_t grown = std::max<size_t>(capacity, 1);
    while (grown < needed)
        grown *= 2;
    grown = std::min(grown, cap);
    // realloc moves a large block's pages instead of copying them into fresh ones.
    auto* larger = static_cast<char*>(std::realloc(text.get(), grown));
    if (larger == nullptr) return false;
    if (capacity == 0) larger[0] = '\0';
    (void)text.release();
    text.reset(larger);
    capacity = grown;
    return true;
}

HINTERNET SharedInternetSession() {
    Session& session = TheSession();
    std::lock_guard<std::mutex> lock(session.mutex);
    if (session.handle != nullptr) return session.handle;
    return OpenSessionLocked(session);
}

bool StartHttpWork(HttpWork* work) {
    Workers& workers = TheWorkers();
    {
        std::lock_guard<std::mutex> lock(workers.mutex);
        workers.running.insert(work);
    }
    HANDLE thread = CreateThread(nullptr, 0, &RunHttpWork, work, 0, nullptr);
    if (thread == nullptr) {
        std::lock_guard<std::mutex> lock(workers.mutex);
        workers.running.erase(work);
        return false;
    }
    CloseHandle(thread);
    return true;
}

void AbandonHttpWork(HttpWork* work) {
    work->stop.Raise();
    // Under the lock, so that the worker cannot free the work between the store and the notify.
    std::lock_guard<std::mutex> lock(work->mutex);
    work->abandoned.store(true);
    work->released.notify_one();
}

}  // namespace online
