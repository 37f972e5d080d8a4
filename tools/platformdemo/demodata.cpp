#include "demodata.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <string>

#include "foundation/file/file.h"
#include "foundation/file/filedata.h"
#include "foundation/log.h"
#include "support/imagewriter.h"

namespace platformdemo {
namespace {

using testing_support::PngImage;

constexpr int kRgb = 2;   // PNG_COLOR_TYPE_RGB
constexpr int kRgba = 6;  // PNG_COLOR_TYPE_RGB_ALPHA

bool WriteFile(const char* name, const std::string& bytes) {
    bool written = false;
    if (!bytes.empty()) {
        TFile file;
        written = file.Open(name, kFileWriteBinary) &&
                  file.Write(bytes.data(), static_cast<int>(bytes.size())) ==
                      static_cast<int>(bytes.size());
    }
    if (!written) LogPrintf("platformdemo: could not write %s", name);
    return written;
}

void Push(PngImage& image, int red, int green, int blue) {
    image.samples.push_back(static_cast<uint16_t>(std::clamp(red, 0, 255)));
    image.samples.push_back(static_cast<uint16_t>(std::clamp(green, 0, 255)));
    image.samples.push_back(static_cast<uint16_t>(std::clamp(blue, 0, 255)));
}

// A warm square fading from transparent at the left edge to opaque at the right, with a white
// disc in its middle that is opaque throughout, so that every blend mode shows both.
std::string SpritePng() {
    PngImage image;
    image.width = kSpriteSize;
    image.height = kSpriteSize;
    image.colorType = kRgba;
    const float centre = (kSpriteSize - 1) / 2.0f;
    for (int y = 0; y < kSpriteSize; ++y) {
        for (int x = 0; x < kSpriteSize; ++x) {
            float distance = std::hypot(x - centre, y - centre);
            bool disc = distance < kSpriteSize * 0.18f;
            int alpha = disc ? 255 : x * 255 / (kSpriteSize - 1);
            if (disc) {
                Push(image, 250, 250, 240);
            } else {
                Push(image, 240, 120 + y, 40);
            }
            image.samples.push_back(static_cast<uint16_t>(alpha));
        }
    }
    return testing_support::WritePng(image);
}

// A night-blue gradient with a lighter band every 40 pixels: opaque, the size of the window.
std::string BackgroundPng() {
    PngImage image;
    image.width = kBackgroundWidth;
    image.height = kBackgroundHeight;
    image.colorType = kRgb;
    for (int y = 0; y < kBackgroundHeight; ++y) {
        for (int x = 0; x < kBackgroundWidth; ++x) {
            int band = ((x + y) / 40) % 2 == 0 ? 0 : 12;
            Push(image, 20 + band, 30 + y / 6 + band, 70 + y / 5 + band);
        }
    }
    return testing_support::WritePng(image);
}

// Four frames side by side, each a green ring with a marker at another quarter turn.
std::string SheetPng() {
    PngImage image;
    image.width = kFrameSize * kFrameCount;
    image.height = kFrameSize;
    image.colorType = kRgba;
    const float centre = (kFrameSize - 1) / 2.0f;
    constexpr float kQuarterTurn = 1.5707964f;
    for (int y = 0; y < kFrameSize; ++y) {
        for (int x = 0; x < kFrameSize * kFrameCount; ++x) {
            int frame = x / kFrameSize;
            float dx = (x % kFrameSize) - centre;
            float dy = y - centre;
            float distance = std::hypot(dx, dy);
            float markerX = centre * 0.6f * std::cos(frame * kQuarterTurn);
            float markerY = centre * 0.6f * std::sin(frame * kQuarterTurn);
            bool marker = std::hypot(dx - markerX, dy - markerY) < 7.0f;
            bool ring = distance > centre * 0.8f && distance < centre;
            if (marker) {
                Push(image, 255, 230, 60);
            } else {
                Push(image, 60, 220, 110);
            }
            image.samples.push_back(static_cast<uint16_t>(marker || ring ? 255 : 0));
        }
    }
    return testing_support::WritePng(image);
}

std::string AnimationXml() {
    std::string xml = "<sequence name=\"spinner\" source=\"platformdemo\">\n";
    xml += "  <img name=\"spinner.png\" w=\"" + std::to_string(kFrameSize * kFrameCount) +
           "\" h=\"" + std::to_string(kFrameSize) + "\"/>\n  <framelist>\n";
    for (int i = 0; i < kFrameCount; ++i) {
        xml += "    <frame name=\"turn" + std::to_string(i) + "\" x=\"" +
               std::to_string(i * kFrameSize) + "\" y=\"0\" w=\"" + std::to_string(kFrameSize) +
               "\" h=\"" + std::to_string(kFrameSize) + "\" regx=\"" +
               std::to_string(kFrameSize / 2) + "\" regy=\"" + std::to_string(kFrameSize / 2) +
               "\"/>\n";
    }
    xml += "  </framelist>\n</sequence>\n";
    return xml;
}

}  // namespace

bool MakeDemoData() {
    bool ok = WriteFile(kSpriteName, SpritePng());
    ok = WriteFile(kBackgroundName, BackgroundPng()) && ok;
    ok = WriteFile("user:demo/spinner.png", SheetPng()) && ok;
    ok = WriteFile(kAnimationName, AnimationXml()) && ok;
    return ok;
}

}  // namespace platformdemo
