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
#include "port/win32types.h"

class TAssetManager;
class TBvMiniVecDraw;
class TPlatformData;
class TSoundManager;
class TStringTable;
class TWindowManager;

class TWin32Platform {
public:
    // Draws the software cursor for the worker: answers where it drew, x == -1 when it drew
    // nothing. The cursor's own draw replaces the stand-in, which draws nothing.
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
    // Answers every message with the default until the event pump fills it in.
    static LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

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

    // Owned objects.
    TAssetManager* GetAssetManager() const { return mAssetManager.get(); }
    // The teardown deletes each of these in its own place.
    void DeleteAssetManager();
    TWindowManager* GetWindowManager() const { return mWindowManager.load(); }
    void DeleteWindowManager();
    TStringTable* GetStringTable() const { return mStringTable.get(); }
    void DeleteStringTable();
    TSoundManager* GetSoundManager() const { return mSoundManager.get(); }
    // Makes the sound manager when there is none; answers it.
    TSoundManager* EnsureSoundManager();
    void DeleteSoundManager();
    TBvMiniVecDraw* GetVecDraw() const { return mVecDraw.get(); }
    void SetVecDraw(std::unique_ptr<TBvMiniVecDraw> draw);
    void DeleteVecDraw();
    // The display; null until the screen set-up makes it. The teardown deletes it with the
    // renderer.
    TPlatformData* GetPlatformData() const { return mDisplay.load(); }
    void SetPlatformData(std::unique_ptr<TPlatformData> display);
    void DeletePlatformData();

    // Display scale: game coordinates to window pixels (a render target sets 1 and restores it).
    float GetScaleX() const { return mScaleX.load(); }
    float GetScaleY() const { return mScaleY.load(); }
    void SetScale(float x, float y);
    // The display takes this wish when it is made and after every change.
    bool GetVerticalSync() const { return mVerticalSync; }
    // Whether the main window is active (the event pump keeps it).
    bool IsActive() const { return mActive.load(); }
    void SetActive(bool active) { mActive.store(active); }

    // One turn of the worker: draws the cursor when there is something to draw, and answers how
    // long to wait before the next turn (16 ms after a draw, else 250 ms).
    DWORD WorkerTurn();

private:
    void ReadFolders();
    void TakeInstanceLock(bool severalInstances);
    void ReadVersionData();
    void StartWorker();
    void WorkerLoop();

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
    std::unique_ptr<TSoundManager> mSoundManager;
    std::unique_ptr<TBvMiniVecDraw> mVecDraw;
    std::atomic<TPlatformData*> mDisplay{nullptr};

    // The cursor worker. The stop flag belongs to the object; the wait is on the condition so that
    // a stop wakes the worker at once.
    std::thread mWorker;
    std::mutex mWorkerMutex;
    std::condition_variable mWorkerWake;
    std::atomic<bool> mWorkerStop{false};
};
