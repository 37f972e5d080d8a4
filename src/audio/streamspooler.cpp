#include "audio/streamspooler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "audio/sounddatasource.h"

TStreamSpooler::TStreamSpooler(std::shared_ptr<TSoundDataSource> source)
    : mSource(std::move(source)) {}

TStreamSpooler::~TStreamSpooler() = default;

bool TStreamSpooler::Read(uint32_t size, uint8_t* destination, uint32_t& written, bool loop) {
    if (size > 0) std::memset(destination, 0, size);
    written = 0;
    if (mSource == nullptr || size == 0) return true;

    const uint64_t total = mSource->GetTotalBytes();
    const bool totalFits = total <= UINT32_MAX;
    uint32_t wanted = size;
    bool ended = false;
    // Bytes read since the last wrap; a wrap that then yields nothing ends the read.
    bool wrapped = false;
    uint32_t sinceWrap = 0;
    while (wanted > 0) {
        if (ended) return false;
        uint32_t chunk = wanted;
        if (totalFits && uint64_t{mPosition} + wanted > total) {
            chunk = mPosition < total ? static_cast<uint32_t>(total - mPosition) : 0;
            ended = true;
        }
        uint32_t got = mSource->Read(destination + written, mPosition, chunk);
        if (got < chunk) {
            chunk = got;
            ended = true;
        }
        mPosition += chunk;
        written += chunk;
        wanted -= chunk;
        sinceWrap += chunk;
        if (ended && loop) {
            if (wrapped && sinceWrap == 0) return false;
            ended = false;
            wrapped = true;
            sinceWrap = 0;
            mPosition = 0;
        }
    }
    return !ended;
}

void TStreamSpooler::Seek(float seconds) {
    mPosition = 0;
    if (mSource == nullptr || !(seconds > 0.0f)) return;
    const uint64_t frameBytes = 2 * uint64_t{mSource->GetChannels()};
    if (frameBytes == 0) return;
    // Within the data and within the 32-bit position, in whole frames.
    const uint64_t limit = std::min<uint64_t>(mSource->GetTotalBytes(), UINT32_MAX);
    const double frames = std::trunc(static_cast<double>(seconds) * mSource->GetSampleRate());
    const double largest = static_cast<double>(limit / frameBytes);
    mPosition = static_cast<uint32_t>(std::min(frames, largest) * static_cast<double>(frameBytes));
}

float TStreamSpooler::GetLength() const {
    return mSource != nullptr ? static_cast<float>(mSource->GetLength()) : 0.0f;
}

void TStreamSpooler::Rewind() {
    Seek(0.0f);
}
