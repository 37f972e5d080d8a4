// Where a run of the demo keeps what it writes: a folder "platformdemo-run" beside the program
// (in the build tree), holding the user and common data folders (log file and the demo's data)
// and the screenshots. Nothing goes into the user's home.
//
// Main thread, before the framework starts.
#pragma once

#include <string>

namespace platformdemo {

// The run folder, with a trailing "/".
std::string RunFolder();
// Points UMBRAVA_USER_DATA_DIR and UMBRAVA_COMMON_DATA_DIR into the run folder, each unless the
// caller set it, and makes the folders.
void UseDemoFolders();
// A screenshot's path in the run folder: "<run folder>screenshots/<name>".
std::string ScreenshotPath(const std::string& name);

}  // namespace platformdemo
