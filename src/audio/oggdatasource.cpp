#include "audio/oggdatasource.h"

#include <algorithm>
#include <climits>

#include "audio/memdatasource.h"
#include "audio/oggcallbacks.h"
#include "audio/soundlock.h"
#include "foundation/file/file.h"
#include "foundation/log.h"
#include "foundation/settingsmap.h"

namespace {

// Vorbis allows up to 255 channels; a stream claims at least one.
constexpr int kMostChannels = 255;
// Holes in the data (lost or damaged pages) are passed over; this many in a row end the read.
constexpr int kMostHolesInARow = 8;
// Sounds shorter than this are decoded whole when they are not streamed.
constexpr double kDecodeWholeBelowSeconds = 2.0;

}  // namespace

TOggDataSource::TOggDataSource() = default;

TOggDataSource::~TOggDataSource() {
    if (mDecoder != nullptr) ov_clear(mDecoder.get());
}

bool TOggDataSource::Open(const str& name, bool stream) {
    if (mDecoder != nullptr) return false;
    auto decoder = std::make_unique<OggVorbis_File>();
    TFile* file = FileOpen(name, kFileReadBinary);
    if (file == nullptr) file = FileOpen(name + ".ogg", kFileReadBinary);
    if (file == nullptr) return false;

    int opened;
    if (stream) {
        opened = ov_open_callbacks(file, decoder.get(), nullptr, 0, OggFileCallbacks());
        // On failure vorbisfile leaves its data source to the caller.
        if (opened < 0) FileClose(file);
    } else {
        std::unique_ptr<TOggMemoryRecord> record = LoadFileToMemory(file);
        opened = -1;
        if (record != nullptr) {
            opened =
                ov_open_callbacks(record.get(), decoder.get(), nullptr, 0, OggMemoryCallbacks());
            if (opened >= 0) record.release();  // the decoder's now
        }
    }
    if (opened < 0) {
        LogPrintf("OGG file could not be opened");
        return false;
    }

    vorbis_info* info = ov_info(decoder.get(), -1);
    double length = ov_time_total(decoder.get(), -1);
    ogg_int64_t samples = ov_pcm_total(decoder.get(), -1);
    if (info == nullptr || info->channels < 1 || info->channels > kMostChannels || info->rate < 1 ||
        info->rate > INT_MAX || !(length >= 0.0) || samples < 0) {
        ov_clear(decoder.get());  // closes the file or frees the memory copy
        LogPrintf("OGG file could not be opened");
        return false;
    }
    mSampleRate = static_cast<uint32_t>(info->rate);
    mChannels = static_cast<uint32_t>(info->channels);
    mLength = length;
    mTotalBytes = static_cast<uint64_t>(samples) * mChannels * 2;
    mPositionKnown = ov_pcm_seek(decoder.get(), 0) == 0;
    mDecodePosition = 0;
    mDecoder = std::move(decoder);
    mName = name;
    return true;
}

uint32_t TOggDataSource::Read(uint8_t* destination, uint32_t offset, uint32_t count) {
    TSoundLock lock;
    if (mDecoder == nullptr || count == 0) return 0;
    if (!mPositionKnown || offset != mDecodePosition) {
        mDecodePosition = offset;
        mPositionKnown = ov_pcm_seek(mDecoder.get(), offset / (2 * mChannels)) == 0;
        // Better silence than data from the wrong place.
        if (!mPositionKnown) return 0;
    }
    // The decoder delivers whole frames: ask for whole frames only.
    const uint32_t frameBytes = 2 * mChannels;
    uint32_t done = 0;
    int holes = 0;
    while (count - done >= frameBytes) {
        int section = 0;
        uint32_t wanted = std::min<uint32_t>(count - done, INT_MAX);
        int asked = static_cast<int>(wanted - wanted % frameBytes);
        long got = ov_read(mDecoder.get(), reinterpret_cast<char*>(destination + done), asked, 0, 2,
                           1, &section);
        if (got == 0) break;
        if (got == OV_HOLE && ++holes <= kMostHolesInARow) continue;
        if (got < 0) {
            ReportReadError(got);
            break;
        }
        holes = 0;
        done += static_cast<uint32_t>(got);
    }
    mDecodePosition += done;
    return done;
}

void TOggDataSource::ReportReadError(long error) {
    if (mReadErrorLogged) return;
    mReadErrorLogged = true;
    LogPrintf("OGG read error %d in %s", static_cast<int>(error), mName.c_str());
}

std::shared_ptr<TSoundDataSource> TOggDataSourceBuilder::Build(const str& name, bool stream) {
    auto ogg = std::make_shared<TOggDataSource>();
    if (!ogg->Open(name, stream)) return nullptr;
    if (stream) return ogg;
    bool keepUncompressed = TSettingsMap::GetInstance().Get("keepogguncompressed", "").ToInt() != 0;
    if (ogg->GetLength() < kDecodeWholeBelowSeconds || keepUncompressed) {
        if (std::shared_ptr<TSoundDataSource> decoded = TMemDataSource::Decode(ogg)) return decoded;
    }
    return ogg;
}

void RegisterOggDataSourceBuilder() {
    static TOggDataSourceBuilder builder;
    RegisterSoundDataSourceBuilder("ogg", &builder);
}
