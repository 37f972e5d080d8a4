// The internet calls over plain HTTP against the test server: what a request sends, how replies
// and faults come back, time limits, redirects, the loopback switch, proxies, the stop signal.
#include <arpa/inet.h>
#include <curl/curl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <thread>

#include "internetfixture.h"
#include "port/http/internetstop.h"
#include "port/system/lasterror.h"
#include "support/fakehttp.h"

namespace {

using internet_testing::InternetTest;
using internet_testing::Reply;
using testing_support::FakeHttpServer;
using testing_support::FakeReply;

TEST(InternetCurl, HasATimedNameLookup) {
    // Without signals, only the threaded resolver can give up on a slow lookup.
    EXPECT_TRUE(curl_version_info(CURLVERSION_NOW)->features & CURL_VERSION_ASYNCHDNS);
}

TEST(InternetLoopbackSwitch, IsOnFromATestProgramsFirstTest) {
    EXPECT_TRUE(port::control::HttpLoopbackOnly());
}

TEST_F(InternetTest, AGetSendsTheAgentAndNoEncodingAndReadsTheBody) {
    FakeHttpServer server;
    server.Answer("/page", FakeReply::Text(200, "hello"));
    Reply reply = Get(server.Url("/page?a=1"), INTERNET_FLAG_NO_CACHE_WRITE);
    EXPECT_EQ(reply.error, ERROR_SUCCESS);
    EXPECT_EQ(reply.body, "hello");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/page?a=1");
    EXPECT_EQ(requests[0].Header("User-Agent"), "bvlib");
    EXPECT_FALSE(requests[0].HasHeader("Accept-Encoding"));
    EXPECT_TRUE(requests[0].body.empty());
}

TEST_F(InternetTest, APostSendsItsBodyAndOnlyTheGivenContentType) {
    FakeHttpServer server;
    server.Answer("/post", FakeReply::Text(200, "done"));
    std::string body(5000, 'x');  // long enough that a client might wait for "100 Continue"
    Reply reply = Send("POST", server.Port(), "/post", body,
                       "Content-Type: application/x-www-form-urlencoded",
                       INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE);
    EXPECT_EQ(reply.error, ERROR_SUCCESS);
    EXPECT_EQ(reply.body, "done");
    Reply bare = Send("POST", server.Port(), "/post", "a=1");
    EXPECT_EQ(bare.body, "done");

    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/post");
    EXPECT_EQ(requests[0].body, body);
    EXPECT_EQ(requests[0].Header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(requests[0].Header("Pragma"), "no-cache");
    EXPECT_FALSE(requests[0].HasHeader("Expect"));
    EXPECT_EQ(requests[1].body, "a=1");
    EXPECT_FALSE(requests[1].HasHeader("Content-Type"));
}

TEST_F(InternetTest, RepliesAndFaultsEndAsTheyShould) {
    FakeHttpServer server;
    std::string longBody = testing_support::HugeBody(100000);
    server.Answer("/empty", FakeReply::Text(200, ""));
    server.Answer("/error", FakeReply::Text(500, "<html>oops</html>", "text/html"));
    server.Answer("/chunked", FakeReply::Chunked(longBody, 777));
    server.Answer("/cut", FakeReply::CutBody(longBody, 5000));
    server.Answer("/close", FakeReply::CloseWithoutAnswer());
    server.Answer("/big", FakeReply::Huge(3 * 1024 * 1024));
    struct Case {
        const char* path;
        DWORD error;
        std::string body;
    } cases[] = {
        {"/empty", ERROR_SUCCESS, ""},
        {"/error", ERROR_SUCCESS, "<html>oops</html>"},
        {"/chunked", ERROR_SUCCESS, longBody},
        {"/cut", ERROR_INTERNET_CONNECTION_RESET, longBody.substr(0, 5000)},
        {"/close", ERROR_HTTP_INVALID_SERVER_RESPONSE, ""},
        {"/big", ERROR_SUCCESS, testing_support::HugeBody(3 * 1024 * 1024)},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.path);
        Reply reply = Get(server.Url(test.path));
        EXPECT_EQ(reply.error, test.error);
        EXPECT_TRUE(reply.body == test.body) << reply.body.size() << " bytes";
    }
}

TEST_F(InternetTest, NoServerMeansCannotConnect) {
    int port = testing_support::ClosedPort();
    EXPECT_EQ(Get("http://127.0.0.1:" + std::to_string(port) + "/").error,
              ERROR_INTERNET_CANNOT_CONNECT);
    EXPECT_EQ(Send("POST", port, "/", "a=1").error, ERROR_INTERNET_CANNOT_CONNECT);
}

TEST_F(InternetTest, OnlyHttpAndHttpsAddresses) {
    EXPECT_EQ(Get("file:///etc/hostname").error, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(Get("ftp://127.0.0.1/").error, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(Get("http://127.0.0.1:1/a\r\nX-Injected: 1").error, ERROR_INTERNET_INVALID_URL);
}

TEST_F(InternetTest, ASilentServerTimesOut) {
    // A server that takes the connection and never answers: the kernel accepts for it.
    FakeHttpServer stalling;
    stalling.Answer("/stall", FakeReply::StallAfterHeaders());
    int silent = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    ASSERT_EQ(bind(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ASSERT_EQ(listen(silent, 4), 0);
    ASSERT_EQ(getsockname(silent, reinterpret_cast<sockaddr*>(&address), &length), 0);

    EXPECT_EQ(Get("http://127.0.0.1:" + std::to_string(ntohs(address.sin_port)) + "/").error,
              ERROR_INTERNET_TIMEOUT);
    // The headers came; the body never does.
    EXPECT_EQ(Get(stalling.Url("/stall")).error, ERROR_INTERNET_TIMEOUT);
    close(silent);
}

TEST_F(InternetTest, ATrickleEndsAtTheRequestLimitAndASlowDownloadByItsRate) {
    FakeHttpServer server;
    // A byte every 30 ms comes well within the idle limit; the whole would take 6 s.
    server.Answer("/trickle", FakeReply::Trickle(std::string(200, 't'), 30));
    Reply reply = Get(server.Url("/trickle"));
    EXPECT_EQ(reply.error, ERROR_INTERNET_TIMEOUT);
    EXPECT_LT(reply.body.size(), 200u);
    // A body that goes to a file has no overall limit, but must bring 1 KiB per period.
    Reply download = Get(server.Url("/trickle"), INTERNET_FLAG_NEED_FILE);
    EXPECT_EQ(download.error, ERROR_INTERNET_TIMEOUT);
    EXPECT_LT(download.body.size(), 200u);
}

TEST_F(InternetTest, AGetFollowsUpToFiveRedirectsOnHttpOnly) {
    FakeHttpServer server;
    server.Answer("/final", FakeReply::Text(200, "arrived"));
    for (int i = 1; i <= 6; ++i) {
        std::string next = i == 1 ? "/final" : "/hop" + std::to_string(i - 1);
        server.Answer("/hop" + std::to_string(i), FakeReply::Redirect(i % 2 ? 302 : 301, next));
    }
    server.Answer("/relative", FakeReply::Redirect(307, "final"));
    server.Answer("/file", FakeReply::Redirect(302, "file:///etc/hostname"));
    server.Answer("/ftp", FakeReply::Redirect(302, "ftp://127.0.0.1/x"));

    EXPECT_EQ(Get(server.Url("/hop5")).body, "arrived");
    EXPECT_EQ(Get(server.Url("/relative")).body, "arrived");
    EXPECT_EQ(Get(server.Url("/hop6")).error, ERROR_HTTP_REDIRECT_FAILED);
    EXPECT_EQ(Get(server.Url("/file")).error, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    EXPECT_EQ(Get(server.Url("/ftp")).error, ERROR_INTERNET_UNRECOGNIZED_SCHEME);
    // A GET sent on a connection follows them too.
    EXPECT_EQ(Send("GET", server.Port(), "/hop1", "").body, "arrived");
}

TEST_F(InternetTest, APostIsNeverRedirected) {
    FakeHttpServer server;
    server.Answer("/submit", FakeReply::Redirect(302, "/elsewhere"));
    Reply reply = Send("POST", server.Port(), "/submit", "a=1");
    EXPECT_EQ(reply.error, ERROR_SUCCESS);
    EXPECT_EQ(reply.body, "moved");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].path, "/submit");
}

TEST_F(InternetTest, TheLoopbackSwitchRefusesOtherHostsBeforeAnyLookup) {
    FakeHttpServer server;
    server.Answer("/away", FakeReply::Redirect(302, "http://example.com/"));
    EXPECT_EQ(Get("http://example.com/").error, ERROR_INTERNET_NAME_NOT_RESOLVED);
    EXPECT_EQ(Get(server.Url("/away")).error, ERROR_INTERNET_NAME_NOT_RESOLVED);
    EXPECT_EQ(InternetConnectA(mSession, "example.com", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP,
                               0, 0),
              nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_NAME_NOT_RESOLVED);
    EXPECT_EQ(port::control::HttpNameLookups(), 0);
}

TEST_F(InternetTest, AProxySettingNeverTakesRequestsForThisMachine) {
    FakeHttpServer server;
    server.Answer("/", FakeReply::Text(200, "direct"));
    std::string proxy = "http://127.0.0.1:" + std::to_string(testing_support::ClosedPort());
    for (const char* name :
         {"http_proxy", "HTTPS_PROXY", "https_proxy", "ALL_PROXY", "all_proxy"}) {
        setenv(name, proxy.c_str(), 1);
    }
    setenv("no_proxy", "example.org", 1);
    EXPECT_EQ(Get(server.Url("/")).body, "direct");
    EXPECT_EQ(Send("POST", server.Port(), "/", "a=1").body, "direct");
}

TEST_F(InternetTest, ARaisedStopEndsAWaitingCallAtOnce) {
    FakeHttpServer server;
    server.Answer("/stall", FakeReply::StallAfterHeaders());
    // Limits far beyond the test's own time: only the stop can end the wait.
    port::control::SetHttpTimeouts({});
    port::InternetStop stop;
    DWORD error = ERROR_SUCCESS;
    std::thread worker([&] {
        port::SetThreadInternetStop(&stop);
        Reply reply = Get(server.Url("/stall"));
        port::SetThreadInternetStop(nullptr);
        error = reply.error;
    });
    ASSERT_TRUE(server.WaitForRequests(1, std::chrono::seconds(10)));
    stop.Raise();
    worker.join();
    EXPECT_EQ(error, ERROR_INTERNET_OPERATION_CANCELLED);
    EXPECT_TRUE(server.WaitUntilIdle(std::chrono::seconds(10)));
}

TEST_F(InternetTest, HandlesAnswerForTheirKindAndState) {
    FakeHttpServer server;
    server.Answer("/", FakeReply::Text(200, "x"));
    DWORD available = 0;
    char byte;
    DWORD read = 0;

    EXPECT_EQ(
        InternetConnectA(nullptr, "127.0.0.1", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 0),
        nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(InternetQueryDataAvailable(mSession, &available, 0, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);

    HINTERNET connection = InternetConnectA(mSession, "127.0.0.1", server.Port(), nullptr, nullptr,
                                            INTERNET_SERVICE_HTTP, 0, 0);
    ASSERT_NE(connection, nullptr);
    EXPECT_EQ(InternetOpenUrlA(connection, server.Url("/").c_str(), nullptr, 0, 0, 0), nullptr);
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
    HINTERNET request = HttpOpenRequestA(connection, "GET", "/", nullptr, nullptr, nullptr, 0, 0);
    ASSERT_NE(request, nullptr);
    EXPECT_FALSE(InternetReadFile(request, &byte, 1, &read));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    EXPECT_FALSE(HttpAddRequestHeadersA(request, "no colon here", static_cast<DWORD>(-1),
                                        HTTP_ADDREQ_FLAG_ADD));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    // The connection closed first: the request keeps what it needs.
    EXPECT_TRUE(InternetCloseHandle(connection));
    ASSERT_TRUE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
    EXPECT_FALSE(HttpSendRequestA(request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(GetLastError(), ERROR_INTERNET_INCORRECT_HANDLE_STATE);
    EXPECT_EQ(internet_testing::ReadAll(request).body, "x");
    ASSERT_TRUE(InternetReadFile(request, &byte, 1, &read));
    EXPECT_EQ(read, 0u);

    EXPECT_TRUE(InternetCloseHandle(request));
    EXPECT_FALSE(InternetCloseHandle(request));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
    EXPECT_FALSE(InternetReadFile(request, &byte, 1, &read));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(InternetTest, InjectedFailuresAnswerWithTheirError) {
    FakeHttpServer server;
    server.Answer("/", FakeReply::Text(200, "x"));
    port::control::InjectFailure("InternetConnectA", ERROR_INVALID_HANDLE, 1);
    EXPECT_EQ(Send("GET", server.Port(), "/", "").error, ERROR_INVALID_HANDLE);
    EXPECT_EQ(Send("GET", server.Port(), "/", "").body, "x");
    port::control::InjectFailure("InternetReadFile", ERROR_INTERNET_CONNECTION_RESET, 1);
    EXPECT_EQ(Get(server.Url("/")).error, ERROR_INTERNET_CONNECTION_RESET);
}

}  // namespace
