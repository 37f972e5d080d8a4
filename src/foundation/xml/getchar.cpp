#include "foundation/xml/getchar.h"

#include "foundation/file/file.h"

TGetCharFile::TGetCharFile(const str& name) : mFile(FileOpen(name, kFileReadBinary)), mName(name) {}

TGetCharFile::~TGetCharFile() {
    FileClose(mFile);
}

int TGetCharFile::UngetChar(int c) {
    if (mFile == nullptr) return -1;
    FileSeek(mFile, -1, kSeekCurrent);
    return c;
}

int TGetCharFile::GetChar() {
    return mFile != nullptr ? FileGetChar(mFile) : -1;
}

void TGetCharFile::Rewind() {
    FileSeek(mFile, 0, kSeekStart);
}

void TGetCharFile::Reopen() {
    FileClose(mFile);
    mFile = FileOpen(mName, kFileReadBinary);
}

int TGetCharString::UngetChar(int c) {
    if (mIndex == 0) return -1;
    --mIndex;
    return c;
}

int TGetCharString::GetChar() {
    if (mText == nullptr || mIndex >= mLength) return -1;
    return static_cast<unsigned char>(mText[mIndex++]);
}
