// Deaths, graves and objects leaving the world, on small worlds made by the test.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gv/gvobject.h"
#include "gv/keys/flagmasktext.h"
#include "simulation/taskkind.h"
#include "testobjects.h"
#include "worldfixture.h"

namespace worldtest {
namespace {

using simtest::TestObject;

class DeathTest : public SmallWorld {
protected:
    void SetUp() override {
        SmallWorld::SetUp();
        DefineCreature("BasicPuff");
        DefineCreature("BasicLion", "Lion").level = 2;
        world.GetGlobalData().deathAgeMin = 90;
        world.GetGlobalData().deathAgeMax = 90;
        world.GetGlobalData().SetNames({"Abbet", "Bryn", "Cato", "Dilo", "Eska", "Fenn"});
    }
    std::vector<GCreature*> Tribe(int count) {
        std::vector<GCreature*> tribe;
        for (int i = 0; i < count; ++i)
            tribe.push_back(MakeCreature("BasicPuff"));
        return tribe;
    }
    void Tick() { world.Update(world.GetPlay().currentTime + 1); }
};

TEST_F(DeathTest, TheLastThreeCausesAreKept) {
    std::vector<GCreature*> tribe = Tribe(6);
    const int* last = world.GetPlay().lastDeath;
    EXPECT_TRUE(world.OnCreatureDeath(tribe[0], 1));
    EXPECT_TRUE(world.OnCreatureDeath(tribe[1], 2));
    EXPECT_TRUE(world.OnCreatureDeath(tribe[2], 4));
    EXPECT_EQ((std::vector<int>{last[0], last[1], last[2]}), (std::vector<int>{1, 2, 4}));
    EXPECT_TRUE(world.OnCreatureDeath(tribe[3], 3));
    EXPECT_EQ((std::vector<int>{last[0], last[1], last[2]}), (std::vector<int>{2, 4, 3}));
    EXPECT_EQ(world.GetCreatures().size(), 2u);
    EXPECT_EQ(world.GetGraves().size(), 4u);
}

TEST_F(DeathTest, TheLastOneLeftAloneDiesToo) {
    std::vector<GCreature*> tribe = Tribe(2);
    EXPECT_TRUE(world.OnCreatureDeath(tribe[1], 2));
    EXPECT_TRUE(world.GetCreatures().empty());
    EXPECT_EQ(world.GetGraves().size(), 2u);
    EXPECT_EQ(world.GetPlay().lastDeath[1], 2);
    EXPECT_EQ(world.GetPlay().lastDeath[2], 0);
    EXPECT_EQ(world.GetGraves()[1]->GetNickName(), tribe[0]->GetNickName());
    EXPECT_EQ(messages.Count("RefreshTribe"), 2);
}

TEST_F(DeathTest, AGraveTakesTheCreaturesNameAndTheStoryOfItsDeath) {
    std::vector<GCreature*> tribe = Tribe(5);
    GCreature* creature = tribe[0];
    creature->SetNickName("Abbet");
    tribe[1]->SetNickName("Bryn");
    tribe[2]->SetNickName("Cato");
    creature->SetAge(12.75f);
    creature->SetDisease(2);
    creature->GetCreatureData()->hungerAddCoef = 1.25f;
    starters.calls.clear();
    sounds.played.clear();
    EXPECT_TRUE(world.OnCreatureDeath(creature, 3));
    ASSERT_EQ(world.GetGraves().size(), 1u);
    const GGrave& grave = *world.GetGraves()[0];
    EXPECT_EQ(grave.GetNickName(), str("Abbet"));
    // Without a string table the labels stand for themselves.
    EXPECT_EQ(grave.GetDeath(), str("Abbet - Age: 12 - death_disease_str: Tumrot"));
    EXPECT_EQ(grave.GetCreatureData()->animatorName, str("skeleton"));
    EXPECT_FLOAT_EQ(grave.GetCreatureData()->hungerAddCoef, 1.25f);
    EXPECT_EQ(world.GetDeletionQueue().size(), 1u);
    EXPECT_EQ(world.GetDeletionQueue()[0].get(), creature);
    EXPECT_TRUE(world.GetPlay().creaturesChanged);
    EXPECT_EQ(sounds.PlayedEvents(), (std::vector<int>{64}));
    EXPECT_EQ(sounds.played[0].object, nullptr);

    const struct {
        int cause;
        int disease;
        const char* death;
    } rows[] = {
        {1, 3, "Bryn - Age: 0 - death_hunger_str"},
        {3, 9, "Cato - Age: 0 - death_disease_str"},  // a disease without a name
    };
    for (const auto& row : rows) {
        GCreature* next = world.GetCreatures().front().get();
        next->SetDisease(row.disease);
        world.OnCreatureDeath(next, row.cause);
        EXPECT_EQ(world.GetGraves().back()->GetDeath(), str(row.death));
    }
}

TEST_F(DeathTest, ACreatureDiesOnce) {
    std::vector<GCreature*> tribe = Tribe(4);
    EXPECT_TRUE(world.OnCreatureDeath(tribe[1], 1));
    const int lastCause = world.GetPlay().lastDeath[2];
    EXPECT_FALSE(world.OnCreatureDeath(tribe[1], 4));
    EXPECT_EQ(world.GetGraves().size(), 1u);
    EXPECT_EQ(world.GetDeletionQueue().size(), 1u);
    EXPECT_EQ(world.GetPlay().lastDeath[2], lastCause);
    EXPECT_FALSE(world.OnCreatureDeath(nullptr, 1));
    DefineLocation("Tree");
    EXPECT_FALSE(world.OnCreatureDeath(MakeLocation("Tree"), 1));
    EXPECT_EQ(world.GetGraves().size(), 1u);
    Tick();  // deleted
    EXPECT_TRUE(world.GetDeletionQueue().empty());
}

TEST_F(DeathTest, ParkedIndexesFollowTheListAndForgetTheDead) {
    const struct {
        int parked;
        int after;
    } rows[] = {{-1, -1}, {0, 0}, {1, 1}, {2, -1}, {3, 2}, {4, 3}};
    for (const auto& row : rows) {
        world.Clear();
        std::vector<GCreature*> tribe = Tribe(5);
        world.GetPlay().parkedA = static_cast<int16_t>(row.parked);
        world.GetPlay().parkedB = static_cast<int16_t>(row.parked);
        world.OnCreatureDeath(tribe[2], 1);
        EXPECT_EQ(world.GetPlay().parkedA, row.after) << row.parked;
        EXPECT_EQ(world.GetPlay().parkedB, row.after) << row.parked;
    }
    // Index 0 dies: a parked 0 is the dead one, nothing is lowered below 0.
    world.Clear();
    std::vector<GCreature*> tribe = Tribe(3);
    world.GetPlay().parkedA = 0;
    world.GetPlay().parkedB = 1;
    world.OnCreatureDeath(tribe[0], 1);
    EXPECT_EQ(world.GetPlay().parkedA, -1);
    EXPECT_EQ(world.GetPlay().parkedB, 0);
}

TEST_F(DeathTest, ACreatureOfAnotherKindDiesAlike) {
    MakeCreature("BasicPuff");
    MakeCreature("BasicPuff");
    ASSERT_TRUE(world.CreateCreature("BasicLion", 1, 1));
    EXPECT_TRUE(world.OnCreatureDeath(world.GetCreatures().back().get(), 0));
}

TEST_F(DeathTest, AGraveWithoutAViewLeavesWhenItHasFaded) {
    std::vector<GCreature*> tribe = Tribe(4);
    world.OnCreatureDeath(tribe[0], 1);
    world.OnCreatureDeath(tribe[1], 1);
    ASSERT_EQ(world.GetGraves().size(), 2u);
    const GGrave* first = world.GetGraves()[0].get();
    for (int i = 0; i < GGrave::kStandingTime; ++i)
        Tick();
    EXPECT_EQ(world.GetGraves().size(), 2u);  // both at 0, standing
    EXPECT_EQ(first->GetTimeLeft(), 0);
    Tick();  // the first reaches -1 and leaves; the pass stops there
    ASSERT_EQ(world.GetGraves().size(), 1u);
    EXPECT_EQ(world.GetGraves()[0]->GetTimeLeft(), 0);
    Tick();
    EXPECT_TRUE(world.GetGraves().empty());
    Tick();
    EXPECT_TRUE(world.GetDeletionQueue().empty());
}

class GraveViewTest : public DeathTest {
protected:
    void SetUp() override {
        DeathTest::SetUp();
        UseViews();
    }
};

TEST_F(GraveViewTest, TheGraveStandsWhereTheCreatureDiedAndFadesBeforeItLeaves) {
    std::vector<GCreature*> tribe = Tribe(3);
    tribe[0]->GetView()->SetPosition(TVec2(300, 400));
    world.OnCreatureDeath(tribe[0], 4);
    GGrave* grave = world.GetGraves()[0].get();
    ASSERT_NE(grave->GetView(), nullptr);
    ASSERT_TRUE(grave->GetView()->IsKindOf(GVViewClass::kCreature));
    EXPECT_EQ(static_cast<GVWorldCreature*>(grave->GetView())->GetTag(), str("Grave"));
    EXPECT_EQ(worldtest::Point(grave->GetView()->GetPosition()), worldtest::Point(300, 400));
    EXPECT_EQ(tribe[0]->GetCreatureView()->GetState(), ParseFlagMask("hidden"));

    for (int i = 0; i <= GGrave::kStandingTime; ++i) {
        Tick();
        Advance(30);
    }
    // TimeLeft -1: the sprite disappears, and the tick after it has faded takes the grave away.
    EXPECT_EQ(grave->GetTimeLeft(), -1);
    ASSERT_EQ(world.GetGraves().size(), 1u);
    Advance(200);
    const size_t viewsBefore = Manager().GetViews().size();
    Tick();  // leaves, and is deleted with its view
    EXPECT_TRUE(world.GetGraves().empty());
    EXPECT_TRUE(world.GetDeletionQueue().empty());
    EXPECT_EQ(Manager().GetViews().size(), viewsBefore - 1);
}

// --- Leaving the world.

// What each party told of a cancellation saw of the object that leaves.
struct Seen {
    std::string who;
    bool inWorld;
    bool named;
};

class LeavingTest : public DeathTest {
protected:
    // Whether the world or one of its objects still points at the object.
    bool Named(const GObject* object) const {
        if (world.GetSelectedObject() == object || world.GetHoveredObject() == object ||
            world.GetHeldCreature() == object)
            return true;
        for (int role = 0; role < GWorld::kRoleCount; ++role)
            if (world.GetPlace(static_cast<GWorld::Role>(role)) == object) return true;
        for (int i = 0; i < GWorld::kPairCount; ++i)
            if (world.GetArkMaterials(i) == object || world.GetArkPartPlace(i) == object)
                return true;
        for (const auto& creature : world.GetCreatures()) {
            for (const auto& [kind, targets] : creature->GetTasksMemory())
                if (targets.before == object || targets.after == object) return true;
            if (creature->GetLastBeforeTarget() == object ||
                creature->GetLastAfterTarget() == object || creature->GetOverrideTarget() == object)
                return true;
            for (const GLocation* place : creature->GetValidBuildTargets())
                if (place == object) return true;
            for (int need : {GCreature::kFoodPlace, GCreature::kWaterPlace, GCreature::kBuildPlace})
                if (creature->GetPlace(need) == object) return true;
        }
        for (const auto& monster : world.GetMonsters())
            if (monster->GetAttacker() == object) return true;
        return false;
    }
    // A party outside the world's lists that notes what it sees when told, then asks at once
    // for a new task with the object again.
    void Watch(TestObject& party, GObject* leaving, int kind) {
        party.onCancelled = [this, &party, leaving, kind](GTaskData*) {
            seen.push_back({party.Name(), world.IsInWorld(leaving), Named(leaving)});
            askedAgain.push_back(world.StartTask(kind, &party, leaving));
        };
    }
    void NameEverywhere(GCreature* keeper, GObject* object) {
        keeper->RememberTaskTargets(kTaskDefend, object, object);
        keeper->SetLastTargets(object, object);
        keeper->SetOverrideTarget(object);
        world.SelectObject(object);
    }

    std::vector<Seen> seen;
    std::vector<bool> askedAgain;
};

TEST_F(LeavingTest, WhenThePartnersAreToldTheObjectIsGoneFromEverywhere) {
    DefineLocation("Pre_foodbin");
    std::vector<GCreature*> tribe = Tribe(4);
    GCreature* dying = tribe[0];
    GCreature* keeper = tribe[1];
    GLocation* site = MakeLocation("Pre_foodbin");
    world.BindLocations();
    keeper->AppendValidBuildTarget(site);
    keeper->SetPlace(GCreature::kBuildPlace, site);

    TestObject lover("lover"), doctor("doctor"), mourner("mourner"), builder("builder");
    Watch(lover, dying, kTaskBreed);
    Watch(doctor, dying, kTaskDoctor);
    Watch(builder, site, kTaskBuild);
    GSchedule& schedule = world.GetSchedule();
    simtest::AddTask(schedule, &lover, dying, 500, kTaskBreed);
    simtest::AddTask(schedule, &doctor, dying, 500, kTaskDoctor);
    simtest::AddTask(schedule, &builder, site, 500, kTaskBuild);
    NameEverywhere(keeper, dying);

    // A creature dying while a partner breeds with it and a doctor treats it.
    ASSERT_TRUE(world.OnCreatureDeath(dying, 1));
    ASSERT_EQ(seen.size(), 2u);
    for (const Seen& row : seen) {
        SCOPED_TRACE(row.who);
        EXPECT_FALSE(row.inWorld);
        EXPECT_FALSE(row.named);
    }

    // A location taken out of the world with a builder on it.
    NameEverywhere(keeper, site);
    ASSERT_TRUE(world.QueueForDeletion(site));
    EXPECT_FALSE(world.QueueForDeletion(site));  // queued once
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[2].who, "builder");
    EXPECT_FALSE(seen[2].inWorld);
    EXPECT_FALSE(seen[2].named);
    EXPECT_EQ(keeper->GetValidBuildTargets(), (std::vector<GLocation*>{nullptr}));
    EXPECT_EQ(world.GetPlace(GWorld::kFoodBin), nullptr);

    // A grave, with a mourner at it.
    GGrave* grave = world.GetGraves()[0].get();
    Watch(mourner, grave, kTaskRest);
    simtest::AddTask(schedule, &mourner, grave, 5000, kTaskRest);
    NameEverywhere(keeper, grave);
    Tick();  // the creature and the site are deleted
    for (int i = 0; i <= GGrave::kStandingTime; ++i)
        Tick();  // the grave fades (no view) and leaves
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[3].who, "mourner");
    EXPECT_FALSE(seen[3].inWorld);
    EXPECT_FALSE(seen[3].named);
    Tick();

    // Every request to take one of them again was refused; no task names them.
    EXPECT_EQ(askedAgain, (std::vector<bool>{false, false, false, false}));
    EXPECT_TRUE(world.GetDeletionQueue().empty());
    for (const GScheduleTask* task : schedule.GetTasks()) {
        EXPECT_NE(task->GetTaskData()->object, dying);
        EXPECT_NE(task->GetTaskData()->object, site);
        EXPECT_NE(task->GetTaskData()->object, grave);
    }
}

TEST_F(LeavingTest, ACreatureForgetsADeletedMonsterItMeantToFight) {
    DefineHyena();
    std::vector<GCreature*> tribe = Tribe(2);
    GMonster* hyena = MakeHyena();
    ASSERT_NE(hyena, nullptr);
    tribe[0]->SetLastTask(kTaskDefend);
    tribe[0]->RememberTaskTargets(kTaskDefend, hyena, nullptr);
    world.QueueForDeletion(hyena);
    Tick();
    EXPECT_TRUE(world.GetMonsters().empty());
    EXPECT_EQ(tribe[0]->GetBeforeTarget(kTaskDefend), nullptr);
}

TEST_F(LeavingTest, AnObjectInNoListIsNotQueued) {
    GCreature stranger;
    EXPECT_FALSE(world.QueueForDeletion(&stranger));
    EXPECT_FALSE(world.QueueForDeletion(nullptr));
    EXPECT_TRUE(world.GetDeletionQueue().empty());
}

}  // namespace
}  // namespace worldtest
