// The DirectDraw object's device side: display devices and their enumeration, caps and the
// device identifier, video memory, display modes and cooperative levels.
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "displayfixture.h"
#include "port/display/control.h"
#include "port/window/metrics.h"
#include "port/window/window.h"

namespace {

using display_testing::DisplayTest;
using display_testing::EmptyDesc;
using display_testing::FormatOf;
using display_testing::Held;
using display_testing::SurfacePtr;
using port::control::AdapterSpec;
using port::control::DisplayModeSpec;
using raster::TPixelFormat;

using DrawPtr = Held<IDirectDraw7>;

constexpr GUID kSecondGuid = {0x11223344, 0x5566, 0x7788, {1, 2, 3, 4, 5, 6, 7, 8}};

struct Shown {
    bool hasGuid;
    GUID guid;
    std::string description;
    std::string driver;
};

BOOL Collect(GUID* guid, char* description, char* driver, void* context, HMONITOR) {
    auto* shown = static_cast<std::vector<Shown>*>(context);
    shown->push_back({guid != nullptr, guid != nullptr ? *guid : GUID{}, description, driver});
    return TRUE;
}

std::vector<Shown> Enumerate() {
    std::vector<Shown> shown;
    EXPECT_EQ(
        DirectDrawEnumerateExA(&Collect, &shown,
                               DDENUM_ATTACHEDSECONDARYDEVICES | DDENUM_DETACHEDSECONDARYDEVICES),
        DD_OK);
    return shown;
}

IDirectDraw7* Create(GUID* device) {
    IDirectDraw7* draw = nullptr;
    EXPECT_EQ(
        DirectDrawCreateEx(device, reinterpret_cast<void**>(&draw), IID_IDirectDraw7, nullptr),
        DD_OK);
    return draw;
}

AdapterSpec Second() {
    AdapterSpec second;
    second.hasGuid = true;
    second.guid = kSecondGuid;
    second.driver = "second.drv";
    second.description = "Second display";
    second.driverVersionHigh = 0x00060014;
    second.driverVersionLow = 0x000A0B0C;
    second.vendorId = 0x8086;
    second.deviceId = 0x2A02;
    second.subSysId = 0x01231028;
    second.revision = 12;
    second.identifier = GUID{0xCAFE0001, 0x0002, 0x0003, {9, 8, 7, 6, 5, 4, 3, 2}};
    second.videoMemory = 8u << 20;
    second.sourceColourKey = false;
    return second;
}

std::vector<DisplayModeSpec> ListedModes(IDirectDraw7* draw, DDSURFACEDESC2* filter = nullptr) {
    std::vector<DisplayModeSpec> modes;
    auto collect = [](DDSURFACEDESC2* mode, void* context) -> HRESULT {
        static_cast<std::vector<DisplayModeSpec>*>(context)->push_back(
            {static_cast<int>(mode->dwWidth), static_cast<int>(mode->dwHeight),
             static_cast<int>(mode->ddpfPixelFormat.dwRGBBitCount),
             static_cast<int>(mode->dwRefreshRate)});
        return DDENUMRET_OK;
    };
    EXPECT_EQ(draw->EnumDisplayModes(0, filter, &modes, collect), DD_OK);
    return modes;
}

DDCAPS Caps(IDirectDraw7* draw) {
    DDCAPS caps;
    std::memset(&caps, 0, sizeof caps);
    caps.dwSize = sizeof caps;
    EXPECT_EQ(draw->GetCaps(&caps, nullptr), DD_OK);
    return caps;
}

// ---- Devices

TEST_F(DisplayTest, OneDeviceListsOnlyTheDefaultWithoutAGuid) {
    std::vector<Shown> shown = Enumerate();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_FALSE(shown[0].hasGuid);
    EXPECT_FALSE(shown[0].description.empty());
}

TEST_F(DisplayTest, EnumerationShowsTheDefaultFirstThenEachDeviceWithItsGuid) {
    port::control::SetAdapters({AdapterSpec{}, Second()});
    std::vector<Shown> shown = Enumerate();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_FALSE(shown[0].hasGuid);
    EXPECT_TRUE(shown[1].hasGuid);
    EXPECT_TRUE(IsEqualGUID(shown[1].guid, kSecondGuid));
    EXPECT_EQ(shown[1].description, "Second display");
    EXPECT_EQ(shown[1].driver, "second.drv");

    // A callback answering FALSE stops the list.
    int calls = 0;
    auto stop = [](GUID*, char*, char*, void* context, HMONITOR) -> BOOL {
        ++*static_cast<int*>(context);
        return FALSE;
    };
    EXPECT_EQ(DirectDrawEnumerateExA(stop, &calls, DDENUM_ATTACHEDSECONDARYDEVICES), DD_OK);
    EXPECT_EQ(calls, 1);
}

TEST_F(DisplayTest, CreationByGuidTakesThatDeviceAndRefusesAnUnknownOne) {
    port::control::SetAdapters({AdapterSpec{}, Second()});
    GUID guid = kSecondGuid;
    DrawPtr second(Create(&guid));
    ASSERT_NE(second.get(), nullptr);
    DDDEVICEIDENTIFIER2 id;
    std::memset(&id, 0xAB, sizeof id);
    ASSERT_EQ(second->GetDeviceIdentifier(&id, 0), DD_OK);
    EXPECT_STREQ(id.szDriver, "second.drv");
    EXPECT_STREQ(id.szDescription, "Second display");
    EXPECT_EQ(id.dwDriverVersionHighPart, 0x00060014u);
    EXPECT_EQ(id.dwDriverVersionLowPart, 0x000A0B0Cu);
    EXPECT_EQ(id.dwVendorId, 0x8086u);
    EXPECT_EQ(id.dwDeviceId, 0x2A02u);
    EXPECT_EQ(id.dwSubSysId, 0x01231028u);
    EXPECT_EQ(id.dwRevision, 12u);
    EXPECT_TRUE(IsEqualGUID(id.guidDeviceIdentifier, Second().identifier));
    // Zero-filled: the text ends are zeros, not what the caller had there.
    EXPECT_EQ(id.szDriver[sizeof id.szDriver - 1], 0);
    EXPECT_EQ(second->GetDeviceIdentifier(nullptr, 0), DDERR_INVALIDPARAMS);

    DDCAPS caps = Caps(second.get());
    EXPECT_EQ(caps.dwVidMemTotal, 8u << 20);
    EXPECT_EQ(caps.dwCKeyCaps & DDCKEYCAPS_SRCBLT, 0u);
    EXPECT_EQ(Caps(mDraw).dwCKeyCaps & DDCKEYCAPS_SRCBLT, DDCKEYCAPS_SRCBLT);

    GUID unknown = {0xDEAD, 0, 0, {0}};
    IDirectDraw7* none = reinterpret_cast<IDirectDraw7*>(0x1);
    EXPECT_EQ(
        DirectDrawCreateEx(&unknown, reinterpret_cast<void**>(&none), IID_IDirectDraw7, nullptr),
        DDERR_INVALIDPARAMS);
    EXPECT_EQ(none, nullptr);
}

TEST_F(DisplayTest, CapsStructuresAreZeroFilledAndChecked) {
    DDCAPS hardware, emulation;
    std::memset(&hardware, 0xAB, sizeof hardware);
    std::memset(&emulation, 0xAB, sizeof emulation);
    hardware.dwSize = emulation.dwSize = sizeof(DDCAPS);
    ASSERT_EQ(mDraw->GetCaps(&hardware, &emulation), DD_OK);
    const auto* bytes = reinterpret_cast<const uint8_t*>(&hardware);
    for (size_t i = 0; i < sizeof hardware; ++i)
        ASSERT_NE(bytes[i], 0xAB) << "byte " << i;
    EXPECT_EQ(hardware.dwVidMemTotal, 256u << 20);
    EXPECT_EQ(emulation.dwVidMemTotal, 0u);
    hardware.dwSize = 8;
    EXPECT_EQ(mDraw->GetCaps(&hardware, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(mDraw->GetCaps(nullptr, nullptr), DDERR_INVALIDPARAMS);
}

// ---- Video memory

TEST_F(DisplayTest, VideoMemoryIsABudgetThatSurfacesTakeAndGiveBack) {
    AdapterSpec small;
    small.videoMemory = 1u << 20;  // 1 MiB
    port::control::SetAdapters({small});
    DrawPtr draw(Create(nullptr));
    ASSERT_EQ(draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    // 256 x 256 at 32 bits is 256 KiB; 512 x 512 is 1 MiB.
    struct Case {
        const char* what;
        DWORD caps;
        int width, height;
        HRESULT expected;
        DWORD placed;  // the memory GetSurfaceDesc reports
        uint64_t usedAfter;
    } cases[] = {
        {"video, fits", DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, 256, 256, DD_OK,
         DDSCAPS_VIDEOMEMORY, 256u << 10},
        {"no memory caps, fits", DDSCAPS_TEXTURE, 256, 256, DD_OK, DDSCAPS_VIDEOMEMORY, 512u << 10},
        {"video, past the budget", DDSCAPS_TEXTURE | DDSCAPS_VIDEOMEMORY, 512, 512,
         DDERR_OUTOFVIDEOMEMORY, 0, 512u << 10},
        {"no memory caps, past the budget", DDSCAPS_OFFSCREENPLAIN, 512, 512, DD_OK,
         DDSCAPS_SYSTEMMEMORY, 512u << 10},
        {"system memory", DDSCAPS_OFFSCREENPLAIN | DDSCAPS_SYSTEMMEMORY, 256, 256, DD_OK,
         DDSCAPS_SYSTEMMEMORY, 512u << 10},
        {"video, exactly the rest", DDSCAPS_OFFSCREENPLAIN | DDSCAPS_VIDEOMEMORY, 512, 256, DD_OK,
         DDSCAPS_VIDEOMEMORY, 1u << 20},
        {"no memory caps, nothing left", DDSCAPS_OFFSCREENPLAIN, 1, 1, DD_OK, DDSCAPS_SYSTEMMEMORY,
         1u << 20},
    };
    SurfacePtr made[std::size(cases)];
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.what);
        DDSURFACEDESC2 desc = EmptyDesc();
        desc.dwFlags = DDSD_CAPS | DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
        desc.dwWidth = static_cast<DWORD>(c.width);
        desc.dwHeight = static_cast<DWORD>(c.height);
        desc.ddpfPixelFormat = FormatOf(TPixelFormat::X8R8G8B8);
        desc.ddsCaps.dwCaps = c.caps;
        EXPECT_EQ(draw->CreateSurface(&desc, made[i].Out(), nullptr), c.expected);
        if (c.expected == DD_OK) {
            DDSURFACEDESC2 got = EmptyDesc();
            ASSERT_EQ(made[i]->GetSurfaceDesc(&got), DD_OK);
            EXPECT_EQ(got.ddsCaps.dwCaps & (DDSCAPS_VIDEOMEMORY | DDSCAPS_SYSTEMMEMORY), c.placed);
        }
        EXPECT_EQ(port::control::VideoMemory().used, c.usedAfter);
        EXPECT_EQ(Caps(draw.get()).dwVidMemFree, (1u << 20) - c.usedAfter);
    }
    // Releases give the bytes back; a system-memory surface gives nothing.
    made[4].Reset();
    made[6].Reset();
    EXPECT_EQ(port::control::VideoMemory().used, 1u << 20);
    made[0].Reset();
    made[1].Reset();
    made[5].Reset();
    EXPECT_EQ(Caps(draw.get()).dwVidMemFree, 1u << 20);
}

TEST_F(DisplayTest, TheWindowedPrimaryIsOutsideTheBudget) {
    AdapterSpec tiny;
    tiny.videoMemory = 4096;
    port::control::SetAdapters({tiny});
    DrawPtr draw(Create(nullptr));
    ASSERT_EQ(draw->SetCooperativeLevel(nullptr, DDSCL_NORMAL), DD_OK);
    DDSURFACEDESC2 desc = EmptyDesc();
    desc.dwFlags = DDSD_CAPS;
    desc.ddsCaps.dwCaps = DDSCAPS_PRIMARYSURFACE;
    SurfacePtr primary;
    ASSERT_EQ(draw->CreateSurface(&desc, primary.Out(), nullptr), DD_OK);
    EXPECT_EQ(port::control::VideoMemory().used, 0u);
}

// ---- Display modes

TEST_F(DisplayTest, TheDefaultModesAreThreeSizesAndTheDesktopsAt16And32Bits) {
    port::control::SetDesktop(1280, 1024, 32);
    port::control::SetDesktopRefreshRate(75);
    port::control::SetAdapters({});
    DrawPtr draw(Create(nullptr));
    std::vector<DisplayModeSpec> expected{
        {640, 480, 16, 75},  {640, 480, 32, 75},  {800, 600, 16, 75},   {800, 600, 32, 75},
        {1024, 768, 16, 75}, {1024, 768, 32, 75}, {1280, 1024, 16, 75}, {1280, 1024, 32, 75}};
    EXPECT_EQ(ListedModes(draw.get()), expected);
    EXPECT_EQ(port::control::AdapterModes(), expected);
}

TEST_F(DisplayTest, EnumDisplayModesGivesTheConfiguredListWith24BitModes) {
    AdapterSpec spec;
    spec.modes = {{800, 600, 16, 60}, {800, 600, 24, 60}, {1024, 768, 24, 85}, {800, 600, 32, 72}};
    port::control::SetAdapters({spec});
    DrawPtr draw(Create(nullptr));
    EXPECT_EQ(ListedModes(draw.get()), spec.modes);
    // A 15-bit or 8-bit mode has no surface format: it is not listed.
    port::control::AdapterSpec odd = spec;
    odd.modes.insert(odd.modes.begin(), {{640, 480, 15, 60}, {640, 480, 8, 60}});
    port::control::SetAdapters({odd, spec});
    EXPECT_EQ(ListedModes(DrawPtr(Create(nullptr)).get()), spec.modes);

    // What each description says: the format of the depth, a row-aligned pitch, no surface type.
    std::vector<DDSURFACEDESC2> descs;
    auto keep = [](DDSURFACEDESC2* mode, void* context) -> HRESULT {
        static_cast<std::vector<DDSURFACEDESC2>*>(context)->push_back(*mode);
        return DDENUMRET_OK;
    };
    ASSERT_EQ(draw->EnumDisplayModes(0, nullptr, &descs, keep), DD_OK);
    ASSERT_EQ(descs.size(), 4u);
    DDPIXELFORMAT r5g6b5 = FormatOf(TPixelFormat::R5G6B5);
    DDPIXELFORMAT r8g8b8 = FormatOf(TPixelFormat::R8G8B8);
    EXPECT_EQ(std::memcmp(&descs[0].ddpfPixelFormat, &r5g6b5, sizeof r5g6b5), 0);
    EXPECT_EQ(std::memcmp(&descs[1].ddpfPixelFormat, &r8g8b8, sizeof r8g8b8), 0);
    EXPECT_EQ(descs[1].lPitch, 2432);  // 2400 bytes rounded up to 64
    EXPECT_EQ(descs[0].ddsCaps.dwCaps, 0u);

    // A filter of size and depth: only the modes of 800 x 600 at 24 bits.
    DDSURFACEDESC2 filter = EmptyDesc();
    filter.dwFlags = DDSD_WIDTH | DDSD_HEIGHT | DDSD_PIXELFORMAT;
    filter.dwWidth = 800;
    filter.dwHeight = 600;
    filter.ddpfPixelFormat.dwRGBBitCount = 24;
    std::vector<DisplayModeSpec> only{{800, 600, 24, 60}};
    EXPECT_EQ(ListedModes(draw.get(), &filter), only);

    // Cancel stops the list.
    int calls = 0;
    auto cancel = [](DDSURFACEDESC2*, void* context) -> HRESULT {
        ++*static_cast<int*>(context);
        return DDENUMRET_CANCEL;
    };
    EXPECT_EQ(draw->EnumDisplayModes(0, nullptr, &calls, cancel), DD_OK);
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(draw->EnumDisplayModes(0, nullptr, nullptr, nullptr), DDERR_INVALIDPARAMS);
}

TEST_F(DisplayTest, GetDisplayModeAndTheMonitorFrequencyFollowTheDesktop) {
    port::control::SetDesktop(1024, 768, 16);
    port::control::SetDesktopRefreshRate(85);
    DDSURFACEDESC2 mode;
    std::memset(&mode, 0xAB, sizeof mode);
    mode.dwSize = sizeof mode;
    ASSERT_EQ(mDraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.dwWidth, 1024u);
    EXPECT_EQ(mode.dwHeight, 768u);
    EXPECT_EQ(mode.lPitch, 2048);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);
    EXPECT_EQ(mode.ddpfPixelFormat.dwGBitMask, 0x07E0u);
    EXPECT_EQ(mode.dwRefreshRate, 85u);
    // Caps without a surface type: a plain surface made from them in the mode's format.
    EXPECT_EQ(mode.ddsCaps.dwCaps & ~DDSCAPS_3DDEVICE, 0u);
    DWORD hertz = 0;
    ASSERT_EQ(mDraw->GetMonitorFrequency(&hertz), DD_OK);
    EXPECT_EQ(hertz, 85u);
    EXPECT_EQ(mDraw->GetMonitorFrequency(nullptr), DDERR_INVALIDPARAMS);
    mode.dwSize = 4;
    EXPECT_EQ(mDraw->GetDisplayMode(&mode), DDERR_INVALIDPARAMS);
}

class ExclusiveTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        port::control::SetDesktop(1024, 768, 32);
        mWindow = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, 1024, 768});
    }
    HWND mWindow = nullptr;
};

TEST_F(ExclusiveTest, SetDisplayModeNeedsTheExclusiveLevelAndAListedMode) {
    ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(mDraw->SetDisplayMode(800, 600, 32, 0, 0), DDERR_NOEXCLUSIVEMODE);
    ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    struct Case {
        DWORD width, height, bits, refresh;
        HRESULT expected;
    } cases[] = {
        {800, 600, 24, 0, DDERR_INVALIDMODE},  // not listed by default
        {800, 600, 15, 0, DDERR_INVALIDMODE},  // no 555 modes
        {801, 600, 32, 0, DDERR_INVALIDMODE},
        {800, 600, 32, 59, DDERR_INVALIDMODE},  // the desktop runs at 60 Hz
        {800, 600, 32, 60, DD_OK},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(mDraw->SetDisplayMode(c.width, c.height, c.bits, c.refresh, 0), c.expected)
            << c.width << "x" << c.height << "x" << c.bits << "@" << c.refresh;
    }
    EXPECT_EQ(mDraw->SetDisplayMode(640, 480, 16, 0, 1), DDERR_INVALIDPARAMS);
}

TEST_F(ExclusiveTest, SetDisplayModeChangesTheDesktopAndRestoreDisplayModeUndoesIt) {
    ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ClearLog();
    ASSERT_EQ(mDraw->SetDisplayMode(800, 600, 16, 0, 0), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
    std::vector<window_testing::Seen> changes = Messages(WM_DISPLAYCHANGE, mWindow);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].wParam, 16u);
    EXPECT_EQ(changes[0].lParam, MAKELPARAM(800, 600));
    DDSURFACEDESC2 mode = EmptyDesc();
    ASSERT_EQ(mDraw->GetDisplayMode(&mode), DD_OK);
    EXPECT_EQ(mode.ddpfPixelFormat.dwRGBBitCount, 16u);

    // A second mode in the same hold: the first desktop is still the one to come back.
    ASSERT_EQ(mDraw->SetDisplayMode(640, 480, 32, 0, 0), DD_OK);
    ClearLog();
    ASSERT_EQ(mDraw->RestoreDisplayMode(), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
    changes = Messages(WM_DISPLAYCHANGE, mWindow);
    ASSERT_EQ(changes.size(), 1u);
    EXPECT_EQ(changes[0].wParam, 32u);
    EXPECT_EQ(changes[0].lParam, MAKELPARAM(1024, 768));
    // Nothing more to undo.
    ClearLog();
    ASSERT_EQ(mDraw->RestoreDisplayMode(), DD_OK);
    EXPECT_TRUE(Messages(WM_DISPLAYCHANGE).empty());
}

TEST_F(ExclusiveTest, LeavingTheExclusiveLevelOrReleasingTheObjectPutsTheModeBack) {
    ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(mDraw->SetDisplayMode(800, 600, 32, 0, 0), DD_OK);
    ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);

    DrawPtr other(Create(nullptr));
    ASSERT_EQ(other->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
    ASSERT_EQ(other->SetDisplayMode(640, 480, 16, 0, 0), DD_OK);
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 640);
    ClearLog();
    other.Reset();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_EQ(Messages(WM_DISPLAYCHANGE, mWindow).size(), 1u);
    // The hold ended with it: the first object may take exclusive mode again.
    EXPECT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
}

// ---- Cooperative levels

TEST_F(ExclusiveTest, ExclusiveModeIsHeldByOneObjectAtATime) {
    DrawPtr other(Create(nullptr));
    ASSERT_EQ(other->SetCooperativeLevel(mWindow, DDSCL_NORMAL), DD_OK);
    ASSERT_EQ(
        mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_FPUPRESERVE),
        DD_OK);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);
    EXPECT_EQ(other->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
              DDERR_EXCLUSIVEMODEALREADYSET);
    EXPECT_EQ(other->TestCooperativeLevel(), DDERR_EXCLUSIVEMODEALREADYSET);
    // Asking again is no second hold.
    EXPECT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);

    ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_NORMAL), DD_OK);
    EXPECT_EQ(other->TestCooperativeLevel(), DD_OK);
    EXPECT_EQ(other->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
}

TEST_F(ExclusiveTest, AnotherApplicationHoldingExclusiveMode) {
    port::control::SetOtherApplicationExclusive(true);
    EXPECT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN),
              DDERR_EXCLUSIVEMODEALREADYSET);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DDERR_EXCLUSIVEMODEALREADYSET);
    port::control::SetOtherApplicationExclusive(false);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);
    EXPECT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
}

TEST_F(ExclusiveTest, TheLevelsFlagsAndWindowAreChecked) {
    HWND child = MakeChild(mWindow, RECT{0, 0, 10, 10});
    struct Case {
        const char* what;
        HWND window;
        DWORD flags;
        HRESULT expected;
    } cases[] = {
        {"exclusive without full screen", mWindow, DDSCL_EXCLUSIVE, DDERR_INVALIDPARAMS},
        {"full screen without exclusive", mWindow, DDSCL_FULLSCREEN, DDERR_INVALIDPARAMS},
        {"normal and exclusive", mWindow, DDSCL_NORMAL | DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN,
         DDERR_INVALIDPARAMS},
        {"no level", mWindow, DDSCL_FPUPRESERVE, DDERR_INVALIDPARAMS},
        {"exclusive on a child", child, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN, DDERR_INVALIDPARAMS},
        {"exclusive without a window", nullptr, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN,
         DDERR_INVALIDPARAMS},
        {"normal without a window", nullptr, DDSCL_NORMAL, DD_OK},
        {"normal with FPU preserve", mWindow, DDSCL_NORMAL | DDSCL_FPUPRESERVE, DD_OK},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mDraw->SetCooperativeLevel(c.window, c.flags), c.expected) << c.what;
}

TEST_F(DisplayTest, ForcedAnswersOfTestCooperativeLevelAndRestoreAllSurfaces) {
    port::control::ForceTestCooperativeLevel(DDERR_WRONGMODE);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DDERR_WRONGMODE);
    EXPECT_EQ(mDraw->RestoreAllSurfaces(), DDERR_WRONGMODE);
    port::control::ForceTestCooperativeLevel(DD_OK);
    EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);

    for (HRESULT answer : {DDERR_OUTOFVIDEOMEMORY, DDERR_WRONGMODE, E_OUTOFMEMORY}) {
        port::control::SetRestoreAllSurfacesResult(answer);
        EXPECT_EQ(mDraw->RestoreAllSurfaces(), answer);
        EXPECT_EQ(mDraw->TestCooperativeLevel(), DD_OK);
    }
    port::control::SetRestoreAllSurfacesResult(DD_OK);
    EXPECT_EQ(mDraw->RestoreAllSurfaces(), DD_OK);
}

TEST_F(DisplayTest, VerticalBlankAndFlipToGdiAnswerAtOnce) {
    EXPECT_EQ(mDraw->WaitForVerticalBlank(DDWAITVB_BLOCKBEGIN, nullptr), DD_OK);
    EXPECT_EQ(mDraw->WaitForVerticalBlank(0, nullptr), DDERR_INVALIDPARAMS);
    EXPECT_EQ(mDraw->FlipToGDISurface(), DD_OK);
}

}  // namespace
