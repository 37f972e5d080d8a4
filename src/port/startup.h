// What the program's start-up sets in the port layer: the backend that connects the window
// system to the outside, and where the lines the layer logs go. Call these on the main thread
// before the first window is made; tests use them too.
#pragma once

namespace port {

// Chooses the window system's backend by name: "headless" (the default) or "sdl". False, with
// the backend unchanged, for an unknown name or a backend that cannot start.
bool SelectWindowBackend(const char* name);
const char* WindowBackendName();

// Receives the lines the port layer logs; null (the default) drops them. The layer sits below
// the log file, so the application installs a sink that writes to it.
using LogSink = void (*)(const char* line);
void SetLogSink(LogSink sink);

}  // namespace port
