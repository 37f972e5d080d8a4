// Internal: how the port layer reports what it refuses. The layer sits below the log file, so it
// hands its lines to a sink that the application installs (port/startup.h: SetLogSink); without
// one, lines are dropped.
#pragma once

namespace port {

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace port
