// TPlatformEvent: the framework event the event pump (TWin32Platform::GetEvent) fills once per
// turn of the game's main loop, with its type numbers, the button codes of type 6 and the
// framework key codes. The key codes are process-wide constants shared with the text-entry
// widget; keymap.h turns virtual keys into them.
//
// A plain value; no threads of its own.
#pragma once

#include <cstdint>

struct TPlatformEvent {
    int32_t type = 0;
    // Button code, key code, character, state or modifier set, by type.
    int32_t value = 0;
    // Mouse position (game coordinates) or, in relative mouse mode, the move's delta.
    int32_t x = 0;
    int32_t y = 0;
    // Modifier bits, or 0.
    int32_t extra = 0;
};

// Event types. 16 is not used.
enum TPlatformEventType : int32_t {
    kEventIdle = 1,             // no message was waiting
    kEventNothing = 2,          // a message that needs no event, a dropped input, a restore
    kEventClose = 3,            // the user asked to close the window
    kEventQuit = 4,             // WM_QUIT, or the host window is gone
    kEventLeftDown = 5,
    kEventButton = 6,           // another button or the wheel: value is the button code
    kEventLeftUp = 7,
    kEventMouseMove = 8,
    kEventMouseLeft = 9,        // the capture was lost or the mouse left the window
    kEventMouseHover = 10,
    kEventKeyDown = 11,         // value: the key code (Alt held: the virtual key)
    kEventKeyUp = 12,           // value: the key-up code
    kEventChar = 13,            // ANSI window
    kEventUnicodeChar = 14,     // Unicode window: a whole code point
    kEventPaint = 15,
    kEventDisplayRecreated = 17,
    kEventActivation = 18,      // value: 1 active, 0 inactive
    kEventFullscreenSwitch = 19 // value: 1 now full screen, 0 now windowed
};

// Button codes of type 6.
enum TMouseButtonCode : int32_t {
    kButtonRightUp = 0,
    kButtonRightDown = 1,
    kButtonMiddleUp = 2,
    kButtonMiddleDown = 3,
    kButtonExtra1Down = 4,
    kButtonExtra2Down = 5,
    kButtonWheelAway = 6,    // positive delta
    kButtonWheelToward = 7,  // zero or negative delta
};

// Mouse modifiers (extra of the mouse events).
constexpr int32_t kMouseShift = 1;
constexpr int32_t kMouseCtrl = 2;

// Key modifiers (extra of type 11).
constexpr int32_t kKeyModShift = 1;
constexpr int32_t kKeyModCtrl = 2;
constexpr int32_t kKeyModAlt = 4;
constexpr int32_t kKeyModExtended = 8;

// Framework key codes that differ from the virtual key.
constexpr int32_t kKeyUp = -128;
constexpr int32_t kKeyDown = -127;
constexpr int32_t kKeyLeft = -126;
constexpr int32_t kKeyRight = -125;
constexpr int32_t kKeyInsert = -124;
constexpr int32_t kKeyPageUp = -123;
constexpr int32_t kKeyPageDown = -122;
constexpr int32_t kKeyDelete = -1;
