// The framework's key codes for virtual keys: the virtual-key code itself, except the arrows,
// Insert, Page Up and Down and Delete (the negative codes of platformevent.h), the numeric pad
// (its characters; the separator is 10) and the US punctuation keys (their characters). Key-up
// events carry the same codes, the negative ones as their low 16 bits.
//
// Pure functions; any thread.
#pragma once

#include <cstdint>

#include "port/win32types.h"

// The key code of a key-down event.
int32_t FrameworkKeyCode(UINT virtualKey);
// The key code of a key-up event: FrameworkKeyCode with a negative code zero-extended from 16
// bits (Up 65408 … Page Down 65414, Delete 65535).
int32_t FrameworkKeyUpCode(UINT virtualKey);
// The mouse modifiers of a message's key flags: MK_SHIFT → 1, MK_CONTROL → 2.
int32_t MouseModifiers(WPARAM keyFlags);
