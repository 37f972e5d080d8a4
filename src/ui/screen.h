// TScreen: the root screen window, the window under every other one. So far it holds its
// rectangle, which the screen set-up sizes and the software cursor's draw reads from the platform's
// cursor worker; the rectangle is read and written under the screen's own lock.
//
// Owned by the window manager; made on the main thread.
#pragma once

#include <mutex>

class TScreen {
public:
    struct TBounds {
        int left = 0;
        int top = 0;
        int right = 0;
        int bottom = 0;
    };

    TScreen() = default;
    TScreen(const TScreen&) = delete;
    TScreen& operator=(const TScreen&) = delete;

    TBounds GetRect() const {
        std::lock_guard<std::mutex> lock(mMutex);
        return mRect;
    }
    void SetRect(const TBounds& rect) {
        std::lock_guard<std::mutex> lock(mMutex);
        mRect = rect;
    }

private:
    mutable std::mutex mMutex;
    TBounds mRect;
};
