#include "foundation/file/file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "foundation/file/diskfiledata.h"
#include "foundation/file/diskpath.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/flatfilemap.h"
#include "foundation/file/memoryfile.h"

namespace {

bool IsReadMode(int mode) {
    return mode == kFileReadBinary || mode == kFileReadText;
}

// Where folder creation for a write starts: below the user or common folder when the path is in
// one of them, else at the start of the path.
unsigned int FolderCreationStart(const str& path) {
    for (const str& root : {GetUserDataRoot(), GetCommonDataRoot()}) {
        const unsigned int length = root.Length();
        if (length > 0 && std::strncmp(path.c_str(), root.c_str(), length) == 0) return length;
    }
    return 0;
}

}  // namespace

bool MakeFoldersForWrite(const str& path) {
    return MakeFoldersOf(path, FolderCreationStart(path));
}

TFile::TFile() = default;
TFile::~TFile() = default;

bool TFile::Open(const str& name, int mode) {
    Close();
    str location = ResolvePath(name, IsReadMode(mode));
    if (location.Length() == 0) return false;

    std::unique_ptr<TFileData> data;
    switch (location.GetAt(0)) {
        case '@':
            data = std::make_unique<TFlatFileMap>();
            break;
        case '&':
            data = std::make_unique<TMemoryFile>();
            break;
        default:
            if (!IsReadMode(mode)) MakeFoldersForWrite(location);
            data = std::make_unique<TDiskFileData>();
            break;
    }
    if (!data->Open(location, mode)) return false;
    mData = std::move(data);
    return true;
}

void TFile::Close() {
    if (mData != nullptr) mData->Close();
    mData.reset();
}

bool TFile::IsEof() {
    return mData == nullptr || mData->IsEof();
}

int TFile::GetSize() {
    return mData != nullptr ? mData->GetSize() : 0;
}

int TFile::Tell() {
    return mData != nullptr ? mData->Tell() : -1;
}

int TFile::Read(void* buffer, int count) {
    return mData != nullptr ? mData->Read(buffer, count) : 0;
}

int TFile::Write(const void* buffer, int count) {
    return mData != nullptr ? mData->Write(buffer, count) : 0;
}

void TFile::Seek(long offset, int origin) {
    if (mData != nullptr) mData->Seek(offset, origin);
}

void TFile::UngetChar() {
    if (mData != nullptr) mData->UngetChar();
}

TFile* FileOpen(const str& name, int mode) {
    auto file = std::make_unique<TFile>();
    if (!file->Open(name, mode)) return nullptr;
    return file.release();
}

void FileClose(TFile* file) {
    delete file;
}

void FileSeek(TFile* file, long offset, int origin) {
    if (file != nullptr) file->Seek(offset, origin);
}

int FileTell(TFile* file) {
    return file != nullptr ? file->Tell() : -1;
}

int FileRead(TFile* file, void* buffer, int count) {
    return file != nullptr ? file->Read(buffer, count) : 0;
}

int FileWrite(TFile* file, const void* buffer, int count) {
    return file != nullptr ? file->Write(buffer, count) : 0;
}

bool FileEof(TFile* file) {
    return file == nullptr || file->IsEof();
}

void FileUngetChar(TFile* file) {
    if (file != nullptr) file->UngetChar();
}

bool FileIsClosed(TFile* file) {
    return file == nullptr || file->IsClosed();
}

int FileGetSize(TFile* file) {
    return file != nullptr ? file->GetSize() : 0;
}

int FileGetChar(TFile* file) {
    if (FileEof(file)) return -1;
    unsigned char byte;
    if (file->Read(&byte, 1) != 1) return -1;
    return byte;
}

char* FileReadLine(TFile* file, char* buffer, int size) {
    if (buffer == nullptr || size < 1) return nullptr;
    int stored = 0;
    bool failed = false;
    while (stored < size - 1) {
        char byte;
        if (FileRead(file, &byte, 1) != 1) {
            failed = true;
            break;
        }
        buffer[stored++] = byte;
        if (byte == '\n' || byte == '\r') break;
    }
    buffer[stored] = '\0';
    // A last line without an end byte still counts: only a line that got nothing is the end.
    if (stored == 0 && (failed || FileEof(file))) return nullptr;
    return buffer + stored;
}

bool FileExists(const str& name) {
    return ResolvePath(name, true).Length() > 0;
}

std::string ReasonNotOpened(const str& name) {
    const str path = DiskPathOf(name);
    struct stat info;
    if (path.Length() == 0 || stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return {};
    int fd;
    do {
        fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd >= 0) {
        close(fd);
        return {};
    }
    return std::strerror(errno);
}

TWholeFile ReadWholeFile(const str& name, int mode, uint32_t limit, std::string& bytes,
                         std::string& problem) {
    bytes.clear();
    problem.clear();
    TFile file;
    if (!file.Open(name, mode)) return TWholeFile::kMissing;
    const int size = std::max(file.GetSize(), 0);
    if (static_cast<uint32_t>(size) > limit) {
        problem = "it holds " + std::to_string(size) + " bytes, more than the " +
                  std::to_string(limit) + " read";
        return TWholeFile::kTooLarge;
    }
    bytes.resize(static_cast<size_t>(size));
    const int got = size > 0 ? std::max(file.Read(bytes.data(), size), 0) : 0;
    bytes.resize(static_cast<size_t>(got));
    if (mode == kFileReadBinary && got < size) {
        problem = "the read stopped after " + std::to_string(got) + " of its " +
                  std::to_string(size) + " bytes";
        return TWholeFile::kCutShort;
    }
    return TWholeFile::kRead;
}
