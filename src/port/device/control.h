// The control plane of Direct3D, for tests: the devices each display device offers with their
// texture and depth formats, the device state read back, and the managed textures resident in
// video memory. Failure injection and the call log of the Direct3D and D3DX calls are the shared
// ones (port/control.h), by the call's name ("CreateDevice", "SetRenderTarget", "DrawPrimitive",
// "D3DXCreateTexture" ...). Gathered with the other services' parts in port/control.h.
//
// Any thread may call these.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "port/device/d3d.h"
#include "port/display/control.h"

namespace port::control {

// A Direct3D device of a display device, as EnumDevices describes it.
struct DeviceSpec {
    GUID guid = IID_IDirect3DTnLHalDevice;
    std::string description = "Umbrava rasterizer";
    std::string name = "Umbrava HAL";
    DWORD devCaps = D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    DWORD renderBitDepths = DDBD_16 | DDBD_32;
    DWORD shadeCaps = D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB;
    DWORD textureCaps = D3DPTEXTURECAPS_POW2;
    DWORD maxTextureWidth = 2048;
    DWORD maxTextureHeight = 2048;
    DWORD maxTextureAspectRatio = 2048;
    // EnumTextureFormats, in order. Formats the rasterizer does not sample (a luminance format)
    // may be listed; D3DX never picks them.
    std::vector<DDPIXELFORMAT> textureFormats;
    // EnumZBufferFormats, in order; any depth format is the rasterizer's 16-bit depth.
    std::vector<DDPIXELFORMAT> depthFormats;
};

// The default device: hardware rasterization with transform and lighting, render depths 16 and
// 32, texture formats A8R8G8B8, X8R8G8B8, A4R4G4B4, R5G6B5 and depth Z16.
DeviceSpec DefaultDevice();
// A depth format of the bit count, with a stencil of stencilBits when given.
DDPIXELFORMAT DepthFormat(int bits, int stencilBits = 0);
// A texture format: A8R8G8B8, X8R8G8B8, A4R4G4B4, R5G6B5 by name; "L8" is an 8-bit luminance one.
DDPIXELFORMAT TextureFormat(const char* name);

// The devices of display device `adapter` (0: the default one); an empty list puts back the
// one default device. Direct3D objects made before keep the list they saw.
void SetDevices(const std::vector<DeviceSpec>& devices, int adapter = 0);

// Moves the rasterizer's pixel centres by the amount (pixels, both axes) for devices made from
// now on: a device that maps texels differently. Drawing moves by minus the amount.
void SetPixelCentreShift(float shift);

// What a device holds now, as the program set it.
struct DeviceState {
    std::vector<DWORD> renderStates;  // by D3DRENDERSTATETYPE, kD3DRenderStateCount entries
    std::vector<DWORD> stageStates;   // stage 0, by D3DTEXTURESTAGESTATETYPE
    D3DMATRIX world;
    D3DMATRIX view;
    D3DMATRIX projection;
    D3DVIEWPORT7 viewport;
    D3DMATERIAL7 material;
    uint32_t texture;       // the bound texture's surface id (SurfaceId); 0 for none
    uint32_t renderTarget;  // the render target's surface id
    bool inScene;
};
DeviceState StateOf(IDirect3DDevice7* device);

// A level of a texture (0: the top, as SurfaceImage gives it; 1 and below: the lower mip
// levels of a D3DX texture) by the same rules as SurfaceImage; empty for a level it lacks.
Image TextureLevel(IDirectDrawSurface7* texture, int level);
// How many levels a texture has (1 for a surface not made by D3DX).
int TextureLevelCount(IDirectDrawSurface7* texture);

// The surface ids of the managed textures resident in video memory, least recently used first.
std::vector<uint32_t> ResidentTextures();

// Puts Direct3D back to its start between tests: the default devices, no pixel-centre shift.
void ResetDevices();

}  // namespace port::control
