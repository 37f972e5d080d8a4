// Inflate: one-shot decompression of a zlib stream (zlib format, with its header) into a buffer
// the caller sized beforehand. The compressed XML form and the string table use it.
//
// Any thread may call it; it keeps no state.
#pragma once

#include <cstddef>

// Inflates source into destination. On entry *destinationLength is the room in destination, on
// return the number of bytes produced. Answers zlib's status: Z_OK when the whole stream fitted,
// Z_BUF_ERROR when the room ran out first, Z_MEM_ERROR, or Z_DATA_ERROR for a damaged stream,
// which includes a stream that needs a preset dictionary and one cut short before its end.
int Inflate(unsigned char* destination, unsigned long* destinationLength,
            const unsigned char* source, unsigned long sourceLength);
