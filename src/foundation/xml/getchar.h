// Character sources for the XML reader: a file opened through the file layer, or text in memory.
// A source hands out bytes one at a time and can step back over the bytes it gave.
//
// A source belongs to the one reader using it.
#pragma once

#include <cstdint>

#include "foundation/str.h"

class TFile;

class TGetChar {
public:
    virtual ~TGetChar() = default;
    // Steps back one byte; answers c, or -1 when it cannot.
    virtual int UngetChar(int c) = 0;
    // The next byte (0 to 255), or -1 at the end.
    virtual int GetChar() = 0;
    virtual void Rewind() = 0;
};

// A file opened by name for binary reading. Without a file every read gives -1.
class TGetCharFile : public TGetChar {
public:
    explicit TGetCharFile(const str& name);
    ~TGetCharFile() override;
    TGetCharFile(const TGetCharFile&) = delete;
    TGetCharFile& operator=(const TGetCharFile&) = delete;

    // Seeks one byte back; c itself is not written anywhere.
    int UngetChar(int c) override;
    int GetChar() override;
    void Rewind() override;
    // Closes the file and opens the same name again.
    virtual void Reopen();

    bool IsOpen() const { return mFile != nullptr; }
    TFile* GetFile() const { return mFile; }

private:
    TFile* mFile;
    str mName;
};

// Bytes in memory, not owned; NUL bytes are read like any other.
class TGetCharString : public TGetChar {
public:
    TGetCharString(const char* text, uint32_t length) : mText(text), mLength(length) {}

    int UngetChar(int c) override;
    int GetChar() override;
    void Rewind() override { mIndex = 0; }

private:
    const char* mText;
    uint32_t mIndex = 0;
    uint32_t mLength;
};
