#include "simulation/data/savedvalues.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/xml/xmlnode.h"
#include "support/printers.h"

namespace {

TEST(SavedValuesTest, Integers) {
    const struct {
        const char* text;
        int value;
    } rows[] = {
        {"12", 12},
        {"  -7x", -7},
        {"+5", 5},
        {"", 0},
        {"abc", 0},
        {"2147483647", 2147483647},
        {"2147483648", 2147483647},
        {"99999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1},
        {"4294967295", 2147483647},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ParseSavedInt(row.text), row.value) << row.text;
    EXPECT_EQ(ParseSavedInt(static_cast<const char*>(nullptr)), 0);
    EXPECT_EQ(TruncateToInt(-2.9), -2);
    EXPECT_EQ(TruncateToInt(std::nan("")), 0);
    EXPECT_EQ(TruncateToInt(3e9), 2147483647);
    EXPECT_EQ(TruncateToInt(-3e9), -2147483647 - 1);
}

// Every saved integer read back and written again stays the same integer.
TEST(SavedValuesTest, SavedFloatsDoNotDrift) {
    int changed = 0;
    for (int n = -1000000; n <= 1000000; ++n) {
        if (SavedFloatToInt(SavedIntToFloat(n)) != n) ++changed;
    }
    EXPECT_EQ(changed, 0);
    for (int n = -3000000; n <= 3000000; ++n) {
        if (SavedFloatToInt(SavedIntToFloat(n, kSavedAgeFactor), kSavedAgeFactor) != n) ++changed;
    }
    EXPECT_EQ(changed, 0);
}

TEST(SavedValuesTest, SavedFloatRows) {
    const struct {
        float value;
        double factor;
        int saved;
    } rows[] = {
        {1.239f, 100, 123},
        {-1.239f, 100, -123},
        {0.53f, 100, 53},
        {0.5f, 100, 50},
        {0.333f, 100, 33},
        {2.0f, 100, 200},
        {0.999f, 100, 99},
        {12.34567f, 10000, 123456},
        {1e30f, 100, 2147483647},
        {-1e30f, 100, -2147483647 - 1},
        {std::numeric_limits<float>::quiet_NaN(), 100, 0},
        {std::numeric_limits<float>::infinity(), 100, 2147483647},
        {-std::numeric_limits<float>::infinity(), 100, -2147483647 - 1},
    };
    for (const auto& row : rows) {
        EXPECT_EQ(SavedFloatToInt(row.value, row.factor), row.saved) << row.value;
    }
    EXPECT_FLOAT_EQ(SavedIntToFloat(33), 0.33f);
    EXPECT_FLOAT_EQ(SavedIntToFloat(123), 1.23f);

    TXmlNode node("Data");
    WriteFloatAttribute(&node, "Speed", 0.53f);
    EXPECT_EQ(node.GetAttribute("Speed"), str("53"));
    EXPECT_FLOAT_EQ(ReadFloatAttribute(&node, "Speed"), 0.53f);
    EXPECT_EQ(ReadFloatAttribute(&node, "Absent"), 0.0f);
}

}  // namespace
