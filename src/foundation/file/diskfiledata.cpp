#include "foundation/file/diskfiledata.h"

#include <sys/stat.h>

TDiskFileData::~TDiskFileData() {
    Close();
}

bool TDiskFileData::Open(const str& path, int mode) {
    Close();
    if (path.Length() == 0) return false;
    // "e": the descriptor is not inherited by programs the process starts.
    const char* stdioMode;
    switch (mode) {
        case kFileReadBinary:
            stdioMode = "rbe";
            break;
        case kFileWriteBinary:
            stdioMode = "wbe";
            break;
        case kFileWriteText:
            stdioMode = "we";
            break;
        case kFileAppendBinary:
            stdioMode = "abe";
            break;
        case kFileAppendText:
            stdioMode = "ae";
            break;
        default:
            stdioMode = "re";
            break;
    }
    mFile = std::fopen(path.c_str(), stdioMode);
    if (mFile == nullptr) return false;
    struct stat info;
    if (fstat(fileno(mFile), &info) != 0 || S_ISDIR(info.st_mode)) {
        Close();
        return false;
    }
    mText = stdioMode[0] == 'r' && stdioMode[1] != 'b';
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
