// The operating-system tests of the display code and the window procedure, from GetVersion's
// major (low byte) and minor (second byte) version. Each answer is worked out once per process
// and kept: the version does not change while the program runs. Any thread may ask (the cursor
// worker does).
#pragma once

// Windows XP or later: major 5 with minor 1 or more, or major 6 or more.
bool IsWindowsXPOrLater();
// Windows Vista or later: major 6 or more.
bool IsWindowsVistaOrLater();

// The same rules on a given GetVersion word, for the tests of the rules themselves.
bool IsXPOrLaterVersion(unsigned long version);
bool IsVistaOrLaterVersion(unsigned long version);
