#include "gv/framelist.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using Frames = std::vector<int32_t>;

struct ParseCase {
    const char* text;
    int32_t count;
    bool ok;
    Frames frames;
};

TEST(FrameListTest, ParsesItemsRangesAndFailures) {
    const ParseCase cases[] = {
        {"0,2..4", 8, true, {0, 2, 3, 4}},
        {"5..", 8, true, {5, 6, 7}},
        {"..2", 8, true, {0, 1, 2}},
        {"abc", 4, true, {0, 1, 2, 3}},               // no digits: every frame
        {"", 3, true, {0, 1, 2}},                     // empty: every frame
        {"7", 5, false, {}},                          // out of range at once: nothing kept
        {"2..99", 5, false, {2, 3, 4}},               // a range end past the list keeps what fits
        {"1,3,9,2", 5, false, {1, 3}},                // the bad number ends the parse
        {"3 1;4", 5, true, {3, 1, 4}},                // any non-digit separates
        {"1.5", 6, true, {1, 5}},                     // a single "." separates too
        {"2..4..6", 8, true, {2, 3, 4, 3, 4, 5, 6}},  // ranges run from the last single number
        {"4..2", 8, true, {4}},                       // a range that runs backwards adds nothing
        {"..", 3, true, {0, 1, 2}},
        {"1..,3", 5, true, {1, 3}},  // ".." not followed by a digit only separates
        {"99999999999999999999", 5, false, {}},
        {"0", 0, false, {}},
    };
    for (const ParseCase& c : cases) {
        Frames frames = {42};  // emptied first
        EXPECT_EQ(ParseFrameList(frames, c.count, c.text), c.ok) << c.text;
        EXPECT_EQ(frames, c.frames) << c.text;
    }
}

TEST(FrameListTest, FormatsRunsOfThreeOrMore) {
    const struct {
        Frames frames;
        const char* text;
    } cases[] = {
        {{0, 1, 2, 3, 5}, "0..3,5"},
        {{0, 1, 5}, "0,1,5"},
        {{0, 2, 4}, "0,2,4"},
        {{3, 2, 1}, "3,2,1"},
        {{7}, "7"},
        {{1, 2, 3, 1, 2, 3}, "1..3,1..3"},
        {{}, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(std::string(FormatFrameList(c.frames).c_str()), c.text);
}

TEST(FrameListTest, FormattedListsParseBackToThemselves) {
    std::mt19937 random(43);
    for (int round = 0; round < 2000; ++round) {
        const int32_t count = 1 + static_cast<int32_t>(random() % 40);
        Frames frames(1 + random() % 30);
        // Mostly ascending steps, so that runs of every length turn up.
        int32_t value = static_cast<int32_t>(random() % count);
        for (int32_t& frame : frames) {
            frame = value;
            value =
                random() % 3 != 0 ? (value + 1) % count : static_cast<int32_t>(random() % count);
        }
        const str text = FormatFrameList(frames);
        Frames parsed;
        ASSERT_TRUE(ParseFrameList(parsed, count, text)) << text.c_str();
        ASSERT_EQ(parsed, frames) << text.c_str();
    }
}

}  // namespace
