// A laid-out text drawn by the program's own glyph drawer into the back buffer of the headless
// display, after the screen set-up: bold ink is wider than plain ink of the same word, a word in
// a red "font" tag is red, and a scale of 0 leaves no ink at all.
#include <gtest/gtest.h>

#include <string>

#include "math/rect.h"
#include "platform/display/displayrecord.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/text/drawstringat.h"
#include "platform/text/textlayout.h"
#include "platform/win32platform.h"
#include "port/control.h"
#include "setdisplayfixture.h"

namespace setdisplay_testing {
namespace {

constexpr uint32_t kBackground = 0xFF000000u;
const TRect kBox{20, 30, 620, 130};

class TextDisplayTest : public SetDisplayTest {
protected:
    void TearDown() override {
        TTextLayout::Delete(mLayout);
        SetDisplayTest::TearDown();
    }

    // The pixels of a run of the first line, from the line top down by its height.
    TRect RunBox(int run) const {
        const TTextLine& line = *mLayout->GetLines().at(0);
        const TTextRun& r = line.runs.at(static_cast<size_t>(run));
        const int left = kBox.left + line.anchorX + static_cast<int>(line.offset);
        return TRect{left + r.x, kBox.top, left + r.endX + 2, kBox.top + line.height};
    }
    // The pixels in the box whose colour passes the test.
    template <typename Test>
    int Count(const port::control::Image& image, const TRect& box, Test test) const {
        int count = 0;
        for (int y = box.top; y < box.bottom; ++y) {
            for (int x = box.left; x < box.right; ++x)
                count += test(image.At(x, y)) ? 1 : 0;
        }
        return count;
    }

    // The back buffer cleared, the layout drawn at the scale, the buffer read.
    port::control::Image DrawAndRead(float scale) {
        TPlatformData* display = mPlatform->GetPlatformData();
        EXPECT_NE(display, nullptr);
        IDirectDrawSurface7* back = display->GetRecord()->mBackBuffer;
        EXPECT_NE(back, nullptr);
        DDBLTFX fill{};
        fill.dwSize = sizeof fill;
        fill.dwFillColor = kBackground;
        EXPECT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
        TRenderer* renderer = TRenderer::GetInstance();
        EXPECT_TRUE(renderer->BeginDraw(false));
        EXPECT_TRUE(renderer->Begin2d());
        DrawStringAt(mLayout, kBox, scale, 0, 1.0f);
        renderer->End2d();
        renderer->EndDraw(0);
        return port::control::SurfaceImage(back);
    }

    TTextLayout* mLayout = nullptr;
};

bool Ink(uint32_t pixel) {
    return (pixel & 0xFFFFFF) != 0;
}

TEST_F(TextDisplayTest, BoldInkIsWiderThanPlainAndARedWordIsRed) {
    Start();
    mApp->SetupScreen(640, 480, false);
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    mLayout =
        TTextLayout::Create("Heavy <b>Heavy</b> <font color='#ff0000'>red</font>",
                            kBox.right - kBox.left, kBox.bottom - kBox.top, 0, nullptr, 32, white);
    ASSERT_EQ(mLayout->GetLineCount(), 1);
    // Runs: "Heavy ", "Heavy" (bold), " ", "red".
    ASSERT_EQ(mLayout->GetLines()[0]->runs.size(), 4u);
    ASSERT_TRUE(mLayout->GetLines()[0]->runs[1].bold);

    const port::control::Image image = DrawAndRead(1.0f);
    ASSERT_GE(image.width, 640);

    auto red = [](uint32_t pixel) {
        return (pixel >> 16 & 255) > 200 && (pixel >> 8 & 255) < 40 && (pixel & 255) < 40;
    };
    const int plain = Count(image, RunBox(0), Ink);
    const int bold = Count(image, RunBox(1), Ink);
    EXPECT_GT(plain, 200);
    EXPECT_GT(bold, plain + plain / 10) << "plain " << plain << ", bold " << bold;
    EXPECT_EQ(Count(image, RunBox(0), red), 0);
    EXPECT_GT(Count(image, RunBox(3), red), 40);
    // Nothing outside the text's bounds.
    TRect bounds;
    mLayout->GetBounds(bounds, 1.0f);
    const TRect outside{kBox.left + bounds.right + 3, kBox.top, 640, kBox.bottom};
    EXPECT_EQ(Count(image, outside, Ink), 0);
    EXPECT_EQ(Count(image, TRect{0, 0, 640, kBox.top - 2}, Ink), 0);
}

TEST_F(TextDisplayTest, AScaleOfZeroLeavesNoInk) {
    Start();
    mApp->SetupScreen(640, 480, false);
    const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    mLayout = TTextLayout::Create("<b>Heavy</b> <outline><u>line</u><cursor>", 600, 100, 0, nullptr,
                                  32, white);
    const port::control::Image image = DrawAndRead(0.0f);
    ASSERT_GE(image.width, 640);
    EXPECT_EQ(Count(image, TRect{0, 0, 640, 480}, Ink), 0);
}

}  // namespace
}  // namespace setdisplay_testing
