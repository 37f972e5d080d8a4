// Keys and self-signed certificates made at run time, for the TLS mode of the test server
// (support/fakehttp.h). A test trusts one by handing its PEM text to the client as a CA file.
#pragma once

#include <string>

namespace testing_support {

struct TestCertificate {
    std::string certificatePem;
    std::string keyPem;
};

// A fresh P-256 key and a certificate signed by it, valid from a minute ago for a day, for the
// subject alternative name given as OpenSSL writes it: "IP:127.0.0.1" names an address, so that
// no name is looked up; "DNS:other.example" names another host. Empty texts on failure.
TestCertificate MakeTestCertificate(const std::string& subjectAltName);

}  // namespace testing_support
