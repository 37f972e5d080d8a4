// TWindowRef: a weak reference to a window for holders outside the tree (a game window that
// points into another dialog). It reads as null once the window is destroyed, however that
// happens: directly, with its parent, or through the window manager's deferred deletion. Copies
// refer to the same window.
//
// Main thread only, like the windows.
#pragma once

#include <memory>

#include "ui/window.h"

class TWindowRef {
public:
    TWindowRef() = default;
    explicit TWindowRef(TWindow* window) { Reset(window); }

    // The window, or null once it is gone (or when none was given).
    TWindow* Get() const {
        std::shared_ptr<TWindow*> alive = mAlive.lock();
        return alive != nullptr ? *alive : nullptr;
    }
    void Reset(TWindow* window = nullptr) {
        mAlive = window != nullptr ? window->GetSelfRef() : std::weak_ptr<TWindow*>();
    }
    explicit operator bool() const { return Get() != nullptr; }

private:
    std::weak_ptr<TWindow*> mAlive;
};
