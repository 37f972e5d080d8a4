// platformdemo: the platform's display pieces together on a real desktop. It chooses the window
// system's backend as the game does (UMBRAVA_BACKEND, "sdl" by default; with no display it
// prints the backend's one line and exits 1), keeps its log and data folders in a folder of its
// own beside the program, and runs the framework's main routine with the demo's game main:
// interactive by default, the scripted tour with "--tour" (demogame.h, demotour.h). Every other
// argument goes on to the framework's command line.
#include <cstring>
#include <string>
#include <vector>

#include "demofolders.h"
#include "demogame.h"
#include "online/onlineservices.h"
#include "platform/commandline.h"
#include "platform/frameworkmain.h"
#include "port/startup.h"
#include "port/system/showcommand.h"
#include "ui/windowsystem.h"

int main(int argc, char** argv) {
    RegisterOnlineServices();
    RegisterWindowSystem();
    if (!port::SelectBackendFromEnvironment("sdl")) {
        return 1;
    }
    std::vector<std::string> arguments;
    bool tour = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--tour") == 0) {
            tour = true;
        } else {
            arguments.emplace_back(argv[i]);
        }
    }
    // Beside another copy of the demo or of the game.
    arguments.emplace_back("--multiple");
    platformdemo::UseDemoFolders();
    platformdemo::SetTourMode(tour);

    std::string commandLine = commandline::JoinArguments(arguments);
    FrameworkMain(nullptr, nullptr, commandLine.c_str(), SW_SHOWNORMAL, &platformdemo::DemoMain,
                  false);
    return platformdemo::ExitCode();
}
