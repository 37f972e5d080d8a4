// Reading an input file named on a tool's command line. A stream opens a folder, a device or a
// pipe without complaint on Linux and then throws or reads without end; this reads only regular
// files, and only up to a limit the caller knows for its format, so that every bad input ends in
// one line: "cannot read <path>: <reason>".
#pragma once

#include <cstdint>
#include <string>

namespace tools {

// The largest file the program itself reads whole: its file layer counts sizes in a signed 32-bit
// number. The limit for inputs of formats that set none of their own.
constexpr uint64_t kLargestProgramFile = 0x7FFFFFFF;

// Reads the whole of the regular file at path into *bytes. False, with "cannot read <path>:
// <reason>" in *error, when the file cannot be opened, is a folder or anything but a regular
// file, holds more than limit bytes (told from its size before a byte is read), or a read fails.
bool ReadInputFile(const std::string& path, uint64_t limit, std::string* bytes, std::string* error);

}  // namespace tools
