// The smoke program's window: one top-level window of a class of its own, made and shown
// through the port layer, whose procedure keeps every message it sees (and prints it, when asked)
// and which ends the program when it is closed, unless the checks hold it open.
//
// Everything runs on the main thread, the one that runs the windows.
#pragma once

#include <functional>
#include <vector>

#include "port/win32types.h"

namespace smoke {

struct Seen {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

// The window's client area: its size, and its place on the screen.
constexpr int kClientWidth = 640;
constexpr int kClientHeight = 480;
constexpr int kClientX = 100;
constexpr int kClientY = 100;

constexpr char kTitle[] = "Umbrava smoke";

struct SmokeOptions {
    bool print = false;         // each message on the standard output
    bool keepOpen = false;      // WM_CLOSE is only recorded: the window stays
    bool lockSize = false;      // WM_WINDOWPOSCHANGING puts back the window's own size
    bool captureDrags = false;  // the capture is set on a left press, released on its release
};

// Registers the class (without a cursor: the pointer is hidden over the client area) and makes
// and shows the window; null on failure.
HWND OpenSmokeWindow(const SmokeOptions& options);
SmokeOptions& Options();

std::vector<Seen>& SeenMessages();
// Takes the queue's messages, translating and dispatching each, until done answers true or the
// time is up (milliseconds); answers done's last answer. WM_QUIT taken is noted.
bool PumpUntil(const std::function<bool()>& done, int milliseconds);
void PumpFor(int milliseconds);
bool QuitTaken();

// A message's name for the printout ("WM_KEYDOWN"), or its number.
const char* MessageName(UINT message);

}  // namespace smoke
