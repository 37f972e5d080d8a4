// The preference file reader. An input is either a file as it lies on disk, or, when it begins
// with "P", records with plain payloads that the harness enciphers first (tag, 16-bit little-endian
// length, payload; "USER" payloads stay as they are), so that mutations reach the meaning of the
// records behind the cipher. Whatever was read must write and read back the same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/prefs/crypt.h"
#include "foundation/prefs/prefsfile.h"

namespace {

TCrypt& Cipher() {
    static TCrypt* crypt = new TCrypt("Umbrava12Key");
    return *crypt;
}

std::string EncipherRecords(const uint8_t* data, size_t size) {
    std::string file;
    size_t at = 1;
    while (size - at >= 6) {
        const char* tag = reinterpret_cast<const char*>(data + at);
        size_t length = static_cast<size_t>(data[at + 4] | data[at + 5] << 8);
        at += 6;
        if (length > size - at) length = size - at;
        std::string payload(reinterpret_cast<const char*>(data + at), length);
        at += length;
        if (tag[0] != 'U') {
            const int sealed = static_cast<int>(prefsfile::SealedSize(length));
            std::string out(static_cast<size_t>(sealed), '\0');
            Cipher().Encrypt(payload.data(), static_cast<int>(length), out.data(), sealed, false);
            payload = out;
        }
        file.append(tag, 4);
        for (int i = 0; i < 4; ++i)
            file += static_cast<char>((payload.size() >> (8 * i)) & 0xFF);
        file += payload;
    }
    return file;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file = size > 0 && data[0] == 'P'
                                 ? EncipherRecords(data, size)
                                 : std::string(reinterpret_cast<const char*>(data), size);
    TPrefsInstalls installs;
    ReadPrefsRecords(file.data(), file.size(), Cipher(), installs);

    std::string written;
    std::string problem;
    if (!WritePrefsRecords(Cipher(), "current", installs, written, problem)) std::abort();
    TPrefsInstalls back;
    if (ReadPrefsRecords(written.data(), written.size(), Cipher(), back).damaged) std::abort();
    // An installation without slots is written as its key alone and reads back as nothing.
    for (auto it = installs.begin(); it != installs.end();)
        it = it->second.empty() ? installs.erase(it) : std::next(it);
    if (back != installs) std::abort();
    return 0;
}
