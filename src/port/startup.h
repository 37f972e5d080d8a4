// What the program's start-up sets in the port layer: the backend that connects the window
// system to the outside, and where the lines the layer logs go. Call these on the main thread
// before the first window is made; tests use them too.
#pragma once

namespace port {

// Chooses the window system's backend by name: "headless" (the default) or "sdl". False, with
// the backend unchanged, for an unknown name or a backend that cannot start.
bool SelectWindowBackend(const char* name);
const char* WindowBackendName();

// The backend a program asks for in its environment, for programs that run on the real desktop
// (test programs stay on headless unless they call it). UMBRAVA_BACKEND names the backend
// ("headless" or "sdl"; unset: defaultName). UMBRAVA_MESSAGE_BOXES, when set, names the button
// every message box answers (ok, cancel, abort, retry, ignore, yes, no; case ignored) without
// being shown, on either backend, so that unattended runs never wait on a box; unset, headless
// boxes answer their first button and sdl boxes are shown. On failure (an unknown name, or sdl
// with no display) it writes one line on the standard error stream saying what to do, and
// answers false: the program then exits with a non-zero status.
bool SelectBackendFromEnvironment(const char* defaultName);

// Receives the lines the port layer logs; null (the default) drops them. The layer sits below
// the log file, so the application installs a sink that writes to it.
using LogSink = void (*)(const char* line);
void SetLogSink(LogSink sink);

}  // namespace port
