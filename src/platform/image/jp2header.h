// A look at a JPEG-2000 file's image and tile size (the codestream's SIZ segment) before OpenJPEG
// reads it. OpenJPEG sizes its tile records by the header alone, at several kilobytes a tile, so
// a few bytes that promise a wide image cut into tiny tiles would have it allocate hundreds of
// megabytes before the decoder sees the image's size; the decoder refuses such a file from this
// look instead. It also reads how many columns the file's palette has, if any: OpenJPEG turns
// each into a component of the image's size after decoding, so a palette of hundreds of columns
// costs as much as hundreds of components.
//
// Reads through the file layer and leaves the file at its start. Any thread, on files of its own.
#pragma once

#include <cstdint>

class TFile;

struct TJp2SizeHeader {
    uint64_t width;  // of the image area
    uint64_t height;
    uint64_t tiles;  // across × down
    uint32_t components;
    uint32_t paletteColumns;  // 0 without a palette
};

// Finds the codestream (at the start of a bare codestream, inside the "jp2c" box of a JP2 file)
// and reads its size segment, and for a JP2 file the palette ("pclr") of its header boxes. False
// when there is none to read, or its sizes are not consistent (an empty image area or tile, tiles
// that start past the image).
bool ReadJp2SizeHeader(TFile* file, bool isJp2, TJp2SizeHeader* header);
