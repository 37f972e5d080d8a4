#include "smokescene.h"

#include <cstdlib>

namespace smoke {
namespace {

// The triangle's corners and the quad's sides, as fractions of the scene.
constexpr float kTriangle[3][2] = {{0.10f, 0.10f}, {0.45f, 0.10f}, {0.10f, 0.70f}};
constexpr D3DCOLOR kCorners[3] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF};
constexpr float kQuadLeft = 0.55f, kQuadRight = 0.90f, kQuadTop = 0.20f, kQuadBottom = 0.80f;
constexpr int kTextureSide = 32;
constexpr uint32_t kTextureTop = 0xFFFFFF00;     // opaque yellow
constexpr uint32_t kTextureBottom = 0x800000FF;  // blue, alpha 128

int Channel(uint32_t pixel, int shift) {
    return static_cast<int>((pixel >> shift) & 0xFF);
}

D3DTLVERTEX At(float x, float y, D3DCOLOR colour, float u, float v) {
    D3DTLVERTEX vertex{};
    vertex.sx = x;
    vertex.sy = y;
    vertex.sz = 0.5f;
    vertex.rhw = 1.0f;
    vertex.color = colour;
    vertex.tu = u;
    vertex.tv = v;
    return vertex;
}

}  // namespace

const std::vector<Probe>& SceneProbes() {
    // The blue half over the background: alpha 128 of 255.
    static const std::vector<Probe> probes{
        {0.05, 0.90, Probe::Exact, kBackground, "background"},
        {0.96, 0.05, Probe::Exact, kBackground, "background"},
        {0.13, 0.13, Probe::Dominant, 0xFF0000, "triangle by its red corner"},
        {0.38, 0.12, Probe::Dominant, 0x00FF00, "triangle by its green corner"},
        {0.12, 0.60, Probe::Dominant, 0x0000FF, "triangle by its blue corner"},
        {0.725, 0.35, Probe::Exact, 0xFFFF00, "quad, opaque yellow half"},
        {0.725, 0.65, Probe::Exact, 0x1018A0, "quad, half-transparent blue half"},
    };
    return probes;
}

bool Matches(const Probe& probe, uint32_t pixel) {
    if (probe.kind == Probe::Exact) {
        for (int shift : {16, 8, 0}) {
            if (std::abs(Channel(pixel, shift) - Channel(probe.rgb, shift)) > 8) return false;
        }
        return true;
    }
    // The corner's channel well above the other two.
    int wanted = probe.rgb == 0xFF0000 ? 16 : probe.rgb == 0x00FF00 ? 8 : 0;
    for (int shift : {16, 8, 0}) {
        if (shift != wanted && Channel(pixel, shift) + 100 > Channel(pixel, wanted)) return false;
    }
    return true;
}

bool SmokeScene::Open(IDirectDraw7* draw, IDirectDrawSurface7* target, int width, int height) {
    Close();
    mWidth = width;
    mHeight = height;
    if (draw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&mD3D)) != DD_OK) {
        mWhyNot = "no Direct3D object";
        return false;
    }
    if (mD3D->CreateDevice(IID_IDirect3DTnLHalDevice, target, &mDevice) != D3D_OK) {
        mWhyNot = "no device on the target";
        return false;
    }
    DWORD side = kTextureSide;
    DWORD sideToo = kTextureSide;
    D3DX_SURFACEFORMAT format = D3DX_SF_A8R8G8B8;
    if (D3DXCreateTexture(mDevice, &side, &sideToo, &format, D3DX_TEXTURE_NOMIPMAP, &mTexture) !=
            D3D_OK ||
        side != kTextureSide || sideToo != kTextureSide || format != D3DX_SF_A8R8G8B8) {
        mWhyNot = "no 32 x 32 A8R8G8B8 texture";
        return false;
    }
    std::vector<uint32_t> pixels(kTextureSide * kTextureSide);
    for (int y = 0; y < kTextureSide; ++y) {
        for (int x = 0; x < kTextureSide; ++x)
            pixels[y * kTextureSide + x] = y < kTextureSide / 2 ? kTextureTop : kTextureBottom;
    }
    RECT whole{0, 0, kTextureSide, kTextureSide};
    if (D3DXLoadTextureFromMemory(mDevice, mTexture, 0, pixels.data(), nullptr, D3DX_SF_A8R8G8B8, 0,
                                  &whole, D3DX_FILTER_POINT) != D3D_OK) {
        mWhyNot = "the texture's pixels were refused";
        return false;
    }
    mDevice->SetRenderState(D3DRENDERSTATE_LIGHTING, FALSE);
    mDevice->SetRenderState(D3DRENDERSTATE_CULLMODE, D3DCULL_NONE);
    mDevice->SetRenderState(D3DRENDERSTATE_SRCBLEND, D3DBLEND_SRCALPHA);
    mDevice->SetRenderState(D3DRENDERSTATE_DESTBLEND, D3DBLEND_INVSRCALPHA);
    mDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    mDevice->SetTextureStageState(0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP);
    mDevice->SetTextureStageState(0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP);
    mDevice->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTFG_POINT);
    mDevice->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTFN_POINT);
    return true;
}

bool SmokeScene::Draw() {
    if (mDevice == nullptr) return false;
    auto w = static_cast<float>(mWidth);
    auto h = static_cast<float>(mHeight);
    bool ok = mDevice->BeginScene() == D3D_OK;
    ok = ok &&
         mDevice->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF000000 | kBackground, 1.0f, 0) == D3D_OK;
    D3DTLVERTEX triangle[3];
    for (int i = 0; i < 3; ++i)
        triangle[i] = At(kTriangle[i][0] * w, kTriangle[i][1] * h, kCorners[i], 0, 0);
    mDevice->SetTexture(0, nullptr);
    mDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, FALSE);
    ok =
        ok && mDevice->DrawPrimitive(D3DPT_TRIANGLELIST, D3DFVF_TLVERTEX, triangle, 3, 0) == D3D_OK;
    D3DTLVERTEX quad[4] = {At(kQuadLeft * w, kQuadTop * h, 0xFFFFFFFF, 0, 0),
                           At(kQuadRight * w, kQuadTop * h, 0xFFFFFFFF, 1, 0),
                           At(kQuadRight * w, kQuadBottom * h, 0xFFFFFFFF, 1, 1),
                           At(kQuadLeft * w, kQuadBottom * h, 0xFFFFFFFF, 0, 1)};
    mDevice->SetTexture(0, mTexture);
    mDevice->SetRenderState(D3DRENDERSTATE_ALPHABLENDENABLE, TRUE);
    ok = ok && mDevice->DrawPrimitive(D3DPT_TRIANGLEFAN, D3DFVF_TLVERTEX, quad, 4, 0) == D3D_OK;
    mDevice->SetTexture(0, nullptr);
    ok = mDevice->EndScene() == D3D_OK && ok;
    return ok;
}

void SmokeScene::Close() {
    if (mDevice != nullptr) mDevice->SetTexture(0, nullptr);
    if (mTexture != nullptr) mTexture->Release();
    if (mDevice != nullptr) mDevice->Release();
    if (mD3D != nullptr) mD3D->Release();
    mTexture = nullptr;
    mDevice = nullptr;
    mD3D = nullptr;
}

}  // namespace smoke
