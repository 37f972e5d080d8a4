// Internal: the cooperative levels of the DirectDraw objects and what changes them. One object at
// a time holds exclusive mode (or another program does, set by the control plane); the holder
// loses the focus when its window leaves the foreground and gets it back when the window returns;
// a display mode change puts every object at the normal level into the wrong mode. These rules
// answer TestCooperativeLevel, and the Restore calls answer its failures.
//
// Everything sits under one mutex, taken last: nothing here calls out of the layer or into a
// surface. Loss of surfaces and the desktop mode changes that follow from these answers are the
// callers' work, made with no lock held. Any thread may call these.
#pragma once

#include <cstdint>
#include <optional>

#include "port/display/ddraw.h"
#include "port/window/desktop.h"

namespace port::display {

void AddCooperator(uint32_t object);
// The object's last release. When it held exclusive mode, the hold ends and the desktop mode it
// changed, if any, is handed back for the caller to put back.
std::optional<DesktopMode> RemoveCooperator(uint32_t object);

// SetCooperativeLevel with checked flags: exclusive (with full screen) or normal. Going back to
// normal from exclusive hands back the desktop mode to put back, as RemoveCooperator does.
HRESULT SetExclusive(uint32_t object, HWND window);
std::optional<DesktopMode> SetNormal(uint32_t object, HWND window);

// TestCooperativeLevel's answer.
HRESULT CooperationStatus(uint32_t object);
// Whether the object holds exclusive mode with the focus: DD_OK, or DDERR_NOEXCLUSIVEMODE.
HRESULT ExclusiveStatus(uint32_t object);

// Before the exclusive holder sets a display mode: keeps the desktop mode to put back (the first
// one of its hold). After RestoreDisplayMode: hands it back, once.
void KeepDesktopMode(uint32_t object, const DesktopMode& mode);
std::optional<DesktopMode> TakeDesktopMode(uint32_t object);

// The exclusive holder's full screen: held from its SetDisplayMode until the mode is put back or
// the hold ends; focusLost while its window is out of the foreground.
struct FullScreenHold {
    bool held = false;
    bool focusLost = false;
};
FullScreenHold CurrentFullScreenHold();

// The window model's changes (port/window/watch.h). ForegroundChanged answers the object that
// just lost the focus (0: none), whose surfaces the caller loses.
uint32_t ForegroundChanged(HWND foreground);
void DisplayModeChanged();

// The control plane's part.
void SetOtherExclusive(bool held);
void ForceStatus(HRESULT answer);
void SetRestoreAllAnswer(HRESULT answer);
HRESULT RestoreAllAnswer();
void ResetCooperation();

}  // namespace port::display
