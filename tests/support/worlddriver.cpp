#include "support/worlddriver.h"

#include <unistd.h>

#include <filesystem>

#include "foundation/file/assetfolder.h"
#include "foundation/file/fileindex.h"
#include "foundation/log.h"
#include "foundation/prefs/prefs.h"
#include "foundation/settingsmap.h"
#include "gv/gvfactory.h"
#include "platform/platform.h"
#include "port/control.h"
#include "simulation/schedule/scheduletask.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/layoutcache.h"

namespace testing_support {
std::string WorldDriver::AssetFolder() {
    return UMBRAVA_ASSETS_DIR;
}

WorldDriver::WorldDriver(const WorldDriverOptions& options) {
    std::error_code error;
    mWorkingFolder = std::filesystem::current_path(error).string();
    port::control::UseFakeClock(true);
    port::control::SetTime(100000);
    mApp = std::make_unique<TPlatform>();
    SetLogFile(mFolder.File("log").c_str());
    // The game's data is found as "assets" below the working folder, as at start-up.
    const std::filesystem::path assets(AssetFolder());
    if (chdir(assets.parent_path().c_str()) == 0) ScanAssetFolder("", "assets");
    std::filesystem::create_directories(mFolder.File("user"), error);
    SetUserDataRoot(mFolder.File("user").c_str());
    TSettingsMap::GetInstance().Set("encryptionkey", "WorldDriverKey");
    TSettingsMap::GetInstance().Set("installkey", "WorldDriver");
    mPrefs = std::make_unique<TPrefs>(true);
    mSprites = std::make_unique<WorldSprites>();
    mWorld.SetPrefs(mPrefs.get());
    mWorld.SetStarterListener(&mStarters);
    mWorld.LoadLogic(options.mainFile.c_str());
    mSprites->AddDefinitions(mWorld.GetNames());
    mManager = std::make_unique<GVWorldManager>(&mScene, &mWorld);
    mManager->Init();
    GVWorldCreature::ResetIdleVariations(1);
    mWorld.SetViews(mManager.get(), &mMessages);
    if (options.newGame) mWorld.NewGame(options.mainFile.c_str());
    if (options.allTutorialFlags) SetAllTutorialFlags();
}

WorldDriver::~WorldDriver() {
    mWorld.SetViews(nullptr, nullptr);
    mManager.reset();
    mSprites.reset();
    GVLayoutCache::Clear();
    GVFactory::Instance().SetScene(nullptr);
    mWorld.SetPrefs(nullptr);
    mPrefs.reset();
    mApp.reset();
    SetLogFile(nullptr);
    SetUserDataRoot("");
    ClearFileIndex();
    port::control::UseFakeClock(false);
    if (!mWorkingFolder.empty() && chdir(mWorkingFolder.c_str()) != 0) mProblem = "no way back";
}

void WorldDriver::SetAllTutorialFlags() {
    for (int id = 0; id < GlobalData::kTutorialEventCount; ++id)
        mWorld.GetGlobalData().SetTutorialEventFlag(id, true);
}

void WorldDriver::RefreshViews() {
    for (int i = 0; i < kRefreshesPerTick; ++i) {
        port::control::AdvanceTime(kRefreshMilliseconds);
        mApp->UpdateTasks();
        mManager->RefreshAll();
    }
}

bool WorldDriver::Tick() {
    mWorld.Update(mWorld.GetPlay().currentTime + 1);
    RefreshViews();
    if (mProblem.empty()) mProblem = CheckTasks();
    return mProblem.empty();
}

bool WorldDriver::Ticks(int count) {
    for (int i = 0; i < count; ++i)
        if (!Tick()) return false;
    return true;
}

std::string WorldDriver::CheckTasks() const {
    for (const GScheduleTask* task : mWorld.GetSchedule().GetTasks()) {
        const GTaskData* data = task->GetTaskData();
        if (data == nullptr) continue;
        for (const GObject* party : {data->subject, data->object}) {
            if (party == nullptr || mWorld.IsInWorld(party) || mWorld.IsQueuedForDeletion(party))
                continue;
            // Only the address: the object may be gone.
            return "a task of kind " + std::to_string(task->GetKind()) + " at time " +
                   std::to_string(mWorld.GetPlay().currentTime) +
                   " names an object that is not in the world";
        }
    }
    return std::string();
}

}  // namespace testing_support
