// The lines the port layer logs, kept for a test: install KeepLine as the log sink
// (port/startup.h: SetLogSink); the port layer's reset around each test removes it again.
#pragma once

#include <string>
#include <vector>

namespace port_testing {

inline std::vector<std::string>& LoggedLines() {
    static std::vector<std::string> lines;
    return lines;
}

inline void KeepLine(const char* line) {
    LoggedLines().push_back(line);
}

}  // namespace port_testing
