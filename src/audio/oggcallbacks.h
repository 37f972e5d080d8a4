// Internal: vorbisfile's read, seek, close and tell callbacks over the two kinds of data an Ogg
// source decodes: an open TFile (streamed from its file) and a memory record holding the whole
// compressed file. Both answer vorbisfile's conventions: a seek answers 0, or -1 when it cannot
// land where it was asked; close lets go of the data.
//
// Used by one decoder, on whichever thread holds the sound lock.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

class TFile;

// The most compressed bytes an Ogg source reads into memory: well past any sound of the game.
constexpr int kLargestOggInMemory = 256 << 20;

// The whole compressed file.
struct TOggMemoryRecord {
    std::unique_ptr<uint8_t[]> data;
    int size = 0;
    int position = 0;
};

// Reads the rest of an open file from its start into a new record and closes the file. Null
// when its size cannot be told, it is larger than kLargestOggInMemory, or the memory cannot be
// had.
std::unique_ptr<TOggMemoryRecord> LoadFileToMemory(TFile* file);

// The callbacks over a TFile* (closing deletes it) and over a TOggMemoryRecord* (closing frees
// it).
ov_callbacks OggFileCallbacks();
ov_callbacks OggMemoryCallbacks();

// Each callback, for tests.
size_t OggFileRead(void* destination, size_t size, size_t count, void* file);
int OggFileSeek(void* file, ogg_int64_t offset, int whence);
int OggFileClose(void* file);
long OggFileTell(void* file);
size_t OggMemoryRead(void* destination, size_t size, size_t count, void* record);
int OggMemorySeek(void* record, ogg_int64_t offset, int whence);
int OggMemoryClose(void* record);
long OggMemoryTell(void* record);
