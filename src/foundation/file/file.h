// The file layer's handle API. Every file the program reads or writes is opened here by a virtual
// name:
//   - a name the file index knows (the asset folder's files and archive members, relative to the
//     asset folder, e.g. "sprites/x.png"; memory blocks registered under a name);
//   - "assets/" or "assets\" in front of such a name, which changes nothing;
//   - "user:", "common:" or "desktop:" followed by a path below that data folder;
//   - "::" followed by a real path (relative to the working folder), past the index and the
//     manifest.
// Names are case-insensitive. See fileindex.h for how a name resolves.
//
// A TFile (and a handle from FileOpen) belongs to one thread at a time; different files may be
// used on different threads.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/file/filedata.h"
#include "foundation/str.h"

class TFile {
public:
    TFile();
    ~TFile();
    TFile(const TFile&) = delete;
    TFile& operator=(const TFile&) = delete;

    // Resolves the name (reading modes require the file to exist and not be hidden) and opens
    // the kind of file its location calls for. The writing modes make the missing folders of the
    // path first. False, with no file held, when nothing opened.
    bool Open(const str& name, int mode);
    // Closes and lets go of the file.
    void Close();
    bool IsClosed() const { return mData == nullptr; }

    // Without a file: IsEof true, GetSize 0, Tell -1, Read and Write 0; the others do nothing.
    bool IsEof();
    int GetSize();
    int Tell();
    int Read(void* buffer, int count);
    int Write(const void* buffer, int count);
    void Seek(long offset, int origin);
    void UngetChar();

private:
    std::unique_ptr<TFileData> mData;
};

// Handles: FileOpen gives a new handle or null; FileClose destroys one (null allowed). The other
// functions accept null as a file that is not open.
TFile* FileOpen(const str& name, int mode);
void FileClose(TFile* file);
void FileSeek(TFile* file, long offset, int origin);
int FileTell(TFile* file);
int FileRead(TFile* file, void* buffer, int count);
int FileWrite(TFile* file, const void* buffer, int count);
bool FileEof(TFile* file);
void FileUngetChar(TFile* file);
bool FileIsClosed(TFile* file);
int FileGetSize(TFile* file);
// The next byte (0 to 255); -1 when the file is at its end or the read fails.
int FileGetChar(TFile* file);
// Reads one line: single bytes until a line feed or a carriage return has been stored (it is
// kept) or size - 1 bytes have been, then a NUL. Answers a pointer to that NUL; null when nothing
// was stored because the file was at its end. A size below 1 stores nothing and answers null.
char* FileReadLine(TFile* file, char* buffer, int size);

// Makes the missing folders of a real path as a write through TFile does: below the user or common
// data folder when the path is in one, else along the whole path. False when one could not be
// made.
bool MakeFoldersForWrite(const str& path);

// True when the name resolves for reading (see TFile::Open).
bool FileExists(const str& name);

// Why a name that did not open for reading could not be read, for a log line: the system's reason
// ("Permission denied") when a regular file stands at its path on disk but does not open. Empty
// when nothing stands there (the file is missing), when what stands there is not a file (the
// layer names that itself), and for names that are not on disk.
std::string ReasonNotOpened(const str& name);

// The most a file may hold: sizes and positions are counted in an int.
constexpr uint32_t kLargestFile = 0x7FFFFFFF;

// What ReadWholeFile found.
enum class TWholeFile {
    kRead,      // the whole file is in bytes
    kMissing,   // it did not open (see TFile::Open; a special file is logged there)
    kTooLarge,  // it holds more than the limit; nothing was read
    kCutShort,  // a binary read ended before the size the file gave; bytes holds what came
};

// Reads the whole file of a name, opened in a reading mode, into bytes when it holds at most limit
// bytes (told from its size before a byte is read). For kTooLarge and kCutShort, problem receives
// the reason for a log line. In text mode the carriage returns dropped leave fewer bytes than the
// size, which is no failure.
TWholeFile ReadWholeFile(const str& name, int mode, uint32_t limit, std::string& bytes,
                         std::string& problem);
