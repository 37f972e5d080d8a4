#include "foundation/file/filemaphandler.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "foundation/file/datafolder.h"
#include "foundation/file/diskpath.h"
#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "foundation/file/folderlist.h"
#include "foundation/file/regularfile.h"
#include "foundation/log.h"
#include "port/failinjection.h"

namespace {

constexpr uint32_t kHeaderSize = 8;
// Length byte, offset and size: the least an entry takes.
constexpr uint32_t kSmallestEntry = 9;

struct ArchiveList {
    std::mutex mutex;
    std::vector<TFileMapHandler> handlers;
};

ArchiveList& Archives() {
    static ArchiveList* list = new ArchiveList;  // members may be read by global destructors
    return *list;
}

uint32_t LittleEndian32(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

}  // namespace

TFileMapData::~TFileMapData() {
    Close();
}

bool TFileMapData::Open(const str& path) {
    Close();
    str real = path;
    if (real.GetAt(0) == ':' && real.GetAt(1) == ':') {
        // As the file layer resolves a "::" name, so that the mapping is the very file whose
        // directory was read: the lower-case spelling first, else the disk's.
        real = real.Substring(2);
        real.ToLower();
    }
    real = MatchDiskCase(str(), WithForwardSlashes(real));
    str full = GetFullPath(real);
    if (full.Length() == 0) return false;

    const char* kind;
    int fd = OpenRegularFile(full.c_str(), O_RDONLY, &kind);
    if (fd < 0) return false;
    struct stat info;
    void* view = MAP_FAILED;
    if (fstat(fd, &info) == 0 && info.st_size > 0 && !port::ShouldFail("MapViewOfFile")) {
        view = mmap(nullptr, static_cast<size_t>(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    }
    close(fd);  // the mapping stays valid without the descriptor
    if (view == MAP_FAILED) return false;
    mView = static_cast<const char*>(view);
    mSize = static_cast<size_t>(info.st_size);
    return true;
}

void TFileMapData::Close() {
    if (mView != nullptr) munmap(const_cast<char*>(mView), mSize);
    mView = nullptr;
    mSize = 0;
}

TFileMapHandler::TFileMapHandler() : mData(std::make_shared<TFileMapData>()) {}

bool TFileMapHandler::Open(const str& path) {
    mPath = path;
    if (mData == nullptr) mData = std::make_shared<TFileMapData>();
    return mData->Open(path);
}

void TFileMapHandler::Close() {
    mData = std::make_shared<TFileMapData>();
}

const char* TFileMapHandler::GetData() const {
    return mData != nullptr ? mData->GetView() : nullptr;
}

bool ReadArchiveDirectory(TFile& file, uint64_t fileSize, const str& path,
                          const TArchiveEntryFn& entry) {
    char magic[4] = {'X', 'X', 'X', 'X'};
    if (file.Read(magic, 4) != 4 || std::memcmp(magic, "BVPK", 4) != 0) return false;
    unsigned char bytes[8];
    if (file.Read(bytes, 4) != 4) return true;
    int32_t count = static_cast<int32_t>(LittleEndian32(bytes));
    const uint64_t room = fileSize > kHeaderSize ? (fileSize - kHeaderSize) / kSmallestEntry : 0;
    if (count < 0 || static_cast<uint64_t>(count) > room) {
        LogPrintf("Archive %s: entry count %d does not fit its %llu bytes", path.c_str(), count,
                  static_cast<unsigned long long>(fileSize));
        count = count < 0 ? 0 : static_cast<int32_t>(room);
    }
    for (int32_t i = 0; i < count; ++i) {
        unsigned char length;
        char name[256];
        if (file.Read(&length, 1) != 1 || file.Read(name, length) != length ||
            file.Read(bytes, 8) != 8) {
            LogPrintf("Archive %s: directory cut short after %d of %d entries", path.c_str(), i,
                      count);
            break;
        }
        name[length] = '\0';
        const uint32_t offset = LittleEndian32(bytes);
        const uint32_t size = LittleEndian32(bytes + 4);
        if (static_cast<uint64_t>(offset) + size > fileSize) {
            LogPrintf("Archive %s: member %s lies past the end of the file", path.c_str(), name);
            continue;
        }
        entry(str(name), offset, size);
    }
    return true;
}

void TFileMapHandler::OpenArchive(TFileIndex& index, const str& path) {
    // A path that is already listed keeps its number.
    uint32_t number;
    {
        ArchiveList& list = Archives();
        std::lock_guard<std::mutex> lock(list.mutex);
        auto it = std::find_if(list.handlers.begin(), list.handlers.end(),
                               [&](const TFileMapHandler& h) { return h.GetPath() == path; });
        number = static_cast<uint32_t>(it - list.handlers.begin());
        if (it != list.handlers.end()) it->Close();
    }

    TFile directory;
    if (!directory.Open(path, kFileReadBinary)) {
        LogPrintf("Archive %s cannot be opened: not mounted", path.c_str());
        return;
    }
    const uint64_t fileSize = static_cast<uint64_t>(std::max(directory.GetSize(), 0));
    bool isArchive = ReadArchiveDirectory(
        directory, fileSize, path, [&](const str& name, uint32_t offset, uint32_t size) {
            str key = name;
            key.ToLower();
            index.Set(key, str::Format("@%u:%u,%u", number, offset, size));
        });
    directory.Close();
    if (!isArchive) {
        LogPrintf("Archive %s does not begin with \"BVPK\": not mounted", path.c_str());
        return;
    }

    TFileMapHandler handler;
    if (!handler.Open(path)) LogPrintf("Failed to open flat file %s", path.c_str());

    ArchiveList& list = Archives();
    std::lock_guard<std::mutex> lock(list.mutex);
    if (number < list.handlers.size()) {
        list.handlers[number] = handler;
    } else {
        // Another thread cannot mount at the same time: mounting is the start-up's work.
        list.handlers.push_back(handler);
    }
}

void TFileMapHandler::MountArchives(TFileIndex& index, const str& folder) {
    std::vector<str> names;
    TFolderList listing;
    listing.Open(folder.c_str());
    str name;
    while (listing.Next(name)) {
        if (name.Find(".bvp") != str::npos) names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    for (const str& archive : names)
        OpenArchive(index, str("::assets/") + archive);
}

std::shared_ptr<TFileMapData> TFileMapHandler::GetArchiveMapping(uint32_t number) {
    ArchiveList& list = Archives();
    std::lock_guard<std::mutex> lock(list.mutex);
    if (number >= list.handlers.size()) return nullptr;
    return list.handlers[number].GetMapping();
}

void ForgetArchives() {
    ArchiveList& list = Archives();
    std::lock_guard<std::mutex> lock(list.mutex);
    list.handlers.clear();
}
