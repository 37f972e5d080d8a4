// The view port: moving inside the bounds, scrolling in steps, and the inside and outside tests.
#include "gv/gvviewport.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

GVViewPort Wide() {
    GVViewPort view(800, 600, 0, 0);
    view.SetBounds(GVRect{0, 0, 10000, 10000});
    return view;
}

// The left edge after each step until the scroll ends.
std::vector<float> Visits(GVViewPort& view) {
    std::vector<float> lefts;
    for (int i = 0; i < 100 && view.GetStepsLeft() > 0; ++i) {
        view.Update();
        lefts.push_back(view.GetRect().left);
    }
    return lefts;
}

TEST(ViewPortTest, AScrollStartsSmallAndEndsOnItsTarget) {
    GVViewPort view = Wide();
    view.ScrollBy(TVec2(100, 0), 4, false);
    EXPECT_EQ(Visits(view), (std::vector<float>{25, 33, 50, 100}));
    EXPECT_EQ(view.GetLastOffset().x, 100);

    GVViewPort fractional = Wide();
    fractional.ScrollBy(TVec2(100, 0), 4, true);
    EXPECT_EQ(Visits(fractional), (std::vector<float>{25, 100.0f / 3.0f, 50, 100}));

    // ScrollTo aims at a top-left: the same visits from wherever the view is.
    GVViewPort moved = Wide();
    moved.MoveTo(TVec2(40, 10));
    moved.ScrollTo(TVec2(140, 10), 4, false);
    EXPECT_EQ(Visits(moved), (std::vector<float>{65, 73, 90, 140}));
    EXPECT_EQ(moved.GetRect().top, 10);
    EXPECT_EQ(moved.GetRect().right, 940);
}

TEST(ViewPortTest, ZeroOrNegativeStepsFinishInOne) {
    for (int steps : {0, -3, -2147483647 - 1}) {
        GVViewPort view = Wide();
        view.ScrollBy(TVec2(30, 20), steps, false);
        EXPECT_EQ(Visits(view), (std::vector<float>{30})) << steps;
        EXPECT_EQ(view.GetRect().top, 20);
        EXPECT_EQ(view.GetStepsLeft(), 0);
        // The view then stays where it is; the last offset goes back to (0, 0).
        view.Update();
        EXPECT_EQ(view.GetRect().left, 30);
        EXPECT_EQ(view.GetLastOffset().x, 0);
    }
}

TEST(ViewPortTest, StopScrollEndsAScrollWhereItIs) {
    GVViewPort view = Wide();
    view.ScrollBy(TVec2(100, 0), 4, false);
    view.Update();
    view.StopScroll();
    EXPECT_EQ(view.GetDelta().x, 0);
    EXPECT_EQ(view.GetStepsLeft(), 0);
    view.Update();
    EXPECT_EQ(view.GetRect().left, 25);
}

TEST(ViewPortTest, MoveToKeepsTheViewInsideItsBoundsRightAndBottomLast) {
    struct Case {
        GVRect bounds;
        TVec2 to;
        float x, y;
    } cases[] = {
        {{0, 0, 2000, 1000}, {1500, -10}, 1200, 0},
        {{0, 0, 2000, 1000}, {300, 200}, 300, 200},
        {{0, 0, 2000, 1000}, {-50, 900}, 0, 400},
        // The default bounds: right and bottom win.
        {{0, 0, 0, 0}, {0, 0}, -800, -600},
        // Smaller than the view: lined up with the right and bottom.
        {{100, 100, 500, 400}, {0, 0}, -300, -200},
    };
    for (const Case& c : cases) {
        GVViewPort view(800, 600, 0, 0);
        view.SetBounds(c.bounds);
        view.MoveTo(c.to);
        EXPECT_EQ(view.GetRect(), (GVRect{c.x, c.y, c.x + 800, c.y + 600}))
            << c.to.x << "," << c.to.y;
    }
    // A scroll past the bounds ends on them.
    GVViewPort view(800, 600, 0, 0);
    view.SetBounds(GVRect{0, 0, 2000, 1000});
    view.ScrollBy(TVec2(5000, 0), 2, false);
    EXPECT_EQ(Visits(view), (std::vector<float>{1200, 1200}));
    EXPECT_EQ(view.GetLastOffset().x, 1200);
}

TEST(ViewPortTest, PlacePutsTheViewBackWhereItWasWhateverTheBounds) {
    GVViewPort view(800, 600, 0, 0);  // made at (0, 0), outside its default bounds
    const GVRect made = view.GetRect();
    view.SetBounds(GVRect{0, 0, 2000, 1000});
    view.MoveTo(TVec2(700, 300));
    view.Place(TVec2(made.left, made.top));
    EXPECT_EQ(view.GetRect(), made);
    view.Place(TVec2(-5000, 9000));
    EXPECT_EQ(view.GetRect(), (GVRect{-5000, 9000, -4200, 9600}));
}

TEST(ViewPortTest, ContainsIsHalfOpenWhileTheDistancesCountTheEdgesInside) {
    GVViewPort view(800, 600, 100, 50);  // (100, 50) to (900, 650)
    struct Case {
        TVec2 point;
        bool inside;
        float dx, dy;
    } cases[] = {
        {{100, 50}, true, 0, 0},    // top-left corner
        {{900, 300}, false, 0, 0},  // right edge
        {{500, 650}, false, 0, 0},  // bottom edge
        {{899.5f, 649.5f}, true, 0, 0}, {{90, 300}, false, 10, 0},  {{950, 300}, false, 50, 0},
        {{500, 20}, false, 0, 30},      {{500, 700}, false, 0, 50}, {{80, 700}, false, 20, 50},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(view.Contains(c.point), c.inside) << c.point.x << "," << c.point.y;
        EXPECT_EQ(view.DistanceOutsideX(c.point), c.dx) << c.point.x << "," << c.point.y;
        EXPECT_EQ(view.DistanceOutsideY(c.point), c.dy) << c.point.x << "," << c.point.y;
    }
}

}  // namespace
