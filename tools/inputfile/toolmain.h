// A tool's main around its work: whatever the work throws (memory above all, when an input or an
// output is held whole) ends in one line on the error stream and the exit status 1, never an
// abort. The line is prefix, ": " and the reason ("not enough memory" for a failed allocation).
#pragma once

#include <cstdio>
#include <exception>
#include <new>
#include <string>

namespace tools {

template <typename Work>
int RunReportingThrows(const std::string& prefix, Work work) {
    try {
        return work();
    } catch (const std::exception& e) {
        std::fflush(stdout);
        const bool memory = dynamic_cast<const std::bad_alloc*>(&e) != nullptr;
        std::fprintf(stderr, "%s: %s\n", prefix.c_str(), memory ? "not enough memory" : e.what());
        return 1;
    }
}

}  // namespace tools
