// What the world asks of its views, row by row: each of the world's requests reaches the view or
// manager operation that answers it.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "viewfixture.h"

namespace views_test {
namespace {

class ViewCorrespondenceTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        PutLayout("loc_well",
                  "<layout PerLevelImagesCount=\"2\" CapacityImagesCount=\"3\"><level>"
                  "<WalkabilityCells><c x=\"0\" y=\"0\"/></WalkabilityCells>"
                  "<WorkAreas><p x=\"1\" y=\"0\"/></WorkAreas>"
                  "<WorkMountPoints><p x=\"-1\" y=\"0\"/></WorkMountPoints>"
                  "<WorkSpecial><p x=\"0\" y=\"2\"/></WorkSpecial></level><level/></layout>");
        mWell = MakeLocation("loc_well", 100, 100);  // cell (5, 5)
        mManager->RebuildWalkability();
        mCreature = MakeCreature(20, 105);
    }
    GVWorldLocation* mWell = nullptr;
    GVWorldCreature* mCreature = nullptr;
};

TEST_F(ViewCorrespondenceTest, EveryRequestOfTheWorldReachesTheOperationThatAnswersIt) {
    const struct {
        const char* request;
        std::function<void()> check;
    } rows[] = {
        {"position and distance",
         [&] {
             mCreature->SetPosition(40, 180);
             EXPECT_EQ(mCreature->GetX(), mCreature->GetSprite()->deltaX);
             EXPECT_EQ(mCreature->GetY(), 180.0f);
             EXPECT_EQ(mCreature->DistanceTo(mWell), 100.0f);
         }},
        {"SetAnimationFactor: the own speed factor",
         [&] {
             mCreature->SetOwnSpeedFactor(2.0f);
             EXPECT_EQ(mCreature->GetSprite()->GetSpeed(), 0.5f);
             mCreature->SetOwnSpeedFactor(1.0f);
         }},
        {"walking path and destination",
         [&] {
             mCreature->SetPath({TVec2(60, 70), TVec2(60, 90)});
             EXPECT_EQ(mCreature->GetPath().size(), 3u);
             EXPECT_EQ(mCreature->GetDestination().y, 90.0f);
             mCreature->StopMoving();
             EXPECT_EQ(mCreature->GetDestination().y, 180.0f);
         }},
        {"variant: a stored mode, a monster's head and body",
         [&] {
             mCreature->SetVariant(3);
             mCreature->ShowHead(mCreature->GetVariant());
             mCreature->ShowBody(mCreature->GetVariant());
             EXPECT_EQ(mCreature->GetVariant(), 3);
             EXPECT_TRUE(Visible(mCreature, "head4"));
             EXPECT_TRUE(Visible(mCreature, "body4"));
             EXPECT_FALSE(Visible(mCreature, "body"));
         }},
        {"visibility value: a location's level, a creature's walking speed",
         [&] {
             mWell->SetBuildLevel(0.75f);
             EXPECT_EQ(static_cast<GVWorldObject*>(mWell)->GetVisibilityValue(), 0.75f);
             mCreature->SetSpeed(2.5f);
             EXPECT_EQ(static_cast<GVWorldObject*>(mCreature)->GetVisibilityValue(), 2.5f);
             mWell->SetBuildLevel(0.0f);
         }},
        {"SetState",
         [&] {
             mCreature->SetState(Key("think"));
             EXPECT_EQ(Shown(mCreature), "think");
         }},
        {"the visual object: a mark leaves a walking view walking",
         [&] {
             mCreature->SetPath({TVec2(300, 70)});
             mCreature->GetSprite()->SetStateRecursive(Key("mark_normal"), true, false);
             mCreature->GetSprite()->GetChild("body")->SetStateRecursive(Key("disappear"), true,
                                                                         false);
             EXPECT_EQ(mCreature->GetState(), Key("walk"));
             EXPECT_EQ(Shown(mCreature), "walk_NE");
             EXPECT_EQ(mCreature->GetSprite()->GetChild("body")->GetStateId(), Key("disappear"));
             mCreature->Refresh();
             EXPECT_EQ(mCreature->GetPath().size(), 2u);
             mCreature->StopMoving();
         }},
        {"SetItem and SetDisease",
         [&] {
             mCreature->SetItem(11, false);
             EXPECT_TRUE(Visible(mCreature, "woods"));
             mCreature->SetDiseaseMark(4);
             EXPECT_EQ(Shown(mCreature, "disease"), "Fever");
         }},
        {"SetPrescriptionMarks: types 3, 2 and 1 as the forage load",
         [&] {
             mCreature->ShowForageLoad(true, false, true);
             EXPECT_TRUE(Visible(mCreature, "smallberries"));
             EXPECT_FALSE(Visible(mCreature, "roots"));
             EXPECT_TRUE(Visible(mCreature, "yayaflowers"));
         }},
        {"SetSpeed and the travel times: distance / speed",
         [&] {
             mCreature->SetPosition(100, 200);
             mCreature->SetSpeed(4.0f);
             EXPECT_EQ(mCreature->TicksTo(100, 100), 25.0f);
             EXPECT_EQ(mCreature->TicksToObject(mWell), 25.0f);
         }},
        {"WalkTo: progress 1.0 places at once",
         [&] {
             mCreature->GoTo(TVec2(300, 300), 1.0f);
             EXPECT_EQ(mCreature->GetX(), 300.0f);
             mCreature->GoTo(TVec2(400, 300), 0.0f);
             EXPECT_EQ(mCreature->GetDestination().x, 400.0f);
             EXPECT_EQ(mCreature->GetX(), 300.0f);
         }},
        {"WalkToView: to the approach point",
         [&] {
             mCreature->SetPosition(20, 105);
             mCreature->GoToObject(mWell, 0.0f, false);
             EXPECT_EQ(mCreature->GetDestination().x, 90.0f);
             EXPECT_EQ(mCreature->GetDestination().y, 110.0f);
         }},
        {"MoveTowards with the flag: the special cells",
         [&] {
             mCreature->SetPosition(20, 105);
             mCreature->GoToObject(mWell, 0.0f, true);
             EXPECT_EQ(mCreature->GetDestination().x, 90.0f);
             EXPECT_EQ(mCreature->GetDestination().y, 150.0f);
             // With progress, placed along the way.
             mCreature->GoToObject(mWell, 0.5f, false);
             EXPECT_EQ(mCreature->GetDestination().x, 90.0f);
         }},
        {"TurnTo and DropArkPart",
         [&] {
             mCreature->SetPosition(300, 100);
             mCreature->TurnTo(mWell);
             EXPECT_EQ(mCreature->GetDirection(), Key("SW"));
             mCreature->Follow(mWell, TVec2());
             mCreature->Follow(nullptr, TVec2());
             EXPECT_EQ(mCreature->GetFollowed(), nullptr);
             EXPECT_EQ(mCreature->GetState(), Key("stay"));
         }},
        {"PassValue: the hint icon",
         [&] {
             mCreature->SetIcon(2);
             EXPECT_EQ(Shown(mCreature, "icon"), "icon_lbn");
         }},
        {"SetPositionXYZ keeps the depth given",
         [&] {
             mCreature->SetPositionXYZ(TVec2(100, 110), mWell->GetSprite()->deltaZ + 4.0f);
             EXPECT_EQ(mCreature->GetSprite()->deltaZ, mWell->GetSprite()->deltaZ + 4.0f);
             EXPECT_EQ(mCreature->GetY(), 110.0f);
         }},
        {"SetBuildLevel and ShowStock: level and capacity",
         [&] {
             mWell->SetBuildLevel(1.0f);
             mWell->ShowStock(5, 10);
             EXPECT_EQ(Shown(mWell), "level1_capacity1");
             EXPECT_EQ(mWell->GetBuildLevel(), 1.0f);
             mWell->SetBuildLevel(0.0f);
         }},
        {"the manager's walk tests, cell size and nearest walkable point",
         [&] {
             EXPECT_FALSE(mManager->IsWalkable(105, 105));
             EXPECT_TRUE(mManager->IsWalkable(85, 105));
             EXPECT_EQ(mManager->GetCellSize(), 20.0f);
             const TVec2 free = mManager->SnapToFreePoint(105, 105);
             EXPECT_TRUE(mManager->IsWalkable(free.x, free.y));
             EXPECT_GT(free.x, 0.0f);
         }},
        {"PickObjectAt: mode as type, flag as mode; selection hits sprites",
         [&] {
             mScene.UpdateObjects();
             EXPECT_EQ(mManager->PickObjectAt(TVec2(125, 105), nullptr, 2, 1), mWell);
             EXPECT_EQ(mManager->PickObjectAt(TVec2(100, 95), nullptr, 2, 2), mWell);
             EXPECT_EQ(mManager->PickObjectAt(TVec2(100, 95), mWell, 2, 2), nullptr);
         }},
        {"the manager's views: clear, refresh, make, make by name, remove",
         [&] {
             const std::unique_ptr<GLocation> place = PlaceObject("loc_well");
             GVWorldObject* made = mManager->CreateVisualFor(place.get());
             ASSERT_NE(made, nullptr);
             made->SetPosition(300, 300);
             mManager->RebuildWalkability();
             EXPECT_FALSE(mManager->IsWalkable(305, 305));
             GVWorldObject* mover = mManager->CreateVisual("ark_part_mover_2", 1);
             ASSERT_NE(mover, nullptr);
             EXPECT_TRUE(mover->IsKindOf(GVViewClass::kCreature));
             mManager->RemoveVisual(made);
             EXPECT_TRUE(mManager->IsWalkable(305, 305));
         }},
        {"the play screen: ResetAll and IsInWorkArea",
         [&] {
             mManager->RefreshAll();
             EXPECT_TRUE(mManager->IsInWorkArea(mWell, TVec2(25, 0)));
             EXPECT_FALSE(mManager->IsInWorkArea(mWell, TVec2(0, 0)));
             EXPECT_FALSE(mManager->IsInWorkArea(mCreature, TVec2(25, 0)));
         }},
        {"the play screen: a view's layout name",
         [&] {
             EXPECT_EQ(mWell->GetLayoutName(), str("loc_well"));
             EXPECT_EQ(mCreature->GetLayoutName(), str(""));
         }},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.request);
        row.check();
    }
}

}  // namespace
}  // namespace views_test
