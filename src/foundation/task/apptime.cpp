#include "foundation/task/apptime.h"

#include <atomic>

#include "port/system/clock.h"

namespace {

std::atomic<TTimeSource> gSource{nullptr};

}  // namespace

void SetApplicationTimeSource(TTimeSource source) {
    gSource.store(source);
}

uint32_t GetApplicationTime() {
    TTimeSource source = gSource.load();
    return source != nullptr ? source() : timeGetTime();
}
