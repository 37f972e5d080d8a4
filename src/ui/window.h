// TWindow: a window of the window system. So far it holds its name and its rectangle in game
// coordinates, and sizes itself (SetSize keeps the left and top and asks for a redraw); the
// window tree, drawing and messages come with the window system itself. The rectangle is read
// and written under the window's own lock, because the platform's cursor worker reads the root
// screen window's rectangle from its own thread.
//
// Windows are made and changed on the main thread.
#pragma once

#include <mutex>

#include "foundation/str.h"

class TWindow {
public:
    struct TBounds {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    explicit TWindow(const str& name = str()) : mName(name) {}
    virtual ~TWindow() = default;
    TWindow(const TWindow&) = delete;
    TWindow& operator=(const TWindow&) = delete;

    const str& GetName() const { return mName; }

    TBounds GetRect() const {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRect;
    }
    void SetRect(const TBounds& rect) {
        std::lock_guard<std::mutex> lock(mMutex);
        mRect = rect;
    }
    // Keeps the left and top; the window manager redraws everything next time.
    void SetSize(int width, int height);

private:
    str mName;
    mutable std::mutex mMutex;
    TBounds mRect;
};
