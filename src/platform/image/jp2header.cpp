#include "platform/image/jp2header.h"

#include <cstring>

#include "foundation/file/file.h"

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

// A box's header at `box`, which must lie within `end`: its type, the offset of its contents and
// the offset past it, which is beyond `box` (a box holds at least its own header). False when it
// is not one: cut short, or a length that does not fit (a length of 0, "to the end", is taken as
// such).
struct TBox {
    unsigned char type[4];
    int64_t contents;
    int64_t end;
};

bool ReadBox(TFile* file, int64_t box, int64_t end, TBox* out) {
    unsigned char head[16];
    if (box + 8 > end || !ReadAt(file, box, head, 8)) return false;
    uint64_t length = Big32(head);
    int64_t contents = box + 8;
    if (length == 1) {
        if (box + 16 > end || !ReadAt(file, box + 8, head + 8, 8)) return false;
        length = static_cast<uint64_t>(Big32(head + 8)) << 32 | Big32(head + 12);
        contents = box + 16;
    }
    if (length == 0) length = static_cast<uint64_t>(end - box);
    if (length < static_cast<uint64_t>(contents - box) || length > static_cast<uint64_t>(end - box))
        return false;
    std::memcpy(out->type, head + 4, 4);
    out->contents = contents;
    out->end = box + static_cast<int64_t>(length);
    return true;
}

// The column count of the palette box among a header box's children; 0 without one.
uint32_t PaletteColumns(TFile* file, const TBox& header) {
    TBox child;
    for (int64_t box = header.contents; ReadBox(file, box, header.end, &child); box = child.end) {
        unsigned char counts[3];
        if (std::memcmp(child.type, "pclr", 4) == 0)
            return ReadAt(file, child.contents, counts, 3) ? counts[2] : 0;
    }
    return 0;
}

// The offset of the "jp2c" box's contents, walking the top-level boxes; -1 when there is none.
// *paletteColumns: the most palette columns of a header box before it.
int64_t FindCodestreamBox(TFile* file, uint32_t* paletteColumns) {
    const int64_t size = file->GetSize();
    TBox box;
    for (int64_t at = 0; ReadBox(file, at, size, &box); at = box.end) {
        if (std::memcmp(box.type, "jp2c", 4) == 0) return box.contents;
        if (std::memcmp(box.type, "jp2h", 4) == 0) {
            uint32_t columns = PaletteColumns(file, box);
            if (columns > *paletteColumns) *paletteColumns = columns;
        }
    }
    return -1;
}

}  // namespace

bool ReadJp2SizeHeader(TFile* file, bool isJp2, TJp2SizeHeader* header) {
    header->paletteColumns = 0;
    int64_t start = isJp2 ? FindCodestreamBox(file, &header->paletteColumns) : 0;
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
