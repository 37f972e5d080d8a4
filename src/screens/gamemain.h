// GameMain: the game's main function, which the framework's main routine calls once start-up is
// done and which returns when the game ends. It runs "scripts/mainloop.lua" on the window script.
// Without that script (or a window script) it logs one line and returns at once. Without a data
// folder it says so in one line, in the log and on the standard error, and returns at once; a
// main loop script that fails to load or run is logged (the script layer's line gives the
// reason). Both end the game with a failure, which GameExitStatus tells the program's entry.
//
// Main thread.
#pragma once

class TPlatform;

void GameMain(TPlatform* platform, const char* commandLine);

// The status the process ends with once the framework's main routine has returned: 0, or 1 when
// the game could not start (no data folder) or its main loop script failed to load or run.
int GameExitStatus();
