// The results of the DirectDraw, Direct3D and D3DX stand-ins, all in one table.
//
// The program tells a few results apart by value and logs the others in hexadecimal ("DX Error:
// %s (0x%x), ..."): those keep the values the program knows them by. Every other failure of the
// layers has a value of our own in the 0x8876xxxx range, distinct from each other and from the
// fixed ones, so that log lines read consistently.
#pragma once

#include "port/unknown.h"
#include "port/win32types.h"

// Successes.
constexpr HRESULT DD_OK = 0;
constexpr HRESULT D3D_OK = 0;

// The generic failures (E_NOINTERFACE, E_POINTER, E_INVALIDARG, E_OUTOFMEMORY) are
// port/unknown.h's.

// Results the program knows by value.
constexpr HRESULT DDERR_OUTOFVIDEOMEMORY = kDxError(0x8876017Cu);
constexpr HRESULT DDERR_SURFACELOST = kDxError(0x887601C2u);
constexpr HRESULT DDERR_WASSTILLDRAWING = kDxError(0x8876021Cu);
// A hardware device asked for on a render target in system memory; the display then asks for a
// back buffer in video memory.
constexpr HRESULT D3DERR_TARGETINSYSTEMMEMORY = kDxError(0x887602EBu);
// A device refused for the desktop's colours; the display then takes the desktop for 32 bits.
constexpr HRESULT D3DERR_DESKTOPCOLOURS = kDxError(0x8876023Cu);
// A texture that cannot be made now; texture creation then reports success and waits for a
// device, as when there is none. Only by injection.
constexpr HRESULT DDERR_TEXTURENOTNOW = kDxError(0x8876024Eu);

// Results of our own: the display object and cooperative levels.
constexpr HRESULT DDERR_WRONGMODE = kDxError(0x88760801u);
constexpr HRESULT DDERR_NOEXCLUSIVEMODE = kDxError(0x88760802u);
constexpr HRESULT DDERR_EXCLUSIVEMODEALREADYSET = kDxError(0x88760803u);
constexpr HRESULT DDERR_CURRENTLYNOTAVAIL = kDxError(0x88760804u);
constexpr HRESULT DDERR_INVALIDMODE = kDxError(0x88760805u);
constexpr HRESULT DDERR_INVALIDOBJECT = kDxError(0x88760806u);

// Surfaces.
constexpr HRESULT DDERR_INVALIDPARAMS = kDxError(0x88760810u);
constexpr HRESULT DDERR_INVALIDPIXELFORMAT = kDxError(0x88760811u);
constexpr HRESULT DDERR_INVALIDRECT = kDxError(0x88760812u);
constexpr HRESULT DDERR_SURFACEBUSY = kDxError(0x88760813u);
constexpr HRESULT DDERR_NOTFLIPPABLE = kDxError(0x88760814u);
constexpr HRESULT DDERR_NOTFOUND = kDxError(0x88760815u);
// Unlock without Lock, ReleaseDC without GetDC.
constexpr HRESULT DDERR_NOTLOCKED = kDxError(0x88760816u);
constexpr HRESULT DDERR_NOTATTACHED = kDxError(0x88760817u);

// The device.
constexpr HRESULT D3DERR_SCENE_IN_SCENE = kDxError(0x88760820u);
constexpr HRESULT D3DERR_SCENE_NOT_IN_SCENE = kDxError(0x88760821u);
constexpr HRESULT D3DERR_SCENE_END_FAILED = kDxError(0x88760822u);
constexpr HRESULT D3DERR_ZBUFFER_NOTPRESENT = kDxError(0x88760823u);
constexpr HRESULT D3DERR_INVALIDDEVICE = kDxError(0x88760824u);
