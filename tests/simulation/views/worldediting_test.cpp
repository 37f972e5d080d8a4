// Editing the landscape cells and the edited location's layout in memory.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "simulation/walk/layout.h"
#include "viewfixture.h"

namespace views_test {
namespace {

class ViewEditingTest : public ViewTest {
protected:
    void SetUp() override {
        ViewTest::SetUp();
        PutLayout("loc_well",
                  "<layout><level><WalkabilityCells><c x=\"0\" y=\"0\"/>"
                  "</WalkabilityCells><WorkMountPoints><p x=\"2\" y=\"0\"/>"
                  "</WorkMountPoints><WorkAreas><p x=\"1\" y=\"0\"/></WorkAreas>"
                  "</level></layout>");
        mWell = MakeLocation("loc_well", 100, 100);  // cell (5, 5)
        mManager->RebuildWalkability();
    }

    // The landscape cells as "column,row=value".
    std::vector<std::string> LevelCells() const {
        std::vector<std::string> cells;
        for (const GVLayoutCell& cell : mManager->GetLevelCells())
            cells.push_back(std::to_string(cell.column) + "," + std::to_string(cell.row) + "=" +
                            std::to_string(cell.value));
        return cells;
    }
    std::vector<std::string> WellCells() const {
        std::vector<std::string> cells;
        for (const GVLayoutCell& cell : mWell->GetLevelRecord()->walkabilityCells)
            cells.push_back(std::to_string(cell.column) + "," + std::to_string(cell.row) + "=" +
                            std::to_string(cell.value));
        return cells;
    }
    static std::vector<std::string> Points(const std::vector<TVec2>& points) {
        std::vector<std::string> text;
        for (const TVec2& point : points)
            text.push_back(std::to_string(static_cast<int>(point.x)) + "," +
                           std::to_string(static_cast<int>(point.y)));
        return text;
    }

    GVWorldLocation* mWell = nullptr;
};

using Texts = std::vector<std::string>;

TEST_F(ViewEditingTest, NothingIsEditedWithoutAnEditedLocationWithARecord) {
    GVWorldLocation* plain = MakeLocation("loc_plain", 300, 300);
    for (GVWorldLocation* edited : {static_cast<GVWorldLocation*>(nullptr), plain}) {
        mManager->SetEditedLocation(edited);
        mManager->EditWalkCell(305, 305, 255);
        mManager->EditLayoutMode3(125, 105, 255);
        mManager->EditLayoutMode4(125, 105, true);
        mManager->EditLayoutMode5(145, 105, true);
        mManager->EditLayoutMode6(125, 105, true);
    }
    EXPECT_TRUE(LevelCells().empty());
    EXPECT_EQ(WellCells(), (Texts{"0,0=255"}));
    EXPECT_EQ(Points(mWell->GetLevelRecord()->workMountPoints), (Texts{"2,0"}));
    EXPECT_EQ(Points(mWell->GetLevelRecord()->workAreas), (Texts{"1,0"}));
    EXPECT_TRUE(mWell->GetLevelRecord()->workSpecial.empty());
}

TEST_F(ViewEditingTest, TheWalkCellsAreAddedChangedAndErasedWithTheGrid) {
    mManager->SetEditedLocation(mWell);
    const struct {
        const char* what;
        bool landscape;
        float x, y;
        int value;
        Texts cells;
        int column, row, grid;
    } rows[] = {
        {"landscape add", true, 305, 305, 255, {"15,15=255"}, 15, 15, 255},
        {"landscape change", true, 315, 319, 100, {"15,15=100"}, 15, 15, 100},
        {"landscape second", true, 45, 5, 7, {"15,15=100", "2,0=7"}, 2, 0, 7},
        {"landscape erase", true, 305, 305, 0, {"2,0=7"}, 15, 15, 0},
        {"landscape add 0", true, 305, 305, 0, {"2,0=7", "15,15=0"}, 15, 15, 0},
        {"location add", false, 125, 105, 255, {"0,0=255", "1,0=255"}, 6, 5, 255},
        {"location change", false, 139, 119, 40, {"0,0=255", "1,0=40"}, 6, 5, 40},
        {"location left of it", false, 85, 105, 3, {"0,0=255", "1,0=40", "-1,0=3"}, 4, 5, 3},
        {"location erase", false, 125, 105, 0, {"0,0=255", "-1,0=3"}, 6, 5, 0},
        {"location add 0", false, 125, 105, 0, {"0,0=255", "-1,0=3"}, 6, 5, 0},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.landscape) {
            mManager->EditWalkCell(row.x, row.y, row.value);
            EXPECT_EQ(LevelCells(), row.cells);
        } else {
            mManager->EditLayoutMode3(row.x, row.y, row.value);
            EXPECT_EQ(WellCells(), row.cells);
        }
        EXPECT_EQ(Cell(row.column, row.row), row.grid);
    }
}

TEST_F(ViewEditingTest, ThePointListsTakeEachRelativeCellOnce) {
    mManager->SetEditedLocation(mWell);
    const GVLayoutLevel& level = *mWell->GetLevelRecord();
    const struct {
        int mode;
        float x, y;
        bool add;
        Texts mounts, areas, special;
    } rows[] = {
        {4, 145, 105, true, {"2,0"}, {"1,0"}, {}},  // there already
        {4, 85, 85, true, {"2,0", "-1,-1"}, {"1,0"}, {}},
        {4, 145, 105, false, {"-1,-1"}, {"1,0"}, {}},
        {4, 145, 105, false, {"-1,-1"}, {"1,0"}, {}},  // not there
        {5, 105, 145, true, {"-1,-1"}, {"1,0", "0,2"}, {}},
        {5, 125, 105, false, {"-1,-1"}, {"0,2"}, {}},
        {6, 105, 65, true, {"-1,-1"}, {"0,2"}, {"0,-2"}},
        {6, 105, 65, true, {"-1,-1"}, {"0,2"}, {"0,-2"}},
        {6, 105, 65, false, {"-1,-1"}, {"0,2"}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.mode) + (row.add ? " add " : " remove ") +
                     std::to_string(row.x) + "," + std::to_string(row.y));
        if (row.mode == 4) mManager->EditLayoutMode4(row.x, row.y, row.add);
        if (row.mode == 5) mManager->EditLayoutMode5(row.x, row.y, row.add);
        if (row.mode == 6) mManager->EditLayoutMode6(row.x, row.y, row.add);
        EXPECT_EQ(Points(level.workMountPoints), row.mounts);
        EXPECT_EQ(Points(level.workAreas), row.areas);
        EXPECT_EQ(Points(level.workSpecial), row.special);
    }
    // Every location of that picture shares the edited layout; the file is not written.
    GVWorldLocation* twin = MakeLocation("loc_well", 400, 400);
    EXPECT_EQ(Points(twin->GetLevelRecord()->workAreas), (Texts{"0,2"}));
}

TEST_F(ViewEditingTest, EditAtDoesWhatTheEditModeAsks) {
    mManager->SetEditMode(GVWorldManager::kEditChooseLocation);
    mManager->EditAt(TVec2(305, 305), true);
    EXPECT_EQ(mManager->GetEditedLocation(), nullptr);
    mManager->EditAt(TVec2(105, 105), true);
    EXPECT_EQ(mManager->GetEditedLocation(), mWell);
    const struct {
        int mode;
        bool add;
        Texts landscape, cells, mounts, areas, special;
    } rows[] = {
        {1, true, {"11,5=255"}, {"0,0=255"}, {"2,0"}, {"1,0"}, {}},
        {3, true, {"11,5=255"}, {"0,0=255", "6,0=255"}, {"2,0"}, {"1,0"}, {}},
        {3, false, {"11,5=255"}, {"0,0=255"}, {"2,0"}, {"1,0"}, {}},
        {4, true, {"11,5=255"}, {"0,0=255"}, {"2,0", "6,0"}, {"1,0"}, {}},
        {5, true, {"11,5=255"}, {"0,0=255"}, {"2,0", "6,0"}, {"1,0", "6,0"}, {}},
        {6, true, {"11,5=255"}, {"0,0=255"}, {"2,0", "6,0"}, {"1,0", "6,0"}, {"6,0"}},
        {1, false, {}, {"0,0=255"}, {"2,0", "6,0"}, {"1,0", "6,0"}, {"6,0"}},
        {0, true, {}, {"0,0=255"}, {"2,0", "6,0"}, {"1,0", "6,0"}, {"6,0"}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::to_string(row.mode) + (row.add ? " add" : " remove"));
        mManager->SetEditMode(row.mode);
        mManager->EditAt(TVec2(225, 105), row.add);
        EXPECT_EQ(LevelCells(), row.landscape);
        EXPECT_EQ(WellCells(), row.cells);
        EXPECT_EQ(Points(mWell->GetLevelRecord()->workMountPoints), row.mounts);
        EXPECT_EQ(Points(mWell->GetLevelRecord()->workAreas), row.areas);
        EXPECT_EQ(Points(mWell->GetLevelRecord()->workSpecial), row.special);
    }
    EXPECT_EQ(Cell(11, 5), 0);
}

}  // namespace
}  // namespace views_test
