#include "foundation/filedata.h"

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
