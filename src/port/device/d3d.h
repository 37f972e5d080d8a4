// Direct3D 7 and the D3DX texture helpers as the program calls them: the Direct3D object of a
// DirectDraw object, its devices, the device's states and drawing, and D3DX's textures.
//
// The Direct3D object comes from the DirectDraw object (QueryInterface with IID_IDirect3D7). It
// lists the devices the control plane configured for its display device (EnumDevices), their
// depth formats, and makes a device on a surface with DDSCAPS_3DDEVICE in a format the
// rasterizer renders (X8R8G8B8, A8R8G8B8, R5G6B5, A4R4G4B4). A hardware device on a surface in
// system memory answers D3DERR_TARGETINSYSTEMMEMORY.
//
// The device draws through the software rasterizer (src/raster): its pixel rules are the
// device's. Drawing is immediate: a lock, blit or flip right after a draw sees every pixel. The
// device holds a reference to its render target and to the bound texture until they are
// replaced, unbound or the device goes. A render target's attached z-buffer is its depth
// buffer; without one, drawing has depth test and depth write off whatever ZENABLE and
// ZWRITEENABLE say. While the render target or the bound texture is lost, BeginScene, EndScene,
// Clear and DrawPrimitive answer DDERR_SURFACELOST.
//
// D3DX textures are managed: their pixels are kept by the layer, they are never lost, and they
// take video memory only while resident. Drawing with one makes it resident, evicting other
// resident managed textures least recently used first; when even that leaves no room, the draw
// answers DDERR_OUTOFVIDEOMEMORY.
//
// Structures carry the fields the program fills or reads; their sizes are ours and the layer
// zero-fills every structure it writes. Numbers of render states, stage states, blend factors,
// compare functions, cull modes, addressing, filters and combiner operations are those the
// rasterizer uses (src/raster/renderstate.h); other values are of our own.
//
// Threads: one thread uses a device at a time. The device holds the pixels' mutexes of its
// target, depth buffer and texture while it draws, so other threads may blit or lock them.
#pragma once

#include "port/display/ddraw.h"

// Devices: the hardware device the control plane configures by default, and the other GUIDs it
// may give devices.
extern const GUID IID_IDirect3DHALDevice;
extern const GUID IID_IDirect3DTnLHalDevice;
extern const GUID IID_IDirect3DRGBDevice;

constexpr HRESULT D3DENUMRET_CANCEL = 0;
constexpr HRESULT D3DENUMRET_OK = 1;

// Render bit depths (D3DDEVICEDESC7::dwDeviceRenderBitDepth).
constexpr DWORD DDBD_8 = 0x00000800;
constexpr DWORD DDBD_16 = 0x00000400;
constexpr DWORD DDBD_24 = 0x00000200;
constexpr DWORD DDBD_32 = 0x00000100;

// Device capabilities (dwDevCaps).
constexpr DWORD D3DDEVCAPS_SEPARATETEXTUREMEMORIES = 0x00004000;
constexpr DWORD D3DDEVCAPS_HWTRANSFORMANDLIGHT = 0x00010000;
constexpr DWORD D3DDEVCAPS_HWRASTERIZATION = 0x00080000;
// Shading (D3DPRIMCAPS::dwShadeCaps).
constexpr DWORD D3DPSHADECAPS_COLORGOURAUDRGB = 0x00000008;
constexpr DWORD D3DPSHADECAPS_SPECULARGOURAUDRGB = 0x00000200;
// Textures (D3DPRIMCAPS::dwTextureCaps).
constexpr DWORD D3DPTEXTURECAPS_POW2 = 0x00000002;
constexpr DWORD D3DPTEXTURECAPS_SQUAREONLY = 0x00000020;

struct D3DPRIMCAPS {
    DWORD dwSize;
    DWORD dwMiscCaps;
    DWORD dwRasterCaps;
    DWORD dwZCmpCaps;
    DWORD dwSrcBlendCaps;
    DWORD dwDestBlendCaps;
    DWORD dwAlphaCmpCaps;
    DWORD dwShadeCaps;
    DWORD dwTextureCaps;
    DWORD dwTextureFilterCaps;
    DWORD dwTextureBlendCaps;
    DWORD dwTextureAddressCaps;
    DWORD dwStippleWidth;
    DWORD dwStippleHeight;
};

struct D3DDEVICEDESC7 {
    DWORD dwDevCaps;
    D3DPRIMCAPS dpcLineCaps;
    D3DPRIMCAPS dpcTriCaps;
    DWORD dwDeviceRenderBitDepth;
    DWORD dwDeviceZBufferBitDepth;
    DWORD dwMinTextureWidth;
    DWORD dwMinTextureHeight;
    DWORD dwMaxTextureWidth;
    DWORD dwMaxTextureHeight;
    DWORD dwMaxTextureRepeat;
    DWORD dwMaxTextureAspectRatio;
    DWORD dwMaxAnisotropy;
    float dvGuardBandLeft;
    float dvGuardBandTop;
    float dvGuardBandRight;
    float dvGuardBandBottom;
    float dvExtentsAdjust;
    DWORD dwStencilCaps;
    DWORD dwFVFCaps;
    DWORD dwTextureOpCaps;
    WORD wMaxTextureBlendStages;
    WORD wMaxSimultaneousTextures;
    DWORD dwMaxActiveLights;
    float dvMaxVertexW;
    GUID deviceGUID;
    WORD wMaxUserClipPlanes;
    WORD wMaxVertexBlendMatrices;
    DWORD dwVertexProcessingCaps;
    DWORD dwReserved1;
    DWORD dwReserved2;
    DWORD dwReserved3;
    DWORD dwReserved4;
};

// Render states (SetRenderState).
enum D3DRENDERSTATETYPE : DWORD {
    D3DRENDERSTATE_ANTIALIAS = 2,  // accepted and ignored
    D3DRENDERSTATE_ZENABLE = 7,
    D3DRENDERSTATE_SHADEMODE = 9,
    D3DRENDERSTATE_ZWRITEENABLE = 14,
    D3DRENDERSTATE_ALPHATESTENABLE = 15,
    D3DRENDERSTATE_SRCBLEND = 19,
    D3DRENDERSTATE_DESTBLEND = 20,
    D3DRENDERSTATE_CULLMODE = 22,
    D3DRENDERSTATE_ZFUNC = 23,
    D3DRENDERSTATE_ALPHAREF = 24,
    D3DRENDERSTATE_ALPHAFUNC = 25,
    D3DRENDERSTATE_ALPHABLENDENABLE = 27,
    D3DRENDERSTATE_SPECULARENABLE = 29,
    D3DRENDERSTATE_TEXTUREFACTOR = 60,
    D3DRENDERSTATE_WRAP0 = 128,  // texture-coordinate wrapping; recorded, drawing ignores it
    D3DRENDERSTATE_CLIPPING = 136,
    D3DRENDERSTATE_LIGHTING = 137,
    D3DRENDERSTATE_AMBIENT = 139,
    D3DRENDERSTATE_COLORVERTEX = 141,
    D3DRENDERSTATE_NORMALIZENORMALS = 143,
    D3DRENDERSTATE_DIFFUSEMATERIALSOURCE = 145,
    D3DRENDERSTATE_SPECULARMATERIALSOURCE = 146,
    D3DRENDERSTATE_AMBIENTMATERIALSOURCE = 147,
    D3DRENDERSTATE_EMISSIVEMATERIALSOURCE = 148,
};
// Render states are numbered below this.
constexpr DWORD kD3DRenderStateCount = 256;

// Values of render states.
constexpr DWORD D3DCULL_NONE = 1;
constexpr DWORD D3DCULL_CW = 2;
constexpr DWORD D3DCULL_CCW = 3;
constexpr DWORD D3DSHADE_FLAT = 1;
constexpr DWORD D3DSHADE_GOURAUD = 2;
constexpr DWORD D3DBLEND_ZERO = 1;
constexpr DWORD D3DBLEND_ONE = 2;
constexpr DWORD D3DBLEND_SRCCOLOR = 3;
constexpr DWORD D3DBLEND_INVSRCCOLOR = 4;
constexpr DWORD D3DBLEND_SRCALPHA = 5;
constexpr DWORD D3DBLEND_INVSRCALPHA = 6;
constexpr DWORD D3DBLEND_DESTALPHA = 7;
constexpr DWORD D3DBLEND_INVDESTALPHA = 8;
constexpr DWORD D3DBLEND_DESTCOLOR = 9;
constexpr DWORD D3DBLEND_INVDESTCOLOR = 10;
constexpr DWORD D3DCMP_NEVER = 1;
constexpr DWORD D3DCMP_LESS = 2;
constexpr DWORD D3DCMP_EQUAL = 3;
constexpr DWORD D3DCMP_LESSEQUAL = 4;
constexpr DWORD D3DCMP_GREATER = 5;
constexpr DWORD D3DCMP_NOTEQUAL = 6;
constexpr DWORD D3DCMP_GREATEREQUAL = 7;
constexpr DWORD D3DCMP_ALWAYS = 8;
constexpr DWORD D3DMCS_MATERIAL = 0;
constexpr DWORD D3DMCS_COLOR1 = 1;
constexpr DWORD D3DMCS_COLOR2 = 2;

// Texture stage states (SetTextureStageState, stage 0).
enum D3DTEXTURESTAGESTATETYPE : DWORD {
    D3DTSS_COLOROP = 1,
    D3DTSS_COLORARG1 = 2,
    D3DTSS_COLORARG2 = 3,
    D3DTSS_ALPHAOP = 4,
    D3DTSS_ALPHAARG1 = 5,
    D3DTSS_ALPHAARG2 = 6,
    D3DTSS_ADDRESSU = 13,
    D3DTSS_ADDRESSV = 14,
    D3DTSS_MAGFILTER = 16,
    D3DTSS_MINFILTER = 17,
    D3DTSS_MIPFILTER = 18,
};
constexpr DWORD kD3DStageStateCount = 32;

constexpr DWORD D3DTOP_DISABLE = 1;
constexpr DWORD D3DTOP_SELECTARG1 = 2;
constexpr DWORD D3DTOP_SELECTARG2 = 3;
constexpr DWORD D3DTOP_MODULATE = 4;
constexpr DWORD D3DTOP_MODULATE2X = 5;
constexpr DWORD D3DTOP_MODULATE4X = 6;
constexpr DWORD D3DTOP_ADD = 7;
constexpr DWORD D3DTA_DIFFUSE = 0;
constexpr DWORD D3DTA_CURRENT = 1;
constexpr DWORD D3DTA_TEXTURE = 2;
constexpr DWORD D3DTA_TFACTOR = 3;
constexpr DWORD D3DTA_SPECULAR = 4;
constexpr DWORD D3DTA_COMPLEMENT = 0x10;
constexpr DWORD D3DTA_ALPHAREPLICATE = 0x20;
constexpr DWORD D3DTADDRESS_WRAP = 1;
constexpr DWORD D3DTADDRESS_MIRROR = 2;
constexpr DWORD D3DTADDRESS_CLAMP = 3;
constexpr DWORD D3DTFG_POINT = 1;
constexpr DWORD D3DTFG_LINEAR = 2;
constexpr DWORD D3DTFN_POINT = 1;
constexpr DWORD D3DTFN_LINEAR = 2;
constexpr DWORD D3DTFP_NONE = 1;
constexpr DWORD D3DTFP_POINT = 2;
constexpr DWORD D3DTFP_LINEAR = 3;

enum D3DTRANSFORMSTATETYPE : DWORD {
    D3DTRANSFORMSTATE_WORLD = 1,
    D3DTRANSFORMSTATE_VIEW = 2,
    D3DTRANSFORMSTATE_PROJECTION = 3,
};

enum D3DPRIMITIVETYPE : DWORD {
    D3DPT_POINTLIST = 1,
    D3DPT_LINELIST = 2,
    D3DPT_LINESTRIP = 3,
    D3DPT_TRIANGLELIST = 4,
    D3DPT_TRIANGLESTRIP = 5,
    D3DPT_TRIANGLEFAN = 6,
};

// Flexible vertex formats: the three the device draws.
constexpr DWORD D3DFVF_XYZ = 0x002;
constexpr DWORD D3DFVF_XYZRHW = 0x004;
constexpr DWORD D3DFVF_NORMAL = 0x010;
constexpr DWORD D3DFVF_RESERVED1 = 0x020;
constexpr DWORD D3DFVF_DIFFUSE = 0x040;
constexpr DWORD D3DFVF_SPECULAR = 0x080;
constexpr DWORD D3DFVF_TEX1 = 0x100;
constexpr DWORD D3DFVF_VERTEX = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
constexpr DWORD D3DFVF_LVERTEX =
    D3DFVF_XYZ | D3DFVF_RESERVED1 | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;
constexpr DWORD D3DFVF_TLVERTEX = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_SPECULAR | D3DFVF_TEX1;

// Clear flags.
constexpr DWORD D3DCLEAR_TARGET = 0x1;
constexpr DWORD D3DCLEAR_ZBUFFER = 0x2;

using D3DCOLOR = DWORD;  // 0xAARRGGBB
using D3DVALUE = float;

struct D3DRECT {
    LONG x1, y1, x2, y2;
};

struct D3DVIEWPORT7 {
    DWORD dwX;
    DWORD dwY;
    DWORD dwWidth;
    DWORD dwHeight;
    D3DVALUE dvMinZ;
    D3DVALUE dvMaxZ;
};

struct D3DCOLORVALUE {
    D3DVALUE r, g, b, a;
};

struct D3DMATERIAL7 {
    D3DCOLORVALUE diffuse;
    D3DCOLORVALUE ambient;
    D3DCOLORVALUE specular;
    D3DCOLORVALUE emissive;
    D3DVALUE power;
};

// Row-major: _41, _42, _43 hold the translation (row vectors).
struct D3DMATRIX {
    D3DVALUE _11, _12, _13, _14;
    D3DVALUE _21, _22, _23, _24;
    D3DVALUE _31, _32, _33, _34;
    D3DVALUE _41, _42, _43, _44;
};

// The vertex formats, laid out as the rasterizer's (raster/vertex.h).
struct D3DVERTEX {
    D3DVALUE x, y, z;
    D3DVALUE nx, ny, nz;
    D3DVALUE tu, tv;
};
struct D3DLVERTEX {
    D3DVALUE x, y, z;
    DWORD dwReserved;
    D3DCOLOR color;
    D3DCOLOR specular;
    D3DVALUE tu, tv;
};
struct D3DTLVERTEX {
    D3DVALUE sx, sy, sz;
    D3DVALUE rhw;
    D3DCOLOR color;
    D3DCOLOR specular;
    D3DVALUE tu, tv;
};

using LPD3DENUMDEVICESCALLBACK7 = HRESULT (*)(char* description, char* name, D3DDEVICEDESC7* desc,
                                              void* context);
using LPD3DENUMPIXELFORMATSCALLBACK = HRESULT (*)(DDPIXELFORMAT* format, void* context);

class IDirect3DDevice7;

class IDirect3D7 : public IUnknown {
public:
    // Each configured device with its description, GUID in deviceGUID; until the callback
    // answers D3DENUMRET_CANCEL.
    virtual HRESULT EnumDevices(LPD3DENUMDEVICESCALLBACK7 callback, void* context) = 0;
    // The depth formats of the device of the GUID.
    virtual HRESULT EnumZBufferFormats(const GUID& device, LPD3DENUMPIXELFORMATSCALLBACK callback,
                                       void* context) = 0;
    virtual HRESULT CreateDevice(const GUID& device, IDirectDrawSurface7* target,
                                 IDirect3DDevice7** out) = 0;
    // Takes every resident managed texture out of video memory.
    virtual HRESULT EvictManagedTextures() = 0;
};

class IDirect3DDevice7 : public IUnknown {
public:
    virtual HRESULT GetCaps(D3DDEVICEDESC7* desc) = 0;
    virtual HRESULT EnumTextureFormats(LPD3DENUMPIXELFORMATSCALLBACK callback, void* context) = 0;
    virtual HRESULT BeginScene() = 0;
    virtual HRESULT EndScene() = 0;
    // flags 0. The old target's reference goes; the new one's attached z-buffer is the depth
    // buffer.
    virtual HRESULT SetRenderTarget(IDirectDrawSurface7* target, DWORD flags) = 0;
    // Adds a reference for the caller.
    virtual HRESULT GetRenderTarget(IDirectDrawSurface7** target) = 0;
    // Clears the viewport (rectangles: count 0 and null only).
    virtual HRESULT Clear(DWORD count, D3DRECT* rects, DWORD flags, D3DCOLOR color, D3DVALUE z,
                          DWORD stencil) = 0;
    virtual HRESULT SetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) = 0;
    virtual HRESULT GetTransform(D3DTRANSFORMSTATETYPE type, D3DMATRIX* matrix) = 0;
    virtual HRESULT SetViewport(D3DVIEWPORT7* viewport) = 0;
    virtual HRESULT GetViewport(D3DVIEWPORT7* viewport) = 0;
    virtual HRESULT SetMaterial(D3DMATERIAL7* material) = 0;
    virtual HRESULT GetMaterial(D3DMATERIAL7* material) = 0;
    virtual HRESULT SetRenderState(D3DRENDERSTATETYPE state, DWORD value) = 0;
    virtual HRESULT GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) = 0;
    // flags 0.
    virtual HRESULT DrawPrimitive(D3DPRIMITIVETYPE type, DWORD fvf, void* vertices, DWORD count,
                                  DWORD flags) = 0;
    // Stage 0; a texture surface or null.
    virtual HRESULT SetTexture(DWORD stage, IDirectDrawSurface7* texture) = 0;
    virtual HRESULT SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                         DWORD value) = 0;
    virtual HRESULT GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE state,
                                         DWORD* value) = 0;
};

// ---- D3DX

// Surface formats of D3DX.
enum D3DX_SURFACEFORMAT : DWORD {
    D3DX_SF_UNKNOWN = 0,
    D3DX_SF_R5G6B5 = 1,
    D3DX_SF_A4R4G4B4 = 2,
    D3DX_SF_A8R8G8B8 = 3,
    D3DX_SF_X8R8G8B8 = 4,
};

// Mip request of D3DXCreateTexture: one level; 0 asks for the whole chain down to 1 x 1.
constexpr DWORD D3DX_TEXTURE_NOMIPMAP = 0x100;
// Mip level of D3DXLoadTextureFromMemory: every level.
constexpr DWORD D3DX_DEFAULT = 0xFFFFFFFF;
constexpr DWORD D3DX_FILTER_POINT = 1;
constexpr DWORD D3DX_FILTER_LINEAR = 2;

// Makes a managed texture for the device. width, height and format are what is asked and are
// written back with what was made: sizes rounded up to powers of two while the device asks for
// them, square when it asks for that or the aspect ratio is too large, clamped to its maximum;
// the format itself or the first substitute the device lists.
HRESULT D3DXCreateTexture(IDirect3DDevice7* device, DWORD* width, DWORD* height,
                          D3DX_SURFACEFORMAT* format, DWORD mipRequest,
                          IDirectDrawSurface7** texture);

// Loads 0xAARRGGBB pixels (D3DX_SF_A8R8G8B8; rows `pitch` bytes apart, 0 meaning the rectangle's
// width x 4) into a texture's top level (mipLevel 0) or, with D3DX_DEFAULT, into the top level
// and every lower one made from the level above with the filter (LINEAR: the 2 x 2 box average;
// POINT: the top-left texel of each 2 x 2 block). The source is the destination rectangle's size
// (null: the whole surface). A rectangle reaching past the surface is clipped; the source is read
// only within that size.
HRESULT D3DXLoadTextureFromMemory(IDirect3DDevice7* device, IDirectDrawSurface7* texture,
                                  DWORD mipLevel, void* pixels, void* palette,
                                  D3DX_SURFACEFORMAT sourceFormat, DWORD pitch, RECT* destRect,
                                  DWORD filter);
