// The parts of a creature's sprite: carried items, body and head variants, the forage load, the
// disease mark and the hint icon.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "viewfixture.h"

namespace views_test {
namespace {

const std::vector<std::string> kItems = {"stick", "shovel",   "hammer",   "tomahawk",  "fertilizer",
                                         "nail",  "food",     "water",    "rock",      "stone_2",
                                         "woods", "s-shovel", "s-hammer", "s-tomahawk"};

std::set<std::string> VisibleItems(const GVWorldObject* view) {
    std::set<std::string> shown;
    for (const std::string& item : kItems)
        if (Visible(view, item)) shown.insert(item);
    return shown;
}

TEST_F(ViewTest, ShowCarriedItemShowsOneItemOrANailWithItsHammer) {
    GVWorldCreature* view = MakeCreature(100, 100);
    const struct {
        int item;
        std::set<std::string> plain, special;
    } rows[] = {
        {0, {}, {}},
        {1, {"stick"}, {"stick"}},
        {2, {"shovel"}, {"s-shovel"}},
        {3, {"hammer"}, {"s-hammer"}},
        {4, {"tomahawk"}, {"s-tomahawk"}},
        {5, {"fertilizer"}, {"fertilizer"}},
        {6, {"nail", "hammer"}, {"nail", "s-hammer"}},
        {7, {"food"}, {"food"}},
        {8, {"water"}, {"water"}},
        {9, {"rock"}, {"rock"}},
        {10, {"stone_2"}, {"stone_2"}},
        {11, {"woods"}, {"woods"}},
        {12, {"s-shovel"}, {"s-shovel"}},
        {13, {"s-hammer"}, {"s-hammer"}},
        {14, {"s-tomahawk"}, {"s-tomahawk"}},
        {15, {}, {}},
        {-1, {}, {}},
    };
    for (const auto& row : rows) {
        view->ShowCarriedItem(8, false);  // something shown before
        view->ShowCarriedItem(row.item, false);
        EXPECT_EQ(VisibleItems(view), row.plain) << row.item;
        view->ShowCarriedItem(8, false);
        view->ShowCarriedItem(row.item, true);
        EXPECT_EQ(VisibleItems(view), row.special) << row.item << " special";
    }
    // The world's name for it.
    view->SetItem(2, true);
    EXPECT_EQ(VisibleItems(view), (std::set<std::string>{"s-shovel"}));
    EXPECT_NE(view->GetSprite()->GetChild("s-shovel")->changed, 0);
}

TEST_F(ViewTest, ShowBodyAndShowHeadShowOneVariantOfTen) {
    GVWorldCreature* view = MakeCreature(100, 100);
    const char* bodies[] = {"body",  "body2", "body3", "body4", "body5",
                            "body6", "body7", "body8", "body9", "body0"};
    const char* heads[] = {"head",  "head2", "head3", "head4", "head5",
                           "head6", "head7", "head8", "head9", "head0"};
    for (int index = 0; index <= 9; ++index) {
        view->ShowBody(index);
        view->ShowHead(9 - index);
        for (int i = 0; i <= 9; ++i) {
            EXPECT_EQ(Visible(view, bodies[i]), i == index) << index << " " << bodies[i];
            EXPECT_EQ(Visible(view, heads[i]), i == 9 - index) << index << " " << heads[i];
        }
    }
    // Another index changes nothing.
    view->ShowBody(0);
    for (int index : {10, -1, 1000}) {
        view->ShowBody(index);
        view->ShowHead(index);
        EXPECT_TRUE(Visible(view, "body")) << index;
        EXPECT_FALSE(Visible(view, "body2")) << index;
        EXPECT_TRUE(Visible(view, "head")) << index;
    }
}

TEST_F(ViewTest, TheForageLoadStartsHiddenAndFollowsItsThreeFlags) {
    GVWorldCreature* view = MakeCreature(100, 100);
    for (const char* load : {"smallberries", "roots", "yayaflowers"})
        EXPECT_FALSE(Visible(view, load)) << load;
    view->ShowForageLoad(true, false, true);
    EXPECT_TRUE(Visible(view, "smallberries"));
    EXPECT_FALSE(Visible(view, "roots"));
    EXPECT_TRUE(Visible(view, "yayaflowers"));
    // Parts the sprite lacks are skipped.
    mSprites->Put("xml/bare.xml",
                  "<main><images><img name=\"standin.png\"/></images><framelist>"
                  "<frame x=\"0\" y=\"0\" w=\"8\" h=\"8\"/></framelist></main>");
    auto* bare = static_cast<GVWorldCreature*>(mManager->CreateVisual("bare", 1));
    ASSERT_NE(bare, nullptr);
    bare->ShowForageLoad(true, true, true);
    bare->ShowCarriedItem(6, true);
    bare->ShowBody(3);
    bare->SetDiseaseMark(2);
    bare->SetIcon(3);
    EXPECT_EQ(bare->GetSprite()->GetChildCount(), 0);
}

TEST_F(ViewTest, TheDiseaseMarkAndTheIconTakeOnlyTheIndexesOfTheirTables) {
    GVWorldCreature* view = MakeCreature(100, 100);
    const char* marks[] = {"None", "Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"};
    for (int index = 0; index <= 5; ++index) {
        view->SetDiseaseMark(index);
        EXPECT_EQ(Shown(view, "disease"), marks[index]);
    }
    const char* icons[] = {"icon_null", "icon_lb", "icon_lbn", "icon_qm"};
    for (int index = 0; index <= 3; ++index) {
        view->SetIcon(index);
        EXPECT_EQ(Shown(view, "icon"), icons[index]);
    }
    // An index from a saved world beyond the table changes nothing; nor does the root follow.
    for (int index : {6, 9, -1, 1 << 30}) {
        view->SetDiseaseMark(index);
        view->SetIcon(index);
        EXPECT_EQ(Shown(view, "disease"), "Ebolio") << index;
        EXPECT_EQ(Shown(view, "icon"), "icon_qm") << index;
    }
    EXPECT_EQ(Shown(view), "normal");
}

}  // namespace
}  // namespace views_test
