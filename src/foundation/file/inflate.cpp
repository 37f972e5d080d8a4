#include "foundation/file/inflate.h"

#include <zlib.h>

#include <climits>

int Inflate(unsigned char* destination, unsigned long* destinationLength,
            const unsigned char* source, unsigned long sourceLength) {
    if (destinationLength == nullptr) return Z_STREAM_ERROR;
    // One inflate call covers the whole stream, so the sizes must fit zlib's counters.
    if (*destinationLength > UINT_MAX || sourceLength > UINT_MAX) return Z_BUF_ERROR;

    z_stream stream{};
    stream.next_in = const_cast<Bytef*>(source);
    stream.avail_in = static_cast<uInt>(sourceLength);
    stream.next_out = destination;
    stream.avail_out = static_cast<uInt>(*destinationLength);

    int status = inflateInit(&stream);
    if (status != Z_OK) return status;
    status = inflate(&stream, Z_FINISH);
    *destinationLength = stream.total_out;
    inflateEnd(&stream);

    if (status == Z_STREAM_END) return Z_OK;
    if (status == Z_NEED_DICT) return Z_DATA_ERROR;
    // Out of input before the end of the stream: the stream was cut short.
    if (status == Z_BUF_ERROR && stream.avail_in == 0) return Z_DATA_ERROR;
    return status;
}
