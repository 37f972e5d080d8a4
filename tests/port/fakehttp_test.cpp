// The test server itself, fetched with a plain libcurl transfer, so that the internet service
// and the server are never proved only against each other.
#include <curl/curl.h>
#include <gtest/gtest.h>

#include <string>

#include "support/fakehttp.h"
#include "support/tempdir.h"
#include "support/testcert.h"

namespace {

using testing_support::FakeHttpServer;
using testing_support::FakeReply;

struct Fetched {
    CURLcode result = CURLE_OK;
    long status = 0;
    std::string body;
    std::string location;
};

size_t Append(char* data, size_t size, size_t count, void* body) {
    static_cast<std::string*>(body)->append(data, size * count);
    return size * count;
}

// libcurl as it comes, but never through a proxy and never for long.
Fetched Fetch(const std::string& url, const std::string& post = "",
              const std::string& caFile = "") {
    Fetched fetched;
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 3000L);
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &fetched.body);
    if (!post.empty()) curl_easy_setopt(curl, CURLOPT_POSTFIELDS, post.c_str());
    if (!caFile.empty()) curl_easy_setopt(curl, CURLOPT_CAINFO, caFile.c_str());
    fetched.result = curl_easy_perform(curl);
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &fetched.status);
    char* location = nullptr;
    curl_easy_getinfo(curl, CURLINFO_REDIRECT_URL, &location);
    if (location != nullptr) fetched.location = location;
    curl_easy_cleanup(curl);
    return fetched;
}

TEST(FakeHttpServer, ListensOnLoopbackOnly) {
    FakeHttpServer server;
    ASSERT_TRUE(server.IsRunning());
    EXPECT_EQ(server.Url("/x"), "http://127.0.0.1:" + std::to_string(server.Port()) + "/x");
}

TEST(FakeHttpServer, RecordsEachRequest) {
    FakeHttpServer server;
    server.Answer("/form", FakeReply::Text(201, "made"));
    Fetched fetched = Fetch(server.Url("/form?id=7"), "a=1&b=%20");
    EXPECT_EQ(fetched.result, CURLE_OK);
    EXPECT_EQ(fetched.status, 201);
    EXPECT_EQ(fetched.body, "made");
    auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method, "POST");
    EXPECT_EQ(requests[0].target, "/form?id=7");
    EXPECT_EQ(requests[0].path, "/form");
    EXPECT_EQ(requests[0].body, "a=1&b=%20");
    EXPECT_EQ(requests[0].Header("content-type"), "application/x-www-form-urlencoded");
    EXPECT_TRUE(server.WaitUntilIdle(std::chrono::seconds(5)));
    EXPECT_GT(server.Requests()[0].bytesSent, 4u);
}

TEST(FakeHttpServer, AnswersFromItsScript) {
    FakeHttpServer server;
    std::string text = testing_support::HugeBody(50000);
    server.Answer("/chunked", FakeReply::Chunked(text, 1000));
    server.Answer("/huge", FakeReply::Huge(1 << 20));
    server.Answer("/trickle", FakeReply::Trickle("abc", 1));
    server.Answer("/moved", FakeReply::Redirect(302, "/there"));
    server.Answer("/cut", FakeReply::CutBody(text, 100));
    server.Answer("/close", FakeReply::CloseWithoutAnswer());

    EXPECT_EQ(Fetch(server.Url("/chunked")).body, text);
    EXPECT_TRUE(Fetch(server.Url("/huge")).body == testing_support::HugeBody(1 << 20));
    EXPECT_EQ(Fetch(server.Url("/trickle")).body, "abc");
    Fetched moved = Fetch(server.Url("/moved"));
    EXPECT_EQ(moved.status, 302);
    EXPECT_EQ(moved.location, server.Url("/there"));
    EXPECT_EQ(Fetch(server.Url("/missing")).status, 404);
    Fetched cut = Fetch(server.Url("/cut"));
    EXPECT_EQ(cut.result, CURLE_PARTIAL_FILE);
    EXPECT_EQ(cut.body, text.substr(0, 100));
    EXPECT_EQ(Fetch(server.Url("/close")).result, CURLE_GOT_NOTHING);
}

TEST(FakeHttpServer, AStallLastsUntilTheClientLeaves) {
    FakeHttpServer server;
    server.Answer("/stall", FakeReply::StallAfterHeaders());
    CURL* curl = curl_easy_init();
    curl_easy_setopt(curl, CURLOPT_URL, server.Url("/stall").c_str());
    curl_easy_setopt(curl, CURLOPT_PROXY, "");
    curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, 200L);
    std::string body;
    curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, &Append);
    curl_easy_setopt(curl, CURLOPT_WRITEDATA, &body);
    EXPECT_EQ(curl_easy_perform(curl), CURLE_OPERATION_TIMEDOUT);
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    EXPECT_EQ(status, 200);
    curl_easy_cleanup(curl);
    EXPECT_TRUE(server.WaitUntilIdle(std::chrono::seconds(5)));
}

TEST(FakeHttpServer, ServesHttpsWithTheTestsCertificate) {
    testing_support::TestCertificate certificate =
        testing_support::MakeTestCertificate("IP:127.0.0.1");
    testing_support::TempDir dir;
    ASSERT_TRUE(testing_support::WriteFileBytes(dir.File("ca.pem"), certificate.certificatePem));
    FakeHttpServer::Options options;
    options.tls = true;
    options.certificatePem = certificate.certificatePem;
    options.keyPem = certificate.keyPem;
    FakeHttpServer server(options);
    ASSERT_TRUE(server.IsRunning());
    server.Answer("/", FakeReply::Text(200, "tls"));
    EXPECT_EQ(Fetch(server.Url("/"), "", dir.File("ca.pem")).body, "tls");
    EXPECT_EQ(Fetch(server.Url("/")).result, CURLE_PEER_FAILED_VERIFICATION);
    EXPECT_TRUE(server.WaitUntilIdle(std::chrono::seconds(5)));
}

}  // namespace
