// GameMain: the game's main function, which the framework's main routine calls once start-up is
// done and which returns when the game ends. It runs "scripts/mainloop.lua" on the window script;
// without that script (or a window script) it logs one line and returns at once.
//
// Main thread.
#pragma once

class TPlatform;

void GameMain(TPlatform* platform, const char* commandLine);
