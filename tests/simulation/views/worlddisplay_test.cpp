// What the player sees of the world views: a location and two creatures on descriptions with
// small images of their own, drawn by the world view manager through the real renderer on the
// headless display and read back from the back buffer.
#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <memory>
#include <string>

#include "foundation/assetmanager.h"
#include "foundation/file/fileindex.h"
#include "platform/display/displayrecord.h"
#include "platform/draw/renderer.h"
#include "platform/platformdata.h"
#include "platform/texture/texturedatasource.h"
#include "platform/win32platform.h"
#include "port/control.h"
#include "port/window/windowpos.h"
#include "support/imagewriter.h"
#include "support/screenup.h"
#include "support/tempdir.h"
#include "viewfixture.h"

namespace views_test {
namespace {

constexpr uint32_t kBackground = 0xFF203040u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kGreen = 0xFF00FF00u;
constexpr uint32_t kBlue = 0xFF0000FFu;

// A 16 x 16 image of one opaque colour.
std::string Square(uint32_t colour) {
    testing_support::PngImage image;
    image.width = 16;
    image.height = 16;
    image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
    for (int i = 0; i < 16 * 16; ++i) {
        image.samples.push_back((colour >> 16) & 0xFF);
        image.samples.push_back((colour >> 8) & 0xFF);
        image.samples.push_back(colour & 0xFF);
        image.samples.push_back(0xFF);
    }
    return testing_support::WritePng(image);
}

// A stand-in root showing the image, hanging from its bottom centre.
std::string Description(const std::string& image) {
    return "<main><images><img name=\"" + image +
           "\"/></images><framelist centering=\"left\"><frame x=\"0\" y=\"0\" w=\"16\" "
           "h=\"16\" regx=\"8\" regy=\"16\"/></framelist></main>";
}

class ViewDisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(100000);
        port::control::SetSleepAdvancesClock(true);
        SetAssetManager(&mAssets);
        SetCommonDataRoot(mCommon.Path().c_str());
        mApp = std::make_unique<TPlatform>();
        testing_support::ShowWindowAndSetupScreen(*mApp, 800, 600);

        // The images are read once the display is there, as the display's textures.
        mSprites = std::make_unique<testing_support::WorldSprites>();
        const struct {
            const char* name;
            uint32_t colour;
        } looks[] = {{"show_place", kRed}, {"show_first", kGreen}, {"show_second", kBlue}};
        for (const auto& look : looks) {
            mSprites->Put(std::string("anim/") + look.name + ".png", Square(look.colour));
            mSprites->Put(std::string("xml/") + look.name + ".xml",
                          Description(std::string(look.name) + ".png"));
        }
        mManager = std::make_unique<GVWorldManager>(&mScene, &mWorld);
        ASSERT_TRUE(mManager->Init());
    }
    void TearDown() override {
        mManager.reset();
        mSprites.reset();
        GVLayoutCache::Clear();
        GVFactory::Instance().SetScene(nullptr);
        TRenderer::DestroyInstance();
        mApp.reset();
        SetTextureDataMaker(nullptr);
        SetAssetManager(nullptr);
        port::control::UseFakeClock(false);
    }

    // The world drawn over the background in a frame that is not presented; the back buffer.
    port::control::Image DrawFrame() {
        IDirectDrawSurface7* back = TPlatformData::GetInstance()->GetRecord()->mBackBuffer;
        EXPECT_NE(back, nullptr);
        if (back == nullptr) return {};
        DDBLTFX fill{};
        fill.dwSize = sizeof fill;
        fill.dwFillColor = kBackground;
        EXPECT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
        TRenderer* renderer = TRenderer::GetInstance();
        EXPECT_TRUE(renderer->BeginDraw(false));
        mManager->Draw(TVec2(0, 0));
        renderer->EndDraw(0);
        return port::control::SurfaceImage(back);
    }

    TAssetManager mAssets;
    testing_support::TempDir mCommon;
    GWorld mWorld;
    GVScene mScene;
    std::unique_ptr<TPlatform> mApp;
    std::unique_ptr<testing_support::WorldSprites> mSprites;
    std::unique_ptr<GVWorldManager> mManager;
};

TEST_F(ViewDisplayTest, EachSpriteShowsAtItsPositionAndTheLowerCreatureInFront) {
    ASSERT_TRUE(TPlatformData::GetInstance() != nullptr && TPlatformData::GetInstance()->IsReady());
    GVWorldObject* place = mManager->CreateVisual("show_place", 2);
    GVWorldObject* lower = mManager->CreateVisual("show_second", 1);  // made first, drawn last
    GVWorldObject* upper = mManager->CreateVisual("show_first", 1);
    ASSERT_TRUE(place != nullptr && lower != nullptr && upper != nullptr);
    place->SetPosition(200, 200);
    upper->SetPosition(300, 300);
    lower->SetPosition(305, 310);
    const port::control::Image frame = DrawFrame();
    ASSERT_EQ(frame.width, 800);
    ASSERT_EQ(frame.height, 600);

    // Each covers x - 8 .. x + 7 and y - 16 .. y - 1.
    auto covers = [](const GVWorldObject* view, int x, int y) {
        const int left = static_cast<int>(view->GetX()) - 8;
        const int top = static_cast<int>(view->GetY()) - 16;
        return x >= left && x < left + 16 && y >= top && y < top + 16;
    };
    int mismatches = 0;
    for (int y = 170; y < 320; ++y) {
        for (int x = 180; x < 330; ++x) {
            uint32_t expected = kBackground;
            if (covers(place, x, y)) expected = kRed;
            if (covers(upper, x, y)) expected = kGreen;
            if (covers(lower, x, y)) expected = kBlue;
            if ((frame.At(x, y) & 0xFFFFFF) != (expected & 0xFFFFFF) && ++mismatches <= 5)
                ADD_FAILURE() << "at " << x << "," << y << ": " << std::hex << frame.At(x, y)
                              << " instead of " << expected;
        }
    }
    EXPECT_EQ(mismatches, 0);
    // Where the two creatures overlap, the lower one is seen; above it the upper one.
    EXPECT_EQ(frame.At(300, 297) & 0xFFFFFF, kBlue & 0xFFFFFF);
    EXPECT_EQ(frame.At(300, 290) & 0xFFFFFF, kGreen & 0xFFFFFF);
    EXPECT_EQ(frame.At(200, 190) & 0xFFFFFF, kRed & 0xFFFFFF);
}

}  // namespace
}  // namespace views_test
