#include "support/testcert.h"

#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/x509.h>
#include <openssl/x509v3.h>

#include <memory>
#include <random>

namespace testing_support {
namespace {

struct Freer {
    void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
    void operator()(X509* certificate) const { X509_free(certificate); }
    void operator()(X509_EXTENSION* extension) const { X509_EXTENSION_free(extension); }
    void operator()(BIO* bio) const { BIO_free(bio); }
};

bool AddExtension(X509* certificate, int id, const char* value) {
    X509V3_CTX context;
    X509V3_set_ctx_nodb(&context);
    X509V3_set_ctx(&context, certificate, certificate, nullptr, nullptr, 0);
    std::unique_ptr<X509_EXTENSION, Freer> extension(
        X509V3_EXT_conf_nid(nullptr, &context, id, value));
    return extension && X509_add_ext(certificate, extension.get(), -1) == 1;
}

std::string Text(BIO* bio) {
    char* data = nullptr;
    long size = BIO_get_mem_data(bio, &data);
    return size > 0 ? std::string(data, static_cast<size_t>(size)) : std::string();
}

}  // namespace

TestCertificate MakeTestCertificate(const std::string& subjectAltName) {
    std::unique_ptr<EVP_PKEY, Freer> key(EVP_EC_gen("P-256"));
    std::unique_ptr<X509, Freer> certificate(X509_new());
    if (!key || !certificate) return {};
    X509* cert = certificate.get();
    X509_set_version(cert, 2);
    // A serial of its own for each certificate.
    ASN1_INTEGER_set(X509_get_serialNumber(cert), static_cast<long>(std::random_device{}() >> 1));
    X509_gmtime_adj(X509_getm_notBefore(cert), -60);
    X509_gmtime_adj(X509_getm_notAfter(cert), 24 * 60 * 60);
    X509_set_pubkey(cert, key.get());
    X509_NAME* name = X509_get_subject_name(cert);
    X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC,
                               reinterpret_cast<const unsigned char*>("Umbrava test server"), -1,
                               -1, 0);
    X509_set_issuer_name(cert, name);
    if (!AddExtension(cert, NID_basic_constraints, "critical,CA:TRUE") ||
        !AddExtension(cert, NID_subject_alt_name, subjectAltName.c_str()) ||
        X509_sign(cert, key.get(), EVP_sha256()) == 0) {
        return {};
    }
    std::unique_ptr<BIO, Freer> certificateText(BIO_new(BIO_s_mem()));
    std::unique_ptr<BIO, Freer> keyText(BIO_new(BIO_s_mem()));
    if (PEM_write_bio_X509(certificateText.get(), cert) != 1 ||
        PEM_write_bio_PrivateKey(keyText.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) !=
            1) {
        return {};
    }
    return {Text(certificateText.get()), Text(keyText.get())};
}

}  // namespace testing_support
