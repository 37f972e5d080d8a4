// The program's entry: installs the upper layers' answers for the layers below, chooses the window
// system's backend from the environment, turns the arguments into the command line (the program's
// own name is not part of it) and runs the framework's main routine with the game's main function,
// then ends with the status the game's main function left.
#include <string>
#include <vector>

#include "online/onlineservices.h"
#include "platform/commandline.h"
#include "platform/frameworkmain.h"
#include "port/startup.h"
#include "port/system/showcommand.h"
#include "screens/gamemain.h"
#include "ui/windowsystem.h"

int main(int argc, char** argv) {
    // The layers below reach the online services and the window system through hooks installed
    // here, first of all.
    RegisterOnlineServices();
    RegisterWindowSystem();
    if (!port::SelectBackendFromEnvironment("sdl")) {
        return 1;
    }
    std::vector<std::string> arguments(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::string commandLine = commandline::JoinArguments(arguments);
    FrameworkMain(nullptr, nullptr, commandLine.c_str(), SW_SHOWNORMAL, &GameMain, false);
    return GameExitStatus();
}
