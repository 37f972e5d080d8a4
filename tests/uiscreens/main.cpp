// ui_screens --scene NAME: one scene of the window system, drawn by the window manager on the SDL
// backend and checked at named pixels of a grab from the X server (README.md). The data folders
// and the log go into "ui_screens-run/" beside the program.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>

#include "platform/frameworkmain.h"
#include "port/startup.h"
#include "port/system/showcommand.h"
#include "scenes.h"
#include "screensgame.h"
#include "ui/windowsystem.h"

namespace {

int Usage(const char* program) {
    std::fprintf(stderr, "usage: %s --scene NAME\nscenes:", program);
    for (const std::string& name : uiscreens::SceneNames())
        std::fprintf(stderr, " %s", name.c_str());
    std::fprintf(stderr, "\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || std::strcmp(argv[1], "--scene") != 0) return Usage(argv[0]);
    const uiscreens::Scene* scene = uiscreens::FindScene(argv[2]);
    if (scene == nullptr) return Usage(argv[0]);

    RegisterWindowSystem();
    // The choice says itself, in one line, why it refuses.
    if (!port::SelectBackendFromEnvironment("sdl")) return 1;
    for (const char* folder : {"user", "common"}) {
        std::string path = uiscreens::RunFolder() + folder;
        std::error_code ignored;
        std::filesystem::create_directories(path, ignored);
        setenv(
            std::strcmp(folder, "user") == 0 ? "UMBRAVA_USER_DATA_DIR" : "UMBRAVA_COMMON_DATA_DIR",
            path.c_str(), 1);
    }
    uiscreens::SetScene(scene);
    FrameworkMain(nullptr, nullptr, "--multiple", SW_SHOWNORMAL, &uiscreens::ScreensMain, false);
    return uiscreens::ExitCode();
}
