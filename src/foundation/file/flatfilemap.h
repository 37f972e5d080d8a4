// TFlatFileMap: a member of a mounted archive, read straight from the archive's mapping. It opens
// on the member name the index holds ("@archive:offset,size") and keeps the mapping alive while
// it is open.
//
// Its end flag behaves like stdio's: only a read that was cut short by the end sets it, and a
// seek back within the member clears it.
#pragma once

#include <memory>

#include "foundation/file/filedata.h"

class TFileMapData;

class TFlatFileMap : public TFileData {
public:
    bool Open(const str& member, int mode) override;
    void Close() override;
    void UngetChar() override;
    void Seek(long offset, int origin) override;
    int GetSize() override;
    int Tell() override;
    int Read(void* buffer, int count) override;
    // Members are read-only: nothing is written.
    int Write(const void* buffer, int count) override;
    bool IsEof() override;

private:
    std::shared_ptr<TFileMapData> mMapping;
    TByteWindow mWindow;
    int mMode = 0;
    bool mEnd = true;
};
