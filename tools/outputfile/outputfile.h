// Writing an output file named on a tool's command line. A tool that writes straight over its
// output leaves a damaged file when the write fails half way, and a stream writes into a pipe or
// a device as readily as into a file; this writes a temporary file in the output's folder,
// flushed and synced, then renames it over the output, and only when the output is absent or a
// regular file. Any failure removes the temporary file and leaves the old output as it was, with
// one line in *error: "cannot write <path>: <reason>".
#pragma once

#include <cstddef>
#include <string>

namespace tools {

bool WriteOutputFile(const std::string& path, const char* data, size_t size, std::string* error);

inline bool WriteOutputFile(const std::string& path, const std::string& bytes, std::string* error) {
    return WriteOutputFile(path, bytes.data(), bytes.size(), error);
}

}  // namespace tools
