// The control plane of other programs: foreign windows (a host, a window in front), what the
// program sent them, the message boxes it showed and the clipboard as others see it.
#pragma once

#include <string>
#include <vector>

#include "port/win32types.h"

namespace port::control {

// A window of another program. Its rectangle is its client area (it has no frame), in its
// parent's client coordinates or on the screen. A foreign window is never found by FindWindowA,
// never receives the system's messages, and records what the program sends or posts it; that
// includes what the default window procedure of a child passes on to its parent (WM_SETCURSOR,
// WM_MOUSEACTIVATE, WM_MOUSEWHEEL, Alt+F4's WM_SYSCOMMAND), as on Windows.
struct ForeignWindowSpec {
    HWND parent = nullptr;
    std::string className = "ForeignWindow";
    std::string title;
    RECT rect{0, 0, 640, 480};
    bool visible = true;
    bool topmost = false;
};
HWND CreateForeignWindow(const ForeignWindowSpec& spec);
// Destroys it and everything inside it; the program's windows inside receive WM_DESTROY.
bool DestroyForeignWindow(HWND window);
// Puts a top-level window first in the z-order of its group, without activating it.
void RaiseWindow(HWND window);

struct RecordedMessage {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool sent;  // SendMessage; else PostMessage
};
std::vector<RecordedMessage> ForeignMessages(HWND window);
void ClearForeignMessages(HWND window);

struct MessageBoxRecord {
    HWND owner;
    std::string text;
    std::string caption;
    UINT flags;
};
std::vector<MessageBoxRecord> MessageBoxes();
void ClearMessageBoxes();
// The answer of the next boxes in headless; 0 for each box's first button.
void SetMessageBoxAnswer(int answer);

// The clipboard, as another program puts or reads it (UTF-8).
void SetClipboardText(const std::string& utf8);
void ClearClipboard();
// False when the clipboard holds no text.
bool ClipboardText(std::string* utf8);

}  // namespace port::control
