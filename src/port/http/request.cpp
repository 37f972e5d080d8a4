// Sending requests and reading their replies: the calls that wait on the network.
#include <algorithm>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "port/failinjection.h"
#include "port/http/internetobjects.h"
#include "port/http/internetstop.h"
#include "port/http/transfer.h"
#include "port/http/wininet.h"
#include "port/system/lasterror.h"

using port::http::InternetRequest;
using port::http::InternetSession;
using port::http::LookupInternetHandle;

namespace {

// Sends the request with a new transfer; false with the last error set when it failed.
bool Send(InternetRequest& request) {
    request.transfer = std::make_unique<port::http::Transfer>(request.spec);
    DWORD error = request.transfer->Start(port::ThreadInternetStop());
    if (error == ERROR_SUCCESS) return true;
    SetLastError(error);
    return false;
}

// Waits, with the request locked, until body bytes are buffered or the body has ended; false
// with the last error set when the request was not sent or its transfer failed.
bool WaitForBody(InternetRequest& request, size_t* available) {
    if (!request.transfer) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        return false;
    }
    DWORD error = request.transfer->WaitForData(port::ThreadInternetStop(), available);
    if (error == ERROR_SUCCESS) return true;
    SetLastError(error);
    return false;
}

// The body calls: the request looked up, its arguments checked, then, with the request locked,
// use(request, available) once bytes are buffered or the body has ended.
template <typename Use>
BOOL WithBody(HINTERNET requestHandle, bool argumentsValid, Use use) {
    auto request = LookupInternetHandle<InternetRequest>(requestHandle);
    if (!request) return FALSE;
    if (!argumentsValid) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(request->lock);
    size_t available = 0;
    if (!WaitForBody(*request, &available)) return FALSE;
    use(*request, available);
    return TRUE;
}

}  // namespace

HINTERNET InternetOpenUrlA(HINTERNET sessionHandle, const char* url, const char* headers,
                           DWORD headersLength, DWORD flags, DWORD_PTR) {
    if (port::ShouldFail("InternetOpenUrlA")) return nullptr;
    auto session = LookupInternetHandle<InternetSession>(sessionHandle);
    if (!session) return nullptr;
    auto request = std::make_shared<InternetRequest>();
    port::http::TransferSpec& spec = request->spec;
    if (url == nullptr || !port::http::SplitHeaderLines(headers, headersLength, &spec.headers)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    spec.url = url;
    spec.agent = session->agent;
    spec.direct = session->direct;
    spec.download = (flags & INTERNET_FLAG_NEED_FILE) != 0;
    if (flags & INTERNET_FLAG_PRAGMA_NOCACHE) spec.headers.push_back("Pragma: no-cache");
    // Nobody else knows the request yet: no lock needed.
    if (!Send(*request)) return nullptr;
    return port::http::AddInternetHandle(std::move(request));
}

BOOL HttpSendRequestA(HINTERNET requestHandle, const char* headers, DWORD headersLength,
                      const void* optional, DWORD optionalLength) {
    if (port::ShouldFail("HttpSendRequestA")) return FALSE;
    auto request = LookupInternetHandle<InternetRequest>(requestHandle);
    if (!request) return FALSE;
    if (optional == nullptr && optionalLength > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(request->lock);
    if (!port::http::AddHeaderLines(*request, headers, headersLength)) return FALSE;
    port::http::TransferSpec& spec = request->spec;
    if (optionalLength > 0) spec.body.assign(static_cast<const char*>(optional), optionalLength);
    return Send(*request) ? TRUE : FALSE;
}

BOOL InternetQueryDataAvailable(HINTERNET requestHandle, DWORD* bytesAvailable, DWORD, DWORD_PTR) {
    if (port::ShouldFail("InternetQueryDataAvailable")) return FALSE;
    return WithBody(requestHandle, bytesAvailable != nullptr,
                    [bytesAvailable](InternetRequest&, size_t available) {
                        *bytesAvailable =
                            static_cast<DWORD>(std::min<size_t>(available, 0xFFFFFFFFu));
                    });
}

BOOL InternetReadFile(HINTERNET requestHandle, void* buffer, DWORD toRead, DWORD* bytesRead) {
    if (port::ShouldFail("InternetReadFile")) return FALSE;
    if (bytesRead != nullptr) *bytesRead = 0;
    return WithBody(requestHandle, bytesRead != nullptr && (buffer != nullptr || toRead == 0),
                    [buffer, toRead, bytesRead](InternetRequest& request, size_t) {
                        *bytesRead = static_cast<DWORD>(request.transfer->Take(buffer, toRead));
                    });
}
