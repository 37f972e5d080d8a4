// Internal: what the internet handles stand for, and their table. A session keeps the agent and
// the proxy choice; a connection adds a server; a request adds its address, verb, headers and
// flags, then its transfer once sent. Each copies what it needs from its parent.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "port/http/transfer.h"
#include "port/win32types.h"

namespace port::http {

class InternetObject {
public:
    virtual ~InternetObject() = default;
};

class InternetSession : public InternetObject {
public:
    std::string agent;
    bool direct = false;  // no proxy
};

class InternetConnection : public InternetObject {
public:
    std::string agent;
    bool direct = false;
    std::string host;  // IPv6 addresses in brackets
    WORD port = 0;
};

class InternetRequest : public InternetObject {
public:
    // Held by every call on the request.
    std::mutex lock;
    TransferSpec spec;
    DWORD securityFlags = 0;
    // Null until sent.
    std::unique_ptr<Transfer> transfer;
};

HINTERNET AddInternetHandle(std::shared_ptr<InternetObject> object);
// The object when the handle is open and of that kind; else null, with ERROR_INVALID_HANDLE or
// ERROR_INTERNET_INCORRECT_HANDLE_TYPE as the last error.
template <typename T>
std::shared_ptr<T> LookupInternetHandle(HINTERNET handle);
bool RemoveInternetHandle(HINTERNET handle);
void CloseAllInternetHandles();

// Splits header lines separated by CR LF or LF (length -1: a NUL-terminated text) onto `lines`;
// false for a line without a name.
bool SplitHeaderLines(const char* headers, DWORD length, std::vector<std::string>* lines);

// With the request locked: appends header lines to a request not yet sent; false with
// ERROR_INTERNET_INCORRECT_HANDLE_STATE once sent, ERROR_INVALID_PARAMETER for a bad line.
bool AddHeaderLines(InternetRequest& request, const char* headers, DWORD length);

std::shared_ptr<InternetObject> LookupAnyInternetHandle(HINTERNET handle);
void SetIncorrectHandleError(bool open);

template <typename T>
std::shared_ptr<T> LookupInternetHandle(HINTERNET handle) {
    std::shared_ptr<InternetObject> object = LookupAnyInternetHandle(handle);
    auto typed = std::dynamic_pointer_cast<T>(object);
    if (!typed) SetIncorrectHandleError(object != nullptr);
    return typed;
}

}  // namespace port::http
