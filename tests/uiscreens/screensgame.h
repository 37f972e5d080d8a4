// The game function of ui_screens and what it reports: it sets the screen up, draws the scene's
// stages one after the other through the window manager (each platform event handed to
// HandleEvent, whose idle turns update and draw), then grabs the window from the X server until
// the named pixels show or the time is up, writes the grab as a PNG file and names each check that
// failed.
//
// Main thread only.
#pragma once

#include <string>

class TPlatform;

namespace uiscreens {

struct Scene;

// Chosen by main before the framework starts.
void SetScene(const Scene* scene);
// Where the run keeps its data folders and its grabs: "ui_screens-run/" beside the program.
std::string RunFolder();
// What main returns: 0 when every check passed, 1 otherwise.
int ExitCode();
// The game's main function handed to FrameworkMain.
void ScreensMain(TPlatform* platform, const char* commandLine);

}  // namespace uiscreens
