#include "foundation/prefs/crypt.h"

#include <cstring>
#include <vector>

#include "foundation/prefs/base64.h"
#include "foundation/prefs/blowfish.h"

namespace {

constexpr unsigned int kKeyLength = 12;
constexpr unsigned int kKeyTail = 9;

}  // namespace

str TCrypt::PrepareKey(const str& key) {
    str text = key;
    if (text.Length() != kKeyLength) text = (text + "AAAAAAAAAAAA").Substring(0, kKeyLength);
    if (text.Substring(kKeyTail) != str("AAA")) text = text.Substring(0, kKeyTail) + "AAA";
    return text;
}

TCrypt::TCrypt(const str& key) : mCipher(std::make_unique<TBlowfish>()) {
    str text = PrepareKey(key);
    // All nine bytes key the cipher, even when a "=" in the text makes the decoder count fewer.
    uint8_t bytes[9];
    Base64Decode(bytes, text.c_str(), static_cast<int>(kKeyLength));
    mCipher->SetKey(bytes, static_cast<int>(sizeof bytes));
}

TCrypt::~TCrypt() = default;

int TCrypt::Encrypt(const void* data, int length, void* out, int capacity, bool base64) {
    if (data == nullptr || length < 0) length = 0;
    int raw = length / 8 * 8 + 8;
    int needed = base64 ? Base64EncodedSize(raw) + 1 : raw;
    if (out == nullptr || capacity < needed) return needed;
    std::vector<uint8_t> sealed = mCipher->EncryptBuffer(static_cast<const uint8_t*>(data), length);
    if (base64) {
        char* text = static_cast<char*>(out);
        int written = Base64Encode(text, sealed.data(), static_cast<int>(sealed.size()));
        text[written] = '\0';
    } else {
        std::memcpy(out, sealed.data(), sealed.size());
    }
    mLastLength = needed;
    return 0;
}

int TCrypt::Decrypt(const void* data, int length, void* out, int capacity, bool base64) {
    if (data == nullptr || length < 0) length = 0;
    std::vector<uint8_t> plain;
    if (base64) {
        std::vector<uint8_t> sealed(static_cast<size_t>(Base64DecodedSize(length)));
        int count = Base64Decode(sealed.data(), static_cast<const char*>(data), length);
        plain = mCipher->DecryptBuffer(sealed.data(), count);
    } else {
        plain = mCipher->DecryptBuffer(static_cast<const uint8_t*>(data), length);
    }
    int needed = static_cast<int>(plain.size());
    if (out == nullptr || capacity < needed) return needed;
    if (needed > 0) std::memcpy(out, plain.data(), plain.size());
    mLastLength = needed;
    return 0;
}

str TCrypt::DecryptString(const str& text) {
    int length = static_cast<int>(text.Length());
    int needed = Decrypt(text.c_str(), length, nullptr, 0, true);
    if (needed <= 0) return str();
    std::vector<char> buffer(static_cast<size_t>(needed));
    Decrypt(text.c_str(), length, buffer.data(), needed, true);
    size_t end = 0;
    while (end < buffer.size() && buffer[end] != '\0')
        ++end;
    return str(buffer.data(), static_cast<int>(end));
}
