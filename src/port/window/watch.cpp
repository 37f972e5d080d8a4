#include "port/window/watch.h"

#include <atomic>

namespace port {
namespace {

std::atomic<ForegroundWatcher> gForeground{nullptr};
std::atomic<DisplayModeWatcher> gDisplayMode{nullptr};

}  // namespace

void WatchForeground(ForegroundWatcher watcher) {
    gForeground = watcher;
}

void WatchDisplayMode(DisplayModeWatcher watcher) {
    gDisplayMode = watcher;
}

void NotifyForeground(HWND foreground) {
    if (ForegroundWatcher watcher = gForeground.load()) watcher(foreground);
}

void NotifyDisplayMode() {
    if (DisplayModeWatcher watcher = gDisplayMode.load()) watcher();
}

}  // namespace port
