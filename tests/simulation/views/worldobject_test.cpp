// The base of the world views: class identity, position and depth, the animation speed of both
// factors, listeners, sprite hit tests; and views without a sprite (the model's test doubles).
#include "simulation/views/worldobject.h"

#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <string>

#include "viewfixture.h"

namespace views_test {
namespace {

TEST_F(ViewTest, EveryViewClassAnswersItsNameTypeAndKinds) {
    GVWorldCreature* creature = MakeCreature(10, 10);
    GVWorldLocation* location = MakeLocation("loc_plain", 50, 50);
    GVWorldObject plain(nullptr, new GVObject(), nullptr);
    ASSERT_NE(creature, nullptr);
    ASSERT_NE(location, nullptr);
    const struct {
        GVWorldObject* view;
        const char* name;
        int type;
        bool creature, location;
    } rows[] = {
        {&plain, "GVWorldObject", GVWorldObject::kPlainView, false, false},
        {creature, "GVWorldCreature", GVWorldObject::kCreatureView, true, false},
        {location, "GVWorldLocation", GVWorldObject::kLocationView, false, true},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_STREQ(row.view->GetClassName(), row.name);
        EXPECT_EQ(row.view->GetType(), row.type);
        EXPECT_TRUE(row.view->IsKindOf(GVWorldObject::ClassId()));
        EXPECT_EQ(row.view->IsKindOf(GVWorldCreature::ClassId()), row.creature);
        EXPECT_EQ(row.view->IsKindOf(GVWorldLocation::ClassId()), row.location);
        // A new view runs its animations at the speed 1, down to its parts.
        EXPECT_EQ(row.view->GetSprite()->GetSpeed(), 1.0f);
    }
    EXPECT_EQ(creature->GetSprite()->GetChild("body")->GetSpeed(), 1.0f);
    EXPECT_FALSE(plain.HitTest(TVec2(0, 0)));
    EXPECT_FALSE(plain.IsHitRectEmpty());
}

TEST_F(ViewTest, SetPositionMovesTheSpriteAndGivesItTheDepthOfItsRowThenColumn) {
    GVWorldCreature* view = MakeCreature(0, 0);
    ASSERT_NE(view, nullptr);
    const struct {
        float x, y, depth;
    } rows[] = {
        {100, 50, static_cast<float>(500.4)},
        {0, 0, 0.0f},
        {2400, 1800, static_cast<float>(18009.6)},
        {2399, 10, static_cast<float>(109.596)},  // the whole width weighs less than a row
        {0, 11, 110.0f},
        {-5, 3, static_cast<float>(29.98)},
    };
    for (const auto& row : rows) {
        view->GetSprite()->changed = 0;
        view->SetPosition(row.x, row.y);
        EXPECT_EQ(view->GetX(), row.x);
        EXPECT_EQ(view->GetY(), row.y);
        EXPECT_EQ(view->GetSprite()->deltaX, row.x);
        EXPECT_EQ(view->GetSprite()->deltaZ, row.depth) << row.x << "," << row.y;
        EXPECT_NE(view->GetSprite()->changed, 0);
    }
    // The carried creature is in front of everything; the depth is computed only by SetPosition.
    mWorld.SetHeldVisual(view);
    view->SetPosition(100, 50);
    EXPECT_EQ(view->GetSprite()->deltaZ, GVWorldObject::kHeldDepth);
    mWorld.SetHeldVisual(nullptr);
    view->SetPositionXYZ(TVec2(30, 40), 7.5f);
    EXPECT_EQ(view->GetPosition().x, 30.0f);
    EXPECT_EQ(view->GetPosition().y, 40.0f);
    EXPECT_EQ(view->GetSprite()->deltaZ, 7.5f);
    mManager->RefreshAll();
    EXPECT_EQ(view->GetSprite()->deltaZ, 7.5f);
}

TEST_F(ViewTest, TheSpritesSpeedIsOneOverTheProductOfBothFactors) {
    GVWorldCreature* view = MakeCreature(0, 0);
    ASSERT_NE(view, nullptr);
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float own, world, speed;
    } rows[] = {
        {1, 1, 1}, {2, 1, 0.5f}, {2, 4, 0.125f}, {0.5f, 1, 2}, {1, 0, inf}, {3, 1, 1.0f / 3.0f},
    };
    for (const auto& row : rows) {
        view->SetOwnSpeedFactor(row.own);
        view->SetWorldSpeedFactor(row.world);
        EXPECT_EQ(view->GetSprite()->GetSpeed(), row.speed) << row.own << " x " << row.world;
        EXPECT_EQ(view->GetSprite()->GetChild("icon")->GetSpeed(), row.speed);
    }
    // The manager gives every view the world factor, and new views the world's.
    mManager->SetAnimationSpeed(4.0f);
    EXPECT_EQ(view->GetWorldSpeedFactor(), 4.0f);
    mWorld.SetSpeedFactor(0.0f);
    GVWorldCreature* paused = MakeCreature(0, 0);
    EXPECT_EQ(paused->GetWorldSpeedFactor(), 0.0f);
    EXPECT_EQ(paused->GetSprite()->GetSpeed(), inf);
}

TEST_F(ViewTest, AWorldFactorOfZeroFreezesTheFramesAlsoOfAStateWithoutDelay) {
    mSprites->Put("xml/spinner.xml",
                  "<main><images><img name=\"standin.png\"/></images><framelist>"
                  "<frame x=\"0\" y=\"0\" w=\"2\" h=\"2\"/><frame x=\"2\" y=\"0\" w=\"2\" h=\"2\"/>"
                  "<frame x=\"4\" y=\"0\" w=\"2\" h=\"2\"/><frame x=\"6\" y=\"0\" w=\"2\" h=\"2\"/>"
                  "</framelist><states><state id=\"spin\" framelist=\"0..3\" defdelay=\"0\"/>"
                  "<state id=\"turn\" framelist=\"0..3\" defdelay=\"100\"/></states></main>");
    for (const char* state : {"spin", "turn"}) {
        SCOPED_TRACE(state);
        GVWorldObject* view = mManager->CreateVisual("spinner", 1);
        ASSERT_NE(view, nullptr);
        GVObject* sprite = view->GetSprite();
        sprite->SetStateRecursive(Key(state), true, false);
        Advance(100);
        EXPECT_EQ(sprite->GetFramePosition(), 1);
        mManager->SetAnimationSpeed(0.0f);
        for (int i = 0; i < 5; ++i)
            Advance(1000);
        EXPECT_EQ(sprite->GetFramePosition(), 1);
        mManager->SetAnimationSpeed(1.0f);
        Advance(100);
        EXPECT_EQ(sprite->GetFramePosition(), 2);
        mManager->RemoveVisual(view);
    }
}

TEST_F(ViewTest, ListenersAreAddedAsGivenAndHearEveryChangeOnceForEachEntry) {
    GVWorldCreature* view = MakeCreature(0, 0);
    RecordingListener first;
    RecordingListener second;
    view->AddListener(nullptr);
    view->AddListener(&first);
    view->AddListener(&second);
    view->AddListener(&first);
    view->SetState(Key("walk"));
    EXPECT_EQ(first.events, (std::vector<std::string>{"walk", "walk"}));
    EXPECT_EQ(second.events, (std::vector<std::string>{"walk"}));
    EXPECT_EQ(first.views.front(), view);
}

TEST_F(ViewTest, HitTestSpriteTakesThePointsOfTheSpriteOrAnyPartOfIt) {
    GVWorldCreature* view = MakeCreature(100, 100);
    mScene.UpdateObjects();
    // The stand-in's 8 x 8 frame hangs from its bottom centre: x 96 to 103, y 92 to 99.
    const struct {
        float x, y;
        bool hit;
    } rows[] = {{100, 95, true},  {96, 92, true},    {103.5f, 99.5f, true}, {95.5f, 95, false},
                {104, 95, false}, {100, 100, false}, {100, 91.5f, false}};
    for (const auto& row : rows)
        EXPECT_EQ(view->HitTestSprite(TVec2(row.x, row.y)), row.hit) << row.x << "," << row.y;
    // A part moved away from the root is hit where it stands.
    view->GetSprite()->GetChild("head")->deltaX = 50;
    view->GetSprite()->GetChild("head")->changed = 1;
    mScene.UpdateObjects();
    EXPECT_TRUE(view->HitTestSprite(TVec2(150, 95)));
}

TEST_F(ViewTest, DistanceToIsTheStraightLineBetweenBothPositions) {
    GVWorldCreature* a = MakeCreature(10, 20);
    GVWorldCreature* b = MakeCreature(40, 60);
    EXPECT_EQ(a->DistanceTo(b), 50.0f);
    EXPECT_EQ(b->DistanceTo(a), 50.0f);
    EXPECT_EQ(a->DistanceTo(nullptr), 0.0f);
}

// The model's test doubles: views without manager or sprite.
TEST(ViewWithoutSpriteTest, EveryOperationLeavesAMissingSpriteAlone) {
    GVWorldCreature creature(nullptr, nullptr);
    RecordingListener listener;
    creature.AddListener(&listener);
    creature.SetPosition(5, 6);
    EXPECT_EQ(creature.GetX(), 0.0f);
    creature.SetOwnSpeedFactor(2);
    creature.SetWorldSpeedFactor(0);
    creature.SetState(ParseFlagMask("work"));
    creature.SetDirection(TVec2(-1, 0));
    creature.ShowCarriedItem(3, true);
    creature.ShowBody(2);
    creature.SetDiseaseMark(3);
    creature.SetIcon(1);
    creature.GoTo(TVec2(100, 100), 0.0f);  // no manager: no path, it stays
    creature.Refresh();
    EXPECT_FALSE(creature.HitTestSprite(TVec2(0, 0)));
    EXPECT_EQ(listener.events, (std::vector<std::string>{"work", "walk", "stay"}));

    GVWorldLocation location(nullptr, nullptr, nullptr);
    location.SetBuildLevel(0.5f);
    location.ShowStock(3, 4);
    EXPECT_EQ(location.GetBuildLevel(), 0.5f);
    EXPECT_EQ(location.GetLevelRecord(), nullptr);
    EXPECT_FALSE(location.IsInFootprint(0, 0));
}

}  // namespace
}  // namespace views_test
