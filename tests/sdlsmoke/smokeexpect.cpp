#include "smokeexpect.h"

#include <cstdio>
#include <vector>

namespace smoke {
namespace {

int gFailed = 0;

}  // namespace

void Expect(bool ok, const std::string& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.c_str());
    std::fflush(stdout);
    if (!ok) ++gFailed;
}

int FailedCount() {
    return gFailed;
}

size_t Mark() {
    return SeenMessages().size();
}

long Find(size_t from, UINT message, long wParam) {
    const std::vector<Seen>& seen = SeenMessages();
    for (size_t i = from; i < seen.size(); ++i) {
        if (seen[i].message == message &&
            (wParam < 0 || seen[i].wParam == static_cast<WPARAM>(wParam))) {
            return static_cast<long>(i);
        }
    }
    return -1;
}

bool WaitFor(size_t from, UINT message, long wParam) {
    return PumpUntil([&] { return Find(from, message, wParam) >= 0; }, kWait);
}

const Seen& At(long index) {
    return SeenMessages()[static_cast<size_t>(index)];
}

}  // namespace smoke
