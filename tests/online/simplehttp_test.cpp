// TSimpleHttp: the form encoding, and requests against the test server, one row for each way a
// request can go.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "foundation/file/fileindex.h"
#include "port/http/wininet.h"
#include "simplehttpfixture.h"
#include "support/tempdir.h"

namespace {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

// The process's peak resident memory so far, in bytes (VmHWM).
size_t PeakMemory() {
    std::string status = testing_support::ReadFileBytes("/proc/self/status");
    size_t at = status.find("VmHWM:");
    return at == std::string::npos ? 0 : std::strtoull(status.c_str() + at + 6, nullptr, 10) * 1024;
}

using simplehttp_testing::SimpleHttpTest;
using simplehttp_testing::WaitForEnd;
using testing_support::FakeReply;

TEST(EncodeFormValue, EncodesExactlyTheTwentyFourBytes) {
    const std::string encoded = " \"#$%&+,/:;<=>?@[\\]^`{|}";
    for (int byte = 1; byte <= 255; ++byte) {
        char value[2] = {static_cast<char>(byte), '\0'};
        std::string expected = value;
        if (encoded.find(static_cast<char>(byte)) != std::string::npos) {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", byte);
            expected = escape;
        }
        EXPECT_EQ(std::string(EncodeFormValue(value).c_str()), expected) << "byte " << byte;
    }
    EXPECT_STREQ(EncodeFormValue("a b&c").c_str(), "a%20b%26c");
    EXPECT_STREQ(EncodeFormValue("").c_str(), "");
    EXPECT_STREQ(EncodeFormValue(nullptr).c_str(), "");
}

TEST_F(SimpleHttpTest, APostSendsItsFieldsAsTheBody) {
    mServer.Answer("/submit", FakeReply::Text(200, "ok"));
    TSimpleHttp http;
    EXPECT_EQ(http.GetState(), TSimpleHttp::kFailed);
    EXPECT_EQ(http.GetReply(), nullptr);
    http.SetUrl(mServer.Url("/submit").c_str(), true, nullptr);
    http.AddField("name", "a b&c");
    http.AddField("score", 42);
    http.AddField("empty", "");
    http.AddField("raw\x01", "\x01\x7E\xFF");
    http.Send(1);
    ASSERT_EQ(WaitForEnd(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetReply(), "ok");

    auto requests = mServer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/submit");
    EXPECT_EQ(requests[0].body, "name=a%20b%26c&score=42&empty=&raw\x01=\x01\x7E\xFF");
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0].Header("User-Agent"), "bvlib");
}

TEST_F(SimpleHttpTest, AGetPutsItsFieldsInTheAddress) {
    mServer.Answer("/get", FakeReply::Text(200, "got"));
    TSimpleHttp http;
    http.SetUrl(mServer.Url("/get").c_str(), false, nullptr);
    http.AddField("a", "x y");
    http.AddField("b", -7);
    http.Send(1);
    ASSERT_EQ(WaitForEnd(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetReply(), "got");
    auto requests = mServer.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/get?a=x%20y&b=-7");
    EXPECT_TRUE(requests[0].body.empty());
}

TEST_F(SimpleHttpTest, EachReplyEndsInItsState) {
    std::string page = "<html><body>Internal error</body></html>";
    std::string text = testing_support::HugeBody(200000);
    mServer.Answer("/empty", FakeReply::Text(200, ""));
    mServer.Answer("/error", FakeReply::Text(500, page, "text/html"));
    mServer.Answer("/chunked", FakeReply::Chunked(text, 1000));
    mServer.Answer("/stall", FakeReply::StallAfterHeaders());
    // Each byte well within the idle limit; the whole would take 10 s.
    mServer.Answer("/trickle", FakeReply::Trickle(std::string(200, 't'), 50));
    mServer.Answer("/cut", FakeReply::CutBody(text, 1000));
    mServer.Answer("/moved", FakeReply::Redirect(302, "/other"));
    mServer.Answer("/file", FakeReply::Redirect(302, "file:///etc/hostname"));
    mServer.Answer("/other", FakeReply::Text(200, "other"));
    // The program's buffers hold a path of 259 characters; a longer one is never sent.
    std::string longest = "/" + std::string(258, 'p');
    std::string tooLong = longest + "p";
    mServer.Answer(longest, FakeReply::Text(200, "long"));
    mServer.Answer(tooLong, FakeReply::Text(200, "too long"));
    struct Case {
        std::string path;
        bool post;
        int state;
        const char* reply;  // null: none
    } cases[] = {
        {"/empty", true, TSimpleHttp::kDone, ""},
        {"/error", true, TSimpleHttp::kDone, page.c_str()},
        {"/chunked", false, TSimpleHttp::kDone, text.c_str()},
        {"/stall", true, TSimpleHttp::kFailed, nullptr},
        {"/trickle", false, TSimpleHttp::kFailed, nullptr},
        {"/cut", true, TSimpleHttp::kFailed, nullptr},
        // A POST is never redirected: the 302 is the reply.
        {"/moved", true, TSimpleHttp::kDone, "moved"},
        {"/file", false, TSimpleHttp::kFailed, nullptr},
        {longest, true, TSimpleHttp::kDone, "long"},
        {tooLong, true, TSimpleHttp::kFailed, nullptr},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path);
        TSimpleHttp http;
        http.SetUrl(mServer.Url(test.path).c_str(), test.post, nullptr);
        http.Send(1);
        EXPECT_EQ(WaitForEnd(http), test.state);
        if (test.reply == nullptr) {
            EXPECT_EQ(http.GetReply(), nullptr);
        } else {
            ASSERT_NE(http.GetReply(), nullptr);
            EXPECT_TRUE(std::strcmp(http.GetReply(), test.reply) == 0);
        }
    }
    for (const auto& request : mServer.Requests()) {
        EXPECT_NE(request.path, "/other");
        EXPECT_NE(request.path, tooLong);
    }
}

TEST_F(SimpleHttpTest, NoServerFailsAndLogsTheConnection) {
    std::string url = "http://127.0.0.1:" + std::to_string(testing_support::ClosedPort()) + "/";
    TSimpleHttp http;
    http.SetUrl(url.c_str(), true, nullptr);
    http.Send(1);
    EXPECT_EQ(WaitForEnd(http), TSimpleHttp::kFailed);
    http.SetUrl(url.c_str(), false, nullptr);
    http.Send(1);
    EXPECT_EQ(WaitForEnd(http), TSimpleHttp::kFailed);
    std::string refused = std::to_string(ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_EQ(mLog.Messages(),
              (std::vector<std::string>{"Error creating connection (POST) " + refused,
                                        "Error creating connection (InternetOpenUrl) " + refused}));
}

TEST_F(SimpleHttpTest, AReplyOverTheCapFailsWithoutGrowingFurther) {
    mServer.Answer("/endless", FakeReply::Huge(size_t{1} << 30));
    size_t peakBefore = PeakMemory();
    TSimpleHttp http;
    http.SetUrl(mServer.Url("/endless").c_str(), true, nullptr);
    http.Send(1);
    EXPECT_EQ(WaitForEnd(http), TSimpleHttp::kFailed);
    EXPECT_EQ(http.GetReply(), nullptr);
    // The reply at its cap, the port's buffer and the server's blocks; the sanitizers' own
    // bookkeeping would swamp the figure.
    if (!kSanitized) {
        EXPECT_LT(PeakMemory() - peakBefore, size_t{20} << 20);
    }
    ASSERT_TRUE(mServer.WaitUntilIdle(std::chrono::seconds(10)));
    // The reader stopped at 8 MiB: what the server got out is that and what the sockets hold.
    EXPECT_LT(mServer.Requests()[0].bytesSent, size_t{24} << 20);
    auto log = mLog.Messages();
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0], "HTTP reply larger than 8388608 bytes, transfer stopped");
}

TEST_F(SimpleHttpTest, ADownloadGoesToItsFile) {
    std::string body = testing_support::HugeBody(300000);
    mServer.Answer("/file.bin", FakeReply::Text(200, body, "application/octet-stream"));
    testing_support::TempDir dir;
    SetUserDataRoot(dir.Path().c_str());
    TSimpleHttp http;
    http.SetUrl(mServer.Url("/file.bin").c_str(), false, "user:file.bin");
    http.Send(1);
    ASSERT_EQ(WaitForEnd(http), TSimpleHttp::kDone);
    EXPECT_EQ(http.GetReply(), nullptr);
    EXPECT_TRUE(testing_support::ReadFileBytes(dir.File("file.bin")) == body);

    // A folder that is a file cannot hold the download.
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("plain"), "x"));
    http.SetUrl(mServer.Url("/file.bin").c_str(), true, "user:plain/file.bin");
    http.Send(1);
    EXPECT_EQ(WaitForEnd(http), TSimpleHttp::kFileFailed);
}

TEST_F(SimpleHttpTest, OnlyALowerCaseSchemeMeansHttps) {
    mServer.Answer("/upper", FakeReply::Text(200, "plain"));
    std::string url = mServer.Url("/upper");
    url.replace(0, 4, "HTTPS");  // "http://..." to "HTTPS://..."
    TSimpleHttp http;
    http.SetUrl(url.c_str(), true, nullptr);
    http.Send(1);
    ASSERT_EQ(WaitForEnd(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetReply(), "plain");
}

TEST_F(SimpleHttpTest, SetUrlDuringATransferDiscardsItsReply) {
    mServer.Answer("/stall", FakeReply::StallAfterHeaders());
    TSimpleHttp http;
    http.SetUrl(mServer.Url("/stall").c_str(), true, nullptr);
    http.Send(1);
    ASSERT_TRUE(mServer.WaitForRequests(1, std::chrono::seconds(10)));
    EXPECT_EQ(http.GetState(), TSimpleHttp::kRunning);
    EXPECT_EQ(http.GetReply(), nullptr);
    http.SetUrl(mServer.Url("/stall").c_str(), true, nullptr);
    EXPECT_EQ(http.GetState(), TSimpleHttp::kFailed);
    EXPECT_EQ(http.GetReply(), nullptr);
    // The abandoned worker leaves at once, long before the idle limit.
    EXPECT_TRUE(mServer.WaitUntilIdle(std::chrono::seconds(10)));
}

TEST_F(SimpleHttpTest, AnInvalidSessionIsReopenedOnce) {
    mServer.Answer("/", FakeReply::Text(200, "again"));
    TSimpleHttp http;
    port::control::InjectFailure("InternetConnectA", ERROR_INVALID_HANDLE, 1);
    ASSERT_EQ(Post(http, "/"), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetReply(), "again");
    port::control::InjectFailure("InternetOpenUrlA", ERROR_INVALID_HANDLE, 1);
    http.SetUrl(mServer.Url("/").c_str(), false, nullptr);
    http.Send(1);
    ASSERT_EQ(WaitForEnd(http), TSimpleHttp::kDone);
    EXPECT_STREQ(http.GetReply(), "again");
    // Twice invalid: no third try.
    port::control::InjectFailure("InternetConnectA", ERROR_INVALID_HANDLE, 2);
    EXPECT_EQ(Post(http, "/"), TSimpleHttp::kFailed);
    EXPECT_EQ(mLog.Messages(), std::vector<std::string>{"Error creating connection (POST) 6"});
}

TEST_F(SimpleHttpTest, AFailedReadFailsTheRequest) {
    mServer.Answer("/", FakeReply::Text(200, "never read"));
    port::control::InjectFailure("InternetReadFile", ERROR_INTERNET_CONNECTION_RESET, 1);
    TSimpleHttp http;
    EXPECT_EQ(Post(http, "/"), TSimpleHttp::kFailed);
    EXPECT_EQ(http.GetReply(), nullptr);
}

TEST_F(SimpleHttpTest, OtherHostsNeverLeaveThisMachine) {
    mServer.Answer("/away", FakeReply::Redirect(302, "http://example.com/"));
    TSimpleHttp http;
    http.SetUrl("http://example.com/", false, nullptr);
    http.Send(1);
    EXPECT_EQ(WaitForEnd(http), TSimpleHttp::kFailed);
    http.SetUrl(mServer.Url("/away").c_str(), false, nullptr);
    http.Send(1);
    EXPECT_EQ(WaitForEnd(http), TSimpleHttp::kFailed);
    EXPECT_EQ(port::control::HttpNameLookups(), 0);
}

}  // namespace
