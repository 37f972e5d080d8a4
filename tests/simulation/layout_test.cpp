// Location layouts, the level cell file and the layout cache, on files the tests register in
// memory.
#include "simulation/walk/layout.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

#include "foundation/file/fileindex.h"
#include "gv/gvfactory.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/walk/levelcells.h"
#include "support/logcapture.h"
#include "support/zxmlwriter.h"

namespace {

class LayoutTest : public testing::Test {
protected:
    void SetUp() override { GVFactory::Instance().SetDescriptionPrefix("xml/"); }
    void TearDown() override {
        GVLayoutCache::Clear();
        GVFactory::Instance().SetDescriptionPrefix("");
    }

    // Registers a file in memory; the test keeps its bytes.
    void Put(const std::string& name, const std::string& bytes) {
        mFiles.push_back(bytes);
        RegisterMemoryFile(name.c_str(), mFiles.back().data(),
                           static_cast<uint32_t>(mFiles.back().size()));
    }

    GVLayout LoadText(const std::string& text, bool* loaded = nullptr) {
        Put("xml/test.layout", text);
        GVLayout layout;
        const bool ok = layout.Load("xml/test.layout");
        if (loaded != nullptr) *loaded = ok;
        return layout;
    }

    std::deque<std::string> mFiles;
};

struct LevelCountCase {
    const char* text;
    int32_t perLevel;
    int32_t capacity;
    size_t levels;
};

TEST_F(LayoutTest, CountsAndLevels) {
    const LevelCountCase cases[] = {
        {"<layout/>", 1, 0, 1},
        {"<layout></layout>", 1, 0, 1},
        {"<layout PerLevelImagesCount=\"3\"><level/></layout>", 3, 0, 3},
        {"<layout PerLevelImagesCount=\"-4\" CapacityImagesCount=\"3\"/>", 1, 3, 1},
        {"<layout PerLevelImagesCount=\"two\" CapacityImagesCount=\"x\"/>", 1, 0, 1},
        // Level elements beyond the count are kept; their names do not matter.
        {"<layout PerLevelImagesCount=\"1\"><a/><b/><level/></layout>", 1, 0, 3},
        {"<?xml version=\"1.0\"?><layout PerLevelImagesCount=\"2\"><x/></layout>", 2, 0, 2},
        // The count is read as it stands, past any level the file could list.
        {"<layout PerLevelImagesCount=\"99999999999\"/>", 2147483647, 0, 256},
    };
    for (const LevelCountCase& test : cases) {
        SCOPED_TRACE(test.text);
        bool loaded = false;
        GVLayout layout = LoadText(test.text, &loaded);
        EXPECT_TRUE(loaded);
        EXPECT_EQ(layout.perLevelImagesCount, test.perLevel);
        EXPECT_EQ(layout.capacityImagesCount, test.capacity);
        ASSERT_EQ(layout.levels.size(), test.levels);
        EXPECT_TRUE(layout.levels.back().walkabilityCells.empty());
        EXPECT_NE(layout.GetLevel(static_cast<uint32_t>(test.levels - 1)), nullptr);
        EXPECT_EQ(layout.GetLevel(static_cast<uint32_t>(test.levels)), nullptr);
    }
}

TEST_F(LayoutTest, NoLayoutElement) {
    for (const char* text : {"<levels><level/></levels>", "just words", "", "<Layout/>"}) {
        SCOPED_TRACE(text);
        bool loaded = true;
        GVLayout layout = LoadText(text, &loaded);
        EXPECT_FALSE(loaded);
        EXPECT_TRUE(layout.levels.empty());
        EXPECT_EQ(layout.perLevelImagesCount, 0);
    }
    // A missing file, into a layout that held something.
    GVLayout layout = LoadText("<layout PerLevelImagesCount=\"2\"/>");
    ASSERT_EQ(layout.levels.size(), 2u);
    EXPECT_FALSE(layout.Load("xml/missing.layout"));
    EXPECT_TRUE(layout.levels.empty());
    EXPECT_EQ(layout.perLevelImagesCount, 0);
    EXPECT_EQ(layout.capacityImagesCount, 0);
}

TEST_F(LayoutTest, WalkabilityCells) {
    GVLayout layout = LoadText(
        "<layout><level><WalkabilityCells>"
        "<c x=\"0\" y=\"0\" v=\"0\"/><c x=\"1\" y=\"0\"/><c x=\"2\" y=\"0\" v=\"x\"/>"
        "<c x=\"-2\" y=\"1\" v=\"17\"/><c x=\"3\" y=\"4\" v=\"300\"/>"
        "<c x=\"99999999999\" y=\"a\" v=\"-1\"/>"
        "</WalkabilityCells></level></layout>");
    ASSERT_EQ(layout.levels.size(), 1u);
    const std::vector<GVLayoutCell>& cells = layout.levels[0].walkabilityCells;
    ASSERT_EQ(cells.size(), 6u);
    const int32_t expected[][3] = {{0, 0, 255}, {1, 0, 255}, {2, 0, 255},
                                   {-2, 1, 17}, {3, 4, 300}, {2147483647, 0, -1}};
    for (size_t i = 0; i < cells.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(cells[i].column, expected[i][0]);
        EXPECT_EQ(cells[i].row, expected[i][1]);
        EXPECT_EQ(cells[i].value, expected[i][2]);
    }
}

TEST_F(LayoutTest, PointListsOfEachLevel) {
    GVLayout layout = LoadText(
        "<layout PerLevelImagesCount=\"2\" CapacityImagesCount=\"3\">"
        "<level0>"
        "<WorkSpecial><p x=\"4\" y=\"-1\"/></WorkSpecial>"
        "<WorkAreas><p x=\"2\" y=\"1\"/><q x=\"2.5\" y=\"-0.5\"/></WorkAreas>"
        "<WorkAreas><p x=\"9\" y=\"9\"/></WorkAreas>"
        "<WorkMountPoints><p x=\"2\" y=\"2\"/><p/></WorkMountPoints>"
        "<WalkabilityCells><c x=\"0\" y=\"0\" v=\"255\"/></WalkabilityCells>"
        "</level0>"
        "<level1><WorkMountPoints><p x=\"nan\" y=\"1e30\"/><p x=\"inf\" y=\"-1000001\"/>"
        "<p x=\"1000000\" y=\"-1000000\"/><p x=\"two\" y=\"3e0\"/>"
        "<p x=\"nan\" y=\"5\"/><p x=\"4\" y=\"-2e6\"/></WorkMountPoints></level1>"
        "</layout>");
    ASSERT_EQ(layout.levels.size(), 2u);
    const GVLayoutLevel& first = layout.levels[0];
    // Only the first list of a name is read.
    ASSERT_EQ(first.workAreas.size(), 2u);
    EXPECT_EQ(first.workAreas[1].x, 2.5f);
    EXPECT_EQ(first.workAreas[1].y, -0.5f);
    ASSERT_EQ(first.workMountPoints.size(), 2u);
    EXPECT_EQ(first.workMountPoints[0].y, 2.0f);
    EXPECT_EQ(first.workMountPoints[1].x, 0.0f);  // absent
    ASSERT_EQ(first.workSpecial.size(), 1u);
    EXPECT_EQ(first.workSpecial[0].x, 4.0f);
    EXPECT_EQ(first.workSpecial[0].y, -1.0f);
    EXPECT_EQ(first.walkabilityCells.size(), 1u);

    // Points no grid could use read 0, both coordinates; a text that is no number reads 0 alone.
    const std::vector<TVec2>& points = layout.levels[1].workMountPoints;
    ASSERT_EQ(points.size(), 6u);
    const float expected[][2] = {{0, 0}, {0, 0}, {1000000, -1000000}, {0, 3}, {0, 0}, {0, 0}};
    for (size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(points[i].x, expected[i][0]);
        EXPECT_EQ(points[i].y, expected[i][1]);
    }
    EXPECT_TRUE(layout.levels[1].workAreas.empty());
}

TEST_F(LayoutTest, CompressedFilesReadAlike) {
    const std::string text =
        "<layout PerLevelImagesCount=\"2\"><l><WalkabilityCells><c x=\"1\" y=\"2\" v=\"9\"/>"
        "</WalkabilityCells></l></layout>";
    Put("xml/packed.layout", testing_support::PackZxml(text));
    GVLayout layout;
    ASSERT_TRUE(layout.Load("xml/packed.layout"));
    EXPECT_EQ(layout.perLevelImagesCount, 2);
    ASSERT_EQ(layout.levels.size(), 2u);
    ASSERT_EQ(layout.levels[0].walkabilityCells.size(), 1u);
    EXPECT_EQ(layout.levels[0].walkabilityCells[0].value, 9);
}

TEST_F(LayoutTest, AHugeLevelCountStopsThePadding) {
    testing_support::LogCapture log;
    GVLayout layout = LoadText("<layout PerLevelImagesCount=\"2147483647\"><a/><b/></layout>");
    EXPECT_EQ(layout.perLevelImagesCount, 2147483647);
    EXPECT_EQ(layout.levels.size(), 256u);
    const std::vector<std::string> messages = log.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("xml/test.layout"), std::string::npos) << messages[0];

    // More listed levels than the padding reaches: every one is kept.
    std::string many = "<layout PerLevelImagesCount=\"1000\">";
    for (int i = 0; i < 300; ++i)
        many += "<l/>";
    layout = LoadText(many + "</layout>");
    EXPECT_EQ(layout.levels.size(), 300u);

    // A count the padding reaches logs nothing.
    log.Clear();
    layout = LoadText("<layout PerLevelImagesCount=\"256\"/>");
    EXPECT_EQ(layout.levels.size(), 256u);
    EXPECT_TRUE(log.Messages().empty());
}

// The level cell file.

std::string Count(int32_t count) {
    const uint32_t bits = static_cast<uint32_t>(count);
    return std::string{static_cast<char>(bits & 0xFF), static_cast<char>((bits >> 8) & 0xFF),
                       static_cast<char>((bits >> 16) & 0xFF),
                       static_cast<char>((bits >> 24) & 0xFF)};
}

struct CellFileCase {
    const char* name;
    std::string bytes;
    std::vector<std::vector<int32_t>> cells;
};

TEST_F(LayoutTest, LevelCellFiles) {
    const CellFileCase cases[] = {
        {"no cells", Count(0), {}},
        {"count 2, one record whole", Count(2) + std::string("\x05\x06\x07\x08", 4), {{5, 6, 7}}},
        {"bytes are unsigned", Count(1) + "\xff\xfe\x80", {{255, 254, 128}}},
        {"records in file order",
         Count(3) + std::string("\x01\x02\x00\x01\x02\xff\x00\x00\x0b", 9),
         {{1, 2, 0}, {1, 2, 255}, {0, 0, 11}}},
        {"count below the records",
         Count(1) + std::string("\x01\x01\x01\x02\x02\x02", 6),
         {{1, 1, 1}}},
        {"negative count", Count(-5) + std::string("\x01\x01\x01", 3), {}},
        {"count cut short", std::string("\x02\x00", 2), {}},
        {"empty file", std::string(), {}},
        // A count of 2^31 - 1 on a 7-byte file: one cell, and nothing reserved from the count.
        {"huge count", Count(2147483647) + std::string("\x09\x08\x07", 3), {{9, 8, 7}}},
    };
    for (const CellFileCase& test : cases) {
        SCOPED_TRACE(test.name);
        Put("xml/level1.layout", test.bytes);
        std::vector<GVLayoutCell> cells = {GVLayoutCell{40, 40, 40}};
        ASSERT_TRUE(LoadLevelCells("xml/level1.layout", cells));
        ASSERT_EQ(cells.size(), test.cells.size());
        for (size_t i = 0; i < cells.size(); ++i) {
            EXPECT_EQ(cells[i].column, test.cells[i][0]);
            EXPECT_EQ(cells[i].row, test.cells[i][1]);
            EXPECT_EQ(cells[i].value, test.cells[i][2]);
        }
    }
}

TEST_F(LayoutTest, LevelCellsOfManyRecordsAndOfNoFile) {
    std::string bytes = Count(1000);
    for (int i = 0; i < 1000; ++i)
        bytes += std::string{static_cast<char>(i % 120), static_cast<char>(i / 120),
                             static_cast<char>(i % 256)};
    Put("XML/Level1.layout", bytes);
    std::vector<GVLayoutCell> cells;
    ASSERT_TRUE(LoadLevelCells("xml/level1.layout", cells));  // names ignore case
    ASSERT_EQ(cells.size(), 1000u);
    EXPECT_EQ(cells[999].column, 999 % 120);
    EXPECT_EQ(cells[999].row, 999 / 120);
    EXPECT_EQ(cells[999].value, 999 % 256);

    // A file that does not open leaves the list alone.
    EXPECT_FALSE(LoadLevelCells("xml/none.layout", cells));
    EXPECT_EQ(cells.size(), 1000u);
}

// The cache.

TEST_F(LayoutTest, CacheKeepsWhatLoaded) {
    Put("xml/well.layout", "<layout PerLevelImagesCount=\"4\"/>");
    GVLayout* well = GVLayoutCache::Get("well");
    ASSERT_NE(well, nullptr);
    EXPECT_EQ(well->levels.size(), 4u);
    // Kept: the file may go, the layout stays.
    RegisterMemoryFile("xml/well.layout", nullptr, 0);
    EXPECT_EQ(GVLayoutCache::Get("well"), well);
    // Through the factory's description folder.
    GVFactory::Instance().SetDescriptionPrefix("other/");
    Put("other/hut.layout", "<layout CapacityImagesCount=\"2\"/>");
    EXPECT_EQ(GVLayoutCache::Get("hut")->capacityImagesCount, 2);
}

TEST_F(LayoutTest, CacheAnswersTheEmptyLayoutAndTriesAgain) {
    GVLayout* first = GVLayoutCache::Get("store");
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->levels.empty());
    EXPECT_EQ(first->perLevelImagesCount, 0);
    EXPECT_EQ(first->capacityImagesCount, 0);
    EXPECT_EQ(GVLayoutCache::Get("store"), first);  // the same empty layout
    EXPECT_EQ(GVLayoutCache::Get("no layout here"), first);
    // The name was not remembered: a file registered now is read.
    Put("xml/store.layout", "<layout PerLevelImagesCount=\"2\"/>");
    GVLayout* second = GVLayoutCache::Get("store");
    EXPECT_NE(second, first);
    EXPECT_EQ(second->levels.size(), 2u);
    // A file without a layout element gives the empty layout too.
    Put("xml/broken.layout", "<nothing/>");
    EXPECT_EQ(GVLayoutCache::Get("broken"), first);
}

}  // namespace
