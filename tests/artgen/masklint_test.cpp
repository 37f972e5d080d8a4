// The landscape's paint against its walk grid: the painter's material mask, made from the map
// the level's cells come from, agrees with the cells the game reads (xml/level1.layout): the
// middle of every cell shows its own cell's ground, so no cell a creature may stand on shows
// water or cliff there, and every cell of water is painted as water, however the edges wander.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "groundpaint.h"
#include "islandmap.h"
#include "recipe.h"
#include "support/tempdir.h"

namespace {

using artgen::Ground;
using artgen::GroundMask;
using artgen::IslandMap;

class MaskLint : public ::testing::Test {
protected:
    void SetUp() override {
        std::map<std::string, artgen::Motion> motions;
        std::string error;
        ASSERT_TRUE(
            artgen::ReadMotions(std::string(ART_RECIPES) + "/motions.txt", &motions, &error))
            << error;
        ASSERT_TRUE(
            artgen::ReadRecipe(std::string(ART_RECIPES) + "/level1.txt", motions, &mRecipe, &error))
            << error;
        ASSERT_TRUE(mMap.Read(std::string(ART_RECIPES) + "/" + mRecipe.map, mRecipe.legend, &error))
            << error;
        // The cells the game reads.
        const std::string file =
            testing_support::ReadFileBytes(std::string(ART_GAME_FOLDER) + "/xml/level1.layout");
        ASSERT_GE(file.size(), 4u);
        for (size_t i = 4; i + 3 <= file.size(); i += 3)
            mWalk[{uint8_t(file[i]), uint8_t(file[i + 1])}] = uint8_t(file[i + 2]);
    }
    int Walk(int column, int row) const {
        auto it = mWalk.find({column, row});
        return it == mWalk.end() ? 0 : it->second;
    }

    artgen::Recipe mRecipe;
    IslandMap mMap;
    std::map<std::pair<int, int>, int> mWalk;
};

TEST_F(MaskLint, TheGameReadsTheMapsCells) {
    for (int row = 0; row < IslandMap::kRows; ++row)
        for (int column = 0; column < IslandMap::kColumns; ++column)
            ASSERT_EQ(Walk(column, row), mMap.WalkAt(column, row)) << column << "," << row;
}

TEST_F(MaskLint, EveryCellsMiddleShowsItsGroundOpenCellsNoWaterNorCliffAndWaterAsWater) {
    const GroundMask mask(mMap);
    int faults = 0;
    for (int row = 0; row < IslandMap::kRows && faults < 20; ++row) {
        for (int column = 0; column < IslandMap::kColumns && faults < 20; ++column) {
            const int x = column * IslandMap::kCell + IslandMap::kCell / 2;
            const int y = row * IslandMap::kCell + IslandMap::kCell / 2;
            const Ground painted = mask.At(x, y);
            const std::string where = std::to_string(column) + "," + std::to_string(row);
            if (Walk(column, row) < 255 && artgen::IsWaterOrCliff(painted)) {
                ADD_FAILURE() << "the open cell " << where << " is painted as water or cliff";
                ++faults;
            }
            if (mMap.GroundAt(column, row) == Ground::kWater && painted != Ground::kWater) {
                ADD_FAILURE() << "the water cell " << where << " is not painted as water";
                ++faults;
            }
            if (painted != mMap.GroundAt(column, row)) {
                ADD_FAILURE() << "the cell " << where << " shows another ground in its middle";
                ++faults;
            }
        }
    }
}

}  // namespace
