#include "platform/win32platform.h"

#include <cctype>
#include <chrono>

#include "audio/soundmanager.h"
#include "foundation/assetmanager.h"
#include "foundation/file/datafolder.h"
#include "foundation/log.h"
#include "foundation/prefs/stringtable.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/font/fontcache.h"
#include "platform/commandline.h"
#include "platform/display/dxcontext.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/settingkeys.h"
#include "platform/windowsystemhooks.h"
#include "port/system/clock.h"
#include "port/system/crtrandom.h"
#include "port/system/lasterror.h"
#include "port/system/process.h"
#include "port/system/shell.h"
#include "port/system/sync.h"
#include "port/system/textconv.h"
#include "port/system/version.h"
#include "port/window/activation.h"
#include "port/window/cursor.h"
#include "port/window/gdi.h"
#include "port/window/menu.h"
#include "port/window/metrics.h"
#include "port/window/window.h"
#include "port/window/windowpos.h"

namespace {

constexpr DWORD kWaitAfterDraw = 16;
constexpr DWORD kWaitIdle = 250;
constexpr int kIconResource = 99;

// The software cursor at the current mouse position, through the display's context (which
// takes the mouse mutex); (-1, -1) when nothing was drawn.
POINT DrawCursorAtMouse(TWin32Platform& platform) {
    TPlatformData* display = platform.GetPlatformData();
    TDXContext* context = display != nullptr ? display->GetContext() : nullptr;
    return context != nullptr ? context->DrawMouse(POINT{-1, -1}, false) : POINT{-1, -1};
}

std::atomic<TWin32Platform::CursorDraw> gCursorDraw{&DrawCursorAtMouse};

// The main window's class name, kept for the process (a second start looks for it).
str gClassName;

str ShortPath(const str& path) {
    char buffer[MAX_PATH];
    DWORD length = GetShortPathNameA(path.c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? str(buffer) : path;
}

// One trailing "/" goes.
str WithoutTrailingSlash(const str& folder) {
    unsigned length = folder.Length();
    if (length > 0 && folder.c_str()[length - 1] == '/') {
        return folder.Substring(0, length - 1);
    }
    return folder;
}

}  // namespace

void TWin32Platform::SetCursorDraw(CursorDraw draw) {
    gCursorDraw.store(draw != nullptr ? draw : &DrawCursorAtMouse);
}

TWin32Platform* TWin32Platform::Create(const char* commandLine, bool severalInstances,
                                       int showCommand, HINSTANCE instance) {
    CrtSrand(timeGetTime() * 8627u % 104729u);
    return new TWin32Platform(commandLine, severalInstances, showCommand, instance);
}

TWin32Platform::TWin32Platform(const char* commandLine, bool severalInstances, int showCommand,
                               HINSTANCE instance)
    : mCommandLine(commandLine != nullptr ? commandLine : ""),
      mShowCommand(showCommand),
      mInstance(instance) {
    mUnicodeMode = IsEnabled(settingkey::kUtf8Mode);
    timeBeginPeriod(1);
    mScreenWidth = GetSystemMetrics(SM_CXSCREEN);
    mScreenHeight = GetSystemMetrics(SM_CYSCREEN);

    mWindowManager.store(windowsystemhooks::CreateWindowManager());
    mAssetManager = std::make_unique<TAssetManager>();
    mStringTable = std::make_unique<TStringTable>();

    ReadFolders();
    TakeInstanceLock(severalInstances);

    mAssetPath = mProgramFolder + "assets/";
    mStartTime = timeGetTime();
    mUserDataFolder = mProgramFolder;
    mCommonDataFolder = mProgramFolder;
    mDesktopFolder = mProgramFolder;

    ReadVersionData();
    StartWorker();
}

TWin32Platform::~TWin32Platform() {
    StopWorker();
    DeletePlatformData();
    DeleteVecDraw();
    DeleteSoundManager();
    DeleteWindowManager();
}

void TWin32Platform::ReadFolders() {
    char buffer[MAX_PATH];
    UINT length = GetSystemDirectoryA(buffer, MAX_PATH);
    mSystemFolder = length > 0 && length < MAX_PATH ? str(buffer) : str();

    DWORD pathLength = GetModuleFileNameA(nullptr, buffer, MAX_PATH);
    mProgramPath = pathLength > 0 && pathLength < MAX_PATH ? str(buffer) : str();
    unsigned slash = mProgramPath.FindChar('/', str::kBackward);
    mProgramFolder = slash != str::npos ? mProgramPath.Substring(0, slash + 1) : str();

    DWORD current = GetCurrentDirectoryA(MAX_PATH, buffer);
    mStartupDirectory = current > 0 && current < MAX_PATH ? ShortPath(str(buffer)) : str();
    if (mProgramFolder.Length() > 0) {
        SetCurrentDirectoryA(mProgramFolder.c_str());
    }

    // The instance name: the program's short path, upper-cased, without "/" and ":".
    str shortPath = ShortPath(mProgramPath);
    std::string name;
    for (const char* c = shortPath.c_str(); *c != '\0'; ++c) {
        if (*c != '/' && *c != ':' && *c != '\\') {
            name += static_cast<char>(std::toupper(static_cast<unsigned char>(*c)));
        }
    }
    mInstanceName = str(name.c_str());
    gClassName = mInstanceName + "_WNDCLASS";
}

void TWin32Platform::TakeInstanceLock(bool severalInstances) {
    if (severalInstances) {
        return;
    }
    str lockName = mInstanceName + "_MUTEX";
    mInstanceLock = CreateInstanceMutexA(lockName.c_str());
    if (GetLastError() != ERROR_ALREADY_EXISTS) {
        return;
    }
    HWND first = FindWindowA(gClassName.c_str(), nullptr);
    if (first != nullptr) {
        SetForegroundWindow(first);
        ShowWindow(first, SW_SHOWNORMAL);
    }
    // What the construction has made so far goes before the process ends (a test's exit handler
    // may unwind instead of ending it).
    CloseHandle(mInstanceLock);
    mInstanceLock = nullptr;
    DeleteWindowManager();
    timeEndPeriod(1);
    ExitProcess(0);
}

void TWin32Platform::ReadVersionData() {
    const char* path = mProgramPath.c_str();
    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(path, &handle);
    if (size > 0) {
        std::unique_ptr<char[]> block(new char[size]);
        if (GetFileVersionInfoA(path, handle, size, block.get())) {
            void* data = nullptr;
            UINT length = 0;
            if (VerQueryValueA(block.get(), "\\", &data, &length) && data != nullptr) {
                const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(data);
                mVersion = str::Format("%d.%d.%d.%d", static_cast<int>(fixed->dwFileVersionMS >> 16),
                                       static_cast<int>(fixed->dwFileVersionMS & 0xFFFF),
                                       static_cast<int>(fixed->dwFileVersionLS >> 16),
                                       static_cast<int>(fixed->dwFileVersionLS & 0xFFFF));
            }
            if (VerQueryValueA(block.get(), "\\StringFileInfo\\040904b0\\ProductName", &data,
                               &length) &&
                data != nullptr) {
                const char* product = static_cast<const char*>(data);
                while (*product != '\0' && std::isspace(static_cast<unsigned char>(*product))) {
                    ++product;
                }
                mTitle = TPlatform::GetConfig(settingkey::kGameName, product);
            }
            if (VerQueryValueA(block.get(), "\\StringFileInfo\\040904b0\\InternalName", &data,
                               &length) &&
                data != nullptr) {
                mBuildTag = static_cast<const char*>(data);
            }
        }
    }
    if (mTitle.Length() == 0) {
        mTitle = TPlatform::GetConfig(settingkey::kGameName, "Corvane Application");
    }
}

bool TWin32Platform::IsHostedMode() const {
    return commandline::HasOption(mCommandLine.c_str(), "-pq=");
}

str TWin32Platform::GetClassName() {
    return gClassName;
}

void TWin32Platform::PublishBuildTag() {
    TPlatform::SetConfig(settingkey::kBuildTag, mBuildTag);
}

void TWin32Platform::SetWorkingDirectory(const str& title) {
    if (!mEmbedded || IsHostedMode()) {
        char buffer[MAX_PATH];
        if (::GetUserDataFolder(false, title.c_str(), buffer, MAX_PATH) == 0) {
            mUserDataFolder = buffer;
        } else {
            mUserDataFolder = str();  // could not be made: no log file, no "user:" files
        }
        if (::GetUserDataFolder(true, title.c_str(), buffer, MAX_PATH) == 0) {
            mCommonDataFolder = buffer;
        } else {
            mCommonDataFolder = mUserDataFolder;
        }
        if (::GetDesktopFolder(buffer, MAX_PATH) == 0) {
            mDesktopFolder = buffer;
        } else {
            mDesktopFolder = mUserDataFolder;
        }
    }
    mUserDataFolder = WithoutTrailingSlash(mUserDataFolder);
    mCommonDataFolder = WithoutTrailingSlash(mCommonDataFolder);

    if (commandline::HasOption(mCommandLine.c_str(), "-wd=")) {
        str folder = commandline::WorkingDirectory(mCommandLine.c_str());
        LogPrintf("Switching current directory to: %s", folder.c_str());
        SetCurrentDirectoryA(folder.c_str());
    }
}

void TWin32Platform::CreateMainWindow(void* application) {
    mUnicodeMode = IsEnabled(settingkey::kUtf8Mode);

    HICON icon = LoadIconA(mInstance, MAKEINTRESOURCEA(kIconResource));
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    auto brush = reinterpret_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    if (mUnicodeMode) {
        std::u16string className = port::Utf8ToUtf16(gClassName.c_str());
        WNDCLASSW windowClass{CS_HREDRAW | CS_VREDRAW, &TWin32Platform::WindowProc, 0, 4,
                              mInstance, icon, arrow, brush, nullptr,
                              reinterpret_cast<const WCHAR*>(className.c_str())};
        RegisterClassW(&windowClass);
    } else {
        WNDCLASSA windowClass{CS_HREDRAW | CS_VREDRAW, &TWin32Platform::WindowProc, 0, 4,
                              mInstance, icon, arrow, brush, nullptr, gClassName.c_str()};
        RegisterClassA(&windowClass);
    }

    if (mHostWindow != nullptr && !IsWindow(mHostWindow)) {
        LogPrintf("Error: mExternalWindowParent is lost, exiting!");
        ExitProcess(static_cast<UINT>(-1));
    }

    DWORD exStyle = WS_EX_APPWINDOW;
    DWORD style = WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
    if (mHostWindow != nullptr) {
        exStyle = 0;
        style = WS_CHILD | WS_VISIBLE;
    }
    if (mUnicodeMode) {
        std::u16string className = port::Utf8ToUtf16(gClassName.c_str());
        std::u16string title = port::Utf8ToUtf16("Brisvel");
        mMainWindow = CreateWindowExW(exStyle, reinterpret_cast<const WCHAR*>(className.c_str()),
                                      reinterpret_cast<const WCHAR*>(title.c_str()), style, 0, 0,
                                      480, 360, mHostWindow, nullptr, mInstance, nullptr);
    } else {
        mMainWindow = CreateWindowExA(exStyle, gClassName.c_str(), "Brisvel", style, 0, 0, 480,
                                      360, mHostWindow, nullptr, mInstance, nullptr);
    }

    mHostParent = GetParent(mMainWindow);
    TPlatform::SetConfig("hwnd",
                         str::Format("%d", static_cast<int>(reinterpret_cast<intptr_t>(mMainWindow))));

    if (commandline::HasOption(mCommandLine.c_str(), "--axtest")) {
        RECT client{};
        GetClientRect(mMainWindow, &client);
        SetWindowPos(mMainWindow, nullptr, 0, 0, 960 - (client.right - client.left),
                     720 - (client.bottom - client.top), SWP_NOMOVE | SWP_NOZORDER);
        ShowWindow(mMainWindow, SW_SHOWNORMAL);
    }

    HMENU menu = GetSystemMenu(mMainWindow, FALSE);
    if (menu != nullptr) {
        MENUITEMINFOA item{};
        item.cbSize = sizeof(item);
        item.fMask = MIIM_STATE;
        item.fState = MFS_GRAYED | MFS_DISABLED;
        SetMenuItemInfoA(menu, static_cast<UINT>(SC_SIZE), FALSE, &item);
        for (UINT position = 0; position < 4; ++position) {
            SetMenuItemInfoA(menu, position, TRUE, &item);
        }
    }

    if (mUnicodeMode) {
        SetWindowLongW(mMainWindow, 0, reinterpret_cast<LONG_PTR>(application));
    } else {
        SetWindowLongA(mMainWindow, 0, reinterpret_cast<LONG_PTR>(application));
    }
    SetActiveWindow(mMainWindow);
}

void TWin32Platform::StartWorker() {
    mWorkerStop.store(false);
    mWorker = std::thread([this] { WorkerLoop(); });
    // The worker's priority (time-critical) is accepted and ignored here.
}

void TWin32Platform::WorkerLoop() {
    std::unique_lock<std::mutex> lock(mWorkerMutex);
    while (!mWorkerStop.load()) {
        lock.unlock();
        DWORD wait = WorkerTurn();
        lock.lock();
        mWorkerWake.wait_for(lock, std::chrono::milliseconds(wait),
                             [this] { return mWorkerStop.load(); });
    }
}

DWORD TWin32Platform::WorkerTurn() {
    TPlatformData* display = mDisplay.load();
    TWindowManager* manager = mWindowManager.load();
    if (display == nullptr || !display->IsReady() || manager == nullptr ||
        windowsystemhooks::IsDrawingSuspended(manager)) {
        return kWaitIdle;
    }
    POINT drawn = gCursorDraw.load()(*this);
    return drawn.x != -1 ? kWaitAfterDraw : kWaitIdle;
}

void TWin32Platform::StopWorker() {
    if (!mWorker.joinable()) {
        return;
    }
    {
        std::lock_guard<std::mutex> lock(mWorkerMutex);
        mWorkerStop.store(true);
    }
    mWorkerWake.notify_all();
    mWorker.join();
}

void TWin32Platform::Shutdown() {
    timeEndPeriod(1);
    StopWorker();
    if (mInstanceLock != nullptr) {
        CloseHandle(mInstanceLock);
        mInstanceLock = nullptr;
    }
    if (mMainWindow != nullptr && !(mOwnWindowHost && mMainWindow == mHostWindow) &&
        IsWindow(mMainWindow)) {
        SetWindowLongA(mMainWindow, 0, 0);
        DestroyWindow(mMainWindow);
    }
    mMainWindow = nullptr;
    mTitle = str();
    mVersion = str();
    mBuildTag = str();
}

void TWin32Platform::DeleteAssetManager() {
    mAssetManager.reset();
}

void TWin32Platform::DeleteWindowManager() {
    TWindowManager* manager = mWindowManager.exchange(nullptr);
    windowsystemhooks::DeleteWindowManager(manager);
}

void TWin32Platform::DeleteStringTable() {
    mStringTable.reset();
}

TSoundManager* TWin32Platform::EnsureSoundManager() {
    if (mSoundManager.load() == nullptr) {
        mSoundManager.store(new TSoundManager);
    }
    return mSoundManager.load();
}

void TWin32Platform::DeleteSoundManager() {
    // Out of reach before it goes: its worker may ask for it until the destructor stops it.
    delete mSoundManager.exchange(nullptr);
}

void TWin32Platform::SetVecDraw(std::unique_ptr<TBvMiniVecDraw> draw) {
    mVecDraw = std::move(draw);
}

void TWin32Platform::DeleteVecDraw() {
    mVecDraw.reset();
}

TVecFontCache& TWin32Platform::GetFontCache() {
    if (mFontCache == nullptr) mFontCache = std::make_unique<TVecFontCache>();
    return *mFontCache;
}

void TWin32Platform::SetPlatformData(std::unique_ptr<TPlatformData> display) {
    delete mDisplay.exchange(display.release());
}

void TWin32Platform::DeletePlatformData() {
    // The cursor images' data belongs to the display: they go first.
    mMainWindowState.cursorImage.reset();
    mMainWindowState.systemCursorImage.reset();
    delete mDisplay.exchange(nullptr);
}

void TWin32Platform::SetScale(float x, float y) {
    mScaleX.store(x);
    mScaleY.store(y);
}

void TWin32Platform::ApplySetting(const str& key, const str& value) {
    if (key == settingkey::kVsync) {
        mVerticalSync = value.ToInt() != 0;
    } else if (key == settingkey::kMemoryMax) {
        str note = str::Format("__MEMORYMAX__=%d", value.ToInt());
        SetLogFile(note.c_str());
    } else if (key == settingkey::kViewportScale) {
        mScaleX.store(value.ToFloat());
    }
}
