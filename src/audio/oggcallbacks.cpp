#include "audio/oggcallbacks.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <limits>
#include <new>

#include "foundation/file/file.h"

namespace {

// Where a seek from the origin would land, or -1 for an origin vorbisfile does not use. Offsets
// beyond any file are cut so that the sums cannot overflow; they land out of range all the same.
int64_t SeekTarget(int64_t offset, int whence, int64_t position, int64_t size) {
    constexpr int64_t kFar = int64_t{1} << 40;
    offset = std::max(-kFar, std::min(offset, kFar));
    switch (whence) {
        case SEEK_SET:
            return offset;
        case SEEK_CUR:
            return position + offset;
        case SEEK_END:
            return size + offset;
        default:
            return -1;
    }
}

}  // namespace

std::unique_ptr<TOggMemoryRecord> LoadFileToMemory(TFile* file) {
    FileSeek(file, 0, kSeekEnd);
    int size = FileTell(file);
    std::unique_ptr<TOggMemoryRecord> record;
    if (size >= 0 && size <= kLargestOggInMemory) {
        FileSeek(file, 0, kSeekStart);
        auto loaded = std::make_unique<TOggMemoryRecord>();
        loaded->data.reset(new (std::nothrow) uint8_t[size > 0 ? size : 1]);
        if (loaded->data != nullptr) {
            int got = FileRead(file, loaded->data.get(), size);
            loaded->size = got > 0 ? got : 0;
            record = std::move(loaded);
        }
    }
    FileClose(file);
    return record;
}

size_t OggFileRead(void* destination, size_t size, size_t count, void* file) {
    if (size == 0 || count == 0) return 0;
    // FileRead counts in an int: ask for whole items within it.
    size_t items = std::min<size_t>(count, std::numeric_limits<int>::max() / size);
    int bytes = FileRead(static_cast<TFile*>(file), destination, static_cast<int>(items * size));
    if (bytes <= 0) return 0;
    size_t partial = static_cast<size_t>(bytes) % size;
    // The next read starts at the item boundary.
    if (partial != 0)
        FileSeek(static_cast<TFile*>(file), -static_cast<long>(partial), kSeekCurrent);
    return static_cast<size_t>(bytes) / size;
}

int OggFileSeek(void* file, ogg_int64_t offset, int whence) {
    auto* handle = static_cast<TFile*>(file);
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
    int64_t position = FileTell(handle);
    int64_t size = whence == SEEK_END ? FileGetSize(handle) : 0;
    int64_t target = SeekTarget(offset, whence, position, size);
    if (target < 0 || target > kLargestFile) return -1;
    FileSeek(handle, static_cast<long>(target), kSeekStart);
    return FileTell(handle) == target ? 0 : -1;
}

int OggFileClose(void* file) {
    FileClose(static_cast<TFile*>(file));
    return 0;
}

long OggFileTell(void* file) {
    return FileTell(static_cast<TFile*>(file));
}

size_t OggMemoryRead(void* destination, size_t size, size_t count, void* record) {
    auto* memory = static_cast<TOggMemoryRecord*>(record);
    if (size == 0 || count == 0) return 0;
    size_t left = static_cast<size_t>(memory->size - memory->position);
    size_t items = std::min(count, left / size);
    size_t bytes = items * size;
    if (bytes > 0) std::memcpy(destination, memory->data.get() + memory->position, bytes);
    memory->position += static_cast<int>(bytes);
    return items;
}

int OggMemorySeek(void* record, ogg_int64_t offset, int whence) {
    auto* memory = static_cast<TOggMemoryRecord*>(record);
    if (whence != SEEK_SET && whence != SEEK_CUR && whence != SEEK_END) return -1;
    int64_t target = SeekTarget(offset, whence, memory->position, memory->size);
    memory->position =
        static_cast<int>(std::max<int64_t>(0, std::min<int64_t>(target, memory->size)));
    return 0;
}

int OggMemoryClose(void* record) {
    delete static_cast<TOggMemoryRecord*>(record);
    return 0;
}

long OggMemoryTell(void* record) {
    return static_cast<TOggMemoryRecord*>(record)->position;
}

ov_callbacks OggFileCallbacks() {
    return ov_callbacks{&OggFileRead, &OggFileSeek, &OggFileClose, &OggFileTell};
}

ov_callbacks OggMemoryCallbacks() {
    return ov_callbacks{&OggMemoryRead, &OggMemorySeek, &OggMemoryClose, &OggMemoryTell};
}
