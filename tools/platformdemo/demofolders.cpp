#include "demofolders.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace platformdemo {
namespace {

namespace fs = std::filesystem;

void SetUnlessSet(const char* variable, const std::string& folder) {
    const char* value = std::getenv(variable);
    if (value != nullptr && *value != '\0') return;
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    setenv(variable, folder.c_str(), 1);
}

}  // namespace

std::string RunFolder() {
    std::error_code error;
    fs::path program = fs::read_symlink("/proc/self/exe", error);
    fs::path folder = error ? fs::current_path(error) : program.parent_path();
    return (folder / "platformdemo-run").string() + "/";
}

void UseDemoFolders() {
    std::string run = RunFolder();
    SetUnlessSet("UMBRAVA_USER_DATA_DIR", run + "user");
    SetUnlessSet("UMBRAVA_COMMON_DATA_DIR", run + "common");
}

std::string ScreenshotPath(const std::string& name) {
    std::string folder = RunFolder() + "screenshots";
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return folder + "/" + name;
}

}  // namespace platformdemo
