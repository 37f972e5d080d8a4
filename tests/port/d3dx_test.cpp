// D3DX textures: size and format substitutions, mip chains with their filters, uploads that
// stay inside the surface, and managed textures in and out of video memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <list>
#include <vector>

#include "devicefixture.h"
#include "port/control.h"
#include "port/display/surfaceshape.h"

namespace device_testing {
namespace {

using raster::TPixelFormat;
namespace control = port::control;

class D3dxTest : public DeviceTest {
protected:
    // A device made as described, on a 16 x 16 target (its own Direct3D object sees the
    // description).
    void UseDevice(const control::DeviceSpec& spec) {
        mDevice.Reset();
        mTarget.Reset();
        control::SetDevices({spec});
        Held<IDirect3D7> d3d;
        ASSERT_EQ(mDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(d3d.Out())),
                  DD_OK);
        *mTarget.Out() = MakeTarget(16, 16);
        ASSERT_EQ(d3d->CreateDevice(spec.guid, mTarget.get(), mDevice.Out()), D3D_OK);
    }
    void TearDown() override {
        mDevice.Reset();
        mTarget.Reset();
        DeviceTest::TearDown();
    }

    SurfacePtr mTarget;
    DevicePtr mDevice;
};

control::DeviceSpec WithFormats(std::vector<const char*> names) {
    control::DeviceSpec spec = control::DefaultDevice();
    spec.textureFormats.clear();
    for (const char* name : names)
        spec.textureFormats.push_back(control::TextureFormat(name));
    return spec;
}

TEST_F(D3dxTest, CreateTextureSubstitutesSizesAndFormats) {
    control::DeviceSpec plain = control::DefaultDevice();
    control::DeviceSpec square = plain;
    square.textureCaps |= D3DPTEXTURECAPS_SQUAREONLY;
    control::DeviceSpec narrow = plain;
    narrow.maxTextureAspectRatio = 4;
    control::DeviceSpec small = plain;
    small.maxTextureWidth = small.maxTextureHeight = 256;
    control::DeviceSpec anySize = plain;
    anySize.textureCaps = 0;
    control::DeviceSpec no8888 = WithFormats({"L8", "A4R4G4B4", "R5G6B5"});
    control::DeviceSpec only8888 = WithFormats({"A8R8G8B8"});
    control::DeviceSpec only16 = WithFormats({"R5G6B5", "A4R4G4B4"});
    control::DeviceSpec onlyX888 = WithFormats({"X8R8G8B8"});
    struct Case {
        const char* what;
        const control::DeviceSpec* device;
        DWORD width, height;
        D3DX_SURFACEFORMAT format;
        DWORD madeWidth, madeHeight;
        D3DX_SURFACEFORMAT made;
    };
    const Case cases[] = {
        {"powers of two", &plain, 800, 512, D3DX_SF_A8R8G8B8, 1024, 512, D3DX_SF_A8R8G8B8},
        {"already a power", &plain, 64, 32, D3DX_SF_R5G6B5, 64, 32, D3DX_SF_R5G6B5},
        {"square only", &square, 100, 50, D3DX_SF_X8R8G8B8, 128, 128, D3DX_SF_X8R8G8B8},
        {"aspect too large", &narrow, 256, 16, D3DX_SF_A4R4G4B4, 256, 256, D3DX_SF_A4R4G4B4},
        {"aspect at the limit", &narrow, 64, 16, D3DX_SF_A4R4G4B4, 64, 16, D3DX_SF_A4R4G4B4},
        {"clamped", &small, 1000, 300, D3DX_SF_A8R8G8B8, 256, 256, D3DX_SF_A8R8G8B8},
        {"any size", &anySize, 100, 50, D3DX_SF_A8R8G8B8, 100, 50, D3DX_SF_A8R8G8B8},
        {"8888 to 4444", &no8888, 32, 32, D3DX_SF_A8R8G8B8, 32, 32, D3DX_SF_A4R4G4B4},
        {"x888 to 565", &no8888, 32, 32, D3DX_SF_X8R8G8B8, 32, 32, D3DX_SF_R5G6B5},
        {"x888 to 8888", &only8888, 32, 32, D3DX_SF_X8R8G8B8, 32, 32, D3DX_SF_A8R8G8B8},
        {"4444 to 8888", &only8888, 32, 32, D3DX_SF_A4R4G4B4, 32, 32, D3DX_SF_A8R8G8B8},
        {"565 to x888", &onlyX888, 8, 8, D3DX_SF_R5G6B5, 8, 8, D3DX_SF_X8R8G8B8},
        {"8888 on a 16-bit device", &only16, 8, 8, D3DX_SF_A8R8G8B8, 8, 8, D3DX_SF_A4R4G4B4},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UseDevice(*c.device);
        DWORD width = c.width;
        DWORD height = c.height;
        D3DX_SURFACEFORMAT format = c.format;
        SurfacePtr texture;
        ASSERT_EQ(D3DXCreateTexture(mDevice.get(), &width, &height, &format, D3DX_TEXTURE_NOMIPMAP,
                                    texture.Out()),
                  D3D_OK);
        EXPECT_EQ(width, c.madeWidth);
        EXPECT_EQ(height, c.madeHeight);
        EXPECT_EQ(format, c.made);
        DDSURFACEDESC2 desc = display_testing::EmptyDesc();
        ASSERT_EQ(texture->GetSurfaceDesc(&desc), DD_OK);
        EXPECT_EQ(desc.dwWidth, c.madeWidth);
        EXPECT_EQ(desc.dwHeight, c.madeHeight);
        EXPECT_NE(desc.ddsCaps.dwCaps & DDSCAPS_TEXTURE, 0u);
        EXPECT_EQ(control::TextureLevelCount(texture.get()), 1);
    }
}

TEST_F(D3dxTest, CreateTextureRefusesWhatNoFormatOrSizeFits) {
    UseDevice(WithFormats({"X8R8G8B8"}));
    DWORD width = 16;
    DWORD height = 16;
    D3DX_SURFACEFORMAT format = D3DX_SF_R5G6B5;
    SurfacePtr texture;
    // R5G6B5's only substitute is X8R8G8B8, which this device lists.
    ASSERT_EQ(D3DXCreateTexture(mDevice.get(), &width, &height, &format, 0, texture.Out()), D3D_OK);
    EXPECT_EQ(format, D3DX_SF_X8R8G8B8);
    format = D3DX_SF_A4R4G4B4;
    EXPECT_EQ(D3DXCreateTexture(mDevice.get(), &width, &height, &format, 0, texture.Out()),
              DDERR_INVALIDPIXELFORMAT);
    EXPECT_EQ(texture.get(), nullptr);
    format = D3DX_SF_UNKNOWN;
    EXPECT_EQ(D3DXCreateTexture(mDevice.get(), &width, &height, &format, 0, texture.Out()),
              DDERR_INVALIDPARAMS);
    format = D3DX_SF_X8R8G8B8;
    width = 0;
    EXPECT_EQ(D3DXCreateTexture(mDevice.get(), &width, &height, &format, 0, texture.Out()),
              DDERR_INVALIDPARAMS);
    width = 16;
    EXPECT_EQ(D3DXCreateTexture(nullptr, &width, &height, &format, 0, texture.Out()),
              DDERR_INVALIDPARAMS);
}

// The 2 x 2 level of a 256 x 256 chain: the box average of the 4 x 4 level with LINEAR, its
// top-left texels with POINT; every level down to 1 x 1 made.
TEST_F(D3dxTest, MipChainLevelsComeFromTheLevelAboveByTheFilter) {
    UseDevice(control::DefaultDevice());
    std::vector<uint32_t> pixels = Pattern(256, 256);
    for (DWORD filter : {D3DX_FILTER_LINEAR, D3DX_FILTER_POINT}) {
        SCOPED_TRACE(filter);
        DWORD width = 256;
        DWORD height = 256;
        D3DX_SURFACEFORMAT format = D3DX_SF_A8R8G8B8;
        SurfacePtr texture;
        ASSERT_EQ(D3DXCreateTexture(mDevice.get(), &width, &height, &format, 0, texture.Out()),
                  D3D_OK);
        ASSERT_EQ(control::TextureLevelCount(texture.get()), 9);
        ASSERT_EQ(
            D3DXLoadTextureFromMemory(mDevice.get(), texture.get(), D3DX_DEFAULT, pixels.data(),
                                      nullptr, D3DX_SF_A8R8G8B8, 0, nullptr, filter),
            D3D_OK);
        control::Image top = control::TextureLevel(texture.get(), 0);
        EXPECT_EQ(top.argb, pixels);
        for (int level = 1; level < 9; ++level) {
            control::Image image = control::TextureLevel(texture.get(), level);
            EXPECT_EQ(image.width, 256 >> level);
            EXPECT_EQ(image.height, 256 >> level);
        }
        EXPECT_TRUE(control::TextureLevel(texture.get(), 9).Empty());
        control::Image above = control::TextureLevel(texture.get(), 6);
        control::Image two = control::TextureLevel(texture.get(), 7);
        ASSERT_EQ(two.width, 2);
        for (int y = 0; y < 2; ++y) {
            for (int x = 0; x < 2; ++x) {
                uint32_t want = 0;
                if (filter == D3DX_FILTER_POINT) {
                    want = above.At(2 * x, 2 * y);
                } else {
                    for (int shift = 0; shift < 32; shift += 8) {
                        uint32_t sum = 0;
                        for (int dy = 0; dy < 2; ++dy)
                            for (int dx = 0; dx < 2; ++dx)
                                sum += above.At(2 * x + dx, 2 * y + dy) >> shift & 0xFF;
                        want |= (sum + 2) / 4 << shift;
                    }
                }
                EXPECT_EQ(two.At(x, y), want) << x << "," << y;
            }
        }
        // The box average differs from the nearest texels on this pattern.
        if (filter == D3DX_FILTER_LINEAR) {
            EXPECT_NE(two.At(0, 0), above.At(0, 0));
        }
    }
}

// Loading a rectangle larger than the surface (D3DX clamped the size) writes the part on the
// surface and nothing outside; the source is read only within the rectangle's size.
TEST_F(D3dxTest, LoadClipsTheRectangleToTheSurface) {
    control::DeviceSpec spec = control::DefaultDevice();
    spec.maxTextureWidth = spec.maxTextureHeight = 64;
    UseDevice(spec);
    DWORD width = 128;
    DWORD height = 128;
    D3DX_SURFACEFORMAT format = D3DX_SF_A8R8G8B8;
    SurfacePtr texture;
    ASSERT_EQ(D3DXCreateTexture(mDevice.get(), &width, &height, &format, D3DX_TEXTURE_NOMIPMAP,
                                texture.Out()),
              D3D_OK);
    ASSERT_EQ(width, 64u);
    // Exactly the asked size on the heap, so that a read past it shows under ASan.
    std::vector<uint32_t> pixels = Pattern(128, 128);
    RECT asked{0, 0, 128, 128};
    ASSERT_EQ(D3DXLoadTextureFromMemory(mDevice.get(), texture.get(), 0, pixels.data(), nullptr,
                                        D3DX_SF_A8R8G8B8, 0, &asked, D3DX_FILTER_POINT),
              D3D_OK);
    control::Image image = control::TextureLevel(texture.get(), 0);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(image.At(x, y), pixels[static_cast<size_t>(y * 128 + x)]) << x << "," << y;

    // A rectangle starting above and left of the surface: its source starts that far in.
    std::vector<uint32_t> small = Pattern(16, 16);
    RECT offset{-4, -8, 12, 8};
    ASSERT_EQ(D3DXLoadTextureFromMemory(mDevice.get(), texture.get(), 0, small.data(), nullptr,
                                        D3DX_SF_A8R8G8B8, 0, &offset, D3DX_FILTER_POINT),
              D3D_OK);
    image = control::TextureLevel(texture.get(), 0);
    EXPECT_EQ(image.At(0, 0), small[8 * 16 + 4]);
    EXPECT_EQ(image.At(11, 7), small[15 * 16 + 15]);
    EXPECT_EQ(image.At(12, 0), pixels[12]);
    RECT outside{64, 0, 80, 16};
    EXPECT_EQ(D3DXLoadTextureFromMemory(mDevice.get(), texture.get(), 0, small.data(), nullptr,
                                        D3DX_SF_A8R8G8B8, 0, &outside, D3DX_FILTER_POINT),
              D3D_OK);
    EXPECT_EQ(control::TextureLevel(texture.get(), 0).argb, image.argb);
    // Refused: an empty rectangle, a pitch shorter than a row, another source format.
    RECT empty{4, 4, 4, 8};
    EXPECT_EQ(D3DXLoadTextureFromMemory(mDevice.get(), texture.get(), 0, small.data(), nullptr,
                                        D3DX_SF_A8R8G8B8, 0, &empty, D3DX_FILTER_POINT),
              DDERR_INVALIDRECT);
    EXPECT_EQ(D3DXLoadTextureFromMemory(mDevice.get(), texture.get(), 0, small.data(), nullptr,
                                        D3DX_SF_A8R8G8B8, 60, &offset, D3DX_FILTER_POINT),
              DDERR_INVALIDPARAMS);
    EXPECT_EQ(D3DXLoadTextureFromMemory(mDevice.get(), texture.get(), 0, small.data(), nullptr,
                                        D3DX_SF_R5G6B5, 0, &offset, D3DX_FILTER_POINT),
              DDERR_INVALIDPARAMS);
}

TEST_F(D3dxTest, LoadConvertsIntoTheSurfaceFormat) {
    UseDevice(WithFormats({"A4R4G4B4"}));
    SurfacePtr texture(
        MakeTexture(mDevice.get(), 2, 1, {0x8F3C7AE1, 0xFFFFFFFF}, D3DX_SF_A8R8G8B8));
    EXPECT_EQ(RawPixel(texture.get(), 0, 0), 0x837Eu);  // the top four bits of each channel
    EXPECT_EQ(RawPixel(texture.get(), 1, 0), 0xFFFFu);
}

// ---- Managed textures and video memory

class ManagedTest : public D3dxTest {
protected:
    // A texture of 64 x 64 A8R8G8B8 (16 KB), one level.
    IDirectDrawSurface7* Texture64(uint32_t color) {
        return MakeTexture(mDevice.get(), 64, 64, std::vector<uint32_t>(64 * 64, color));
    }
    HRESULT DrawWith(IDirectDrawSurface7* texture) {
        EXPECT_EQ(mDevice->SetTexture(0, texture), D3D_OK);
        return DrawFan(mDevice.get(), D3DFVF_TLVERTEX, ScreenQuad(0, 0, 16, 16, ~0u));
    }
};

TEST_F(ManagedTest, FullBudgetMakesTheDrawFailUntilRoomIsGivenBack) {
    control::AdapterSpec adapter;
    adapter.videoMemory = 64 * 1024;
    control::SetAdapters({adapter});
    // The DirectDraw object keeps its device: make one on the small device.
    mDraw->Release();
    mDraw = nullptr;
    ASSERT_EQ(
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7, nullptr),
        DD_OK);
    UseDevice(control::DefaultDevice());
    SurfacePtr texture(Texture64(0xFF00FF00));
    EXPECT_TRUE(control::ResidentTextures().empty());
    // Plain surfaces take what is left, less than the texture needs.
    std::list<SurfacePtr> filler;
    while (control::VideoMemory().free >= 8 * 1024) {
        filler.emplace_back(MakeSurface(32, 32, TPixelFormat::X8R8G8B8,
                                        DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY));
    }
    EXPECT_EQ(DrawWith(texture.get()), DDERR_OUTOFVIDEOMEMORY);
    filler.pop_back();
    filler.pop_back();
    filler.pop_back();
    uint64_t freeBefore = control::VideoMemory().free;
    ASSERT_EQ(DrawWith(texture.get()), D3D_OK);
    EXPECT_EQ(RawPixel(mTarget.get(), 4, 4) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(control::ResidentTextures(),
              std::vector<uint32_t>{control::SurfaceId(texture.get())});
    uint64_t taken = freeBefore - control::VideoMemory().free;
    EXPECT_GE(taken, 64u * 64 * 4);
    Held<IDirect3D7> d3d;
    ASSERT_EQ(mDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(d3d.Out())), DD_OK);
    ASSERT_EQ(d3d->EvictManagedTextures(), D3D_OK);
    EXPECT_TRUE(control::ResidentTextures().empty());
    EXPECT_EQ(control::VideoMemory().free, freeBefore);
    // Released while resident, a texture gives its memory back.
    ASSERT_EQ(DrawWith(texture.get()), D3D_OK);
    ASSERT_EQ(mDevice->SetTexture(0, nullptr), D3D_OK);
    texture.Reset();
    EXPECT_EQ(control::VideoMemory().free, freeBefore);
    EXPECT_TRUE(control::ResidentTextures().empty());
}

TEST_F(ManagedTest, DrawingEvictsTheLeastRecentlyUsedTexture) {
    control::AdapterSpec adapter;
    // The target and room for two textures of 16 KB (rows of 256 bytes, aligned), not three.
    adapter.videoMemory = 16 * 16 * 4 + 2 * 64 * 64 * 4 + 1024;
    control::SetAdapters({adapter});
    mDraw->Release();
    mDraw = nullptr;
    ASSERT_EQ(
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7, nullptr),
        DD_OK);
    UseDevice(control::DefaultDevice());
    SurfacePtr a(Texture64(0xFFFF0000));
    SurfacePtr b(Texture64(0xFF00FF00));
    SurfacePtr c(Texture64(0xFF0000FF));
    uint32_t ia = control::SurfaceId(a.get());
    uint32_t ib = control::SurfaceId(b.get());
    uint32_t ic = control::SurfaceId(c.get());
    ASSERT_EQ(DrawWith(a.get()), D3D_OK);
    ASSERT_EQ(DrawWith(b.get()), D3D_OK);
    EXPECT_EQ(control::ResidentTextures(), (std::vector<uint32_t>{ia, ib}));
    ASSERT_EQ(DrawWith(a.get()), D3D_OK);
    EXPECT_EQ(control::ResidentTextures(), (std::vector<uint32_t>{ib, ia}));
    ASSERT_EQ(DrawWith(c.get()), D3D_OK);
    EXPECT_EQ(control::ResidentTextures(), (std::vector<uint32_t>{ia, ic}));
    EXPECT_EQ(RawPixel(mTarget.get(), 4, 4) & 0xFFFFFF, 0x0000FFu);
    ASSERT_EQ(mDevice->SetTexture(0, nullptr), D3D_OK);
}

// The order of use survives textures used again and a texture released from between others.
TEST_F(ManagedTest, ResidentTexturesKeepTheirOrderOfUse) {
    control::AdapterSpec adapter;
    adapter.videoMemory = 16 * 16 * 4 + 4 * 64 * 64 * 4 + 1024;  // room for the three
    control::SetAdapters({adapter});
    mDraw->Release();
    mDraw = nullptr;
    ASSERT_EQ(
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7, nullptr),
        DD_OK);
    UseDevice(control::DefaultDevice());
    SurfacePtr a(Texture64(0xFFFF0000));
    SurfacePtr b(Texture64(0xFF00FF00));
    SurfacePtr c(Texture64(0xFF0000FF));
    uint32_t ia = control::SurfaceId(a.get());
    uint32_t ib = control::SurfaceId(b.get());
    uint32_t ic = control::SurfaceId(c.get());
    for (IDirectDrawSurface7* texture : {a.get(), b.get(), c.get(), a.get(), a.get()})
        ASSERT_EQ(DrawWith(texture), D3D_OK);
    EXPECT_EQ(control::ResidentTextures(), (std::vector<uint32_t>{ib, ic, ia}));
    ASSERT_EQ(mDevice->SetTexture(0, nullptr), D3D_OK);
    c.Reset();
    EXPECT_EQ(control::ResidentTextures(), (std::vector<uint32_t>{ib, ia}));
    ASSERT_EQ(DrawWith(b.get()), D3D_OK);
    EXPECT_EQ(control::ResidentTextures(), (std::vector<uint32_t>{ia, ib}));
    ASSERT_EQ(mDevice->SetTexture(0, nullptr), D3D_OK);
}

}  // namespace
}  // namespace device_testing
