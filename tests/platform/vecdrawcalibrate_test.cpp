// Calibration of the glyph drawer's line ends, against sinks that refuse render targets, draw
// nothing, or draw lines by the device rasterizer's rule.
#include <gtest/gtest.h>

#include <cmath>

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
                for (int x = 0; x < texture->GetWidth(); ++x) pixels[y * pitch + x] = 0;
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
                    pixels[y * pitch + x] = v[i].diffuse;
                }
            }
        }
        mTarget->Unlock();
    }

private:
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

TEST_F(VecDrawTest, WithoutARenderTargetTextureThereIsNoCalibration) {
    TMemoryTextureData::SetCreateSurfaceFails(true);
    mDraw->Calibrate();
    TMemoryTextureData::SetCreateSurfaceFails(false);
    EXPECT_TRUE(mSink.mRenderTargets.empty());
    EXPECT_EQ(mDraw->GetOffsetX(), 0.0f);
    EXPECT_EQ(mDraw->GetBatchSize(), 256);
}

}  // namespace
