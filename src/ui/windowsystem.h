// Hands the window system's answers to the application object below it
// (platform/windowsystemhooks.h): making and deleting the window manager and its script, the
// script's UTF-8 mode, the drawing-suspended flag, the redraw and input-lock flags, the script's
// movie, the game state and the module plug-ins. The
// program calls it once at start-up, before the application object is made.
#pragma once

void RegisterWindowSystem();
