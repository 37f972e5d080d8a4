// TSlider: the value and its messages, the thumb's place, the table's keys and the thickness,
// the rail's quads (read back through the recording sink), and the mouse through the window
// manager's dispatch: drags, rail clicks, rollover and tracking. Sliders are made from "Slider"
// tables under a recording panel away from the dialog's origin.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "imagefiles.h"
#include "platform/texture/texture.h"
#include "scriptfixture.h"
#include "ui/image.h"
#include "ui/slider.h"

namespace uitest {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

// Takes every message and notes it as "type:name".
class TRecordingPanel : public TWindow {
public:
    static inline std::vector<std::string>* sSeen = nullptr;

    static void* Create() { return static_cast<TWindow*>(new TRecordingPanel); }
    static TClassId TypeId() { return &Create; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TWindow::IsKindOf(id); }
    bool OnMessage(TMessage* message) override {
        if (sSeen != nullptr) {
            sSeen->push_back(std::to_string(message->GetType()) + ":" + message->GetName().c_str());
        }
        return true;
    }
};

// The panel's place on the screen, and the slider's inside it.
constexpr int kPanelX = 30, kPanelY = 40;
constexpr int kSliderX = 50, kSliderY = 20;

class SliderTest : public ScriptTest {
protected:
    void SetUp() override {
        ScriptTest::SetUp();
        mFiles.PutSolid("thumb.png", 10, 20, 0xFF0000FFu);
        mFiles.PutSolid("thumbroll.png", 10, 20, 0xFF00FF00u);
        mFiles.PutSolid("top.png", 12, 5, 0xFF101010u);
        mFiles.PutSolid("mid.png", 12, 4, 0xFF202020u);
        mFiles.PutSolid("bot.png", 12, 6, 0xFF303030u);
        TRecordingPanel::sSeen = &mSeen;
        mManager->RegisterWindowType("Panel", TRecordingPanel::TypeId());
        mDialog = Push("dialog");
    }
    void TearDown() override {
        ScriptTest::TearDown();
        TRecordingPanel::sSeen = nullptr;
    }

    // A slider made by the factory from the table's fields, under the panel.
    TSlider* Make(const std::string& fields) {
        std::string name = "slider" + std::to_string(++mMade);
        std::string code = "Panel{ name = 'panel" + name + "', x = " + std::to_string(kPanelX) +
                           ", y = " + std::to_string(kPanelY) +
                           ", w = 400, h = 400, Slider{ name = '" + name +
                           "', x = " + std::to_string(kSliderX) +
                           ", y = " + std::to_string(kSliderY) + ", " + fields + " } }()";
        EXPECT_EQ(Run(code), "");
        auto* slider = TWindow::CastTo<TSlider>(mDialog->FindChild(name.c_str()));
        EXPECT_NE(slider, nullptr) << fields;
        mSeen.clear();
        return slider;
    }
    // The usual vertical slider: 100 long, a thumb of 10 x 20, the three rail pieces.
    TSlider* MakeVertical(const std::string& more = "") {
        return Make(
            "w = 16, h = 100, sliderimage = 'thumb.png', sliderrollimage = "
            "'thumbroll.png', railtop = 'top.png', railmid = 'mid.png', railbot = "
            "'bot.png'" +
            more);
    }
    // A pointer event at the slider's own point, sent through the window manager.
    void Pointer(int32_t type, TSlider* slider, int x, int y) {
        TPoint point{x, y};
        slider->ClientToScreen(point);
        Send(Event(type, point.x, point.y));
    }
    static const TTexture* ThumbTexture(TSlider* slider) {
        return slider->GetThumb()->GetTexture().get();
    }
    static const TTexture* Named(const char* name) { return TTexture::Get(name, 0).get(); }
    bool Tracked(TSlider* slider) const {
        for (TWindow* window : mManager->GetTrackedWindows()) {
            if (window == slider) return true;
        }
        return false;
    }
    // The rail's quads of one draw inside a frame, as corner lists.
    std::vector<std::vector<std::pair<float, float>>> DrawRail(TSlider* slider) {
        mSink.mDraws.clear();
        mSink.mCullModes.clear();
        TRenderer* renderer = TRenderer::GetInstance();
        EXPECT_TRUE(renderer->BeginDraw(false));
        slider->Draw();
        EXPECT_FALSE(renderer->IsIn2d());
        renderer->EndDraw(0);
        std::vector<std::vector<std::pair<float, float>>> quads;
        for (const TRecordingRenderSink::Draw& draw : mSink.mDraws) {
            EXPECT_EQ(draw.primitive, TRenderer::kTriangleFan);
            std::vector<std::pair<float, float>> corners;
            for (const TLVertex& vertex : draw.vertices)
                corners.emplace_back(vertex.x, vertex.y);
            quads.push_back(corners);
        }
        return quads;
    }

    TImageFiles mFiles;
    std::vector<std::string> mSeen;
    TTestModal* mDialog = nullptr;
    int mMade = 0;
};

TEST_F(SliderTest, SetValueClampsAndTellsTheParentEveryTime) {
    TSlider* slider = MakeVertical();
    const struct {
        float value;
        float stored;
        int thumbTop;
    } cases[] = {
        {-0.5f, 0.0f, 0},
        {2.0f, 1.0f, 80},
        {0.5f, 0.5f, 40},  // 0.5 × (100 - 20)
        {0.5f, 0.5f, 40},  // unchanged: still told
        {std::numeric_limits<float>::quiet_NaN(), 0.0f, 0},
        {std::numeric_limits<float>::infinity(), 1.0f, 80},
    };
    for (const auto& c : cases) {
        slider->SetValue(c.value, false);
        EXPECT_EQ(slider->GetValue(), c.stored) << c.value;
        EXPECT_EQ(slider->GetThumb()->GetRect().top, c.thumbTop) << c.value;
    }
    EXPECT_EQ(mSeen, std::vector<std::string>(std::size(cases), "9:slider1"));

    mSeen.clear();
    slider->SetValue(0.25f, true);
    EXPECT_EQ(slider->GetValue(), 0.25f);
    EXPECT_EQ(slider->GetThumb()->GetRect().top, 20);
    EXPECT_THAT(mSeen, IsEmpty());

    // Without a parent nobody is told.
    TSlider alone;
    alone.SetValue(0.5f, false);
    EXPECT_EQ(alone.GetValue(), 0.5f);
}

TEST_F(SliderTest, TheTableSetsOrientationThumbAndThickness) {
    const struct {
        const char* fields;
        bool horizontal;
        TRect rect;       // the slider's, in the panel
        TRect thumbRect;  // the thumb's, in the slider
    } cases[] = {
        // Across the rail: the rail's 12, or the thumb's 10 plus the offset when wider.
        {"w = 200, h = 16", true, {50, 20, 250, 40}, {0, 0, 10, 20}},
        {"w = 200, h = 16, hslider = false", false, {50, 20, 62, 36}, {0, 0, 10, 20}},
        {"w = 16, h = 200", false, {50, 20, 62, 220}, {0, 0, 10, 20}},
        {"w = 16, h = 200, hslider = true", true, {50, 20, 66, 40}, {0, 0, 10, 20}},
        {"w = 16, h = 100, yoffset = -5", false, {50, 20, 65, 120}, {-5, 0, 5, 20}},
        {"w = 16, h = 100, value = 0.75", false, {50, 20, 62, 120}, {0, 60, 10, 80}},
        {"w = 200, h = 16, value = 3", true, {50, 20, 250, 40}, {190, 0, 200, 20}},
        {"w = 16, h = 100, scale = 2", false, {50, 20, 74, 120}, {0, 0, 20, 40}},
    };
    for (const auto& c : cases) {
        TSlider* slider =
            Make(std::string(c.fields) + ", sliderimage = 'thumb.png', railtop = 'top.png'");
        EXPECT_EQ(slider->IsHorizontal(), c.horizontal) << c.fields;
        EXPECT_EQ(slider->GetRect(), c.rect) << c.fields;
        ASSERT_NE(slider->GetThumb(), nullptr);
        EXPECT_EQ(slider->GetThumb()->GetParent(), slider) << c.fields;
        EXPECT_EQ(slider->GetThumb()->GetRect(), c.thumbRect) << c.fields;
        EXPECT_STREQ(slider->GetClassName(), "TSlider");
        // Made silently.
        EXPECT_THAT(mSeen, IsEmpty()) << c.fields;
    }
}

TEST_F(SliderTest, ASecondInitOnlyReappliesTheNameAndGeometry) {
    TSlider* slider = MakeVertical(", value = 0.5");
    ASSERT_EQ(Run("t = { name = 'renamed', w = 30, h = 60, hslider = true, value = 0.1, "
                  "sliderimage = 'thumbroll.png', yoffset = 4 }"),
              "");
    lua_pushstring(L, "t");
    lua_gettable(L, LUA_GLOBALSINDEX);
    TLuaTable table(LuaMoveToHost(L));
    TWindowStyle style(&table);
    slider->Init(style);
    EXPECT_EQ(slider->GetName(), str("renamed"));
    EXPECT_EQ(slider->GetRect(), (TRect{50, 20, 62, 120})) << "a size is only filled in when 0";
    EXPECT_FALSE(slider->IsHorizontal());
    EXPECT_EQ(slider->GetValue(), 0.5f);
    EXPECT_EQ(ThumbTexture(slider), Named("thumb.png"));
    EXPECT_EQ(slider->GetThumb()->GetRect().left, 0);
}

TEST_F(SliderTest, TheRailIsDrawnInThreePiecesAtTexelSize) {
    TSlider* slider = MakeVertical(", scale = 2");
    // 24 across (the rail's 12 × 2): the pieces are centred at (24 - 12) / 2 = 6.
    ASSERT_EQ(slider->GetWidth(), 24);
    auto quads = DrawRail(slider);
    EXPECT_EQ(mSink.mCullModes, std::vector<int32_t>{1});
    using Q = std::vector<std::pair<float, float>>;
    EXPECT_THAT(quads, ElementsAre(Q{{6, 0}, {18, 0}, {18, 5}, {6, 5}},
                                   Q{{6, 5}, {18, 5}, {18, 94}, {6, 94}},  // 100 - 5 - 6
                                   Q{{6, 94}, {18, 94}, {18, 100}, {6, 100}}));
    ASSERT_EQ(mSink.mDraws.size(), 3u);
    EXPECT_EQ(mSink.mDraws[0].texture, Named("top.png"));
    EXPECT_EQ(mSink.mDraws[1].texture, Named("mid.png"));
    EXPECT_EQ(mSink.mDraws[2].texture, Named("bot.png"));
    // The image over its allocated surface, white, the rail's full alpha.
    for (const TRecordingRenderSink::Draw& draw : mSink.mDraws) {
        int allocatedWidth = 0, allocatedHeight = 0;
        draw.texture->GetAllocatedSize(&allocatedWidth, &allocatedHeight);
        EXPECT_EQ(draw.vertices[0].u, 0.0f);
        EXPECT_EQ(draw.vertices[0].v, 0.0f);
        EXPECT_EQ(draw.vertices[2].u, 12.0f / allocatedWidth);
        EXPECT_EQ(draw.vertices[2].v, static_cast<float>(draw.texture->GetHeight()) /
                                          static_cast<float>(allocatedHeight));
        EXPECT_LT(draw.vertices[2].u, 1.0f);
        EXPECT_EQ(draw.vertices[0].diffuse, 0xFFFFFFFFu);
    }

    // Without the middle piece only the ends.
    TSlider* ends = Make(
        "w = 16, h = 100, sliderimage = 'thumb.png', railtop = 'top.png', "
        "railbot = 'bot.png'");
    quads = DrawRail(ends);
    EXPECT_THAT(quads, ElementsAre(Q{{0, 0}, {12, 0}, {12, 5}, {0, 5}},
                                   Q{{0, 5}, {12, 5}, {12, 11}, {0, 11}}));
    // No rail at all: the culling call, nothing drawn.
    TSlider* bare = Make("w = 16, h = 100, sliderimage = 'thumb.png'");
    EXPECT_THAT(DrawRail(bare), IsEmpty());
    EXPECT_EQ(mSink.mCullModes, std::vector<int32_t>{1});
}

TEST_F(SliderTest, AHorizontalRailTurnsItsPiecesAQuarter) {
    TSlider* slider = Make(
        "w = 100, h = 16, sliderimage = 'thumb.png', railtop = 'top.png', "
        "railmid = 'mid.png', railbot = 'bot.png'");
    ASSERT_TRUE(slider->IsHorizontal());
    // 20 across (the thumb's height): the pieces' 12 centred at 4; along the width the texture's
    // top at the left, its left edge along the rail's bottom.
    ASSERT_EQ(slider->GetHeight(), 20);
    using Q = std::vector<std::pair<float, float>>;
    EXPECT_THAT(DrawRail(slider), ElementsAre(Q{{0, 16}, {0, 4}, {5, 4}, {5, 16}},
                                              Q{{5, 16}, {5, 4}, {94, 4}, {94, 16}},
                                              Q{{94, 16}, {94, 4}, {100, 4}, {100, 16}}));
    const TLVertex* v = mSink.mDraws[0].vertices.data();
    EXPECT_EQ(v[0].u, 0.0f);  // the texture's top left at the bottom left
    EXPECT_EQ(v[0].v, 0.0f);
    EXPECT_GT(v[1].u, 0.0f);  // its top right at the top left
    EXPECT_EQ(v[1].v, 0.0f);
}

TEST_F(SliderTest, DraggingTheThumbSetsTheValueFromThePointersLocalPlace) {
    TSlider* slider = MakeVertical();
    ASSERT_EQ(slider->GetScreenRect(), (TRect{kPanelX + kSliderX, kPanelY + kSliderY,
                                              kPanelX + kSliderX + 12, kPanelY + kSliderY + 100}));
    Pointer(kEventLeftDown, slider, 5, 10);
    EXPECT_TRUE(slider->IsDragging());
    EXPECT_TRUE(Tracked(slider));
    EXPECT_THAT(mSeen, IsEmpty());

    const struct {
        int y;
        float value;
        int thumbTop;
    } moves[] = {
        {50, 0.5f, 40},  {25, 0.25f, 20},
        {100, 1.0f, 80},  // the bottom edge: 1 although the thumb stops at 80
        {160, 1.0f, 80},  // outside, still dragging
        {-30, 0.0f, 0},
    };
    for (const auto& move : moves) {
        Pointer(kEventMouseMove, slider, 40, move.y);
        EXPECT_EQ(slider->GetValue(), move.value) << move.y;
        EXPECT_EQ(slider->GetThumb()->GetRect().top, move.thumbTop) << move.y;
        EXPECT_EQ(ThumbTexture(slider), Named("thumbroll.png")) << "rollover while dragging";
        EXPECT_TRUE(Tracked(slider));
    }
    EXPECT_EQ(mSeen, std::vector<std::string>(std::size(moves), "9:slider1"));

    // Leaving does not end the drag.
    EXPECT_TRUE(slider->OnMouseLeave());
    EXPECT_TRUE(slider->IsDragging());
    EXPECT_TRUE(Tracked(slider));

    mSeen.clear();
    Pointer(kEventLeftUp, slider, 40, -30);
    EXPECT_FALSE(slider->IsDragging());
    EXPECT_FALSE(Tracked(slider));
    EXPECT_EQ(ThumbTexture(slider), Named("thumb.png"));
    EXPECT_THAT(mSeen, ElementsAre("10:slider1"));
    EXPECT_EQ(slider->GetValue(), 0.0f);
}

TEST_F(SliderTest, AReleaseOnTheThumbKeepsTheRollover) {
    TSlider* slider = MakeVertical();
    Pointer(kEventLeftDown, slider, 5, 10);
    Pointer(kEventMouseMove, slider, 5, 10);
    Pointer(kEventLeftUp, slider, 5, 10);
    EXPECT_EQ(ThumbTexture(slider), Named("thumbroll.png"));
    EXPECT_TRUE(Tracked(slider)) << "still inside: the moves keep it tracked";
    EXPECT_THAT(mSeen, ElementsAre("9:slider1", "10:slider1"));
    // A release without a drag is not the slider's.
    EXPECT_FALSE(slider->OnMouseUp(TPoint{5, 10}));
}

TEST_F(SliderTest, RailClicksPageWithoutChangingTheValue) {
    TSlider* slider = MakeVertical(", value = 0.5");
    ASSERT_EQ(slider->GetThumb()->GetRect(), (TRect{0, 40, 10, 60}));
    Pointer(kEventLeftDown, slider, 5, 10);
    Pointer(kEventLeftUp, slider, 5, 10);
    Pointer(kEventLeftDown, slider, 5, 39);
    Pointer(kEventLeftDown, slider, 5, 60);   // the thumb's bottom edge is outside it
    Pointer(kEventLeftDown, slider, 11, 45);  // beside the thumb, level with it
    EXPECT_THAT(mSeen, ElementsAre("11:slider1", "11:slider1", "12:slider1", "12:slider1"));
    EXPECT_EQ(slider->GetValue(), 0.5f);
    EXPECT_FALSE(slider->IsDragging());

    TSlider* across = Make("w = 100, h = 16, sliderimage = 'thumb.png', value = 0.5");
    ASSERT_EQ(across->GetThumb()->GetRect(), (TRect{45, 0, 55, 20}));
    Pointer(kEventLeftDown, across, 10, 5);
    Pointer(kEventLeftDown, across, 80, 5);
    EXPECT_THAT(mSeen, ElementsAre("11:slider2", "12:slider2"));
}

TEST_F(SliderTest, RolloverAndTrackingWithoutADrag) {
    TSlider* slider = MakeVertical();
    Pointer(kEventMouseMove, slider, 5, 10);
    EXPECT_EQ(ThumbTexture(slider), Named("thumbroll.png"));
    EXPECT_TRUE(Tracked(slider));
    Pointer(kEventMouseMove, slider, 5, 50);
    EXPECT_EQ(ThumbTexture(slider), Named("thumb.png"));
    EXPECT_TRUE(Tracked(slider));
    Pointer(kEventMouseMove, slider, 5, 10);
    // Outside: untracked, the normal picture.
    Pointer(kEventMouseMove, slider, 5, 150);
    EXPECT_FALSE(Tracked(slider));
    EXPECT_EQ(ThumbTexture(slider), Named("thumb.png"));
    // Leaving without a drag: the normal picture, no more tracking.
    Pointer(kEventMouseMove, slider, 5, 10);
    EXPECT_TRUE(slider->OnMouseLeave());
    EXPECT_EQ(ThumbTexture(slider), Named("thumb.png"));
    EXPECT_FALSE(Tracked(slider));
    EXPECT_THAT(mSeen, IsEmpty());
}

TEST_F(SliderTest, AZeroLengthSliderDragsToZero) {
    TSlider* slider = Make("w = 16, h = 0, hslider = false, sliderimage = 'thumb.png'");
    ASSERT_EQ(slider->GetHeight(), 0);
    ASSERT_TRUE(slider->OnMouseDown(TPoint{5, 5}));
    ASSERT_TRUE(slider->IsDragging());
    EXPECT_TRUE(slider->OnMouseMove(TPoint{5, 7}));
    EXPECT_EQ(slider->GetValue(), 0.0f);
    EXPECT_FALSE(std::isnan(slider->GetValue()));
    EXPECT_THAT(mSeen, ElementsAre("9:slider1"));
    slider->OnMouseUp(TPoint{5, 7});
}

TEST_F(SliderTest, WithoutItsThumbTheMouseIsNotTheSliders) {
    TSlider* slider = MakeVertical();
    delete slider->GetThumb();
    EXPECT_EQ(slider->GetThumb(), nullptr);
    EXPECT_FALSE(slider->OnMouseDown(TPoint{5, 10}));
    EXPECT_FALSE(slider->OnMouseMove(TPoint{5, 10}));
    slider->SetValue(0.5f, true);
    EXPECT_EQ(slider->GetValue(), 0.5f);
    // A slider whose thumb never joined it lets it go with itself.
    TSlider* alone = static_cast<TSlider*>(TWindow::CallCreator(TSlider::TypeId()));
    ASSERT_NE(alone, nullptr);
    EXPECT_EQ(alone->GetThumb()->GetParent(), nullptr);
    delete alone;
}

TEST_F(SliderTest, ARailPieceWithoutASurfaceDrawsNothingAndCoversNothing) {
    TSlider* slider = MakeVertical();
    std::shared_ptr<TTexture> bare = TTexture::CreateRegistered("no surface");
    int allocatedWidth = -1, allocatedHeight = -1;
    bare->GetAllocatedSize(&allocatedWidth, &allocatedHeight);
    ASSERT_EQ(allocatedWidth, 0);
    slider->SetRailTextures(bare, TTexture::Get("mid.png", 0), TTexture::Get("bot.png", 0));
    using Q = std::vector<std::pair<float, float>>;
    EXPECT_THAT(DrawRail(slider), ElementsAre(Q{{0, 0}, {12, 0}, {12, 94}, {0, 94}},
                                              Q{{0, 94}, {12, 94}, {12, 100}, {0, 100}}));
}

}  // namespace
}  // namespace uitest
