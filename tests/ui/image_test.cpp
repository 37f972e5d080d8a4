// TImage: its size from the texture, scale and turn, the opaque flag, the table's keys, what it
// draws (read back through the recording sink) and the cover it gives its modal; "Bitmap" tables,
// _SetBitmap and ImageLoaded from Lua.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "imagefiles.h"
#include "platform/draw/drawspec.h"
#include "platform/texture/texture.h"
#include "scriptfixture.h"
#include "ui/image.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using CornerList = std::vector<std::pair<float, float>>;

class ImageTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        mFiles.PutSolid("wide.png", 100, 40, 0xFF204060u);
        mFiles.PutSolid("clear.png", 100, 40, 0x80204060u, true);
        mFiles.PutSolid("side25.png", 25, 25, 0xFF102030u);
        mFiles.PutSolid("side124.png", 124, 124, 0xFF102030u);
        mFiles.PutSolid("mask.png", 100, 40, 0xFF808080u);
        mDialog = Push("dialog");
    }

    // An image made by the factory from the Lua table's text, under the dialog.
    TImage* Make(const std::string& table) {
        std::string name = "made" + std::to_string(++mMade);
        EXPECT_EQ(Run("local t = " + table + " t.name = '" + name + "' Bitmap(t)()"), "");
        auto* image = TWindow::CastTo<TImage>(mDialog->FindChild(name.c_str()));
        EXPECT_NE(image, nullptr) << table;
        return image;
    }
    // The corners of the one draw the image makes inside a frame, as (x, y) pairs.
    CornerList DrawnCorners(TImage* image) {
        mSink.mDraws.clear();
        TRenderer* renderer = TRenderer::GetInstance();
        EXPECT_TRUE(renderer->BeginDraw(false));
        image->Draw();
        EXPECT_FALSE(renderer->IsIn2d()) << "the draw leaves the 2-D phase it entered";
        renderer->EndDraw(0);
        CornerList corners;
        if (mSink.mDraws.size() != 1) return corners;
        for (const TLVertex& vertex : mSink.mDraws[0].vertices) {
            corners.emplace_back(std::round(vertex.x * 1000.0f) / 1000.0f,
                                 std::round(vertex.y * 1000.0f) / 1000.0f);
        }
        return corners;
    }

    TImageFiles mFiles;
    TTestModal* mDialog = nullptr;
    int mMade = 0;
};

TEST_F(ImageTest, ConstructionFlagsAndIdentity) {
    TImage plain(false);
    EXPECT_EQ(plain.GetFlags(), TWindow::kVisible | TWindow::kOpaque);
    TImage firstPass(true);
    EXPECT_EQ(firstPass.GetFlags(), TWindow::kVisible | TWindow::kOpaque | TWindow::kDrawInPass1);
    EXPECT_STREQ(firstPass.GetClassName(), "TImage");
    EXPECT_EQ(TWindow::CastTo<TImage>(&firstPass), &firstPass);
    EXPECT_EQ(TWindow::CastTo<TWindow>(&firstPass), &firstPass);
    TWindow* made = TWindow::CallCreator(TImage::TypeId());
    ASSERT_NE(TWindow::CastTo<TImage>(made), nullptr);
    EXPECT_NE(made->GetFlags() & TWindow::kDrawInPass1, 0u);
    delete made;
}

TEST_F(ImageTest, TheWindowTakesTheScaledTextureSize) {
    const struct {
        const char* table;
        TRect rect;
    } cases[] = {
        {"{ image = 'wide.png', scale = 0.5 }", {0, 0, 50, 20}},
        {"{ image = 'wide.png', scale = 0.5, rotate = true }", {0, 0, 20, 50}},
        {"{ image = 'wide.png', x = 7, y = 9 }", {7, 9, 107, 49}},
        {"{ image = 'side25.png', scale = 0.5 }", {0, 0, 13, 13}},   // 12.5 rounds up
        {"{ image = 'side124.png', scale = 0.1 }", {0, 0, 12, 12}},  // 12.4 rounds down
        {"{ image = 'wide.png', scale = 1e12 }", {0, 0, 65535, 65535}},
        {"{ image = 'wide.png', scale = -2 }", {0, 0, 0, 0}},
        // Explicit sizes override the texture's.
        {"{ image = 'wide.png', scale = 0.5, w = 70, h = 30 }", {0, 0, 70, 30}},
        {"{ image = 'wide.png', w = 70 }", {0, 0, 70, 40}},
        // Without a picture the table's size stands.
        {"{ w = 30, h = 10 }", {0, 0, 30, 10}},
    };
    for (const auto& c : cases) {
        TImage* image = Make(c.table);
        EXPECT_EQ(image->GetRect(), c.rect) << c.table;
    }
}

TEST_F(ImageTest, SetTextureAndSetRotatedResizeWithDefinedArithmetic) {
    TImage* image = Make("{}");
    std::shared_ptr<TTexture> wide = TTexture::Get("wide.png", 0);
    ASSERT_NE(wide, nullptr);
    const struct {
        float scale;
        int width;
        int height;
    } cases[] = {
        {2.0f, 200, 80},
        {std::numeric_limits<float>::infinity(), 65535, 65535},
        {std::numeric_limits<float>::quiet_NaN(), 0, 0},
        {-std::numeric_limits<float>::infinity(), 0, 0},
    };
    for (const auto& c : cases) {
        image->SetTexture(wide, c.scale);
        EXPECT_EQ(image->GetWidth(), c.width) << c.scale;
        EXPECT_EQ(image->GetHeight(), c.height) << c.scale;
    }
    image->SetTexture(wide, 1.0f);
    mManager->SetRedrawNeeded(false);
    image->SetRotated(true);
    EXPECT_EQ(image->GetRect(), (TRect{0, 0, 40, 100}));
    EXPECT_TRUE(mManager->IsRedrawNeeded());
    image->SetRotated(true);  // no change: the size stays
    EXPECT_EQ(image->GetRect(), (TRect{0, 0, 40, 100}));
    // An empty texture keeps the size.
    image->SetTexture(nullptr, 3.0f);
    EXPECT_EQ(image->GetRect(), (TRect{0, 0, 40, 100}));
    EXPECT_EQ(image->GetTexture(), nullptr);
}

TEST_F(ImageTest, SetAlphaKeepsTheOpaqueFlagForSolidPicturesOnly) {
    TImage* solid = Make("{ image = 'wide.png' }");
    TImage* clear = Make("{ image = 'clear.png' }");
    TImage* empty = Make("{ w = 10, h = 10 }");
    EXPECT_NE(clear->GetFlags() & TWindow::kOpaque, 0u) << "opaque until SetAlpha";
    const struct {
        TImage* image;
        float alpha;
        bool opaque;
    } cases[] = {
        {solid, 0.999f, false}, {solid, 1.0f, true},  {clear, 1.0f, false},
        {empty, 1.0f, false},   {solid, 0.0f, false},
    };
    for (const auto& c : cases) {
        mManager->SetRedrawNeeded(false);
        c.image->SetAlpha(c.alpha);
        EXPECT_EQ((c.image->GetFlags() & TWindow::kOpaque) != 0, c.opaque)
            << c.image->GetRect().right << " at " << c.alpha;
        EXPECT_TRUE(mManager->IsRedrawNeeded());
    }
}

TEST_F(ImageTest, TheTablesLoadOptions) {
    TImage* alpha = Make("{ image = 'wide.png', alpha = true }");
    EXPECT_EQ(alpha->GetFlags() & TWindow::kOpaque, 0u);
    EXPECT_EQ(alpha->GetTexture(),
              TTexture::FindCached(TTexture::MakeKey("wide.png", true, false, false)));
    EXPECT_TRUE(alpha->GetTexture()->HasAlpha());

    TImage* mipmap = Make("{ image = 'wide.png', mipmap = true }");
    EXPECT_NE(mipmap->GetFlags() & TWindow::kOpaque, 0u);
    EXPECT_EQ(mipmap->GetTexture(),
              TTexture::FindCached(TTexture::MakeKey("wide.png", false, true, false)));

    TImage* masked = Make("{ image = 'wide.png', mask = 'mask.png' }");
    ASSERT_NE(masked->GetTexture(), nullptr);
    EXPECT_EQ(masked->GetTexture(),
              TTexture::FindCached(TTexture::MakeMaskKey("wide.png", "mask.png", false, false)));

    // Two windows naming one picture share its texture.
    TImage* again = Make("{ image = 'wide.png', mipmap = true }");
    EXPECT_EQ(again->GetTexture(), mipmap->GetTexture());

    TImage* missing = Make("{ image = 'nowhere.png', w = 4, h = 5 }");
    EXPECT_EQ(missing->GetTexture(), nullptr);
    EXPECT_EQ(missing->GetRect(), (TRect{0, 0, 4, 5}));
}

TEST_F(ImageTest, DrawPlacesThePictureByItsTopLeftCorner) {
    const struct {
        const char* table;
        CornerList corners;
        uint32_t opacity;
    } cases[] = {
        {"{ image = 'wide.png' }", {{0, 0}, {100, 0}, {100, 40}, {0, 40}}, 0xFF},
        // Explicit sizes: the picture keeps its scaled size.
        {"{ image = 'wide.png', scale = 0.5, w = 200, h = 90 }",
         {{0, 0}, {50, 0}, {50, 20}, {0, 20}},
         0xFF},
        {"{ image = 'wide.png', hflip = true }", {{100, 0}, {0, 0}, {0, 40}, {100, 40}}, 0xFF},
        {"{ image = 'wide.png', vflip = true }", {{0, 40}, {100, 40}, {100, 0}, {0, 0}}, 0xFF},
        // Turned a quarter clockwise: the picture's top edge runs down the window's right edge,
        // and the turned picture fills the 40 x 100 window.
        {"{ image = 'wide.png', rotate = true }", {{40, 0}, {40, 100}, {0, 100}, {0, 0}}, 0xFF},
        {"{ image = 'wide.png', rotate = true, scale = 0.5 }",
         {{20, 0}, {20, 50}, {0, 50}, {0, 0}},
         0xFF},
    };
    for (const auto& c : cases) {
        TImage* image = Make(c.table);
        EXPECT_EQ(DrawnCorners(image), c.corners) << c.table;
        if (!mSink.mDraws.empty()) {
            EXPECT_EQ(mSink.mDraws[0].vertices[0].diffuse >> 24, c.opacity) << c.table;
        }
    }
    TImage* faded = Make("{ image = 'wide.png' }");
    faded->SetAlpha(0.5f);
    DrawnCorners(faded);
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    EXPECT_EQ(mSink.mDraws[0].vertices[0].diffuse >> 24, 0x7Fu);
    EXPECT_EQ(mSink.mDraws[0].texture, faded->GetTexture().get());

    // Nothing without a picture, and no 2-D phase for it.
    TImage* empty = Make("{ w = 30, h = 10 }");
    int phases = mSink.mBegin2dCount;
    EXPECT_EQ(DrawnCorners(empty), CornerList{});
    EXPECT_TRUE(mSink.mDraws.empty());
    EXPECT_EQ(mSink.mBegin2dCount, phases);
}

TEST_F(ImageTest, DrawInsideAnOpenPhaseLeavesItOpen) {
    TImage* image = Make("{ image = 'wide.png' }");
    TRenderer* renderer = TRenderer::GetInstance();
    ASSERT_TRUE(renderer->BeginDraw(false));
    ASSERT_TRUE(renderer->Begin2d());
    image->Draw();
    EXPECT_TRUE(renderer->IsIn2d());
    EXPECT_EQ(mSink.mDraws.size(), 1u);
    renderer->End2d();
    renderer->EndDraw(0);
}

TEST_F(ImageTest, AFullScreenSolidImageHidesTheModalsBelow) {
    TTestModal* top = Push("top");
    auto* picture = new TImage(true);
    top->AddChild(picture, true);
    mFiles.PutSolid("screen.png", 640, 480, 0xFF000000u);
    picture->SetTexture(TTexture::Get("screen.png", 0), 1.0f);
    mJournal.clear();
    mManager->DrawModals(0);
    EXPECT_THAT(Entries(".draw"), ElementsAre("top.draw"));

    picture->SetAlpha(0.5f);
    mJournal.clear();
    mManager->DrawModals(0);
    EXPECT_THAT(Entries(".draw"), ElementsAre("dialog.draw", "top.draw"));

    picture->SetAlpha(1.0f);
    mJournal.clear();
    mManager->DrawModals(0);
    EXPECT_THAT(Entries(".draw"), ElementsAre("top.draw"));
}

TEST_F(ImageTest, FromLua) {
    mFiles.PutSolid("other.png", 30, 10, 0xFF00FF00u);
    ASSERT_EQ(Run("Bitmap{ name = 'pic', image = 'wide.png' }() "
                  "Bitmap{ name = 'blank', w = 5, h = 5 }()"),
              "");
    auto* pic = TWindow::CastTo<TImage>(mDialog->FindChild("pic"));
    ASSERT_NE(pic, nullptr);
    EXPECT_EQ(pic->GetRect(), (TRect{0, 0, 100, 40}));
    EXPECT_EQ(Run("return ImageLoaded('pic'), ImageLoaded('blank'), ImageLoaded('nobody'), "
                  "ImageLoaded('dialog')"),
              "true, false, false, false");

    EXPECT_EQ(Run("_SetBitmap('pic', 'other.png', 2)"), "");
    EXPECT_EQ(pic->GetRect(), (TRect{0, 0, 60, 20}));
    EXPECT_EQ(pic->GetTexture(), TTexture::Get("other.png", 0));
    // Only image windows take a picture; a missing file empties the picture, keeping the size.
    EXPECT_EQ(Run("_SetBitmap('dialog', 'other.png', 1) _SetBitmap('pic', 'gone.png', 1)"), "");
    EXPECT_EQ(mDialog->GetRect(), (TRect{0, 0, 640, 480}));
    EXPECT_EQ(pic->GetRect(), (TRect{0, 0, 60, 20}));
    EXPECT_EQ(Run("return ImageLoaded('pic')"), "false");
}

}  // namespace
}  // namespace uitest
