// TPlatform: the application object, the one object through which every other subsystem reaches
// the shell. There is at most one: GetInstance answers it from its construction until its
// teardown, null before and after. It owns the platform object (win32platform.h) and through it
// the asset manager, and while it exists the application clock (GetTimer) is the clock of tasks
// and clocks (foundation/task/apptime.h) and its asset manager is GetAssetManager's answer.
//
// Its construction writes the start-up settings, makes the window script, reads
// "::assets/settings.xml", sets the data roots, loads the asset manifest and the string tables and
// publishes the version texts. The teardown first stops the platform's cursor worker, then deletes
// the window manager, the sound manager, the vector-font drawer, the renderer with the display,
// the game state, the string table and the asset manager, shuts the platform object down, empties
// the settings store and clears the file index.
//
// The main task list belongs to it too: tasks handed to AddTask are owned by the list, which the
// event pump turns with UpdateTasks; the tasks still in it are deleted first in the teardown.
//
// The settings store is not part of it: it is the process-wide TSettingsMap, and the settings
// operations here are static, usable before the application object exists and after it is gone.
// SetConfig stores, then applies the side effects: "encryptionkey" and "cheatcode" evaluate the
// cheat mode; "legacylinewrap", whatever its value, switches the legacy line-wrap mode on for the
// rest of the process; and while the application object exists the platform applies "vsync",
// "memorymax" and "viewportscale". The teardown empties the store.
//
// The application object is made and destroyed on the main thread. The settings operations may
// be called from any thread (the store has its own lock); side effects run on the caller's thread.
#pragma once

#include <cstdint>
#include <memory>

#include "foundation/str.h"
#include "foundation/task/taskmanager.h"
#include "port/win32types.h"

class TAssetManager;
struct TPlatformEvent;
class TSoundManager;
class TStringTable;
class TTask;
class TTexture;
class TWin32Platform;
class TWindowManager;

class TPlatform {
public:
    // Takes ownership of the platform object (null: one is made, allowing several instances).
    explicit TPlatform(TWin32Platform* platform = nullptr);
    ~TPlatform();
    TPlatform(const TPlatform&) = delete;
    TPlatform& operator=(const TPlatform&) = delete;

    static TPlatform* GetInstance();

    // Application milliseconds: the system's millisecond counter less the application object's
    // start time (0 without one) and less the time a portal host held the game paused. 32 bits,
    // wrapping.
    static DWORD GetTimer();

    TAssetManager* GetAssetManager() const;
    TWin32Platform* GetPlatform() const { return mPlatform.get(); }
    TWindowManager* GetWindowManager() const;
    TStringTable* GetStringTable() const;
    // Null until CreateSoundManager or InitSound.
    TSoundManager* GetSoundManager() const;
    TTaskManager* GetTaskList() { return &mTasks; }

    // Makes the sound manager on the first call; every call starts its thread.
    void CreateSoundManager();
    // Makes the sound manager when there is none; answers whether its thread runs.
    bool InitSound();
    // Registers the window class and makes the main window (window data index 0: this object).
    void CreateMainWindow();

    // One turn of the event pump: fills the event (platformevent.h).
    void GetEvent(TPlatformEvent& event);
    // 0 normal, 1 relative (mouse moves come as deltas from the centre of the screen).
    int GetMouseMode() const;
    void SetMouseMode(int mode);

    // Full screen: the display's flag (false without a display); SetFullscreen answers the
    // display's switch (false without a display).
    bool IsFullscreen() const;
    bool SetFullscreen(bool fullscreen);

    // The next number of the platform's MT19937 generator.
    uint32_t Random();
    str GetTitle() const;
    str GetVersion() const;
    static void Sleep(DWORD milliseconds);
    // Posts the quit message with the code.
    static void Quit(int code);
    // Video memory ran out: the display goes to its low-memory video mode (nothing without a
    // display). Every DirectX path that sees DDERR_OUTOFVIDEOMEMORY calls it.
    static void OutOfVideoMemory();

    // The main task list: AddTask takes ownership; RemoveTask gives the task back and answers
    // whether it was there; UpdateTasks runs the ready tasks (mode 0).
    void AddTask(TTask* task) { mTasks.AddTask(task); }
    bool RemoveTask(TTask* task) { return mTasks.RemoveTask(task); }
    void UpdateTasks() { mTasks.Update(0); }

    // The listeners, run once each time the display has been restored: the same on a task list of
    // their own.
    void AddListener(TTask* task) { mListeners.AddTask(task); }
    bool RemoveListener(TTask* task) { return mListeners.RemoveTask(task); }
    // Runs the listeners once (the display's RestoreAssets does, after a restore).
    void RunListeners() { mListeners.Update(0); }

    // The main window's services (screensetup.cpp, mainwindowservices.cpp, clipboardtext.cpp).
    // In hosted mode ("-pq=") IsFullscreen answers the full-screen wish told to the host and
    // SetFullscreen tells the host, keeps the display windowed and answers true.
    //
    // The root screen window is made on the first call; the window and display are sized (see
    // TWin32Platform::SetScreenSize); the renderer's viewport stack goes back to its base and
    // (0, 0, width, height) is pushed.
    void SetupScreen(int width, int height, bool fullscreen);
    // The text is UTF-8 in Unicode mode (the W title); otherwise its bytes go to the A title.
    void SetWindowTitle(const str& text);
    // The foreground window is the main window, or in hosted mode one of its ancestors.
    bool IsActive() const;
    // Opens a link: hosted with the full-screen wish, the host's top window is minimised first;
    // embedded, through the "-host=" program (or the system's opener for "iexplore.exe").
    void OpenURL(const str& url);
    // Puts the text on the clipboard as CF_TEXT, its bytes unchanged; false when it could not.
    bool StringToClipboard(const str& text);
    // The clipboard's text ("" without one); in Unicode mode the Unicode text as UTF-8.
    str GetClipboardText();
    // Shows or hides the software cursor through the display, only on a change.
    void ShowCursor(bool shown);
    // Not forced: stores the image and hot spot, and unless the cursor is hidden shows it (the
    // built-in system cursor for an empty texture). Forced: shows the texture at once, storing
    // nothing. The Windows class cursor is removed.
    void SetCursorImage(const std::shared_ptr<TTexture>& texture, int hotX, int hotY, bool force);
    // Moves the system cursor to the point in game coordinates.
    void SetMousePos(int x, int y);
    // Registers the built-in "__systemcursor__.png" as a memory file when no such file exists.
    static void EnsureSystemCursorImage();
    // Whether the display has finished its last present.
    bool IsReadyToDraw() const;
    // The display exists and its cooperative-level test answers DD_OK (displayusable.cpp).
    bool IsDisplayUsable() const;

    static void SetConfig(const str& key, const str& value);
    // The stored value, or fallback for an absent key (which stays absent).
    static str GetConfig(const str& key, const str& fallback);
    // With "cheatcode" and "encryptionkey" both set: "cheatmode" becomes "1" when the cheat code,
    // base64 text enciphered with the encryption key, deciphers to the (non-empty) "computerid",
    // else "0". Otherwise nothing changes.
    static void UpdateCheatMode();

private:
    void LoadSettingsFile();
    void LoadStringTables();

    // Declared first so that it is destroyed last.
    TTaskManager mListeners;
    std::unique_ptr<TWin32Platform> mPlatform;
    TTaskManager mTasks;
};

// Whether the setting, read as a decimal integer, is non-zero (empty, absent and non-numbers are
// not).
bool IsEnabled(const str& key);

// Whether "legacylinewrap" has ever been set in this process (read by text layout).
bool IsLegacyLineWrap();
