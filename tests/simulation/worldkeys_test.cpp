#include "simulation/worldkeys.h"

#include <gtest/gtest.h>

#include <set>

#include "gv/keys/namemaskregistry.h"
#include "gv/keys/statekeys.h"
#include "support/printers.h"

namespace {

TEST(WorldKeysTest, EveryKeyIsMadeDistinctAndNamesItsText) {
    const GWorldKeys& keys = WorldKeys();
    GNameMaskRegistry& registry = GNameMaskRegistry::Instance();
    std::set<uint64_t> seen;
    EXPECT_EQ(kWorldKeyCount, 70u);
    for (size_t i = 0; i < kWorldKeyCount; ++i) {
        const GNameMask key = keys.*kWorldKeyNames[i].key;
        EXPECT_FALSE(key.IsEmpty()) << kWorldKeyNames[i].name;
        EXPECT_TRUE(seen.insert(key.Bits()).second) << kWorldKeyNames[i].name;
        EXPECT_EQ(registry.GetName(key), str(kWorldKeyNames[i].name));
    }
    // "normal" is the visual objects' own key, made first.
    EXPECT_EQ(keys.normal, GetStateKeys().normal);
    EXPECT_EQ(GNameMask::Append(keys.walk, keys.dirNE), registry.Parse("walk_NE"));
}

}  // namespace
