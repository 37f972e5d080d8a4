// The place table itself: each row's build levels show every picture it counts, the last one
// included, as the location view picks them. That every place of the data has a row is the
// lint's to say (lintplaces.cpp).
#include <gtest/gtest.h>

#include <set>

#include "placetable.h"

namespace art_test {
namespace {

TEST(PlaceTable, EveryRowsBuildLevelsShowEachOfItsPictures) {
    for (const artlint::PlacePictures& p : artlint::PlaceTable()) {
        std::set<int> shown;
        for (float level : p.reached)
            shown.insert(int(double(level) * (p.levels - 1) + 0.01));
        EXPECT_EQ(int(shown.size()), p.levels) << p.animator;
        EXPECT_EQ(*shown.rbegin(), p.levels - 1) << p.animator;
    }
}

}  // namespace
}  // namespace art_test
