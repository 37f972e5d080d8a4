#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/prefs/crypt.h"
#include "foundation/settingsmap.h"
#include "platform/platform.h"
#include "platform/settingkeys.h"
#include "platform/win32platform.h"
#include "support/printers.h"

namespace {

class SettingsTest : public ::testing::Test {
protected:
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

// Each row: whether an application object exists, the settings written in order, and what must
// hold afterwards.
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
        std::function<bool()> holds;
    };
    auto is = [](const char* key, const char* value) {
        return [key, value] { return Get(key) == str(value); };
    };
    auto absent = [](const char* key) {
        // GetConfig answers the default and never inserts.
        return [key] { return Get(key) == str("<absent>") && !Has(key); };
    };
    auto enabled = [](const char* value, bool on) {
        return Row{value, false, {{"flag", value}}, [on] { return IsEnabled("flag") == on; }};
    };
    const std::vector<Row> rows = {
        enabled("1", true),
        enabled("12", true),
        enabled("-3", true),
        enabled("7 days", true),
        enabled("", false),
        enabled("0", false),
        enabled("abc", false),
        enabled("ab c", false),
        enabled("x1", false),
        {"IsEnabled of an absent key", false, {}, [] { return !IsEnabled("flag"); }},
        {"set then get", false, {{"k", "v"}, {"k", "w"}}, is("k", "w")},
        {"absent key", false, {{"k", "v"}}, absent("other")},
        {"keys are case-sensitive", false, {{"Key", "v"}}, absent("key")},
        {"legacylinewrap set to 0 still switches the mode on",
         false,
         {{"legacylinewrap", "0"}},
         [] { return IsLegacyLineWrap() && Get("legacylinewrap") == str("0"); }},
        {"vsync before the application: stored, no display effect",
         false,
         {{"vsync", "1"}},
         is("vsync", "1")},
        {"vsync with the application",
         true,
         {{"vsync", "1"}},
         [] { return TPlatform::GetInstance()->GetPlatform()->GetVerticalSync(); }},
        {"viewportscale with the application",
         true,
         {{"viewportscale", "0.5"}},
         [] { return TPlatform::GetInstance()->GetPlatform()->GetScaleX() == 0.5f; }},
        {"cheat code then key",
         false,
         {{"computerid", "ABCDEFGHIJKLMNOP"},
          {"cheatcode", code},
          {"encryptionkey", "QuietRiverStone"}},
         is("cheatmode", "1")},
        {"key then cheat code",
         false,
         {{"encryptionkey", "QuietRiverStone"},
          {"computerid", "ABCDEFGHIJKLMNOP"},
          {"cheatcode", code}},
         is("cheatmode", "1")},
        {"another computer",
         false,
         {{"computerid", "ABCDEFGHIJKLMNOQ"},
          {"encryptionkey", "QuietRiverStone"},
          {"cheatcode", code}},
         is("cheatmode", "0")},
        {"the key changes",
         false,
         {{"computerid", "ABCDEFGHIJKLMNOP"},
          {"encryptionkey", "QuietRiverStone"},
          {"cheatcode", code},
          {"encryptionkey", "OtherKey"}},
         is("cheatmode", "0")},
        {"cheat code without a key", false, {{"cheatcode", code}}, absent("cheatmode")},
        {"empty cheat code keeps the mode",
         false,
         {{"cheatmode", "1"}, {"encryptionkey", "QuietRiverStone"}, {"cheatcode", ""}},
         is("cheatmode", "1")},
        // Deciphers to an empty text, which must not match an absent computer identifier.
        {"a code that deciphers to nothing",
         false,
         {{"encryptionkey", "QuietRiverStone"}, {"cheatcode", empty}},
         is("cheatmode", "0")},
        {"the computer identifier alone sets nothing off",
         false,
         {{"encryptionkey", "QuietRiverStone"},
          {"cheatcode", code},
          {"computerid", "ABCDEFGHIJKLMNOP"}},
         is("cheatmode", "0")},
    };
    for (const Row& row : rows) {
        TSettingsMap::GetInstance().Clear();
        std::unique_ptr<TPlatform> app;
        if (row.withApplication) app = std::make_unique<TPlatform>();
        for (const Step& step : row.steps)
            TPlatform::SetConfig(step.key, step.value);
        EXPECT_TRUE(row.holds()) << row.what;
    }
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
