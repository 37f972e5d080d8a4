// Internal: one HTTP exchange over libcurl, made as its caller asks. Start sends the request and
// waits for the reply's headers, following a GET's redirects; WaitForData and Take then hand out
// the body as it arrives. The rules of port/http/wininet.h (schemes, redirects, certificates,
// proxies, time limits, the loopback switch) are kept here.
//
// One thread at a time (the request's lock). A wait wakes when the thread's stop signal is raised.
#pragma once

#include <curl/curl.h>

#include <chrono>
#include <cstddef>
#include <string>
#include <vector>

#include "port/http/control.h"
#include "port/http/internetstop.h"
#include "port/win32types.h"

namespace port::http {

struct TransferSpec {
    std::string url;  // absolute
    bool post = false;
    std::string body;
    std::vector<std::string> headers;  // "Name: value"
    std::string agent;
    bool direct = false;    // no proxy
    bool download = false;  // no overall time limit; too slow a transfer ends instead
};

// libcurl's process-wide set-up, once.
void InitCurl();

// A part of an address parsed by libcurl; empty when the address has none.
std::string UrlPart(CURLU* url, CURLUPart part);

class Transfer {
public:
    explicit Transfer(TransferSpec spec);
    ~Transfer();
    Transfer(const Transfer&) = delete;
    Transfer& operator=(const Transfer&) = delete;

    // ERROR_SUCCESS once the final reply's headers are in; else why not.
    DWORD Start(const InternetStop* stop);
    // Waits until a body byte is buffered or the body has ended, and answers how many are
    // buffered (0 at the end). Fails with the transfer's error once nothing buffered is left.
    DWORD WaitForData(const InternetStop* stop, size_t* available);
    // Copies out at most count buffered bytes; answers how many.
    size_t Take(void* buffer, size_t count);

private:
    using Clock = std::chrono::steady_clock;

    static size_t OnHeader(char* data, size_t size, size_t count, void* self);
    static size_t OnBody(char* data, size_t size, size_t count, void* self);
    static int OnResolverStart(void* resolver, void* reserved, void* self);
    static int OnConnected(void* self, char* remoteAddress, char* localAddress, int remotePort,
                           int localPort);

    // Sets up the request to one address (the first or a redirect target).
    DWORD OpenHop(const std::string& url);
    void CloseHop();
    // Runs the transfer until done() holds or it has ended.
    template <typename Done>
    void Drive(const InternetStop* stop, Done done);
    // Waits for network activity, the stop signal or the next time limit, whichever comes first.
    void Wait(const InternetStop* stop, Clock::time_point now);
    // The time limit that has passed, if any.
    bool LimitPassed(Clock::time_point now);
    Clock::time_point NextLimit() const;
    // The redirect target of a finished 3xx reply, checked; ERROR_SUCCESS and an empty target
    // when there is none to follow.
    DWORD RedirectTarget(std::string* target);
    void Finish(DWORD error);
    void Received(size_t bytes);
    size_t Buffered() const { return mBuffer.size() - mTaken; }

    TransferSpec mSpec;
    control::HttpTimeouts mTimeouts;
    CURLM* mMulti = nullptr;
    CURL* mEasy = nullptr;
    CURLU* mUrl = nullptr;
    curl_slist* mHeaderList = nullptr;
    bool mInMulti = false;
    bool mSecure = false;
    bool mHostIsAddress = false;
    int mRedirects = 0;

    // The current hop: connected (TLS handshake included), then its reply.
    bool mConnected = false;
    bool mHeadersIn = false;
    bool mHasLocation = false;
    bool mDiscardBody = false;  // a redirect's
    bool mPaused = false;
    bool mDone = false;
    DWORD mError = ERROR_SUCCESS;
    std::vector<char> mBuffer;
    size_t mTaken = 0;

    Clock::time_point mStarted;
    Clock::time_point mLastByte;
    Clock::time_point mWindowStart;  // of the slow-download check
    size_t mWindowBytes = 0;
};

}  // namespace port::http
