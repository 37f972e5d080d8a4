#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/prefs/crypt.h"
#include "foundation/settingsmap.h"
#include "online/computerid.h"
#include "online/onlineservices.h"
#include "online/portal.h"
#include "platform/onlinehooks.h"
#include "platform/platform.h"
#include "support/printers.h"

namespace {

TEST(ComputerIdTest, FromAnAddress) {
    const uint8_t zero[8] = {};
    const char expected[] = {64, 66, 64, 67, 64, 68, 64, 69, 64, 70, 64, 71, 64, 72, 64, 73, 0};
    EXPECT_EQ(MakeComputerId(zero), str(expected));

    // Only A0..A5 count: A6 and A7 are copies of A3 and A4.
    const uint8_t a[8] = {0x00, 0x1B, 0x21, 0x3A, 0xC4, 0xFF, 0x12, 0x34};
    const uint8_t b[8] = {0x00, 0x1B, 0x21, 0x3A, 0xC4, 0xFF, 0x99, 0x99};
    str id = MakeComputerId(a);
    EXPECT_EQ(id, MakeComputerId(b));
    ASSERT_EQ(id.Length(), 16u);
    for (unsigned int i = 0; i < 8; ++i) {
        int even = static_cast<unsigned char>(id.GetAt(2 * i));
        int odd = static_cast<unsigned char>(id.GetAt(2 * i + 1));
        EXPECT_GE(even, 64);
        EXPECT_LE(even, 95);
        EXPECT_GE(odd, 66 + static_cast<int>(i));
        EXPECT_LE(odd, 73 + static_cast<int>(i));
    }
    // x = 0x00 ^ 0x1B = 0x1B: 64 + 27, 66 + 0.
    EXPECT_EQ(id.GetAt(0), static_cast<char>(91));
    EXPECT_EQ(id.GetAt(1), static_cast<char>(66));
}

TEST(ComputerIdTest, NeverEmpty) {
    EXPECT_EQ(GetComputerId().Length(), 16u);
}

TEST(PortalTest, NoPortalMode) {
    EXPECT_EQ(GetPortalPauseTime(), 0u);
    EXPECT_FALSE(IsZylomMode());
}

// Start-up as the program runs it: the online services registered, then the application object,
// which stores the computer identifier; a cheat code made for that identifier turns cheat mode on.
TEST(OnlineServicesTest, CheatCodeForThisComputer) {
    RegisterOnlineServices();
    EXPECT_FALSE(onlinehooks::ZylomMode());
    EXPECT_EQ(onlinehooks::PortalPauseTime(), 0u);
    TPlatform::SetConfig("encryptionkey", "QuietRiverStone");
    {
        TPlatform app;
        str id = TPlatform::GetConfig("computerid", "");
        ASSERT_EQ(id.Length(), 16u);

        TCrypt crypt("QuietRiverStone");
        std::vector<char> code(
            static_cast<size_t>(crypt.Encrypt(id.c_str(), 16, nullptr, 0, true)));
        crypt.Encrypt(id.c_str(), 16, code.data(), static_cast<int>(code.size()), true);
        TPlatform::SetConfig("cheatcode", code.data());
        EXPECT_EQ(TPlatform::GetConfig("cheatmode", ""), str("1"));

        TPlatform::SetConfig("cheatcode", "2WbL88H5Mm6o1qPXUiK3S+M9Fx2X+F4X");
        EXPECT_EQ(TPlatform::GetConfig("cheatmode", ""), str("0"));
    }
    onlinehooks::Install({});
}

}  // namespace
