#include "platform/platform.h"

#include <atomic>
#include <filesystem>
#include <string>
#include <system_error>

#include "audio/oggdatasource.h"
#include "audio/soundhooks.h"
#include "audio/soundmanager.h"
#include "foundation/assetmanager.h"
#include "foundation/file/assetfolder.h"
#include "foundation/file/file.h"
#include "foundation/file/fileindex.h"
#include "foundation/log.h"
#include "foundation/prefs/stringtable.h"
#include "foundation/settingsmap.h"
#include "foundation/task/apptime.h"
#include "foundation/xml/xmlnode.h"
#include "platform/commandline.h"
#include "platform/display/dxerror.h"
#include "platform/draw/renderer.h"
#include "platform/font/fontcache.h"
#include "platform/onlinehooks.h"
#include "platform/platformdata.h"
#include "platform/settingkeys.h"
#include "platform/win32platform.h"
#include "platform/windowsystemhooks.h"
#include "port/system/clock.h"
#include "port/system/crtrandom.h"
#include "port/window/queue.h"

namespace {

std::atomic<TPlatform*> gInstance{nullptr};

const char kSettingsFile[] = "::assets/settings.xml";
// The settings file holds a few dozen short settings.
constexpr uint32_t kLargestSettingsFile = 1024 * 1024;

uint32_t ApplicationTime() {
    return TPlatform::GetTimer();
}

TSoundManager* ApplicationSoundManager() {
    TPlatform* application = gInstance.load();
    return application != nullptr ? application->GetSoundManager() : nullptr;
}

HWND ApplicationMainWindow() {
    TPlatform* application = gInstance.load();
    return application != nullptr ? application->GetPlatform()->GetMainWindow() : nullptr;
}

}  // namespace

TPlatform::TPlatform(TWin32Platform* platform)
    : mPlatform(platform != nullptr ? platform : TWin32Platform::Create()) {
    // Image libraries: the decoders keep no global state, so there is nothing to initialise.
    gInstance.store(this);
    SetApplicationTimeSource(&ApplicationTime);
    SetAssetManager(mPlatform->GetAssetManager());
    soundhooks::Install({&ApplicationSoundManager, &ApplicationMainWindow, &LogDXError});
    const char* line = mPlatform->GetCommandLine();

    SetConfig(settingkey::kMemoryMax, "100000000");
    SetConfig(settingkey::kTextureMemoryMax, "100000000");
    if (commandline::HasOption(line, "-url=")) {
        SetConfig(settingkey::kDownloadUrl, commandline::WordAfter(line, "-url="));
    }
    if (commandline::HasOption(line, "--stringtest")) {
        SetConfig("stringtest", "1");
    }
    SetConfig(settingkey::kUtf8ModeInit, GetConfig(settingkey::kUtf8Mode, ""));

    // Four words of three successive rand() calls each, a, b, c in that order.
    uint32_t key[4];
    for (uint32_t& word : key) {
        uint32_t a = static_cast<uint32_t>(CrtRand());
        uint32_t b = static_cast<uint32_t>(CrtRand());
        uint32_t c = static_cast<uint32_t>(CrtRand());
        word = a * 8u * b + (c >> 3);
    }
    mPlatform->GetRandom().SeedByArray(key, 4);

    windowsystemhooks::CreateWindowScript(mPlatform->GetWindowManager());
    SetConfig(settingkey::kComputerId, onlinehooks::ComputerId());
    LoadSettingsFile();

    SetUserDataRoot(mPlatform->GetUserDataFolder());
    SetCommonDataRoot(mPlatform->GetCommonDataFolder());
    SetDesktopRoot(mPlatform->GetDesktopFolder());
    LoadAssetManifest();  // reads "firstpeek" itself
    EnsureSystemCursorImage();
    LoadStringTables();

    mPlatform->PublishBuildTag();
    LogPrintf("%s, version %s.", mPlatform->GetTitle().c_str(), mPlatform->GetVersion().c_str());
    SetConfig(settingkey::kGameName, mPlatform->GetTitle());
    SetConfig(settingkey::kGameVersion, mPlatform->GetVersion());
    RegisterOggDataSourceBuilder();
}

void TPlatform::LoadSettingsFile() {
    TXmlNode document;
    // A missing file is passed over in silence. One that is too large, cut short or damaged is
    // logged by the reader; one that is there but does not open, here.
    if (!document.LoadFile(kSettingsFile, kLargestSettingsFile)) {
        const std::string reason = ReasonNotOpened(kSettingsFile);
        if (!reason.empty())
            LogPrintf("Settings file %s not read: %s", kSettingsFile, reason.c_str());
        return;
    }
    TXmlNode* settings = document.FindChild("settings");
    if (settings == nullptr) {
        LogPrintf("Settings file %s holds no settings element: no settings read", kSettingsFile);
        return;
    }
    for (TXmlNode* child : settings->GetChildren()) {
        SetConfig(child->GetName(), child->GetText());
    }
}

void TPlatform::LoadStringTables() {
    TStringTable* table = mPlatform->GetStringTable();
    if (table->LoadStartupFiles()) {
        // Where the texts came from, so that a log shows which data folder the program used.
        std::error_code error;
        const std::filesystem::path file =
            std::filesystem::absolute(ResolvePath("strings.xml", true).c_str(), error);
        LogPrintf("String table: %zu texts, strings.xml read from %s", table->GetCount(),
                  file.c_str());
        windowsystemhooks::SetScriptUtf8(mPlatform->GetWindowManager());
    }
}

TPlatform::~TPlatform() {
    // The cursor worker reads the window manager and the display: it ends before either goes.
    mPlatform->StopWorker();
    // The tasks next, while everything they might refer to still exists.
    mTasks.DeleteAll();
    mPlatform->DeleteWindowManager();
    mPlatform->DeleteSoundManager();
    mPlatform->GetFontCache().Clear();
    mPlatform->DeleteVecDraw();
    TRenderer::DestroyInstance();
    mPlatform->DeletePlatformData();
    gInstance.store(nullptr);
    windowsystemhooks::DeleteGameState();
    mPlatform->DeleteStringTable();
    SetAssetManager(nullptr);
    soundhooks::Install({});
    mPlatform->DeleteAssetManager();
    mPlatform->Shutdown();
    // The clock changes only now, so that the teardown above still reads the application clock.
    SetApplicationTimeSource(nullptr);
    mPlatform.reset();
    TSettingsMap::GetInstance().Clear();
    ClearFileIndex();
    // Image libraries: nothing to clean up. The listener list goes with the object.
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

TWindowManager* TPlatform::GetWindowManager() const {
    return mPlatform->GetWindowManager();
}

TStringTable* TPlatform::GetStringTable() const {
    return mPlatform->GetStringTable();
}

TSoundManager* TPlatform::GetSoundManager() const {
    return mPlatform->GetSoundManager();
}

void TPlatform::CreateSoundManager() {
    mPlatform->EnsureSoundManager()->StartThread();
}

bool TPlatform::InitSound() {
    return mPlatform->EnsureSoundManager()->StartThread();
}

void TPlatform::CreateMainWindow() {
    mPlatform->CreateMainWindow(this);
}

uint32_t TPlatform::Random() {
    return mPlatform->GetRandom().Next();
}

str TPlatform::GetTitle() const {
    return mPlatform->GetTitle();
}

str TPlatform::GetVersion() const {
    return mPlatform->GetVersion();
}

void TPlatform::Sleep(DWORD milliseconds) {
    ::Sleep(milliseconds);
}

void TPlatform::Quit(int code) {
    PostQuitMessage(code);
}

void TPlatform::OutOfVideoMemory() {
    if (TPlatformData* display = TPlatformData::GetInstance()) display->OutOfVideoMemory();
}
