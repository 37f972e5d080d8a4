// The drawing value types: TColor, TDrawSpec, TVertexBatch and BuildQuadVertices.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/draw/color.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/quadvertices.h"
#include "platform/draw/vertexbatch.h"

namespace {

TEST(ColorTest, FloatsBecomeClampedBytes) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float component;
        uint8_t byte;
    } cases[] = {
        {0.0f, 0}, {0.5f, 127},  {1.0f, 255}, {1.5f, 255},   {-0.1f, 0},
        {nan, 0},  {1e30f, 255}, {-1e30f, 0}, {0.999f, 254},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TColor::ComponentToByte(c.component), c.byte) << c.component;
        EXPECT_EQ(TColor(c.component, 0.0f, 0.0f, 1.0f).GetRed(), c.byte) << c.component;
    }
    EXPECT_EQ(TColor(1.0f, 0.5f, 0.0f, 0.25f).GetPacked(), 0x3FFF7F00u);
}

TEST(ColorTest, BytesAreReadAndReplacedAlone) {
    EXPECT_EQ(TColor().GetPacked(), 0u);
    TColor color(uint8_t{0x11}, uint8_t{0x22}, uint8_t{0x33}, uint8_t{0x44});
    EXPECT_EQ(color.GetPacked(), 0x44112233u);
    EXPECT_EQ(TColor(0x44112233u), color);
    EXPECT_EQ(color.GetAlpha(), 0x44);
    EXPECT_EQ(color.GetRed(), 0x11);
    EXPECT_EQ(color.GetGreen(), 0x22);
    EXPECT_EQ(color.GetBlue(), 0x33);
    color.SetAlpha(0xAA);
    EXPECT_EQ(color.GetPacked(), 0xAA112233u);
    color.SetRed(0xBB);
    EXPECT_EQ(color.GetPacked(), 0xAABB2233u);
    color.SetGreen(0xCC);
    EXPECT_EQ(color.GetPacked(), 0xAABBCC33u);
    color.SetBlue(0xDD);
    EXPECT_EQ(color.GetPacked(), 0xAABBCCDDu);
    EXPECT_EQ(TColor::GetAlpha(0x80FFFFFFu), 0x80);
}

TEST(DrawSpecTest, PositionScaleAndCopies) {
    TDrawSpec plain;
    EXPECT_EQ(plain.mTransform.m[0], 1.0f);
    EXPECT_EQ(plain.mOffset.x, 0.0f);
    EXPECT_EQ(plain.mColor.w, 1.0f);
    EXPECT_EQ(plain.mSourceRect, TRect{});
    EXPECT_EQ(plain.mFlags, 0u);
    EXPECT_EQ(plain.mBlendMode, -1);

    TDrawSpec at(10, 20, 0.5f, 1.0f, 9);
    EXPECT_EQ(at.mTransform.m[0], 1.0f);
    EXPECT_EQ(at.mTransform.m[6], 10.0f);
    EXPECT_EQ(at.mTransform.m[7], 20.0f);
    EXPECT_EQ(at.mOpacity, 0.5f);
    EXPECT_EQ(at.mFlags, 9u);

    TDrawSpec scaled(10, 20, 1.0f, 3.0f, 0);
    EXPECT_EQ(scaled.mTransform.m[0], 3.0f);
    EXPECT_EQ(scaled.mTransform.m[4], 3.0f);
    EXPECT_EQ(scaled.mTransform.m[6], 10.0f);  // the position is not scaled

    scaled.mOffset = TVec2(1, 2);
    scaled.mColor = TVec4{0.1f, 0.2f, 0.3f, 0.4f};
    scaled.mSourceRect = TRect{1, 2, 3, 4};
    scaled.mBlendMode = 5;
    TDrawSpec copy(scaled);
    TDrawSpec assigned;
    assigned = scaled;
    for (const TDrawSpec* s : {&copy, &assigned}) {
        EXPECT_EQ(s->mTransform.m[0], 3.0f);
        EXPECT_EQ(s->mOffset.y, 2.0f);
        EXPECT_EQ(s->mColor.z, 0.3f);
        EXPECT_EQ(s->mSourceRect, (TRect{1, 2, 3, 4}));
        EXPECT_EQ(s->mBlendMode, 5);
    }
}

TEST(VertexBatchTest, DescribesWithoutOwning) {
    TLVertex lit[3] = {};
    TVertexBatch* batch = TVertexBatch::CreateKind2(lit, 3);
    EXPECT_EQ(batch->GetKind(), TVertexBatch::kLitVertexList);
    EXPECT_EQ(batch->GetVertices(), lit);
    EXPECT_EQ(batch->GetCount(), 3);
    batch->SetCount(2);
    EXPECT_EQ(batch->GetCount(), 2);
    TVertexBatch::Free(batch);

    TTLVertex screen[1] = {};
    batch = TVertexBatch::CreateKind3(screen, 1);
    EXPECT_EQ(batch->GetKind(), TVertexBatch::kScreenVertex);
    TVertexBatch::Free(batch);
    TVertexBatch::Free(nullptr);
}

TEST(QuadVerticesTest, CornersAreTransformedAndWrittenBack) {
    TVec2 corners[4] = {TVec2(-1, -1), TVec2(1, -1), TVec2(1, 1), TVec2(-1, 1)};
    const TVec2 coords[2] = {TVec2(0.25f, 0.5f), TVec2(0.75f, 1.0f)};
    TMat3 transform(2, 0, 0, 0, 3, 0, 10, 20, 1);
    TLVertex out[4];
    BuildQuadVertices(TVec2(100, 200), out, corners, coords, transform, 0.5f, 1.0f, 0.0f, 0.25f);
    EXPECT_EQ(corners[0].x, 8.0f);  // written back, without the origin
    EXPECT_EQ(corners[0].y, 17.0f);
    EXPECT_EQ(out[0].x, 108.0f);
    EXPECT_EQ(out[0].y, 217.0f);
    EXPECT_EQ(out[2].x, 112.0f);
    EXPECT_EQ(out[2].y, 223.0f);
    const float u[4] = {0.25f, 0.75f, 0.75f, 0.25f};
    const float v[4] = {0.5f, 0.5f, 1.0f, 1.0f};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(out[i].z, 0.1f);
        EXPECT_EQ(out[i].reserved, 0.5f);
        EXPECT_EQ(out[i].diffuse, 0x7FFF003Fu);
        EXPECT_EQ(out[i].specular, 0xFF000000u);
        EXPECT_EQ(out[i].u, u[i]) << i;
        EXPECT_EQ(out[i].v, v[i]) << i;
    }
}

// A brightened colour stays white instead of wrapping to dark; so does alpha.
TEST(QuadVerticesTest, ColourAndAlphaAreClamped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Case {
        float alpha, red, green, blue;
        uint32_t diffuse;
    } cases[] = {
        {1.5f, 1.5f, 0.0f, 0.0f, 0xFFFF0000u},
        {1.0f, -0.5f, 2.0f, nan, 0xFF00FF00u},
        {-1.0f, 0.5f, 0.5f, 0.5f, 0x007F7F7Fu},
    };
    for (const Case& c : cases) {
        TVec2 corners[4];
        const TVec2 coords[2];
        TLVertex out[4];
        BuildQuadVertices(TVec2(), out, corners, coords, TMat3(), c.alpha, c.red, c.green, c.blue);
        EXPECT_EQ(out[0].diffuse, c.diffuse) << std::hex << c.diffuse;
    }
}

}  // namespace
