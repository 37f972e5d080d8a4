// TTextureData::Load, the image loader.
//
//  1. The load has a mask when the mask name is not empty.
//  2. Options: text from the last '?' of the name on ("slow", "simple", "alpha", "mipmap",
//     searched anywhere in it) add flags; the name is cut before it.
//  3. A missing image whose name has no known extension is tried as name + ".png", ".jpg" and
//     ".jp2" (each with the option text) on this same object; the ".jp2" try gives the result.
//  4. A missing mask without ".png" or ".jpg" in its name is tried as mask + ".jpg", then
//     ".png"; the second try gives the result.
//  5. The decoder is chosen by the name; a JPEG may take an automatic mask beside it
//     ("automergemask"), and a PNG or JPEG-2000 image says whether it has alpha.
//  6-7. A mask of the image's side gives its red bytes as the image's alpha.
//  8-11. The surface size, the size limit, the names, sizes and borders stored, the surface made
//     and filled.
//  12. Every decoded buffer is released by its own decoder on every path.
//  13. True, also when no surface could be made.
#include <cstdint>

#include "foundation/file/file.h"
#include "platform/image/jp2decoder.h"
#include "platform/image/jpegdecoder.h"
#include "platform/image/pngdecoder.h"
#include "platform/image/squarebuffer.h"
#include "platform/platform.h"
#include "platform/draw/renderer.h"
#include "platform/texture/texturedata.h"

namespace {

bool Contains(const str& text, const char* part) {
    return text.Find(part) != str::npos;
}

// A decoded square buffer and the decoder that made it, which alone may free it.
struct DecodedImage {
    enum Decoder { kNone, kPng, kJpeg, kJp2 };

    DecodedImage() = default;
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;
    ~DecodedImage() {
        if (decoder == kPng) ReleasePngPixels(pixels);
        if (decoder == kJpeg) ReleaseJpegPixels(pixels);
        if (decoder == kJp2) ReleaseJp2Pixels(pixels);
    }

    bool Decode(Decoder which, const str& name, int largestSide) {
        decoder = which;
        switch (which) {
            case kPng:
                return DecodePng(name, &pixels, &width, &height, &side, &hasAlpha, largestSide);
            case kJpeg:
                return DecodeJpeg(name, &pixels, &width, &height, &side, largestSide);
            case kJp2:
                return DecodeJp2(name, &pixels, &width, &height, &side, &hasAlpha, largestSide);
            case kNone:
                break;
        }
        return false;
    }

    Decoder decoder = kNone;
    uint8_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int side = 0;
    bool hasAlpha = false;
};

}  // namespace

bool TTextureData::Load(const char* fileName, const char* maskArgument) {
    str name(fileName);
    str mask(maskArgument);

    str options;
    unsigned int question = name.FindChar('?', str::kBackward);
    if (question != str::npos) {
        options = name.Substring(question);
        name = name.Substring(0, question);
        if (Contains(options, "slow")) mFlags |= kSimple | kLarge;
        if (Contains(options, "simple")) mFlags |= kSimple;
        if (Contains(options, "alpha")) mFlags = (mFlags & ~kAlphaFromImage) | kHasAlpha;
        if (Contains(options, "mipmap")) mFlags |= kMipmaps;
    }

    if (!FileExists(name)) {
        if (Contains(name, ".png") || Contains(name, ".jpg") || Contains(name, ".jp2"))
            return false;
        if (Load((name + ".png" + options).c_str(), mask.c_str())) return true;
        if (Load((name + ".jpg" + options).c_str(), mask.c_str())) return true;
        return Load((name + ".jp2" + options).c_str(), mask.c_str());
    }
    if (mask.Length() != 0 && !FileExists(mask)) {
        if (Contains(mask, ".png") || Contains(mask, ".jpg")) return false;
        // The flags already hold the options, so the bare name is enough.
        if (Load(name.c_str(), (mask + ".jpg").c_str())) return true;
        return Load(name.c_str(), (mask + ".png").c_str());
    }

    int largestSide = (mFlags & kLarge) != 0 ? kImageLargestSideSlow : kImageLargestSide;
    DecodedImage image;
    if (Contains(name, ".png")) {
        if (!image.Decode(DecodedImage::kPng, name, largestSide)) return false;
    } else if (Contains(name, ".jpg")) {
        str base = name.Substring(0, name.Find(".jpg", str::kBackward));
        str automaticMask = base + ".mask.png";
        if (IsEnabled("automergemask") && FileExists(automaticMask)) {
            // The mask gives alpha when the image is to decide; an alpha the caller forced stays.
            if ((mFlags & kAlphaFromImage) != 0) mFlags |= kHasAlpha;
            mask = automaticMask;
        }
        if (!image.Decode(DecodedImage::kJpeg, name, largestSide)) return false;
    } else if (Contains(name, ".jp2")) {
        if (!image.Decode(DecodedImage::kJp2, name, largestSide)) return false;
    } else {
        return false;
    }
    if (image.decoder != DecodedImage::kJpeg && (mFlags & kAlphaFromImage) != 0)
        mFlags = image.hasAlpha ? (mFlags | kHasAlpha) : (mFlags & ~kHasAlpha);

    if (mask.Length() != 0) {
        DecodedImage maskImage;
        DecodedImage::Decoder maskDecoder = Contains(mask, ".png")   ? DecodedImage::kPng
                                            : Contains(mask, ".jpg") ? DecodedImage::kJpeg
                                                                     : DecodedImage::kNone;
        if (maskDecoder != DecodedImage::kNone) {
            if (!maskImage.Decode(maskDecoder, mask, largestSide)) return false;
            if (maskImage.side == image.side) {
                size_t count = static_cast<size_t>(image.side) * image.side;
                for (size_t pixel = 0; pixel < count; ++pixel)
                    image.pixels[pixel * 4 + 3] = maskImage.pixels[pixel * 4 + 2];
            }
        }
    }

    uint32_t side = static_cast<uint32_t>(image.side);
    uint32_t height = static_cast<uint32_t>(image.height);
    uint32_t surfaceHeight =
        TRenderer::GetInstance()->NeedsSquareTextures() && (mFlags & kSimple) == 0
            ? side
            : static_cast<uint32_t>(SquareSide(height, 1));
    if ((side > kLargestSide || surfaceHeight > kLargestSide) && (mFlags & kLarge) == 0)
        return false;

    mImageName = fileName;
    mMaskName = mask;
    bool made = CreateSurface(image.side, static_cast<int>(surfaceHeight), false);
    mWidth = static_cast<uint32_t>(image.width);
    mHeight = height;
    mBorderX = static_cast<int32_t>(side - mWidth) / 2;
    mBorderY = static_cast<int32_t>(surfaceHeight - height) / 2;
    if (made)
        SetPixels(image.side, static_cast<int>(surfaceHeight),
                  reinterpret_cast<const uint32_t*>(image.pixels));
    return true;
}
