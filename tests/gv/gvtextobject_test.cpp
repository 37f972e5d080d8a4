// Text objects: their defaults, drawing their image without frames or culling, their origin, their
// bounds, and the release of their text layout.
#include "gv/gvtextobject.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "drawfixture.h"
#include "platform/draw/color.h"
#include "platform/draw/drawspec.h"
#include "platform/text/textlayout.h"
#include "platform/text/textlayoutrecorder.h"
#include "platform/texture/texturedata.h"

namespace gv_test {
namespace {

class TextObjectTest : public DrawTest {
protected:
    void SetUp() override {
        DrawTest::SetUp();
        PutImage("anim/text.png", Pixels(20, 10, 0xFFFFFFFFu));
        mImage = TTexture::Get("anim/text.png", 0);
        ASSERT_NE(mImage, nullptr);
        // A text object of the "text" creator at (100, 50), with a center in its description
        // and a sprite child handed its parameters and transform.
        PutFile("xml/panel.xml",
                "<main deltaX=\"100\" deltaY=\"50\" center=\"3,4\" alpha=\"0.5\" "
                "blend=\"add\"><objects>" +
                    Sprite("obj", "id=\"child\" deltaX=\"10\"") + "</objects></main>");
    }
    void TearDown() override {
        mImage.reset();
        DrawTest::TearDown();
    }

    GVTextObject* MakeText() {
        return dynamic_cast<GVTextObject*>(Keep(Factory().CreateObject("panel?text", false)));
    }
    // Gives the object a layout and the image.
    void Dress(GVTextObject* text) {
        text->SetLayout(TTextLayout::Create("hello", 20, 10, 0, "arial", 14, nullptr));
        text->SetImage(mImage);
        text->changed = 1;
    }

    std::shared_ptr<TTexture> mImage;
};

TEST_F(TextObjectTest, TheTextCreatorMakesOneWithTheDefaults) {
    GVTextObject* text = MakeText();
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->GetFontName(), str("arial"));
    EXPECT_EQ(text->GetFontSize(), 14);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(text->GetColor()[i], 1.0f);
    EXPECT_EQ(text->GetText(), str(""));
    EXPECT_EQ(text->GetLayout(), nullptr);
    EXPECT_EQ(text->GetImage(), nullptr);
    EXPECT_EQ(text->GetWidth(), 0u);
}

TEST_F(TextObjectTest, WithoutAnImageNothingIsDrawnYetItComposesAndHandsDown) {
    GVTextObject* text = MakeText();
    ASSERT_NE(text, nullptr);
    // A layout alone is not enough.
    text->SetLayout(TTextLayout::Create("hello", 20, 10, 0, nullptr, 14, nullptr));
    text->changed = 1;
    mScene.Draw();
    GVObject* child = text->GetChild("child");
    ASSERT_NE(child, nullptr);
    // Only the child is drawn, placed by the text object's transform and half transparent.
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    EXPECT_EQ(Lefts(), (std::vector<float>{110}));
    EXPECT_EQ(child->GetComposed().alpha, 0.5f);
    EXPECT_EQ(text->GetDrawSpec(), nullptr);
    GVRect bounds;
    text->GetBounds(bounds, nullptr);
    EXPECT_EQ(bounds, GVRect());
    EXPECT_FALSE(text->HitTest(TVec2(100, 50)));
}

TEST_F(TextObjectTest, WithAnImageTheWholeImageIsDrawnUnculledInWhiteAtItsOwnCenter) {
    GVTextObject* text = MakeText();
    ASSERT_NE(text, nullptr);
    Dress(text);
    text->colors[0] = 0.25f;  // colour factors do not reach the text
    text->centerX = 2;        // the own block's center is the origin
    text->centerY = 1;
    // Far outside the view: never culled (its child is).
    text->deltaX = 5000;
    mScene.Draw();
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    const TDrawSpec& spec = *text->GetDrawSpec();
    EXPECT_EQ(spec.mSourceRect, (TRect{0, 0, 20, 10}));
    EXPECT_EQ(spec.mColor.x, 1.0f);
    EXPECT_EQ(spec.mOpacity, 0.5f);
    EXPECT_EQ(spec.mBlendMode, GVData::kBlendAdd);
    EXPECT_EQ(spec.mFlags, 12u);
    const float w = static_cast<float>(mImage->GetData()->GetSurfaceWidth());
    const float h = static_cast<float>(mImage->GetData()->GetSurfaceHeight());
    // At (5100, 50) (own and description positions) less the own center (2, 1).
    EXPECT_EQ(Corners(0), (std::vector<Corner>{{5098, 49, 0, 0},
                                               {5118, 49, 20 / w, 0},
                                               {5118, 59, 20 / w, 10 / h},
                                               {5098, 59, 0, 10 / h}}));
    EXPECT_EQ(mSink.mDraws[0].texture, mImage.get());
    EXPECT_EQ(mSink.mDraws[0].vertices[0].diffuse, TColor(1.0f, 1.0f, 1.0f, 0.5f).GetPacked());

    // Mirrored: the mirror bits, same rectangle.
    text->flip = GVData::kFlipHorizontal | GVData::kFlipVertical;
    text->changed = 1;
    ClearSink();
    mScene.Draw();
    EXPECT_EQ(text->GetDrawSpec()->mFlags, 15u);
    ASSERT_EQ(mSink.mDraws.size(), 1u);
    EXPECT_EQ(Corners(0)[0], (Corner{5118, 59, 0, 0}));

    // Hidden: not drawn.
    text->visible = 0;
    text->changed = 1;
    ClearSink();
    mScene.Draw();
    EXPECT_TRUE(mSink.mDraws.empty());
}

TEST_F(TextObjectTest, TheOriginIsTheOwnCenterNotTheComposedOne) {
    GVTextObject* text = MakeText();
    ASSERT_NE(text, nullptr);
    Dress(text);
    text->centerX = 2;
    text->centerY = 1;
    // A center handed down by a parent, besides the description's (3, 4).
    text->GetInherited().centerX = 7;
    text->GetInherited().centerY = 9;
    text->GetInherited().changed = 1;
    text->scaling = 2;
    text->Update();
    EXPECT_EQ(text->GetComposed().centerX, 12);
    EXPECT_EQ(text->GetDrawSpec()->mOffset.x, 2);
    EXPECT_EQ(text->GetDrawSpec()->mOffset.y, 1);
    // Bounds: the translation less the origin times the scaling, the image's size scaled.
    const TMat3& m = text->GetDrawSpec()->mTransform;
    GVRect bounds;
    text->GetBounds(bounds, nullptr);
    EXPECT_EQ(bounds, (GVRect{m.m[6] - 4, m.m[7] - 2, m.m[6] + 36, m.m[7] + 18}));
}

TEST_F(TextObjectTest, TheLayoutIsReleasedExactlyOnce) {
    TRecordingTextLayouts layouts;
    GVTextObject* text = MakeText();
    ASSERT_NE(text, nullptr);
    Dress(text);
    TTextLayout* first = text->GetLayout();
    // Replaced: the old one goes; the same one again stays.
    text->SetLayout(TTextLayout::Create("other", 20, 10, 0, nullptr, 14, nullptr));
    TTextLayout* second = text->GetLayout();
    text->SetLayout(second);
    EXPECT_EQ(layouts.DeleteCount(first), 1);
    EXPECT_EQ(layouts.DeleteCount(second), 0);
    // A clone shares neither layout nor image.
    GVTextObject clone;
    text->CopyTo(&clone);
    EXPECT_EQ(clone.GetLayout(), nullptr);
    mLive.clear();
    EXPECT_EQ(layouts.DeleteCount(second), 1);
    EXPECT_EQ(layouts.mDeleted.size(), 2u);
}

}  // namespace
}  // namespace gv_test
