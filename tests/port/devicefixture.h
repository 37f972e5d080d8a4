// A small world for Direct3D tests: the DirectDraw fixture, the Direct3D object of its
// DirectDraw object, and helpers that make render targets, devices, D3DX textures and quads.
#pragma once

#include <cstdint>
#include <vector>

#include "displayfixture.h"
#include "port/device/d3d.h"

namespace device_testing {

using display_testing::Held;
using display_testing::SurfacePtr;
using DevicePtr = Held<IDirect3DDevice7>;

// 0xAARRGGBB texels of a pattern where every texel differs from its neighbours.
std::vector<uint32_t> Pattern(int width, int height);
// A quad of four lit vertices from (x0, y0) to (x1, y1) with the whole texture on it, drawn as
// a fan; colour white.
std::vector<D3DLVERTEX> LitQuad(float x0, float y0, float x1, float y1, uint32_t color = ~0u);
std::vector<D3DTLVERTEX> ScreenQuad(float x0, float y0, float x1, float y1, uint32_t color);
// The 2-D projection of the drawing code: an off-centre orthographic one over width x height
// pixels moved by the pixel offset, with z passed through.
D3DMATRIX Projection2d(float width, float height, float pixelOffset);

class DeviceTest : public display_testing::DisplayTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A surface the device may draw into (DDSCAPS_3DDEVICE added).
    IDirectDrawSurface7* MakeTarget(int width, int height,
                                    raster::TPixelFormat format = raster::TPixelFormat::X8R8G8B8,
                                    DWORD caps = DDSCAPS_OFFSCREENPLAIN);
    // The default device on the target; fails the test when it cannot be made.
    IDirect3DDevice7* MakeDevice(IDirectDrawSurface7* target);
    // A D3DX texture of the size and format, one level, loaded with the pixels.
    IDirectDrawSurface7* MakeTexture(IDirect3DDevice7* device, int width, int height,
                                     const std::vector<uint32_t>& pixels,
                                     D3DX_SURFACEFORMAT format = D3DX_SF_A8R8G8B8);
    // BeginScene, one fan of vertices, EndScene; the draw's result.
    template <typename Vertex>
    HRESULT DrawFan(IDirect3DDevice7* device, DWORD fvf, std::vector<Vertex> vertices) {
        EXPECT_EQ(device->BeginScene(), D3D_OK);
        HRESULT result = device->DrawPrimitive(D3DPT_TRIANGLEFAN, fvf, vertices.data(),
                                               static_cast<DWORD>(vertices.size()), 0);
        EXPECT_EQ(device->EndScene(), D3D_OK);
        return result;
    }

    IDirect3D7* mD3D = nullptr;
};

}  // namespace device_testing
