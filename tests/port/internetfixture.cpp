#include "internetfixture.h"

#include <algorithm>

#include "loggedlines.h"
#include "port/startup.h"
#include "port/system/lasterror.h"

namespace internet_testing {

Reply ReadAll(HINTERNET request) {
    Reply reply;
    char buffer[4096];
    for (;;) {
        DWORD available = 0;
        if (!InternetQueryDataAvailable(request, &available, 0, 0)) {
            reply.error = GetLastError();
            return reply;
        }
        if (available == 0) return reply;
        while (available > 0) {
            DWORD read = 0;
            if (!InternetReadFile(request, buffer, std::min<DWORD>(available, sizeof buffer),
                                  &read)) {
                reply.error = GetLastError();
                return reply;
            }
            if (read == 0) return reply;
            reply.body.append(buffer, read);
            available -= std::min(read, available);
        }
    }
}

void InternetTest::SetUp() {
    port_testing::LoggedLines().clear();
    port::SetLogSink(&port_testing::KeepLine);
    port::control::HttpTimeouts timeouts;
    timeouts.idleMs = kIdleMs;
    timeouts.requestMs = kRequestMs;
    timeouts.slowDownloadMs = kSlowDownloadMs;
    port::control::SetHttpTimeouts(timeouts);
    mSession = InternetOpenA("bvlib", INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
    ASSERT_NE(mSession, nullptr);
}

void InternetTest::TearDown() {
    InternetCloseHandle(mSession);
}

Reply InternetTest::Get(const std::string& url, DWORD flags) {
    HINTERNET request = InternetOpenUrlA(mSession, url.c_str(), nullptr, 0, flags, 0);
    if (request == nullptr) return {GetLastError(), ""};
    Reply reply = ReadAll(request);
    InternetCloseHandle(request);
    return reply;
}

Reply InternetTest::Send(const std::string& verb, int port, const std::string& path,
                         const std::string& body, const std::string& headers, DWORD flags) {
    HINTERNET connection = InternetConnectA(mSession, "127.0.0.1", static_cast<INTERNET_PORT>(port),
                                            nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0);
    if (connection == nullptr) return {GetLastError(), ""};
    Reply reply;
    HINTERNET request = HttpOpenRequestA(connection, verb.c_str(), path.c_str(), nullptr, nullptr,
                                         nullptr, flags, 0);
    if (request == nullptr) {
        reply.error = GetLastError();
    } else if (!headers.empty() &&
               !HttpAddRequestHeadersA(request, headers.c_str(), static_cast<DWORD>(-1),
                                       HTTP_ADDREQ_FLAG_ADD)) {
        reply.error = GetLastError();
    } else if (!HttpSendRequestA(request, nullptr, 0, body.data(),
                                 static_cast<DWORD>(body.size()))) {
        reply.error = GetLastError();
    } else {
        reply = ReadAll(request);
    }
    if (request != nullptr) InternetCloseHandle(request);
    InternetCloseHandle(connection);
    return reply;
}

}  // namespace internet_testing
