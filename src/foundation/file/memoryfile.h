// TMemoryFile: a read-only file over a block of memory that was registered under a name
// (RegisterMemoryFile). It opens on the memory name the index holds ("&" handle "," size) and
// copies the block's address, so the block's owner must keep it alive while the file is open.
#pragma once

#include "foundation/file/filedata.h"

class TMemoryFile : public TFileData {
public:
    // Modes 0 and 1 only.
    bool Open(const str& location, int mode) override;
    void Close() override;
    void UngetChar() override;
    // The position is kept within the size: a result past it (negative ones too, taken unsigned)
    // lands on the size.
    void Seek(long offset, int origin) override;
    int GetSize() override;
    int Tell() override;
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    // The position equals the size.
    bool IsEof() override;

private:
    TByteWindow mWindow;
    int mMode = 0;
};
