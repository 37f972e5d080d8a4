#include "foundation/settingsmap.h"

#include <gtest/gtest.h>

#include <thread>

#include "support/printers.h"

namespace {

class SettingsMapTest : public ::testing::Test {
protected:
};

TEST_F(SettingsMapTest, GetNeverInserts) {
    TSettingsMap& settings = TSettingsMap::GetInstance();
    EXPECT_EQ(settings.Get("absent", "fallback"), str("fallback"));
    EXPECT_FALSE(settings.Has("absent"));
    settings.Set("Key", "one");
    settings.Set("Key", "two");
    EXPECT_EQ(settings.Get("Key", ""), str("two"));
    EXPECT_FALSE(settings.Has("key"));  // keys are case-sensitive
    settings.Clear();
    EXPECT_FALSE(settings.Has("Key"));
}

str gSeenKey, gSeenValue;
void Observe(const str& key, const str& value) {
    gSeenKey = key;
    gSeenValue = value;
    // The observer may read the table: it runs outside the lock.
    EXPECT_EQ(TSettingsMap::GetInstance().Get(key, ""), value);
}

TEST_F(SettingsMapTest, ObserverSeesEverySet) {
    TSettingsMap::GetInstance().SetObserver(Observe);
    TSettingsMap::GetInstance().Set("vsync", "1");
    EXPECT_EQ(gSeenKey, str("vsync"));
    EXPECT_EQ(gSeenValue, str("1"));
}

TEST_F(SettingsMapTest, ReadersAndWritersOnTwoThreads) {
    TSettingsMap& settings = TSettingsMap::GetInstance();
    std::thread writer([&settings] {
        for (int i = 0; i < 500; ++i)
            settings.Set("counter", str::Format("%d", i));
    });
    for (int i = 0; i < 500; ++i)
        settings.Get("counter", "");
    writer.join();
    EXPECT_EQ(settings.Get("counter", ""), str("499"));
}

}  // namespace
