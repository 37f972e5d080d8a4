// Archives: "BVPK" files whose members the file layer reads like loose files.
//
// An archive starts with "BVPK", a signed 32-bit entry count and the directory: per entry a name
// length byte, the name (relative to the asset folder, "/" between folders), the member's offset
// and its size (32-bit little-endian each). Mounting reads the directory through the file layer,
// enters each member into the file index under its lower-cased name as "@archive:offset,size",
// and maps the whole file read-only; a member is then read straight from the mapping.
//
// The archive list is process-wide; an archive's position in it is its number and never changes.
// Members hold a shared reference to their archive's mapping, so re-mounting an archive never
// pulls memory from under an open member. Mounting happens on the main thread at start-up;
// members may be opened on any thread (the list has its own lock).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>

#include "foundation/str.h"

class TFile;
class TFileIndex;

// A read-only mapping of one whole file.
class TFileMapData {
public:
    TFileMapData() = default;
    ~TFileMapData();
    TFileMapData(const TFileMapData&) = delete;
    TFileMapData& operator=(const TFileMapData&) = delete;

    // Maps the file at path. A "::" path is found as the file layer finds a "::" name (the
    // lower-case spelling, else the disk's case); any other path as spelled, else the disk's
    // case. Closes what was open first; false, with nothing left open, on any failure.
    bool Open(const str& path);
    void Close();
    const char* GetView() const { return mView; }
    size_t GetSize() const { return mSize; }

private:
    const char* mView = nullptr;
    size_t mSize = 0;
};

// One mounted archive: its mapping, shared with the members opened on it, and its path.
class TFileMapHandler {
public:
    TFileMapHandler();
    virtual ~TFileMapHandler() = default;

    bool Open(const str& path);
    // Drops this record's reference to the mapping; members still open keep theirs.
    void Close();
    // The start of the mapped archive; null when not mapped.
    const char* GetData() const;
    std::shared_ptr<TFileMapData> GetMapping() const { return mData; }
    const str& GetPath() const { return mPath; }

    // Mounts one archive (see filemaphandler.cpp).
    static void OpenArchive(TFileIndex& index, const str& path);
    // Mounts every file of the folder whose name holds ".bvp", in name order, each taken from the
    // asset folder ("::assets/" + name) whichever folder was listed.
    static void MountArchives(TFileIndex& index, const str& folder);

    // The mapping of archive number; null when there is no such archive or it is not mapped.
    static std::shared_ptr<TFileMapData> GetArchiveMapping(uint32_t number);

private:
    std::shared_ptr<TFileMapData> mData;
    str mPath;
};

// Reads an archive's directory from an open file of fileSize bytes, calling entry for each member
// that lies inside the file. Stops at the first short read; the count is bounded by what the file
// can hold; members past the end are logged (with the archive's path) and passed over. False when
// the file is not an archive.
using TArchiveEntryFn = std::function<void(const str& name, uint32_t offset, uint32_t size)>;
bool ReadArchiveDirectory(TFile& file, uint64_t fileSize, const str& path,
                          const TArchiveEntryFn& entry);

// Empties the archive list (tests, and the end of the process).
void ForgetArchives();
