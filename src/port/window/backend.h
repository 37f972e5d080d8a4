// Internal: the backend of the window system. The window model (windows, the message queue,
// input state, the clipboard, message boxes) lives in memory in the port layer; a backend
// connects it to the outside world:
//   - "headless" (headless/): nothing outside. Input comes from the control plane, boxes are
//     only recorded, the clipboard is the model's own, waits follow the fake clock.
//   - "sdl" (sdl/): a real SDL window stands for the program's main window; SDL events are
//     delivered into the model (port/window/events.h), boxes are shown, the clipboard is the
//     system's.
// One backend is chosen by name at start-up (port/startup.h: SelectWindowBackend);
// headless until then. The model calls the backend without holding any of its locks, on the
// thread that runs the windows, except where noted.
#pragma once

#include <memory>
#include <string>

#include "port/win32types.h"

namespace port {

struct MessageBoxRecord;

class WindowBackend {
public:
    virtual ~WindowBackend() = default;
    virtual const char* Name() const = 0;

    // Brings outside events into the model (called at the start of every PeekMessage).
    virtual void PumpEvents() {}
    // The idle wait: returns after at most milliseconds, earlier when outside input arrives.
    virtual void WaitEvents(DWORD milliseconds) = 0;

    // A top-level window of the program was created, changed (geometry, visibility, minimised
    // state, title, z-order) or destroyed.
    virtual void WindowChanged(HWND) {}
    virtual void WindowDestroyed(HWND) {}

    // What the pointer shows over the program's client areas: the cursor image (null: none)
    // and whether the cursor is shown at all.
    virtual void CursorChanged(HCURSOR, bool) {}
    // The program moved the pointer (SetCursorPos), in screen coordinates.
    virtual void CursorMoved(POINT) {}

    // Shows a box; answers the button pressed (IDOK, IDYES...). Any thread may call it.
    virtual int ShowMessageBox(const MessageBoxRecord& box) = 0;

    // The program put text on the clipboard (UTF-8).
    virtual void ClipboardWritten(const std::string&) {}
    // Reads the outside clipboard: true with its text (empty text: none) when the backend has
    // one; false leaves the model's own.
    virtual bool ReadClipboard(bool* hasText, std::string* text) {
        (void)hasText;
        (void)text;
        return false;
    }
};

// The current backend.
WindowBackend& Backend();
// The answer a test or the environment asked for when the box has that button, else the box's
// first button (IDOK for MB_OK).
int ConfiguredMessageBoxAnswer(UINT flags);
// On: every box answers ConfiguredMessageBoxAnswer without reaching the backend (unattended
// runs, port/startup.h). Reset by the control plane's reset.
void AnswerMessageBoxesUnattended(bool on);
std::unique_ptr<WindowBackend> MakeHeadlessBackend();
// Null when SDL's video cannot start.
std::unique_ptr<WindowBackend> MakeSdlBackend();

}  // namespace port
