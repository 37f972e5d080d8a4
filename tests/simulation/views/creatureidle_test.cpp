// The idle variations of creature views: their timing, their keys, the head turns of a failure,
// the world factor, and the seedable generator behind them.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "foundation/random.h"
#include "viewfixture.h"

namespace views_test {
namespace {

// (update, key shown) of every variation within that many updates: before each update the root
// shows "think", so any other state after it is a variation.
std::vector<std::pair<int, std::string>> Variations(GVWorldCreature* view, int updates) {
    std::vector<std::pair<int, std::string>> seen;
    for (int update = 1; update <= updates; ++update) {
        view->GetSprite()->SetState(Key("think"), true, false);
        view->Refresh();
        if (Shown(view) != "think") seen.emplace_back(update, Shown(view));
    }
    return seen;
}

TEST_F(ViewTest, IdleVariationsCome102To126UpdatesApartAndTurnTheHeadEveryOtherTime) {
    GVWorldCreature::ResetIdleVariations(2024);
    GVWorldCreature* view = MakeCreature(100, 100);
    const auto seen = Variations(view, 5000);
    ASSERT_GT(seen.size(), 30u);
    EXPECT_EQ(seen.front().first, 76);  // the first threshold is 75
    int shortest = 1000;
    int longest = 0;
    int left = 0;
    int right = 0;
    for (size_t i = 0; i < seen.size(); ++i) {
        if (i > 0) {
            const int gap = seen[i].first - seen[i - 1].first;
            shortest = std::min(shortest, gap);
            longest = std::max(longest, gap);
        }
        if (i % 2 == 0) {
            EXPECT_EQ(seen[i].second, "stay_NE") << i;
        } else {
            left += seen[i].second == "stay_NE_headLeft";
            right += seen[i].second == "stay_NE_headRight";
        }
    }
    EXPECT_GE(shortest, 102);
    EXPECT_LE(longest, 126);
    EXPECT_LT(shortest, longest);
    EXPECT_GT(left, 0);
    EXPECT_GT(right, 0);
    EXPECT_EQ(left + right, static_cast<int>(seen.size() / 2));

    // The same seed gives the same variations; the world's own generator never moved.
    GVWorldCreature::ResetIdleVariations(2024);
    EXPECT_EQ(Variations(MakeCreature(100, 100), 5000), seen);
    TRandom fresh;
    EXPECT_EQ(mWorld.GetRandom().Next(), fresh.Next());
}

TEST_F(ViewTest, AFailureTurnsTheHeadEvery11UpdatesUntilMoreThanSixTurnsEndIt) {
    GVWorldCreature* view = MakeCreature(100, 100);
    RecordingListener listener;
    view->AddListener(&listener);
    view->SetState(Key("failed"));
    // 14 turns of the toggle (7 with a head), then the stop at the next threshold.
    const auto seen = Variations(view, 8 + 14 * 11);
    ASSERT_EQ(seen.size(), 15u);
    EXPECT_EQ(seen[0].first, 8);  // 10 per update passes 75 at 80
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].first - seen[i - 1].first, 11) << i;
    for (size_t i = 0; i < 14; ++i) {
        const int turn = static_cast<int>(i / 2);
        const std::string head = turn % 2 == 0 ? "stay_SW_headRight" : "stay_SW_headLeft";
        EXPECT_EQ(seen[i].second, i % 2 == 0 ? "stay_SW" : head) << i;
    }
    EXPECT_EQ(seen[14].second, "stay_SW");
    EXPECT_EQ(view->GetState(), Key("stay"));
    EXPECT_EQ(listener.events, (std::vector<std::string>{"failed", "stay"}));
}

TEST_F(ViewTest, IdleVariationsOfOtherStatesAndOfAFlakeOut) {
    GVWorldCreature::ResetIdleVariations(5);
    GVWorldCreature* walker = MakeCreature(100, 100);
    walker->SetSpeed(0.001f);
    walker->SetPath({TVec2(100, 1000)});
    const auto walking = Variations(walker, 400);
    ASSERT_GE(walking.size(), 2u);
    EXPECT_EQ(walking[0].second, "walk_SE");
    EXPECT_TRUE(walking[1].second == "walk_SE_headLeft" || walking[1].second == "walk_SE_headRight")
        << walking[1].second;

    GVWorldCreature::ResetIdleVariations(5);
    GVWorldCreature* sleeper = MakeCreature(200, 100);
    sleeper->SetState(Key("flakeOut"));
    const auto sleeping = Variations(sleeper, 400);
    ASSERT_GE(sleeping.size(), 2u);
    EXPECT_EQ(sleeping[0].second, "flakeOut");
    EXPECT_TRUE(sleeping[1].second == "flakeOut_headLeft" ||
                sleeping[1].second == "flakeOut_headRight")
        << sleeping[1].second;
}

TEST_F(ViewTest, TheWorldFactorDrivesTheIdleTimer) {
    GVWorldCreature* view = MakeCreature(100, 100);
    view->SetWorldSpeedFactor(0.0f);
    EXPECT_TRUE(Variations(view, 1000).empty());
    view->SetWorldSpeedFactor(4.0f);
    const auto seen = Variations(view, 19);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].first, 19);  // 4 per update passes 75 at 76
}

TEST_F(ViewTest, AnIdleRangeOfZeroGivesTheBaseWithoutSpread) {
    GVWorldCreature* view = MakeCreature(100, 100);
    GVViewConfig config;
    config.idleBase = 40;
    config.idleRange = 0;
    view->Configure(&config);
    const auto seen = Variations(view, 400);
    ASSERT_GE(seen.size(), 5u);
    EXPECT_EQ(seen[0].first, 76);  // Configure keeps the threshold it had
    for (size_t i = 1; i < seen.size(); ++i)
        EXPECT_EQ(seen[i].first - seen[i - 1].first, 41) << i;
    // A failure with range 0 takes the base alone too.
    view->SetState(Key("failed"));
    const auto failing = Variations(view, 60);
    ASSERT_GE(failing.size(), 2u);
    EXPECT_EQ(failing[1].first - failing[0].first, 5);  // 10 per update passes 40 at 50
}

}  // namespace
}  // namespace views_test
