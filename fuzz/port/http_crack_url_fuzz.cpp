// Addresses come from the hiscore server's settings and from redirects: InternetCrackUrlA must
// take any bytes into the program's buffers (host and path of MAX_PATH bytes) without overrun,
// and what it fills must be NUL-terminated at the length it reports.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "port/http/wininet.h"

namespace {

void CheckPart(const char* buffer, DWORD length, DWORD size) {
    if (length >= size || std::strlen(buffer) != length) __builtin_trap();
}

void Crack(const char* url, DWORD urlLength, bool withExtra) {
    char scheme[16];
    char host[MAX_PATH];
    char path[MAX_PATH];
    char extra[MAX_PATH];
    URL_COMPONENTSA parts{};
    parts.dwStructSize = sizeof parts;
    parts.lpszScheme = scheme;
    parts.dwSchemeLength = sizeof scheme;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    if (withExtra) {
        parts.lpszExtraInfo = extra;
        parts.dwExtraInfoLength = sizeof extra;
    }
    if (!InternetCrackUrlA(url, urlLength, 0, &parts)) return;
    CheckPart(scheme, parts.dwSchemeLength, sizeof scheme);
    CheckPart(host, parts.dwHostNameLength, sizeof host);
    CheckPart(path, parts.dwUrlPathLength, sizeof path);
    if (withExtra) CheckPart(extra, parts.dwExtraInfoLength, sizeof extra);
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
        __builtin_trap();
    }
    if (parts.nPort == 0) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 1 << 14) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    // As a NUL-terminated text, and as bytes with their length (which may hold a NUL).
    Crack(text.c_str(), 0, false);
    Crack(text.data(), static_cast<DWORD>(size), true);
    return 0;
}
