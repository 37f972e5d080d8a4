// Blt and BltFast: the argument checks and the clip region of DirectDraw's blits; the pixel work
// is pixelcopy.cpp's.
#include <algorithm>

#include "port/display/displaystate.h"
#include "port/display/pixelcopy.h"
#include "port/display/surface.h"
#include "port/failinjection.h"
#include "port/window/windowpos.h"

namespace port::display {
namespace {

constexpr DWORD kBltFlags = DDBLT_COLORFILL | DDBLT_DDFX | DDBLT_WAIT;

// The part of a primary surface (the desktop) a blit through a clipper may write: the clip
// window's client area on the screen, within the desktop. Empty when the window is gone.
TRect ClipRegion(HWND window, int desktopWidth, int desktopHeight) {
    RECT client;
    POINT origin{0, 0};
    if (!GetClientRect(window, &client) || !ClientToScreen(window, &origin)) return TRect{};
    TRect onScreen{origin.x, origin.y, origin.x + client.right, origin.y + client.bottom};
    return TRect::Intersect(onScreen, TRect{0, 0, desktopWidth, desktopHeight});
}

}  // namespace

HRESULT Surface::Blt(RECT* destRect, IDirectDrawSurface7* source, RECT* sourceRect, DWORD flags,
                     DDBLTFX* fx) {
    Surface* from = From(source);
    return TracedCall("Blt",
                      {{"surface", mId},
                       {"bits", BitCount()},
                       {"source", from != nullptr ? from->Id() : 0},
                       {"flags", flags, true}},
                      [&] { return DoBlt(destRect, from, sourceRect, flags, fx); });
}

HRESULT Surface::DoBlt(RECT* destRect, Surface* source, RECT* sourceRect, DWORD flags,
                       const DDBLTFX* fx) {
    bool fill = (flags & DDBLT_COLORFILL) != 0;
    bool effects = (flags & DDBLT_DDFX) != 0;
    if ((flags & ~kBltFlags) != 0) return DDERR_INVALIDPARAMS;
    if ((fill || effects) && (fx == nullptr || fx->dwSize != sizeof *fx)) {
        return DDERR_INVALIDPARAMS;
    }
    if (effects && (fx->dwDDFX & ~DDBLTFX_NOTEARING) != 0) return DDERR_INVALIDPARAMS;
    if (!fill && source == nullptr) return DDERR_INVALIDPARAMS;
    if (Lost() || (source != nullptr && source->Lost())) return DDERR_SURFACELOST;

    // The destination: inside the surface, or, on a primary with a clipper, anywhere on the
    // screen, clipped to the clip window's client area and the desktop.
    TRect to;
    TRect clip;
    HWND clipWindow = IsPrimary() ? ClipWindow() : nullptr;
    if (clipWindow != nullptr) {
        to = destRect != nullptr ? ToTRect(*destRect) : TRect{0, 0, mShape.width, mShape.height};
        if (to.left >= to.right || to.top >= to.bottom) return DDERR_INVALIDRECT;
        clip = ClipRegion(clipWindow, mShape.width, mShape.height);
    } else {
        if (!RectInside(destRect, mShape.width, mShape.height, &to)) return DDERR_INVALIDRECT;
        clip = to;
    }
    std::shared_ptr<PixelStore> dest = Store();
    if (fill) {
        TRect area = TRect::Intersect(to, clip);
        if (area.left >= area.right || area.top >= area.bottom) return DD_OK;
        return FillPixels(*dest, area, fx->dwFillColor);
    }
    TRect from;
    if (!RectInside(sourceRect, source->Shape().width, source->Shape().height, &from)) {
        return DDERR_INVALIDRECT;
    }
    return CopyPixels(*dest, to, clip, *source->Store(), from, BusyAllowed::None);
}

HRESULT Surface::BltFast(DWORD x, DWORD y, IDirectDrawSurface7* source, RECT* sourceRect,
                         DWORD flags) {
    Surface* from = From(source);
    return TracedCall(
        "BltFast",
        {{"surface", mId},
         {"bits", BitCount()},
         {"source", from != nullptr ? from->Id() : 0},
         {"x", x},
         {"y", y}},
        [&] {
            if ((flags & ~DDBLTFAST_WAIT) != 0 || from == nullptr) {
                return DDERR_INVALIDPARAMS;
            }
            if (x > static_cast<DWORD>(mShape.width) || y > static_cast<DWORD>(mShape.height)) {
                return DDERR_INVALIDRECT;
            }
            return DoBltFast(static_cast<int>(x), static_cast<int>(y), from, sourceRect, flags);
        });
}

HRESULT Surface::DoBltFast(int x, int y, Surface* source, RECT* sourceRect, DWORD) {
    if (Lost() || source->Lost()) return DDERR_SURFACELOST;
    // No clipping: both rectangles must lie inside their surfaces.
    TRect from;
    if (!RectInside(sourceRect, source->Shape().width, source->Shape().height, &from)) {
        return DDERR_INVALIDRECT;
    }
    RECT dest{x, y, x + (from.right - from.left), y + (from.bottom - from.top)};
    TRect to;
    if (!RectInside(&dest, mShape.width, mShape.height, &to)) return DDERR_INVALIDRECT;
    return CopyPixels(*Store(), to, to, *source->Store(), from, BusyAllowed::None);
}

}  // namespace port::display
