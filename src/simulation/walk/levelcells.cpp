#include "simulation/walk/levelcells.h"

#include <cstdint>

#include "foundation/file/file.h"

namespace {

// Records read at a time. The count is never trusted for a reservation: the file may be short.
constexpr int32_t kChunkRecords = 256;
constexpr int32_t kRecordSize = 3;

}  // namespace

bool LoadLevelCells(const str& path, std::vector<GVLayoutCell>& cells) {
    TFile* file = FileOpen(path, kFileReadBinary);
    if (file == nullptr) return false;
    cells.clear();

    uint8_t countBytes[4] = {};
    int32_t count = 0;
    if (FileRead(file, countBytes, 4) == 4)
        count = static_cast<int32_t>(static_cast<uint32_t>(countBytes[0]) |
                                     static_cast<uint32_t>(countBytes[1]) << 8 |
                                     static_cast<uint32_t>(countBytes[2]) << 16 |
                                     static_cast<uint32_t>(countBytes[3]) << 24);

    uint8_t chunk[kChunkRecords * kRecordSize];
    int32_t left = count;
    while (left > 0) {
        const int32_t wanted = left < kChunkRecords ? left : kChunkRecords;
        const int32_t bytes = FileRead(file, chunk, wanted * kRecordSize);
        const int32_t whole = bytes > 0 ? bytes / kRecordSize : 0;
        for (int32_t i = 0; i < whole; ++i) {
            const uint8_t* record = chunk + i * kRecordSize;
            cells.push_back(GVLayoutCell{record[0], record[1], record[2]});
        }
        if (whole < wanted) break;
        left -= wanted;
    }
    FileClose(file);
    return true;
}
