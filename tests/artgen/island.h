// What the tests of the places and the landscape know of the island, read from the game's data
// (the start layout, points of interest, hiding places and ark routes of main.xml; the location
// definitions) and from the data set's fixed points, which the program itself holds: tutorial
// staging, the flee point, the hyena display walk, the ark movers' bends, the areas of the task
// starters and the feeding cycle.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "support/tempdir.h"

namespace island_test {

struct Point {
    double x = 0;
    double y = 0;
};

struct Placed {
    std::string name;  // the definition's full name
    int x = 0;
    int y = 0;
};

struct Definition {
    std::string fullName;
    std::string animator;
    std::string transform;  // AfterBuildTransform, or empty
    bool usable = false;    // it has a CanUse list: creatures come to work on it
};

struct Area {
    const char* what;
    int x1, x2, y1, y2;
    bool Holds(double x, double y) const { return x >= x1 && x <= x2 && y >= y1 && y <= y2; }
};

class Island {
public:
    // Reads the data of the logic folder (ART_LOGIC) once.
    static const Island& Get();

    std::vector<Placed> locations;                  // the start layout, in file order
    std::map<std::string, Definition> definitions;  // by full name
    std::vector<Point> pointsOfInterest;
    std::vector<Point> hidingPlaces;  // the mini-game points × 20
    std::vector<std::vector<Point>> arkRoutes;

    // The animators a place of the start layout shows over its life: its own, then those of
    // what it is built into, each with its wreck when it has one.
    std::vector<std::string> Animators(const std::string& fullName) const;
    // Every location definition's animator.
    std::set<std::string> AllAnimators() const;
    // Whether creatures or hyenas come to a place of this animator: usable, the hyena pit, the
    // treasure, the bonuses.
    bool IsGoal(const std::string& animator) const;

private:
    Island();
};

// Fixed points of the program (world pixels): tutorial staging, the flee point, where the tutorial
// puts creatures and the hyena, the ark movers' bends.
const std::vector<Point>& FixedPoints();
// Polylines walked by fixed paths: the four ark routes and the hyena display walk.
std::vector<std::vector<Point>> FixedWalks();
// Points along a polyline, every step pixels, ends included.
std::vector<Point> Sample(const std::vector<Point>& line, double step);
// The areas of the task starters and the feeding cycle that must stay mostly walkable.
const std::vector<Area>& OpenAreas();

// The built game folder indexed by the file layer as the game finds it, the factory's description
// folder set: the layouts are read through the world's own loaders. The log goes to the test's
// folder; the layouts read are forgotten afterwards.
class BuiltFolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

private:
    testing_support::TempDir mScratch;
};

}  // namespace island_test
