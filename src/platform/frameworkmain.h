// FrameworkMain: the framework's main routine, which the program's entry calls. It reads the
// command line, refuses a second instance (unless "--multiple" or "-wnd=" allows several),
// makes the platform object, the data folders, the log file and the application object, opens
// the main window, makes the sound manager and the renderer, stores the start-up settings
// ("installkey", "startupdir", "cheatcode", the "options=" pairs), loads the module plug-ins,
// hands the game state its start-up values and calls the game's main function. When that
// returns it posts the quit message and tears everything down. Paths for exits: a second
// instance ends the process with code 0, a lost or missing host window with code -1 (both
// through the port's ExitProcess).
//
// Main thread only.
#pragma once

#include "port/win32types.h"

class TPlatform;

using GameMainFunction = void (*)(TPlatform* platform, const char* commandLine);

void FrameworkMain(HINSTANCE instance, HINSTANCE previousInstance, const char* commandLine,
                   int showCommand, GameMainFunction gameMain, bool severalInstances);

// The test-hook library's window, null when none is attached.
HWND GetHarnessWindow();
