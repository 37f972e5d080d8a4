// Enciphered texts come from the player's disk and the command line: base64 decoding and
// deciphering must take any bytes. The first byte picks the key text's length.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "foundation/prefs/base64.h"
#include "foundation/prefs/crypt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 1 << 16) return 0;
    size_t keyLength = data[0] % 24;
    if (keyLength > size - 1) keyLength = size - 1;
    str key(reinterpret_cast<const char*>(data + 1), static_cast<int>(keyLength));
    const char* text = reinterpret_cast<const char*>(data + 1 + keyLength);
    int length = static_cast<int>(size - 1 - keyLength);

    std::vector<uint8_t> decoded(static_cast<size_t>(Base64DecodedSize(length)) + 1);
    if (Base64Decode(decoded.data(), text, length) > Base64DecodedSize(length)) __builtin_trap();

    TCrypt crypt(key);
    for (bool base64 : {false, true}) {
        int needed = crypt.Decrypt(text, length, nullptr, 0, base64);
        if (needed < 0 || needed > length) __builtin_trap();
        std::vector<char> out(static_cast<size_t>(needed) + 1);
        if (crypt.Decrypt(text, length, out.data(), needed, base64) != 0) __builtin_trap();
        if (crypt.LastLength() != needed) __builtin_trap();
    }
    // The cheat code path: the text as a str (it stops at a NUL, as the command line does).
    str asText(text, length);
    crypt.DecryptString(asText);
    return 0;
}
