// The places' layouts through the world's own loaders: every level of a place creatures or
// hyenas come to has work areas and mount points; the treasure and the bonuses, found by their
// work areas and moved about, cover no cells. The landscape's cell file reads whole. (That every
// place has a layout counting its pictures is the art lint's, tests/art.)
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "island.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/walk/levelcells.h"
#include "support/tempdir.h"

namespace {

using island_test::Island;

using LayoutTest = island_test::BuiltFolderTest;

TEST_F(LayoutTest, EveryLevelOfAGoalHasWorkAreasAndMountPoints) {
    for (const std::string& animator : Island::Get().AllAnimators()) {
        if (!Island::Get().IsGoal(animator)) continue;
        SCOPED_TRACE(animator);
        const GVLayout* layout = GVLayoutCache::Get(str(animator.c_str()));
        ASSERT_FALSE(layout->levels.empty());
        for (size_t level = 0; level < layout->levels.size(); ++level) {
            EXPECT_FALSE(layout->levels[level].workAreas.empty()) << level;
            EXPECT_FALSE(layout->levels[level].workMountPoints.empty()) << level;
        }
    }
}

TEST_F(LayoutTest, TheTreasureAndTheBonusesCoverNoCells) {
    for (const std::string& animator : Island::Get().AllAnimators()) {
        if (animator != "loc_treasure" && animator.rfind("loc_bonus_", 0) != 0) continue;
        SCOPED_TRACE(animator);
        const GVLayout* layout = GVLayoutCache::Get(str(animator.c_str()));
        ASSERT_EQ(layout->levels.size(), 1u);
        EXPECT_TRUE(layout->levels[0].walkabilityCells.empty());
        EXPECT_EQ(layout->capacityImagesCount, 0);
    }
}

TEST_F(LayoutTest, TheLandscapesCellsReadWholeAndInsideTheGrid) {
    std::vector<GVLayoutCell> cells;
    ASSERT_TRUE(LoadLevelCells("xml/level1.layout", cells));
    const std::string bytes =
        testing_support::ReadFileBytes(std::string(ART_GAME_FOLDER) + "/xml/level1.layout");
    ASSERT_GE(bytes.size(), 4u);
    EXPECT_EQ(cells.size(), (bytes.size() - 4) / 3);
    EXPECT_EQ((bytes.size() - 4) % 3, 0u);
    std::set<std::pair<int, int>> seen;
    for (const GVLayoutCell& c : cells) {
        EXPECT_LT(c.column, 120);
        EXPECT_LT(c.row, 90);
        EXPECT_GT(c.value, 0);
        EXPECT_TRUE(seen.emplace(c.column, c.row).second) << c.column << "," << c.row;
    }
}

}  // namespace
