// The glyph drawer through the display on the headless backend: a display set up by SetDisplay
// (or by the program's screen set-up), the renderer drawing through the display's sink, textures
// made as the display's. The calibration finds the device's line ends at every display size,
// also when its first render target is refused, and a line of text drawn as line lists into the
// back buffer looks as the same text drawn into a texture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../mvecwriter.h"
#include "math/rect.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/setdisplayrun.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedatasource.h"
#include "platform/win32platform.h"
#include "port/control.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

using testing_support::OutlineWriter;

struct DisplayMode {
    int width, height;
    bool fullscreen;
};

std::string Describe(const DisplayMode& mode) {
    return std::to_string(mode.width) + " x " + std::to_string(mode.height) +
           (mode.fullscreen ? " full screen" : " window");
}

class VecDrawDisplayTest : public SetDisplayTest {
protected:
    void SetUp() override {
        SetDisplayTest::SetUp();
        setdisplay::ForgetCursorImageCall();
        Start();
    }
    void TearDown() override {
        mDraw.reset();
        mOutlines.clear();
        TRenderer::DestroyInstance();
        SetTextureDataMaker(nullptr);
        SetDisplayTest::TearDown();
    }

    // The display set up at the mode, textures made as the display's, the renderer's viewport
    // the screen (as the screen set-up leaves them) and a drawer with its default offsets.
    void SetUpDisplay(const DisplayMode& mode) {
        if (mDisplay == nullptr) MakeDisplay();
        ASSERT_EQ(SetDisplay(mode.width, mode.height, mode.fullscreen), kNoExit);
        ASSERT_TRUE(mDisplay->IsReady());
        SetTextureDataMaker(
            []() -> std::unique_ptr<TTextureData> { return std::make_unique<TDxTextureData>(); });
        TRenderer* renderer = TRenderer::GetInstance();
        while (renderer->GetViewportCount() > 1)
            renderer->PopViewport();
        renderer->PushViewport(TRect{0, 0, mode.width, mode.height});
        mDraw = std::make_unique<TBvMiniVecDraw>();
    }

    void ExpectDeviceOffsets(const std::string& what) {
        EXPECT_EQ(mDraw->GetOffsetX(), -0.75f) << what;
        EXPECT_EQ(mDraw->GetOffsetY(), -0.75f) << what;
        EXPECT_EQ(mDraw->GetOffsetZ(), 0.0f) << what;
    }

    TGlyphOutline Outline(const OutlineWriter& writer) {
        mOutlines.push_back(std::make_unique<std::vector<uint8_t>>(writer.Bytes()));
        return TGlyphOutline{mOutlines.back()->data(), mOutlines.back()->size(), 0, 0};
    }

    std::unique_ptr<TBvMiniVecDraw> mDraw;
    std::vector<std::unique_ptr<std::vector<uint8_t>>> mOutlines;
};

TEST_F(VecDrawDisplayTest, CalibrationFindsTheDevicesLineEndsAtEveryDisplaySize) {
    // 640 x 480 cuts the 800 x 512 calibration texture to the back buffer.
    const DisplayMode modes[] = {{800, 600, false}, {640, 480, false}, {640, 480, true}};
    for (const DisplayMode& mode : modes) {
        SetUpDisplay(mode);
        EXPECT_EQ(Record().mTargetRect.right, mode.width) << Describe(mode);
        mLog.Clear();
        mDraw->Calibrate();
        ExpectDeviceOffsets(Describe(mode));
        EXPECT_EQ(mDraw->GetBatchSize(), 256) << Describe(mode);
        EXPECT_TRUE(LogLines().empty()) << Describe(mode) << ": " << LogLines().front();
        EXPECT_FALSE(TRenderer::GetInstance()->IsDrawing()) << Describe(mode);
        EXPECT_TRUE(mDisplay->IsReady()) << Describe(mode);
        mDraw.reset();
    }
}

TEST_F(VecDrawDisplayTest, TheFirstScreenSetUpCalibratesTheProgramsDrawerOnTheDevice) {
    mApp->SetupScreen(640, 480, false);
    TBvMiniVecDraw* drawer = mPlatform->GetVecDraw();
    ASSERT_NE(drawer, nullptr);
    EXPECT_EQ(drawer->GetOffsetX(), -0.75f);
    EXPECT_EQ(drawer->GetOffsetY(), -0.75f);
    EXPECT_EQ(drawer->GetOffsetZ(), 0.0f);
    EXPECT_EQ(drawer->GetBatchSize(), 256);
    EXPECT_EQ(LogIndex("Glyph calibration"), -1);
}

TEST_F(VecDrawDisplayTest, ARefusedCalibrationTargetRunsAgainInBatchesOfSixtyFour) {
    SetUpDisplay({640, 480, false});
    // The first frame begun on the calibration texture fails; the second draws.
    port::control::Failure failure;
    failure.code = static_cast<uint32_t>(E_FAIL);
    port::control::InjectFailure("BeginScene", failure);
    port::control::KeepCallLog(true);
    mDraw->Calibrate();
    EXPECT_EQ(CountCalls("BeginScene"), 2);
    EXPECT_EQ(mDraw->GetBatchSize(), 64);
    ExpectDeviceOffsets("after the retry");
    // The 256 candidates' four spans each went out as line lists of 32 lines.
    int lineLists = 0;
    for (const port::control::LoggedCall& draw : Calls("DrawPrimitive")) {
        if (dx_testing::ArgOf(draw, "type") != D3DPT_LINELIST) continue;
        ++lineLists;
        EXPECT_EQ(dx_testing::ArgOf(draw, "count"), 64) << draw.args;
    }
    EXPECT_EQ(lineLists, 256 * 4 * 2 / 64);

    // Refused both times: logged, offsets and batch size stay.
    mDraw = std::make_unique<TBvMiniVecDraw>();
    failure.count = 2;
    port::control::InjectFailure("BeginScene", failure);
    mLog.Clear();
    mDraw->Calibrate();
    EXPECT_EQ(mDraw->GetBatchSize(), 64);
    EXPECT_EQ(mDraw->GetOffsetX(), 0.25f);
    EXPECT_TRUE(Logged("Glyph calibration: cannot draw into the calibration texture"));
}

TEST_F(VecDrawDisplayTest, TextThroughTheBackBufferAndThroughATextureLooksTheSame) {
    const DisplayMode modes[] = {{800, 600, false}, {640, 480, true}};
    constexpr int kWidth = 256;
    constexpr int kHeight = 64;
    constexpr uint32_t kBackground = 0xFF304050u;
    for (const DisplayMode& mode : modes) {
        SetUpDisplay(mode);
        mDraw->Calibrate();
        ExpectDeviceOffsets(Describe(mode));
        mDraw->SetShadeColors(1, 0xE0F0C020u, 1.0f);
        OutlineWriter round;
        round.Move(5, -10).Curve(10, -10, 10, -5).Curve(10, 0, 5, 0).Curve(0, 0, 0, -5);
        round.Curve(0, -10, 5, -10).Rect(3, -7, 7, -3, true).End();
        const TGlyphOutline glyphs[] = {
            Outline(round),
            Outline(OutlineWriter().Move(0, -10).Line(5, 0).Line(10, -10).Line(0, -10).End()),
            Outline(OutlineWriter().Rect(0.3, -9.6, 7.7, 0.2).End()),
        };
        // A line of plain text at several sizes and phases.
        auto drawLine = [&](const std::shared_ptr<TTexture>& target) {
            ASSERT_TRUE(mDraw->Begin(5.25f, 30.5f, target));
            int pen = 0;
            for (int i = 0; i < 12; ++i) {
                const float scale = 4.0f * (1.0f + 0.3f * static_cast<float>(i % 4));
                mDraw->SetScale(scale, scale);
                mDraw->DrawString(glyphs[i % 3], pen, i % 4);
                pen += static_cast<int>(std::lround(11 * scale)) + i % 4;
            }
            mDraw->Flush();
        };

        // Through the line list into the back buffer, in a frame that is not presented.
        IDirectDrawSurface7* back = Record().mBackBuffer;
        ASSERT_NE(back, nullptr);
        DDBLTFX fill{};
        fill.dwSize = sizeof fill;
        fill.dwFillColor = kBackground;
        RECT area{0, 0, kWidth, kHeight};
        ASSERT_EQ(back->Blt(&area, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
        TRenderer* renderer = TRenderer::GetInstance();
        ASSERT_TRUE(renderer->BeginDraw(false));
        ASSERT_TRUE(renderer->Begin2d());
        drawLine(nullptr);
        renderer->End2d();
        renderer->EndDraw(0);
        const port::control::Image screen = port::control::SurfaceImage(back);

        // Through the texture path (default mode) into a display texture of the background.
        std::shared_ptr<TTexture> texture = TTexture::Create(kWidth, kHeight, true);
        ASSERT_NE(texture, nullptr);
        std::vector<uint32_t> pixels(static_cast<size_t>(kWidth) * kHeight, kBackground);
        texture->GetData()->SetPixels(kWidth, kHeight, pixels.data());
        drawLine(texture);
        auto* data = dynamic_cast<TDxTextureData*>(texture->GetData());
        ASSERT_NE(data, nullptr);
        const port::control::Image drawn = port::control::SurfaceImage(data->GetSurface());
        ASSERT_GE(drawn.width, kWidth);
        ASSERT_GE(drawn.height, kHeight);

        int covered = 0;
        int offByOne = 0;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const uint32_t a = screen.At(x, y);
                const uint32_t b = drawn.At(x, y);
                covered += (a & 0xFFFFFF) != (kBackground & 0xFFFFFF);
                offByOne += (a & 0xFFFFFF) != (b & 0xFFFFFF);
                for (int shift = 0; shift < 24; shift += 8) {
                    const int ca = static_cast<int>((a >> shift) & 255);
                    const int cb = static_cast<int>((b >> shift) & 255);
                    ASSERT_LE(std::abs(ca - cb), 1) << Describe(mode) << " at " << x << "," << y
                                                    << ": " << std::hex << a << " " << b;
                }
            }
        }
        EXPECT_GT(covered, 500) << Describe(mode);
        RecordProperty("pixels_off_by_one_" + std::to_string(mode.width), offByOne);
        texture.reset();
        mDraw.reset();
    }
}

}  // namespace
}  // namespace setdisplay_testing
