#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/crypt.h"
#include "foundation/settingsmap.h"
#include "platform/platform.h"
#include "platform/settingkeys.h"
#include "platform/win32platform.h"
#include "support/printers.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
    void TearDown() override { TSettingsMap::GetInstance().Clear(); }
    static bool Has(const char* key) { return TSettingsMap::GetInstance().Has(key); }
    static str Get(const char* key) { return TPlatform::GetConfig(key, "<absent>"); }
};

// The cheat code for a computer: its identifier enciphered with the encryption key, in base64.
str CheatCodeFor(const char* encryptionKey, const char* computerId) {
    TCrypt crypt(encryptionKey);
    int length = static_cast<int>(std::string(computerId).size());
    std::vector<char> text(
        static_cast<size_t>(crypt.Encrypt(computerId, length, nullptr, 0, true)));
    crypt.Encrypt(computerId, length, text.data(), static_cast<int>(text.size()), true);
    return str(text.data());
}

TEST_F(SettingsTest, WellKnownKeys) {
    const char* const expected[] = {
        "cheatmode",
        "downloadurl",
        "computerid",
        "firstpeek",
        "installkey",
        "buildtag",
        "gamename",
        "publisher",
        "version",
        "encryptionkey",
        "hiscorelocal",
        "hiscoreanon",
        "flashmajorversion",
        "hittestchildren",
        "animatedparticles",
        "vsync",
        "monitorfrequency",
        "textspriterender",
        "utf8mode",
        "automergemask",
        "overlaymouse",
        "verbosedebug",
        "bvgamehandle",
        "bvgamemodename",
        "bvgamemedalname",
        "fpuprecision",
        "keepogguncompressed",
    };
    ASSERT_EQ(std::size(settingkey::kWellKnown), std::size(expected));
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_STREQ(settingkey::kWellKnown[i], expected[i]) << i;
}

TEST_F(SettingsTest, IsEnabledReadsADecimalInteger) {
    struct Case {
        const char* value;  // null: the key is absent
        bool enabled;
    };
    const Case cases[] = {{"1", true},   {"12", true},    {"-3", true},   {"7 days", true},
                          {"", false},   {"0", false},    {"abc", false}, {"ab c", false},
                          {"x1", false}, {nullptr, false}};
    for (const Case& c : cases) {
        TSettingsMap::GetInstance().Clear();
        if (c.value != nullptr) TPlatform::SetConfig("flag", c.value);
        EXPECT_EQ(IsEnabled("flag"), c.enabled) << (c.value ? c.value : "(absent)");
    }
}

TEST_F(SettingsTest, Rows) {
    const str code = CheatCodeFor("QuietRiverStone", "ABCDEFGHIJKLMNOP");
    const str empty = CheatCodeFor("QuietRiverStone", "");
    struct Step {
        const char* key;
        str value;
    };
    struct Row {
        const char* what;
        bool withApplication;
        std::vector<Step> steps;
        const char* key;
        const char* expected;  // "<absent>" for an absent key
    };
    const std::vector<Row> rows = {
        {"set then get", false, {{"k", "v"}, {"k", "w"}}, "k", "w"},
        {"keys are case-sensitive", false, {{"Key", "v"}}, "key", "<absent>"},
        {"cheat code then key",
         false,
         {{"computerid", "ABCDEFGHIJKLMNOP"},
          {"cheatcode", code},
          {"encryptionkey", "QuietRiverStone"}},
         "cheatmode",
         "1"},
        {"key then cheat code",
         false,
         {{"encryptionkey", "QuietRiverStone"},
          {"computerid", "ABCDEFGHIJKLMNOP"},
          {"cheatcode", code}},
         "cheatmode",
         "1"},
        {"another computer",
         false,
         {{"computerid", "ABCDEFGHIJKLMNOQ"},
          {"encryptionkey", "QuietRiverStone"},
          {"cheatcode", code}},
         "cheatmode",
         "0"},
        {"the key changes",
         false,
         {{"computerid", "ABCDEFGHIJKLMNOP"},
          {"encryptionkey", "QuietRiverStone"},
          {"cheatcode", code},
          {"encryptionkey", "OtherKey"}},
         "cheatmode",
         "0"},
        {"cheat code alone", false, {{"cheatcode", code}}, "cheatmode", "<absent>"},
        {"empty cheat code keeps the mode",
         false,
         {{"cheatmode", "1"}, {"encryptionkey", "QuietRiverStone"}, {"cheatcode", ""}},
         "cheatmode",
         "1"},
        // Deciphers to an empty text, which must not match an absent computer identifier.
        {"a code that deciphers to nothing",
         false,
         {{"encryptionkey", "QuietRiverStone"}, {"cheatcode", empty}},
         "cheatmode",
         "0"},
        {"computer id set later is not re-read",
         false,
         {{"encryptionkey", "QuietRiverStone"},
          {"cheatcode", code},
          {"computerid", "ABCDEFGHIJKLMNOP"}},
         "cheatmode",
         "0"},
        {"vsync before the application", false, {{"vsync", "1"}}, "vsync", "1"},
        {"vsync with the application", true, {{"vsync", "1"}}, "vsync", "1"},
        {"viewportscale before the application",
         false,
         {{"viewportscale", "2.5"}},
         "viewportscale",
         "2.5"},
    };
    for (const Row& row : rows) {
        TSettingsMap::GetInstance().Clear();
        std::unique_ptr<TPlatform> app;
        if (row.withApplication) app = std::make_unique<TPlatform>();
        for (const Step& step : row.steps)
            TPlatform::SetConfig(step.key, step.value);
        EXPECT_EQ(Get(row.key), str(row.expected)) << row.what;
        if (std::string(row.expected) == "<absent>") {
            EXPECT_FALSE(Has(row.key)) << row.what;  // GetConfig never inserts
        }
    }
}

TEST_F(SettingsTest, LegacyLineWrapIsSetByAnyValue) {
    TPlatform::SetConfig("legacylinewrap", "0");
    EXPECT_TRUE(IsLegacyLineWrap());
    EXPECT_EQ(Get("legacylinewrap"), str("0"));
}

TEST_F(SettingsTest, PlatformSettingsApplyOnlyWhileTheApplicationExists) {
    TPlatform::SetConfig("vsync", "1");
    TPlatform::SetConfig("viewportscale", "2.5");
    {
        TPlatform app;
        TWin32Platform* platform = app.GetPlatform();
        EXPECT_FALSE(platform->GetVerticalSync());  // stored earlier, never applied
        EXPECT_FLOAT_EQ(platform->GetScaleX(), 1.0f);
        TPlatform::SetConfig("vsync", "12");
        TPlatform::SetConfig("viewportscale", "1.5");
        EXPECT_TRUE(platform->GetVerticalSync());
        EXPECT_FLOAT_EQ(platform->GetScaleX(), 1.5f);
        EXPECT_FLOAT_EQ(platform->GetScaleY(), 1.0f);
        TPlatform::SetConfig("vsync", "0");
        EXPECT_FALSE(platform->GetVerticalSync());
        // Writers that reach the table directly get the same effects.
        TSettingsMap::GetInstance().Set("vsync", "1");
        EXPECT_TRUE(platform->GetVerticalSync());
    }
    // After the teardown the store is empty and still works.
    EXPECT_FALSE(Has("vsync"));
    TPlatform::SetConfig("vsync", "1");
    EXPECT_EQ(Get("vsync"), str("1"));
}

}  // namespace
