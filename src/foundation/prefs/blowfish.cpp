#include "foundation/prefs/blowfish.h"

#include <cstring>
#include <utility>

namespace {

#include "foundation/prefs/blowfishtables.inc"

constexpr int kRounds = 16;
constexpr int kMaxKeyBytes = 72;

uint32_t ReadBigEndian(const uint8_t* bytes) {
    return (uint32_t{bytes[0]} << 24) | (uint32_t{bytes[1]} << 16) | (uint32_t{bytes[2]} << 8) |
           uint32_t{bytes[3]};
}

void WriteBigEndian(uint32_t word, uint8_t* bytes) {
    bytes[0] = static_cast<uint8_t>(word >> 24);
    bytes[1] = static_cast<uint8_t>(word >> 16);
    bytes[2] = static_cast<uint8_t>(word >> 8);
    bytes[3] = static_cast<uint8_t>(word);
}

}  // namespace

TBlowfish::TBlowfish() {
    std::memcpy(mP, kInitialP, sizeof(mP));
    std::memcpy(mS[0], kInitialS0, sizeof(mS[0]));
    std::memcpy(mS[1], kInitialS1, sizeof(mS[1]));
    std::memcpy(mS[2], kInitialS2, sizeof(mS[2]));
    std::memcpy(mS[3], kInitialS3, sizeof(mS[3]));
}

uint32_t TBlowfish::F(uint32_t x) const {
    return ((mS[0][x >> 24] + mS[1][(x >> 16) & 0xFF]) ^ mS[2][(x >> 8) & 0xFF]) + mS[3][x & 0xFF];
}

void TBlowfish::EncryptBlock(uint32_t& left, uint32_t& right) const {
    uint32_t l = left, r = right;
    for (int i = 0; i < kRounds; ++i) {
        l ^= mP[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= mP[kRounds];
    l ^= mP[kRounds + 1];
    left = l;
    right = r;
}

void TBlowfish::DecryptBlock(uint32_t& left, uint32_t& right) const {
    uint32_t l = left, r = right;
    for (int i = kRounds + 1; i > 1; --i) {
        l ^= mP[i];
        r ^= F(l);
        std::swap(l, r);
    }
    std::swap(l, r);
    r ^= mP[1];
    l ^= mP[0];
    left = l;
    right = r;
}

void TBlowfish::SetKey(const uint8_t* key, int length) {
    *this = TBlowfish();
    if (length > kMaxKeyBytes) length = kMaxKeyBytes;
    if (key != nullptr && length > 0) {
        int at = 0;
        for (uint32_t& p : mP) {
            uint32_t word = 0;
            for (int b = 0; b < 4; ++b) {
                word = (word << 8) | key[at];
                at = (at + 1) % length;
            }
            p ^= word;
        }
    }
    uint32_t l = 0, r = 0;
    for (int i = 0; i < 18; i += 2) {
        EncryptBlock(l, r);
        mP[i] = l;
        mP[i + 1] = r;
    }
    for (auto& box : mS) {
        for (int i = 0; i < 256; i += 2) {
            EncryptBlock(l, r);
            box[i] = l;
            box[i + 1] = r;
        }
    }
}

std::vector<uint8_t> TBlowfish::EncryptBuffer(const uint8_t* data, int length) const {
    if (length < 0 || (data == nullptr && length > 0)) length = 0;
    int pad = 8 - length % 8;
    std::vector<uint8_t> out(static_cast<size_t>(length + pad), static_cast<uint8_t>(pad));
    if (length > 0) std::memcpy(out.data(), data, static_cast<size_t>(length));
    for (size_t at = 0; at < out.size(); at += 8) {
        uint32_t l = ReadBigEndian(&out[at]), r = ReadBigEndian(&out[at + 4]);
        EncryptBlock(l, r);
        WriteBigEndian(l, &out[at]);
        WriteBigEndian(r, &out[at + 4]);
    }
    return out;
}

std::vector<uint8_t> TBlowfish::DecryptBuffer(const uint8_t* data, int length) const {
    if (data == nullptr || length <= 0) return {};
    std::vector<uint8_t> out(static_cast<size_t>((length + 7) / 8 * 8), 0);
    std::memcpy(out.data(), data, static_cast<size_t>(length));
    for (size_t at = 0; at < out.size(); at += 8) {
        uint32_t l = ReadBigEndian(&out[at]), r = ReadBigEndian(&out[at + 4]);
        DecryptBlock(l, r);
        WriteBigEndian(l, &out[at]);
        WriteBigEndian(r, &out[at + 4]);
    }
    int kept = length - static_cast<int8_t>(out[static_cast<size_t>(length - 1)]);
    if (kept < 0 || kept > length) return {};
    out.resize(static_cast<size_t>(kept));
    return out;
}
