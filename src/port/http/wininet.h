// The internet calls: HTTP and HTTPS requests as the program makes them, over libcurl. Our own
// definitions of the calls, their constants and their error codes.
//
// Handles: InternetOpenA gives a session, InternetConnectA a connection to one server of a
// session, HttpOpenRequestA a request on a connection; InternetOpenUrlA gives a request straight
// from a session and an address. All are HINTERNETs from one table, closed with
// InternetCloseHandle. A handle copies what it needs from its parent, so closing a parent leaves
// its open children working. A handle that is not open answers ERROR_INVALID_HANDLE; one of the
// wrong kind ERROR_INTERNET_INCORRECT_HANDLE_TYPE.
//
// A request is made as its calls arrive: HttpSendRequestA (and InternetOpenUrlA) sends it and
// returns once the reply's headers are in; InternetQueryDataAvailable and InternetReadFile then
// take the body as it comes, waiting on the network when nothing is buffered. A failed call leaves
// its reason for GetLastError; a network failure (no route, refused, a timeout, a cut reply, a
// refused certificate) fails the call that waits for it.
//
// Sound rules of this layer, whatever the flags ask:
//   - only http and https; no body is decoded (no Accept-Encoding is sent);
//   - certificate chains and host names are always checked against the system's trust store;
//     INTERNET_FLAG_IGNORE_CERT_CN_INVALID and SECURITY_FLAG_IGNORE_UNKNOWN_CA are accepted,
//     logged once, and change nothing;
//   - a GET follows at most 5 redirects, never from https to http and never to another scheme;
//     a POST is never redirected: a 3xx reply is its reply;
//   - the connect phase (name lookup included) ends after 15 s, a transfer after 30 s without a
//     received byte, a whole request after 120 s; a request opened with INTERNET_FLAG_NEED_FILE
//     (its body goes to a file) has no overall limit and ends instead when fewer than 1 KiB
//     arrive in 30 s. Each fails the waiting call with ERROR_INTERNET_TIMEOUT. Tests shorten them
//     (port/http/control.h).
// PRECONFIG sessions use the standard proxy variables (http_proxy, https_proxy, all_proxy,
// no_proxy); 127.0.0.1, ::1 and localhost are always reached directly.
//
// Threads: any thread may make calls; one request is used by one thread at a time (the calls of
// a request take its lock). A thread that another may abandon ties its calls to a stop signal
// (port/http/internetstop.h).
#pragma once

#include "port/win32types.h"

using INTERNET_PORT = WORD;

// InternetOpenA's access types.
constexpr DWORD INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr DWORD INTERNET_OPEN_TYPE_DIRECT = 1;

// InternetConnectA's services.
constexpr DWORD INTERNET_SERVICE_HTTP = 3;

constexpr INTERNET_PORT INTERNET_INVALID_PORT_NUMBER = 0;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTP_PORT = 80;
constexpr INTERNET_PORT INTERNET_DEFAULT_HTTPS_PORT = 443;

// Request flags (InternetOpenUrlA, HttpOpenRequestA).
constexpr DWORD INTERNET_FLAG_NEED_FILE = 0x00000010;
constexpr DWORD INTERNET_FLAG_PRAGMA_NOCACHE = 0x00000100;
constexpr DWORD INTERNET_FLAG_IGNORE_CERT_CN_INVALID = 0x00001000;
constexpr DWORD INTERNET_FLAG_SECURE = 0x00800000;
constexpr DWORD INTERNET_FLAG_NO_CACHE_WRITE = 0x04000000;

// Options (InternetQueryOptionA, InternetSetOptionA).
constexpr DWORD INTERNET_OPTION_SECURITY_FLAGS = 31;
constexpr DWORD SECURITY_FLAG_SECURE = 0x00000001;
constexpr DWORD SECURITY_FLAG_IGNORE_UNKNOWN_CA = 0x00000100;

// HttpAddRequestHeadersA's modifiers.
constexpr DWORD HTTP_ADDREQ_FLAG_ADD = 0x20000000;

// The errors the internet calls leave.
constexpr DWORD ERROR_INTERNET_TIMEOUT = 12002;
constexpr DWORD ERROR_INTERNET_INTERNAL_ERROR = 12004;
constexpr DWORD ERROR_INTERNET_INVALID_URL = 12005;
constexpr DWORD ERROR_INTERNET_UNRECOGNIZED_SCHEME = 12006;
constexpr DWORD ERROR_INTERNET_NAME_NOT_RESOLVED = 12007;
constexpr DWORD ERROR_INTERNET_INVALID_OPTION = 12009;
constexpr DWORD ERROR_INTERNET_OPERATION_CANCELLED = 12017;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_TYPE = 12018;
constexpr DWORD ERROR_INTERNET_INCORRECT_HANDLE_STATE = 12019;
constexpr DWORD ERROR_INTERNET_CANNOT_CONNECT = 12029;
constexpr DWORD ERROR_INTERNET_CONNECTION_RESET = 12031;
constexpr DWORD ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR = 12040;
constexpr DWORD ERROR_HTTP_INVALID_SERVER_RESPONSE = 12152;
constexpr DWORD ERROR_HTTP_REDIRECT_FAILED = 12156;
constexpr DWORD ERROR_INTERNET_SECURE_FAILURE = 12175;

// The parts of an address (InternetCrackUrlA).
enum INTERNET_SCHEME : int {
    INTERNET_SCHEME_UNKNOWN = -1,
    INTERNET_SCHEME_HTTP = 3,
    INTERNET_SCHEME_HTTPS = 4,
};

// For each part: a buffer and its size in bytes, the terminating NUL included; InternetCrackUrlA
// fills it and leaves the part's length without the NUL. A size of 0 asks nothing for that part.
// Without lpszExtraInfo the query stays in the path.
struct URL_COMPONENTSA {
    DWORD dwStructSize;
    char* lpszScheme;
    DWORD dwSchemeLength;
    INTERNET_SCHEME nScheme;
    char* lpszHostName;
    DWORD dwHostNameLength;
    INTERNET_PORT nPort;
    char* lpszUserName;
    DWORD dwUserNameLength;
    char* lpszPassword;
    DWORD dwPasswordLength;
    char* lpszUrlPath;
    DWORD dwUrlPathLength;
    char* lpszExtraInfo;
    DWORD dwExtraInfoLength;
};

// The agent names the program in every request's User-Agent. Proxy and bypass lists are not
// taken: PRECONFIG reads the environment, DIRECT uses no proxy.
HINTERNET InternetOpenA(const char* agent, DWORD accessType, const char* proxy,
                        const char* proxyBypass, DWORD flags);
// A GET of the address (headers: extra request header lines, length -1 for a NUL-terminated
// text), sent and followed until the reply's headers are in.
HINTERNET InternetOpenUrlA(HINTERNET session, const char* url, const char* headers,
                           DWORD headersLength, DWORD flags, DWORD_PTR context);
// Splits an address (urlLength 0: NUL-terminated) into the parts the caller asks for; a port the
// address does not give is the scheme's default. Flags are ignored. Fails with
// ERROR_INTERNET_UNRECOGNIZED_SCHEME for a scheme other than http and https,
// ERROR_INTERNET_INVALID_URL for an address that does not parse, ERROR_INSUFFICIENT_BUFFER (the
// length set to the size needed) when a part does not fit its buffer, and ERROR_INVALID_PARAMETER
// for a bad structure or a part asked without a buffer.
BOOL InternetCrackUrlA(const char* url, DWORD urlLength, DWORD flags, URL_COMPONENTSA* components);
// Does no network work: the server is reached when a request on the connection is sent. User
// and password are not taken.
HINTERNET InternetConnectA(HINTERNET session, const char* serverName, INTERNET_PORT serverPort,
                           const char* userName, const char* password, DWORD service, DWORD flags,
                           DWORD_PTR context);
// Verb "GET" (also for null) or "POST"; an empty or null path is "/". Version, referrer and
// accept types are not taken. INTERNET_FLAG_SECURE makes it an https request; PRAGMA_NOCACHE
// adds "Pragma: no-cache".
HINTERNET HttpOpenRequestA(HINTERNET connection, const char* verb, const char* objectName,
                           const char* version, const char* referrer, const char** acceptTypes,
                           DWORD flags, DWORD_PTR context);
// Header lines ("Name: value", separated by CR LF; length -1 for a NUL-terminated text) for a
// request not yet sent.
BOOL HttpAddRequestHeadersA(HINTERNET request, const char* headers, DWORD headersLength,
                            DWORD modifiers);
// Sends the request with more header lines and a body (a POST's; null or 0 for none) and waits
// for the reply's headers. Once per request.
BOOL HttpSendRequestA(HINTERNET request, const char* headers, DWORD headersLength,
                      const void* optional, DWORD optionalLength);
// INTERNET_OPTION_SECURITY_FLAGS of a request only: a DWORD.
BOOL InternetQueryOptionA(HINTERNET handle, DWORD option, void* buffer, DWORD* bufferLength);
BOOL InternetSetOptionA(HINTERNET handle, DWORD option, void* buffer, DWORD bufferLength);
// How many body bytes can be read without waiting; waits until at least one is there or the
// body has ended (0).
BOOL InternetQueryDataAvailable(HINTERNET request, DWORD* bytesAvailable, DWORD flags,
                                DWORD_PTR context);
// Reads at most `toRead` bytes, waiting until at least one is there; 0 bytes read at the end of
// the body.
BOOL InternetReadFile(HINTERNET request, void* buffer, DWORD toRead, DWORD* bytesRead);
// Closes any kind of handle; a request's transfer is dropped.
BOOL InternetCloseHandle(HINTERNET handle);
