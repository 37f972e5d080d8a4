// TWindowManager: the window system's manager. So far it holds the window script, which it owns
// (SetScript), the root screen window (SetScreen), and the flags start-up and drawing read: the
// script's UTF-8 mode, redraw needed, drawing suspended and the input lock. It is reachable
// through Get while it exists: native classes find the script state for their bindings through
// it (TWindowManager::Get()->GetScript()).
//
// Made and destroyed on the main thread; at most one exists at a time. The platform's cursor
// worker reads Get, the drawing-suspended flag and the screen's rectangle from its own thread,
// and sets the redraw-needed flag when it cannot draw the cursor: those are atomic or locked.
#pragma once

#include <atomic>
#include <memory>

#include "ui/screen.h"

class TWindowScript;

class TWindowManager {
public:
    TWindowManager();
    ~TWindowManager();
    TWindowManager(const TWindowManager&) = delete;
    TWindowManager& operator=(const TWindowManager&) = delete;

    // The window manager, or null while none exists.
    static TWindowManager* Get();

    // Null until SetScript.
    TWindowScript* GetScript() const { return mScript.get(); }
    // Takes ownership; a previous script is deleted.
    void SetScript(TWindowScript* script);

    // The script's texts are UTF-8 (set when the string table "strings.xml" loaded).
    void SetScriptUtf8(bool on = true) { mScriptUtf8 = on; }
    bool IsScriptUtf8() const { return mScriptUtf8; }

    // The root screen window; null until the first screen set-up. Takes ownership.
    TScreen* GetScreen() const { return mScreen.get(); }
    void SetScreen(TScreen* screen) { mScreen.reset(screen); }

    void SetRedrawNeeded(bool needed) { mRedrawNeeded.store(needed); }
    // The whole window tree is redrawn on the next update.
    void MarkDirty() { mRedrawNeeded.store(true); }
    bool IsRedrawNeeded() const { return mRedrawNeeded.load(); }
    void SetDrawingSuspended(bool suspended) { mDrawingSuspended.store(suspended); }
    bool IsDrawingSuspended() const { return mDrawingSuspended.load(); }
    void SetInputLocked(bool locked) { mInputLocked = locked; }
    bool IsInputLocked() const { return mInputLocked; }

private:
    std::unique_ptr<TWindowScript> mScript;
    std::unique_ptr<TScreen> mScreen;
    bool mScriptUtf8 = false;
    std::atomic<bool> mRedrawNeeded{false};
    std::atomic<bool> mDrawingSuspended{false};
    bool mInputLocked = false;
};
