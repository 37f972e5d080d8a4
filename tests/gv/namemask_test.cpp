#include "gv/keys/namemask.h"

#include <gtest/gtest.h>

#include <string>

#include "gv/keys/namemaskregistry.h"
#include "gv/keys/statekeys.h"
#include "support/logcapture.h"
#include "support/printers.h"

namespace {

uint64_t KeyOf(GNameMaskRegistry& registry, const char* name) {
    return registry.Parse(name).Bits();
}

TEST(NameMaskTest, EmptyAndNullNamesGiveTheEmptyKey) {
    GNameMaskRegistry registry;
    EXPECT_EQ(KeyOf(registry, ""), 0u);
    EXPECT_EQ(KeyOf(registry, nullptr), 0u);
    EXPECT_EQ(KeyOf(registry, "_"), 0u);
    EXPECT_EQ(KeyOf(registry, "__"), 0u);
    EXPECT_EQ(registry.GetName(GNameMask()), str(""));
    EXPECT_EQ(registry.GetWordCount(), 0);
}

TEST(NameMaskTest, WordsGetNumbersInOrderOfFirstSight) {
    GNameMaskRegistry registry;
    const uint64_t gatherWater = KeyOf(registry, "gather_water");
    EXPECT_EQ(gatherWater, 1u + 2u * 256u);
    EXPECT_EQ(KeyOf(registry, "gather_water"), gatherWater);
    EXPECT_EQ(KeyOf(registry, "gather"), 1u);  // the first word of "gather_water"
    EXPECT_EQ(KeyOf(registry, "water_gather"), 2u + 1u * 256u);
    EXPECT_EQ(registry.GetWordCount(), 2);
}

// Each row: a name and the name whose key it must equal.
TEST(NameMaskTest, EmptyWordsAddNothing) {
    const struct {
        const char* name;
        const char* same;
    } rows[] = {
        {"walk_", "walk"},
        {"walk__", "walk"},
        {"_walk", "walk"},
        {"__walk", "walk"},
        {"walk__NE", "walk_NE"},
        {"_walk_NE_", "walk_NE"},
        {"a_b_c_d_e_f_g_h_i", "a_b_c_d_e_f_g_h"},
        {"a_b_c_d_e_f_g_h_i_j_k", "a_b_c_d_e_f_g_h"},
    };
    for (const auto& row : rows) {
        GNameMaskRegistry registry;
        const uint64_t key = KeyOf(registry, row.name);
        EXPECT_EQ(key, KeyOf(registry, row.same)) << row.name;
        EXPECT_NE(key, 0u) << row.name;
    }
}

TEST(NameMaskTest, NineWordsKeepEight) {
    GNameMaskRegistry registry;
    const GNameMask key = registry.Parse("a_b_c_d_e_f_g_h_i");
    EXPECT_EQ(key.Bits(), 0x0807060504030201u);
    EXPECT_EQ(registry.GetName(key), str("a_b_c_d_e_f_g_h"));
}

TEST(NameMaskTest, CaseMakesDifferentWords) {
    GNameMaskRegistry registry;
    EXPECT_NE(KeyOf(registry, "Fever"), KeyOf(registry, "fever"));
    EXPECT_NE(KeyOf(registry, "NE"), KeyOf(registry, "ne"));
    EXPECT_EQ(registry.GetWordCount(), 4);
}

TEST(NameMaskTest, AppendJoinsKeys) {
    GNameMaskRegistry registry;
    const GNameMask walk = registry.Parse("walk");
    const GNameMask ne = registry.Parse("NE");
    const GNameMask walkNE = registry.Parse("walk_NE");
    EXPECT_EQ(walk.Bits(), walkNE.Bits() & 0xFFu);
    EXPECT_EQ(GNameMask::Append(walk, ne), walkNE);
    EXPECT_EQ(GNameMask::Append(walk, GNameMask()), walk);
    EXPECT_EQ(GNameMask::Append(GNameMask(), ne), ne);
    // A whole key goes after every word of the first.
    const GNameMask gatherWater = registry.Parse("gather_water");
    EXPECT_EQ(GNameMask::Append(gatherWater, walkNE), registry.Parse("gather_water_walk_NE"));
    // A full key takes nothing more, and the words past the eighth byte are dropped.
    const GNameMask full(0x0807060504030201u);
    EXPECT_EQ(GNameMask::Append(full, ne), full);
    const GNameMask seven(0x0007060504030201u);
    EXPECT_EQ(GNameMask::Append(seven, GNameMask(0x0A09u)).Bits(), 0x0907060504030201u);
}

TEST(NameMaskTest, GetNameIsTheInverseOfParse) {
    GNameMaskRegistry registry;
    for (const char* name :
         {"gather_water", "walk_NE", "cure_all_off", "a", "ark_part_stone_2_on"}) {
        EXPECT_EQ(registry.GetName(registry.Parse(name)), str(name)) << name;
    }
    EXPECT_EQ(registry.GetName(registry.Parse("_walk__NE_")), str("walk_NE"));
}

TEST(NameMaskTest, FlagMasksCompareBothHalves) {
    EXPECT_EQ(TFlagMask(0x0000000100000002u), TFlagMask(0x0000000100000002u));
    EXPECT_FALSE(TFlagMask(0x0000000100000002u) == TFlagMask(0x0000000200000002u));
    EXPECT_FALSE(TFlagMask(0x0000000100000002u) == TFlagMask(0x0000000100000003u));
    EXPECT_EQ(TFlagMask(0x1234567890ABCDEFu).High(), 0x12345678u);
    EXPECT_EQ(TFlagMask(0x1234567890ABCDEFu).Low(), 0x90ABCDEFu);
}

TEST(NameMaskTest, The256thWordGetsNoNumberAndOneLogLine) {
    testing_support::LogCapture log;
    GNameMaskRegistry registry;
    for (int i = 1; i <= GNameMaskRegistry::kMaxWords; ++i) {
        const std::string word = "w" + std::to_string(i);
        ASSERT_EQ(registry.GetWordNumber(word.c_str()), i);
    }
    EXPECT_TRUE(log.Messages().empty());
    EXPECT_EQ(KeyOf(registry, "extra"), 0u);
    EXPECT_EQ(KeyOf(registry, "w1_extra_w2"), 1u + 2u * 256u);
    EXPECT_EQ(KeyOf(registry, "another"), 0u);
    EXPECT_EQ(registry.GetWordCount(), GNameMaskRegistry::kMaxWords);
    const auto messages = log.Messages();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("\"extra\""), std::string::npos) << messages[0];
    // Known words still resolve.
    EXPECT_EQ(KeyOf(registry, "w255"), 255u);
}

TEST(NameMaskTest, GetWordNumberReadsUpToTheUnderscore) {
    GNameMaskRegistry registry;
    EXPECT_EQ(registry.GetWordNumber("walk_NE"), 1);  // up to its "_"
    EXPECT_EQ(registry.GetWordNumber("walk"), 1);
    EXPECT_EQ(registry.GetWordNumber("_walk"), 0);
    EXPECT_EQ(registry.GetWordNumber(""), 0);
    EXPECT_EQ(registry.GetWordNumber(nullptr), 0);
}

TEST(NameMaskTest, StateKeysAreMadeOnceInTheSharedRegistry) {
    const GVStateKeys& keys = GetStateKeys();
    EXPECT_FALSE(keys.normal.IsEmpty());
    EXPECT_FALSE(keys.any.IsEmpty());
    EXPECT_NE(keys.normal, keys.any);
    EXPECT_EQ(GNameMaskRegistry::Instance().GetName(keys.normal), str("normal"));
    EXPECT_EQ(GNameMaskRegistry::Instance().GetName(keys.any), str("any"));
    EXPECT_EQ(&GetStateKeys(), &keys);
}

}  // namespace
