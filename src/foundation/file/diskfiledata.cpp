#include "foundation/file/diskfiledata.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>

#include "foundation/file/regularfile.h"
#include "foundation/log.h"

TDiskFileData::~TDiskFileData() {
    Close();
}

bool TDiskFileData::Open(const str& path, int mode) {
    Close();
    if (path.Length() == 0) return false;
    int flags;
    const char* stdioMode;
    switch (mode) {
        case kFileReadBinary:
            flags = O_RDONLY;
            stdioMode = "rb";
            break;
        case kFileWriteBinary:
            flags = O_WRONLY | O_CREAT | O_TRUNC;
            stdioMode = "wb";
            break;
        case kFileWriteText:
            flags = O_WRONLY | O_CREAT | O_TRUNC;
            stdioMode = "w";
            break;
        case kFileAppendBinary:
            flags = O_WRONLY | O_CREAT | O_APPEND;
            stdioMode = "ab";
            break;
        case kFileAppendText:
            flags = O_WRONLY | O_CREAT | O_APPEND;
            stdioMode = "a";
            break;
        default:
            flags = O_RDONLY;
            stdioMode = "r";
            break;
    }
    const bool reading = flags == O_RDONLY;
    const char* kind;
    const int fd = OpenRegularFile(path.c_str(), flags, &kind);
    if (fd < 0) {
        if (kind != nullptr) {
            LogPrintf("%s is %s, not a file: %s", path.c_str(), kind,
                      reading ? "not read" : "not written");
        }
        return false;
    }
    // Sizes and positions are counted in an int.
    struct stat info;
    if (reading && fstat(fd, &info) == 0 && info.st_size > INT_MAX) {
        LogPrintf("%s holds %lld bytes, more than the %d a file may hold: not read", path.c_str(),
                  static_cast<long long>(info.st_size), INT_MAX);
        close(fd);
        return false;
    }
    mFile = fdopen(fd, stdioMode);
    if (mFile == nullptr) {
        close(fd);
        return false;
    }
    mText = reading && mode != kFileReadBinary;
    mLastByte = -1;
    return true;
}

void TDiskFileData::Close() {
    if (mFile != nullptr) std::fclose(mFile);
    mFile = nullptr;
    mLastByte = -1;
}

void TDiskFileData::UngetChar() {
    if (mFile == nullptr || mLastByte < 0) return;
    std::ungetc(mLastByte, mFile);
    mLastByte = -1;
}

void TDiskFileData::Seek(long offset, int origin) {
    if (mFile == nullptr) return;
    int whence;
    switch (origin) {
        case kSeekCurrent:
            whence = SEEK_CUR;
            break;
        case kSeekStart:
            whence = SEEK_SET;
            break;
        case kSeekEnd:
            whence = SEEK_END;
            break;
        default:
            return;
    }
    std::fseek(mFile, offset, whence);
}

int TDiskFileData::GetSize() {
    if (mFile == nullptr) return 0;
    long here = std::ftell(mFile);
    std::fseek(mFile, 0, SEEK_END);
    long size = std::ftell(mFile);
    std::fseek(mFile, here, SEEK_SET);
    return static_cast<int>(size);
}

int TDiskFileData::Tell() {
    return mFile != nullptr ? static_cast<int>(std::ftell(mFile)) : -1;
}

int TDiskFileData::Read(void* buffer, int count) {
    if (mFile == nullptr || buffer == nullptr || count <= 0) return 0;
    char* out = static_cast<char*>(buffer);
    int stored = 0;
    if (!mText) {
        stored = static_cast<int>(std::fread(out, 1, static_cast<size_t>(count), mFile));
    } else {
        // Read straight into the caller's buffer and close the gaps the carriage returns leave,
        // until the count is met or the file ends.
        while (stored < count) {
            int got = static_cast<int>(
                std::fread(out + stored, 1, static_cast<size_t>(count - stored), mFile));
            if (got == 0) break;
            int used;
            stored += CopyWithoutCarriageReturns(out + stored, got, out + stored, got, &used);
        }
    }
    if (stored > 0) mLastByte = static_cast<unsigned char>(out[stored - 1]);
    return stored;
}

int TDiskFileData::Write(const void* buffer, int count) {
    if (mFile == nullptr || buffer == nullptr || count <= 0) return 0;
    return static_cast<int>(std::fwrite(buffer, 1, static_cast<size_t>(count), mFile));
}

bool TDiskFileData::IsEof() {
    return mFile == nullptr || std::feof(mFile) != 0;
}
