// TFileData: one open file of any kind (a file on disk, a block in memory, a member of a mounted
// archive) behind the handle type TFile. Each kind is opened on the resolved location that the
// file index gives for a virtual name; callers never make one themselves.
//
// A TFileData belongs to the TFile that opened it and is used by one thread at a time.
#pragma once

#include <cstdint>

#include "foundation/str.h"

// Open modes. The text modes drop every carriage return on reading; writing is byte for byte in
// every mode.
enum : int {
    kFileReadBinary = 0,
    kFileReadText = 1,
    kFileWriteBinary = 2,
    kFileWriteText = 3,
    kFileAppendBinary = 4,
    kFileAppendText = 5,
};

// Seek origins.
enum : int { kSeekCurrent = 0, kSeekStart = 1, kSeekEnd = 2 };

class TFileData {
public:
    virtual ~TFileData() = default;

    // Opens the location (a real path, a memory name or an archive member name) in a mode.
    virtual bool Open(const str& location, int mode) = 0;
    virtual void Close() = 0;
    // Steps back over the last byte read.
    virtual void UngetChar() = 0;
    virtual void Seek(long offset, int origin) = 0;
    virtual int GetSize() = 0;
    virtual int Tell() = 0;
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    virtual bool IsEof() = 0;
};

// Copies up to count bytes of source into buffer, passing over carriage returns, until count
// bytes are stored or the source runs out. *consumed receives the source bytes used; the result is
// the number stored.
int CopyWithoutCarriageReturns(char* buffer, int count, const char* source, int available,
                               int* consumed);

// A read position over bytes held in memory (a registered block, an archive member): what the
// memory-backed kinds of file share.
struct TByteWindow {
    const char* data = nullptr;
    uint32_t size = 0;
    uint32_t position = 0;

    // The position a seek asks for, in 32-bit unsigned arithmetic (so a negative result is
    // past the size); false for an unknown origin.
    bool SeekTarget(long offset, int origin, uint32_t* target) const;
    // Copies up to count bytes, cut to what is left, from the position on, and moves past what it
    // used; in text mode carriage returns are passed over. Answers the bytes stored.
    int Read(void* buffer, int count, bool text);
};
