// Writers of small PNG, JPEG and JPEG-2000 files in memory, with the libraries the decoders read
// them with, so that tests and benchmarks make their own images instead of committing them.
// Each answers the file's bytes, or an empty text when the library refused the description.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// A PNG. samples holds width × height pixels row by row, each with the colour type's channels
// (palette: the index; grey: 1; grey-alpha: 2; RGB: 3; RGBA: 4), one value a channel of up to
// bitDepth bits.
struct PngImage {
    int width = 0;
    int height = 0;
    int colorType = 0;  // PNG_COLOR_TYPE_*
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<uint16_t> samples;
    // Palette entries as red, green, blue triples, and the palette's tRNS alphas.
    std::vector<uint8_t> palette;
    std::vector<uint8_t> paletteAlpha;
    // A tRNS colour key of a grey or RGB image: the grey value, or red, green, blue.
    std::vector<uint16_t> colorKey;
    // A gAMA chunk with this gamma when above 0.
    double gamma = 0.0;
};
std::string WritePng(const PngImage& image);

// A baseline (or progressive) JPEG of 1 (grey) or 3 (RGB) components, samples row by row.
struct JpegImage {
    int width = 0;
    int height = 0;
    int components = 3;
    std::vector<uint8_t> samples;
    int quality = 90;
    bool progressive = false;
};
std::string WriteJpeg(const JpegImage& image);

// A JPEG-2000 image as a JP2 file or a bare J2K codestream, coded losslessly unless a
// compression ratio is given. Each component has ceil(width / dx) × ceil(height / dy) samples,
// row by row.
struct Jp2Component {
    int precision = 8;
    bool isSigned = false;
    int dx = 1;
    int dy = 1;
    // OpenJPEG's alpha mark: 1 opacity; the JP2 writer then adds the channel definitions.
    int alpha = 0;
    std::vector<int32_t> samples;
};
struct Jp2Image {
    int width = 0;
    int height = 0;
    int colorSpace = 1;  // OPJ_COLOR_SPACE: 1 sRGB, 2 grey
    bool codestream = false;
    // Above 0: coded lossy (the irreversible wavelet, and the colour transform of three
    // components or more) to about 1 / ratio of the samples' size.
    float ratio = 0.0f;
    std::vector<Jp2Component> components;
};
std::string WriteJp2(const Jp2Image& image);

}  // namespace testing_support
