#include "foundation/prefs/crypt.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/prefs/base64.h"
#include "foundation/prefs/blowfish.h"
#include "support/printers.h"

namespace {

std::string EncryptText(TCrypt& crypt, const std::string& data) {
    int needed = crypt.Encrypt(data.data(), static_cast<int>(data.size()), nullptr, 0, true);
    std::string out(static_cast<size_t>(needed), '?');
    EXPECT_EQ(crypt.Encrypt(data.data(), static_cast<int>(data.size()), out.data(), needed, true),
              0);
    EXPECT_EQ(out.back(), '\0');
    out.pop_back();
    return out;
}

TEST(CryptTest, KnownAnswer) {
    // Key text "Umbrava12Key" keys Blowfish with the 9 bytes of base64 "Umbrava12AAA".
    TCrypt crypt("Umbrava12Key");
    EXPECT_EQ(EncryptText(crypt, "hello"), "qxSeEIC0NTE=");
    EXPECT_EQ(crypt.DecryptString("qxSeEIC0NTE="), str("hello"));
}

TEST(CryptTest, SizeQueries) {
    TCrypt crypt("key");
    const char data[16] = "abcdefghijklmno";
    struct Case {
        int length;
        bool base64;
        int needed;
    };
    const Case cases[] = {{0, false, 8}, {5, false, 8}, {8, false, 16}, {15, false, 16},
                          {5, true, 13}, {8, true, 25}, {0, true, 13}};
    for (const Case& c : cases) {
        EXPECT_EQ(crypt.Encrypt(data, c.length, nullptr, 0, c.base64), c.needed) << c.length;
        std::vector<char> small(static_cast<size_t>(c.needed - 1), 'x');
        EXPECT_EQ(crypt.Encrypt(data, c.length, small.data(), c.needed - 1, c.base64), c.needed);
        EXPECT_EQ(std::string(small.begin(), small.end()), std::string(small.size(), 'x'));
        std::vector<char> out(static_cast<size_t>(c.needed));
        EXPECT_EQ(crypt.Encrypt(data, c.length, out.data(), c.needed, c.base64), 0);
        EXPECT_EQ(crypt.LastLength(), c.needed);
    }
}

TEST(CryptTest, RoundTripsWithAndWithoutBase64) {
    TCrypt crypt("QuietRiverStone");
    const std::string data("binary\0data with a NUL", 22);
    for (bool base64 : {false, true}) {
        int needed = crypt.Encrypt(data.data(), static_cast<int>(data.size()), nullptr, 0, base64);
        std::vector<char> sealed(static_cast<size_t>(needed));
        ASSERT_EQ(crypt.Encrypt(data.data(), static_cast<int>(data.size()), sealed.data(), needed,
                                base64),
                  0);
        int sealedLength = base64 ? needed - 1 : needed;  // the text without its NUL
        int plainSize = crypt.Decrypt(sealed.data(), sealedLength, nullptr, 0, base64);
        EXPECT_EQ(plainSize, static_cast<int>(data.size()));
        std::vector<char> small(static_cast<size_t>(plainSize - 1));
        EXPECT_EQ(crypt.Decrypt(sealed.data(), sealedLength, small.data(), plainSize - 1, base64),
                  plainSize);
        std::vector<char> plain(static_cast<size_t>(plainSize));
        EXPECT_EQ(crypt.Decrypt(sealed.data(), sealedLength, plain.data(), plainSize, base64), 0);
        EXPECT_EQ(crypt.LastLength(), plainSize);
        EXPECT_EQ(std::string(plain.begin(), plain.end()), data);
    }
}

TEST(CryptTest, KeyPreparation) {
    struct Case {
        const char* key;
        const char* prepared;
    };
    const Case cases[] = {
        {"", "AAAAAAAAAAAA"},
        {"abcd", "abcdAAAAAAAA"},
        {"abcdAAAAAAAA", "abcdAAAAAAAA"},
        {"abcdefghijkl", "abcdefghiAAA"},
        {"abcdefghijklmnopqrst", "abcdefghiAAA"},
        {"abcdefghiAAA", "abcdefghiAAA"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TCrypt::PrepareKey(c.key), str(c.prepared)) << c.key;

    // Keys that prepare alike encipher alike; others do not.
    auto sealed = [](const char* key) {
        TCrypt crypt(key);
        return EncryptText(crypt, "the same text");
    };
    EXPECT_EQ(sealed("abcd"), sealed("abcdAAAAAAAA"));
    EXPECT_EQ(sealed("abcdefghijklmnopqrst"), sealed("abcdefghiXYZ"));
    EXPECT_NE(sealed("abcdefghi"), sealed("abcdefghj"));

    // A pad character inside the key text still gives nine key bytes, each group's in its place.
    uint8_t bytes[9];
    ASSERT_EQ(Base64Decode(bytes, "abc=defghAAA", 12), 8);
    TBlowfish cipher;
    cipher.SetKey(bytes, 9);
    const std::vector<uint8_t> block = cipher.EncryptBuffer(nullptr, 0);
    TCrypt crypt("abc=defgh");
    char out[8];
    ASSERT_EQ(crypt.Encrypt(nullptr, 0, out, sizeof out, false), 0);
    EXPECT_EQ(std::string(out, 8), std::string(block.begin(), block.end()));
}

TEST(CryptTest, EmptyResults) {
    TCrypt crypt("key");
    char out[16];
    EXPECT_EQ(crypt.DecryptString(""), str());
    crypt.Encrypt("abc", 3, out, sizeof(out), false);
    EXPECT_EQ(crypt.LastLength(), 8);
    EXPECT_EQ(crypt.Decrypt("", 0, out, sizeof(out), false), 0);
    EXPECT_EQ(crypt.LastLength(), 0);
    EXPECT_EQ(crypt.Decrypt(nullptr, 0, nullptr, 0, true), 0);
    // A size query writes nothing, so it leaves the last length alone, even when it is 0.
    crypt.Encrypt("abc", 3, out, sizeof(out), false);
    EXPECT_EQ(crypt.Decrypt("", 0, nullptr, 0, false), 0);
    EXPECT_EQ(crypt.LastLength(), 8);
    // Eight bytes that do not decipher to a fitting pad count give nothing, not garbage.
    int nothing = 0;
    for (int seed = 0; seed < 64; ++seed) {
        char block[8];
        for (int i = 0; i < 8; ++i)
            block[i] = static_cast<char>(seed * 31 + i * 7);
        int size = crypt.Decrypt(block, 8, nullptr, 0, false);
        EXPECT_LE(size, 8);
        if (size == 0) ++nothing;
    }
    EXPECT_GT(nothing, 0);
}

TEST(CryptTest, DecryptStringStopsAtNulOrTheEnd) {
    TCrypt crypt("QuietRiverStone");
    EXPECT_EQ(crypt.DecryptString(EncryptText(crypt, std::string("first\0second", 12)).c_str()),
              str("first"));
    // Exactly one block of text and no NUL after it: the text is taken to its end.
    EXPECT_EQ(crypt.DecryptString(EncryptText(crypt, "UMBRAVA-COMPUTER").c_str()),
              str("UMBRAVA-COMPUTER"));
}

}  // namespace
