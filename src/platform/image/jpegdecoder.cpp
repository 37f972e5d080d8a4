#include "platform/image/jpegdecoder.h"

// jpeglib.h needs FILE and size_t declared before it.
#include <jerror.h>
#include <jpeglib.h>
#include <cstdio>

#include <csetjmp>
#include <cstdlib>

#include "foundation/file/file.h"
#include "foundation/log.h"
#include "platform/image/squarebuffer.h"

namespace {

constexpr long kJpegMemoryLimit = 16 * 1024 * 1024;
constexpr int kSourceBufferSize = 4096;

// The source manager over a file, and its input buffer. Both come from libjpeg's permanent pool
// and are made once per decompress object.
struct JpegFileSource {
    jpeg_source_mgr pub;
    TFile* file;
    JOCTET* buffer;
    boolean startOfFile;
};

void InitSource(j_decompress_ptr cinfo) {
    reinterpret_cast<JpegFileSource*>(cinfo->src)->startOfFile = TRUE;
}

boolean FillInputBuffer(j_decompress_ptr cinfo) {
    JpegFileSource* source = reinterpret_cast<JpegFileSource*>(cinfo->src);
    int count = FileRead(source->file, source->buffer, kSourceBufferSize);
    if (count <= 0) {
        if (source->startOfFile) ERREXIT(cinfo, JERR_INPUT_EMPTY);
        WARNMS(cinfo, JWRN_JPEG_EOF);
        // A fake end of image, so that a file cut short still ends its decode.
        source->buffer[0] = 0xFF;
        source->buffer[1] = JPEG_EOI;
        count = 2;
    }
    source->pub.next_input_byte = source->buffer;
    source->pub.bytes_in_buffer = static_cast<size_t>(count);
    source->startOfFile = FALSE;
    return TRUE;
}

void SkipInputData(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* source = cinfo->src;
    while (count > static_cast<long>(source->bytes_in_buffer)) {
        count -= static_cast<long>(source->bytes_in_buffer);
        FillInputBuffer(cinfo);
    }
    source->next_input_byte += count;
    source->bytes_in_buffer -= static_cast<size_t>(count);
}

void TermSource(j_decompress_ptr /*cinfo*/) {}

void SetJpegFileSource(j_decompress_ptr cinfo, TFile* file) {
    if (cinfo->src == nullptr) {
        JpegFileSource* made = static_cast<JpegFileSource*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, sizeof(JpegFileSource)));
        made->buffer = static_cast<JOCTET*>((*cinfo->mem->alloc_small)(
            reinterpret_cast<j_common_ptr>(cinfo), JPOOL_PERMANENT, kSourceBufferSize));
        cinfo->src = &made->pub;
    }
    JpegFileSource* source = reinterpret_cast<JpegFileSource*>(cinfo->src);
    source->file = file;
    source->pub.init_source = InitSource;
    source->pub.fill_input_buffer = FillInputBuffer;
    source->pub.skip_input_data = SkipInputData;
    source->pub.resync_to_restart = jpeg_resync_to_restart;
    source->pub.term_source = TermSource;
    source->pub.bytes_in_buffer = 0;
    source->pub.next_input_byte = nullptr;
}

// libjpeg's error manager with the decode's recovery point. The exit leaves the library with
// longjmp, so nothing with a destructor is live between the recovery point and the library calls:
// the decode keeps plain values only, in JpegDecode.
struct JpegErrorManager {
    jpeg_error_mgr pub;
    const char* fileName;
    jmp_buf recovery;
};

void OutputMessage(j_common_ptr cinfo) {
    char message[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, message);
    LogPrintf("DecodeJpeg: %s: %s", reinterpret_cast<JpegErrorManager*>(cinfo->err)->fileName,
              message);
}

// Where the standard manager ends the process, this ends the decode.
[[noreturn]] void ErrorExit(j_common_ptr cinfo) {
    (*cinfo->err->output_message)(cinfo);
    longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->recovery, 1);
}

struct JpegDecode {
    jpeg_decompress_struct cinfo;
    JpegErrorManager errors;
    TFile* file;
    int largestSide;
    uint8_t* pixels;
    int side;
};

// The libjpeg half of a decode, behind its recovery point: true with the buffer filled; false
// after a fatal library error or a refused image, leaving what was made for the caller to free.
bool RunJpegDecode(JpegDecode* decode) {
    j_decompress_ptr cinfo = &decode->cinfo;
    cinfo->err = jpeg_std_error(&decode->errors.pub);
    decode->errors.pub.error_exit = ErrorExit;
    decode->errors.pub.output_message = OutputMessage;
    if (setjmp(decode->errors.recovery) != 0) return false;

    jpeg_create_decompress(cinfo);
    cinfo->mem->max_memory_to_use = kJpegMemoryLimit;
    SetJpegFileSource(cinfo, decode->file);
    jpeg_read_header(cinfo, TRUE);
    if (!ImageFitsLargestSide(cinfo->image_width, cinfo->image_height, decode->largestSide))
        return false;

    // libjpeg-turbo fills this as blue, green, red, 255; grey converts to the same layout.
    cinfo->out_color_space = JCS_EXT_BGRA;
    int side = SquareSide(cinfo->image_width, cinfo->image_height);
    size_t stride = static_cast<size_t>(side) * 4;
    // Every scanline is read into its row in full (a file cut short ends in libjpeg's fake end
    // of image, which still gives every row); only the padding is cleared.
    decode->pixels = NewSquareBuffer(side, cinfo->image_width, cinfo->image_height);
    if (decode->pixels == nullptr) return false;

    jpeg_start_decompress(cinfo);
    if (cinfo->output_components != 4 || cinfo->output_width != cinfo->image_width ||
        cinfo->output_height != cinfo->image_height)
        return false;
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = decode->pixels + cinfo->output_scanline * stride;
        if (jpeg_read_scanlines(cinfo, &row, 1) != 1) return false;
    }
    jpeg_finish_decompress(cinfo);
    decode->side = side;
    return true;
}

}  // namespace

bool DecodeJpeg(const str& fileName, uint8_t** pixels, int* width, int* height, int* side,
                int largestSide) {
    *pixels = nullptr;
    TFile* file = FileOpen(fileName, kFileReadBinary);
    if (file == nullptr) return false;

    JpegDecode decode{};
    decode.errors.fileName = fileName.c_str();
    decode.file = file;
    decode.largestSide = largestSide;
    bool decoded = RunJpegDecode(&decode);
    JDIMENSION imageWidth = decode.cinfo.image_width;
    JDIMENSION imageHeight = decode.cinfo.image_height;
    // Safe on an object whose creation failed: it then has no memory manager to tear down.
    jpeg_destroy_decompress(&decode.cinfo);
    FileClose(file);
    if (!decoded) {
        std::free(decode.pixels);
        return false;
    }
    *pixels = decode.pixels;
    *width = static_cast<int>(imageWidth);
    *height = static_cast<int>(imageHeight);
    *side = decode.side;
    return true;
}

void ReleaseJpegPixels(uint8_t* pixels) {
    std::free(pixels);
}
