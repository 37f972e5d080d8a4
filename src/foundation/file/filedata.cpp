#include "foundation/file/filedata.h"

#include <cstring>

int CopyWithoutCarriageReturns(char* buffer, int count, const char* source, int available,
                               int* consumed) {
    int stored = 0;
    int used = 0;
    while (stored < count && used < available) {
        // Copy the run up to the next carriage return at once.
        const int want = count - stored;
        const char* run = source + used;
        const int left = available - used;
        const void* cr = std::memchr(run, '\r', static_cast<size_t>(want < left ? want : left));
        int length = cr != nullptr ? static_cast<int>(static_cast<const char*>(cr) - run)
                                   : (want < left ? want : left);
        std::memmove(buffer + stored, run, static_cast<size_t>(length));  // may run in place
        stored += length;
        used += length;
        if (cr != nullptr) ++used;
    }
    *consumed = used;
    return stored;
}

bool TByteWindow::SeekTarget(long offset, int origin, uint32_t* target) const {
    switch (origin) {
        case kSeekCurrent:
            *target = position + static_cast<uint32_t>(offset);
            return true;
        case kSeekStart:
            *target = static_cast<uint32_t>(offset);
            return true;
        case kSeekEnd:
            *target = size + static_cast<uint32_t>(offset);
            return true;
        default:
            return false;
    }
}

int TByteWindow::Read(void* buffer, int count, bool text) {
    if (data == nullptr || buffer == nullptr || count <= 0) return 0;
    const uint32_t left = size - position;
    const int want = static_cast<uint32_t>(count) > left ? static_cast<int>(left) : count;
    if (text) {
        int used;
        const int available = left > 0x7FFFFFFFu ? 0x7FFFFFFF : static_cast<int>(left);
        int stored = CopyWithoutCarriageReturns(static_cast<char*>(buffer), want, data + position,
                                                available, &used);
        position += static_cast<uint32_t>(used);
        return stored;
    }
    std::memcpy(buffer, data + position, static_cast<size_t>(want));
    position += static_cast<uint32_t>(want);
    return want;
}
