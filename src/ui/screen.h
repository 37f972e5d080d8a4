// TScreen: the root screen window "_screen_", the bottom modal under every other window. The first
// screen set-up makes it and installs it (TWindowManager::SetScreen), which pushes it on the modal
// stack, from then on its owner; it is never popped until the window manager goes. It is opaque
// and may be drawn in pass 1 (kOpaque, kDrawInPass1), on top of the modal's flags.
//
// Drawing clears the display to the clear colour (transparent black by default) while the screen
// is the top modal, or always with always-clear, never with no-clear; then the window manager's
// overlay texture, when there is one, is copied to the top-left corner. The game sets the
// background colour.
//
// Made and drawn on the main thread; the software cursor's draw reads its rectangle from the
// platform's cursor worker (under the window's lock).
#pragma once

#include "math/vec4.h"
#include "ui/modalwindow.h"

class TScreen : public TModalWindow {
public:
    TScreen();

    const char* GetClassName() const override { return "TScreen"; }
    bool IsKindOf(TClassId id) const override {
        return id == TypeId() || TModalWindow::IsKindOf(id);
    }
    static TClassId TypeId() { return &SelfClassId<TScreen>; }

    void Draw() override;

    void SetAlwaysClear(bool on) { mAlwaysClear = on; }
    bool IsAlwaysClear() const { return mAlwaysClear; }
    void SetNoClear(bool on) { mNoClear = on; }
    bool IsNoClear() const { return mNoClear; }
    // Red, green, blue, alpha from 0 to 1.
    void SetClearColor(const TVec4& colour) { mClearColor = colour; }
    const TVec4& GetClearColor() const { return mClearColor; }

private:
    bool mAlwaysClear = false;
    bool mNoClear = false;
    TVec4 mClearColor{0.0f, 0.0f, 0.0f, 0.0f};
};
