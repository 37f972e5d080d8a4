#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "luatables.h"
#include "support/printers.h"
#include "testwindows.h"
#include "ui/window.h"
#include "ui/windowmanager.h"
#include "ui/windowstyle.h"

namespace {

using uitest::MakeWindow;
using uitest::TTestWindow;

class PlacementTest : public ::testing::Test {
protected:
    // Init with the table on a new window under the parent (null: none).
    TWindow* Place(TWindow* parent, const std::string& table, TRect start = {}) {
        auto* window = MakeWindow(parent, start, "placed");
        if (parent == nullptr) mDetached.reset(window);
        std::unique_ptr<TLuaTable> lua = mLua.Table(table);
        TWindowStyle style(lua.get());
        window->Init(style);
        return window;
    }
    struct Case {
        const char* what;
        const char* table;
        TRect placed;
    };
    // Each table placed by Init under a 640 × 480 parent.
    template <size_t N>
    void ExpectPlacements(const Case (&cases)[N]) {
        mParent.SetRect({0, 0, 640, 480});
        for (const Case& c : cases) {
            TWindow* window = Place(&mParent, c.table);
            EXPECT_EQ(window->GetRect(), c.placed) << c.what;
            mParent.RemoveChild(window);
            delete window;
        }
    }
    void PostInit(TWindow* window, const std::string& table) {
        std::unique_ptr<TLuaTable> lua = mLua.Table(table);
        TWindowStyle style(lua.get());
        window->PostInit(style);
    }

    uitest::TLuaTables mLua;
    TWindowManager mManager;
    TTestWindow mParent{"parent"};
    std::unique_ptr<TWindow> mDetached;
};

TEST_F(PlacementTest, ResolvesTheMagicCoordinates) {
    const Case cases[] = {
        {"kCenter", "{x = 80000, w = 100, y = 80000, h = 80}", {270, 200, 370, 280}},
        {"kCenter + 10", "{x = 80010, w = 100, h = 10}", {280, 0, 380, 10}},
        {"kCenter - 10", "{x = 79990, w = 100, h = 10}", {260, 0, 360, 10}},
        {"kMax - 10 right-aligned", "{x = 159990, w = 100, h = 10, align = 2}", {530, 0, 630, 10}},
        {"kMax - 100", "{x = 159900, w = 100, h = 10}", {540, 0, 640, 10}},
        {"-10 from the far edge", "{x = -10, w = 100, h = 10}", {630, 0, 730, 10}},
        {"-10 with align 0", "{x = -10, w = 100, h = 10, align = 0}", {-10, 0, 90, 10}},
        {"stretch to kMax - 10", "{x = 0, w = 159990, h = 10}", {0, 0, 630, 10}},
        {"stretch from 20", "{x = 20, w = 159990, h = 10}", {20, 0, 630, 10}},
        {"stretch at kCenter + 20", "{x = 80020, w = 159800, h = 10}", {40, 0, 440, 10}},
        {"stretch at kCenter - 20", "{x = 79980, w = 159800, h = 10}", {0, 0, 400, 10}},
        {"stretch at kMax - 20", "{x = 159980, w = 159800, h = 10}", {1240, 0, 440, 10}},
        {"negative size near", "{x = 300, w = -100, h = 10}", {200, 0, 300, 10}},
        {"negative size from the far edge", "{x = -10, w = -100, h = 10}", {530, 0, 630, 10}},
        {"negative size at kCenter", "{x = 80000, w = -100, h = 10}", {170, 0, 270, 10}},
        {"negative stretch at kCenter", "{x = 80000, w = -159800, h = 10}", {0, 0, 440, 10}},
        {"negative stretch far", "{x = 300, w = -150000, h = 10}", {159700, 0, 160000, 10}},
        {"centred across", "{x = 320, w = 100, h = 10, align = 1}", {270, 0, 370, 10}},
        {"centred down", "{y = 240, w = 10, h = 100, align = 4}", {0, 190, 10, 290}},
        {"bottom-aligned", "{y = 480, w = 10, h = 100, align = 8}", {0, 380, 10, 480}},
        {"bottom-aligned at kMax", "{y = 160000, w = 10, h = 100, align = 8}", {0, 380, 10, 480}},
        {"align bits of the other axis",
         "{x = 320, y = 240, w = 10, h = 10, align = 12}",
         {320, 235, 330, 245}},
        {"a relative position without a size", "{x = 80000, y = 5}", {0, 0, 0, 0}},
        {"a negative position without a size", "{x = -5, y = 5}", {0, 0, 0, 0}},
        {"centring without a size", "{x = 100, y = 5, align = 1, h = 10}", {100, 5, 100, 15}},
        {"fractions truncate", "{x = 10.9, w = -10.9, y = -0.5, h = 3.5}", {0, 0, 10, 3}},
    };
    ExpectPlacements(cases);
}

TEST_F(PlacementTest, AbsurdNumbersStayDefined) {
    const Case cases[] = {
        {"a size of 10^12", "{x = 0, w = 1e12, h = 10}", {0, 0, 2147324287, 10}},
        {"a position of 10^12", "{x = 1e12, w = 100, h = 10}", {2147324287, 0, 2147324387, 10}},
        {"a position of -10^12",
         "{x = -1e12, w = 100, h = 10, align = 0}",
         {-2147483647 - 1, 0, -2147483548, 10}},
        {"a size of -10^12", "{x = 80000, w = -1e12, h = 10}", {0, 0, 2147324288, 10}},
        {"NaN and infinity", "{x = 0/0, w = 0/0, h = 1/0}", {0, 0, 0, 2147324127}},
        {"both huge", "{x = 1e12, w = 1e12, h = 10}", {2147483647, 0, 159360, 10}},
    };
    ExpectPlacements(cases);
}

TEST_F(PlacementTest, FitThenCentreAcrossInitAndPostInit) {
    mParent.SetRect({0, 0, 640, 480});
    const char* table = "{name = 'panel', x = 80000, y = 80000, fit = true}";
    TWindow* window = Place(&mParent, table);
    EXPECT_EQ(window->GetName(), str("panel"));
    EXPECT_EQ(window->GetRect(), (TRect{0, 0, 0, 0}));
    MakeWindow(window, {0, 0, 100, 40}, "child");
    MakeWindow(window, {20, 30, 60, 80}, "child2");
    PostInit(window, table);
    EXPECT_EQ(window->GetRect(), (TRect{270, 200, 370, 280}));
}

TEST_F(PlacementTest, ASecondApplicationOnlyFillsInZeros) {
    mParent.SetRect({0, 0, 640, 480});
    TWindow* window = Place(&mParent, "{x = 50, y = 0, w = 100, h = 20}");
    EXPECT_EQ(window->GetRect(), (TRect{50, 0, 150, 20}));
    PostInit(window, "{x = 80000, y = 80000, w = 300, h = 40}");
    // The left and the size stay; the top, still 0, is filled in: centred for the table's
    // height, 40, while the window keeps its own, 20.
    EXPECT_EQ(window->GetRect(), (TRect{50, 220, 150, 240}));
}

TEST_F(PlacementTest, AParentWithoutSizeLeavesRelativePairsForPostInit) {
    const char* table = "{x = 80000, w = 100, y = 7, h = 10}";
    TWindow* window = Place(&mParent, table);
    EXPECT_EQ(window->GetRect(), (TRect{0, 0, 0, 0}));
    // A plain pair is placed even then.
    TWindow* plain = Place(&mParent, "{x = 5, w = 100, y = 7, h = 10}");
    EXPECT_EQ(plain->GetRect(), (TRect{5, 7, 105, 17}));

    mParent.SetRect({0, 0, 640, 480});
    PostInit(window, table);
    EXPECT_EQ(window->GetRect(), (TRect{270, 7, 370, 17}));
}

TEST_F(PlacementTest, WithoutAParentPositionsStayAsGiven) {
    TWindow* window = Place(nullptr, "{x = 80000, w = 100, y = -10, h = 10}");
    EXPECT_EQ(window->GetRect(), (TRect{80000, -10, 80100, 0}));
    TWindow* aligned = Place(nullptr, "{x = 300, w = 100, y = 0, h = 10, align = 2}");
    EXPECT_EQ(aligned->GetRect(), (TRect{200, 0, 300, 10}));
}

TEST_F(PlacementTest, ResolveCoordinateForOtherCallers) {
    mParent.SetRect({0, 0, 640, 480});
    auto* window = MakeWindow(&mParent, {}, "w");
    int pos = 80000;
    int size = 100;
    window->ResolveCoordinate(pos, size, -1, false);
    EXPECT_EQ(pos, 270);
    pos = 160000;
    size = 100;
    window->ResolveCoordinate(pos, size, 8, true);
    EXPECT_EQ(pos, 380);
    EXPECT_EQ(size, 100);
}

}  // namespace
