#include "port/display/backend.h"

#include <cstring>

#include "port/startup.h"

namespace port::display {

std::vector<std::pair<int, int>> DisplayBackend::ModeSizes(int desktopWidth,
                                                           int desktopHeight) const {
    std::vector<std::pair<int, int>> sizes{{640, 480}, {800, 600}, {1024, 768}};
    bool listed = false;
    for (const auto& size : sizes)
        listed = listed || (size.first == desktopWidth && size.second == desktopHeight);
    if (!listed) sizes.emplace_back(desktopWidth, desktopHeight);
    return sizes;
}

DisplayBackend& Backend() {
    // Each made once, at its first use, and kept: a caller may still be inside one when the
    // window system's backend changes.
    static DisplayBackend* headless = MakeHeadlessDisplayBackend().release();
    if (std::strcmp(WindowBackendName(), "sdl") == 0) {
        static DisplayBackend* sdl = MakeSdlDisplayBackend().release();
        return *sdl;
    }
    return *headless;
}

}  // namespace port::display
