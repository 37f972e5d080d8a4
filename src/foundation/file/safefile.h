// Writing a precious file so that no crash, kill or full disk can leave it half written, and
// keeping a copy of a file before it is replaced. Both work on real paths (see ResolvePath).
//
// The steps ask the port layer's failure injection (port/failinjection.h) under these names, so
// tests can make each one fail: "CreateFileA" (making the temporary file or the backup),
// "WriteFile" (each write), "FlushFileBuffers" (the sync), "MoveFileExA" (the rename over the
// file) and "CopyFileA" (reading the file to back up).
//
// Any thread, for different paths.
#pragma once

#include <cstddef>
#include <string>

#include "foundation/str.h"

// Replaces the file at path with bytes: writes path + ".tmp" in the same folder (making missing
// folders as a write through the file layer does; whatever a cut-off replacement left under that
// name is removed first), checks every write, syncs it, renames it over path and syncs the
// folder, so the file is either the old one or the new one, whole, even after a power cut. The new
// file keeps the old one's permissions; when path is a link, the file it names is replaced and the
// link stays. An existing file that may not be written, and anything there that is not a file, is
// left alone. On any failure the temporary file is removed, the old file is untouched, and false
// comes back with problem telling what failed.
bool ReplaceFileSafely(const str& path, const char* data, size_t size, std::string& problem);

// Copies the file at path to a new file beside it, path + ".bak", or path + ".bak2" up to ".bak99"
// when the earlier names are taken: an earlier backup is never overwritten. Answers the backup's
// path; empty (and problem set) when the copy could not be made (anything but a regular file is
// not copied), in which case no partial backup is left.
str BackupFile(const str& path, std::string& problem);
