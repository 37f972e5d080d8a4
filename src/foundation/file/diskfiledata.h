// TDiskFileData: a file on disk, opened through stdio on a real path. Reading in text mode drops
// every carriage return; writing is byte for byte in every mode.
#pragma once

#include <cstdio>

#include "foundation/file/filedata.h"

class TDiskFileData : public TFileData {
public:
    TDiskFileData() = default;
    ~TDiskFileData() override;
    TDiskFileData(const TDiskFileData&) = delete;
    TDiskFileData& operator=(const TDiskFileData&) = delete;

    // Refuses an empty path and anything but a regular file (a folder, a pipe, a device: logged,
    // and never waited on); for reading, also a file past INT_MAX bytes (logged).
    bool Open(const str& path, int mode) override;
    void Close() override;
    // Pushes the last byte read back into the stream, once.
    void UngetChar() override;
    void Seek(long offset, int origin) override;
    int GetSize() override;
    int Tell() override;
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    bool IsEof() override;

private:
    FILE* mFile = nullptr;
    int mLastByte = -1;
    bool mText = false;
};
