// The world view manager: its set-up, the grid it keeps, making and removing views, refreshing
// them, clearing the world, and removals asked for while a view is busy.
#include "simulation/views/worldmanager.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "foundation/file/fileindex.h"
#include "simulation/data/monsterdata.h"
#include "simulation/monster.h"
#include "viewfixture.h"

namespace views_test {
namespace {

// A level cell file: the count, then column, row and value of each cell.
std::string LevelCells(const std::vector<std::array<uint8_t, 3>>& cells) {
    const auto count = static_cast<uint32_t>(cells.size());
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((count >> shift) & 0xFF);
    for (const auto& cell : cells)
        for (uint8_t byte : cell)
            bytes += static_cast<char>(byte);
    return bytes;
}

class ViewManagerTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        // One cell blocked at (1, 0) of the location's cell.
        PutLayout("loc_well",
                  "<layout><level><WalkabilityCells><c x=\"1\" y=\"0\"/>"
                  "</WalkabilityCells></level></layout>");
    }
    size_t Count() const { return mManager->GetViews().size(); }
    bool Has(const GVWorldObject* view) const {
        const auto& views = mManager->GetViews();
        return std::find(views.begin(), views.end(), view) != views.end();
    }
};

TEST_F(ViewManagerTest, InitSizesTheGridAndReadsTheLandscapeForTheFirstRebuild) {
    EXPECT_EQ(mManager->GetGrid().GetColumns(), 120);
    EXPECT_EQ(mManager->GetGrid().GetRows(), 90);
    EXPECT_EQ(mManager->GetCellSize(), 20.0f);
    ASSERT_NE(mManager->GetLevelSprite(), nullptr);
    EXPECT_TRUE(mManager->GetLevelCells().empty());  // no file

    mSprites->Put("xml/level1.layout", LevelCells({{0, 0, 255}, {3, 4, 17}, {3, 4, 9}}));
    GVWorldManager manager(&mScene, &mWorld);
    ASSERT_TRUE(manager.Init());
    EXPECT_EQ(manager.GetLevelCells().size(), 3u);
    EXPECT_EQ(manager.GetGrid().GetValue(0, 0), 0);  // not before the first rebuild
    manager.RebuildWalkability();
    EXPECT_EQ(manager.GetGrid().GetValue(0, 0), 255);
    EXPECT_EQ(manager.GetGrid().GetValue(3, 4), 9);  // a later record wins
}

TEST_F(ViewManagerTest, InitFailsWithoutWorldSceneOrLevelPicture) {
    GVWorldManager noWorld(&mScene, nullptr);
    EXPECT_FALSE(noWorld.Init());
    GVWorldManager noScene(nullptr, &mWorld);
    EXPECT_FALSE(noScene.Init());
    GVFactory::Instance().ReleaseAll();
    RegisterMemoryFile("xml/level1.xml", nullptr, 0);
    GVWorldManager noLevel(&mScene, &mWorld);
    EXPECT_FALSE(noLevel.Init());
    EXPECT_EQ(noLevel.GetLevelSprite(), nullptr);
    EXPECT_NE(noLevel.CreateVisual("puff_l1", 1), nullptr);  // views need no level picture
}

TEST_F(ViewManagerTest, IsWalkableTruncatesTowardsZeroAndRefusesWhatLiesOutside) {
    mSprites->Put("xml/level1.layout", LevelCells({{1, 0, 255}, {2, 0, 254}}));
    GVWorldManager manager(&mScene, &mWorld);
    ASSERT_TRUE(manager.Init());
    manager.RebuildWalkability();
    const struct {
        float x, y;
        bool walkable;
    } rows[] = {
        {-5, 10, true},     {10, 10, true},
        {25, 5, false},     {45, 5, true},
        {2400, 0, false},   {2399.9f, 1799.9f, true},
        {0, -20, false},    {-20, 0, false},
        {10, 1800, false},  {std::nanf(""), 10, false},
        {1e30f, 10, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(manager.IsWalkable(row.x, row.y), row.walkable) << row.x << "," << row.y;
    // A blocked point snaps to the nearest open cell on the way to the middle.
    const TVec2 free = manager.SnapToFreePoint(25, 5);
    EXPECT_FALSE(free.x == 30.0f && free.y == 10.0f);
    EXPECT_TRUE(manager.IsWalkable(free.x, free.y));
    EXPECT_EQ(manager.SnapToFreePoint(105, 107).x, 110.0f);
}

TEST_F(ViewManagerTest, ALocationBlocksItsCellsAtItsOwnCell) {
    GVWorldLocation* well = MakeLocation("loc_well", 100, 100);
    mManager->RebuildWalkability();
    EXPECT_EQ(Cell(6, 5), 255);
    EXPECT_EQ(Cell(5, 5), 0);
    EXPECT_FALSE(mManager->IsWalkable(125, 105));
    // A location at the edge writes only its cells inside the grid.
    well->SetPosition(2395, 0);
    mManager->RebuildWalkability();
    EXPECT_EQ(Cell(6, 5), 0);
    EXPECT_EQ(Cell(119, 0), 0);
}

TEST_F(ViewManagerTest, CreateVisualMakesTheViewOfTheKindUnderTheLevelSprite) {
    const struct {
        int kind;
        const char* name;
        const char* className;
    } rows[] = {
        {1, "puff_l1", "GVWorldCreature"},
        {3, "hyena_l2", "GVWorldCreature"},
        {4, "skeleton", "GVWorldCreature"},
        {2, "loc_well", "GVWorldLocation"},
        {0, "puff_l1", nullptr},
        {5, "puff_l1", nullptr},
        {-1, "loc_well", nullptr},
        {1, "no_such_sprite", nullptr},
    };
    std::vector<GVWorldObject*> made;
    for (const auto& row : rows) {
        GVWorldObject* view = mManager->CreateVisual(row.name, row.kind);
        if (row.className == nullptr) {
            EXPECT_EQ(view, nullptr) << row.kind << " " << row.name;
            continue;
        }
        ASSERT_NE(view, nullptr) << row.name;
        EXPECT_STREQ(view->GetClassName(), row.className);
        EXPECT_EQ(view->GetSprite()->GetParentObject(), mManager->GetLevelSprite());
        EXPECT_TRUE(mScene.HasObject(view->GetSprite()));
        EXPECT_EQ(view->GetManager(), mManager.get());
        made.push_back(view);
    }
    EXPECT_EQ(mManager->GetViews(), made);
    // Locations get the cached layout of their name, creatures none.
    EXPECT_EQ(made[3]->GetLayout(), GVLayoutCache::Get("loc_well"));
    EXPECT_EQ(made[0]->GetLayout(), nullptr);
}

TEST_F(ViewManagerTest, CreateVisualForTakesTheObjectsDescriptionAndKind) {
    const std::unique_ptr<GLocation> place = PlaceObject("loc_well");
    GVWorldObject* view = mManager->CreateVisualFor(place.get());
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetType(), GVWorldObject::kLocationView);
    EXPECT_EQ(view->GetLayoutName(), str("loc_well"));

    GMonster hyena;
    auto monster = std::make_unique<GMonsterData>();
    monster->animatorName = "hyena_l3";
    hyena.SetData(std::move(monster));
    ASSERT_NE(mManager->CreateVisualFor(&hyena), nullptr);
    EXPECT_EQ(mManager->GetViews().back()->GetType(), GVWorldObject::kCreatureView);

    GMonster bare;
    bare.SetData(nullptr);
    EXPECT_EQ(mManager->CreateVisualFor(&bare), nullptr);
    EXPECT_EQ(mManager->CreateVisualFor(nullptr), nullptr);
    EXPECT_EQ(Count(), 2u);
}

TEST_F(ViewManagerTest, RemoveVisualDeletesAtOnceOutsideARefreshAndKeepsTheOrder) {
    GVWorldCreature* a = MakeCreature(10, 10);
    GVWorldCreature* b = MakeCreature(20, 20);
    GVWorldCreature* c = MakeCreature(30, 30);
    GVWorldCreature stranger(nullptr, nullptr);
    mManager->RemoveVisual(nullptr);
    mManager->RemoveVisual(&stranger);
    EXPECT_EQ(Count(), 3u);
    const size_t members = mScene.GetObjectCount();
    mManager->RemoveVisual(b);
    EXPECT_EQ(mManager->GetViews(), (std::vector<GVWorldObject*>{a, c}));
    EXPECT_LT(mScene.GetObjectCount(), members);  // its sprite went with it
    mManager->RemoveVisual(b);                    // no longer ours
    EXPECT_EQ(Count(), 2u);
}

TEST_F(ViewManagerTest, ARemovalDuringRefreshWaitsForTheEndOfThePass) {
    GVWorldCreature* walker = MakeCreature(100, 100);
    GVWorldCreature* other = MakeCreature(200, 200);
    GVWorldLocation* well = MakeLocation("loc_well", 300, 300);
    mManager->RebuildWalkability();
    ASSERT_EQ(Cell(16, 15), 255);
    walker->SetSpeed(50);
    walker->SetPath({TVec2(110, 100)});
    RecordingListener listener;
    size_t duringPass = 0;
    int cellDuringPass = -1;
    listener.onEvent = [&](GVWorldObject*) {
        // Twice each, the walker itself too: each is deleted once, after the pass.
        for (int i = 0; i < 2; ++i) {
            mManager->RemoveVisual(other);
            mManager->RemoveVisual(walker);
            mManager->RemoveVisual(well);
        }
        duringPass = Count();
        // The location leaves the grid at once.
        cellDuringPass = Cell(16, 15);
    };
    walker->AddListener(&listener);
    mManager->RefreshAll();
    EXPECT_EQ(listener.events, (std::vector<std::string>{"stay"}));
    EXPECT_EQ(duringPass, 3u);
    EXPECT_EQ(cellDuringPass, 0);
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(Cell(16, 15), 0);
}

TEST_F(ViewManagerTest, AViewMadeDuringARefreshIsRefreshedInTheSamePass) {
    GVWorldCreature* walker = MakeCreature(100, 100);
    GVWorldCreature* last = MakeCreature(500, 500);
    walker->SetSpeed(50);
    walker->SetPath({TVec2(110, 100)});
    GVWorldCreature* grave = nullptr;
    RecordingListener listener;
    listener.onEvent = [&](GVWorldObject* view) {
        // Made while the pass runs, as the world makes a grave when a creature dies.
        grave = static_cast<GVWorldCreature*>(mManager->CreateVisual("skeleton", 4));
        grave->SetPosition(view->GetX(), view->GetY());
        grave->SetSpeed(5);
        grave->SetPath({TVec2(110, 200)});
    };
    walker->AddListener(&listener);
    last->SetSpeed(3);
    last->SetPath({TVec2(500, 600)});
    mManager->RefreshAll();
    ASSERT_NE(grave, nullptr);
    EXPECT_EQ(mManager->GetViews(), (std::vector<GVWorldObject*>{walker, last, grave}));
    EXPECT_EQ(grave->GetY(), 105.0f);
    EXPECT_EQ(last->GetY(), 503.0f);
}

TEST_F(ViewManagerTest, RemovingACarrierLetsItsRiderGoWhereItStands) {
    for (bool duringRefresh : {false, true}) {
        SCOPED_TRACE(duringRefresh ? "during a refresh" : "outside a refresh");
        GVWorldCreature* carrier = MakeCreature(100, 100);
        GVWorldCreature* rider = MakeCreature(0, 0);
        GVWorldCreature* trigger = MakeCreature(300, 300);
        rider->Follow(carrier, TVec2(0, -20));
        mManager->RefreshAll();
        ASSERT_EQ(rider->GetY(), 80.0f);
        RecordingListener listener;
        rider->AddListener(&listener);
        if (duringRefresh) {
            RecordingListener remover;
            remover.onEvent = [&](GVWorldObject*) { mManager->RemoveVisual(carrier); };
            trigger->AddListener(&remover);
            trigger->SetSpeed(50);
            trigger->SetPath({TVec2(310, 300)});
            carrier->SetPosition(150, 150);
            mManager->RefreshAll();  // the trigger comes after the rider in the list
        } else {
            mManager->RemoveVisual(carrier);
        }
        EXPECT_EQ(rider->GetFollowed(), nullptr);
        EXPECT_EQ(rider->GetState(), Key("stay"));
        EXPECT_EQ(listener.events, (std::vector<std::string>{"stay"}));
        EXPECT_FALSE(Has(carrier));
        // Nothing reads the carrier any more.
        const float x = rider->GetX();
        const float y = rider->GetY();
        mManager->RefreshAll();
        EXPECT_EQ(rider->GetX(), x);
        EXPECT_EQ(rider->GetY(), y);
        mManager->Clear();
        mManager->RefreshAll();
    }
}

TEST_F(ViewManagerTest, RemovingAViewForgetsItAsEditedLocationAndHeldView) {
    GVWorldLocation* well = MakeLocation("loc_well", 100, 100);
    GVWorldCreature* held = MakeCreature(10, 10);
    mManager->SetEditedLocation(well);
    mWorld.SetHeldVisual(held);
    mManager->RemoveVisual(well);
    EXPECT_EQ(mManager->GetEditedLocation(), nullptr);
    EXPECT_EQ(mWorld.GetHeldVisual(), held);
    mManager->RemoveVisual(held);
    EXPECT_EQ(mWorld.GetHeldVisual(), nullptr);
    // Clear forgets both too.
    mManager->SetEditedLocation(MakeLocation("loc_well", 100, 100));
    mWorld.SetHeldVisual(MakeCreature(10, 10));
    mManager->Clear();
    EXPECT_EQ(mManager->GetEditedLocation(), nullptr);
    EXPECT_EQ(mWorld.GetHeldVisual(), nullptr);
}

TEST_F(ViewManagerTest, ClearDeletesEveryViewAndRemovalsWaitUntilTheNextRefresh) {
    MakeCreature(10, 10);
    MakeLocation("loc_well", 100, 100);
    mManager->RebuildWalkability();
    ASSERT_EQ(Cell(6, 5), 255);
    const size_t members = mScene.GetObjectCount();
    mManager->Clear();
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(Cell(6, 5), 0);
    EXPECT_LT(mScene.GetObjectCount(), members);
    // The world builds anew; a removal before the first refresh waits for it.
    GVWorldCreature* early = MakeCreature(10, 10);
    GVWorldLocation* place = MakeLocation("loc_well", 200, 200);
    mManager->RebuildWalkability();
    ASSERT_EQ(Cell(11, 10), 255);
    mManager->RemoveVisual(early);
    mManager->RemoveVisual(place);
    EXPECT_TRUE(Has(early));
    EXPECT_EQ(Cell(11, 10), 0);
    mManager->RefreshAll();
    EXPECT_EQ(Count(), 0u);
    // From then on removals are at once again.
    GVWorldCreature* later = MakeCreature(10, 10);
    mManager->RemoveVisual(later);
    EXPECT_EQ(Count(), 0u);
}

TEST_F(ViewManagerTest, AListenerThatRemovesOrClearsNeverDeletesTheViewItHearsFrom) {
    GVWorldCreature* view = MakeCreature(10, 10);
    GVWorldCreature* other = MakeCreature(20, 20);
    RecordingListener listener;
    listener.onEvent = [&](GVWorldObject* from) { mManager->RemoveVisual(from); };
    view->AddListener(&listener);
    view->AddListener(&listener);  // the second call finds it removed already
    view->SetState(Key("work"));
    // Still whole after the call; gone with the next refresh.
    EXPECT_EQ(view->GetState(), Key("work"));
    EXPECT_TRUE(Has(view));
    mManager->RefreshAll();
    EXPECT_FALSE(Has(view));
    EXPECT_TRUE(Has(other));

    RecordingListener clearer;
    clearer.onEvent = [&](GVWorldObject*) { mManager->Clear(); };
    other->AddListener(&clearer);
    other->GoTo(TVec2(300, 300), 0.0f);  // the listener clears at "walk"; the walk goes on
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(other->GetState(), Key("walk"));
    GVWorldCreature* fresh = MakeCreature(5, 5);
    mManager->RefreshAll();
    EXPECT_EQ(mManager->GetViews(), (std::vector<GVWorldObject*>{fresh}));
}

}  // namespace
}  // namespace views_test
