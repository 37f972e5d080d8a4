// The parts of every creature and hyena that the world shows and hides, through a real creature
// view, drawn after every step: each body and head variant alone; the carried items 0 to 14 with
// and without the special tools and the forage loads, facing right and left, drawn within the hit
// rectangle grown by 20 pixels and not at all when not shown; the disease marks and hint icons;
// the shadow and the selection; every work effect on its side, gone with the next "stay" or
// "walk".
#include <gtest/gtest.h>

#include <set>

#include "creaturefixture.h"
#include "gv/anim/gvstate.h"

namespace art_test {
namespace {

// The items the view shows for item with special (the creature view's table).
std::set<std::string> ShownItems(int item, bool special) {
    if (item < 1 || item > 14) return {};
    if (special && item >= 2 && item <= 4) item += 10;
    std::set<std::string> shown = {kItems[item - 1]};
    if (item == 6) shown.insert(special ? "s-hammer" : "hammer");
    return shown;
}

bool IsItemOrLoad(const std::string& id) {
    for (const char* item : kItems)
        if (id == item) return true;
    for (const char* load : kLoads)
        if (id == load) return true;
    return false;
}

using CreaturePartsTest = CreatureViewTest;
// What only creatures carry and show (a hyena has no items, loads, marks or icons).
using CreatureOnlyPartsTest = CreatureViewTest;

TEST_P(CreaturePartsTest, EachBodyAndHeadVariantShowsAlone) {
    for (int b = 0; b < mFigure->bodies; ++b) {
        mView->ShowBody(b);
        const std::set<std::string> drawn = DrawnChildren(Draw());
        for (int other = 0; other < mFigure->bodies; ++other)
            EXPECT_EQ(drawn.count(VariantName("body", other)), other == b ? 1u : 0u)
                << "body " << b;
    }
    for (int h = 0; h < mFigure->heads; ++h) {
        mView->ShowHead(h);
        const std::set<std::string> drawn = DrawnChildren(Draw());
        for (int other = 0; other < mFigure->heads; ++other)
            EXPECT_EQ(drawn.count(VariantName("head", other)), other == h ? 1u : 0u)
                << "head " << h;
    }
}

TEST_P(CreatureOnlyPartsTest, CarriedItemsAndForageLoadsShowNearTheFigureOnlyWhenShown) {
    for (const Facing& facing : {kFacings[0], kFacings[2]}) {
        for (const char* activity : {"stay", "walk", "work"}) {
            mView->SetState(Key("stay"));
            mView->SetDirection(facing.vector);
            mView->SetState(Key(activity));
            for (bool special : {false, true}) {
                for (int item = 0; item <= 14; ++item) {
                    SCOPED_TRACE(std::string(activity) + " facing " + facing.name + ", item " +
                                 std::to_string(item) + (special ? " special" : ""));
                    mView->ShowCarriedItem(item, special);
                    const DrawnFrame frame = Draw();
                    std::set<std::string> drawn;
                    for (const std::string& id : DrawnChildren(frame))
                        if (IsItemOrLoad(id)) drawn.insert(id);
                    EXPECT_EQ(drawn, ShownItems(item, special));
                    for (const std::string& id : drawn)
                        EXPECT_TRUE(InsideGrownHitRect(frame.Of(Child(id)))) << id;
                }
            }
            mView->ShowCarriedItem(0, false);
            for (int loads = 0; loads < 8; ++loads) {
                const bool berries = loads & 1, roots = loads & 2, flowers = loads & 4;
                mView->ShowForageLoad(berries, roots, flowers);
                const DrawnFrame frame = Draw();
                EXPECT_EQ(Drew(frame, "smallberries"), berries) << loads;
                EXPECT_EQ(Drew(frame, "roots"), roots) << loads;
                EXPECT_EQ(Drew(frame, "yayaflowers"), flowers) << loads;
                for (const char* load : kLoads)
                    if (Drew(frame, load)) {
                        EXPECT_TRUE(InsideGrownHitRect(frame.Of(Child(load)))) << load;
                    }
            }
            mView->ShowForageLoad(false, false, false);
        }
    }
}

TEST_P(CreatureOnlyPartsTest, DiseaseMarksAndIconsShowAndNoneOrNullShowsNothing) {
    for (int disease = 0; disease <= 5; ++disease) {
        mView->SetDiseaseMark(disease);
        EXPECT_EQ(StateOf(Child("disease")), kDiseases[disease]);
        EXPECT_EQ(Drew(Draw(), "disease"), disease != 0) << kDiseases[disease];
    }
    mView->SetDiseaseMark(0);
    for (int icon = 0; icon <= 3; ++icon) {
        mView->SetIcon(icon);
        EXPECT_EQ(StateOf(Child("icon")), kIcons[icon]);
        EXPECT_EQ(Drew(Draw(), "icon"), icon != 0) << kIcons[icon];
    }
}

TEST_P(CreaturePartsTest, ShadowAndSelectionFollowTheirSwitches) {
    EXPECT_TRUE(Drew(Draw(), "shadow"));
    EXPECT_FALSE(Drew(Draw(), "mark")) << "a new figure is not selected";
    const struct {
        const char* key;
        const char* child;
        bool shown;
    } switches[] = {{"mark_normal", "mark", true},  {"shadow_hidden", "shadow", false},
                    {"mark_hidden", "mark", false}, {"shadow_normal", "shadow", true},
                    {"mark_normal", "mark", true},  {"hidden", "mark", false},
                    {"hidden", "shadow", false},    {"shadow_normal", "shadow", true}};
    for (const auto& s : switches) {
        if (std::string(s.key) == "hidden") {
            mView->SetState(Key("hidden"));
        } else {
            mSprite->SetStateRecursive(Key(s.key), true, false);
        }
        EXPECT_EQ(Drew(Draw(), s.child), s.shown) << s.key << " on " << s.child;
    }
}

// The world shows a work effect beside a working figure, on the side it faces; the next "stay"
// or "walk" ends it.
TEST_P(CreaturePartsTest, WorkEffectsShowOnTheirSideAndEndWithStandingOrWalking) {
    const GVObject* effects = nullptr;
    for (int32_t i = 0; i < mSprite->GetChildCount(); ++i) {
        const GVObject* child = mSprite->GetChilds()->GetAt(i);
        if (child->GetStates() != nullptr &&
            child->GetStates()->FindByKey(Key("all_work_effects_off")) >= 0)
            effects = child;
    }
    ASSERT_NE(effects, nullptr);
    for (const Facing& facing : kFacings) {
        for (const char* effect : kEffects) {
            for (const char* after : {"stay", "walk"}) {
                SCOPED_TRACE(std::string(effect) + " facing " + facing.name + ", then " + after);
                mView->SetState(Key("stay"));
                mView->SetDirection(facing.vector);
                mView->SetState(Key("work"));
                // As the world sends it: the left-hand key, turned by the view when facing east.
                mView->SetState(Key(std::string(effect) + "_on_left"));
                const DrawnFrame frame = Draw();
                const std::vector<DrawnQuad> drawn = frame.Of(effects);
                ASSERT_FALSE(drawn.empty()) << "no effect drawn";
                float left, top, right, bottom;
                DrawnFrame::Bounds(drawn, &left, &top, &right, &bottom);
                EXPECT_EQ((left + right) / 2 > kX, facing.right)
                    << "the effect shows on the other side, " << left << " to " << right;
                mView->SetState(Key(after));
                EXPECT_FALSE(ArtViewTest::Drew(Draw(), effects)) << "the effect stays";
            }
        }
    }
}

std::string ParamName(const ::testing::TestParamInfo<std::string>& info) {
    return info.param;
}
INSTANTIATE_TEST_SUITE_P(Art, CreaturePartsTest, ::testing::ValuesIn(AnimalNames()), ParamName);
INSTANTIATE_TEST_SUITE_P(Art, CreatureOnlyPartsTest, ::testing::ValuesIn(AnimalNames(false)),
                         ParamName);

}  // namespace
}  // namespace art_test
