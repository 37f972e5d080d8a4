// Sessions, connections and requests before they are sent: nothing here reaches the network.
#include <cstring>
#include <memory>
#include <string>

#include "port/failinjection.h"
#include "port/http/httpsettings.h"
#include "port/http/internetobjects.h"
#include "port/http/transfer.h"
#include "port/http/wininet.h"
#include "port/system/lasterror.h"

using port::http::InternetConnection;
using port::http::InternetRequest;
using port::http::InternetSession;
using port::http::LookupInternetHandle;

namespace port::http {

bool SplitHeaderLines(const char* headers, DWORD length, std::vector<std::string>* lines) {
    if (headers == nullptr) return true;
    std::string text = length == static_cast<DWORD>(-1)
                           ? std::string(headers)
                           : std::string(headers, strnlen(headers, length));
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) continue;
        size_t colon = line.find(':');
        if (colon == 0 || colon == std::string::npos || line.find('\r') != std::string::npos) {
            return false;
        }
        lines->push_back(line);
    }
    return true;
}

bool AddHeaderLines(InternetRequest& request, const char* headers, DWORD length) {
    if (request.transfer) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_STATE);
        return false;
    }
    std::vector<std::string> lines;
    if (!SplitHeaderLines(headers, length, &lines)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return false;
    }
    request.spec.headers.insert(request.spec.headers.end(), lines.begin(), lines.end());
    return true;
}

}  // namespace port::http

HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char*, const char*, DWORD) {
    if (accessType != INTERNET_OPEN_TYPE_PRECONFIG && accessType != INTERNET_OPEN_TYPE_DIRECT) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (port::ShouldFail("InternetOpenA")) return nullptr;
    // libcurl's (and its TLS library's) process-wide set-up happens here, on the first session.
    port::http::InitCurl();
    auto session = std::make_shared<InternetSession>();
    session->agent = agent != nullptr ? agent : "";
    session->direct = accessType == INTERNET_OPEN_TYPE_DIRECT;
    return port::http::AddInternetHandle(std::move(session));
}

HINTERNET InternetConnectA(HINTERNET sessionHandle, const char* serverName,
                           INTERNET_PORT serverPort, const char*, const char*, DWORD service, DWORD,
                           DWORD_PTR) {
    if (port::ShouldFail("InternetConnectA")) return nullptr;
    auto session = LookupInternetHandle<InternetSession>(sessionHandle);
    if (!session) return nullptr;
    if (serverName == nullptr || *serverName == '\0' || service != INTERNET_SERVICE_HTTP) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (port::http::LoopbackOnly() && !port::http::IsLoopbackHost(serverName)) {
        SetLastError(ERROR_INTERNET_NAME_NOT_RESOLVED);
        return nullptr;
    }
    auto connection = std::make_shared<InternetConnection>();
    connection->agent = session->agent;
    connection->direct = session->direct;
    connection->host = serverName;
    if (connection->host.find(':') != std::string::npos && connection->host.front() != '[') {
        connection->host = "[" + connection->host + "]";
    }
    connection->port = serverPort;
    return port::http::AddInternetHandle(std::move(connection));
}

HINTERNET HttpOpenRequestA(HINTERNET connectionHandle, const char* verb, const char* objectName,
                           const char*, const char*, const char**, DWORD flags, DWORD_PTR) {
    auto connection = LookupInternetHandle<InternetConnection>(connectionHandle);
    if (!connection) return nullptr;
    bool post = verb != nullptr && std::strcmp(verb, "POST") == 0;
    if (verb != nullptr && !post && std::strcmp(verb, "GET") != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    if (flags & INTERNET_FLAG_IGNORE_CERT_CN_INVALID) {
        port::http::LogOnce("INTERNET_FLAG_IGNORE_CERT_CN_INVALID",
                            "INTERNET_FLAG_IGNORE_CERT_CN_INVALID ignored: host names are always "
                            "checked");
    }
    bool secure = (flags & INTERNET_FLAG_SECURE) != 0;
    WORD port = connection->port != INTERNET_INVALID_PORT_NUMBER
                    ? connection->port
                    : (secure ? INTERNET_DEFAULT_HTTPS_PORT : INTERNET_DEFAULT_HTTP_PORT);
    std::string path = objectName != nullptr ? objectName : "";
    if (path.empty() || path.front() != '/') path = "/" + path;

    auto request = std::make_shared<InternetRequest>();
    port::http::TransferSpec& spec = request->spec;
    spec.url =
        (secure ? "https://" : "http://") + connection->host + ":" + std::to_string(port) + path;
    spec.post = post;
    spec.agent = connection->agent;
    spec.direct = connection->direct;
    spec.download = (flags & INTERNET_FLAG_NEED_FILE) != 0;
    if (flags & INTERNET_FLAG_PRAGMA_NOCACHE) spec.headers.push_back("Pragma: no-cache");
    request->securityFlags = secure ? SECURITY_FLAG_SECURE : 0;
    return port::http::AddInternetHandle(std::move(request));
}

BOOL HttpAddRequestHeadersA(HINTERNET requestHandle, const char* headers, DWORD headersLength,
                            DWORD) {
    auto request = LookupInternetHandle<InternetRequest>(requestHandle);
    if (!request) return FALSE;
    if (headers == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(request->lock);
    return port::http::AddHeaderLines(*request, headers, headersLength) ? TRUE : FALSE;
}

BOOL InternetQueryOptionA(HINTERNET handle, DWORD option, void* buffer, DWORD* bufferLength) {
    auto request = LookupInternetHandle<InternetRequest>(handle);
    if (!request) return FALSE;
    if (option != INTERNET_OPTION_SECURITY_FLAGS) {
        SetLastError(ERROR_INTERNET_INVALID_OPTION);
        return FALSE;
    }
    if (bufferLength == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (buffer == nullptr || *bufferLength < sizeof(DWORD)) {
        *bufferLength = sizeof(DWORD);
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(request->lock);
    std::memcpy(buffer, &request->securityFlags, sizeof(DWORD));
    *bufferLength = sizeof(DWORD);
    return TRUE;
}

BOOL InternetSetOptionA(HINTERNET handle, DWORD option, void* buffer, DWORD bufferLength) {
    auto request = LookupInternetHandle<InternetRequest>(handle);
    if (!request) return FALSE;
    if (option != INTERNET_OPTION_SECURITY_FLAGS) {
        SetLastError(ERROR_INTERNET_INVALID_OPTION);
        return FALSE;
    }
    if (buffer == nullptr || bufferLength != sizeof(DWORD)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    DWORD flags;
    std::memcpy(&flags, buffer, sizeof flags);
    if (flags & SECURITY_FLAG_IGNORE_UNKNOWN_CA) {
        port::http::LogOnce("SECURITY_FLAG_IGNORE_UNKNOWN_CA",
                            "SECURITY_FLAG_IGNORE_UNKNOWN_CA ignored: certificates are always "
                            "checked");
    }
    std::lock_guard<std::mutex> lock(request->lock);
    request->securityFlags = flags;
    return TRUE;
}
