#include "platform/image/jp2decoder.h"

#include <openjpeg.h>

#include <climits>
#include <cstdlib>
#include <cstring>

#include "foundation/file/file.h"
#include "platform/image/jp2header.h"
#include "platform/image/squarebuffer.h"

namespace {

// The decoder reads four components at most; a header may declare thousands, each of which
// OpenJPEG would decode, and a palette hundreds of columns, each of which OpenJPEG would expand
// into a component of the image's size.
constexpr OPJ_UINT32 kMaxComponents = 16;
// OpenJPEG keeps a record of several kilobytes for every tile the header announces.
constexpr uint64_t kMaxTiles = 4096;

constexpr unsigned char kJp2Signature[12] = {0x00, 0x00, 0x00, 0x0C, 0x6A, 0x50,
                                             0x20, 0x20, 0x0D, 0x0A, 0x87, 0x0A};
constexpr unsigned char kCodestreamStart[4] = {0xFF, 0x4F, 0xFF, 0x51};

// The stream callbacks over the open file. Skip and seek report what really happened.
OPJ_SIZE_T Jp2StreamRead(void* buffer, OPJ_SIZE_T count, void* user) {
    int wanted = count > static_cast<OPJ_SIZE_T>(INT_MAX) ? INT_MAX : static_cast<int>(count);
    int got = static_cast<TFile*>(user)->Read(buffer, wanted);
    return got > 0 ? static_cast<OPJ_SIZE_T>(got) : static_cast<OPJ_SIZE_T>(-1);
}

OPJ_OFF_T Jp2StreamSkip(OPJ_OFF_T count, void* user) {
    TFile* file = static_cast<TFile*>(user);
    OPJ_OFF_T start = file->Tell();
    OPJ_OFF_T size = file->GetSize();
    if (start < 0) return -1;
    OPJ_OFF_T target = count > size - start ? size : (count < -start ? 0 : start + count);
    if (target == start) return count == 0 ? 0 : -1;
    file->Seek(static_cast<long>(target), kSeekStart);
    return file->Tell() - start;
}

OPJ_BOOL Jp2StreamSeek(OPJ_OFF_T position, void* user) {
    TFile* file = static_cast<TFile*>(user);
    if (position < 0 || position > file->GetSize()) return OPJ_FALSE;
    file->Seek(static_cast<long>(position), kSeekStart);
    return file->Tell() == position ? OPJ_TRUE : OPJ_FALSE;
}

// The codec the file's first bytes call for; OPJ_CODEC_UNKNOWN for anything else. The file is
// left at its start.
OPJ_CODEC_FORMAT CodecFromSignature(TFile* file) {
    unsigned char head[12] = {};
    int got = file->Read(head, sizeof head);
    file->Seek(0, kSeekStart);
    if (got >= 12 && std::memcmp(head, kJp2Signature, 12) == 0) return OPJ_CODEC_JP2;
    if (got >= 4 && std::memcmp(head, kCodestreamStart, 4) == 0) return OPJ_CODEC_J2K;
    return OPJ_CODEC_UNKNOWN;
}

// A component the buffer can take samples from: there, of the image's size, with samples.
const opj_image_comp_t* ReadableComponent(const opj_image_t* image, OPJ_UINT32 index,
                                          OPJ_UINT32 width, OPJ_UINT32 height) {
    if (index >= image->numcomps) return nullptr;
    const opj_image_comp_t* component = &image->comps[index];
    if (component->data == nullptr || component->w != width || component->h != height ||
        component->prec < 1 || component->prec > 31)
        return nullptr;
    return component;
}

// A sample as a byte. Up to 8 bits: the low 8 bits moved to the top of the byte; wider: the top 8
// bits, a signed sample first offset to unsigned (and held to the range, should the data exceed
// the precision).
struct SampleScale {
    explicit SampleScale(const opj_image_comp_t* component)
        : precision(static_cast<int>(component->prec)), offset(0) {
        if (precision > 8 && component->sgnd != 0) offset = int64_t{1} << (precision - 1);
    }
    uint8_t operator()(OPJ_INT32 sample) const {
        if (precision <= 8)
            return static_cast<uint8_t>((static_cast<uint32_t>(sample) & 0xFF) << (8 - precision));
        int64_t value = (static_cast<int64_t>(sample) + offset) >> (precision - 8);
        return static_cast<uint8_t>(value < 0 ? 0 : (value > 255 ? 255 : value));
    }
    int precision;
    int64_t offset;
};

void WriteChannel(uint8_t* pixels, int side, const opj_image_comp_t* component, int byte) {
    SampleScale scale(component);
    size_t stride = static_cast<size_t>(side) * 4;
    for (OPJ_UINT32 y = 0; y < component->h; ++y) {
        const OPJ_INT32* samples = component->data + static_cast<size_t>(y) * component->w;
        uint8_t* out = pixels + y * stride + byte;
        for (OPJ_UINT32 x = 0; x < component->w; ++x)
            out[x * 4] = scale(samples[x]);
    }
}

// Fills the square from the decoded image: colour, alpha, then the edges.
bool FillSquare(const opj_image_t* image, uint8_t* pixels, int side, OPJ_UINT32 width,
                OPJ_UINT32 height) {
    OPJ_UINT32 count = image->numcomps;
    bool unknownSpace =
        image->color_space == OPJ_CLRSPC_UNKNOWN || image->color_space == OPJ_CLRSPC_UNSPECIFIED;
    bool grey = image->color_space == OPJ_CLRSPC_GRAY || (unknownSpace && count <= 2);
    bool rgb = image->color_space == OPJ_CLRSPC_SRGB || (unknownSpace && count >= 3);

    // A colour component is never one the file marks as (premultiplied) opacity.
    auto colour = [&](OPJ_UINT32 index) -> const opj_image_comp_t* {
        const opj_image_comp_t* component = ReadableComponent(image, index, width, height);
        return component != nullptr && component->alpha == 0 ? component : nullptr;
    };
    if (grey) {
        if (const opj_image_comp_t* component = colour(0)) {
            for (int byte = 0; byte < 3; ++byte)
                WriteChannel(pixels, side, component, byte);
        }
    } else if (rgb) {
        // Component 0 is red (byte 2), 1 green, 2 blue (byte 0).
        for (OPJ_UINT32 index = 0; index < 3; ++index) {
            if (const opj_image_comp_t* component = colour(index))
                WriteChannel(pixels, side, component, 2 - static_cast<int>(index));
        }
    }

    const opj_image_comp_t* opacity = nullptr;
    for (OPJ_UINT32 index = 0; index < count && opacity == nullptr; ++index) {
        if (image->comps[index].alpha == 1)
            opacity = ReadableComponent(image, index, width, height);
    }
    if (opacity != nullptr) {
        WriteChannel(pixels, side, opacity, 3);
    } else {
        for (size_t pixel = 0; pixel < static_cast<size_t>(side) * side; ++pixel)
            pixels[pixel * 4 + 3] = 0xFF;
    }

    size_t stride = static_cast<size_t>(side) * 4;
    for (OPJ_UINT32 y = 0; y < height; ++y) {
        uint8_t* row = pixels + y * stride;
        for (size_t x = width; x < static_cast<size_t>(side); ++x)
            std::memcpy(row + x * 4, row + (width - 1) * 4, 4);
    }
    for (size_t y = height; y < static_cast<size_t>(side); ++y)
        std::memcpy(pixels + y * stride, pixels + (height - 1) * stride, stride);
    return opacity != nullptr;
}

}  // namespace

bool DecodeJp2(const str& fileName, uint8_t** pixels, int* width, int* height, int* side,
               bool* hasAlpha, int largestSide) {
    *pixels = nullptr;
    TFile file;
    if (!file.Open(fileName, kFileReadBinary)) return false;
    OPJ_CODEC_FORMAT format = CodecFromSignature(&file);
    if (format == OPJ_CODEC_UNKNOWN) return false;
    // The sizes are checked before OpenJPEG reads the header (see jp2header.h), and once more
    // after, on what it read.
    TJp2SizeHeader header;
    if (!ReadJp2SizeHeader(&file, format == OPJ_CODEC_JP2, &header) ||
        !ImageFitsLargestSide(header.width, header.height, largestSide) || header.components < 1 ||
        header.components > kMaxComponents || header.paletteColumns > kMaxComponents ||
        header.tiles > kMaxTiles)
        return false;

    opj_stream_t* stream = opj_stream_create(OPJ_J2K_STREAM_CHUNK_SIZE, OPJ_TRUE);
    opj_codec_t* codec = opj_create_decompress(format);
    opj_image_t* image = nullptr;
    bool decoded = false;
    if (stream != nullptr && codec != nullptr) {
        opj_stream_set_user_data(stream, &file, nullptr);
        opj_stream_set_user_data_length(stream, static_cast<OPJ_UINT64>(file.GetSize()));
        opj_stream_set_read_function(stream, Jp2StreamRead);
        opj_stream_set_skip_function(stream, Jp2StreamSkip);
        opj_stream_set_seek_function(stream, Jp2StreamSeek);
        opj_dparameters_t parameters;
        opj_set_default_decoder_parameters(&parameters);
        decoded = opj_setup_decoder(codec, &parameters) && opj_read_header(stream, codec, &image) &&
                  image != nullptr && image->x1 > image->x0 && image->y1 > image->y0 &&
                  ImageFitsLargestSide(image->x1 - image->x0, image->y1 - image->y0, largestSide) &&
                  image->numcomps >= 1 && image->numcomps <= kMaxComponents &&
                  opj_decode(codec, stream, image) && opj_end_decompress(codec, stream);
    }

    uint8_t* buffer = nullptr;
    OPJ_UINT32 imageWidth = 0;
    OPJ_UINT32 imageHeight = 0;
    int bufferSide = 0;
    bool alpha = false;
    if (decoded) {
        imageWidth = image->x1 - image->x0;
        imageHeight = image->y1 - image->y0;
        bufferSide = SquareSide(imageWidth, imageHeight);
        buffer = static_cast<uint8_t*>(std::calloc(SquareBufferSize(bufferSide), 1));
        if (buffer != nullptr)
            alpha = FillSquare(image, buffer, bufferSide, imageWidth, imageHeight);
    }
    if (image != nullptr) opj_image_destroy(image);
    if (codec != nullptr) opj_destroy_codec(codec);
    if (stream != nullptr) opj_stream_destroy(stream);
    file.Close();
    if (buffer == nullptr) return false;
    *pixels = buffer;
    *width = static_cast<int>(imageWidth);
    *height = static_cast<int>(imageHeight);
    *side = bufferSide;
    *hasAlpha = alpha;
    return true;
}

void ReleaseJp2Pixels(uint8_t* pixels) {
    std::free(pixels);
}
