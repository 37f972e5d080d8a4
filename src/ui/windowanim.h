// TWindowAnim: a window's timer, a TAnimTask whose each firing calls the window's OnTimer (false
// ends the task). TWindow::SetTimer makes it in the task manager of the window's modal, on that
// modal's clock, so the timer stands still while the modal is covered. The task manager owns it;
// the window and the task forget each other when either goes (the task then ends at its next
// run).
//
// Main thread only.
#pragma once

#include "foundation/task/animtask.h"

class TWindow;

class TWindowAnim : public TAnimTask {
public:
    TWindowAnim(TWindow* window, TClock* clock) : TAnimTask(clock), mWindow(window) {}
    ~TWindowAnim() override;
    TWindowAnim(const TWindowAnim&) = delete;
    TWindowAnim& operator=(const TWindowAnim&) = delete;

    // The window's OnTimer; false without a window.
    bool Animate() override;
    TWindow* GetWindow() const { return mWindow; }

private:
    friend class TWindow;

    TWindow* mWindow;
};
