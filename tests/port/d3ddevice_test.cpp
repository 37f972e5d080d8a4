// Direct3D devices: enumeration, creation, viewports, scenes, drawing through the rasterizer,
// render targets with and without z-buffers, references, state read-back and loss.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "devicefixture.h"
#include "port/control.h"
#include "raster/rasterizer.h"
#include "raster/surfaceops.h"
#include "raster/transform.h"

namespace device_testing {
namespace {

using raster::TPixelFormat;
namespace control = port::control;

// ---- Enumeration

struct Listed {
    std::vector<std::string> names;
    std::vector<D3DDEVICEDESC7> descs;
    std::vector<DDPIXELFORMAT> formats;
};

HRESULT CollectDevice(char* description, char* name, D3DDEVICEDESC7* desc, void* context) {
    auto* listed = static_cast<Listed*>(context);
    listed->names.push_back(std::string(description) + "|" + name);
    listed->descs.push_back(*desc);
    return D3DENUMRET_OK;
}

HRESULT CollectFormat(DDPIXELFORMAT* format, void* context) {
    static_cast<Listed*>(context)->formats.push_back(*format);
    return D3DENUMRET_OK;
}

HRESULT FirstOnly(DDPIXELFORMAT* format, void* context) {
    static_cast<Listed*>(context)->formats.push_back(*format);
    return D3DENUMRET_CANCEL;
}

TEST_F(DeviceTest, EnumerationGivesTheConfiguredDevicesAndFormats) {
    control::DeviceSpec soft;
    soft.guid = IID_IDirect3DRGBDevice;
    soft.description = "software";
    soft.name = "RGB";
    soft.devCaps = 0;
    soft.renderBitDepths = DDBD_16;
    soft.textureCaps = D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY;
    soft.maxTextureWidth = soft.maxTextureHeight = 256;
    soft.maxTextureAspectRatio = 1;
    soft.textureFormats = {control::TextureFormat("L8"), control::TextureFormat("R5G6B5")};
    soft.depthFormats = {control::DepthFormat(24, 8), control::DepthFormat(16)};
    control::DeviceSpec hardware = control::DefaultDevice();
    control::SetDevices({soft, hardware});
    // The list is read when the Direct3D object is made.
    IDirect3D7* d3d = nullptr;
    ASSERT_EQ(mDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&d3d)), DD_OK);
    Held<IDirect3D7> held(d3d);

    Listed devices;
    ASSERT_EQ(d3d->EnumDevices(&CollectDevice, &devices), D3D_OK);
    ASSERT_EQ(devices.names,
              (std::vector<std::string>{"software|RGB", "Umbrava rasterizer|Umbrava HAL"}));
    const D3DDEVICEDESC7& s = devices.descs[0];
    EXPECT_TRUE(IsEqualGUID(s.deviceGUID, IID_IDirect3DRGBDevice));
    EXPECT_EQ(s.dwDevCaps, 0u);
    EXPECT_EQ(s.dwDeviceRenderBitDepth, DDBD_16);
    EXPECT_EQ(s.dpcTriCaps.dwTextureCaps, D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY);
    EXPECT_EQ(s.dwMaxTextureWidth, 256u);
    EXPECT_EQ(s.dwMaxTextureAspectRatio, 1u);
    const D3DDEVICEDESC7& h = devices.descs[1];
    EXPECT_TRUE(IsEqualGUID(h.deviceGUID, IID_IDirect3DTnLHalDevice));
    EXPECT_EQ(h.dwDevCaps, D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT);
    EXPECT_EQ(h.dwDeviceRenderBitDepth, DDBD_16 | DDBD_32);
    EXPECT_EQ(h.dpcTriCaps.dwShadeCaps,
              D3DPSHADECAPS_COLORGOURAUDRGB | D3DPSHADECAPS_SPECULARGOURAUDRGB);
    EXPECT_EQ(h.dpcTriCaps.dwTextureCaps, D3DPTEXTURECAPS_POW2);
    EXPECT_EQ(h.dwMaxTextureWidth, 2048u);
    EXPECT_EQ(h.dwMaxTextureHeight, 2048u);
    EXPECT_EQ(h.dwMaxTextureAspectRatio, 2048u);

    // Depth formats: the Z24 with its stencil flag comes first, so a caller that wants exactly
    // DDPF_ZBUFFER has to look at the flags.
    Listed depths;
    ASSERT_EQ(d3d->EnumZBufferFormats(IID_IDirect3DRGBDevice, &CollectFormat, &depths), D3D_OK);
    ASSERT_EQ(depths.formats.size(), 2u);
    EXPECT_EQ(depths.formats[0].dwFlags, DDPF_ZBUFFER | DDPF_STENCILBUFFER);
    EXPECT_EQ(depths.formats[0].dwZBufferBitDepth, 24u);
    EXPECT_EQ(depths.formats[1].dwFlags, DDPF_ZBUFFER);
    EXPECT_EQ(depths.formats[1].dwZBufferBitDepth, 16u);
    Listed first;
    ASSERT_EQ(d3d->EnumZBufferFormats(IID_IDirect3DRGBDevice, &FirstOnly, &first), D3D_OK);
    EXPECT_EQ(first.formats.size(), 1u);
    EXPECT_EQ(d3d->EnumZBufferFormats(IID_IDirect3DHALDevice, &CollectFormat, &depths),
              D3DERR_INVALIDDEVICE);

    // Texture formats, on a device: the luminance one is listed as it is.
    SurfacePtr target(MakeTarget(16, 16, TPixelFormat::R5G6B5));
    IDirect3DDevice7* device = nullptr;
    ASSERT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, target.get(), &device), D3D_OK);
    DevicePtr heldDevice(device);
    Listed textures;
    ASSERT_EQ(device->EnumTextureFormats(&CollectFormat, &textures), D3D_OK);
    ASSERT_EQ(textures.formats.size(), 2u);
    EXPECT_EQ(textures.formats[0].dwFlags, DDPF_LUMINANCE);
    EXPECT_EQ(textures.formats[1].dwRGBBitCount, 16u);
    D3DDEVICEDESC7 caps;
    std::memset(&caps, 0xAB, sizeof caps);
    ASSERT_EQ(device->GetCaps(&caps), D3D_OK);
    EXPECT_EQ(std::memcmp(&caps, &devices.descs[0], sizeof caps), 0);
}

TEST_F(DeviceTest, DefaultDeviceListsTheFourTextureFormatsAndZ16) {
    SurfacePtr target(MakeTarget(8, 8));
    DevicePtr device(MakeDevice(target.get()));
    Listed textures;
    ASSERT_EQ(device->EnumTextureFormats(&CollectFormat, &textures), D3D_OK);
    std::vector<std::pair<DWORD, DWORD>> shapes;  // bits, alpha mask
    for (const DDPIXELFORMAT& f : textures.formats)
        shapes.emplace_back(f.dwRGBBitCount, f.dwRGBAlphaBitMask);
    EXPECT_EQ(shapes, (std::vector<std::pair<DWORD, DWORD>>{
                          {32, 0xFF000000}, {32, 0}, {16, 0xF000}, {16, 0}}));
    Listed depths;
    ASSERT_EQ(mD3D->EnumZBufferFormats(IID_IDirect3DTnLHalDevice, &CollectFormat, &depths), D3D_OK);
    ASSERT_EQ(depths.formats.size(), 1u);
    EXPECT_EQ(depths.formats[0].dwFlags, DDPF_ZBUFFER);
    EXPECT_EQ(depths.formats[0].dwZBufferBitDepth, 16u);
}

// ---- Creation

TEST_F(DeviceTest, CreateDeviceChecksTheTarget) {
    SurfacePtr plain(MakeSurface(16, 16, TPixelFormat::X8R8G8B8));
    SurfacePtr system(
        MakeTarget(16, 16, TPixelFormat::X8R8G8B8, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY));
    SurfacePtr video(MakeTarget(16, 16));
    DevicePtr device;
    struct Case {
        const char* what;
        IDirectDrawSurface7* target;
        const GUID* guid;
        HRESULT result;
    };
    for (const Case& c :
         {Case{"no 3DDEVICE", plain.get(), &IID_IDirect3DTnLHalDevice, DDERR_INVALIDPARAMS},
          Case{"system memory", system.get(), &IID_IDirect3DTnLHalDevice,
               D3DERR_TARGETINSYSTEMMEMORY},
          Case{"unknown device", video.get(), &IID_IDirect3DHALDevice, D3DERR_INVALIDDEVICE},
          Case{"no target", nullptr, &IID_IDirect3DTnLHalDevice, DDERR_INVALIDPARAMS}}) {
        EXPECT_EQ(mD3D->CreateDevice(*c.guid, c.target, device.Out()), c.result) << c.what;
        EXPECT_EQ(device.get(), nullptr) << c.what;
    }
    EXPECT_EQ(static_cast<uint32_t>(D3DERR_TARGETINSYSTEMMEMORY), 0x887602EBu);

    // The display's answer for the desktop's colours comes only by injection.
    control::InjectFailure("CreateDevice", 0x8876023Cu, 1);
    EXPECT_EQ(mD3D->CreateDevice(IID_IDirect3DTnLHalDevice, video.get(), device.Out()),
              static_cast<HRESULT>(0x8876023Cu));
    EXPECT_EQ(device.get(), nullptr);
    ASSERT_EQ(mD3D->CreateDevice(IID_IDirect3DTnLHalDevice, video.get(), device.Out()), D3D_OK);
    // A software device may draw into system memory.
    control::DeviceSpec soft = control::DefaultDevice();
    soft.guid = IID_IDirect3DRGBDevice;
    soft.devCaps = 0;
    control::SetDevices({soft});
    Held<IDirect3D7> d3d;
    ASSERT_EQ(mDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(d3d.Out())), DD_OK);
    DevicePtr softDevice;
    EXPECT_EQ(d3d->CreateDevice(IID_IDirect3DRGBDevice, system.get(), softDevice.Out()), D3D_OK);
}

// ---- Viewports

TEST_F(DeviceTest, ViewportOutsideTheTargetIsRefusedAndThePreviousKept) {
    SurfacePtr target(MakeTarget(64, 32));
    DevicePtr device(MakeDevice(target.get()));
    D3DVIEWPORT7 whole;
    ASSERT_EQ(device->GetViewport(&whole), D3D_OK);
    EXPECT_EQ(whole.dwWidth, 64u);
    EXPECT_EQ(whole.dwHeight, 32u);
    D3DVIEWPORT7 good{4, 2, 60, 30, 0.25f, 0.75f};
    ASSERT_EQ(device->SetViewport(&good), D3D_OK);

    float nan = std::numeric_limits<float>::quiet_NaN();
    float inf = std::numeric_limits<float>::infinity();
    struct Case {
        const char* what;
        D3DVIEWPORT7 viewport;
    };
    for (const Case& c :
         {Case{"past the right edge", {5, 0, 60, 32, 0, 1}},
          Case{"past the bottom edge", {0, 1, 64, 32, 0, 1}},
          Case{"negative x", {static_cast<DWORD>(-1), 0, 8, 8, 0, 1}},
          Case{"negative y", {0, static_cast<DWORD>(-4), 8, 8, 0, 1}},
          Case{"huge width", {1, 0, 0xFFFFFFFFu, 8, 0, 1}}, Case{"NaN min z", {0, 0, 8, 8, nan, 1}},
          Case{"NaN max z", {0, 0, 8, 8, 0, nan}}, Case{"infinite z", {0, 0, 8, 8, 0, inf}},
          Case{"z below 0", {0, 0, 8, 8, -0.5f, 1}}, Case{"z above 1", {0, 0, 8, 8, 0, 1.5f}}}) {
        D3DVIEWPORT7 bad = c.viewport;
        EXPECT_EQ(device->SetViewport(&bad), DDERR_INVALIDPARAMS) << c.what;
        D3DVIEWPORT7 now;
        ASSERT_EQ(device->GetViewport(&now), D3D_OK);
        EXPECT_EQ(std::memcmp(&now, &good, sizeof now), 0) << c.what;
    }
    D3DVIEWPORT7 edge{0, 0, 64, 32, 0, 1};
    EXPECT_EQ(device->SetViewport(&edge), D3D_OK);
}

TEST_F(DeviceTest, ZeroSizeViewportDrawsNothing) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF102030, 1.0f, 0), D3D_OK);
    for (D3DVIEWPORT7 empty : {D3DVIEWPORT7{4, 4, 0, 8, 0, 1}, D3DVIEWPORT7{4, 4, 8, 0, 0, 1}}) {
        ASSERT_EQ(device->SetViewport(&empty), D3D_OK);
        EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0), D3D_OK);
        EXPECT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, ScreenQuad(0, 0, 16, 16, 0xFFFFFFFF)),
                  D3D_OK);
    }
    for (uint32_t pixel : RawPixels(target.get()))
        ASSERT_EQ(pixel & 0xFFFFFF, 0x102030u);
}

// ---- Scenes and draw calls

TEST_F(DeviceTest, ScenesAndDrawCallsAnswerTheirErrors) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    std::vector<D3DTLVERTEX> quad = ScreenQuad(0, 0, 8, 8, 0xFFFFFFFF);
    EXPECT_EQ(device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, quad.data(), 4, 0),
              D3DERR_SCENE_NOT_IN_SCENE);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->BeginScene(), D3DERR_SCENE_IN_SCENE);
    struct Case {
        const char* what;
        DWORD type;
        DWORD fvf;
        DWORD count;
        DWORD flags;
        HRESULT result;
    };
    for (const Case& c : {
             Case{"zero count", D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, 0, 0, D3D_OK},
             Case{"trailing incomplete triangle", D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, 4, 0,
                  D3D_OK},
             Case{"one vertex of a line", D3DPT_LINELIST, D3DFVF_TLVERTEX, 1, 0, D3D_OK},
             Case{"line strip", D3DPT_LINESTRIP, D3DFVF_TLVERTEX, 4, 0, D3D_OK},
             Case{"fan", D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, 4, 0, D3D_OK},
             Case{"point list", D3DPT_POINTLIST, D3DFVF_TLVERTEX, 4, 0, DDERR_INVALIDPARAMS},
             Case{"unknown type", 9, D3DFVF_TLVERTEX, 4, 0, DDERR_INVALIDPARAMS},
             Case{"unknown vertex format", D3DPT_TRIANGLEFAN, D3DFVF_XYZ, 4, 0,
                  DDERR_INVALIDPARAMS},
             Case{"flags", D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, 4, 1, DDERR_INVALIDPARAMS},
         }) {
        EXPECT_EQ(device->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(c.type), c.fvf, quad.data(),
                                        c.count, c.flags),
                  c.result)
            << c.what;
    }
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, nullptr, 4, 0),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->EndScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3DERR_SCENE_NOT_IN_SCENE);
}

TEST_F(DeviceTest, DrawingIntoALockedTargetAnswersBusy) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    DDSURFACEDESC2 desc = display_testing::EmptyDesc();
    ASSERT_EQ(target->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    EXPECT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, ScreenQuad(0, 0, 8, 8, ~0u)),
              DDERR_SURFACEBUSY);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), DDERR_SURFACEBUSY);
    ASSERT_EQ(target->Unlock(nullptr), DD_OK);
    EXPECT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, ScreenQuad(0, 0, 8, 8, ~0u)), D3D_OK);
}

// ---- Drawing

// The 2-D pass: a 64 x 64 texture drawn as a lit quad through the orthographic projection moved
// by the pixel offset of -0.5, with point filtering, lands texel for texel. A device whose pixel
// centres sit half a pixel further on shows it one pixel up and to the left.
TEST_F(DeviceTest, TextureLandsTexelForTexelThroughThe2dProjection) {
    for (float shift : {0.0f, 0.5f}) {
        SCOPED_TRACE(shift);
        control::SetPixelCentreShift(shift);
        SurfacePtr target(MakeTarget(80, 80));
        DevicePtr device(MakeDevice(target.get()));
        std::vector<uint32_t> texels = Pattern(64, 64);
        SurfacePtr texture(MakeTexture(device.get(), 64, 64, texels));
        D3DMATRIX projection = Projection2d(80, 80, -0.5f);
        ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection), D3D_OK);
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE), D3D_OK);
        ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT), D3D_OK);
        ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT), D3D_OK);
        ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
        ASSERT_EQ(DrawFan(device.get(), D3DFVF_LVERTEX, LitQuad(8, 8, 72, 72)), D3D_OK);
        ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);

        int moved = shift == 0.0f ? 0 : 1;
        control::Image image = control::SurfaceImage(target.get());
        int wrong = 0;
        for (int y = 0; y < 80; ++y) {
            for (int x = 0; x < 80; ++x) {
                int tx = x - 8 + moved;
                int ty = y - 8 + moved;
                uint32_t want = tx >= 0 && tx < 64 && ty >= 0 && ty < 64
                                    ? texels[static_cast<size_t>(ty * 64 + tx)] | 0xFF000000
                                    : 0xFF000000;
                if (image.At(x, y) != want && ++wrong < 5) {
                    ADD_FAILURE() << "pixel " << x << "," << y << " " << std::hex << image.At(x, y)
                                  << " want " << want;
                }
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

// A scene through the device gives the bytes of the same scene on a rasterizer of its own.
TEST_F(DeviceTest, SceneMatchesTheRasterizerDrawnDirectly) {
    std::vector<uint32_t> texels = Pattern(16, 16);
    raster::TSurface directTexture;
    ASSERT_TRUE(directTexture.Create(16, 16, TPixelFormat::A8R8G8B8));
    raster::WritePixels(directTexture, {0, 0, 16, 16}, texels.data(), 16);
    raster::TSurface directTarget;
    ASSERT_TRUE(directTarget.Create(48, 40, TPixelFormat::X8R8G8B8));

    SurfacePtr target(MakeTarget(48, 40));
    DevicePtr device(MakeDevice(target.get()));
    SurfacePtr texture(MakeTexture(device.get(), 16, 16, texels));

    raster::TRasterizer direct;
    // The device keeps the drawn alpha in the X byte of its X8R8G8B8 targets.
    direct.SetAlphaInXByte(true);
    direct.SetRenderTarget(&directTarget);
    direct.SetTexture(&directTexture);
    direct.Viewport() = {0, 0, 48, 40, 0.0f, 1.0f};
    raster::TRenderState& s = direct.State();
    struct Setting {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    for (Setting set :
         {Setting{D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT},
          Setting{D3DRENDERSTATE_CULLMODE, D3DCULL_NONE},
          Setting{D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},
          Setting{D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
          Setting{D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
          Setting{D3DRENDERSTATE_ALPHATESTENABLE, TRUE}, Setting{D3DRENDERSTATE_ALPHAREF, 0x50},
          Setting{D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATER},
          Setting{D3DRENDERSTATE_TEXTUREFACTOR, 0x80C04020}}) {
        ASSERT_EQ(device->SetRenderState(set.state, set.value), D3D_OK);
    }
    s.shadeMode = raster::TShade::Flat;
    s.cullMode = raster::TCull::None;
    s.alphaBlendEnable = true;
    s.srcBlend = raster::TBlend::SrcAlpha;
    s.destBlend = raster::TBlend::InvSrcAlpha;
    s.alphaTestEnable = true;
    s.alphaRef = 0x50;
    s.alphaFunc = raster::TCompare::Greater;
    s.textureFactor = 0x80C04020;
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE2X), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_TFACTOR), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), D3D_OK);
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE), D3D_OK);
    s.stage0.addressU = raster::TAddress::Mirror;
    s.stage0.addressV = raster::TAddress::Clamp;
    s.stage0.magFilter = raster::TFilter::Linear;
    s.stage0.colorOp = raster::TTextureOp::Modulate2x;
    s.stage0.colorArg2 = raster::arg::kTFactor;
    s.stage0.alphaOp = raster::TTextureOp::Modulate;
    s.stage0.alphaArg2 = raster::arg::kDiffuse;
    ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);

    std::vector<D3DTLVERTEX> triangles = {
        {2.5f, 3.0f, 0.5f, 1.0f, 0xFFFF0000, 0, -0.5f, 0.0f},
        {45.0f, 6.25f, 0.5f, 1.0f, 0xC000FF00, 0, 2.5f, 0.25f},
        {20.0f, 37.5f, 0.5f, 1.0f, 0x800000FF, 0, 1.0f, 1.75f},
        {40.0f, 2.0f, 0.2f, 1.0f, 0x60FFFFFF, 0, 0.0f, 0.0f},
        {47.0f, 39.0f, 0.2f, 1.0f, 0xF0808080, 0, 3.0f, 3.0f},
        {1.0f, 30.0f, 0.2f, 1.0f, 0xA0102030, 0, -2.0f, 1.0f},
    };
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF204060, 1.0f, 0), D3D_OK);
    direct.Clear(raster::kClearTarget, 0xFF204060, 1.0f);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, triangles.data(), 6, 0),
              D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_LINESTRIP, D3DFVF_TLVERTEX, triangles.data(), 6, 0),
              D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    ASSERT_TRUE(direct.Draw(raster::TPrimitive::TriangleList, raster::TVertexFormat::Transformed,
                            triangles.data(), 6));
    ASSERT_TRUE(direct.Draw(raster::TPrimitive::LineStrip, raster::TVertexFormat::Transformed,
                            triangles.data(), 6));

    // Unlit vertices lit from the material, through world, view and a perspective projection.
    TMat4 world;
    world.m[12] = 0.25f;  // a move along x
    world.m[0] = 1.5f;
    TMat4 view;
    view.m[14] = 3.0f;
    TMat4 projection = raster::PerspectiveFov(1.0f, 48.0f / 40.0f, 0.5f, 20.0f);
    D3DMATRIX matrices[3];
    std::memcpy(&matrices[0], world.m, sizeof(D3DMATRIX));
    std::memcpy(&matrices[1], view.m, sizeof(D3DMATRIX));
    std::memcpy(&matrices[2], projection.m, sizeof(D3DMATRIX));
    ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_WORLD, &matrices[0]), D3D_OK);
    ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_VIEW, &matrices[1]), D3D_OK);
    ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &matrices[2]), D3D_OK);
    direct.Transforms() = {world, view, projection};
    D3DMATERIAL7 material{
        {0.2f, 0.4f, 0.6f, 0.75f}, {0.5f, 0.25f, 1.0f, 1.0f}, {}, {0.1f, 0.2f, 0.0f, 0.0f}, 0.0f};
    ASSERT_EQ(device->SetMaterial(&material), D3D_OK);
    direct.Material() = {
        {0.2f, 0.4f, 0.6f, 0.75f}, {0.5f, 0.25f, 1.0f, 1.0f}, {}, {0.1f, 0.2f, 0.0f, 0.0f}, 0.0f};
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_AMBIENT, 0xFF808040), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_SHADEMODE, D3DSHADE_GOURAUD), D3D_OK);
    s.ambient = 0xFF808040;
    // The lit colour shows through the combiner.
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG2, D3DTA_DIFFUSE), D3D_OK);
    s.stage0.colorArg2 = raster::arg::kDiffuse;
    s.shadeMode = raster::TShade::Gouraud;
    std::vector<D3DVERTEX> unlit = {
        {-1.0f, -1.0f, 0.5f, 0, 0, -1, 0.0f, 0.0f},
        {1.0f, -0.8f, 1.5f, 0, 0, -1, 2.0f, 0.0f},
        {0.0f, 1.0f, 0.0f, 0, 0, -1, 1.0f, 3.0f},
        {-1.0f, 1.0f, 4.0f, 0, 0, -1, 0.0f, 1.0f},
    };
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    ASSERT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_VERTEX, unlit.data(), 4, 0), D3D_OK);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    direct.ResetStats();
    ASSERT_TRUE(direct.Draw(raster::TPrimitive::TriangleFan, raster::TVertexFormat::Unlit,
                            unlit.data(), 4));
    EXPECT_GT(direct.Stats().fragments, 100u);  // the lit fan is on the screen

    std::vector<uint32_t> through = RawPixels(target.get());
    int differing = 0;
    int drawn = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 48; ++x) {
            uint32_t want = raster::Load32(directTarget.At(x, y));
            if (through[static_cast<size_t>(y * 48 + x)] != want) ++differing;
            if ((want & 0xFFFFFF) != 0x204060) ++drawn;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(drawn, 400);  // the scene covers a good part of the target
}

// A half-transparent quad on an X8R8G8B8 target leaves the blended alpha in the X bytes (what
// a word copy into a texture keeps); a converting Blt still reads those pixels as opaque.
TEST_F(DeviceTest, XBytesOfAnXTargetHoldTheBlendedAlpha) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA), D3D_OK);
    // The diffuse alpha, not the (missing, so opaque) texture's.
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE), D3D_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, ScreenQuad(0, 0, 8, 8, 0x80FF0000)), D3D_OK);
    // Alpha: round((128 * 128 + 255 * 127) / 255) = 191; red: round(255 * 128 / 255) = 128.
    EXPECT_EQ(RawPixel(target.get(), 3, 3), 0xBF800000u);
    EXPECT_EQ(RawPixel(target.get(), 12, 12), 0xFF000000u);
    SurfacePtr converted(MakeSurface(16, 16, TPixelFormat::A4R4G4B4));
    ASSERT_EQ(converted->Blt(nullptr, target.get(), nullptr, DDBLT_WAIT, nullptr), DD_OK);
    EXPECT_EQ(RawPixel(converted.get(), 3, 3), 0xF800u);
}

// ---- Render targets and depth

TEST_F(DeviceTest, TextureWith3dDeviceIsARenderTarget) {
    SurfacePtr back(MakeTarget(32, 32));
    DevicePtr device(MakeDevice(back.get()));
    SurfacePtr texture(MakeTarget(16, 16, TPixelFormat::A8R8G8B8, DDSCAPS_TEXTURE));
    SurfacePtr plainTexture(MakeSurface(16, 16, TPixelFormat::A8R8G8B8, DDSCAPS_TEXTURE));
    EXPECT_EQ(device->SetRenderTarget(plainTexture.get(), 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetRenderTarget(texture.get(), 1), DDERR_INVALIDPARAMS);
    ASSERT_EQ(device->SetRenderTarget(texture.get(), 0), D3D_OK);
    D3DVIEWPORT7 viewport;
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.dwWidth, 16u);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0x00000000, 1.0f, 0), D3D_OK);
    // The vertex alpha reaches the target's alpha.
    ASSERT_EQ(device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_SELECTARG2), D3D_OK);
    ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, ScreenQuad(4, 4, 12, 12, 0x80FF8040)), D3D_OK);
    EXPECT_EQ(RawPixel(texture.get(), 4, 4), 0x80FF8040u);
    EXPECT_EQ(RawPixel(texture.get(), 3, 4), 0u);
    SurfacePtr current;
    ASSERT_EQ(device->GetRenderTarget(current.Out()), D3D_OK);
    EXPECT_EQ(current.get(), texture.get());
    ASSERT_EQ(device->SetRenderTarget(back.get(), 0), D3D_OK);
}

TEST_F(DeviceTest, TargetWithoutZBufferDrawsWithDepthOff) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_ZENABLE, TRUE), D3D_OK);
    ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, TRUE), D3D_OK);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0),
              D3DERR_ZBUFFER_NOTPRESENT);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0), D3D_OK);
    // A near quad, then a far one over it: without depth the far one wins.
    std::vector<D3DTLVERTEX> nearQuad = ScreenQuad(0, 0, 16, 16, 0xFFFF0000);
    std::vector<D3DTLVERTEX> farQuad = ScreenQuad(0, 0, 16, 16, 0xFF00FF00);
    for (D3DTLVERTEX& v : nearQuad)
        v.sz = 0.1f;
    for (D3DTLVERTEX& v : farQuad)
        v.sz = 0.9f;
    ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, nearQuad), D3D_OK);
    ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, farQuad), D3D_OK);
    EXPECT_EQ(RawPixel(target.get(), 8, 8) & 0xFFFFFF, 0x00FF00u);

    // With a z-buffer attached the same draws keep the near quad.
    SurfacePtr zbuffer(MakeSurface(16, 16, TPixelFormat::D16));
    ASSERT_EQ(target->AddAttachedSurface(zbuffer.get()), DD_OK);
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF000000, 1.0f, 0),
              D3D_OK);
    ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, nearQuad), D3D_OK);
    ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, farQuad), D3D_OK);
    EXPECT_EQ(RawPixel(target.get(), 8, 8) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(RawPixel(zbuffer.get(), 8, 8), static_cast<uint32_t>(std::lround(0.1 * 65535)));
    // Detached, it is no longer the device's: depth is off again.
    ASSERT_EQ(target->DeleteAttachedSurface(0, zbuffer.get()), DD_OK);
    ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, farQuad), D3D_OK);
    EXPECT_EQ(RawPixel(target.get(), 8, 8) & 0xFFFFFF, 0x00FF00u);
}

// A clear of the z-buffer leaves every value at its depth whatever touched the buffer since the
// previous clear (the device leaves out only a clear that would write what is already there).
TEST_F(DeviceTest, DepthClearAfterWhatTouchedTheBufferLeavesItAllAtItsDepth) {
    constexpr uint16_t kFar = 0xFFFF;
    constexpr uint16_t kHalf = 0x8000;
    struct Case {
        const char* name;
        std::function<void(IDirect3DDevice7*, IDirectDrawSurface7*, SurfacePtr&)> between;
        float z;
        uint16_t expected;
    };
    auto drawAt = [this](IDirect3DDevice7* device, bool test, bool write, float z) {
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_ZENABLE, test), D3D_OK);
        ASSERT_EQ(device->SetRenderState(D3DRENDERSTATE_ZWRITEENABLE, write), D3D_OK);
        std::vector<D3DTLVERTEX> quad = ScreenQuad(0, 0, 16, 16, 0xFFFF0000);
        for (D3DTLVERTEX& v : quad)
            v.sz = z;
        ASSERT_EQ(DrawFan(device, D3DFVF_TLVERTEX, quad), D3D_OK);
    };
    auto viewport = [](IDirect3DDevice7* device, DWORD side) {
        D3DVIEWPORT7 v{0, 0, side, side, 0.0f, 1.0f};
        ASSERT_EQ(device->SetViewport(&v), D3D_OK);
    };
    const Case cases[] = {
        {"nothing", [](auto*, auto*, SurfacePtr&) {}, 1.0f, kFar},
        {"nothing, another depth", [](auto*, auto*, SurfacePtr&) {}, 0.5f, kHalf},
        {"a draw testing depth only",
         [&](auto* d, auto*, SurfacePtr&) { drawAt(d, true, false, 0.25f); }, 1.0f, kFar},
        {"a draw without depth",
         [&](auto* d, auto*, SurfacePtr&) { drawAt(d, false, true, 0.25f); }, 1.0f, kFar},
        {"a draw writing depth", [&](auto* d, auto*, SurfacePtr&) { drawAt(d, true, true, 0.25f); },
         1.0f, kFar},
        {"values written through a lock",
         [this](auto*, auto*, SurfacePtr& z) { WriteRaw(z.get(), std::vector<uint32_t>(256, 7)); },
         1.0f, kFar},
        {"a clear of a corner to another depth",
         [&](auto* d, auto*, SurfacePtr&) {
             viewport(d, 8);
             ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0), D3D_OK);
             viewport(d, 16);
         },
         1.0f, kFar},
        {"a draw writing depth, then a corner cleared to the same depth",
         [&](auto* d, auto*, SurfacePtr&) {
             drawAt(d, true, true, 0.25f);
             viewport(d, 8);
             ASSERT_EQ(d->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
             viewport(d, 16);
         },
         1.0f, kFar},
        {"another z-buffer, filled once, attached",
         [this](auto*, IDirectDrawSurface7* target, SurfacePtr& z) {
             ASSERT_EQ(target->DeleteAttachedSurface(0, z.get()), DD_OK);
             *z.Out() = MakeSurface(16, 16, TPixelFormat::D16);
             DDBLTFX fx{};
             fx.dwSize = sizeof fx;
             fx.dwFillColor = 7;
             ASSERT_EQ(z->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx), DD_OK);
             ASSERT_EQ(target->AddAttachedSurface(z.get()), DD_OK);
         },
         1.0f, kFar},
        {"another z-buffer attached",
         [this](auto*, IDirectDrawSurface7* target, SurfacePtr& z) {
             ASSERT_EQ(target->DeleteAttachedSurface(0, z.get()), DD_OK);
             *z.Out() = MakeSurface(16, 16, TPixelFormat::D16);
             ASSERT_EQ(target->AddAttachedSurface(z.get()), DD_OK);
         },
         1.0f, kFar},
        {"lost and restored",
         [](auto*, IDirectDrawSurface7* target, SurfacePtr& z) {
             control::LoseAllSurfaces();
             ASSERT_EQ(target->Restore(), DD_OK);
             ASSERT_EQ(z->Restore(), DD_OK);
         },
         1.0f, kFar},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SurfacePtr target(MakeTarget(16, 16));
        SurfacePtr zbuffer(MakeSurface(16, 16, TPixelFormat::D16));
        ASSERT_EQ(target->AddAttachedSurface(zbuffer.get()), DD_OK);
        DevicePtr device(MakeDevice(target.get()));
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
        c.between(device.get(), target.get(), zbuffer);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, c.z, 0), D3D_OK);
        EXPECT_EQ(RawPixels(zbuffer.get()), std::vector<uint32_t>(256, c.expected));
        // And a frame later, after the buffer was read.
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
        drawAt(device.get(), true, false, 0.25f);
        ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
        EXPECT_EQ(RawPixels(zbuffer.get()), std::vector<uint32_t>(256, kFar));
    }
}

// ---- References

TEST_F(DeviceTest, BoundTextureOutlivesItsOutsideReferences) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    IDirectDrawSurface7* texture =
        MakeTexture(device.get(), 2, 2, {0xFFFF0000, 0xFFFF0000, 0xFFFF0000, 0xFFFF0000});
    ASSERT_NE(texture, nullptr);
    ASSERT_EQ(device->SetTexture(0, texture), D3D_OK);
    uint32_t id = control::SurfaceId(texture);
    EXPECT_EQ(texture->Release(), 1u);  // the device's reference is left
    ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, ScreenQuad(0, 0, 16, 16, ~0u)), D3D_OK);
    EXPECT_EQ(RawPixel(target.get(), 5, 5) & 0xFFFFFF, 0xFF0000u);
    auto alive = [&] {
        for (const control::SurfaceInfo& info : control::Surfaces())
            if (info.id == id) return true;
        return false;
    };
    EXPECT_TRUE(alive());
    ASSERT_EQ(device->SetTexture(0, nullptr), D3D_OK);
    EXPECT_FALSE(alive());
}

TEST_F(DeviceTest, RenderTargetOutlivesItsOutsideReferences) {
    IDirectDrawSurface7* target = MakeTarget(8, 8);
    DevicePtr device(MakeDevice(target));
    EXPECT_EQ(target->Release(), 1u);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF123456, 1.0f, 0), D3D_OK);
    EXPECT_EQ(control::Surfaces().size(), 1u);
    device.Reset();
    EXPECT_TRUE(control::Surfaces().empty());
}

// ---- State read-back

TEST_F(DeviceTest, StateReadBackEqualsWhatWasSet) {
    SurfacePtr target(MakeTarget(32, 32));
    DevicePtr device(MakeDevice(target.get()));
    SurfacePtr texture(MakeTexture(device.get(), 4, 4, Pattern(4, 4)));
    struct RenderCase {
        D3DRENDERSTATETYPE state;
        DWORD value;
    };
    const RenderCase renderStates[] = {
        {D3DRENDERSTATE_AMBIENT, 0xFF202020},
        {D3DRENDERSTATE_ZENABLE, TRUE},
        {D3DRENDERSTATE_ZWRITEENABLE, FALSE},
        {D3DRENDERSTATE_COLORVERTEX, FALSE},
        {D3DRENDERSTATE_LIGHTING, FALSE},
        {D3DRENDERSTATE_NORMALIZENORMALS, TRUE},
        {D3DRENDERSTATE_DIFFUSEMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRENDERSTATE_SPECULARMATERIALSOURCE, D3DMCS_MATERIAL},
        {D3DRENDERSTATE_AMBIENTMATERIALSOURCE, D3DMCS_COLOR1},
        {D3DRENDERSTATE_EMISSIVEMATERIALSOURCE, D3DMCS_COLOR2},
        {D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA},
        {D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA},
        {D3DRENDERSTATE_ALPHABLENDENABLE, TRUE},
        {D3DRENDERSTATE_WRAP0, 0},
        {D3DRENDERSTATE_ALPHATESTENABLE, TRUE},
        {D3DRENDERSTATE_ALPHAREF, 0x08},
        {D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL},
        {D3DRENDERSTATE_SHADEMODE, D3DSHADE_FLAT},
        {D3DRENDERSTATE_SPECULARENABLE, TRUE},
        {D3DRENDERSTATE_CLIPPING, FALSE},
        {D3DRENDERSTATE_CULLMODE, D3DCULL_CW},
        {D3DRENDERSTATE_ANTIALIAS, 1},
        {D3DRENDERSTATE_TEXTUREFACTOR, 0x11223344},
    };
    for (const RenderCase& c : renderStates)
        ASSERT_EQ(device->SetRenderState(c.state, c.value), D3D_OK) << c.state;
    struct StageCase {
        D3DTEXTURESTAGESTATETYPE state;
        DWORD value;
    };
    const StageCase stageStates[] = {
        {D3DTSS_MAGFILTER, D3DTFG_LINEAR},
        {D3DTSS_MINFILTER, D3DTFN_LINEAR},
        {D3DTSS_MIPFILTER, D3DTFP_LINEAR},
        {D3DTSS_ADDRESSU, D3DTADDRESS_MIRROR},
        {D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP},
        {D3DTSS_COLOROP, D3DTOP_ADD},
        {D3DTSS_COLORARG1, D3DTA_TEXTURE | D3DTA_COMPLEMENT},
        {D3DTSS_COLORARG2, D3DTA_DIFFUSE},
        {D3DTSS_ALPHAOP, D3DTOP_SELECTARG2},
        {D3DTSS_ALPHAARG1, D3DTA_TFACTOR},
        {D3DTSS_ALPHAARG2, D3DTA_TEXTURE | D3DTA_ALPHAREPLICATE},
    };
    for (const StageCase& c : stageStates)
        ASSERT_EQ(device->SetTextureStageState(0, c.state, c.value), D3D_OK) << c.state;
    D3DMATRIX world{};
    D3DMATRIX view{};
    D3DMATRIX projection = Projection2d(32, 32, -0.5f);
    for (int i = 0; i < 16; ++i) {
        reinterpret_cast<float*>(&world)[i] = static_cast<float>(i) * 0.5f;
        reinterpret_cast<float*>(&view)[i] = static_cast<float>(16 - i);
    }
    ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_WORLD, &world), D3D_OK);
    ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_VIEW, &view), D3D_OK);
    ASSERT_EQ(device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection), D3D_OK);
    D3DVIEWPORT7 viewport{2, 3, 20, 10, 0.0f, 1.0f};
    ASSERT_EQ(device->SetViewport(&viewport), D3D_OK);
    D3DMATERIAL7 material{
        {0.1f, 0.2f, 0.3f, 0.4f}, {1, 1, 1, 1}, {0, 0, 0, 0}, {0.5f, 0, 0, 1}, 2.0f};
    ASSERT_EQ(device->SetMaterial(&material), D3D_OK);
    ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);

    control::DeviceState state = control::StateOf(device.get());
    for (const RenderCase& c : renderStates) {
        EXPECT_EQ(state.renderStates[c.state], c.value) << c.state;
        DWORD value = 0;
        ASSERT_EQ(device->GetRenderState(c.state, &value), D3D_OK);
        EXPECT_EQ(value, c.value);
    }
    for (const StageCase& c : stageStates)
        EXPECT_EQ(state.stageStates[c.state], c.value);
    EXPECT_EQ(std::memcmp(&state.world, &world, sizeof world), 0);
    EXPECT_EQ(std::memcmp(&state.view, &view, sizeof view), 0);
    EXPECT_EQ(std::memcmp(&state.projection, &projection, sizeof projection), 0);
    EXPECT_EQ(std::memcmp(&state.viewport, &viewport, sizeof viewport), 0);
    EXPECT_EQ(std::memcmp(&state.material, &material, sizeof material), 0);
    EXPECT_EQ(state.texture, control::SurfaceId(texture.get()));
    EXPECT_EQ(state.renderTarget, control::SurfaceId(target.get()));
    EXPECT_TRUE(state.inScene);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    EXPECT_FALSE(control::StateOf(device.get()).inScene);
}

TEST_F(DeviceTest, StateValuesOutsideTheirRangeAreRefused) {
    SurfacePtr target(MakeTarget(8, 8));
    DevicePtr device(MakeDevice(target.get()));
    SurfacePtr plain(MakeSurface(8, 8, TPixelFormat::X8R8G8B8));
    struct RenderCase {
        DWORD state;
        DWORD value;
    };
    for (RenderCase c :
         {RenderCase{D3DRENDERSTATE_CULLMODE, 0}, RenderCase{D3DRENDERSTATE_CULLMODE, 4},
          RenderCase{D3DRENDERSTATE_SRCBLEND, 11}, RenderCase{D3DRENDERSTATE_ALPHAFUNC, 0},
          RenderCase{D3DRENDERSTATE_SHADEMODE, 3}, RenderCase{kD3DRenderStateCount, 0}}) {
        EXPECT_EQ(device->SetRenderState(static_cast<D3DRENDERSTATETYPE>(c.state), c.value),
                  DDERR_INVALIDPARAMS)
            << c.state << " " << c.value;
    }
    DWORD cull = 0;
    ASSERT_EQ(device->GetRenderState(D3DRENDERSTATE_CULLMODE, &cull), D3D_OK);
    EXPECT_EQ(cull, D3DCULL_CCW);
    EXPECT_EQ(device->SetTextureStageState(0, D3DTSS_ADDRESSU, 4), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetTextureStageState(0, D3DTSS_MIPFILTER, 0), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetTextureStageState(0, D3DTSS_COLORARG1, 5), DDERR_INVALIDPARAMS);
    EXPECT_EQ(device->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_DISABLE), DDERR_INVALIDPARAMS);
    // Only texture surfaces are bound.
    EXPECT_EQ(device->SetTexture(0, plain.get()), DDERR_INVALIDPARAMS);
}

// ---- Loss

TEST_F(DeviceTest, LostTargetAnswersSurfaceLostUntilRestoredAndManagedTexturesStillDraw) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    SurfacePtr texture(
        MakeTexture(device.get(), 2, 2, {0xFF0000FF, 0xFF0000FF, 0xFF0000FF, 0xFF0000FF}));
    ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    control::LoseAllSurfaces();
    std::vector<D3DTLVERTEX> quad = ScreenQuad(0, 0, 16, 16, ~0u);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, quad.data(), 4, 0),
              DDERR_SURFACELOST);
    EXPECT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), DDERR_SURFACELOST);
    EXPECT_EQ(device->EndScene(), DDERR_SURFACELOST);
    EXPECT_EQ(device->BeginScene(), DDERR_SURFACELOST);
    EXPECT_EQ(texture->IsLost(), DD_OK);
    ASSERT_EQ(mDraw->RestoreAllSurfaces(), DD_OK);
    EXPECT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, quad), D3D_OK);
    EXPECT_EQ(RawPixel(target.get(), 8, 8) & 0xFFFFFF, 0x0000FFu);
}

TEST_F(DeviceTest, LostBoundTextureStopsDrawing) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    // A texture of DirectDraw's own is lost with the rest.
    SurfacePtr texture(MakeSurface(4, 4, TPixelFormat::A8R8G8B8, DDSCAPS_TEXTURE));
    ASSERT_EQ(device->SetTexture(0, texture.get()), D3D_OK);
    control::LoseAllSurfaces();
    ASSERT_EQ(target->Restore(), DD_OK);
    EXPECT_EQ(device->BeginScene(), DDERR_SURFACELOST);
    ASSERT_EQ(texture->Restore(), DD_OK);
    EXPECT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->EndScene(), D3D_OK);
}

// ---- Failure injection and the call log

// The calls a frame makes for every draw, watched: each goes to the call log with its arguments
// and answers an armed failure instead of running.
TEST_F(DeviceTest, PerDrawCallsAreLoggedWithTheirArgumentsAndAnswerArmedFailures) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    SurfacePtr texture(MakeTexture(device.get(), 2, 2, std::vector<uint32_t>(4, ~0u)));
    ASSERT_NE(texture.get(), nullptr);
    std::vector<D3DTLVERTEX> quad = ScreenQuad(0, 0, 4, 4, ~0u);
    D3DMATRIX projection = Projection2d(16, 16, -0.5f);
    const std::string surface = "surface=" + std::to_string(control::SurfaceId(texture.get()));
    struct Case {
        const char* operation;
        std::string args;
        std::function<HRESULT()> call;
    };
    const Case cases[] = {
        {"SetRenderState", "state=137 value=0x0",
         [&] { return device->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE); }},
        {"SetTextureStageState", "stage=0 state=1 value=0x4",
         [&] { return device->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_MODULATE); }},
        {"SetTexture", "stage=0 " + surface, [&] { return device->SetTexture(0, texture.get()); }},
        {"SetTransform", "type=3",
         [&] { return device->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection); }},
        {"DrawPrimitive", "type=6 fvf=0x1C4 count=4 flags=0x0",
         [&] {
             return device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, quad.data(), 4, 0);
         }},
    };
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.operation);
        control::KeepCallLog(true);
        EXPECT_EQ(c.call(), D3D_OK);
        control::Failure once;
        once.code = static_cast<uint32_t>(DDERR_CURRENTLYNOTAVAIL);
        once.count = 1;
        control::InjectFailure(c.operation, once);
        EXPECT_EQ(c.call(), DDERR_CURRENTLYNOTAVAIL);
        std::vector<control::LoggedCall> log = control::CallLog();
        control::ClearFailures();  // and the log
        ASSERT_EQ(log.size(), 2u);
        for (const control::LoggedCall& logged : log) {
            EXPECT_EQ(logged.operation, c.operation);
            EXPECT_EQ(logged.args, c.args);
        }
        EXPECT_EQ(log[0].result, D3D_OK);
        EXPECT_EQ(log[1].result, DDERR_CURRENTLYNOTAVAIL);
    }
    ASSERT_EQ(device->EndScene(), D3D_OK);
}

TEST_F(DeviceTest, InjectedFailuresMatchTheirCalls) {
    SurfacePtr target(MakeTarget(16, 16));
    DevicePtr device(MakeDevice(target.get()));
    SurfacePtr target16(MakeTarget(16, 16, TPixelFormat::R5G6B5));
    SurfacePtr target32(MakeTarget(16, 16));
    control::InjectFailure(
        "SetRenderTarget",
        {.code = static_cast<uint32_t>(DDERR_INVALIDPIXELFORMAT),
         .count = -1,
         .when = [](const port::CallInfo& call) { return call.Arg("bits") == 16; }});
    control::KeepCallLog(true);
    EXPECT_EQ(device->SetRenderTarget(target16.get(), 0), DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(device->SetRenderTarget(target32.get(), 0), D3D_OK);
    control::Failure oneLater;
    oneLater.code = static_cast<uint32_t>(DDERR_OUTOFVIDEOMEMORY);
    oneLater.after = 1;
    control::InjectFailure("DrawPrimitive", oneLater);
    std::vector<D3DTLVERTEX> quad = ScreenQuad(0, 0, 4, 4, ~0u);
    ASSERT_EQ(device->BeginScene(), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, quad.data(), 4, 0), D3D_OK);
    EXPECT_EQ(device->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, quad.data(), 4, 0),
              DDERR_OUTOFVIDEOMEMORY);
    ASSERT_EQ(device->EndScene(), D3D_OK);
    std::vector<control::LoggedCall> log = control::CallLog();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[0].operation, "SetRenderTarget");
    EXPECT_EQ(log[0].result, DDERR_INVALIDPIXELFORMAT);
    EXPECT_NE(log[0].args.find("bits=16"), std::string::npos) << log[0].args;
    control::ClearFailures();
}

}  // namespace
}  // namespace device_testing
