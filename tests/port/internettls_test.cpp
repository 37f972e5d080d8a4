// HTTPS: certificates are always checked, whatever the flags say; a test's own certificate is
// trusted only through the extra CA file.
#include <gtest/gtest.h>

#include <algorithm>

#include "internetfixture.h"
#include "loggedlines.h"
#include "port/system/lasterror.h"
#include "support/fakehttp.h"
#include "support/tempdir.h"
#include "support/testcert.h"

namespace {

using internet_testing::InternetTest;
using testing_support::FakeHttpServer;
using testing_support::FakeReply;
using testing_support::TestCertificate;

class InternetTlsTest : public InternetTest {
protected:
    // Nothing here waits for a limit, and a TLS handshake on a loaded machine may take longer
    // than the short ones: the standard limits.
    void SetUp() override {
        InternetTest::SetUp();
        port::control::SetHttpTimeouts({});
    }

    // A TLS server with a certificate for the name, trusted through a CA file when asked.
    std::unique_ptr<FakeHttpServer> Serve(const std::string& subjectAltName, bool trusted) {
        TestCertificate certificate = testing_support::MakeTestCertificate(subjectAltName);
        EXPECT_FALSE(certificate.certificatePem.empty());
        if (trusted) {
            std::string caFile = mDir.File("ca.pem");
            EXPECT_TRUE(testing_support::WriteFileBytes(caFile, certificate.certificatePem));
            port::control::SetHttpExtraCaFile(caFile);
        }
        FakeHttpServer::Options options;
        options.tls = true;
        options.certificatePem = certificate.certificatePem;
        options.keyPem = certificate.keyPem;
        auto server = std::make_unique<FakeHttpServer>(options);
        EXPECT_TRUE(server->IsRunning());
        server->Answer("/", FakeReply::Text(200, "secret"));
        return server;
    }

    // A secure POST as the program sends one, asking to ignore the certificate's faults.
    internet_testing::Reply SendIgnoringFaults(int port) {
        HINTERNET connection =
            InternetConnectA(mSession, "127.0.0.1", static_cast<INTERNET_PORT>(port), nullptr,
                             nullptr, INTERNET_SERVICE_HTTP, 0, 0);
        HINTERNET request = HttpOpenRequestA(connection, "POST", "/", nullptr, nullptr, nullptr,
                                             INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_SECURE |
                                                 INTERNET_FLAG_PRAGMA_NOCACHE |
                                                 INTERNET_FLAG_IGNORE_CERT_CN_INVALID,
                                             0);
        DWORD flags = 0;
        DWORD length = sizeof flags;
        EXPECT_TRUE(InternetQueryOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, &length));
        EXPECT_EQ(flags & SECURITY_FLAG_SECURE, SECURITY_FLAG_SECURE);
        flags |= SECURITY_FLAG_IGNORE_UNKNOWN_CA;
        EXPECT_TRUE(
            InternetSetOptionA(request, INTERNET_OPTION_SECURITY_FLAGS, &flags, sizeof flags));
        internet_testing::Reply reply;
        if (HttpSendRequestA(request, nullptr, 0, "a=1", 3)) {
            reply = internet_testing::ReadAll(request);
        } else {
            reply.error = GetLastError();
        }
        InternetCloseHandle(request);
        InternetCloseHandle(connection);
        return reply;
    }

    testing_support::TempDir mDir;
};

TEST_F(InternetTlsTest, AnUnknownAuthorityIsRefusedWhateverTheFlags) {
    auto server = Serve("IP:127.0.0.1", false);
    EXPECT_EQ(Get(server->Url("/")).error, ERROR_INTERNET_SECURE_FAILURE);
    EXPECT_EQ(SendIgnoringFaults(server->Port()).error, ERROR_INTERNET_SECURE_FAILURE);
    EXPECT_TRUE(server->Requests().empty());
    // Each ignored flag is named in the log once.
    SendIgnoringFaults(server->Port());
    const auto& log = port_testing::LoggedLines();
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                                return line.find("SECURITY_FLAG_IGNORE_UNKNOWN_CA") == 0;
                            }),
              1);
    EXPECT_EQ(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                                return line.find("INTERNET_FLAG_IGNORE_CERT_CN_INVALID") == 0;
                            }),
              1);
}

TEST_F(InternetTlsTest, AnExtraCaFileIsTrusted) {
    auto server = Serve("IP:127.0.0.1", true);
    EXPECT_EQ(Get(server->Url("/")).body, "secret");
    EXPECT_EQ(SendIgnoringFaults(server->Port()).body, "secret");
}

TEST_F(InternetTlsTest, ACertificateForAnotherHostIsRefusedEvenWhenAskedToIgnoreIt) {
    auto server = Serve("DNS:other.example", true);
    EXPECT_EQ(Get(server->Url("/")).error, ERROR_INTERNET_SECURE_FAILURE);
    EXPECT_EQ(SendIgnoringFaults(server->Port()).error, ERROR_INTERNET_SECURE_FAILURE);
    EXPECT_TRUE(server->Requests().empty());
}

TEST_F(InternetTlsTest, NoRedirectFromHttpsToHttp) {
    FakeHttpServer plain;
    plain.Answer("/", FakeReply::Text(200, "plain"));
    auto server = Serve("IP:127.0.0.1", true);
    server->Answer("/down", FakeReply::Redirect(302, plain.Url("/")));
    server->Answer("/up", FakeReply::Redirect(302, server->Url("/")));
    plain.Answer("/up", FakeReply::Redirect(302, server->Url("/")));
    EXPECT_EQ(Get(server->Url("/down")).error, ERROR_INTERNET_HTTPS_TO_HTTP_ON_REDIR);
    EXPECT_TRUE(plain.Requests().empty());
    EXPECT_EQ(Get(plain.Url("/up")).body, "secret");
}

}  // namespace
