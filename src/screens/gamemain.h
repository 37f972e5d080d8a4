// GameMain: the game's main function, which the framework's main routine calls once start-up is
// done and which returns when the game ends. It runs "scripts/mainloop.lua" on the window script;
// without that script (or a window script) it logs one line and returns at once. Without a data
// folder it says so in one line, in the log and on the standard error, and returns at once.
//
// Main thread.
#pragma once

class TPlatform;

void GameMain(TPlatform* platform, const char* commandLine);

// The status the process ends with once the framework's main routine has returned: 0, or 1 when
// the game could not start (no data folder).
int GameExitStatus();
