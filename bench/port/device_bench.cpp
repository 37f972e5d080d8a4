// The typical frame of bench/raster (background, 300 sprites, 2,000 glyph spans) drawn through
// the Direct3D device with DrawPrimitive, beside the same frame drawn on a rasterizer directly:
// the device's own cost on top. In the 32-bit mode and in the low-memory mode (R5G6B5 target and
// background, A4R4G4B4 sprites).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "port/device/d3d.h"
#include "raster/transform.h"
#include "raster_frame.h"
#include "scene.h"

namespace {

using bench::kHeight;
using bench::kSpriteSide;
using bench::kWidth;

DDSURFACEDESC2 Desc(int width, int height, DWORD caps, D3DX_SURFACEFORMAT format) {
    DDSURFACEDESC2 desc;
    std::memset(&desc, 0, sizeof desc);
    desc.dwSize = sizeof desc;
    desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    desc.dwWidth = static_cast<DWORD>(width);
    desc.dwHeight = static_cast<DWORD>(height);
    desc.ddsCaps.dwCaps = caps;
    DDPIXELFORMAT& f = desc.ddpfPixelFormat;
    f.dwSize = sizeof f;
    f.dwFlags = DDPF_RGB;
    if (format == D3DX_SF_R5G6B5) {
        f.dwRGBBitCount = 16;
        f.dwRBitMask = 0xF800;
        f.dwGBitMask = 0x07E0;
        f.dwBBitMask = 0x001F;
    } else {
        f.dwRGBBitCount = 32;
        f.dwRBitMask = 0xFF0000;
        f.dwGBitMask = 0xFF00;
        f.dwBBitMask = 0xFF;
    }
    return desc;
}

D3DLVERTEX Vertex(float x, float y, uint32_t diffuse, float u, float v) {
    return {x, y, 0.1f, 0, diffuse, 0xFF000000, u, v};
}

D3DTLVERTEX Screen(float x, float y, uint32_t diffuse) {
    return {x, y, 0.1f, 0.5f, diffuse, 0, 0.0f, 0.0f};
}

// The frame through the device, with the states bench::RasterFrame sets on its rasterizer.
class DeviceFrame {
public:
    explicit DeviceFrame(bool lowMemory) {
        const bench::Scene& scene = bench::GetScene();
        DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7, nullptr);
        mDraw->SetCooperativeLevel(nullptr, DDSCL_NORMAL);
        mDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&mD3D));
        D3DX_SURFACEFORMAT opaque = lowMemory ? D3DX_SF_R5G6B5 : D3DX_SF_X8R8G8B8;
        DDSURFACEDESC2 target =
            Desc(kWidth, kHeight, DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE, opaque);
        mDraw->CreateSurface(&target, &mTarget, nullptr);
        mD3D->CreateDevice(IID_IDirect3DTnLHalDevice, mTarget, &mDevice);
        // The background keeps its 800 x 600 as a texture of DirectDraw's own.
        DDSURFACEDESC2 background = Desc(kWidth, kHeight, DDSCAPS_TEXTURE, opaque);
        mDraw->CreateSurface(&background, &mBackground, nullptr);
        RECT whole{0, 0, kWidth, kHeight};
        D3DXLoadTextureFromMemory(mDevice, mBackground, 0,
                                  const_cast<uint32_t*>(scene.background.data()), nullptr,
                                  D3DX_SF_A8R8G8B8, 0, &whole, D3DX_FILTER_POINT);
        for (const std::vector<uint32_t>& image : scene.spriteImages) {
            DWORD w = kSpriteSide;
            DWORD h = kSpriteSide;
            D3DX_SURFACEFORMAT format = lowMemory ? D3DX_SF_A4R4G4B4 : D3DX_SF_A8R8G8B8;
            IDirectDrawSurface7* sprite = nullptr;
            D3DXCreateTexture(mDevice, &w, &h, &format, D3DX_TEXTURE_NOMIPMAP, &sprite);
            RECT rect{0, 0, kSpriteSide, kSpriteSide};
            D3DXLoadTextureFromMemory(mDevice, sprite, 0, const_cast<uint32_t*>(image.data()),
                                      nullptr, D3DX_SF_A8R8G8B8, 0, &rect, D3DX_FILTER_POINT);
            mSprites.push_back(sprite);
        }
        TMat4 m = raster::PassDepthThrough(
            raster::OrthoOffCenter(0.5f, kWidth + 0.5f, kHeight + 0.5f, 0.5f, 0.1f, 1000.0f));
        D3DMATRIX projection;
        std::memcpy(&projection, m.m, sizeof projection);
        mDevice->SetTransform(D3DTRANSFORMSTATE_PROJECTION, &projection);
        mDevice->SetRenderState(D3DRENDERSTATE_CLIPPING, FALSE);
        mDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
        mDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
        mDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
        mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
        mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
        mDevice->SetRenderState(D3DRENDERSTATE_ALPHATESTENABLE, TRUE);
        mDevice->SetRenderState(D3DRENDERSTATE_ALPHAFUNC, D3DCMP_GREATEREQUAL);
        mDevice->SetRenderState(D3DRENDERSTATE_ALPHAREF, 1);
        mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
        mDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
        mDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
        mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_LINEAR);
        mDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_LINEAR);
    }
    ~DeviceFrame() {
        mDevice->SetTexture(0, nullptr);
        for (IDirectDrawSurface7* sprite : mSprites)
            sprite->Release();
        mBackground->Release();
        mDevice->Release();
        mTarget->Release();
        mD3D->Release();
        mDraw->Release();
    }

    __attribute__((noinline)) bool DrawFrame() {
        bool ok = mDevice->BeginScene() == D3D_OK;
        mDevice->SetTexture(0, mBackground);
        ok &= Quad(0, 0, kWidth, kHeight, 0xFFFFFFFF);
        for (const bench::Sprite& sp : bench::GetScene().sprites) {
            mDevice->SetTexture(0, mSprites[static_cast<size_t>(sp.image)]);
            uint32_t diffuse = static_cast<uint32_t>(sp.alpha) << 24 | 0xFFFFFF;
            if (sp.kind == bench::SpriteKind::Plain || sp.kind == bench::SpriteKind::Faded) {
                ok &= Quad(sp.x, sp.y, sp.x + kSpriteSide, sp.y + kSpriteSide, diffuse);
                continue;
            }
            float h = kSpriteSide * 0.5f * sp.scale;
            float c = std::cos(sp.angle), s = std::sin(sp.angle);
            const float corners[4][2] = {{-h, -h}, {h, -h}, {h, h}, {-h, h}};
            const float uv[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
            D3DLVERTEX v[4];
            for (int i = 0; i < 4; ++i) {
                v[i] = Vertex(corners[i][0] * c - corners[i][1] * s + sp.x,
                              corners[i][0] * s + corners[i][1] * c + sp.y, diffuse, uv[i][0],
                              uv[i][1]);
            }
            ok &= mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0) == D3D_OK;
        }
        mDevice->SetTexture(0, nullptr);
        D3DTLVERTEX batch[256];
        int n = 0;
        for (const bench::Span& span : bench::GetScene().spans) {
            batch[n++] = Screen(span.x0 - 0.75f, static_cast<float>(span.y), span.color);
            batch[n++] = Screen(span.x1 - 0.75f, static_cast<float>(span.y), span.color);
            if (n == 256) {
                ok &= mDevice->DrawPrimitive(D3DPT_LINELIST, D3DFVF_TLVERTEX, batch, 256, 0) ==
                      D3D_OK;
                n = 0;
            }
        }
        if (n > 0) {
            ok &= mDevice->DrawPrimitive(D3DPT_LINELIST, D3DFVF_TLVERTEX, batch,
                                         static_cast<DWORD>(n), 0) == D3D_OK;
        }
        ok &= mDevice->EndScene() == D3D_OK;
        return ok;
    }

private:
    bool Quad(float x0, float y0, float x1, float y1, uint32_t diffuse) {
        D3DLVERTEX v[4] = {Vertex(x0, y0, diffuse, 0, 0), Vertex(x1, y0, diffuse, 1, 0),
                           Vertex(x1, y1, diffuse, 1, 1), Vertex(x0, y1, diffuse, 0, 1)};
        return mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_LVERTEX, v, 4, 0) == D3D_OK;
    }

    IDirectDraw7* mDraw = nullptr;
    IDirect3D7* mD3D = nullptr;
    IDirectDrawSurface7* mTarget = nullptr;
    IDirect3DDevice7* mDevice = nullptr;
    IDirectDrawSurface7* mBackground = nullptr;
    std::vector<IDirectDrawSurface7*> mSprites;
};

void DeviceFrameBench(benchmark::State& state, bool lowMemory) {
    DeviceFrame frame(lowMemory);
    for (auto _ : state) {
        if (!frame.DrawFrame()) {
            state.SkipWithError("a device call failed");
            break;
        }
        benchmark::ClobberMemory();
    }
}

void DirectFrameBench(benchmark::State& state, bool lowMemory) {
    bench::RasterFrame frame(raster::TSimd::Best, true, lowMemory);
    for (auto _ : state) {
        frame.DrawFrame();
        benchmark::ClobberMemory();
    }
}

void BM_DeviceFrame32(benchmark::State& state) {
    DeviceFrameBench(state, false);
}
void BM_DirectFrame32(benchmark::State& state) {
    DirectFrameBench(state, false);
}
void BM_DeviceFrameLowMemory(benchmark::State& state) {
    DeviceFrameBench(state, true);
}
void BM_DirectFrameLowMemory(benchmark::State& state) {
    DirectFrameBench(state, true);
}

}  // namespace

BENCHMARK(BM_DirectFrame32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeviceFrame32)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DirectFrameLowMemory)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DeviceFrameLowMemory)->Unit(benchmark::kMicrosecond);
