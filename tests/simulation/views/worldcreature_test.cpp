// The creature view: activity and facing, walking, being carried, travel times, the walking
// speed and the hit rectangle.
#include "simulation/views/worldcreature.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "support/logcapture.h"
#include "viewfixture.h"

namespace views_test {
namespace {

class CreatureViewTest : public ViewTest {
protected:
    // A creature at (0, 0) of the grid's open ground, facing where the vector points.
    GVWorldCreature* Facing(const TVec2& vector) {
        GVWorldCreature* view = MakeCreature(200, 200);
        view->SetDirection(vector);
        return view;
    }
};

TEST_F(CreatureViewTest, SetStateShowsTheActivityAsTheFacingAsks) {
    const TVec2 ne(1, 0), nw(0, -1), sw(-1, 0), se(0, 1);
    const struct {
        TVec2 facing;
        const char* state;
        const char* shown;
        const char* faces;
    } rows[] = {
        {ne, "walk", "walk_NE", "NE"},
        {sw, "walk", "walk_SW", "SW"},
        {ne, "failed", "stay_SW", "SW"},
        {se, "failed", "stay_SW", "SW"},
        {se, "work", "work", "SE"},
        {ne, "work", "work", "NE"},
        {sw, "work", "workM", "SW"},
        {nw, "work", "workM", "NW"},
        {ne, "chips_on_left", "chips_on_right", "NE"},
        {se, "pillage_on_left", "pillage_on_right", "SE"},
        {se, "dust_on_left", "dust_on_right", "SE"},
        {ne, "splinters_on_left", "splinters_on_right", "NE"},
        {ne, "splashes_on_left", "splashes_on_right", "NE"},
        {sw, "chips_on_left", "chips_on_left", "SW"},
        {nw, "dust_on_left", "dust_on_left", "NW"},
        {ne, "dust_on_right", "dust_on_right", "NE"},
        {ne, "think", "think", "NE"},
        {sw, "flakeOut", "flakeOut", "SW"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.state) + " facing " + row.faces);
        GVWorldCreature* view = Facing(row.facing);
        RecordingListener listener;
        view->AddListener(&listener);
        view->SetState(Key(row.state));
        EXPECT_EQ(Shown(view), row.shown);
        EXPECT_EQ(view->GetState(), Key(row.state));
        EXPECT_EQ(FormatFlagMask(view->GetDirection()), str(row.faces));
        EXPECT_EQ(listener.events, (std::vector<std::string>{row.state}));
    }
    // "stay" is joined with the facing too.
    GVWorldCreature* view = Facing(sw);
    view->SetState(Key("think"));
    view->SetState(Key("stay"));
    EXPECT_EQ(Shown(view), "stay_SW");
}

TEST_F(CreatureViewTest, TheSameStateAgainDoesNothingAtAll) {
    GVWorldCreature* view = MakeCreature(200, 200);
    RecordingListener listener;
    view->AddListener(&listener);
    view->SetState(Key("work"));
    view->GetSprite()->SetStateRecursive(Key("think"), true, false);
    view->SetState(Key("work"));
    EXPECT_EQ(Shown(view), "think");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"work"}));
    // A new view stands: "stay" is no change either, and nothing was shown yet.
    GVWorldCreature* fresh = MakeCreature(200, 200);
    fresh->AddListener(&listener);
    fresh->SetState(Key("stay"));
    EXPECT_EQ(listener.events.size(), 1u);
    EXPECT_EQ(Shown(fresh), "normal");
}

TEST_F(CreatureViewTest, DirectionFromVectorTurnsByQuartersFromTheRight) {
    const struct {
        float x, y;
        const char* direction;
    } rows[] = {
        {1, 0, "NE"}, {0, -1, "NW"},     {-1, 0, "SW"},       {0, 1, "SE"},
        {0, 0, "NE"}, {1, -1, "NE"},     {-1, -1, "NW"},      {-1, 1, "SW"},
        {1, 1, "SE"}, {5, 0.001f, "SE"}, {-0.001f, -5, "NW"}, {0.001f, -5, "NE"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(FormatFlagMask(GVWorldCreature::DirectionFromVector(TVec2(row.x, row.y))),
                  str(row.direction))
            << row.x << "," << row.y;
}

TEST_F(CreatureViewTest, SetDirectionShowsANewFacingWithoutTellingTheListeners) {
    GVWorldCreature* view = MakeCreature(200, 200);
    RecordingListener listener;
    view->AddListener(&listener);
    view->SetState(Key("walk"));
    view->SetDirection(TVec2(-3, 0));
    EXPECT_EQ(Shown(view), "walk_SW");
    // The same facing shows nothing new.
    view->GetSprite()->SetStateRecursive(Key("think"), true, false);
    view->SetDirection(TVec2(-1, 0.5f));
    EXPECT_EQ(Shown(view), "think");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"walk"}));
    // Turning to a view faces its position.
    GVWorldCreature* other = MakeCreature(200, 100);
    view->TurnTo(other);
    EXPECT_EQ(FormatFlagMask(view->GetDirection()), str("NW"));
    view->TurnTo(nullptr);
    EXPECT_EQ(FormatFlagMask(view->GetDirection()), str("NW"));
}

TEST_F(CreatureViewTest, OneUpdateMayPassAWaypointAndTurnsAtIt) {
    GVWorldCreature* view = MakeCreature(100, 100);
    RecordingListener listener;
    view->AddListener(&listener);
    view->SetSpeed(15);
    view->SetPath({TVec2(110, 100), TVec2(110, 110)});
    EXPECT_EQ(Shown(view), "walk_NE");
    ASSERT_EQ(view->GetPath().size(), 3u);
    view->Refresh();
    EXPECT_EQ(view->GetX(), 110.0f);
    EXPECT_EQ(view->GetY(), 105.0f);
    EXPECT_EQ(Shown(view), "walk_SE");
    ASSERT_EQ(view->GetPath().size(), 2u);
    EXPECT_EQ(view->GetDestination().y, 110.0f);
    view->Refresh();
    EXPECT_EQ(view->GetY(), 110.0f);
    EXPECT_TRUE(view->GetPath().empty());
    EXPECT_EQ(Shown(view), "stay_SE");
    EXPECT_EQ(listener.events, (std::vector<std::string>{"walk", "stay"}));
    EXPECT_EQ(view->GetDestination().x, 110.0f);
    // Several segments in one update.
    view->SetPath({TVec2(111, 110), TVec2(112, 110), TVec2(113, 110), TVec2(150, 110)});
    view->Refresh();
    EXPECT_EQ(view->GetX(), 125.0f);
    // An empty path changes nothing.
    listener.events.clear();
    view->SetPath({});
    EXPECT_EQ(view->GetPath().size(), 2u);
    EXPECT_TRUE(listener.events.empty());
    // Leaving "walk" ends the walk.
    view->SetState(Key("work"));
    EXPECT_TRUE(view->GetPath().empty());
    EXPECT_EQ(view->GetX(), 125.0f);
}

TEST_F(CreatureViewTest, TheWorldFactorScalesWalkingAndZeroStopsIt) {
    GVWorldCreature* view = MakeCreature(100, 100);
    view->SetSpeed(2);
    view->SetPath({TVec2(200, 100)});
    view->SetWorldSpeedFactor(4);
    view->Refresh();
    EXPECT_EQ(view->GetX(), 108.0f);
    view->SetWorldSpeedFactor(0);
    for (int i = 0; i < 50; ++i)
        view->Refresh();
    EXPECT_EQ(view->GetX(), 108.0f);
    // A carried view still moves with its carrier.
    GVWorldCreature* rider = MakeCreature(0, 0);
    rider->SetWorldSpeedFactor(0);
    rider->Follow(view, TVec2(0, -10));
    view->SetPosition(300, 300);
    rider->Refresh();
    EXPECT_EQ(rider->GetX(), 300.0f);
    EXPECT_EQ(rider->GetY(), 290.0f);
}

TEST_F(CreatureViewTest, GoToWalksTheGridsPathOrPlacesAtOnce) {
    GVWorldCreature* view = MakeCreature(105, 105);
    RecordingListener listener;
    view->AddListener(&listener);
    view->SetSpeed(10);
    view->GoTo(TVec2(205, 105), 0.0f);
    ASSERT_EQ(view->GetPath().size(), 2u);  // open ground: from here straight to the target
    EXPECT_EQ(view->GetPath().front().x, 105.0f);
    EXPECT_EQ(view->GetDestination().x, 205.0f);
    EXPECT_EQ(Shown(view), "walk_NE");
    for (int i = 0; i < 9; ++i)
        view->Refresh();
    EXPECT_EQ(view->GetX(), 195.0f);
    view->Refresh();
    EXPECT_EQ(view->GetX(), 205.0f);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"walk", "stay"}));

    // Progress exactly 1: put on the target in "stay" at once.
    listener.events.clear();
    view->GoTo(TVec2(500, 400), 0.0f);
    view->GoTo(TVec2(300, 300), 1.0f);
    EXPECT_EQ(view->GetX(), 300.0f);
    EXPECT_EQ(view->GetY(), 300.0f);
    EXPECT_TRUE(view->GetPath().empty());
    EXPECT_EQ(listener.events, (std::vector<std::string>{"walk", "stay"}));
}

TEST_F(CreatureViewTest, GoToWithoutAPathReportsWalkThenStayOnceEach) {
    const TVec2 targets[] = {TVec2(305, 318), TVec2(300, 300), TVec2(-50, 300), TVec2(2500, 300),
                             TVec2(std::nanf(""), 0)};
    for (const TVec2& target : targets) {
        SCOPED_TRACE(std::to_string(target.x) + "," + std::to_string(target.y));
        GVWorldCreature* view = MakeCreature(301, 302);
        RecordingListener listener;
        view->AddListener(&listener);
        view->GoTo(target, 0.0f);
        EXPECT_EQ(listener.events, (std::vector<std::string>{"walk", "stay"}));
        EXPECT_EQ(view->GetX(), 301.0f);
        EXPECT_EQ(view->GetY(), 302.0f);
        EXPECT_TRUE(view->GetPath().empty());
        EXPECT_EQ(Shown(view), "stay_NE");
    }
}

TEST_F(CreatureViewTest, FollowCarriesTheViewAndCopiesItsCarriersFacing) {
    GVWorldCreature* carrier = MakeCreature(100, 100);
    GVWorldCreature* rider = MakeCreature(0, 0);
    RecordingListener listener;
    rider->AddListener(&listener);
    rider->Follow(carrier, TVec2(5, -20));
    EXPECT_EQ(rider->GetFollowed(), carrier);
    carrier->SetPath({TVec2(100, 200)});
    rider->Refresh();
    EXPECT_EQ(rider->GetX(), 105.0f);
    EXPECT_EQ(rider->GetY(), 80.0f);
    EXPECT_EQ(FormatFlagMask(rider->GetDirection()), str("SE"));
    EXPECT_EQ(Shown(rider), "walk_SE");
    // Stopping leaves the carrying; none lets go.
    rider->StopMoving();
    EXPECT_EQ(rider->GetFollowed(), carrier);
    rider->Follow(nullptr, TVec2());
    EXPECT_EQ(rider->GetFollowed(), nullptr);
    carrier->SetPosition(400, 400);
    rider->Refresh();
    EXPECT_EQ(rider->GetX(), 105.0f);
    EXPECT_EQ(listener.events, (std::vector<std::string>{"walk", "stay"}));
    // A walk of its own ends the carrying.
    rider->Follow(carrier, TVec2());
    rider->SetPath({TVec2(105, 180)});
    EXPECT_EQ(rider->GetFollowed(), nullptr);
}

TEST_F(CreatureViewTest, TravelTimesAreTheDistanceOverTheSpeed) {
    GVWorldCreature* view = MakeCreature(0, 0);
    GVWorldCreature* other = MakeCreature(60, 80);
    view->SetSpeed(2);
    EXPECT_EQ(view->TicksTo(30, 40), 25.0f);
    EXPECT_EQ(view->TicksToObject(other), 50.0f);
    EXPECT_EQ(view->TicksToObject(nullptr), 0.0f);
}

TEST_F(CreatureViewTest, AWalkingSpeedThatIsNoPositiveNumberIsTakenAsOne) {
    testing_support::LogCapture log;
    const float speeds[] = {0.0f, -3.0f, std::numeric_limits<float>::quiet_NaN(),
                            std::numeric_limits<float>::infinity()};
    for (float speed : speeds) {
        GVWorldCreature* view = MakeCreature(100, 100);
        view->SetSpeed(speed);
        EXPECT_EQ(view->GetSpeed(), 1.0f) << speed;
        view->SetSpeed(speed);
        GVViewConfig config;
        config.speed = speed;
        view->Configure(&config);
        EXPECT_EQ(view->GetSpeed(), 1.0f) << speed;
        EXPECT_EQ(view->TicksTo(130, 140), 50.0f);
        // It walks, and arrives.
        view->GoTo(TVec2(130, 100), 0.0f);
        for (int i = 0; i < 30; ++i)
            view->Refresh();
        EXPECT_EQ(view->GetX(), 130.0f);
        EXPECT_TRUE(view->GetPath().empty());
    }
    // One line for each view.
    int lines = 0;
    for (const std::string& message : log.Messages())
        lines += message.find("walking speed") != std::string::npos;
    EXPECT_EQ(lines, 4);
    GVWorldCreature* view = MakeCreature(100, 100);
    view->SetSpeed(0.25f);
    EXPECT_EQ(view->GetSpeed(), 0.25f);
}

TEST_F(CreatureViewTest, TheHitRectangleTakesPointsStrictlyInside) {
    GVWorldCreature* view = MakeCreature(100, 100);
    EXPECT_FALSE(view->IsHitRectEmpty());
    GVViewConfig config;
    config.hitRect = GVHitRect{10, 20, 30, 40};
    view->Configure(&config);
    view->Configure(nullptr);
    const struct {
        float x, y;
        bool hit;
    } rows[] = {
        {91, 81, true},    {90, 81, false},   {91, 80, false},  {119.5f, 119.5f, true},
        {120, 100, false}, {100, 120, false}, {100, 100, true}, {89, 100, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(view->HitTest(TVec2(row.x, row.y)), row.hit) << row.x << "," << row.y;
    EXPECT_FALSE(view->IsHitRectEmpty());
    EXPECT_EQ(view->GetHitRect().height, 40);
    for (const GVHitRect& rect : {GVHitRect{0, 20, 30, 40}, GVHitRect{10, 0, 30, 40},
                                  GVHitRect{10, 20, 0, 40}, GVHitRect{10, 20, 30, 0}}) {
        config.hitRect = GVHitRect{10, 20, 30, 40};
        view->Configure(&config);
        view->HitTest(TVec2(0, 0));
        config.hitRect = rect;
        view->Configure(&config);
        EXPECT_FALSE(view->IsHitRectEmpty());  // until the next hit test
        view->HitTest(TVec2(0, 0));
        EXPECT_TRUE(view->IsHitRectEmpty());
    }
}

}  // namespace
}  // namespace views_test
