// The seed fonts of the fuzz target fuzz_vecfont (fuzz/platform/corpus/vecfont): written here,
// and checked to be what is committed. With UMBRAVA_WRITE_VECFONT_SEEDS set to a folder, the
// test writes them there instead (to renew the committed ones after a change).
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <string>

#include "mvecwriter.h"
#include "platform/font/vecfont.h"

namespace {

using testing_support::MvecGlyph;
using testing_support::OutlineWriter;
using testing_support::WriteMvec;

MvecGlyph Glyph(uint32_t code, std::vector<uint8_t> outline) {
    MvecGlyph g;
    g.code = code;
    g.x0 = 0.5;
    g.x1 = 9;
    g.top = -10;
    g.bottom = 2;
    g.advance = 10;
    g.outline = std::move(outline);
    return g;
}

// A glyph of every kind of operation: squares, curves, holes, overlaps, styles and colours.
std::vector<MvecGlyph> EveryOpcode() {
    OutlineWriter round;
    round.Move(5, -10).Curve(10, -10, 10, -5).Curve(10, 0, 5, 0).Curve(0, 0, 0, -5);
    round.Curve(0, -10, 5, -10).Rect(3, -7, 7, -3, true).End();
    OutlineWriter styled;
    styled.Group().Color(200, 10, 10).Style(2, 1).Rect(0, -10, 8, 0).Style(3, 0);
    styled.Rect(2, -8, 6, -2).Group().Style(3, 2).Color(1, 2, 3).Line(9, -12).End();
    return {
        Glyph('A', round.Bytes()),
        Glyph('B', styled.Bytes()),
        Glyph('O', OutlineWriter().Rect(0, -10, 6, -4).Rect(3, -7, 9, 0).End().Bytes()),
        Glyph('W',
              OutlineWriter().Move(0, -10).Line(5, 0).Line(10, -10).Line(0, -10).End().Bytes()),
        Glyph('_', OutlineWriter().Rect(0, 1, 10, 2).End().Bytes()),
        Glyph(0x263A, OutlineWriter().Rect(-2, -12, 12, 3).End().Bytes()),
    };
}

std::map<std::string, std::vector<uint8_t>> Seeds() {
    std::map<std::string, std::vector<uint8_t>> seeds;
    seeds["every_opcode.mvec"] = WriteMvec(EveryOpcode());

    std::vector<MvecGlyph> lost = EveryOpcode();
    lost[1].forcedOffset = 0x7FFFFFFF;
    lost[2].forcedOffset = 0;  // the header read as an outline
    seeds["offsets_outside.mvec"] = WriteMvec(lost);

    std::vector<uint8_t> cut = WriteMvec(EveryOpcode());
    cut.resize(cut.size() - 7);  // the last outline runs off the end
    seeds["outline_cut_short.mvec"] = cut;

    std::vector<MvecGlyph> unknown = EveryOpcode();
    unknown[0].outline = OutlineWriter().Rect(0, -5, 5, 0).Byte(0x42).Line(9, 9).End().Bytes();
    seeds["unknown_opcode.mvec"] = WriteMvec(unknown);

    std::vector<MvecGlyph> unordered = EveryOpcode();
    std::swap(unordered[0], unordered[3]);
    seeds["codes_out_of_order.mvec"] = WriteMvec(unordered);

    seeds["count_past_end.mvec"] = WriteMvec(EveryOpcode(), 900);

    std::vector<MvecGlyph> noW = EveryOpcode();
    noW.erase(noW.begin() + 3);
    for (MvecGlyph& g : noW)
        g.top = 0, g.bottom = 0;
    seeds["no_w_no_height.mvec"] = WriteMvec(noW);

    std::vector<uint8_t> wrongMagic = WriteMvec(EveryOpcode());
    wrongMagic[3] = '3';
    seeds["not_mvc4.mvec"] = wrongMagic;
    return seeds;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

TEST(VecFontSeeds, TheCommittedSeedsAreWhatTheGeneratorWrites) {
    const auto seeds = Seeds();
    if (const char* out = std::getenv("UMBRAVA_WRITE_VECFONT_SEEDS")) {
        for (const auto& [name, bytes] : seeds) {
            std::ofstream(std::string(out) + "/" + name, std::ios::binary)
                .write(reinterpret_cast<const char*>(bytes.data()),
                       static_cast<std::streamsize>(bytes.size()));
        }
        GTEST_SKIP() << "seeds written to " << out;
    }
    const char* data = std::getenv("UMBRAVA_TEST_DATA");
    ASSERT_NE(data, nullptr);
    // The test data folder is tests/data of the source tree, which need not exist.
    std::string root = data;
    const std::string testData = "/tests/data";
    ASSERT_GT(root.size(), testData.size());
    root.resize(root.size() - testData.size());
    const std::string corpus = root + "/fuzz/platform/corpus/vecfont/";
    for (const auto& [name, bytes] : seeds) {
        EXPECT_EQ(ReadFile(corpus + name), bytes) << name;
    }
}

TEST(VecFontSeeds, EachSeedLoadsAsItIsMeant) {
    const auto seeds = Seeds();
    const std::map<std::string, int> glyphs = {
        {"every_opcode.mvec", 6},   {"offsets_outside.mvec", 6},    {"outline_cut_short.mvec", 6},
        {"unknown_opcode.mvec", 6}, {"codes_out_of_order.mvec", 0}, {"count_past_end.mvec", 0},
        {"no_w_no_height.mvec", 5}, {"not_mvc4.mvec", 0},
    };
    for (const auto& [name, count] : glyphs) {
        TVecFont font(seeds.at(name));
        EXPECT_EQ(font.GetGlyphCount(), count) << name;
    }
    TVecFont lost(seeds.at("offsets_outside.mvec"));
    EXPECT_EQ(lost.FindGlyph('B'), -1);
    EXPECT_EQ(lost.FindGlyph('O'), 2);  // offset 0 lies inside the data
}

}  // namespace
