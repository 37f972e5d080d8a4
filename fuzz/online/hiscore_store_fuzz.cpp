// The local hiscore file. An input is either the file as it lies on disk or, when it begins with
// "P", the plain text behind the cipher, which the harness seals with the key first, so that
// mutations reach the records past the checksum. Whatever was read must write and read back the
// same.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "foundation/prefs/crypt.h"
#include "online/hiscorestore.h"

namespace {

TCrypt& Cipher() {
    static TCrypt* crypt = new TCrypt("Umbrava12Key");
    return *crypt;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const char* bytes = reinterpret_cast<const char*>(data);
    if (size == 0) bytes = "";
    const std::string file = size > 0 && bytes[0] == 'P'
                                 ? SealHiscoreFile(Cipher(), std::string(bytes + 1, size - 1))
                                 : std::string(bytes, size);
    THiscoreStore store(false);
    store.ReadFile(Cipher(), file.data(), file.size());

    const std::string written = store.MakeFile(Cipher());
    THiscoreStore back(false);
    back.ReadFile(Cipher(), written.data(), written.size());
    if (back.Tables() != store.Tables() || back.Medals() != store.Medals() ||
        back.Logins() != store.Logins())
        std::abort();
    return 0;
}
