#include "platform/image/jp2header.h"

#include <cstring>

#include "foundation/file.h"

namespace {

uint32_t Big32(const unsigned char* p) {
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

bool ReadAt(TFile* file, int64_t position, void* buffer, int count) {
    if (position < 0 || position > file->GetSize()) return false;
    file->Seek(static_cast<long>(position), kSeekStart);
    return file->Tell() == position && file->Read(buffer, count) == count;
}

// The offset of the "jp2c" box's contents, walking the top-level boxes; -1 when there is none.
int64_t FindCodestreamBox(TFile* file) {
    const int64_t size = file->GetSize();
    int64_t box = 0;
    while (box + 8 <= size) {
        unsigned char head[16];
        if (!ReadAt(file, box, head, 8)) return -1;
        uint64_t length = Big32(head);
        int64_t contents = box + 8;
        if (length == 1) {
            if (!ReadAt(file, box + 8, head + 8, 8)) return -1;
            length = static_cast<uint64_t>(Big32(head + 8)) << 32 | Big32(head + 12);
            contents = box + 16;
        }
        if (std::memcmp(head + 4, "jp2c", 4) == 0) return contents;
        // A length of 0 runs to the end of the file; a box must hold its own header.
        if (length == 0 || length < static_cast<uint64_t>(contents - box) ||
            length > static_cast<uint64_t>(size - box))
            return -1;
        box += static_cast<int64_t>(length);
    }
    return -1;
}

}  // namespace

bool ReadJp2SizeHeader(TFile* file, bool isJp2, TJp2SizeHeader* header) {
    int64_t start = isJp2 ? FindCodestreamBox(file) : 0;
    // SOC, then SIZ: its marker and length, Rsiz, eight 32-bit sizes and offsets, Csiz.
    unsigned char siz[42];
    bool read = start >= 0 && ReadAt(file, start, siz, sizeof siz);
    file->Seek(0, kSeekStart);
    if (!read || siz[0] != 0xFF || siz[1] != 0x4F || siz[2] != 0xFF || siz[3] != 0x51) return false;
    uint64_t right = Big32(siz + 8);
    uint64_t bottom = Big32(siz + 12);
    uint64_t left = Big32(siz + 16);
    uint64_t top = Big32(siz + 20);
    uint64_t tileWidth = Big32(siz + 24);
    uint64_t tileHeight = Big32(siz + 28);
    uint64_t tileLeft = Big32(siz + 32);
    uint64_t tileTop = Big32(siz + 36);
    if (right <= left || bottom <= top || tileWidth == 0 || tileHeight == 0 || tileLeft > left ||
        tileTop > top)
        return false;
    header->width = right - left;
    header->height = bottom - top;
    header->tiles = ((right - tileLeft + tileWidth - 1) / tileWidth) *
                    ((bottom - tileTop + tileHeight - 1) / tileHeight);
    header->components = static_cast<uint32_t>(siz[40]) << 8 | siz[41];
    return true;
}
