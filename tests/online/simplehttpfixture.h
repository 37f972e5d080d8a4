// What the TSimpleHttp tests share: a test server, short time limits, the program's log, and
// waiting for a request to end.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "online/simplehttp.h"
#include "port/control.h"
#include "support/fakehttp.h"
#include "support/logcapture.h"

namespace simplehttp_testing {

// A silent server fails a request in a fraction of a second.
constexpr DWORD kIdleMs = 300;
constexpr DWORD kRequestMs = 900;

// Polls until the request has ended (or 10 s passed); answers the state.
int WaitForEnd(const TSimpleHttp& http);

class SimpleHttpTest : public testing::Test {
protected:
    void SetUp() override;

    // A POST of the fields to the server's path, waited for.
    int Post(TSimpleHttp& http, const std::string& path, uint32_t options = 1);

    testing_support::FakeHttpServer mServer;
    testing_support::LogCapture mLog;
};

}  // namespace simplehttp_testing
