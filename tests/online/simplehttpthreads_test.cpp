// TSimpleHttp's workers: many abandoned at once, the process leaving while one runs, and HTTPS
// with certificates always checked.
#include <dirent.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "simplehttpfixture.h"
#include "support/tempdir.h"
#include "support/testcert.h"

namespace {

using simplehttp_testing::SimpleHttpTest;
using simplehttp_testing::WaitForEnd;
using testing_support::FakeHttpServer;
using testing_support::FakeReply;

int LiveThreads() {
    int count = 0;
    if (DIR* tasks = opendir("/proc/self/task")) {
        while (dirent* entry = readdir(tasks)) {
            if (entry->d_name[0] != '.') ++count;
        }
        closedir(tasks);
    }
    return count;
}

TEST_F(SimpleHttpTest, AbandonedWorkersEndAtOnce) {
    mServer.Answer("/stall", FakeReply::StallAfterHeaders());
    // Limits far beyond the test's own time: only abandoning can end the workers.
    port::control::SetHttpTimeouts({});
    int before = LiveThreads();
    {
        TSimpleHttp http;
        for (int i = 0; i < 200; ++i) {
            http.SetUrl(mServer.Url("/stall").c_str(), i % 2 == 0, nullptr);
            http.AddField("i", i);
            http.Send(1);
        }
    }
    // The server may still start a thread for a connection a worker opened just before it left,
    // so the count need only come back once: every worker has ended then.
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
    bool cameBack = false;
    while (!(cameBack = LiveThreads() <= before) && std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_TRUE(cameBack) << LiveThreads() << " threads, " << before << " before";
}

// The process may end while a worker runs: at exit the worker is stopped before the program
// goes on, and nothing it touches is gone.
TEST(SimpleHttpExit, AWorkerStillRunningIsStoppedAtExit) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static FakeHttpServer* server = new FakeHttpServer;
            static TSimpleHttp* http = new TSimpleHttp;
            // Registered before the session opens, so it runs after the online layer's guard.
            // The server goes last, its threads joined.
            std::atexit([] {
                std::fprintf(stderr, "state at exit %d\n", http->GetState());
                delete server;
            });
            server->Answer("/stall", FakeReply::StallAfterHeaders());
            port::control::SetHttpTimeouts({});
            http->SetUrl(server->Url("/stall").c_str(), true, nullptr);
            http->Send(1);
            server->WaitForRequests(1, std::chrono::seconds(10));
            std::exit(0);
        },
        testing::ExitedWithCode(0), "state at exit 2");
}

class SimpleHttpsTest : public SimpleHttpTest {
protected:
    // Nothing here waits for a limit, and a TLS handshake on a loaded machine may take longer
    // than the short ones: the standard limits.
    void SetUp() override {
        SimpleHttpTest::SetUp();
        port::control::SetHttpTimeouts({});
    }

    // A TLS server with a certificate for the name, trusted through a CA file when asked.
    std::unique_ptr<FakeHttpServer> Serve(const std::string& subjectAltName, bool trusted) {
        testing_support::TestCertificate certificate =
            testing_support::MakeTestCertificate(subjectAltName);
        if (trusted) {
            EXPECT_TRUE(
                testing_support::WriteFileBytes(mDir.File("ca.pem"), certificate.certificatePem));
            port::control::SetHttpExtraCaFile(mDir.File("ca.pem"));
        }
        FakeHttpServer::Options options;
        options.tls = true;
        options.certificatePem = certificate.certificatePem;
        options.keyPem = certificate.keyPem;
        auto server = std::make_unique<FakeHttpServer>(options);
        server->Answer("/", FakeReply::Text(200, "secure"));
        return server;
    }

    int PostTo(FakeHttpServer& server, uint32_t options) {
        mHttp.SetUrl(server.Url("/").c_str(), true, nullptr);
        mHttp.AddField("password", "hunter2");
        mHttp.Send(options);
        return WaitForEnd(mHttp);
    }

    testing_support::TempDir mDir;
    TSimpleHttp mHttp;
};

TEST_F(SimpleHttpsTest, ASelfSignedCertificateNeedsTheExtraCaFile) {
    auto untrusted = Serve("IP:127.0.0.1", false);
    EXPECT_EQ(PostTo(*untrusted, 1), TSimpleHttp::kFailed);
    EXPECT_TRUE(untrusted->Requests().empty());
    auto trusted = Serve("IP:127.0.0.1", true);
    ASSERT_EQ(PostTo(*trusted, 1), TSimpleHttp::kDone);
    EXPECT_STREQ(mHttp.GetReply(), "secure");
    EXPECT_EQ(trusted->Requests()[0].body, "password=hunter2");
}

TEST_F(SimpleHttpsTest, ACertificateForAnotherHostIsRefusedEvenWithOptionBit1) {
    auto server = Serve("DNS:other.example", true);
    EXPECT_EQ(PostTo(*server, 1 | 2), TSimpleHttp::kFailed);
    EXPECT_TRUE(server->Requests().empty());
}

}  // namespace
