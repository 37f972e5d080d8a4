// The internet service's part of the control plane, for tests: keep requests on this machine,
// trust a test's own certificate, shorten the time limits, count name lookups. Gathered with the
// other services' parts in port/control.h.
#pragma once

#include <string>

#include "port/win32types.h"

namespace port::control {

// With the switch on, a request to any host but 127.0.0.1, ::1 and localhost fails as a name
// that does not resolve (ERROR_INTERNET_NAME_NOT_RESOLVED), before any lookup: at
// InternetConnectA, InternetOpenUrlA, and for every redirect target. Test programs keep it on.
void SetHttpLoopbackOnly(bool on);
bool HttpLoopbackOnly();

// A PEM file of certificates trusted beside the system's store (empty: none). Chains and host
// names are still checked.
void SetHttpExtraCaFile(const std::string& path);

// The time limits of a transfer, in milliseconds.
struct HttpTimeouts {
    // Reaching the server, name lookup included.
    DWORD connectMs = 15000;
    // Without a received byte.
    DWORD idleMs = 30000;
    // The whole request, redirects included; not for a request whose body goes to a file.
    DWORD requestMs = 120000;
    // A request whose body goes to a file ends when fewer than 1 KiB arrive in this time.
    DWORD slowDownloadMs = 30000;
};
void SetHttpTimeouts(const HttpTimeouts& timeouts);

// How many name lookups libcurl started: transfers to a host given by name (an address given as
// an IP address needs none).
int HttpNameLookups();

// Puts the service back as a process starts: the switch off, no extra certificates, the standard
// time limits, no lookups counted, no internet handle open.
void ResetHttp();

}  // namespace port::control
