#include "platform/platform.h"

#include <atomic>

#include "foundation/task/apptime.h"
#include "foundation/assetmanager.h"
#include "foundation/settingsmap.h"
#include "platform/onlinehooks.h"
#include "platform/settingkeys.h"
#include "platform/win32platform.h"
#include "port/system/clock.h"

namespace {

std::atomic<TPlatform*> gInstance{nullptr};

uint32_t ApplicationTime() {
    return TPlatform::GetTimer();
}

}  // namespace

TPlatform::TPlatform(TWin32Platform* platform)
    : mPlatform(platform != nullptr ? platform : TWin32Platform::Create()) {
    gInstance.store(this);
    SetApplicationTimeSource(&ApplicationTime);
    SetAssetManager(mPlatform->GetAssetManager());

    SetConfig(settingkey::kMemoryMax, "100000000");
    SetConfig(settingkey::kTextureMemoryMax, "100000000");
    SetConfig(settingkey::kUtf8ModeInit, GetConfig(settingkey::kUtf8Mode, ""));
    SetConfig(settingkey::kComputerId, onlinehooks::ComputerId());
}

TPlatform::~TPlatform() {
    // First, while everything the tasks might refer to still exists.
    mTasks.DeleteAll();
    gInstance.store(nullptr);
    SetAssetManager(nullptr);
    mPlatform->DeleteAssetManager();
    mPlatform->Shutdown();
    // The clock changes only now, so that the teardown above still reads the application clock.
    SetApplicationTimeSource(nullptr);
    mPlatform.reset();
    TSettingsMap::GetInstance().Clear();
}

TPlatform* TPlatform::GetInstance() {
    return gInstance.load();
}

DWORD TPlatform::GetTimer() {
    TPlatform* instance = gInstance.load();
    DWORD start = instance != nullptr ? instance->mPlatform->GetStartTime() : 0;
    return timeGetTime() - start - onlinehooks::PortalPauseTime();
}

TAssetManager* TPlatform::GetAssetManager() const {
    return mPlatform->GetAssetManager();
}
