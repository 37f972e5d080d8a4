// Image windows and a slider in one frame through the real renderer on the headless display:
// an asymmetric picture drawn plain, mirrored and turned, a half-transparent one over a coloured
// window and a slider's rail and thumb, read back from the back buffer where the draw
// descriptions put them.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>

#include "filledwindow.h"
#include "imagefiles.h"
#include "managerfixture.h"
#include "platform/display/displayrecord.h"
#include "platform/display/displaysink.h"
#include "platform/draw/drawspec.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "port/display/control.h"
#include "ui/image.h"
#include "ui/slider.h"

namespace uitest {
namespace {

constexpr uint32_t kRed = 0xFFFF0000u, kGreen = 0xFF00FF00u, kBlue = 0xFF0000FFu,
                   kWhite = 0xFFFFFFFFu;

// Each channel within the tolerance.
bool Near(uint32_t actual, uint32_t expected, int tolerance) {
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>((actual >> shift) & 0xFF);
        int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) return false;
    }
    return true;
}

class ImagePixelsTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        TRenderer::GetInstance()->SetSink(GetDisplayRenderSink());
        mScreen->SetClearColor({0.0f, 0.0f, 0.0f, 1.0f});
        // 40 x 20, a colour for each quarter: red, green above; blue, white below.
        mFiles.Put("quarters.png", 40, 20, false, [](int x, int y) {
            if (y < 10) return x < 20 ? kRed : kGreen;
            return x < 20 ? kBlue : kWhite;
        });
        mFiles.PutSolid("white.png", 16, 16, kWhite);
        mFiles.PutSolid("thumb.png", 10, 8, kGreen);
        mFiles.PutSolid("rail.png", 6, 4, kBlue);
    }

    TImage* AddImage(int x, int y, uint32_t drawFlags, bool rotated) {
        auto* image = new TImage(true);
        image->SetTexture(TTexture::Get("quarters.png", 0), 1.0f);
        image->SetDrawFlags(drawFlags);
        image->SetRotated(rotated);
        image->MoveTo(x, y);
        EXPECT_TRUE(mScreen->AddChild(image, true));
        return image;
    }
    port::control::Image Frame() {
        mManager->MarkDirty();
        IdleAfterInterval();
        EXPECT_FALSE(mManager->IsRedrawNeeded()) << "no frame was drawn";
        TDisplayRecord* record = mApp->GetPlatform()->GetPlatformData()->GetRecord();
        return port::control::SurfaceImage(record->mBackBuffer);
    }

    TImageFiles mFiles;
};

TEST_F(ImagePixelsTest, PlainMirroredAndTurnedPicturesLandWhereTheirSpecsPutThem) {
    AddImage(10, 10, 0, false);
    AddImage(100, 10, TDrawSpec::kFlipHorizontal, false);
    AddImage(200, 10, TDrawSpec::kFlipVertical, false);
    TImage* turned = AddImage(300, 10, 0, true);
    ASSERT_EQ(turned->GetRect(), (TRect{300, 10, 320, 50}));
    port::control::Image picture = Frame();
    ASSERT_FALSE(picture.Empty());
    const struct {
        const char* what;
        int x, y;
        uint32_t colour;
    } probes[] = {
        {"plain top left", 12, 12, kRed},
        {"plain top right", 47, 12, kGreen},
        {"plain bottom left", 12, 27, kBlue},
        {"plain bottom right", 47, 27, kWhite},
        {"plain outside", 51, 12, 0xFF000000u},
        {"mirrored top left", 102, 12, kGreen},
        {"mirrored top right", 137, 12, kRed},
        {"mirrored bottom left", 102, 27, kWhite},
        {"flipped top left", 202, 12, kBlue},
        {"flipped bottom right", 237, 27, kGreen},
        // Turned a quarter clockwise into 20 x 40: the picture's top runs down the right.
        {"turned top right", 317, 12, kRed},
        {"turned bottom right", 317, 47, kGreen},
        {"turned top left", 302, 12, kBlue},
        {"turned bottom left", 302, 47, kWhite},
        {"turned beside", 321, 30, 0xFF000000u},
        {"turned below", 310, 51, 0xFF000000u},
    };
    for (const auto& probe : probes) {
        EXPECT_PRED3(Near, picture.At(probe.x, probe.y), probe.colour, 3) << probe.what;
    }
}

TEST_F(ImagePixelsTest, AHalfTransparentPictureBlendsOverAColouredWindow) {
    auto* red = new TFilledWindow(str("red"), TVec4{1.0f, 0.0f, 0.0f, 1.0f});
    red->SetRect({20, 20, 80, 80});
    ASSERT_TRUE(mScreen->AddChild(red, false));
    auto* image = new TImage(true);
    image->SetTexture(TTexture::Get("white.png", 0), 3.0f);  // 48 x 48
    image->SetAlpha(0.5f);
    image->MoveTo(40, 40);
    ASSERT_TRUE(mScreen->AddChild(image, true));
    port::control::Image picture = Frame();
    EXPECT_PRED3(Near, picture.At(50, 50), 0xFFFF8080u, 4);  // white at half over red
    EXPECT_PRED3(Near, picture.At(30, 30), kRed, 0);
    EXPECT_PRED3(Near, picture.At(75, 75), 0xFFFF8080u, 4);
    EXPECT_PRED3(Near, picture.At(85, 60), 0xFF808080u, 4);  // over the black screen
}

TEST_F(ImagePixelsTest, ASlidersRailAndThumb) {
    auto* slider = new TSlider;
    slider->SetRect({100, 100, 130, 200});
    ASSERT_TRUE(mScreen->AddChild(slider, true));
    std::shared_ptr<TTexture> rail = TTexture::Get("rail.png", 0);
    slider->SetRailTextures(rail, rail, rail);
    slider->SetThumbTextures(TTexture::Get("thumb.png", 0), nullptr);
    slider->SetValue(0.5f, true);
    // 10 across (the thumb); the rail's 6 centred at 2; the thumb at (0, 46).
    ASSERT_EQ(slider->GetRect(), (TRect{100, 100, 110, 200}));
    port::control::Image picture = Frame();
    EXPECT_PRED3(Near, picture.At(104, 102), kBlue, 0);        // the top piece
    EXPECT_PRED3(Near, picture.At(104, 120), kBlue, 0);        // the stretched middle
    EXPECT_PRED3(Near, picture.At(104, 198), kBlue, 0);        // the bottom piece
    EXPECT_PRED3(Near, picture.At(100, 120), 0xFF000000u, 0);  // beside the rail
    EXPECT_PRED3(Near, picture.At(101, 147), kGreen, 0);       // the thumb
    EXPECT_PRED3(Near, picture.At(108, 152), kGreen, 0);
    EXPECT_PRED3(Near, picture.At(104, 155), kBlue, 0);  // the rail below it
}

}  // namespace
}  // namespace uitest
