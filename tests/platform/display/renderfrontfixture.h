// A display for the render-front tests: the texture-surface world (a full-screen 800 x 600
// DirectX context on the headless backend, the record as after a set-up) with the viewport the
// set-up gives, textures made as the display's, and the renderer drawing through the display.
// Helpers draw a quad of lit vertices and read pixels back.
#pragma once

#include <memory>
#include <vector>

#include "dxtexturefixture.h"
#include "platform/display/displaysink.h"
#include "platform/draw/vertexbatch.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedatasource.h"

namespace dx_testing {

class RenderFrontTest : public DxTextureTest {
protected:
    void SetUp() override {
        DxTextureTest::SetUp();
        SetTextureDataMaker(
            []() -> std::unique_ptr<TTextureData> { return std::make_unique<TDxTextureData>(); });
    }
    void TearDown() override {
        TRenderer::DestroyInstance();
        SetTextureDataMaker(nullptr);
        DxTextureTest::TearDown();
    }

    // The display of MakeDisplay with the whole screen as viewport, the renderer's sink the
    // display and its viewport stack holding the screen.
    bool MakeFrontDisplay(int bits = 32,
                          port::control::DeviceSpec device = port::control::DefaultDevice()) {
        if (!MakeDisplay(bits, device)) return false;
        Record().mViewportRect = RECT{0, 0, 800, 600};
        Record().mFullscreen = true;
        // Only what the test does is looked at.
        mLog.Clear();
        port::control::KeepCallLog(true);
        TRenderer* renderer = TRenderer::GetInstance();
        renderer->SetSink(GetDisplayRenderSink());
        renderer->PushViewport(TRect{0, 0, 800, 600});
        return true;
    }

public:
    // A texture of the size with every texel the colour (0xAARRGGBB).
    static std::shared_ptr<TTexture> SolidTexture(int width, int height, uint32_t colour,
                                                  bool alpha = true) {
        std::shared_ptr<TTexture> texture = TTexture::Create(width, height, alpha);
        if (texture == nullptr) return nullptr;
        std::vector<uint32_t> pixels(static_cast<size_t>(width) * height, colour);
        texture->GetData()->SetPixels(width, height, pixels.data());
        return texture;
    }
    static TDxTextureData* DataOf(const std::shared_ptr<TTexture>& texture) {
        return dynamic_cast<TDxTextureData*>(texture->GetData());
    }
    static IDirectDrawSurface7* SurfaceOf(const std::shared_ptr<TTexture>& texture) {
        TDxTextureData* data = DataOf(texture);
        return data != nullptr ? data->GetSurface() : nullptr;
    }

protected:
    // Draws (left, top)-(right, bottom) as a fan of four lit vertices of the colour, texture
    // coordinates 0 to u and v.
    void DrawQuad(float left, float top, float right, float bottom, uint32_t colour = 0xFFFFFFFF,
                  float u = 1.0f, float v = 1.0f) {
        TLVertex quad[4]{};
        const float corners[4][4] = {
            {left, top, 0, 0}, {right, top, u, 0}, {right, bottom, u, v}, {left, bottom, 0, v}};
        for (int i = 0; i < 4; ++i) {
            quad[i].x = corners[i][0];
            quad[i].y = corners[i][1];
            quad[i].z = 0.1f;
            quad[i].diffuse = colour;
            quad[i].specular = 0xFF000000;
            quad[i].u = corners[i][2];
            quad[i].v = corners[i][3];
        }
        TVertexBatch* batch = TVertexBatch::CreateKind2(quad, 4);
        mDisplay->DrawVertices(D3DPT_TRIANGLEFAN, *batch);
        TVertexBatch::Free(batch);
    }

    port::control::Image BackBuffer() { return port::control::SurfaceImage(Record().mBackBuffer); }
    DWORD StageState(D3DTEXTURESTAGESTATETYPE state) {
        return port::control::StateOf(Record().mDevice).stageStates[state];
    }
    DWORD RenderState(D3DRENDERSTATETYPE state) {
        return port::control::StateOf(Record().mDevice).renderStates[state];
    }
};

}  // namespace dx_testing
