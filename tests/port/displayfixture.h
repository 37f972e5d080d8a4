// A small world for DirectDraw tests: the window fixture's world, the display reset, and the
// default device's DirectDraw object at the normal level, with helpers that make surfaces and
// read their bytes. TearDown checks that the test released every surface it made.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "held.h"
#include "port/control.h"
#include "port/display/ddraw.h"
#include "raster/pixelformat.h"
#include "windowfixture.h"

namespace display_testing {

using port_testing::Held;

using SurfacePtr = Held<IDirectDrawSurface7>;

// The pixel format a test asks for, as DirectDraw describes it.
DDPIXELFORMAT FormatOf(raster::TPixelFormat format);
// A DDSURFACEDESC2 with its size set and everything else zero.
DDSURFACEDESC2 EmptyDesc();

class DisplayTest : public window_testing::WindowTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A surface of the size and format (a depth format makes a z-buffer); fails the test when it
    // cannot be made.
    IDirectDrawSurface7* MakeSurface(int width, int height, raster::TPixelFormat format,
                                     DWORD caps = DDSCAPS_OFFSCREENPLAIN);
    // The windowed primary, with a clipper on the window when one is given.
    IDirectDrawSurface7* MakePrimary(HWND clipWindow = nullptr);

    // The stored bytes of one pixel, read through a lock.
    uint32_t RawPixel(IDirectDrawSurface7* surface, int x, int y);
    // Every pixel's stored bytes, rows top first.
    std::vector<uint32_t> RawPixels(IDirectDrawSurface7* surface);
    // Writes raw pixel values through a lock, rows top first.
    void WriteRaw(IDirectDrawSurface7* surface, const std::vector<uint32_t>& values);

    IDirectDraw7* mDraw = nullptr;
};

// The same under the sdl backend, on SDL's dummy video driver, which needs no display; skipped
// where SDL has no video driver at all.
class SdlDisplayTest : public DisplayTest {
protected:
    void SetUp() override;
    void TearDown() override;
};

}  // namespace display_testing
