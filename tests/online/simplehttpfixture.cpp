#include "simplehttpfixture.h"

#include <chrono>
#include <thread>

namespace simplehttp_testing {

int WaitForEnd(const TSimpleHttp& http) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (http.GetState() == TSimpleHttp::kRunning &&
           std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return http.GetState();
}

void SimpleHttpTest::SetUp() {
    ASSERT_TRUE(mServer.IsRunning());
    port::control::HttpTimeouts timeouts;
    timeouts.idleMs = kIdleMs;
    timeouts.requestMs = kRequestMs;
    port::control::SetHttpTimeouts(timeouts);
}

int SimpleHttpTest::Post(TSimpleHttp& http, const std::string& path, uint32_t options) {
    http.SetUrl(mServer.Url(path).c_str(), true, nullptr);
    http.AddField("a", "1");
    http.Send(options);
    return WaitForEnd(http);
}

}  // namespace simplehttp_testing
