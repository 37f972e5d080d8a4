// TOggDataSource: an Ogg Vorbis file decoded while it plays, either from the file itself
// (streamed) or from a copy of the compressed file held in memory. TOggDataSourceBuilder makes
// the sources of "ogg" files: a streamed one as asked, otherwise a whole decode in memory
// (memdatasource.h) for a sound under 2 seconds, or for any sound while the setting
// "keepogguncompressed" is on, and the Ogg source over the memory copy for the rest.
//
// A source belongs to whoever holds its shared reference; its reads take the sound lock, so its
// decoder is used by one thread at a time (the worker's refills, the main thread's decodes).
#pragma once

#include <cstdint>
#include <memory>

#include "audio/sounddatasource.h"
#include "foundation/str.h"

struct OggVorbis_File;

class TOggDataSource : public TSoundDataSource {
public:
    TOggDataSource();
    ~TOggDataSource() override;

    // Opens the file of the name, or of name + ".ogg": false, in silence, when neither opens.
    // stream false reads the compressed file into memory first. A file the decoder refuses, or
    // whose rate, channels or length make no sound, logs "OGG file could not be opened" and
    // answers false. Once open the source stands at the start of its data.
    bool Open(const str& name, bool stream);

    // Decodes from the offset; a read elsewhere than where the last one ended seeks first. A
    // damaged stretch of the data ends the read there, as if the data ended (logged once per
    // source).
    uint32_t Read(uint8_t* destination, uint32_t offset, uint32_t count) override;
    uint64_t GetTotalBytes() const override { return mTotalBytes; }
    uint32_t GetSampleRate() const override { return mSampleRate; }
    uint32_t GetChannels() const override { return mChannels; }
    double GetLength() const override { return mLength; }

private:
    // Logs a read error the first time one happens.
    void ReportReadError(long error);

    uint32_t mSampleRate = 0;
    uint32_t mChannels = 0;
    double mLength = 0.0;
    uint64_t mTotalBytes = 0;
    // Null until Open succeeds.
    std::unique_ptr<OggVorbis_File> mDecoder;
    // The byte offset of the next byte the decoder delivers; unknown after a failed seek.
    uint32_t mDecodePosition = 0;
    bool mPositionKnown = false;
    bool mReadErrorLogged = false;
    str mName;
};

class TOggDataSourceBuilder : public TSoundDataSourceBuilder {
public:
    std::shared_ptr<TSoundDataSource> Build(const str& name, bool stream) override;
};

// Registers the builder of "ogg" files. The application object calls it when it is made; a
// second call changes nothing.
void RegisterOggDataSourceBuilder();
