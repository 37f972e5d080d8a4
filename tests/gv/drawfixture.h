// Shared by the drawing tests: the factory's fixture with the renderer's recording sink installed
// and a frame open, so a scene's Draw runs as the host window would run it; what was drawn is read
// back from the sink as quads (corners, texture coordinates, colour, texture, blend mode).
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <ostream>
#include <vector>

#include "factoryfixture.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"

namespace gv_test {

// One corner of a drawn quad: where it lies and which texel it shows.
struct Corner {
    float x, y, u, v;
    friend bool operator==(const Corner&, const Corner&) = default;
};

inline std::ostream& operator<<(std::ostream& out, const Corner& c) {
    return out << "(" << c.x << ", " << c.y << " | " << c.u << ", " << c.v << ")";
}

class DrawTest : public FactoryTest {
protected:
    void SetUp() override {
        FactoryTest::SetUp();
        TRenderer::GetInstance()->SetSink(&mSink);
        ASSERT_TRUE(TRenderer::GetInstance()->BeginDraw(false));
    }
    void TearDown() override {
        TRenderer* renderer = TRenderer::GetInstance();
        if (renderer->IsIn2d()) renderer->End2d();
        if (renderer->IsDrawing()) renderer->EndDraw(0);
        renderer->SetSink(nullptr);
        FactoryTest::TearDown();
    }

    // The four corners of drawn quad i, in vertex order.
    std::vector<Corner> Corners(size_t i) const {
        std::vector<Corner> corners;
        if (i >= mSink.mDraws.size()) return corners;
        for (const TLVertex& vertex : mSink.mDraws[i].vertices)
            corners.push_back({vertex.x, vertex.y, vertex.u, vertex.v});
        return corners;
    }
    // The left x of each drawn quad (its smallest corner x), in drawing order.
    std::vector<float> Lefts() const {
        std::vector<float> lefts;
        for (const auto& draw : mSink.mDraws) {
            float left = draw.vertices.empty() ? 0.0f : draw.vertices[0].x;
            for (const TLVertex& vertex : draw.vertices)
                left = std::min(left, vertex.x);
            lefts.push_back(left);
        }
        return lefts;
    }
    void ClearSink() {
        mSink.mDraws.clear();
        mSink.mBlendModes.clear();
        mSink.mBoundTextures.clear();
    }

    TRecordingRenderSink mSink;
};

}  // namespace gv_test
