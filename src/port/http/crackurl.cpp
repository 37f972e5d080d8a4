// InternetCrackUrlA over libcurl's address parser, the same that reads the addresses of the
// transfers, so that a cracked address means what the transfer will reach.
#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <string>

#include "port/http/transfer.h"
#include "port/http/wininet.h"
#include "port/system/lasterror.h"

using port::http::UrlPart;

namespace {

struct UrlDeleter {
    void operator()(CURLU* url) const { curl_url_cleanup(url); }
};

// Copies a part into the caller's buffer of `*length` bytes. A length of 0 asks nothing; a
// buffer too small leaves the size needed in `*length` and ERROR_INSUFFICIENT_BUFFER.
DWORD Fill(const std::string& value, char* buffer, DWORD* length) {
    if (*length == 0) return ERROR_SUCCESS;
    if (buffer == nullptr) return ERROR_INVALID_PARAMETER;
    if (value.size() + 1 > *length) {
        *length = static_cast<DWORD>(value.size() + 1);
        return ERROR_INSUFFICIENT_BUFFER;
    }
    std::memcpy(buffer, value.c_str(), value.size() + 1);
    *length = static_cast<DWORD>(value.size());
    return ERROR_SUCCESS;
}

DWORD Crack(const char* text, DWORD textLength, URL_COMPONENTSA* parts) {
    if (text == nullptr || parts == nullptr || parts->dwStructSize != sizeof(URL_COMPONENTSA)) {
        return ERROR_INVALID_PARAMETER;
    }
    // The address ends at its first NUL.
    std::string address =
        textLength == 0 ? std::string(text) : std::string(text, strnlen(text, textLength));
    port::http::InitCurl();
    std::unique_ptr<CURLU, UrlDeleter> url(curl_url());
    if (!url) return ERROR_NOT_ENOUGH_MEMORY;
    CURLUcode parsed = curl_url_set(url.get(), CURLUPART_URL, address.c_str(), 0);
    if (parsed == CURLUE_UNSUPPORTED_SCHEME) return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    if (parsed != CURLUE_OK) return ERROR_INTERNET_INVALID_URL;

    std::string scheme = UrlPart(url.get(), CURLUPART_SCHEME);
    if (scheme != "http" && scheme != "https") return ERROR_INTERNET_UNRECOGNIZED_SCHEME;
    char* port = nullptr;
    if (curl_url_get(url.get(), CURLUPART_PORT, &port, CURLU_DEFAULT_PORT) != CURLUE_OK) {
        return ERROR_INTERNET_INVALID_URL;
    }
    long portNumber = std::strtol(port, nullptr, 10);
    curl_free(port);
    if (portNumber <= 0 || portNumber > 0xFFFF) return ERROR_INTERNET_INVALID_URL;

    std::string path = UrlPart(url.get(), CURLUPART_PATH);
    std::string query = UrlPart(url.get(), CURLUPART_QUERY);
    std::string fragment = UrlPart(url.get(), CURLUPART_FRAGMENT);
    std::string extra =
        (query.empty() ? "" : "?" + query) + (fragment.empty() ? "" : "#" + fragment);
    // Without a buffer for the extra part, the query stays in the path.
    if (parts->dwExtraInfoLength == 0) path += extra;

    DWORD error = ERROR_SUCCESS;
    auto fill = [&error](const std::string& value, char* buffer, DWORD* length) {
        DWORD partError = Fill(value, buffer, length);
        if (error == ERROR_SUCCESS) error = partError;
    };
    fill(scheme, parts->lpszScheme, &parts->dwSchemeLength);
    fill(UrlPart(url.get(), CURLUPART_HOST), parts->lpszHostName, &parts->dwHostNameLength);
    fill(UrlPart(url.get(), CURLUPART_USER), parts->lpszUserName, &parts->dwUserNameLength);
    fill(UrlPart(url.get(), CURLUPART_PASSWORD), parts->lpszPassword, &parts->dwPasswordLength);
    fill(path, parts->lpszUrlPath, &parts->dwUrlPathLength);
    fill(extra, parts->lpszExtraInfo, &parts->dwExtraInfoLength);
    if (error != ERROR_SUCCESS) return error;
    parts->nScheme = scheme == "https" ? INTERNET_SCHEME_HTTPS : INTERNET_SCHEME_HTTP;
    parts->nPort = static_cast<INTERNET_PORT>(portNumber);
    return ERROR_SUCCESS;
}

}  // namespace

BOOL InternetCrackUrlA(const char* url, DWORD urlLength, DWORD, URL_COMPONENTSA* components) {
    DWORD error = Crack(url, urlLength, components);
    if (error == ERROR_SUCCESS) return TRUE;
    SetLastError(error);
    return FALSE;
}
