// TWin32Platform: the platform object that holds the shell's process-wide resources behind the
// application object (platform.h): the command line, the single-instance lock, the folders, the
// version texts, the display scale and shell flags, the main window, the owned managers (window
// manager, asset manager, sound manager, string table, vector-font drawer, display) and the cursor
// worker thread. It applies the settings that have an effect on the platform.
//
// Made once by Create before the application object, owned by the application object from its
// construction and destroyed by its teardown. Everything runs on the main thread except the
// cursor worker, which the construction starts and StopWorker stops and joins. The worker reads,
// besides the mouse state of the cursor draw: the display pointer and its flags, the window
// manager pointer and its drawing-suspended flag, the active flag and the display scale; all of
// these are atomic. The teardown stops the worker before it deletes anything the worker reads.
#pragma once

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "foundation/random.h"
#include "foundation/str.h"
#include "platform/mainwindowstate.h"
#include "platform/eventpumpstate.h"
#include "port/win32types.h"

class TAssetManager;
class TBvMiniVecDraw;
class TVecFontCache;
class TPlatformData;
class TSoundManager;
class TStringTable;
class TTextureData;
class TWindowManager;
struct MSG;
struct TPlatformEvent;

class TWin32Platform {
public:
    // Draws the software cursor for the worker: answers where it drew, x == -1 when it drew
    // nothing. By default the display's context draws it at the current mouse position; null
    // puts that back (tests put their own).
    using CursorDraw = POINT (*)(TWin32Platform& platform);
    static void SetCursorDraw(CursorDraw draw);

    // Seeds the runtime's generator from the millisecond clock (timeGetTime() * 8627 mod 104729),
    // then makes the object. A second start without severalInstances ends the process (code 0).
    static TWin32Platform* Create(const char* commandLine = "", bool severalInstances = true,
                                  int showCommand = 1, HINSTANCE instance = nullptr);

    TWin32Platform(const char* commandLine = "", bool severalInstances = true,
                   int showCommand = 1, HINSTANCE instance = nullptr);
    ~TWin32Platform();
    TWin32Platform(const TWin32Platform&) = delete;
    TWin32Platform& operator=(const TWin32Platform&) = delete;

    // The platform's reaction to a changed setting, while the application object exists:
    // "vsync" (wait for the vertical blank when presenting), "memorymax" (recorded with the log),
    // "viewportscale" (display scale x). Other keys: nothing.
    void ApplySetting(const str& key, const str& value);

    // The data folders (the user's and the shared one under the publisher's folder and one named
    // after the title, the desktop), unless embedded without hosted mode, when all three stay the
    // program folder; then "-wd=" changes the current directory.
    void SetWorkingDirectory(const str& title);

    // Registers the window class and makes the main window; the window data (index 0) holds
    // application. A lost host window ends the process (code -1).
    void CreateMainWindow(void* application);
    // The main window's procedure (windowproc.cpp). It finds the application object in the
    // window data (index 0); while that is 0 (during creation, after Shutdown) every message
    // that needs it gets the default.
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    // The window became active or inactive: the sound manager is told, and unless the display is
    // full screen and the change is not forced, the active flag changes and an activation event
    // is pending (two changes before the next turn cancel out).
    static void SetActive(HWND window, bool active, bool forced);
    // The application was activated or deactivated (WM_ACTIVATEAPP, moves off and on screen).
    static void OnActivateApp(HWND window, bool active);

    // The event pump (eventpump.cpp): one turn, handling at most one message or doing the idle
    // work, and filling the event.
    void GetEvent(TPlatformEvent& event);
    // Writes all five fields; x and y are cut to 16 bits and sign-extended.
    static void SetEvent(TPlatformEvent& event, int type, int x, int y, int value, int extra);
    // 0 normal, 1 relative; switching to 1 centres the cursor on the root screen window.
    int GetMouseMode() const { return mPump.mouseMode; }
    void SetMouseMode(int mode);
    // Puts the system cursor on the point (window coordinates) of the main window.
    void CentreMouse(POINT point);
    // A press activated the window: starts the focus-click time.
    void NoteFocusClick();
    // While full screen and active: keeps the main window topmost and in front.
    void EnsureTopmost();
    // The flags the window procedure and the display set-up raise for the pump.
    TEventPumpState& GetPumpState() { return mPump; }
    // Forgets the process-wide pump state (the first turn, the pending high surrogate, the
    // off-screen flag), as in a new process; for tests.
    static void ResetProcessEventState();

    // Stops and joins the cursor worker; at once, since a stop wakes it. Safe to call twice.
    void StopWorker();
    // What the platform holds to the end: the clock period, the worker, the lock, the main window
    // (unless it is the host's), the texts.
    void Shutdown();

    // Command line and modes.
    const char* GetCommandLine() const { return mCommandLine.c_str(); }
    int GetShowCommand() const { return mShowCommand; }
    HINSTANCE GetInstanceHandle() const { return mInstance; }
    bool IsEmbedded() const { return mEmbedded; }
    void SetEmbedded(bool embedded) { mEmbedded = embedded; }
    bool IsOwnWindowHost() const { return mOwnWindowHost; }
    void SetOwnWindowHost(bool own) { mOwnWindowHost = own; }
    // "-pq=" anywhere in the command line.
    bool IsHostedMode() const;
    bool IsUnicodeMode() const { return mUnicodeMode; }

    // Windows.
    HWND GetMainWindow() const { return mMainWindow; }
    HWND GetHostWindow() const { return mHostWindow; }
    void SetHostWindow(HWND host) { mHostWindow = host; }
    HWND GetHostParent() const { return mHostParent; }

    // Folders and names ("/" separated; the program folder ends with "/").
    const str& GetProgramPath() const { return mProgramPath; }
    const str& GetProgramFolder() const { return mProgramFolder; }
    const str& GetStartupDirectory() const { return mStartupDirectory; }
    const str& GetUserDataFolder() const { return mUserDataFolder; }
    const str& GetCommonDataFolder() const { return mCommonDataFolder; }
    const str& GetDesktopFolder() const { return mDesktopFolder; }
    const str& GetAssetPath() const { return mAssetPath; }
    const str& GetInstanceName() const { return mInstanceName; }
    // The main window's class name, kept process-wide.
    static str GetClassName();

    // Texts of the version data.
    const str& GetTitle() const { return mTitle; }
    const str& GetVersion() const { return mVersion; }
    const str& GetBuildTag() const { return mBuildTag; }
    // SetConfig("buildtag", the build tag).
    void PublishBuildTag();

    DWORD GetStartTime() const { return mStartTime; }
    // The platform's MT19937 generator (the application object seeds it).
    TRandom& GetRandom() { return mRandom; }

    // The main window's services (screensetup.cpp, mainwindowservices.cpp). SetScreenSize sizes
    // the display for the game's width and height: hosted, the full-screen wish goes to the host
    // and the display stays windowed; embedded, the display scale is the host's client width over
    // the width and the display is windowed; the first call makes the font drawer; every call
    // calibrates and starts the quarter-second window timer (id 0).
    void SetScreenSize(int width, int height, bool fullscreen);
    // Stores the hosted full-screen wish and sends it to the host parent (WM_USER, wParam 1 or 0).
    void SendHostFullscreen(bool fullscreen);
    // Answers the embedded flag; scale gets the display scale x.
    bool GetEmbeddedScale(float* scale) const;
    // A new texture data object from the display (the in-memory kind without one); the texture
    // data hook points here once the display exists.
    std::unique_ptr<TTextureData> CreateTextureData();
    void SetCursorVisible(bool visible) { mCursorShown = visible; }
    TMainWindowState& GetMainWindowState() { return mMainWindowState; }
    const TMainWindowState& GetMainWindowState() const { return mMainWindowState; }

    // Owned objects.
    TAssetManager* GetAssetManager() const { return mAssetManager.get(); }
    // The teardown deletes each of these in its own place.
    void DeleteAssetManager();
    TWindowManager* GetWindowManager() const { return mWindowManager.load(); }
    void DeleteWindowManager();
    TStringTable* GetStringTable() const { return mStringTable.get(); }
    void DeleteStringTable();
    // Atomic: the sound worker reads it to take the sound lock.
    TSoundManager* GetSoundManager() const { return mSoundManager.load(); }
    // Makes the sound manager when there is none; answers it.
    TSoundManager* EnsureSoundManager();
    void DeleteSoundManager();
    TBvMiniVecDraw* GetVecDraw() const { return mVecDraw.get(); }
    void SetVecDraw(std::unique_ptr<TBvMiniVecDraw> draw);
    void DeleteVecDraw();
    // The text layout's fonts by name (font/fontcache.h), made on first use; emptied by the
    // teardown.
    TVecFontCache& GetFontCache();
    // The display; null until the screen set-up makes it. The teardown deletes it with the
    // renderer.
    TPlatformData* GetPlatformData() const { return mDisplay.load(); }
    void SetPlatformData(std::unique_ptr<TPlatformData> display);
    void DeletePlatformData();
    // The display exists and is not marked broken (displayusable.cpp).
    bool IsDisplayReady() const;

    // Display scale: game coordinates to window pixels (a render target sets 1 and restores it).
    float GetScaleX() const { return mScaleX.load(); }
    float GetScaleY() const { return mScaleY.load(); }
    void SetScale(float x, float y);
    // The display takes this wish when it is made and after every change.
    bool GetVerticalSync() const { return mVerticalSync; }
    // Whether the main window is active (the event pump keeps it).
    bool IsActive() const { return mActive.load(); }
    void SetActive(bool active) { mActive.store(active); }
    // Whether the cursor is to be seen (the display applies it with the Windows cursor).
    bool IsCursorVisible() const { return mCursorShown; }

    // One turn of the worker: draws the cursor when there is something to draw, and answers how
    // long to wait before the next turn (16 ms after a draw, else 250 ms).
    DWORD WorkerTurn();

private:
    void ReadFolders();
    void TakeInstanceLock(bool severalInstances);
    void ReadVersionData();
    void StartWorker();
    void WorkerLoop();

    // The event pump's parts (eventpump.cpp, windowproc.cpp).
    void TranslateToEvent(const MSG& msg, TPlatformEvent& event);
    void TranslateKeyDown(const MSG& msg, TPlatformEvent& event);
    void TranslateChar(const MSG& msg, TPlatformEvent& event);
    void TranslateMouseMove(TPlatformEvent& event);
    void TranslateButton(const MSG& msg, TPlatformEvent& event);
    // The display's current mouse position (game coordinates).
    POINT CurrentMousePosition();
    static void ResetOffScreenFlag();

    str mCommandLine;
    int mShowCommand;
    HINSTANCE mInstance;
    bool mEmbedded = false;
    bool mOwnWindowHost = false;
    bool mUnicodeMode = false;
    std::atomic<float> mScaleX{1.0f};
    std::atomic<float> mScaleY{1.0f};
    bool mCursorShown = true;
    std::atomic<bool> mActive{true};
    bool mVerticalSync = false;
    int mScreenWidth = 0;
    int mScreenHeight = 0;
    TMainWindowState mMainWindowState;

    str mProgramPath;
    str mProgramFolder;
    str mSystemFolder;
    str mStartupDirectory;
    str mUserDataFolder;
    str mCommonDataFolder;
    str mDesktopFolder;
    str mAssetPath;
    str mInstanceName;
    DWORD mStartTime = 0;
    TRandom mRandom;

    str mTitle;
    str mVersion;
    str mBuildTag;

    HANDLE mInstanceLock = nullptr;
    HWND mMainWindow = nullptr;
    HWND mHostWindow = nullptr;
    HWND mHostParent = nullptr;

    std::atomic<TWindowManager*> mWindowManager{nullptr};
    std::unique_ptr<TAssetManager> mAssetManager;
    std::unique_ptr<TStringTable> mStringTable;
    std::atomic<TSoundManager*> mSoundManager{nullptr};
    std::unique_ptr<TBvMiniVecDraw> mVecDraw;
    std::unique_ptr<TVecFontCache> mFontCache;
    std::atomic<TPlatformData*> mDisplay{nullptr};

    TEventPumpState mPump;

    // The cursor worker. The stop flag belongs to the object; the wait is on the condition so that
    // a stop wakes the worker at once.
    std::thread mWorker;
    std::mutex mWorkerMutex;
    std::condition_variable mWorkerWake;
    std::atomic<bool> mWorkerStop{false};
};
