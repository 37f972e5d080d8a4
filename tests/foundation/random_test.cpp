#include "foundation/random.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>
#include <string>
#include <vector>

namespace {

#include "reference/random_reference.inc"

TEST(RandomTest, SeedMatchesTheReferenceGenerator) {
    TRandom random;
    random.Seed(5489);
    EXPECT_EQ(random.Next(), 3499211612u);

    random.Seed(5489);
    std::mt19937 reference(5489);
    for (int i = 0; i < 10000; ++i)
        ASSERT_EQ(random.Next(), reference()) << i;
}

TEST(RandomTest, SeedByArrayMatchesPublishedDriver) {
    const uint32_t key[4] = {0x123, 0x234, 0x345, 0x456};
    TRandom random;
    random.SeedByArray(key, 4);
    EXPECT_EQ(random.Next(), 1067595299u);  // the reference driver's first output
    random.SeedByArray(key, 4);
    for (uint32_t expected : kReferenceKeyInts)
        ASSERT_EQ(random.Next(), expected);
    random.SeedByArray(key, 4);
    for (double expected : kReferenceKeyDoubles)
        ASSERT_EQ(random.NextDouble(), expected);
}

TEST(RandomTest, DefaultSeedingWords) {
    TRandom a, b;
    for (uint32_t expected : kDefaultKeyInts) {
        ASSERT_EQ(a.Next(), expected);
        ASSERT_EQ(b.Next(), expected);  // every default generator starts alike
    }
    TRandom c;
    for (double expected : kDefaultKeyDoubles)
        ASSERT_EQ(c.NextDouble(), expected);
}

TEST(RandomTest, NextRange) {
    TRandom random;
    int counts[2] = {0, 0};
    for (int i = 0; i < 20000; ++i) {
        EXPECT_EQ(random.NextRange(5, 5), 5);
        int v = random.NextRange(0, 1);
        ASSERT_TRUE(v == 0 || v == 1);
        ++counts[v];
        int w = random.NextRange(-3, 7);
        ASSERT_GE(w, -3);
        ASSERT_LE(w, 7);
    }
    // Equal frequency within a generous bound (about 7 standard deviations).
    EXPECT_NEAR(counts[0], 10000, 500);
}

// The first values of a fresh generator: lo + the integer part of NextDouble x (hi - lo + 1).
// Ranges of more than 2^31 values once overflowed to 0; the others keep their values.
TEST(RandomTest, NextRangeValuesOfAFreshGenerator) {
    struct Case {
        int lo;
        int hi;
        std::vector<int> first;
    };
    const Case cases[] = {
        {0, 99, {86, 56, 0, 34}},
        {-3, 7, {6, 3, -3, 0}},
        {-1000000000, 1000000000, {739035928, 133421849, -992427831}},
        {INT_MIN, INT_MAX, {1587067570, 286521238, -2131222539}},
        {INT_MIN, -1, {-280208039, -930481205, -2139353094}},
        {0, INT_MAX, {1867275609, 1217002443, 8130554}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lo) + " .. " + std::to_string(c.hi));
        TRandom random;
        for (int expected : c.first)
            EXPECT_EQ(random.NextRange(c.lo, c.hi), expected);
    }
}

TEST(RandomTest, NextDoubleRange) {
    TRandom random;
    for (int i = 0; i < 10000; ++i) {
        double d = random.NextDouble();
        ASSERT_GE(d, 0.0);
        ASSERT_LT(d, 1.0);
    }
}

}  // namespace
