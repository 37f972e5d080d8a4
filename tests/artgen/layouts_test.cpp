// The places' layouts through the world's own loaders: every animator of the location
// definitions has a ".layout" the layout cache reads; its counts are the pictures its
// description draws (its level states); every level of a place creatures or hyenas come to has
// work areas and mount points; the treasure and the bonuses, found by their work areas and
// moved about, cover no cells. The landscape's cell file reads whole.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <string>

#include "foundation/file/assetfolder.h"
#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "gv/gvfactory.h"
#include "island.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/walk/levelcells.h"
#include "support/tempdir.h"

namespace {

using island_test::Island;

class LayoutTest : public island_test::BuiltFolderTest {
protected:
    // The level and stock pictures the description draws: its level states' largest numbers.
    static void CountPictures(const std::string& name, int* levels, int* stocks) {
        *levels = 0;
        *stocks = 0;
        const std::string text =
            testing_support::ReadFileBytes(std::string(ART_GAME_FOLDER) + "/xml/" + name + ".xml");
        TXmlNode document;
        document.ParseString(text.c_str(), text.size());
        if (document.GetChildren().empty()) return;
        const TXmlNode* objects = document.GetChildren().front()->FindChild("objects");
        for (const TXmlNode* obj : objects->GetChildren()) {
            const TXmlNode* states = obj->FindChild("states");
            for (const TXmlNode* s : states->GetChildren()) {
                int level = 0, stock = 0;
                if (std::sscanf(s->GetAttribute("id").c_str(), "level%d_capacity%d", &level,
                                &stock) == 2) {
                    *levels = std::max(*levels, level + 1);
                    *stocks = std::max(*stocks, stock + 1);
                }
            }
        }
    }
};

TEST_F(LayoutTest, EveryPlaceHasALayoutCountingItsPictures) {
    for (const std::string& animator : Island::Get().AllAnimators()) {
        SCOPED_TRACE(animator);
        GVLayout layout;
        ASSERT_TRUE(layout.Load(str(("xml/" + animator + ".layout").c_str())));
        int levels = 0, stocks = 0;
        CountPictures(animator, &levels, &stocks);
        EXPECT_EQ(layout.perLevelImagesCount, std::max(1, levels));
        // One stock picture is none at all: a count of 0 shows "capacity0" only.
        EXPECT_EQ(std::max(1, layout.capacityImagesCount), std::max(1, stocks));
        EXPECT_EQ(int(layout.levels.size()), layout.perLevelImagesCount);
        // The cache hands out the same.
        EXPECT_EQ(GVLayoutCache::Get(str(animator.c_str()))->perLevelImagesCount,
                  layout.perLevelImagesCount);
    }
}

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
