#include "displayfixture.h"

#include <cstdlib>
#include <cstring>

#include "port/display/control.h"
#include "port/display/surfaceshape.h"
#include "port/startup.h"

namespace display_testing {

DDPIXELFORMAT FormatOf(raster::TPixelFormat format) {
    return port::display::DescribeFormat(format);
}

DDSURFACEDESC2 EmptyDesc() {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    return desc;
}

void DisplayTest::SetUp() {
    WindowTest::SetUp();
    ASSERT_EQ(
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7, nullptr),
        DD_OK);
    ASSERT_EQ(mDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
}

void DisplayTest::TearDown() {
    if (mDraw != nullptr) mDraw->Release();
    mDraw = nullptr;
    EXPECT_TRUE(port::control::Surfaces().empty()) << "a surface was not released";
    WindowTest::TearDown();
}

void SdlDisplayTest::SetUp() {
    setenv("SDL_VIDEODRIVER", "dummy", 1);
    DisplayTest::SetUp();
    if (!port::SelectWindowBackend("sdl")) GTEST_SKIP() << "no SDL video driver";
}

void SdlDisplayTest::TearDown() {
    port::control::ResetWindowing();
    port::SelectWindowBackend("headless");
    unsetenv("SDL_VIDEODRIVER");
    DisplayTest::TearDown();
}

IDirectDrawSurface7* DisplayTest::MakeSurface(int width, int height, raster::TPixelFormat format,
                                              DWORD caps) {
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddpfPixelFormat = FormatOf(format);
    desc.ddsCaps.dwCaps = format == raster::TPixelFormat::D16 ? DDSCAPS_ZBUFFER : caps;
    IDirectDrawSurface7* surface = nullptr;
    EXPECT_EQ(mDraw->CreateSurface(&desc, &surface, nullptr), DD_OK);
    return surface;
}

IDirectDrawSurface7* DisplayTest::MakePrimary(HWND clipWindow) {
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    IDirectDrawSurface7* primary = nullptr;
    EXPECT_EQ(mDraw->CreateSurface(&desc, &primary, nullptr), DD_OK);
    if (clipWindow != nullptr && primary != nullptr) {
        Held<IDirectDrawClipper> clipper;
        EXPECT_EQ(mDraw->CreateClipper(0, clipper.Out(), nullptr), DD_OK);
        EXPECT_EQ(clipper->SetHWnd(0, clipWindow), DD_OK);
        EXPECT_EQ(primary->SetClipper(clipper.get()), DD_OK);
    }
    return primary;
}

std::vector<uint32_t> DisplayTest::RawPixels(IDirectDrawSurface7* surface) {
    DDSURFACEDESC2 desc = EmptyDesc();
    std::vector<uint32_t> out;
    EXPECT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    if (desc.lpSurface == nullptr) return out;
    int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) / 8;
    if (desc.ddpfPixelFormat.dwFlags & DDPF_ZBUFFER) bytes = 2;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        const auto* row = static_cast<const uint8_t*>(desc.lpSurface) + y * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth; ++x)
            out.push_back(raster::LoadRaw(row + x * bytes, bytes));
    }
    EXPECT_EQ(surface->Unlock(nullptr), DD_OK);
    return out;
}

uint32_t DisplayTest::RawPixel(IDirectDrawSurface7* surface, int x, int y) {
    DDSURFACEDESC2 desc = EmptyDesc();
    RECT one{x, y, x + 1, y + 1};
    EXPECT_EQ(surface->Lock(&one, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    if (desc.lpSurface == nullptr) return 0;
    int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) / 8;
    if (desc.ddpfPixelFormat.dwFlags & DDPF_ZBUFFER) bytes = 2;
    uint32_t value = raster::LoadRaw(static_cast<const uint8_t*>(desc.lpSurface), bytes);
    EXPECT_EQ(surface->Unlock(&one), DD_OK);
    return value;
}

void DisplayTest::WriteRaw(IDirectDrawSurface7* surface, const std::vector<uint32_t>& values) {
    DDSURFACEDESC2 desc = EmptyDesc();
    ASSERT_EQ(surface->Lock(nullptr, &desc, DDLOCK_WAIT, nullptr), DD_OK);
    int bytes = static_cast<int>(desc.ddpfPixelFormat.dwRGBBitCount) / 8;
    if (desc.ddpfPixelFormat.dwFlags & DDPF_ZBUFFER) bytes = 2;
    size_t i = 0;
    for (DWORD y = 0; y < desc.dwHeight; ++y) {
        auto* row = static_cast<uint8_t*>(desc.lpSurface) + y * desc.lPitch;
        for (DWORD x = 0; x < desc.dwWidth && i < values.size(); ++x, ++i)
            raster::StoreRaw(row + x * bytes, bytes, values[i]);
    }
    ASSERT_EQ(surface->Unlock(nullptr), DD_OK);
}

}  // namespace display_testing
