// The event pump's keyboard and character translation: the key-code table down and up, the
// modifiers, Insert, the Alt keys (Enter, F1, the rest) and the characters of ANSI and Unicode
// windows.
#include "platform/keymap.h"

#include "platform/display/dxcontext.h"
#include "platform/draw/renderer.h"
#include "port/window/input.h"
#include "port/window/vkeys.h"
#include "pumpfixture.h"

namespace {

using port::control::InjectKey;
using pump_testing::Describe;
using pump_testing::PumpTest;

struct KeyRow {
    UINT virtualKey;
    int down;
    int up;
};

// Every row of the key table, and two keys that keep their virtual-key code.
const KeyRow kKeyTable[] = {
    {VK_UP, -128, 65408},      {VK_DOWN, -127, 65409},     {VK_LEFT, -126, 65410},
    {VK_RIGHT, -125, 65411},   {VK_PRIOR, -123, 65413},    {VK_NEXT, -122, 65414},
    {VK_DELETE, -1, 65535},    {VK_NUMPAD0, '0', '0'},     {VK_NUMPAD5, '5', '5'},
    {VK_NUMPAD9, '9', '9'},    {VK_MULTIPLY, 42, 42},      {VK_ADD, 43, 43},
    {VK_SUBTRACT, 45, 45},     {VK_DECIMAL, 46, 46},       {VK_DIVIDE, 47, 47},
    {VK_SEPARATOR, 10, 10},    {0xBA, 59, 59},             {0xBB, 43, 43},
    {0xBC, 44, 44},            {0xBD, 45, 45},             {0xBE, 46, 46},
    {0xBF, 47, 47},            {0xC0, 96, 96},             {0xDB, 91, 91},
    {0xDC, 92, 92},            {0xDD, 93, 93},             {0xDE, 39, 39},
    {'A', 'A', 'A'},           {VK_F5, VK_F5, VK_F5},
};

TEST(KeyMapTest, TableDownAndUp) {
    for (const KeyRow& row : kKeyTable) {
        SCOPED_TRACE(row.virtualKey);
        EXPECT_EQ(FrameworkKeyCode(row.virtualKey), row.down);
        EXPECT_EQ(FrameworkKeyUpCode(row.virtualKey), row.up);
    }
    // Insert's key-up code, though Insert goes down only with Shift.
    EXPECT_EQ(FrameworkKeyUpCode(VK_INSERT), 65412);
}

TEST_F(PumpTest, KeyTableThroughThePump) {
    Start();
    for (const KeyRow& row : kKeyTable) {
        SCOPED_TRACE(row.virtualKey);
        InjectKey(row.virtualKey, true);
        TPlatformEvent down = Turn();
        EXPECT_EQ(down.type, kEventKeyDown) << Describe(down);
        EXPECT_EQ(down.value, row.down);
        InjectKey(row.virtualKey, false);
        TPlatformEvent up = Turn();
        EXPECT_EQ(up.type, kEventKeyUp) << Describe(up);
        EXPECT_EQ(up.value, row.up);
        Settle();
    }
}

TEST_F(PumpTest, KeyModifiersAndTheExtendedBit) {
    Start();
    InjectKey(VK_SHIFT, true);
    InjectKey(VK_CONTROL, true);
    Settle();
    InjectKey(VK_LEFT, true);  // an extended key
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventKeyDown);
    EXPECT_EQ(event.value, kKeyLeft);
    EXPECT_EQ(event.extra, kKeyModShift | kKeyModCtrl | kKeyModExtended);
    EXPECT_EQ(event.x, 0);
    EXPECT_EQ(event.y, 0);
}

TEST_F(PumpTest, KeyUpCarriesTheMouseModifiersOfItsCode) {
    Start();
    InjectKey('L', true);
    Settle();
    InjectKey('L', false);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventKeyUp);
    EXPECT_EQ(event.value, 76);
    // 76 has the MK_SHIFT (4) and MK_CONTROL (8) bits.
    EXPECT_EQ(event.extra, 3);
}

TEST_F(PumpTest, InsertOnlyWithShiftAndWithoutCtrl) {
    Start();
    struct {
        bool shift;
        bool ctrl;
        int type;
    } cases[] = {
        {false, false, kEventNothing},
        {true, false, kEventKeyDown},
        {true, true, kEventNothing},
        {false, true, kEventNothing},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.shift << c.ctrl);
        if (c.shift) InjectKey(VK_SHIFT, true);
        if (c.ctrl) InjectKey(VK_CONTROL, true);
        Settle();
        InjectKey(VK_INSERT, true);
        TPlatformEvent event = Turn();
        EXPECT_EQ(event.type, c.type) << Describe(event);
        if (c.type == kEventKeyDown) {
            EXPECT_EQ(event.value, kKeyInsert);
            EXPECT_EQ(event.extra, kKeyModShift | kKeyModExtended);
        }
        InjectKey(VK_INSERT, false);
        if (c.shift) InjectKey(VK_SHIFT, false);
        if (c.ctrl) InjectKey(VK_CONTROL, false);
        Settle();
    }
}

TEST_F(PumpTest, AltKeysCarryTheVirtualKeyAndAlt) {
    Start();
    InjectKey(VK_SHIFT, true);
    InjectKey(VK_MENU, true);
    Settle();
    InjectKey('X', true);
    TPlatformEvent x = Turn();
    EXPECT_EQ(x.type, kEventKeyDown);
    EXPECT_EQ(x.value, 88);
    EXPECT_EQ(x.extra, kKeyModAlt | kKeyModShift);
    // A mapped key keeps its raw code with Alt.
    InjectKey(VK_LEFT, true);
    TPlatformEvent left = Turn();
    EXPECT_EQ(left.type, kEventKeyDown);
    EXPECT_EQ(left.value, static_cast<int>(VK_LEFT));
    EXPECT_EQ(left.extra, kKeyModAlt | kKeyModShift | kKeyModExtended);
}

TEST_F(PumpTest, AltF1TogglesTheStatisticsAndReportsNothing) {
    Start();
    TRenderer* renderer = TRenderer::GetInstance();
    bool before = renderer->IsStatsVisible();
    InjectKey(VK_SHIFT, true);  // a key event with a value the next turn must not repeat
    InjectKey(VK_MENU, true);
    Settle();
    InjectKey(VK_F1, true);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventNothing) << Describe(event);
    EXPECT_EQ(event.value, 0);
    EXPECT_EQ(event.extra, 0);
    EXPECT_NE(renderer->IsStatsVisible(), before);
    InjectKey(VK_F1, false);
    InjectKey(VK_F1, true);
    Settle();
    EXPECT_EQ(renderer->IsStatsVisible(), before);
}

TEST_F(PumpTest, AltEnterSwitchesTheDisplay) {
    Start();
    TPlatformData* display = MakeDisplay();
    // A size the desktop has as a full-screen mode.
    display->SetDisplay(640, 480, false, true, false, false);
    Settle();
    InjectKey(VK_MENU, true);
    Settle();
    InjectKey(VK_RETURN, true);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventFullscreenSwitch) << Describe(event);
    EXPECT_EQ(event.value, 1);
    EXPECT_TRUE(display->IsFullscreen());
    InjectKey(VK_RETURN, false);
    Settle();
    InjectKey(VK_RETURN, true);
    event = Turn();
    EXPECT_EQ(event.type, kEventFullscreenSwitch);
    EXPECT_EQ(event.value, 0);
    EXPECT_FALSE(display->IsFullscreen());
}

TEST_F(PumpTest, AltEnterEmbeddedWithoutHostedModeReportsNothing) {
    port::control::ForeignWindowSpec spec;
    HWND host = port::control::CreateForeignWindow(spec);
    Start("", false, true, host);
    TPlatformData* display = MakeDisplay();
    SetFocus(mWindow);
    InjectKey(VK_MENU, true);
    Settle();
    InjectKey(VK_RETURN, true);
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventNothing) << Describe(event);
    EXPECT_FALSE(display->IsFullscreen());
}

TEST_F(PumpTest, AnsiCharactersCarryTheirCode) {
    Start();
    port::control::InjectText("L");
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventChar);
    EXPECT_EQ(event.value, 'L');
    EXPECT_EQ(event.extra, 3);
}

TEST_F(PumpTest, UnicodeCharactersJoinSurrogatePairs) {
    Start("", true);
    ASSERT_TRUE(mPlatform->IsUnicodeMode());
    port::control::InjectText("\xC3\xA9");  // é: one unit
    TPlatformEvent event = Turn();
    EXPECT_EQ(event.type, kEventUnicodeChar);
    EXPECT_EQ(event.value, 0xE9);
    EXPECT_EQ(event.extra, 0);

    port::control::InjectText("\xF0\x9F\x98\x80");  // U+1F600: a pair
    TPlatformEvent high = Turn();
    EXPECT_EQ(high.type, kEventNothing);
    TPlatformEvent joined = Turn();
    EXPECT_EQ(joined.type, kEventUnicodeChar);
    EXPECT_EQ(joined.value, 0x1F600);

    // A low surrogate with no high one before it.
    PostMessageW(mWindow, WM_CHAR, 0xDE00, 0);
    TPlatformEvent lone = Turn();
    EXPECT_EQ(lone.type, kEventNothing) << Describe(lone);
    EXPECT_EQ(lone.value, 0);
}

}  // namespace
