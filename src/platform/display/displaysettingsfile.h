// "common:display.xml": the display's choice kept across runs. Its root element "Settings" with
// the integer attribute "LowMemoryVideo" (absent = 0; non-zero = on) forces the low-memory video
// mode, a 16-bit full-screen display, from the start. The display handler reads it when it is
// made, except in hosted "-pq=" mode; running out of video memory writes it (OutOfVideoMemory).
//
// Main thread only.
#pragma once

inline constexpr char kDisplaySettingsFile[] = "common:display.xml";

// Whether the file asks for the low-memory video mode; false in hosted mode, where the file is not
// read. "Low memory video card setting enabled!" is logged whenever the element "Settings" is
// there, whatever its attribute says.
bool ReadLowMemoryVideoSetting();
