// Calibration of the glyph drawer's line ends, against sinks that refuse render targets, draw
// nothing, or draw lines by the device rasterizer's rule.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "support/logcapture.h"
#include "vecdrawfixture.h"

namespace {

// Draws screen-space line lists into the render target's pixels as the device's rasterizer
// does for horizontal lines: the pixels whose centres (on whole coordinates) lie in [x0, x1), on
// row floor(y + 1/2). Mode 4 clears the target to transparent black.
class LineRuleSink : public TRecordingRenderSink {
public:
    bool BeginRenderTarget(const std::shared_ptr<TTexture>& texture, int32_t mode) override {
        TRecordingRenderSink::BeginRenderTarget(texture, mode);
        mTarget = texture;
        uint32_t* pixels = nullptr;
        int pitch = 0;
        if (mode == 4 && texture->Lock(&pixels, &pitch)) {
            for (int y = 0; y < texture->GetHeight(); ++y) {
                for (int x = 0; x < texture->GetWidth(); ++x)
                    pixels[y * pitch + x] = 0;
            }
            texture->Unlock();
        }
        return true;
    }
    void EndRenderTarget() override {
        TRecordingRenderSink::EndRenderTarget();
        mTarget.reset();
    }
    void DrawVertices(int primitive, const TVertexBatch& batch) override {
        TRecordingRenderSink::DrawVertices(primitive, batch);
        ASSERT_EQ(primitive, 2);
        ASSERT_EQ(batch.GetKind(), TVertexBatch::kScreenVertex);
        ASSERT_NE(mTarget, nullptr);
        uint32_t* pixels = nullptr;
        int pitch = 0;
        ASSERT_TRUE(mTarget->Lock(&pixels, &pitch));
        const TTLVertex* v = static_cast<const TTLVertex*>(batch.GetVertices());
        for (int i = 0; i + 1 < batch.GetCount(); i += 2) {
            ASSERT_EQ(v[i].y, v[i + 1].y);
            const int y = static_cast<int>(std::floor(v[i].y + 0.5f));
            const int x0 = static_cast<int>(std::ceil(v[i].x));
            const int x1 = static_cast<int>(std::ceil(v[i + 1].x));
            for (int x = x0; x < x1; ++x) {
                if (x >= 0 && y >= 0 && x < mTarget->GetWidth() && y < mTarget->GetHeight()) {
                    uint32_t& pixel = pixels[y * pitch + x];
                    pixel = mBlend ? Blend(pixel, v[i].diffuse) : v[i].diffuse;
                }
            }
        }
        mTarget->Unlock();
    }

    // Source alpha over the destination, rounded, as the device blends text.
    bool mBlend = false;

private:
    static uint32_t Blend(uint32_t d, uint32_t s) {
        const uint32_t a = s >> 24;
        uint32_t out = d & 0xFF000000u;
        for (int shift = 0; shift < 24; shift += 8) {
            const uint32_t cs = (s >> shift) & 255;
            const uint32_t cd = (d >> shift) & 255;
            out |= ((cs * a + cd * (255 - a) + 127) / 255) << shift;
        }
        return out;
    }

    std::shared_ptr<TTexture> mTarget;
};

TEST_F(VecDrawTest, CalibrationUnderTheLineRuleFindsTheFirstExactOffsets) {
    LineRuleSink device;
    TRenderer::GetInstance()->SetSink(&device);
    mDraw->Calibrate();
    EXPECT_EQ(mDraw->GetOffsetX(), -0.75f);
    EXPECT_EQ(mDraw->GetOffsetY(), -0.75f);
    EXPECT_EQ(mDraw->GetOffsetZ(), 0.0f);
    EXPECT_EQ(mDraw->GetBatchSize(), 256);
    ASSERT_EQ(device.mRenderTargets.size(), 1u);
    EXPECT_EQ(device.mRenderTargets[0].mode, 4);
    EXPECT_EQ(device.mRenderTargetEnds, 1);
    EXPECT_FALSE(TRenderer::GetInstance()->IsDrawing());
    TRenderer::GetInstance()->SetSink(&mSink);
}

TEST_F(VecDrawTest, TheLineListAndTheTexturePathGiveTheSamePixels) {
    LineRuleSink device;
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->SetSink(&device);
    mDraw->Calibrate();
    mDraw->SetShadeColors(1, 0xE0F0C020u, 1.0f);
    testing_support::OutlineWriter round;
    round.Move(5, -10).Curve(10, -10, 10, -5).Curve(10, 0, 5, 0).Curve(0, 0, 0, -5);
    round.Curve(0, -10, 5, -10).Rect(3, -7, 7, -3, true).End();
    const TGlyphOutline glyphs[] = {
        Outline(round),
        Outline(testing_support::OutlineWriter()
                    .Move(0, -10)
                    .Line(5, 0)
                    .Line(10, -10)
                    .Line(0, -10)
                    .End()),
        Outline(testing_support::OutlineWriter().Rect(0.3, -9.6, 7.7, 0.2).End()),
    };
    // A line of plain text at several sizes and phases. (Where an outline's ring and the fill
    // share a pixel, each path rounds twice: the texture path's truncation can then differ by 2.)
    auto drawLine = [&](const std::shared_ptr<TTexture>& target) {
        mDraw->Begin(5.25f, 30.5f, target);
        int pen = 0;
        for (int i = 0; i < 12; ++i) {
            const float scale = 4.0f * (1.0f + 0.3f * static_cast<float>(i % 4));
            mDraw->SetScale(scale, scale);
            mDraw->DrawString(glyphs[i % 3], pen, i % 4);
            pen += static_cast<int>(std::lround(11 * scale)) + i % 4;
        }
        mDraw->Flush();
    };
    const uint32_t background = 0xFF304050u;
    auto fresh = [&] {
        std::shared_ptr<TTexture> texture = TTexture::Create(256, 64, true);
        uint32_t* pixels = nullptr;
        int pitch = 0;
        EXPECT_TRUE(texture->Lock(&pixels, &pitch));
        for (int y = 0; y < 64; ++y) {
            for (int x = 0; x < 256; ++x)
                pixels[y * pitch + x] = background;
        }
        texture->Unlock();
        return texture;
    };
    std::shared_ptr<TTexture> screen = fresh();
    device.mBlend = true;
    ASSERT_TRUE(renderer->BeginRenderTarget(screen, 0));
    ASSERT_TRUE(renderer->Begin2d());
    drawLine(nullptr);
    renderer->End2d();
    renderer->EndRenderTarget();
    std::shared_ptr<TTexture> texture = fresh();
    drawLine(texture);

    int drawn = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 256; ++x) {
            const uint32_t a = dynamic_cast<TMemoryTextureData*>(screen->GetData())->GetPixel(x, y);
            const uint32_t b =
                dynamic_cast<TMemoryTextureData*>(texture->GetData())->GetPixel(x, y);
            drawn += a != background;
            for (int shift = 0; shift < 24; shift += 8) {
                const int ca = static_cast<int>((a >> shift) & 255);
                const int cb = static_cast<int>((b >> shift) & 255);
                ASSERT_LE(std::abs(ca - cb), 1)
                    << x << "," << y << ": " << std::hex << a << " " << b;
            }
        }
    }
    EXPECT_GT(drawn, 500);
    renderer->SetSink(&mSink);
}

TEST_F(VecDrawTest, ARefusedRenderTargetRetriesOnceWithBatchesOfSixtyFour) {
    testing_support::LogCapture log;
    mSink.mRenderTargetsSucceed = false;
    mDraw->Calibrate();
    EXPECT_EQ(mSink.mRenderTargets.size(), 2u);
    EXPECT_EQ(mDraw->GetBatchSize(), 64);
    EXPECT_EQ(mDraw->GetOffsetX(), 0.0f);  // as the fixture set them: untouched
    EXPECT_EQ(log.Messages(), std::vector<std::string>{
                                  "Glyph calibration: cannot draw into the calibration texture"});
    // Spans now go out 64 vertices at a time.
    OpenFrame();
    mDraw->SetScale(4.0f, 4.0f);
    mDraw->Begin(0, 0);
    mDraw->DrawString(Outline(testing_support::OutlineWriter().Rect(0, 0, 4, 40).End()), 0, 0);
    mDraw->FlushBatch();
    ASSERT_EQ(mSink.mDraws.size(), 2u);
    EXPECT_EQ(mSink.mDraws[0].screenVertices.size(), 64u);
    EXPECT_EQ(mSink.mDraws[1].screenVertices.size(), 16u);
}

TEST_F(VecDrawTest, CalibrationThatFindsNothingKeepsAQuarter) {
    testing_support::LogCapture log;
    // The recording sink opens the target and draws nothing into it.
    mDraw->Calibrate();
    EXPECT_EQ(mSink.mRenderTargets.size(), 1u);
    EXPECT_FALSE(mSink.mDraws.empty());
    EXPECT_EQ(mDraw->GetOffsetX(), 0.25f);
    EXPECT_EQ(mDraw->GetOffsetY(), 0.25f);
    EXPECT_EQ(mDraw->GetOffsetZ(), 0.25f);
    EXPECT_EQ(log.Messages().size(), 1u);
}

TEST_F(VecDrawTest, RenderTargetsOpenOnlyOutsideAFrame) {
    TRenderer* renderer = TRenderer::GetInstance();
    std::shared_ptr<TTexture> texture = TTexture::Create(8, 8, true);
    OpenFrame();
    EXPECT_FALSE(renderer->BeginRenderTarget(texture, 4));
    EXPECT_TRUE(renderer->IsIn2d());  // the frame stays open
    renderer->End2d();
    renderer->EndDraw(0);
    EXPECT_FALSE(renderer->BeginRenderTarget(nullptr, 4));
    ASSERT_TRUE(renderer->BeginRenderTarget(texture, 4));
    EXPECT_TRUE(renderer->IsDrawing());
    EXPECT_FALSE(renderer->BeginRenderTarget(texture, 4));
    renderer->EndRenderTarget();
    EXPECT_FALSE(renderer->IsDrawing());
    EXPECT_EQ(mSink.mRenderTargets.size(), 1u);
    EXPECT_EQ(mSink.mRenderTargetEnds, 1);
    // Without a device nothing opens.
    renderer->SetSink(nullptr);
    EXPECT_FALSE(renderer->BeginRenderTarget(texture, 4));
    renderer->SetSink(&mSink);
}

TEST_F(VecDrawTest, WithoutARenderTargetTextureThereIsNoCalibration) {
    TMemoryTextureData::SetCreateSurfaceFails(true);
    mDraw->Calibrate();
    TMemoryTextureData::SetCreateSurfaceFails(false);
    EXPECT_TRUE(mSink.mRenderTargets.empty());
    EXPECT_EQ(mDraw->GetOffsetX(), 0.0f);
    EXPECT_EQ(mDraw->GetBatchSize(), 256);
}

}  // namespace
