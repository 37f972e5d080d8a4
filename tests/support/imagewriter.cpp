#include "support/imagewriter.h"

#include <png.h>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
#include <openjpeg.h>
#include <cstdio>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace testing_support {

namespace {

void AppendToString(png_structp png, png_bytep data, png_size_t length) {
    static_cast<std::string*>(png_get_io_ptr(png))->append(reinterpret_cast<char*>(data), length);
}

int PngChannels(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        default:
            return 1;
    }
}

// The libpng half, behind its own recovery point (libpng's default: its jmp_buf).
bool RunPngWrite(png_structp png, png_infop info, const PngImage& image, std::string* out,
                 std::vector<png_byte>* rowBytes) {
    if (setjmp(png_jmpbuf(png)) != 0) return false;
    png_set_write_fn(png, out, AppendToString, nullptr);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width),
                 static_cast<png_uint_32>(image.height), image.bitDepth, image.colorType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < image.palette.size(); i += 3)
        palette.push_back({image.palette[i], image.palette[i + 1], image.palette[i + 2]});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!image.paletteAlpha.empty()) {
        png_set_tRNS(png, info, image.paletteAlpha.data(),
                     static_cast<int>(image.paletteAlpha.size()), nullptr);
    } else if (!image.colorKey.empty()) {
        png_color_16 key = {};
        key.gray = image.colorKey[0];
        if (image.colorKey.size() >= 3) {
            key.red = image.colorKey[0];
            key.green = image.colorKey[1];
            key.blue = image.colorKey[2];
        }
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (image.gamma > 0.0) png_set_gAMA(png, info, image.gamma);
    png_write_info(png, info);
    // One byte a sample below 8 bits; libpng packs them.
    if (image.bitDepth < 8) png_set_packing(png);

    int channels = PngChannels(image.colorType);
    size_t perRow = static_cast<size_t>(image.width) * channels;
    size_t bytesPerSample = image.bitDepth == 16 ? 2 : 1;
    rowBytes->assign(perRow * bytesPerSample, 0);
    int passes = png_set_interlace_handling(png);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < image.height; ++y) {
            for (size_t i = 0; i < perRow; ++i) {
                uint16_t sample = image.samples[y * perRow + i];
                if (bytesPerSample == 2) {
                    (*rowBytes)[2 * i] = static_cast<png_byte>(sample >> 8);
                    (*rowBytes)[2 * i + 1] = static_cast<png_byte>(sample);
                } else {
                    (*rowBytes)[i] = static_cast<png_byte>(sample);
                }
            }
            png_write_row(png, rowBytes->data());
        }
    }
    png_write_end(png, nullptr);
    return true;
}

struct JpegWrite {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr errors;
    jmp_buf recovery;
    unsigned char* bytes;
    unsigned long size;
};

[[noreturn]] void JpegWriteError(j_common_ptr cinfo) {
    longjmp(reinterpret_cast<JpegWrite*>(cinfo->client_data)->recovery, 1);
}

bool RunJpegWrite(JpegWrite* write, const JpegImage& image) {
    if (setjmp(write->recovery) != 0) return false;
    jpeg_compress_struct* cinfo = &write->cinfo;
    jpeg_create_compress(cinfo);
    cinfo->client_data = write;
    jpeg_mem_dest(cinfo, &write->bytes, &write->size);
    cinfo->image_width = static_cast<JDIMENSION>(image.width);
    cinfo->image_height = static_cast<JDIMENSION>(image.height);
    cinfo->input_components = image.components;
    cinfo->in_color_space = image.components == 1 ? JCS_GRAYSCALE : JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, image.quality, TRUE);
    if (image.progressive) jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    size_t stride = static_cast<size_t>(image.width) * image.components;
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image.samples.data() + cinfo->next_scanline * stride);
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

// The memory stream the JPEG-2000 encoder writes to.
struct ByteSink {
    std::string bytes;
    size_t position = 0;
};

OPJ_SIZE_T SinkWrite(void* buffer, OPJ_SIZE_T count, void* user) {
    ByteSink* sink = static_cast<ByteSink*>(user);
    if (sink->bytes.size() < sink->position + count) sink->bytes.resize(sink->position + count);
    std::memcpy(sink->bytes.data() + sink->position, buffer, count);
    sink->position += count;
    return count;
}

OPJ_OFF_T SinkSkip(OPJ_OFF_T count, void* user) {
    ByteSink* sink = static_cast<ByteSink*>(user);
    sink->position += static_cast<size_t>(count);
    if (sink->bytes.size() < sink->position) sink->bytes.resize(sink->position);
    return count;
}

OPJ_BOOL SinkSeek(OPJ_OFF_T position, void* user) {
    ByteSink* sink = static_cast<ByteSink*>(user);
    sink->position = static_cast<size_t>(position);
    if (sink->bytes.size() < sink->position) sink->bytes.resize(sink->position);
    return OPJ_TRUE;
}

}  // namespace

std::string WritePng(const PngImage& image) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::string out;
    std::vector<png_byte> rowBytes;
    bool written = RunPngWrite(png, info, image, &out, &rowBytes);
    png_destroy_write_struct(&png, &info);
    return written ? out : std::string();
}

std::string WriteJpeg(const JpegImage& image) {
    JpegWrite* write = static_cast<JpegWrite*>(std::calloc(1, sizeof(JpegWrite)));
    write->cinfo.err = jpeg_std_error(&write->errors);
    write->errors.error_exit = JpegWriteError;
    write->cinfo.client_data = write;
    bool written = RunJpegWrite(write, image);
    jpeg_destroy_compress(&write->cinfo);
    std::string out;
    if (written) out.assign(reinterpret_cast<char*>(write->bytes), write->size);
    std::free(write->bytes);
    std::free(write);
    return out;
}

std::string WriteJp2(const Jp2Image& image) {
    std::vector<opj_image_cmptparm_t> parameters(image.components.size());
    int smallest = image.width < image.height ? image.width : image.height;
    for (size_t i = 0; i < image.components.size(); ++i) {
        const Jp2Component& component = image.components[i];
        opj_image_cmptparm_t& p = parameters[i];
        std::memset(&p, 0, sizeof p);
        p.dx = static_cast<OPJ_UINT32>(component.dx);
        p.dy = static_cast<OPJ_UINT32>(component.dy);
        p.w = static_cast<OPJ_UINT32>((image.width + component.dx - 1) / component.dx);
        p.h = static_cast<OPJ_UINT32>((image.height + component.dy - 1) / component.dy);
        p.prec = static_cast<OPJ_UINT32>(component.precision);
        p.sgnd = component.isSigned ? 1 : 0;
        int least = static_cast<int>(p.w < p.h ? p.w : p.h);
        if (least < smallest) smallest = least;
    }
    opj_image_t* out =
        opj_image_create(static_cast<OPJ_UINT32>(parameters.size()), parameters.data(),
                         static_cast<OPJ_COLOR_SPACE>(image.colorSpace));
    if (out == nullptr) return {};
    out->x0 = 0;
    out->y0 = 0;
    out->x1 = static_cast<OPJ_UINT32>(image.width);
    out->y1 = static_cast<OPJ_UINT32>(image.height);
    for (size_t i = 0; i < image.components.size(); ++i) {
        opj_image_comp_t& component = out->comps[i];
        component.alpha = static_cast<OPJ_UINT16>(image.components[i].alpha);
        size_t count = static_cast<size_t>(component.w) * component.h;
        for (size_t s = 0; s < count && s < image.components[i].samples.size(); ++s)
            component.data[s] = image.components[i].samples[s];
    }

    opj_cparameters_t settings;
    opj_set_default_encoder_parameters(&settings);
    settings.tcp_mct = 0;
    if (image.ratio > 0.0f) {
        settings.irreversible = 1;
        settings.tcp_mct = image.components.size() >= 3 ? 1 : 0;
        settings.tcp_numlayers = 1;
        settings.tcp_rates[0] = image.ratio;
        settings.cp_disto_alloc = 1;
    }
    // Each resolution level halves the smallest component; it must keep a sample.
    settings.numresolution = 1;
    while (settings.numresolution < 6 && (smallest >> settings.numresolution) > 0)
        ++settings.numresolution;
    opj_codec_t* codec = opj_create_compress(image.codestream ? OPJ_CODEC_J2K : OPJ_CODEC_JP2);
    ByteSink sink;
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_FALSE);
    opj_stream_set_user_data(stream, &sink, nullptr);
    opj_stream_set_write_function(stream, SinkWrite);
    opj_stream_set_skip_function(stream, SinkSkip);
    opj_stream_set_seek_function(stream, SinkSeek);
    bool written = opj_setup_encoder(codec, &settings, out) &&
                   opj_start_compress(codec, out, stream) && opj_encode(codec, stream) &&
                   opj_end_compress(codec, stream);
    opj_stream_destroy(stream);
    opj_destroy_codec(codec);
    opj_image_destroy(out);
    return written ? sink.bytes : std::string();
}

}  // namespace testing_support
