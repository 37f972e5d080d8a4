#include "devicefixture.h"

#include <cstring>

#include "port/control.h"
#include "raster/transform.h"

namespace device_testing {

std::vector<uint32_t> Pattern(int width, int height) {
    std::vector<uint32_t> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t alpha = 0x40u + static_cast<uint32_t>((x * 7 + y * 3) % 0xC0);
            pixels.push_back(alpha << 24 | static_cast<uint32_t>(x * 4 & 0xFF) << 16 |
                             static_cast<uint32_t>(y * 4 & 0xFF) << 8 |
                             static_cast<uint32_t>((x ^ y) * 9 & 0xFF));
        }
    }
    return pixels;
}

std::vector<D3DLVERTEX> LitQuad(float x0, float y0, float x1, float y1, uint32_t color) {
    return {{x0, y0, 0.5f, 0, color, 0, 0.0f, 0.0f},
            {x1, y0, 0.5f, 0, color, 0, 1.0f, 0.0f},
            {x1, y1, 0.5f, 0, color, 0, 1.0f, 1.0f},
            {x0, y1, 0.5f, 0, color, 0, 0.0f, 1.0f}};
}

std::vector<D3DTLVERTEX> ScreenQuad(float x0, float y0, float x1, float y1, uint32_t color) {
    return {{x0, y0, 0.5f, 1.0f, color, 0, 0.0f, 0.0f},
            {x1, y0, 0.5f, 1.0f, color, 0, 1.0f, 0.0f},
            {x1, y1, 0.5f, 1.0f, color, 0, 1.0f, 1.0f},
            {x0, y1, 0.5f, 1.0f, color, 0, 0.0f, 1.0f}};
}

D3DMATRIX Projection2d(float width, float height, float pixelOffset) {
    float left = -pixelOffset;
    float top = -pixelOffset;
    TMat4 m = raster::PassDepthThrough(
        raster::OrthoOffCenter(left, left + width, top + height, top, 0.0f, 1.0f));
    D3DMATRIX out;
    static_assert(sizeof out == sizeof m.m);
    std::memcpy(&out, m.m, sizeof out);
    return out;
}

void DeviceTest::SetUp() {
    DisplayTest::SetUp();
    ASSERT_EQ(mDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&mD3D)), DD_OK);
}

void DeviceTest::TearDown() {
    if (mD3D != nullptr) mD3D->Release();
    mD3D = nullptr;
    DisplayTest::TearDown();
}

IDirectDrawSurface7* DeviceTest::MakeTarget(int width, int height, raster::TPixelFormat format,
                                            DWORD caps) {
    return MakeSurface(width, height, format, caps | DDSCAPS_3DDEVICE);
}

IDirect3DDevice7* DeviceTest::MakeDevice(IDirectDrawSurface7* target) {
    IDirect3DDevice7* device = nullptr;
    EXPECT_EQ(mD3D->CreateDevice(IID_IDirect3DTnLHalDevice, target, &device), D3D_OK);
    return device;
}

IDirectDrawSurface7* DeviceTest::MakeTexture(IDirect3DDevice7* device, int width, int height,
                                             const std::vector<uint32_t>& pixels,
                                             D3DX_SURFACEFORMAT format) {
    DWORD w = static_cast<DWORD>(width);
    DWORD h = static_cast<DWORD>(height);
    IDirectDrawSurface7* texture = nullptr;
    EXPECT_EQ(D3DXCreateTexture(device, &w, &h, &format, D3DX_TEXTURE_NOMIPMAP, &texture), D3D_OK);
    if (texture == nullptr) return nullptr;
    RECT rect{0, 0, width, height};
    EXPECT_EQ(D3DXLoadTextureFromMemory(device, texture, 0, const_cast<uint32_t*>(pixels.data()),
                                        nullptr, D3DX_SF_A8R8G8B8, 0, &rect, D3DX_FILTER_POINT),
              D3D_OK);
    return texture;
}

}  // namespace device_testing
