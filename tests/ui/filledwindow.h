// A window that fills its whole rectangle with one colour, as a widget draws its background: a
// fan of four lit vertices in the window's own coordinates, in 2-D drawing (the projection of a
// window's drawing starts at its top-left corner), untextured. The window-system tests and the
// screenshot program (tests/uiscreens) build their scenes from it.
#pragma once

#include "math/vec4.h"
#include "platform/draw/color.h"
#include "platform/draw/renderer.h"
#include "platform/draw/vertexbatch.h"
#include "ui/window.h"

namespace uitest {

class TFilledWindow : public TWindow {
public:
    TFilledWindow(const str& name, const TVec4& colour) : TWindow(name), mColour(colour) {}

    void Draw() override {
        TRenderer* renderer = TRenderer::GetInstance();
        bool in2d = renderer->IsIn2d();
        if (!in2d && !renderer->Begin2d()) return;
        renderer->SetTexture(nullptr);
        const float right = static_cast<float>(GetWidth());
        const float bottom = static_cast<float>(GetHeight());
        const float corners[4][2] = {{0, 0}, {right, 0}, {right, bottom}, {0, bottom}};
        TLVertex fan[4];
        for (int i = 0; i < 4; ++i) {
            fan[i].x = corners[i][0];
            fan[i].y = corners[i][1];
            fan[i].diffuse = TColor(mColour.x, mColour.y, mColour.z, mColour.w).GetPacked();
            fan[i].specular = 0xFF000000u;
        }
        TVertexBatch batch = TVertexBatch::Kind2(fan, 4);
        renderer->DrawVertices(TRenderer::kTriangleFan, &batch);
        if (!in2d) renderer->End2d();
    }

private:
    TVec4 mColour;
};

}  // namespace uitest
