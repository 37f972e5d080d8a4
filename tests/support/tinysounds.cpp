#include "support/tinysounds.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/oggdatasource.h"

namespace testing_support {
namespace {

constexpr uint32_t kFrameBytes = 4;
constexpr uint32_t kPeriodFrames = 100;

}  // namespace

TinySource::TinySource(double seconds)
    : mBytes(static_cast<uint64_t>(std::max(seconds, 0.0) * kTinyRate) * kFrameBytes) {}

uint32_t TinySource::Read(uint8_t* destination, uint32_t offset, uint32_t count) {
    if (offset >= mBytes) return 0;
    const uint32_t length = static_cast<uint32_t>(std::min<uint64_t>(count, mBytes - offset));
    for (uint32_t i = 0; i < length; ++i) {
        const uint32_t at = offset + i;
        const uint32_t frame = at / kFrameBytes;
        const int16_t sample =
            frame % kPeriodFrames < kPeriodFrames / 2 ? kTinyAmplitude : -kTinyAmplitude;
        uint8_t bytes[2];
        std::memcpy(bytes, &sample, 2);
        destination[i] = bytes[at % 2];
    }
    return length;
}

double TinySource::GetLength() const {
    return static_cast<double>(mBytes / kFrameBytes) / kTinyRate;
}

TinySounds::TinySounds() {
    RegisterSoundDataSourceBuilder("ogg", this);
}

TinySounds::~TinySounds() {
    RegisterOggDataSourceBuilder();
}

std::shared_ptr<TSoundDataSource> TinySounds::Build(const str& name, bool /*stream*/) {
    const std::string text = name.c_str();
    if (record) asked.push_back(text);
    if (text.find("missing") != std::string::npos || mMissing.count(text) != 0) return nullptr;
    auto length = mLengths.find(text);
    return std::make_shared<TinySource>(length != mLengths.end() ? length->second : seconds);
}

}  // namespace testing_support
