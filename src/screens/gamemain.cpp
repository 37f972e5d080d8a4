#include "screens/gamemain.h"

#include "foundation/log.h"
#include "ui/windowmanager.h"
#include "ui/windowscript.h"

void GameMain(TPlatform* /*platform*/, const char* /*commandLine*/) {
    TWindowManager* manager = TWindowManager::Get();
    TWindowScript* script = manager != nullptr ? manager->GetScript() : nullptr;
    if (script == nullptr || !script->RunScript("scripts/mainloop.lua")) {
        LogPrintf("The main loop script scripts/mainloop.lua did not run; the game ends.");
    }
}
