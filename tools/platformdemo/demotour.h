// The demo's scripted tour ("--tour"), run by the game main in place of the interactive loop: it
// drives its own window between frames through the X server (support/xsession.h: keys and the
// pointer through XTEST, the input focus, grabs) and the control plane in-process, checks what
// the X server shows and what the log says, writes its screenshots as PNG files into the run
// folder (demofolders.h) and prints one "ok" or "FAIL" line per check.
//
// The scenario: the window (the cursor following the pointer; screenshot A, where the laid-out
// texts must show: the title's ink, the markup line's red word, bold strokes wider than plain ones
// and the link's underline); Alt+Enter into full
// screen (the frame scaled between black bars, the cursor where the pointer is); the input focus
// to another X window and back (the display lost and restored by a new set-up); Alt+Enter back
// to the window; every surface lost through the control plane after at least three frames (the
// display restored by RestoreAllSurfaces); screenshot B, which must agree with A; Alt+F4. A
// message box on the way is answered with Return and fails the tour.
//
// Main thread.
#pragma once

namespace platformdemo {

class DemoGame;

// Runs the scenario on a started game; answers whether every check passed. The game has ended
// when it returns (through Alt+F4, or as the tour gives up).
bool RunTour(DemoGame& game);

}  // namespace platformdemo
