// The creature's choice of its next task, against a world that records what it is asked and
// answers as each row says. The draws from the generator are part of each row: the test replays
// them on a copy and checks that the creature drew exactly those.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/random.h"
#include "recordingworld.h"
#include "simulation/creature.h"
#include "support/printers.h"

namespace {

using simtest::CreatureBlock;
using simtest::MakePlace;
using simtest::RecordingWorld;
using simtest::ResourceRecord;
using simtest::SeedWhere;
using Draws = std::vector<std::pair<int, int>>;

// What a row sets up: the creature, its world and its generator (made from the wanted draws).
struct Scene {
    RecordingWorld world;
    GCreature creature;
    TRandom random;
    // Whether the creature gets the generator.
    bool useRandom = true;
    // The values the first draws must give (in the order the creature makes them), with their
    // ranges: the generator is seeded to give them.
    Draws wanted;
    // Or any test of the draws.
    std::function<bool(TRandom&)> wantedBy;
    std::unique_ptr<GLocation> well = MakePlace("Well", {ResourceRecord(3, 5, 4)});
    std::unique_ptr<GLocation> bin = MakePlace("Food bin", {ResourceRecord(1, 5)});
    std::unique_ptr<GLocation> tank = MakePlace("Water Tank", {ResourceRecord(2, 5)});
    GCreature other;

    GCreatureData& Block(const char* name, std::vector<std::pair<int, int>> weights) {
        creature.SetData(CreatureBlock(name, std::move(weights)));
        return *creature.GetCreatureData();
    }
};

struct Expected {
    std::vector<int> asked;
    int lastTask;
    // The ranges drawn, in order.
    Draws draws;
    std::vector<int> excluded = {};
};

struct Row {
    const char* name;
    std::function<void(Scene&)> set;
    Expected expected;
    std::function<void(Scene&)> check = nullptr;
};

void RunRow(const Row& row) {
    SCOPED_TRACE(row.name);
    Scene scene;
    scene.creature.SetWorld(&scene.world);
    scene.creature.SetData(CreatureBlock("Puff"));
    row.set(scene);
    const Draws wanted = scene.wanted;
    scene.random = SeedWhere(scene.wantedBy ? scene.wantedBy : [&wanted](TRandom& r) {
        for (const auto& [range, value] : wanted) {
            if (r.NextRange(0, range) != value) return false;
        }
        return true;
    });
    TRandom replay = scene.random;
    if (scene.useRandom) scene.creature.SetRandom(&scene.random);

    scene.creature.ChooseNextTask();

    EXPECT_EQ(scene.world.Kinds(), row.expected.asked);
    for (const auto& start : scene.world.starts)
        EXPECT_EQ(start.subject, &scene.creature);
    EXPECT_EQ(scene.creature.GetLastTask(), row.expected.lastTask);
    EXPECT_EQ(scene.creature.GetExcludedTasks(), row.expected.excluded);
    for (const auto& [lo, hi] : row.expected.draws)
        replay.NextRange(lo, hi);
    EXPECT_EQ(scene.random.Next(), replay.Next()) << "other draws than expected";
    if (row.check) row.check(scene);
}

// Wanted draws: the value the draw of 0 .. range gives.
std::pair<int, int> Drawn(int range, int value) {
    return {range, value};
}

TEST(CreatureChoiceTest, IllnessFoodWaterElephantsAndThePreferredTask) {
    const Row rows[] = {
        {"ill: the hospital, excluded kinds cleared",
         [](Scene& s) {
             s.creature.SetDisease(2);
             s.creature.ExcludeTask(4);
         },
         {{14}, 0, {}}},
        {"ill, the hospital refused: be ill",
         [](Scene& s) {
             s.creature.SetDisease(2);
             s.creature.ExcludeTask(4);
             s.world.Refuse({14});
         },
         {{14, 18}, 0, {}}},
        {"food on a draw of 0",
         [](Scene& s) {
             s.Block("Puff", {{2, 1}}).consumptions = {{1, {}}, {2, {}}};
             s.creature.ExcludeTask(4);
             s.wanted = {Drawn(99, 0)};
         },
         {{10}, 0, {{0, 99}}}},
        {"water on a draw of 0 after food's of 1",
         [](Scene& s) {
             s.Block("Puff", {{2, 1}}).consumptions = {{1, {}}, {2, {}}};
             s.wanted = {Drawn(99, 1), Drawn(99, 0)};
         },
         {{12}, 0, {{0, 99}, {0, 99}}}},
        {"food refused: the water draw next",
         [](Scene& s) {
             s.Block("Puff", {{2, 1}}).consumptions = {{1, {}}, {2, {}}};
             s.wanted = {Drawn(99, 0), Drawn(99, 0)};
             s.world.Refuse({10});
         },
         {{10, 12}, 0, {{0, 99}, {0, 99}}}},
        {"no food draw without a food consumption",
         [](Scene& s) {
             s.Block("Puff", {{2, 1}}).consumptions = {{2, {}}};
             s.wanted = {Drawn(99, 5), Drawn(0, 0)};
         },
         {{19}, 2, {{0, 99}, {0, 0}}}},
        {"an elephant builds while its water place has building work",
         [](Scene& s) {
             s.Block("Elephant", {{3, 5}, {4, 5}});
             s.creature.RememberTaskTargets(3, s.well.get(), nullptr);
             s.creature.SetLastTargets(s.bin.get(), s.tank.get());
             s.useRandom = false;
         },
         {{19}, 4, {}},
         [](Scene& s) {
             EXPECT_EQ(s.world.starts[0].object, nullptr);
             EXPECT_EQ(s.creature.GetLastBeforeTarget(), nullptr);  // LastTask was another kind
             EXPECT_TRUE(s.creature.GetGoThere());
         }},
        {"an elephant builds while water is excluded",
         [](Scene& s) {
             s.Block("Elephant", {{3, 5}, {4, 5}});
             s.creature.ExcludeTask(3);
             s.creature.SetLastTask(4);
             s.creature.SetLastTargets(s.bin.get(), nullptr);
             s.useRandom = false;
         },
         {{19}, 4, {}},
         [](Scene& s) { EXPECT_EQ(s.creature.GetLastBeforeTarget(), s.bin.get()); }},
        {"an elephant whose water place is built does not",
         [](Scene& s) {
             s.Block("Elephant", {{3, 5}, {4, 5}});
             s.well->SetQuantity(3, 0);
             s.creature.RememberTaskTargets(3, s.well.get(), nullptr);
             s.useRandom = false;
         },
         {{7}, 0, {}}},
        {"an elephant sent for water to a target does not",
         [](Scene& s) {
             s.Block("Elephant", {{3, 5}, {4, 5}});
             s.creature.ExcludeTask(3);
             s.creature.SetOverrideTask(3);
             s.creature.SetOverrideTarget(s.tank.get());
             s.useRandom = false;
         },
         {{7}, 0, {}}},
        {"an elephant with building excluded does not",
         [](Scene& s) {
             s.Block("Elephant", {{3, 5}, {4, 5}});
             s.creature.ExcludeTask(3);
             s.creature.ExcludeTask(4);
             s.useRandom = false;
         },
         {{7}, 0, {}}},
        {"the preferred task wins below OverrideProb, with its target",
         [](Scene& s) {
             s.creature.SetOverrideTask(2);
             s.creature.SetOverrideTarget(s.bin.get());
             s.wanted = {Drawn(100, 89)};
         },
         {{19}, 2, {{0, 100}}},
         [](Scene& s) { EXPECT_EQ(s.creature.GetLastBeforeTarget(), s.bin.get()); }},
        {"the preferred task loses at OverrideProb",
         [](Scene& s) {
             s.Block("Puff", {{3, 1}});
             s.creature.SetOverrideTask(2);
             s.wanted = {Drawn(100, 90)};
         },
         {{19}, 3, {{0, 100}, {0, 0}}}},
        {"a preferred defend finds its enemy itself",
         [](Scene& s) {
             s.creature.SetOverrideTask(6);
             s.creature.SetOverrideTarget(&s.other);
             s.creature.SetLastTargets(s.bin.get(), s.tank.get());
             s.wanted = {Drawn(100, 0)};
         },
         {{19}, 6, {{0, 100}}},
         [](Scene& s) {
             EXPECT_EQ(s.creature.GetLastBeforeTarget(), nullptr);
             EXPECT_EQ(s.world.starts[0].object, nullptr);
         }},
        {"a preferred breed finds its partner itself",
         [](Scene& s) {
             s.creature.SetOverrideTask(1);
             s.creature.SetOverrideTarget(&s.other);
             s.wanted = {Drawn(100, 0)};
         },
         {{19}, 1, {{0, 100}}},
         [](Scene& s) { EXPECT_EQ(s.creature.GetLastBeforeTarget(), nullptr); }},
        {"an excluded preferred task is not drawn for",
         [](Scene& s) {
             s.Block("Puff", {{3, 1}});
             s.creature.SetOverrideTask(2);
             s.creature.ExcludeTask(2);
         },
         {{19}, 3, {{0, 0}}}},
    };
    for (const Row& row : rows)
        RunRow(row);
}

TEST(CreatureChoiceTest, GoingOnAndTheWeightedDraw) {
    const Row rows[] = {
        {"a doctor with prescriptions goes on",
         [](Scene& s) {
             s.Block("Zebra", {{5, 1}, {8, 1}});
             s.creature.SetLastTask(5);
             s.creature.GetPrescriptions() = {{3, false}};
         },
         {{19}, 5, {}}},
        {"a doctor without prescriptions draws",
         [](Scene& s) {
             s.Block("Zebra", {{8, 1}});
             s.creature.SetLastTask(5);
         },
         {{19}, 8, {{0, 0}}}},
        {"a stick holder with build data builds",
         [](Scene& s) {
             s.Block("Puff", {{2, 5}, {4, 0}});
             s.creature.SetItemType(1);
         },
         {{19}, 4, {}}},
        {"a stick holder without build data draws",
         [](Scene& s) {
             s.Block("Puff", {{2, 5}});
             s.creature.SetItemType(1);
         },
         {{19}, 2, {{0, 4}}}},
        {"breed and defend are excluded without permission",
         [](Scene& s) {
             s.Block("Puff", {{1, 5}, {2, 5}, {6, 5}});
         },
         {{19}, 2, {{0, 4}}}},
        {"breed and defend left out of the draw, and nothing else: flakeout",
         [](Scene& s) {
             s.Block("Puff", {{1, 5}, {6, 5}});
             s.world.Refuse({7});
         },
         {{7}, 0, {{0, -1}}}},
        {"breed allowed joins the draw",
         [](Scene& s) {
             s.Block("Puff", {{1, 5}, {2, 5}});
             s.creature.SetBreedAllowed(true);
             s.wanted = {Drawn(9, 4)};
         },
         {{19}, 1, {{0, 9}}}},
        {"the draw: 9 of {10, 30, 60}",
         [](Scene& s) {
             s.Block("Puff", {{2, 10}, {3, 30}, {4, 60}});
             s.wanted = {Drawn(99, 9)};
         },
         {{19}, 2, {{0, 99}}}},
        {"the draw: 10 of {10, 30, 60}",
         [](Scene& s) {
             s.Block("Puff", {{2, 10}, {3, 30}, {4, 60}});
             s.wanted = {Drawn(99, 10)};
         },
         {{19}, 3, {{0, 99}}}},
        {"the draw: 39 of {10, 30, 60}",
         [](Scene& s) {
             s.Block("Puff", {{2, 10}, {3, 30}, {4, 60}});
             s.wanted = {Drawn(99, 39)};
         },
         {{19}, 3, {{0, 99}}}},
        {"the draw: 40 of {10, 30, 60}",
         [](Scene& s) {
             s.Block("Puff", {{2, 10}, {3, 30}, {4, 60}});
             s.wanted = {Drawn(99, 40)};
         },
         {{19}, 4, {{0, 99}}}},
        {"the draw: 99 of {10, 30, 60}",
         [](Scene& s) {
             s.Block("Puff", {{2, 10}, {3, 30}, {4, 60}});
             s.wanted = {Drawn(99, 99)};
         },
         {{19}, 4, {{0, 99}}}},
        {"weights of 0 and excluded kinds are passed over",
         [](Scene& s) {
             s.Block("Puff", {{2, 0}, {3, 10}, {4, 10}});
             s.creature.ExcludeTask(3);
             s.wanted = {Drawn(9, 0)};
         },
         {{19}, 4, {{0, 9}}}},
        {"all weights 0: flakeout after one draw",
         [](Scene& s) {
             s.Block("Puff", {{2, 0}, {3, 0}});
             s.creature.SetLastTask(2);
             s.creature.ExcludeTask(5);
         },
         {{7}, 2, {{0, -1}}}},
        {"all weights 0 while idle: flakeout through going on",
         [](Scene& s) {
             s.Block("Puff", {{2, 0}});
         },
         {{7}, 0, {{0, -1}}}},
        {"weights beyond the 32-bit range: the total saturates",
         [](Scene& s) {
             s.Block("Puff", {{2, 2000000000}, {3, 2000000000}});
             s.wantedBy = [](TRandom& r) { return r.NextRange(0, 2147483646) >= 2000000000; };
         },
         {{19}, 3, {{0, 2147483646}}}},
        {"a new kind takes its remembered targets; a load goes to the after target",
         [](Scene& s) {
             s.Block("Puff", {{3, 1}});
             s.creature.RememberTaskTargets(3, s.well.get(), s.tank.get());
             s.creature.SetItemType(8);
         },
         {{19}, 3, {{0, 0}}},
         [](Scene& s) {
             EXPECT_EQ(s.creature.GetLastBeforeTarget(), s.well.get());
             EXPECT_EQ(s.creature.GetLastAfterTarget(), s.tank.get());
             EXPECT_EQ(s.world.starts[0].object, s.tank.get());
         }},
        {"the same kind again keeps the last targets",
         [](Scene& s) {
             s.Block("Puff", {{3, 1}});
             s.creature.RememberTaskTargets(3, s.well.get(), s.tank.get());
             s.creature.SetLastTask(3);
             s.creature.SetLastTargets(s.bin.get(), nullptr);
         },
         {{19}, 3, {{0, 0}}},
         [](Scene& s) { EXPECT_EQ(s.creature.GetLastBeforeTarget(), s.bin.get()); }},
        {"no generator: going on with LastTask",
         [](Scene& s) {
             s.Block("Puff", {{2, 1}, {3, 1}}).consumptions = {{1, {}}};
             s.creature.SetLastTask(3);
             s.creature.SetOverrideTask(2);
             s.useRandom = false;
         },
         {{19}, 3, {}}},
        {"a refused walk excludes its kind and chooses again",
         [](Scene& s) {
             s.Block("Puff", {{2, 1}, {3, 1}});
             s.wanted = {Drawn(1, 1)};
             int walks = 0;
             s.world.accepts = [walks](int kind, GObject*) mutable {
                 return kind != 19 || ++walks > 1;
             };
         },
         {{19, 19}, 2, {{0, 1}, {0, 0}}}},
    };
    for (const Row& row : rows)
        RunRow(row);
}

TEST(CreatureChoiceTest, GoingOnChoosesTheTargetOfTheWalk) {
    // LastTask 4 with both last targets places: the before target when one of its records of
    // the kind may be done and has a count above 0.
    const struct {
        const char* name;
        int lastTask;
        int item;
        int quantity;
        int requiredItem;
        bool afterIsPlace;
        const char* target;
    } rows[] = {
        {"build: a record the creature may do", 4, 0, 5, 0, true, "before"},
        {"build: its count is used up", 4, 0, 0, 0, true, "none"},
        {"build: it needs another item", 4, 0, 5, 2, true, "none"},
        {"build: the after target is no place", 4, 0, 5, 0, false, "none"},
        {"forage with food carried: the after target", 2, 7, 5, 0, true, "after"},
        {"gather water with water carried: the after target", 3, 8, 5, 0, true, "after"},
        {"forage with nothing carried", 2, 0, 5, 0, true, "none"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        RecordingWorld world;
        GCreature creature;
        creature.SetWorld(&world);
        creature.SetData(CreatureBlock("Puff", {{2, 1}, {3, 1}, {4, 1}}));
        auto before = MakePlace("Pile", {ResourceRecord(1, 3, 2), ResourceRecord(3, 0, 4)});
        before->GetLocationData()->resources.push_back(ResourceRecord(3, row.quantity, 4));
        before->GetLocationData()->resources.back().requiredItem = row.requiredItem;
        auto after = MakePlace("Food bin");
        GCreature notPlace;
        creature.SetLastTask(row.lastTask);
        creature.SetItemType(row.item);
        creature.SetLastTargets(before.get(),
                                row.afterIsPlace ? static_cast<GObject*>(after.get()) : &notPlace);
        creature.ExcludeTask(9);
        creature.GoOnLastTask();
        ASSERT_EQ(world.Kinds(), std::vector<int>{19});
        GObject* expected = std::string(row.target) == "before"  ? before.get()
                            : std::string(row.target) == "after" ? after.get()
                                                                 : nullptr;
        EXPECT_EQ(world.starts[0].object, expected);
        EXPECT_TRUE(creature.GetExcludedTasks().empty());
    }
}

TEST(CreatureChoiceTest, AWorldThatRefusesEverythingEndsInOneFlakeout) {
    for (bool busy : {false, true}) {
        SCOPED_TRACE(busy ? "every rule in play" : "a plain draw");
        RecordingWorld world;
        world.Refuse({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 12, 19});
        GCreature creature;
        creature.SetWorld(&world);
        TRandom random;
        creature.SetRandom(&random);
        auto block = CreatureBlock(busy ? "Elephant" : "Puff",
                                   {{2, 3}, {3, 1}, {4, 2}, {5, 7}, {6, 1}, {8, 4}, {9, 1}});
        if (busy) block->consumptions = {{1, {}}, {2, {}}};
        creature.SetData(std::move(block));
        if (busy) {
            creature.SetItemType(1);
            creature.SetOverrideTask(6);
            creature.SetOverrideProb(100);
            creature.SetLastTask(5);
            creature.GetPrescriptions() = {{1, true}};
        }
        std::vector<size_t> excludedAtWalks;
        world.onStart = [&](int kind, GObject*) {
            if (kind == 19) excludedAtWalks.push_back(creature.GetExcludedTasks().size());
        };

        creature.ChooseNextTask();

        const std::vector<int> asked = world.Kinds();
        ASSERT_FALSE(asked.empty());
        EXPECT_EQ(asked.back(), 7);
        EXPECT_EQ(std::count(asked.begin(), asked.end(), 7), 1);
        // Each refused walk excluded one more kind: six kinds drawn for, at most.
        const size_t expectedWalks = busy ? 7 : 6;
        ASSERT_EQ(excludedAtWalks.size(), expectedWalks);
        for (size_t i = 1; i < excludedAtWalks.size(); ++i)
            EXPECT_EQ(excludedAtWalks[i], excludedAtWalks[i - 1] + 1);
        // Besides: the food and water requests of the 1-in-100 draws, two a round at most.
        const auto needs =
            std::count(asked.begin(), asked.end(), 10) + std::count(asked.begin(), asked.end(), 12);
        EXPECT_EQ(asked.size(), expectedWalks + 1 + needs);
        EXPECT_LE(needs, 2 * static_cast<long>(expectedWalks + 1));
        EXPECT_EQ(creature.GetLastTask(), 0);
        EXPECT_TRUE(creature.GetExcludedTasks().empty());
    }
}

}  // namespace
