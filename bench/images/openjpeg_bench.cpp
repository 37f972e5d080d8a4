// OpenJPEG decoding the same JP2 files from memory, as a program calling it directly would: a
// stream over the bytes, the header, the decode, and the components' 8-bit samples packed into a
// BGRA buffer of its own (alpha 255 without an opacity component). The yardstick for DecodeJp2.
#include <openjpeg.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "benchimages.h"

namespace bench_images {

namespace {

struct Memory {
    const uint8_t* data;
    size_t size;
    size_t position;
};

OPJ_SIZE_T MemoryRead(void* buffer, OPJ_SIZE_T count, void* user) {
    Memory* m = static_cast<Memory*>(user);
    if (m->position >= m->size) return static_cast<OPJ_SIZE_T>(-1);
    size_t n = count < m->size - m->position ? count : m->size - m->position;
    std::memcpy(buffer, m->data + m->position, n);
    m->position += n;
    return n;
}

OPJ_OFF_T MemorySkip(OPJ_OFF_T count, void* user) {
    Memory* m = static_cast<Memory*>(user);
    OPJ_OFF_T room = static_cast<OPJ_OFF_T>(m->size - m->position);
    OPJ_OFF_T step = count > room ? room : count;
    m->position += static_cast<size_t>(step);
    return step;
}

OPJ_BOOL MemorySeek(OPJ_OFF_T position, void* user) {
    Memory* m = static_cast<Memory*>(user);
    if (position < 0 || static_cast<size_t>(position) > m->size) return OPJ_FALSE;
    m->position = static_cast<size_t>(position);
    return OPJ_TRUE;
}

// One decode into a new BGRA buffer (freed with std::free); null when it failed.
uint8_t* DecodeJp2Memory(const std::string& bytes) {
    Memory memory{reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), 0};
    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
    opj_stream_set_user_data(stream, &memory, nullptr);
    opj_stream_set_user_data_length(stream, bytes.size());
    opj_stream_set_read_function(stream, MemoryRead);
    opj_stream_set_skip_function(stream, MemorySkip);
    opj_stream_set_seek_function(stream, MemorySeek);
    opj_codec_t* codec = opj_create_decompress(OPJ_CODEC_JP2);
    opj_dparameters_t parameters;
    opj_set_default_decoder_parameters(&parameters);
    opj_image_t* image = nullptr;
    uint8_t* pixels = nullptr;
    if (opj_setup_decoder(codec, &parameters) && opj_read_header(stream, codec, &image) &&
        opj_decode(codec, stream, image) && opj_end_decompress(codec, stream) &&
        image->numcomps >= 3) {
        const size_t count = static_cast<size_t>(image->comps[0].w) * image->comps[0].h;
        pixels = static_cast<uint8_t*>(std::malloc(count * 4));
        const OPJ_INT32* red = image->comps[0].data;
        const OPJ_INT32* green = image->comps[1].data;
        const OPJ_INT32* blue = image->comps[2].data;
        const OPJ_INT32* alpha = image->numcomps >= 4 ? image->comps[3].data : nullptr;
        for (size_t i = 0; i < count; ++i) {
            pixels[4 * i] = static_cast<uint8_t>(blue[i]);
            pixels[4 * i + 1] = static_cast<uint8_t>(green[i]);
            pixels[4 * i + 2] = static_cast<uint8_t>(red[i]);
            pixels[4 * i + 3] = alpha != nullptr ? static_cast<uint8_t>(alpha[i]) : 255;
        }
    }
    if (image != nullptr) opj_image_destroy(image);
    opj_destroy_codec(codec);
    opj_stream_destroy(stream);
    return pixels;
}

void OpenJpeg(benchmark::State& state, const char* name) {
    DecodeLibrary(state, FormatNamed(name), DecodeJp2Memory);
}

void BM_OpenJpeg_Lossy(benchmark::State& state) {
    OpenJpeg(state, "JP2 lossy");
}
void BM_OpenJpeg_Lossless(benchmark::State& state) {
    OpenJpeg(state, "JP2 RGBA");
}

}  // namespace

BENCHMARK(BM_OpenJpeg_Lossy)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OpenJpeg_Lossless)->Unit(benchmark::kMillisecond);

}  // namespace bench_images
