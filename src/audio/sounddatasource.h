// TSoundDataSource: decoded sound, 16-bit signed little-endian PCM with the channels interleaved,
// delivered by byte offset. Sources are held through shared references: a sound keeps its source,
// and each stream playing it reads it through a spooler (streamspooler.h).
//
// Sources are made by name through CreateSoundDataSource, which chooses a builder by the name's
// extension. The builders are registered by extension (case-sensitive, without the dot):
// RegisterOggDataSourceBuilder (oggdatasource.h) registers the only one, "ogg", when the
// application object is made.
//
// Reads take the sound lock (soundlock.h), so that the worker's refills and the main thread
// never use one decoder at once. The registry is written and read on the main thread.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/str.h"

class TSoundDataSource {
public:
    virtual ~TSoundDataSource() = default;

    // Copies up to count bytes of PCM from the byte offset into destination; answers how many.
    // Fewer than asked (0 at the end) means the data ended.
    virtual uint32_t Read(uint8_t* destination, uint32_t offset, uint32_t count) = 0;
    // The length of the decoded PCM in bytes.
    virtual uint64_t GetTotalBytes() const = 0;
    virtual uint32_t GetSampleRate() const = 0;
    virtual uint32_t GetChannels() const = 0;
    // Seconds.
    virtual double GetLength() const = 0;
};

class TSoundDataSourceBuilder {
public:
    virtual ~TSoundDataSourceBuilder() = default;
    // A source for the name, decoded while playing when stream is set; empty when none can be
    // made.
    virtual std::shared_ptr<TSoundDataSource> Build(const str& name, bool stream) = 0;
};

// Registers the builder (not owned) for an extension, replacing an earlier one.
void RegisterSoundDataSourceBuilder(const str& extension, TSoundDataSourceBuilder* builder);

// A source for a file name: the builder of the extension after the name's last ".", or else the
// first extension, in byte order, for which name + "." + extension exists (the name itself is
// handed to that builder). Empty when neither finds a builder, or the builder makes nothing.
// stream true decodes from the file while playing; false reads the file into memory at once.
std::shared_ptr<TSoundDataSource> CreateSoundDataSource(const str& name, bool stream);
