// xgrab: writes what a window of the X display shows as a PNG file, for screenshots of a run.
//   xgrab TITLE FILE.png   the window titled TITLE (waiting up to 5 s for it to appear)
//   xgrab --root FILE.png  the whole screen
// Exits 0 when the file was written, 1 otherwise, with the reason on the standard error stream.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "support/xsession.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s TITLE|--root FILE.png\n", argv[0]);
        return 1;
    }
    testing_support::XSession x;
    if (!x.Connected()) {
        std::fprintf(stderr, "xgrab: %s\n", x.WhyNot().c_str());
        return 1;
    }
    testing_support::XWindowId window = 0;
    if (std::strcmp(argv[1], "--root") == 0) {
        window = x.Root();
    } else {
        auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while ((window = x.FindWindow(argv[1])) == 0 && std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        if (window == 0) {
            std::fprintf(stderr, "xgrab: no window titled \"%s\"\n", argv[1]);
            return 1;
        }
    }
    testing_support::ArgbImage image = x.Grab(window);
    if (image.pixels.empty() || !testing_support::WriteArgbPng(image, argv[2])) {
        std::fprintf(stderr, "xgrab: could not grab the window into %s\n", argv[2]);
        return 1;
    }
    std::printf("%s: %d x %d\n", argv[2], image.width, image.height);
    return 0;
}
