// Picking views under a point, the approach points of locations, and the creature moves that use
// them.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "viewfixture.h"

namespace views_test {
namespace {

// The well at (100, 100) sits in cell (5, 5): it covers its own cell and the one below, works
// from the cell to its right, is approached from (3, 0) and (-1, 0), specially from (0, 3).
const char* const kWellLayout =
    "<layout><level>"
    "<WalkabilityCells><c x=\"0\" y=\"0\"/><c x=\"0\" y=\"1\" v=\"30\"/></WalkabilityCells>"
    "<WorkAreas><p x=\"1\" y=\"0\"/></WorkAreas>"
    "<WorkMountPoints><p x=\"3\" y=\"0\"/><p x=\"-1\" y=\"0\"/></WorkMountPoints>"
    "<WorkSpecial><p x=\"0\" y=\"3\"/></WorkSpecial>"
    "</level></layout>";

class ViewPickingTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        PutLayout("loc_well", kWellLayout);
        PutLayout("loc_foodbin",
                  "<layout><level><WorkMountPoints><p x=\"1\" y=\"0\"/>"
                  "<p x=\"-1\" y=\"0\"/></WorkMountPoints>"
                  "<WorkSpecial><p x=\"2\" y=\"2\"/></WorkSpecial></level></layout>");
    }

    GVWorldCreature* Creature(float x, float y, const char* tag,
                              GVHitRect rect = {10, 20, 20, 30}) {
        GVWorldCreature* view = MakeCreature(x, y);
        view->SetTag(tag);
        GVViewConfig config;
        config.hitRect = rect;
        view->Configure(&config);
        return view;
    }
    GVWorldObject* Pick(float x, float y, int type, int mode, const GVWorldObject* skip = nullptr) {
        return mManager->PickObjectAt(TVec2(x, y), skip, type, mode);
    }
};

TEST_F(ViewPickingTest, AnUntaggedCreatureWinsOverAnArkMoverOrAGrave) {
    GVWorldCreature* mover = Creature(100, 100, "ArkMover");
    GVWorldCreature* creature = Creature(100, 100, "");
    GVWorldCreature* grave = Creature(300, 300, "Grave");
    GVWorldCreature* mover2 = Creature(300, 300, "ArkMover");
    EXPECT_EQ(Pick(100, 100, 0, 0), creature);
    EXPECT_EQ(Pick(100, 100, 1, 0), creature);
    EXPECT_EQ(Pick(100, 100, 1, 0, creature), mover);
    // Only tagged views under the point: the last one found.
    EXPECT_EQ(Pick(300, 300, 1, 0), mover2);
    EXPECT_EQ(Pick(300, 300, 1, 0, mover2), grave);
    EXPECT_EQ(Pick(600, 600, 0, 0), nullptr);
    mManager->RemoveVisual(creature);
    EXPECT_EQ(Pick(100, 100, 0, 0), mover);
    // A creature without a rectangle is hit on its sprite.
    GVWorldCreature* bare = Creature(500, 500, "", GVHitRect{});
    mScene.UpdateObjects();
    EXPECT_EQ(Pick(500, 495, 1, 0), bare);
    EXPECT_EQ(Pick(500, 505, 1, 0), nullptr);
}

TEST_F(ViewPickingTest, LocationsAreHitByFootprintWorkAreaOrSprite) {
    GVWorldLocation* well = MakeLocation("loc_well", 100, 100);
    GVWorldCreature* creature = Creature(300, 300, "");
    mScene.UpdateObjects();
    const struct {
        float x, y;
        int type, mode;
        GVWorldObject* picked;
    } rows[] = {
        // Footprint: the well's cell and the one below.
        {105, 105, 2, 0, well},
        {105, 125, 2, 0, well},
        {125, 105, 2, 0, nullptr},
        {105, 105, 0, 0, well},
        // Work area: the cell to the right only.
        {125, 105, 2, 1, well},
        {105, 105, 2, 1, nullptr},
        // The sprite: 96 to 103 by 92 to 99.
        {100, 95, 2, 2, well},
        {105, 105, 2, 2, nullptr},
        // Another mode never hits a location.
        {105, 105, 2, 3, nullptr},
        {105, 105, 2, -1, nullptr},
        // Creatures only: never a location.
        {105, 105, 1, 0, nullptr},
        {100, 95, 1, 2, nullptr},
        {300, 300, 1, 0, creature},
        // The creature comes first for any type; locations only: never a creature.
        {300, 300, 0, 0, creature},
        {300, 300, 2, 2, nullptr},
    };
    for (const auto& row : rows)
        EXPECT_EQ(Pick(row.x, row.y, row.type, row.mode), row.picked)
            << row.x << "," << row.y << " type " << row.type << " mode " << row.mode;
    EXPECT_EQ(Pick(105, 105, 2, 0, well), nullptr);
    // A location under a creature: the creature for any type.
    well->SetPosition(300, 300);
    EXPECT_EQ(Pick(305, 305, 0, 0), creature);
    EXPECT_EQ(Pick(305, 305, 2, 0), well);
}

TEST_F(ViewPickingTest, TheApproachPointIsTheMountCellNearestToTheComer) {
    GVWorldLocation* well = MakeLocation("loc_well", 100, 100);
    GVWorldCreature* creature = Creature(40, 40, "");
    const TVec2 left(20, 105);
    const TVec2 right(300, 100);
    const TVec2 below(105, 300);
    const struct {
        const TVec2* from;
        bool special;
        float x, y;
    } rows[] = {
        {&left, false, 90, 110},    // (-1, 0): 3 cells away against 7
        {&right, false, 170, 110},  // (3, 0)
        {&below, false, 90, 110},   // (3, 0) is 13 away, (-1, 0) 11
        // Specially: from the special cell (0, 3) first, then its nearest mount.
        {&left, true, 90, 170},
        {&right, true, 170, 170},
    };
    for (const auto& row : rows)
        EXPECT_EQ(mManager->GetApproachPoint(well, row.from, row.special).x, row.x)
            << row.from->x << " special " << row.special;
    for (const auto& row : rows)
        EXPECT_EQ(mManager->GetApproachPoint(well, row.from, row.special).y, row.y)
            << row.from->x << " special " << row.special;
    // A creature is approached where it stands; no target gives the origin.
    EXPECT_EQ(mManager->GetApproachPoint(creature, &left, true).x, 40.0f);
    EXPECT_EQ(mManager->GetApproachPoint(nullptr, &left, false).x, 0.0f);
    // A tie goes to the first of the list.
    GVWorldLocation* bin = MakeLocation("loc_foodbin", 200, 200);
    const TVec2 above(205, 100);
    EXPECT_EQ(mManager->GetApproachPoint(bin, &above, false).x, 230.0f);
    // Without a record: the location's own position.
    GVWorldLocation* plain = MakeLocation("loc_plain", 400, 410);
    EXPECT_EQ(mManager->GetApproachPoint(plain, &left, true).y, 410.0f);
}

TEST_F(ViewPickingTest, WithoutAComerTheApproachCellIsChosenAtRandom) {
    GVWorldLocation* well = MakeLocation("loc_well", 100, 100);
    std::set<float> seen;
    for (int i = 0; i < 64; ++i) {
        const TVec2 point = mManager->GetApproachPoint(well, nullptr, false);
        EXPECT_EQ(point.y, 110.0f);
        seen.insert(point.x);
    }
    EXPECT_EQ(seen, (std::set<float>{90.0f, 170.0f}));
    // Without the application object's generator the first entry is taken.
    mManager->Clear();
    mApp.reset();
    GVWorldLocation* again = MakeLocation("loc_well", 100, 100);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(mManager->GetApproachPoint(again, nullptr, false).x, 170.0f);
}

TEST_F(ViewPickingTest, CreaturesGoToAndArePlacedAtApproachPoints) {
    GVWorldLocation* well = MakeLocation("loc_well", 100, 100);
    mManager->RebuildWalkability();
    GVWorldCreature* walker = MakeCreature(20, 105);
    walker->GoToObject(well, 0.0f, false);
    EXPECT_EQ(walker->GetDestination().x, 90.0f);
    EXPECT_EQ(walker->GetDestination().y, 110.0f);
    walker->GoToObject(well, 0.0f, true);
    EXPECT_EQ(walker->GetDestination().y, 170.0f);
    walker->GoToObject(nullptr, 0.0f, true);
    EXPECT_EQ(walker->GetDestination().y, 170.0f);
    walker->GoToObjectAnywhere(well, 1.0f, false);
    EXPECT_EQ(walker->GetY(), 110.0f);
    EXPECT_TRUE(walker->GetX() == 90.0f || walker->GetX() == 170.0f) << walker->GetX();

    GVWorldCreature* placed = MakeCreature(300, 105);
    placed->PlaceAt(well, true, false);
    EXPECT_EQ(placed->GetX(), 170.0f);
    EXPECT_EQ(placed->GetY(), 110.0f);
    // Put down on the well's blocked cell: onto the nearest open cell.
    placed->SetPosition(105, 105);
    placed->PlaceAt(nullptr, false, false);
    EXPECT_TRUE(mManager->IsWalkable(placed->GetX(), placed->GetY()));
    EXPECT_EQ(mManager->GetGrid().GetValue(static_cast<int>(placed->GetX() / 20),
                                           static_cast<int>(placed->GetY() / 20)),
              0);
}

TEST_F(ViewPickingTest, IsInWorkAreaTakesThePointRelativeToALocationView) {
    GVWorldLocation* well = MakeLocation("loc_well", 100, 100);
    GVWorldCreature* creature = Creature(100, 100, "");
    const struct {
        float x, y;
        bool inside;
    } rows[] = {{25, 0, true}, {39, 19, true}, {0, 0, false}, {45, 0, false}, {25, 20, false}};
    for (const auto& row : rows)
        EXPECT_EQ(mManager->IsInWorkArea(well, TVec2(row.x, row.y)), row.inside)
            << row.x << "," << row.y;
    EXPECT_FALSE(mManager->IsInWorkArea(creature, TVec2(25, 0)));
    EXPECT_FALSE(mManager->IsInWorkArea(nullptr, TVec2(25, 0)));
}

}  // namespace
}  // namespace views_test
