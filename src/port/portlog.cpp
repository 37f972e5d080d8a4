#include "port/portlog.h"

#include <atomic>
#include <cstdarg>
#include <cstdio>

#include "port/startup.h"

namespace port {
namespace {
std::atomic<LogSink> gSink{nullptr};
}

void Log(const char* format, ...) {
    LogSink sink = gSink.load();
    if (sink == nullptr) return;
    char line[1024];
    va_list args;
    va_start(args, format);
    std::vsnprintf(line, sizeof line, format, args);
    va_end(args);
    sink(line);
}

void SetLogSink(LogSink sink) {
    gSink.store(sink);
}

}  // namespace port
