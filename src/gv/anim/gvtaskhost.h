// Where the timers of visual objects and interpolators run. A timer goes to the task list of the
// modal window that hosts the first scene of its object; when that scene has no host (or the object
// belongs to no scene) it goes to the application object's main task list (TPlatform::AddTask).
//
// The window system sits above gv, so gv never names its classes: a scene keeps its window by
// forward declaration and reaches it through the one hook below, which the window system installs
// (tests install a host of their own). The hook answers a window's modal parent
// (TWindow::GetModalParent) and hands a task to a modal window's task list (TModalWindow::AddTask).
//
// Main thread only.
#pragma once

class GVScene;
class TModalWindow;
class TTask;
class TWindow;

class GVWindowHook {
public:
    virtual ~GVWindowHook() = default;
    // The modal window that owns the window, or null.
    virtual TModalWindow* GetModalParent(TWindow* window) = 0;
    // The modal window's task list takes ownership of the task.
    virtual void AddTask(TModalWindow* host, TTask* task) = 0;
};

// Installs the hook (not owned; null removes it). Scenes ask it when their window is set.
void SetWindowHook(GVWindowHook* hook);
GVWindowHook* GetWindowHook();

// Hands the timer to the task list that runs the scene's objects (scene may be null), which then
// owns it. False when there is none (no host and no application object): the caller keeps the
// task.
bool AddTimerTask(GVScene* scene, TTask* task);
