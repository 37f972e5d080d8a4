// The SDL backend's smoke program. Run by hand (on a desktop, or under xvfb-run -a), it opens the
// window, prints every message the window procedure receives and ends when the window is closed.
// With --check (as CTest runs it under Xvfb) it drives the window through the X server instead,
// checks what arrives, and ends with status 0 only when every check passed.
#include <cstdio>
#include <cstring>

#include "port/startup.h"
#include "port/window/window.h"
#include "smokechecks.h"
#include "smokewindow.h"

namespace {

void PrintPortLine(const char* line) {
    std::fprintf(stderr, "port: %s\n", line);
}

}  // namespace

int main(int argc, char** argv) {
    bool check = argc > 1 && std::strcmp(argv[1], "--check") == 0;
    if (argc > 2 || (argc == 2 && !check)) {
        std::fprintf(stderr, "usage: %s [--check]\n", argv[0]);
        return 2;
    }
    // The choice says itself, in one line, why it refuses.
    if (!port::SelectBackendFromEnvironment("sdl")) return 1;
    port::SetLogSink(PrintPortLine);
    smoke::SmokeOptions options;
    options.print = !check;
    HWND window = smoke::OpenSmokeWindow(options);
    if (window == nullptr) {
        std::fprintf(stderr, "the window could not be made\n");
        return 1;
    }
    if (check) {
        int failed = smoke::RunChecks(window);
        DestroyWindow(window);
        if (failed != 0) std::printf("%d check(s) failed\n", failed < 0 ? 1 : failed);
        return failed == 0 ? 0 : 1;
    }
    while (!smoke::QuitTaken())
        smoke::PumpFor(100);
    return 0;
}
