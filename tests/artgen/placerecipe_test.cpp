// Place recipes: a small group builds into a description with the level and stock states the
// location view sends, and a layout whose counts, cells, mount points and work areas follow the
// recipe's grids and pictures; each fault of a place's recipe is told by file and line, and two
// stages that would draw the same picture are refused.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>
#include <string>

#include "build.h"
#include "islandmap.h"
#include "placelayout.h"
#include "recipe.h"
#include "style.h"
#include "support/tempdir.h"

namespace {

class PlaceRecipeTest : public ::testing::Test {
protected:
    bool Build(const std::string& group, std::string* error) {
        std::ofstream(mDir.File("g.txt")) << group;
        drawkit::Style style;
        std::map<std::string, artgen::Motion> motions;
        std::map<std::string, artgen::Prop> props;
        if (!style.Load(ART_STYLE, error) ||
            !artgen::ReadMotions(std::string(ART_RECIPES) + "/motions.txt", &motions, error))
            return false;
        artgen::Recipe recipe;
        if (!artgen::ReadRecipe(mDir.File("g.txt"), motions, &recipe, error)) return false;
        mArt = artgen::GroupArt();
        return artgen::BuildGroup(recipe, style, props, mDir.Path(), &mArt, error);
    }
    std::string Where(int line) const { return mDir.File("g.txt") + ":" + std::to_string(line); }
    std::string Layout() const {
        for (const artgen::GroupFile& f : mArt.files)
            if (f.path == "xml/p.layout") return f.bytes;
        return "";
    }

    testing_support::TempDir mDir;
    artgen::GroupArt mArt;
};

constexpr const char* kHead = "group g\nkind place\nsheets 1\ncanvas 120 120\n";
constexpr const char* kParts =
    "part body layer=b when=stage:0\n  ellipse sand 0 -10 20 20\nend\n"
    "part grown layer=b when=stage:1\n  ellipse sand 0 -20 30 40\nend\n"
    "part heap layer=h when=stock:1\n  ellipse konut 16 -4 8 8\nend\n";

TEST_F(PlaceRecipeTest, APlaceHasEveryLevelAndStockStateAndALayoutOfItsGrids) {
    std::string error;
    ASSERT_TRUE(Build(std::string(kHead) +
                          "describe p stages=2 stock=2 flat\n  child b\n  child h stock\n"
                          "  layout 0-1\n    mXm\n    m@m\n    .S.\n  end\nend\n" +
                          kParts,
                      &error))
        << error;
    ASSERT_EQ(mArt.descriptions.size(), 1u);
    const drawkit::Description& d = mArt.descriptions.front();
    EXPECT_EQ(d.deltaZ, -30000);
    EXPECT_EQ(d.hitTest, "alpha");
    for (const drawkit::ChildDesc& c : d.children) {
        EXPECT_EQ(c.hitTest, "alpha");
        for (const char* id : {"normal", "level0_capacity0", "level0_capacity1", "level1_capacity0",
                               "level1_capacity1"})
            EXPECT_NE(c.FindState(id), nullptr) << c.id << " " << id;
        EXPECT_EQ(c.FindState("level2_capacity0"), nullptr);
    }
    // The stock child's empty picture is hidden, its heap shown at every level.
    const drawkit::ChildDesc* heap = d.FindChild("h");
    ASSERT_NE(heap, nullptr);
    EXPECT_TRUE(heap->FindState("level1_capacity0")->hidden);
    EXPECT_FALSE(heap->FindState("level0_capacity1")->hidden);
    EXPECT_EQ(heap->FindState("level0_capacity1")->frames,
              heap->FindState("level1_capacity1")->frames);
    const std::string layout = Layout();
    EXPECT_EQ(layout.find("<layout PerLevelImagesCount=\"2\" CapacityImagesCount=\"2\">"), 0u);
    EXPECT_NE(layout.find("<c x=\"0\" y=\"-1\" v=\"255\"/><c x=\"0\" y=\"0\" v=\"255\"/>"),
              std::string::npos);
    EXPECT_NE(layout.find("<WorkMountPoints><p x=\"-1\" y=\"-1\"/><p x=\"1\" y=\"-1\"/><p x=\"-1\" "
                          "y=\"0\"/><p x=\"1\" y=\"0\"/><p x=\"0\" y=\"1\"/></WorkMountPoints>"),
              std::string::npos);
    EXPECT_NE(layout.find("<WorkSpecial><p x=\"0\" y=\"1\"/></WorkSpecial>"), std::string::npos);
    // Work areas: the cells the pictures cover and the place's own, with a ring round them.
    EXPECT_NE(layout.find("<p x=\"-1\" y=\"-2\"/>"), std::string::npos);
    EXPECT_NE(layout.find("<p x=\"1\" y=\"1\"/>"), std::string::npos);
}

TEST_F(PlaceRecipeTest, CoveredCellsCountFromWhereThePositionLiesInItsCell) {
    drawkit::Image picture(40, 20);
    for (int x = 0; x < 40; ++x)
        picture.At(x, 10)[3] = 255;
    std::set<artgen::CellOffset> cells;
    // The position at pixel (20, 10) of the picture, in the middle of its cell.
    artgen::AddCoveredCells(picture, 20, 10, 10, 10, &cells);
    EXPECT_EQ(cells, (std::set<artgen::CellOffset>{{-1, 0}, {0, 0}, {1, 0}}));
    cells.clear();
    // At its cell's left edge: the ink from 20 pixels left of it lies in the cell to the left.
    artgen::AddCoveredCells(picture, 20, 10, 0, 10, &cells);
    EXPECT_EQ(cells, (std::set<artgen::CellOffset>{{-1, 0}, {0, 0}}));
}

TEST_F(PlaceRecipeTest, EachFaultIsToldByFileAndLine) {
    const std::string body = "  child b\n  layout 0-1\n    @\n  end\nend\n";
    struct Case {
        std::string place;
        std::string error;
    } cases[] = {
        {"describe p stages=2\n  child b\n  layout 0\n    @\n  end\nend\n",
         Where(5) + ": stage 1 needs exactly one layout"},
        {"describe p stages=2\n  child b\n  layout 0-1\n    X.\n  end\nend\n",
         Where(7) + ": a layout marks the place's own cell (@, o or M) once"},
        {"describe p stages=2\n  child b\n  layout 0-1\n    @o\n  end\nend\n",
         Where(7) + ": a layout marks the place's own cell (@, o or M) once"},
        {"describe p stages=2\n  child b\n  layout 0-2\n    @\n  end\nend\n",
         Where(7) + ": a stage beyond the place's stages"},
        {"describe p stages=2\n  child b\n  layout 0-1\n    @\n    X.\n  end\nend\n",
         Where(9) + ": the rows of a layout have one length"},
        {"describe p stages=2\n  child b\n  layout 0-1\n    @Q\n  end\nend\n",
         Where(8) + ": a layout cell is one of . X m s S @ o M or a walk cost 1 to 9"},
        {"describe p stages=2\n  child h stock\n" + body.substr(10),
         Where(6) + ": a stock child in a place without stock"},
        {"describe p stages=2\n  child b\n  state normal\n" + body.substr(10),
         Where(7) + ": a state belongs to a child with states of its own (child ID fixed)"},
        {"describe p stages=2\n  child c fixed\n    state shown\n" + body.substr(10),
         Where(6) + ": a child with states of its own lists \"normal\" first"},
        {"describe p stages=2 nolevels\n" + body, Where(5) + ": a place without level states "
                                                             "has one stage and no stock"},
        {"describe p stages=2\n  child b\n  layout 0-1\n    @\n  end\n",
         Where(10) + ": a place holds child, state and layout statements, and ends with end"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Build(std::string(kHead) + c.place + kParts, &error)) << c.place;
        EXPECT_EQ(error, c.error) << c.place;
    }
}

TEST_F(PlaceRecipeTest, TwoStagesThatLookTheSameAreRefused) {
    std::string error;
    EXPECT_FALSE(Build(std::string(kHead) +
                           "describe p stages=3\n  child b\n  layout 0-2\n    @\n  end\nend\n"
                           "part body layer=b\n  ellipse sand 0 -10 20 20\nend\n"
                           "part grown layer=b when=stage:1\n  ellipse sand 0 -20 30 40\nend\n",
                       &error));
    EXPECT_EQ(error, mDir.File("g.txt") + ": p draws stages 0 and 2 the same");
}

TEST_F(PlaceRecipeTest, TheIslandMapIsReadWholeWithEveryCharacterInTheLegend) {
    std::vector<artgen::LegendEntry> legend(2);
    legend[0].symbol = '.';
    legend[1].symbol = '~';
    legend[1].ground = artgen::Ground::kWater;
    legend[1].walk = 255;
    const std::string line(120, '.');
    std::string good;
    for (int row = 0; row < 90; ++row)
        good += row == 3 ? "~~" + line.substr(2) + "\n" : line + "\n";
    const std::string path = mDir.File("island.map");
    artgen::IslandMap map;
    std::string error;
    std::ofstream(path) << good;
    ASSERT_TRUE(map.Read(path, legend, &error)) << error;
    EXPECT_EQ(map.WalkAt(1, 3), 255);
    EXPECT_EQ(map.GroundAt(0, 3), artgen::Ground::kWater);
    // Outside the map: the nearest cell.
    EXPECT_EQ(map.WalkAt(-4, 3), 255);
    // The cells file: a count, then column, row and value of each cell that is not open.
    EXPECT_EQ(map.CellFile(), std::string("\x02\0\0\0\0\x03\xff\x01\x03\xff", 10));
    struct Case {
        std::string text;
        std::string error;
    } cases[] = {
        {good.substr(0, good.size() - 121), path + ": the map has 90 lines, not 89"},
        {good + line + "\n", path + ":91: the map has 90 lines"},
        {"#" + good.substr(1), path + ":1: column 0: '#' is not in the legend"},
        {good.substr(1), path + ":1: a line of the map has 120 cells"},
    };
    for (const Case& c : cases) {
        std::ofstream(path) << c.text;
        error.clear();
        EXPECT_FALSE(map.Read(path, legend, &error));
        EXPECT_EQ(error, c.error);
    }
}

}  // namespace
