#include "foundation/prefs/base64.h"

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=";
constexpr char kPad = '=';

struct ReverseTable {
    uint8_t value[256] = {};  // outside the alphabet: 0
    constexpr ReverseTable() {
        for (int i = 0; i < 65; ++i)
            value[static_cast<uint8_t>(kAlphabet[i])] = static_cast<uint8_t>(i);
    }
};
constexpr ReverseTable kReverse;

}  // namespace

int Base64EncodedSize(int length) {
    return length <= 0 ? 0 : (length + 2) / 3 * 4;
}

int Base64Encode(char* out, const uint8_t* data, int length) {
    int written = 0;
    for (int at = 0; at < length; at += 3) {
        int left = length - at;
        uint32_t group = uint32_t{data[at]} << 16;
        if (left > 1) group |= uint32_t{data[at + 1]} << 8;
        if (left > 2) group |= data[at + 2];
        out[written++] = kAlphabet[(group >> 18) & 63];
        out[written++] = kAlphabet[(group >> 12) & 63];
        out[written++] = left > 1 ? kAlphabet[(group >> 6) & 63] : kPad;
        out[written++] = left > 2 ? kAlphabet[group & 63] : kPad;
    }
    return written;
}

int Base64DecodedSize(int length) {
    return length <= 0 ? 0 : (length + 3) / 4 * 3;
}

int Base64Decode(uint8_t* out, const char* text, int length) {
    int written = 0;
    for (int at = 0; at < length; at += 4) {
        char c[4];
        for (int i = 0; i < 4; ++i)
            c[i] = at + i < length ? text[at + i] : kPad;
        uint32_t v[4];
        for (int i = 0; i < 4; ++i)
            v[i] = kReverse.value[static_cast<uint8_t>(c[i])];
        uint8_t bytes[3] = {
            static_cast<uint8_t>((v[0] << 2) | (v[1] >> 4)),
            static_cast<uint8_t>(((v[1] & 15) << 4) | (v[2] >> 2)),
            static_cast<uint8_t>(((v[2] & 3) << 6) | v[3]),
        };
        // Every group fills its three bytes; a pad only lowers the count, so a pad inside the
        // text does not move the groups after it.
        for (int i = 0; i < 3; ++i)
            out[at / 4 * 3 + i] = bytes[i];
        written += 3;
        if (c[3] == kPad) written -= c[2] == kPad ? 2 : 1;
    }
    return written;
}
