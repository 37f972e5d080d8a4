#include "foundation/prefs/blowfish.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::vector<uint8_t> FromHex(const std::string& hex) {
    std::vector<uint8_t> bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2)
        bytes.push_back(static_cast<uint8_t>(std::stoul(hex.substr(i, 2), nullptr, 16)));
    return bytes;
}

std::string ToHex(const std::vector<uint8_t>& bytes) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    for (uint8_t b : bytes) {
        hex += kDigits[b >> 4];
        hex += kDigits[b & 15];
    }
    return hex;
}

struct Vector {
    const char* key;
    const char* plain;
    const char* cipher;
};

// The published test vectors: the set with 8-byte keys, then the set with keys of 1 to 24 bytes
// (prefixes of F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677) on one block.
const Vector kVectors[] = {
    {"0000000000000000", "0000000000000000", "4EF997456198DD78"},
    {"FFFFFFFFFFFFFFFF", "FFFFFFFFFFFFFFFF", "51866FD5B85ECB8A"},
    {"3000000000000000", "1000000000000001", "7D856F9A613063F2"},
    {"1111111111111111", "1111111111111111", "2466DD878B963C9D"},
    {"0123456789ABCDEF", "1111111111111111", "61F9C3802281B096"},
    {"1111111111111111", "0123456789ABCDEF", "7D0CC630AFDA1EC7"},
    {"FEDCBA9876543210", "0123456789ABCDEF", "0ACEAB0FC6A0A28D"},
    {"7CA110454A1A6E57", "01A1D6D039776742", "59C68245EB05282B"},
    {"0131D9619DC1376E", "5CD54CA83DEF57DA", "B1B8CC0B250F09A0"},
    {"07A1133E4A0B2686", "0248D43806F67172", "1730E5778BEA1DA4"},
    {"3849674C2602319E", "51454B582DDF440A", "A25E7856CF2651EB"},
    {"04B915BA43FEB5B6", "42FD443059577FA2", "353882B109CE8F1A"},
    {"0113B970FD34F2CE", "059B5E0851CF143A", "48F4D0884C379918"},
    {"0170F175468FB5E6", "0756D8E0774761D2", "432193B78951FC98"},
    {"43297FAD38E373FE", "762514B829BF486A", "13F04154D69D1AE5"},
    {"07A7137045DA2A16", "3BDD119049372802", "2EEDDA93FFD39C79"},
    {"04689104C2FD3B2F", "26955F6835AF609A", "D887E0393C2DA6E3"},
    {"37D06BB516CB7546", "164D5E404F275232", "5F99D04F5B163969"},
    {"1F08260D1AC2465E", "6B056E18759F5CCA", "4A057A3B24D3977B"},
    {"584023641ABA6176", "004BD6EF09176062", "452031C1E4FADA8E"},
    {"025816164629B007", "480D39006EE762F2", "7555AE39F59B87BD"},
    {"49793EBC79B3258F", "437540C8698F3CFA", "53C55F9CB49FC019"},
    {"4FB05E1515AB73A7", "072D43A077075292", "7A8E7BFA937E89A3"},
    {"49E95D6D4CA229BF", "02FE55778117F12A", "CF9C5D7A4986ADB5"},
    {"018310DC409B26D6", "1D9D5C5018F728C2", "D1ABB290658BC778"},
    {"1C587F1C13924FEF", "305532286D6F295A", "55CB3774D13EF201"},
    {"0101010101010101", "0123456789ABCDEF", "FA34EC4847B268B2"},
    {"1F1F1F1F0E0E0E0E", "0123456789ABCDEF", "A790795108EA3CAE"},
    {"E0FEE0FEF1FEF1FE", "0123456789ABCDEF", "C39E072D9FAC631D"},
    {"0000000000000000", "FFFFFFFFFFFFFFFF", "014933E0CDAFF6E4"},
    {"FFFFFFFFFFFFFFFF", "0000000000000000", "F21E9A77B71C49BC"},
    {"0123456789ABCDEF", "0000000000000000", "245946885754369A"},
    {"FEDCBA9876543210", "FFFFFFFFFFFFFFFF", "6B5C5A9C5D9E0A5A"},
    {"F0", "FEDCBA9876543210", "F9AD597C49DB005E"},
    {"F0E1", "FEDCBA9876543210", "E91D21C1D961A6D6"},
    {"F0E1D2", "FEDCBA9876543210", "E9C2B70A1BC65CF3"},
    {"F0E1D2C3", "FEDCBA9876543210", "BE1E639408640F05"},
    {"F0E1D2C3B4", "FEDCBA9876543210", "B39E44481BDB1E6E"},
    {"F0E1D2C3B4A5", "FEDCBA9876543210", "9457AA83B1928C0D"},
    {"F0E1D2C3B4A596", "FEDCBA9876543210", "8BB77032F960629D"},
    {"F0E1D2C3B4A59687", "FEDCBA9876543210", "E87A244E2CC85E82"},
    {"F0E1D2C3B4A5968778", "FEDCBA9876543210", "15750E7A4F4EC577"},
    {"F0E1D2C3B4A596877869", "FEDCBA9876543210", "122BA70B3AB64AE0"},
    {"F0E1D2C3B4A5968778695A", "FEDCBA9876543210", "3A833C9AFFC537F6"},
    {"F0E1D2C3B4A5968778695A4B", "FEDCBA9876543210", "9409DA87A90F6BF2"},
    {"F0E1D2C3B4A5968778695A4B3C", "FEDCBA9876543210", "884F80625060B8B4"},
    {"F0E1D2C3B4A5968778695A4B3C2D", "FEDCBA9876543210", "1F85031C19E11968"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E", "FEDCBA9876543210", "79D9373A714CA34F"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F", "FEDCBA9876543210", "93142887EE3BE15C"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F00", "FEDCBA9876543210", "03429E838CE2D14B"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011", "FEDCBA9876543210", "A4299E27469FF67B"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F001122", "FEDCBA9876543210", "AFD5AED1C1BC96A8"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F00112233", "FEDCBA9876543210", "10851C0E3858DA9F"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344", "FEDCBA9876543210", "E6F51ED79B9DB21F"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F001122334455", "FEDCBA9876543210", "64A6E14AFD36B46F"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F00112233445566", "FEDCBA9876543210", "80C7D7D45A5479AD"},
    {"F0E1D2C3B4A5968778695A4B3C2D1E0F0011223344556677", "FEDCBA9876543210", "05044B62FA52D080"},
};

TEST(BlowfishTest, PublishedVectors) {
    for (const Vector& v : kVectors) {
        std::vector<uint8_t> key = FromHex(v.key), block = FromHex(v.plain);
        TBlowfish cipher;
        cipher.SetKey(key.data(), static_cast<int>(key.size()));
        uint32_t l = (uint32_t{block[0]} << 24) | (uint32_t{block[1]} << 16) |
                     (uint32_t{block[2]} << 8) | block[3];
        uint32_t r = (uint32_t{block[4]} << 24) | (uint32_t{block[5]} << 16) |
                     (uint32_t{block[6]} << 8) | block[7];
        cipher.EncryptBlock(l, r);
        std::vector<uint8_t> sealed;
        for (uint32_t word : {l, r})
            for (int shift = 24; shift >= 0; shift -= 8)
                sealed.push_back(static_cast<uint8_t>(word >> shift));
        EXPECT_EQ(ToHex(sealed), v.cipher) << "key " << v.key;
        cipher.DecryptBlock(l, r);
        sealed.clear();
        for (uint32_t word : {l, r})
            for (int shift = 24; shift >= 0; shift -= 8)
                sealed.push_back(static_cast<uint8_t>(word >> shift));
        EXPECT_EQ(ToHex(sealed), v.plain) << "key " << v.key;
    }
}

TEST(BlowfishTest, BufferLayerPadsEveryLength) {
    std::vector<uint8_t> key = FromHex("F0E1D2C3B4A5968778");
    TBlowfish cipher;
    cipher.SetKey(key.data(), static_cast<int>(key.size()));
    std::vector<uint8_t> data(20);
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<uint8_t>(i * 37);
    for (int n = 0; n <= 20; ++n) {
        std::vector<uint8_t> sealed = cipher.EncryptBuffer(data.data(), n);
        ASSERT_EQ(sealed.size(), static_cast<size_t>(n / 8 * 8 + 8)) << n;
        std::vector<uint8_t> opened = cipher.DecryptBuffer(sealed.data(), sealed.size());
        EXPECT_EQ(opened, std::vector<uint8_t>(data.begin(), data.begin() + n)) << n;
    }
    // No data at all: one block of eight pad bytes of value 8.
    std::vector<uint8_t> empty = cipher.EncryptBuffer(nullptr, 0);
    uint32_t l = 0x08080808, r = 0x08080808;
    cipher.EncryptBlock(l, r);
    EXPECT_EQ(ToHex(empty), ToHex({static_cast<uint8_t>(l >> 24), static_cast<uint8_t>(l >> 16),
                                   static_cast<uint8_t>(l >> 8), static_cast<uint8_t>(l),
                                   static_cast<uint8_t>(r >> 24), static_cast<uint8_t>(r >> 16),
                                   static_cast<uint8_t>(r >> 8), static_cast<uint8_t>(r)}));
}

// Deciphers to a block whose last byte is the given value.
std::vector<uint8_t> BlockEndingIn(const TBlowfish& cipher, uint8_t last) {
    uint32_t l = 0x41424344, r = 0x45464700u | last;
    cipher.EncryptBlock(l, r);
    std::vector<uint8_t> block;
    for (uint32_t word : {l, r})
        for (int shift = 24; shift >= 0; shift -= 8)
            block.push_back(static_cast<uint8_t>(word >> shift));
    return block;
}

TEST(BlowfishTest, PadCountsThatDoNotFit) {
    TBlowfish cipher;
    const uint8_t key[] = {1, 2, 3};
    cipher.SetKey(key, 3);
    struct Case {
        uint8_t last;
        size_t kept;
    };
    // The count is a signed byte: 0 keeps all, 8 keeps none, 9 and negative counts give nothing.
    const Case cases[] = {{0, 8}, {1, 7}, {8, 0}, {9, 0}, {0x80, 0}, {0xFF, 0}};
    for (const Case& c : cases) {
        std::vector<uint8_t> block = BlockEndingIn(cipher, c.last);
        EXPECT_EQ(cipher.DecryptBuffer(block.data(), 8).size(), c.kept) << int(c.last);
    }
    EXPECT_TRUE(cipher.DecryptBuffer(nullptr, 0).empty());
    uint8_t one = 0;
    EXPECT_TRUE(cipher.DecryptBuffer(&one, 0).empty());
}

}  // namespace
