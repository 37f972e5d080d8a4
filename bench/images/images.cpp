#include <png.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>

#include "benchimages.h"
#include "foundation/file/fileindex.h"
#include "platform/image/jp2decoder.h"
#include "platform/image/jpegdecoder.h"
#include "platform/image/pngdecoder.h"
#include "platform/image/squarebuffer.h"
#include "support/imagewriter.h"

namespace bench_images {

namespace {

// Soft waves of colour, the way a painted background changes, and a little noise.
uint8_t Channel(int x, int y, int channel) {
    double wave = std::sin(x * (0.011 + channel * 0.003)) * std::cos(y * (0.007 + channel * 0.002));
    uint32_t noise = (static_cast<uint32_t>(x) * 73856093u ^ static_cast<uint32_t>(y) * 19349663u ^
                      static_cast<uint32_t>(channel) * 83492791u) %
                     7;
    return static_cast<uint8_t>(120 + wave * 100 + noise);
}

uint8_t Alpha(int x, int y) {
    return static_cast<uint8_t>((x + y) / 8 & 0xFF);
}

std::string MakePng(bool alpha) {
    testing_support::PngImage image;
    image.width = kSide;
    image.height = kSide;
    image.colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            for (int c = 0; c < 3; ++c)
                image.samples.push_back(Channel(x, y, c));
            if (alpha) image.samples.push_back(Alpha(x, y));
        }
    }
    return testing_support::WritePng(image);
}

std::string MakeJpeg() {
    testing_support::JpegImage image;
    image.width = kSide;
    image.height = kSide;
    image.quality = 90;
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            for (int c = 0; c < 3; ++c)
                image.samples.push_back(Channel(x, y, c));
        }
    }
    return testing_support::WriteJpeg(image);
}

std::string MakeJp2(bool alpha, float ratio) {
    testing_support::Jp2Image image;
    image.width = kSide;
    image.height = kSide;
    image.ratio = ratio;
    image.components.resize(alpha ? 4 : 3);
    for (int y = 0; y < kSide; ++y) {
        for (int x = 0; x < kSide; ++x) {
            for (int c = 0; c < 3; ++c)
                image.components[c].samples.push_back(Channel(x, y, c));
            if (alpha) image.components[3].samples.push_back(Alpha(x, y));
        }
    }
    if (alpha) image.components[3].alpha = 1;
    return testing_support::WriteJp2(image);
}

// Decodes through the file layer, with the decoder the file's name calls for.
bool Decode(const std::string& file, uint8_t** pixels, int* width, int* height, int* side) {
    bool hasAlpha;
    if (file.ends_with(".png"))
        return DecodePng(file.c_str(), pixels, width, height, side, &hasAlpha, kImageLargestSide);
    if (file.ends_with(".jpg"))
        return DecodeJpeg(file.c_str(), pixels, width, height, side, kImageLargestSide);
    return DecodeJp2(file.c_str(), pixels, width, height, side, &hasAlpha, kImageLargestSide);
}

void Release(const std::string& file, uint8_t* pixels) {
    if (file.ends_with(".png")) {
        ReleasePngPixels(pixels);
    } else if (file.ends_with(".jpg")) {
        ReleaseJpegPixels(pixels);
    } else {
        ReleaseJp2Pixels(pixels);
    }
}

std::map<std::string, int>& Comparisons() {
    static std::map<std::string, int> comparisons;  // 1 the same, 2 different
    return comparisons;
}

}  // namespace

const std::string& RgbaPng() {
    static const std::string bytes = MakePng(true);
    return bytes;
}

const std::string& RgbPng() {
    static const std::string bytes = MakePng(false);
    return bytes;
}

const std::string& Jpeg90() {
    static const std::string bytes = MakeJpeg();
    return bytes;
}

const std::string& Jp2Lossy() {
    static const std::string bytes = MakeJp2(false, 20.0f);
    return bytes;
}

const std::string& Jp2Lossless() {
    static const std::string bytes = MakeJp2(true, 0.0f);
    return bytes;
}

const std::vector<Format>& Formats() {
    static const std::vector<Format> formats = {
        {"PNG RGBA", RgbaPng, "bench.png", "BM_DecodePng_Rgba", "BM_LibpngSimplified_Rgba"},
        {"PNG RGB", RgbPng, "bench.png", "BM_DecodePng_Rgb", "BM_LibpngSimplified_Rgb"},
        {"JPEG q90", Jpeg90, "bench.jpg", "BM_DecodeJpeg_Quality90", "BM_TurboJpeg_Quality90"},
        {"JP2 lossy", Jp2Lossy, "bench.jp2", "BM_DecodeJp2_Lossy", "BM_OpenJpeg_Lossy"},
        {"JP2 RGBA", Jp2Lossless, "bench.jp2", "BM_DecodeJp2_Lossless", "BM_OpenJpeg_Lossless"},
    };
    return formats;
}

const Format& FormatNamed(const char* name) {
    for (const Format& format : Formats()) {
        if (std::strcmp(format.name, name) == 0) return format;
    }
    std::abort();
}

void DecodeOurs(benchmark::State& state, const Format& format) {
    const std::string& bytes = format.bytes();
    RegisterMemoryFile(format.file, bytes.data(), static_cast<uint32_t>(bytes.size()));
    for (auto _ : state) {
        uint8_t* pixels = nullptr;
        int width, height, side;
        if (!Decode(format.file, &pixels, &width, &height, &side)) {
            state.SkipWithError("the decoder failed");
            break;
        }
        benchmark::DoNotOptimize(pixels[0]);
        Release(format.file, pixels);
    }
    RegisterMemoryFile(format.file, nullptr, 0);
    CountMegapixels(state);
}

std::vector<uint8_t> OurPicture(const Format& format) {
    const std::string& bytes = format.bytes();
    RegisterMemoryFile(format.file, bytes.data(), static_cast<uint32_t>(bytes.size()));
    uint8_t* pixels = nullptr;
    int width, height, side;
    std::vector<uint8_t> picture;
    if (Decode(format.file, &pixels, &width, &height, &side) && width == kSide && height == kSide &&
        side == kSide) {
        picture.assign(pixels, pixels + static_cast<size_t>(kSide) * kSide * 4);
    }
    if (pixels != nullptr) Release(format.file, pixels);
    RegisterMemoryFile(format.file, nullptr, 0);
    return picture;
}

void ComparePictures(const Format& format, const std::vector<uint8_t>& library) {
    const std::vector<uint8_t> ours = OurPicture(format);
    Comparisons()[format.name] = !ours.empty() && ours == library ? 1 : 2;
}

const char* PicturesCompared(const Format& format) {
    auto it = Comparisons().find(format.name);
    if (it == Comparisons().end()) return "-";
    return it->second == 1 ? "same" : "differ";
}

bool PicturesDiffered() {
    for (const auto& entry : Comparisons()) {
        if (entry.second == 2) return true;
    }
    return false;
}

}  // namespace bench_images
