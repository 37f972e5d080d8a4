#include "screens/gamemain.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

#include "foundation/file/assetfolder.h"
#include "foundation/file/file.h"
#include "foundation/log.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

namespace {

constexpr char kMainLoopScript[] = "scripts/mainloop.lua";

int gExitStatus = 0;

// The program reads its data from "assets" in the working folder, which the framework has made
// the program's own folder. Without it nothing can run; a player sees why on the terminal, and a
// report sees it in the log.
bool FoundGameData() {
    if (HasAssetFolder()) return true;
    std::error_code error;
    const std::string folder = std::filesystem::current_path(error).string();
    const str line =
        str::Format("No game data: there is no folder \"assets\" in %s; the game cannot start.",
                    error ? "the working folder" : folder.c_str());
    LogPrintf("%s", line.c_str());
    std::fprintf(stderr, "%s\n", line.c_str());
    return false;
}

}  // namespace

void GameMain(TPlatform* /*platform*/, const char* /*commandLine*/) {
    gExitStatus = 0;
    if (!FoundGameData()) {
        gExitStatus = 1;
        return;
    }
    TWindowManager* manager = TWindowManager::Get();
    TWindowScript* script = manager != nullptr ? manager->GetScript() : nullptr;
    if (script == nullptr || !FileExists(kMainLoopScript)) {
        LogPrintf("The main loop script %s did not run; the game ends.", kMainLoopScript);
        return;
    }
    if (!script->RunScript(kMainLoopScript)) {
        LogPrintf("The main loop script %s failed to load or run; the game ends with a failure.",
                  kMainLoopScript);
        gExitStatus = 1;
    }
}

int GameExitStatus() {
    return gExitStatus;
}
