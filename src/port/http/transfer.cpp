#include "port/http/transfer.h"

#include <arpa/inet.h>
#include <strings.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>
#include <mutex>

#include "port/http/httpsettings.h"
#include "port/http/wininet.h"

namespace port::http {
namespace {

// Beyond this many unread body bytes the transfer pauses until the reader catches up, so a fast
// server cannot fill memory faster than the caller takes it.
constexpr size_t kBufferHighWater = 256 * 1024;
// libcurl's receive buffer: larger than its default, so that a long body takes fewer reads.
constexpr long kReceiveBufferSize = 128 * 1024;
constexpr int kMaxRedirects = 5;
// A transfer whose body goes to a file must bring at least this much per slow-download period.
constexpr size_t kSlowDownloadBytes = 1024;
// How often a wait looks at a stop signal that has no descriptor to wake it.
constexpr auto kStopPollInterval = std::chrono::milliseconds(250);

DWORD ErrorOf(CURLcode code) {
    switch (code) {
        case CURLE_OK:
            return ERROR_SUCCESS;
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY:
            return ERROR_INTERNET_NAME_NOT_RESOLVED;
        case CURLE_COULDNT_CONNECT:
            return ERROR_INTERNET_CANNOT_CONNECT;
        case CURLE_OPERATION_TIMEDOUT:
            return ERROR_INTERNET_TIMEOUT;
        case CURLE_PEER_FAILED_VERIFICATION:
        case CURLE_SSL_CONNECT_ERROR:
        case CURLE_SSL_CACERT_BADFILE:
        case CURLE_SSL_CERTPROBLEM:
            return ERROR_INTERNET_SECURE_FAILURE;
        case CURLE_UNSUPPORTED_PROTOCOL:
            return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
        case CURLE_URL_MALFORMAT:
            return ERROR_INTERNET_INVALID_URL;
        case CURLE_WEIRD_SERVER_REPLY:
        case CURLE_GOT_NOTHING:
            return ERROR_HTTP_INVALID_SERVER_RESPONSE;
        case CURLE_PARTIAL_FILE:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
            return ERROR_INTERNET_CONNECTION_RESET;
        case CURLE_OUT_OF_MEMORY:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_INTERNET_INTERNAL_ERROR;
    }
}

bool IsIpAddress(const std::string& host) {
    unsigned char address[sizeof(struct in6_addr)];
    return (!host.empty() && host.front() == '[') || inet_pton(AF_INET, host.c_str(), address) == 1;
}

// Whether a header line "Name: value" has the name, in any case.
bool HasHeader(const std::vector<std::string>& headers, const char* name) {
    size_t length = std::strlen(name);
    for (const std::string& line : headers) {
        if (line.size() > length && line[length] == ':' &&
            strncasecmp(line.c_str(), name, length) == 0) {
            return true;
        }
    }
    return false;
}

// The hosts reached without a proxy: the environment's list, and always this machine, so that a
// proxy setting cannot send a request for this machine elsewhere.
std::string NoProxyList() {
    const char* configured = std::getenv("no_proxy");
    if (configured == nullptr || *configured == '\0') configured = std::getenv("NO_PROXY");
    std::string list = configured != nullptr ? configured : "";
    if (list == "*") return list;
    if (!list.empty()) list += ',';
    return list + "127.0.0.1,::1,localhost";
}

}  // namespace

std::string UrlPart(CURLU* url, CURLUPart part) {
    char* text = nullptr;
    if (curl_url_get(url, part, &text, 0) != CURLUE_OK || text == nullptr) return "";
    std::string value = text;
    curl_free(text);
    return value;
}

void InitCurl() {
    static std::once_flag once;
    std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

Transfer::Transfer(TransferSpec spec) : mSpec(std::move(spec)) {
    InitCurl();
}

Transfer::~Transfer() {
    CloseHop();
    if (mMulti != nullptr) curl_multi_cleanup(mMulti);
}

DWORD Transfer::Start(const InternetStop* stop) {
    mTimeouts = Timeouts();
    mStarted = Clock::now();
    mLastByte = mStarted;
    mWindowStart = mStarted;
    mMulti = curl_multi_init();
    if (mMulti == nullptr) {
        Finish(ERROR_NOT_ENOUGH_MEMORY);
        return mError;
    }
    std::string url = mSpec.url;
    for (;;) {
        DWORD error = OpenHop(url);
        if (error != ERROR_SUCCESS) {
            Finish(error);
            return error;
        }
        Drive(stop, [this] { return mHeadersIn; });
        if (!mHeadersIn) return mError;
        if (!mDiscardBody) return ERROR_SUCCESS;
        // A redirect: its body is dropped as it comes; libcurl names the target once it ends.
        Drive(stop, [] { return false; });
        if (mError != ERROR_SUCCESS) return mError;
        error = RedirectTarget(&url);
        if (error != ERROR_SUCCESS) {
            Finish(error);
            return error;
        }
    }
}

DWORD Transfer::OpenHop(const std::string& url) {
    CloseHop();
    mConnected = mHeadersIn = mHasLocation = mDiscardBody = mPaused = mDone = false;
    mError = ERROR_SUCCESS;
    mBuffer.clear();
    mTaken = 0;

    // libcurl's own parser reads the address, and the transfer is given the parsed address, so
    // the host checked here is the host reached.
    mUrl = curl_url();
    if (mUrl == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    CURLUcode parsed = curl_url_set(mUrl, CURLUPART_URL, url.c_str(), 0);
    if (parsed == CURLUE_UNSUPPORTED_SCHEME) return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    if (parsed != CURLUE_OK) return ERROR_INTERNET_INVALID_URL;
    std::string scheme = UrlPart(mUrl, CURLUPART_SCHEME);
    if (scheme != "http" && scheme != "https") return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    mSecure = scheme == "https";
    std::string host = UrlPart(mUrl, CURLUPART_HOST);
    if (LoopbackOnly() && !IsLoopbackHost(host)) return ERROR_INTERNET_NAME_NOT_RESOLVED;
    mHostIsAddress = IsIpAddress(host);

    mEasy = curl_easy_init();
    if (mEasy == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
    curl_easy_setopt(mEasy, CURLOPT_CURLU, mUrl);
    curl_easy_setopt(mEasy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(mEasy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(mEasy, CURLOPT_BUFFERSIZE, kReceiveBufferSize);
    curl_easy_setopt(mEasy, CURLOPT_USERAGENT, mSpec.agent.c_str());
    curl_easy_setopt(mEasy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(mTimeouts.connectMs));
    curl_easy_setopt(mEasy, CURLOPT_SSL_VERIFYPEER, 1L);
    curl_easy_setopt(mEasy, CURLOPT_SSL_VERIFYHOST, 2L);
    // The system's store stays trusted through libcurl's certificate folder.
    std::string caFile = ExtraCaFile();
    if (!caFile.empty()) curl_easy_setopt(mEasy, CURLOPT_CAINFO, caFile.c_str());
    if (mSpec.direct) {
        curl_easy_setopt(mEasy, CURLOPT_PROXY, "");
    } else {
        curl_easy_setopt(mEasy, CURLOPT_NOPROXY, NoProxyList().c_str());
        curl_easy_setopt(mEasy, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);
    }
    curl_easy_setopt(mEasy, CURLOPT_HEADERFUNCTION, &Transfer::OnHeader);
    curl_easy_setopt(mEasy, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(mEasy, CURLOPT_WRITEFUNCTION, &Transfer::OnBody);
    curl_easy_setopt(mEasy, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(mEasy, CURLOPT_RESOLVER_START_FUNCTION, &Transfer::OnResolverStart);
    curl_easy_setopt(mEasy, CURLOPT_RESOLVER_START_DATA, this);
    curl_easy_setopt(mEasy, CURLOPT_PREREQFUNCTION, &Transfer::OnConnected);
    curl_easy_setopt(mEasy, CURLOPT_PREREQDATA, this);

    std::vector<std::string> headers = mSpec.headers;
    // No "Expect: 100-continue" pause before a body.
    headers.push_back("Expect:");
    if (mSpec.post) {
        curl_easy_setopt(mEasy, CURLOPT_POSTFIELDSIZE_LARGE,
                         static_cast<curl_off_t>(mSpec.body.size()));
        curl_easy_setopt(mEasy, CURLOPT_POSTFIELDS, mSpec.body.data());
        // A body goes with the caller's content type only.
        if (!HasHeader(headers, "Content-Type")) headers.push_back("Content-Type:");
    }
    for (const std::string& line : headers) {
        curl_slist* list = curl_slist_append(mHeaderList, line.c_str());
        if (list == nullptr) return ERROR_NOT_ENOUGH_MEMORY;
        mHeaderList = list;
    }
    curl_easy_setopt(mEasy, CURLOPT_HTTPHEADER, mHeaderList);

    if (curl_multi_add_handle(mMulti, mEasy) != CURLM_OK) return ERROR_INTERNET_INTERNAL_ERROR;
    mInMulti = true;
    return ERROR_SUCCESS;
}

void Transfer::CloseHop() {
    if (mEasy != nullptr) {
        if (mInMulti) curl_multi_remove_handle(mMulti, mEasy);
        curl_easy_cleanup(mEasy);
    }
    mEasy = nullptr;
    mInMulti = false;
    if (mUrl != nullptr) curl_url_cleanup(mUrl);
    mUrl = nullptr;
    curl_slist_free_all(mHeaderList);
    mHeaderList = nullptr;
}

template <typename Done>
void Transfer::Drive(const InternetStop* stop, Done done) {
    // Nothing is received between calls, so the idle time counts from the start of this wait.
    mLastByte = Clock::now();
    while (!mDone && !done()) {
        if (mPaused) {
            // Hands the held bytes to OnBody, which may pause again.
            mPaused = false;
            curl_easy_pause(mEasy, CURLPAUSE_CONT);
            if (done()) return;
        }
        int running = 0;
        if (curl_multi_perform(mMulti, &running) != CURLM_OK) {
            Finish(ERROR_INTERNET_INTERNAL_ERROR);
            return;
        }
        int queued = 0;
        while (CURLMsg* message = curl_multi_info_read(mMulti, &queued)) {
            if (message->msg != CURLMSG_DONE) continue;
            CURLcode result = message->data.result;
            if (result == CURLE_OK) mHeadersIn = true;
            Finish(ErrorOf(result));
        }
        if (mDone || done()) return;
        if (stop != nullptr && stop->Raised()) {
            Finish(ERROR_INTERNET_OPERATION_CANCELLED);
            return;
        }
        Clock::time_point now = Clock::now();
        if (LimitPassed(now)) {
            Finish(ERROR_INTERNET_TIMEOUT);
            return;
        }
        Wait(stop, now);
    }
}

void Transfer::Wait(const InternetStop* stop, Clock::time_point now) {
    auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(NextLimit() - now);
    long curlTimeout = -1;
    curl_multi_timeout(mMulti, &curlTimeout);
    if (curlTimeout >= 0) wait = std::min(wait, std::chrono::milliseconds(curlTimeout));
    curl_waitfd wake{};
    unsigned int wakeCount = 0;
    if (stop != nullptr) {
        if (stop->WakeDescriptor() >= 0) {
            wake.fd = stop->WakeDescriptor();
            wake.events = CURL_WAIT_POLLIN;
            wakeCount = 1;
        } else {
            wait = std::min<std::chrono::milliseconds>(wait, kStopPollInterval);
        }
    }
    // The limit may have passed by a fraction of a millisecond.
    int waitMs = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(
        wait.count(), 1, std::numeric_limits<int>::max()));
    curl_multi_poll(mMulti, wakeCount > 0 ? &wake : nullptr, wakeCount, waitMs, nullptr);
}

// Until the connection is made (the TLS handshake included), libcurl's connect limit applies
// instead of the idle one.
Transfer::Clock::time_point Transfer::NextLimit() const {
    Clock::time_point limit = mConnected ? mLastByte + std::chrono::milliseconds(mTimeouts.idleMs)
                                         : Clock::time_point::max();
    if (mSpec.download) {
        return std::min(limit, mWindowStart + std::chrono::milliseconds(mTimeouts.slowDownloadMs));
    }
    return std::min(limit, mStarted + std::chrono::milliseconds(mTimeouts.requestMs));
}

bool Transfer::LimitPassed(Clock::time_point now) {
    if (mConnected && now - mLastByte >= std::chrono::milliseconds(mTimeouts.idleMs)) return true;
    if (!mSpec.download) return now - mStarted >= std::chrono::milliseconds(mTimeouts.requestMs);
    if (now - mWindowStart >= std::chrono::milliseconds(mTimeouts.slowDownloadMs)) {
        if (mWindowBytes < kSlowDownloadBytes) return true;
        mWindowStart = now;
        mWindowBytes = 0;
    }
    return false;
}

DWORD Transfer::RedirectTarget(std::string* target) {
    char* location = nullptr;
    curl_easy_getinfo(mEasy, CURLINFO_REDIRECT_URL, &location);
    if (location == nullptr || ++mRedirects > kMaxRedirects) return ERROR_HTTP_REDIRECT_FAILED;
    *target = location;
    bool toHttp = target->size() >= 5 && strncasecmp(target->c_str(), "http:", 5) == 0;
    if (mSecure && toHttp) return ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR;
    return ERROR_SUCCESS;
}

void Transfer::Finish(DWORD error) {
    if (mInMulti) curl_multi_remove_handle(mMulti, mEasy);
    mInMulti = false;
    mDone = true;
    mError = error;
}

void Transfer::Received(size_t bytes) {
    mLastByte = Clock::now();
    mWindowBytes += bytes;
}

size_t Transfer::OnHeader(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    size_t length = size * count;
    transfer->Received(length);
    if (length >= 9 && strncasecmp(data, "Location:", 9) == 0) {
        transfer->mHasLocation = std::any_of(data + 9, data + length, [](char c) {
            return c != ' ' && c != '\t' && c != '\r' && c != '\n';
        });
    }
    bool blankLine = length > 0 && length <= 2 && (data[0] == '\r' || data[0] == '\n');
    if (!blankLine) return length;
    long status = 0;
    curl_easy_getinfo(transfer->mEasy, CURLINFO_RESPONSE_CODE, &status);
    // An interim reply (100 Continue) is followed by the real one.
    if (status < 200) {
        transfer->mHasLocation = false;
        return length;
    }
    transfer->mHeadersIn = true;
    // A POST is never redirected: its 3xx reply is the reply.
    transfer->mDiscardBody =
        !transfer->mSpec.post && transfer->mHasLocation && status >= 300 && status < 400;
    return length;
}

size_t Transfer::OnBody(char* data, size_t size, size_t count, void* self) {
    auto* transfer = static_cast<Transfer*>(self);
    size_t length = size * count;
    if (transfer->Buffered() >= kBufferHighWater) {
        transfer->mPaused = true;
        return CURL_WRITEFUNC_PAUSE;
    }
    transfer->Received(length);
    transfer->mHeadersIn = true;
    if (!transfer->mDiscardBody)
        transfer->mBuffer.insert(transfer->mBuffer.end(), data, data + length);
    return length;
}

int Transfer::OnConnected(void* self, char*, char*, int, int) {
    auto* transfer = static_cast<Transfer*>(self);
    transfer->mConnected = true;
    transfer->mLastByte = Clock::now();
    return CURL_PREREQFUNC_OK;
}

int Transfer::OnResolverStart(void*, void*, void* self) {
    if (!static_cast<Transfer*>(self)->mHostIsAddress) CountNameLookup();
    return 0;
}

DWORD Transfer::WaitForData(const InternetStop* stop, size_t* available) {
    if (Buffered() == 0 && !mDone) Drive(stop, [this] { return Buffered() > 0; });
    *available = Buffered();
    if (*available > 0) return ERROR_SUCCESS;
    return mError;
}

size_t Transfer::Take(void* buffer, size_t count) {
    size_t taken = std::min(count, Buffered());
    if (taken == 0) return 0;
    std::memcpy(buffer, mBuffer.data() + mTaken, taken);
    mTaken += taken;
    if (mTaken == mBuffer.size()) {
        mBuffer.clear();
        mTaken = 0;
    }
    return taken;
}

}  // namespace port::http
