// The mesh reader on any bytes, read through a memory file as the game reads a ".mesh" from the
// assets or an archive.
#include <cstddef>
#include <cstdint>

#include "foundation/file/fileindex.h"
#include "platform/animation/model.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > UINT32_MAX) return 0;
    RegisterMemoryFile("fuzz.mesh", data, static_cast<uint32_t>(size));
    TModel model;
    if (model.Init("fuzz.mesh")) {
        const TModelData* mesh = model.GetData();
        // The arrays hold what the counts say: 16 bytes a vertex, 6 a triangle.
        if (8 + 16 * mesh->mVertices.size() + 2 * mesh->mIndices.size() > size) __builtin_trap();
        if (mesh->mIndices.size() % 3 != 0) __builtin_trap();
    }
    RegisterMemoryFile("fuzz.mesh", nullptr, 0);
    return 0;
}
