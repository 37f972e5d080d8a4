#include "audio/soundhooks.h"

#include <atomic>

#include "foundation/log.h"

namespace soundhooks {

namespace {

std::atomic<TSoundManager* (*)()> gSoundManager{nullptr};
std::atomic<HWND (*)()> gMainWindow{nullptr};
std::atomic<void (*)(HRESULT, const char*, int)> gReport{nullptr};

}  // namespace

void Install(const THooks& hooks) {
    gSoundManager.store(hooks.getSoundManager);
    gMainWindow.store(hooks.getMainWindow);
    gReport.store(hooks.reportDXError);
}

TSoundManager* SoundManager() {
    auto hook = gSoundManager.load();
    return hook != nullptr ? hook() : nullptr;
}

HWND MainWindow() {
    auto hook = gMainWindow.load();
    return hook != nullptr ? hook() : nullptr;
}

void ReportDXError(HRESULT result, const char* file, int line) {
    if (auto hook = gReport.load()) {
        hook(result, file, line);
        return;
    }
    LogPrintf("DX Error: %s (0x%x), File %s, Line %d", "", static_cast<unsigned>(result),
              file != nullptr ? file : "", line);
}

}  // namespace soundhooks
