// The fuzz_vecfont seeds made from the converter's output: a few DejaVu Sans glyphs each, real
// outlines for the fuzzer to damage. The committed seeds must be what the converter writes now;
// run this test with UMBRAVA_WRITE_FUZZ_SEEDS=1 to write them afresh after changing it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "fontconverter.h"
#include "support/tempdir.h"

namespace {

struct Seed {
    const char* name;
    std::vector<uint32_t> codes;
};

TEST(FuzzSeeds, TheCommittedSeedsAreTheConvertersOutput) {
    const Seed seeds[] = {
        {"dejavu_W_g.mvec", {'W', 'g'}},
        {"dejavu_O_at_euro.mvec", {'W', 'O', '@', 0x20AC}},
        {"dejavu_e_acute.mvec", {'W', 0xE9}},
    };
    const bool write = std::getenv("UMBRAVA_WRITE_FUZZ_SEEDS") != nullptr;
    for (const Seed& seed : seeds) {
        std::vector<uint8_t> bytes;
        std::string error;
        ASSERT_TRUE(fontconv::ConvertFont(DEJAVU_SANS, seed.codes, &bytes, &error)) << error;
        std::string path = std::string(VECFONT_CORPUS) + "/" + seed.name;
        std::string made(bytes.begin(), bytes.end());
        if (write) {
            ASSERT_TRUE(testing_support::WriteFileBytes(path, made)) << path;
        }
        EXPECT_EQ(testing_support::ReadFileBytes(path), made)
            << path << " differs from the converter's output; UMBRAVA_WRITE_FUZZ_SEEDS=1 remakes it";
    }
}

}  // namespace
