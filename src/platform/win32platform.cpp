#include "platform/win32platform.h"

#include "foundation/assetmanager.h"
#include "foundation/log.h"
#include "platform/settingkeys.h"
#include "port/system/clock.h"
#include "port/system/crtrandom.h"

TWin32Platform* TWin32Platform::Create() {
    CrtSrand(timeGetTime() * 8627u % 104729u);
    return new TWin32Platform;
}

TWin32Platform::TWin32Platform()
    : mStartTime(timeGetTime()), mAssetManager(std::make_unique<TAssetManager>()) {
    timeBeginPeriod(1);
}

TWin32Platform::~TWin32Platform() = default;

void TWin32Platform::Shutdown() {
    timeEndPeriod(1);
}

void TWin32Platform::DeleteAssetManager() {
    mAssetManager.reset();
}

void TWin32Platform::ApplySetting(const str& key, const str& value) {
    if (key == settingkey::kVsync) {
        mVerticalSync = value.ToInt() != 0;
    } else if (key == settingkey::kMemoryMax) {
        str note = str::Format("__MEMORYMAX__=%d", value.ToInt());
        SetLogFile(note.c_str());
    } else if (key == settingkey::kViewportScale) {
        mScaleX = value.ToFloat();
    }
}
