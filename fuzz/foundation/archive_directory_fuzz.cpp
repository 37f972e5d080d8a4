// The archive directory reader over an archive held in memory. Every member it reports must lie
// inside the archive.
#include <cstddef>
#include <cstdint>

#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/filemaphandler.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RegisterMemoryFile("fuzz.bvp", size > 0 ? data : reinterpret_cast<const uint8_t*>(""),
                       static_cast<uint32_t>(size));
    TFile file;
    if (file.Open("fuzz.bvp", kFileReadBinary)) {
        ReadArchiveDirectory(
            file, size, "fuzz.bvp", [size](const str& name, uint32_t offset, uint32_t length) {
                if (static_cast<uint64_t>(offset) + length > size || name.Length() > 255) {
                    __builtin_trap();
                }
            });
    }
    RegisterMemoryFile("fuzz.bvp", nullptr, 0);
    return 0;
}
