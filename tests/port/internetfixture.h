// What the internet service's tests share: a session, whole replies read as the program reads
// them, short time limits and the port's log kept (loggedlines.h).
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "port/control.h"
#include "port/http/wininet.h"

namespace internet_testing {

// The limits the tests run with: a silent server fails in a fraction of a second.
constexpr DWORD kIdleMs = 300;
constexpr DWORD kRequestMs = 900;
constexpr DWORD kSlowDownloadMs = 300;

struct Reply {
    DWORD error = ERROR_SUCCESS;  // of the call that failed
    std::string body;
};

// Reads the rest of a request's body as the program does (how much is there, then read it).
Reply ReadAll(HINTERNET request);

class InternetTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // InternetOpenUrlA and the whole body; the handle closed.
    Reply Get(const std::string& url, DWORD flags = 0);
    // InternetConnectA, HttpOpenRequestA, the header lines, HttpSendRequestA with the body, and
    // the whole reply; the handles closed.
    Reply Send(const std::string& verb, int port, const std::string& path, const std::string& body,
               const std::string& headers = "", DWORD flags = 0);

    HINTERNET mSession = nullptr;
};

}  // namespace internet_testing
