// Internal: what the DirectDraw stand-in shares across its objects: the registry of live surfaces,
// object ids, the desktop's memory behind every windowed primary, and the window the player looks
// through. Any thread may call these.
//
// Lock order of the layer: the registry, then a surface's own mutex, then a flip chain's mutex,
// then at most two stores' mutexes taken together; the cooperation state (cooperation.h) and the
// device list (adapter.h) are taken alone. Nothing calls out of the layer (windows, backends) with
// any of them held.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "port/display/pixelstore.h"
#include "port/win32types.h"

namespace port::display {

class FlipChain;
class Surface;

// Ids of surfaces, clippers and DirectDraw objects, counting from 1 in one sequence.
uint32_t NextObjectId();
// Seeds for the noise of new memory, counting from 1.
uint64_t NextNoiseSeed();

void RegisterSurface(Surface* surface);
void UnregisterSurface(Surface* surface);
bool IsLiveSurface(uint32_t id);
// Calls visit for every live surface in creation order, with the registry locked: visit may take
// a surface's or a store's mutex but must not call AddRef or Release.
void ForEachSurface(const std::function<void(Surface&)>& visit);

// The desktop's memory in the desktop's mode, made (holding noise) on first use and made anew
// when the mode changed; null for a desktop of 8 bits or fewer, which has no surface format.
std::shared_ptr<PixelStore> DesktopStore();

// The window whose client area the player sees of the desktop: the window of the clipper last set
// on a primary, else the window of the last cooperative level that made a primary.
void SetPlayerWindow(HWND window);
HWND PlayerWindow();

// The flip chain of the display at the exclusive level, whose front buffer the player sees
// while it lives; null when there is none.
void SetFullScreenChain(const std::shared_ptr<FlipChain>& chain);
std::shared_ptr<FlipChain> FullScreenChain();

// After pixels of a store changed (or a flip showed another): tells the backend when the player
// sees that store.
void ScreenWritten(const PixelStore& store);
// Whether the player sees that store now (the desktop's, or the full-screen chain's front).
bool IsShown(const PixelStore& store);
// Tells the backend that a store the caller found shown changed.
void ShownStoreWritten();

// Counts the changes of which store a surface stands for and of which one the player sees:
// flips, freed chains, restored primaries, z-buffers attached and detached, the full-screen chain
// and the desktop's memory. What a caller looked up through surfaces (their stores, IsShown)
// stays right while the count is unchanged; the device keeps its lookups between draws so.
uint64_t StoreEpoch();
void StoresChanged();

// Marks lost every surface of a DirectDraw object (0: of every object); managed textures excepted.
void LoseSurfaces(uint32_t owner);

// Forgets the desktop's memory, the player's window and the full-screen chain, and starts the noise
// seeds again (the control plane's reset between tests). Live objects stay valid; ids are never
// given twice.
void ResetDisplayState();

}  // namespace port::display
