// CDisplay and CSurface on the headless backend: the full-screen search over the display
// devices, the depth rules, the flip chain and its retry, the windowed display and its window
// fitting, presenting, and the off-screen surfaces.
#include "platform/display/display.h"

#include <gtest/gtest.h>

#include "dxfixture.h"
#include "platform/display/surface.h"
#include "platform/platform.h"
#include "port/window/metrics.h"
#include "port/window/windowpos.h"

namespace {

using dx_testing::ArgOf;
using port::control::AdapterSpec;
using port::control::DisplayModeSpec;
using port::control::Failure;

const char* const kNoDisplayText =
    "Sorry, but this product isn't compatible with your display. Try using a different display "
    "(for instance, the main display in your laptop), if you have the option.";

AdapterSpec Secondary(uint32_t id, std::vector<DisplayModeSpec> modes = {}) {
    AdapterSpec spec;
    spec.hasGuid = true;
    spec.guid = GUID{0xD15A0000u + id, 1, 2, {3, 4, 5, 6, 7, 8, 9, static_cast<uint8_t>(id)}};
    spec.description = "Secondary display " + std::to_string(id);
    spec.modes = std::move(modes);
    return spec;
}

Failure ExclusiveRefused(int count) {
    Failure failure;
    failure.code = static_cast<uint32_t>(DDERR_EXCLUSIVEMODEALREADYSET);
    failure.count = count;
    failure.when = [](const port::CallInfo& call) {
        return (call.Arg("flags") & DDSCL_EXCLUSIVE) != 0;
    };
    return failure;
}

class DisplayTest : public dx_testing::DxTest {
protected:
    // The call names of the search, in order: device creation, exclusive levels, mode changes
    // and enumerations.
    std::vector<std::string> SearchSteps() {
        std::vector<std::string> steps;
        for (const auto& call : Calls()) {
            if (call.operation == "DirectDrawCreateEx") {
                steps.push_back(ArgOf(call, "default") == 1 ? "create default" : "create guid");
            } else if (call.operation == "SetCooperativeLevel" &&
                       (ArgOf(call, "flags") & DDSCL_EXCLUSIVE) != 0) {
                steps.push_back(call.result == DD_OK ? "exclusive" : "exclusive refused");
            } else if (call.operation == "SetDisplayMode") {
                steps.push_back(call.result == DD_OK ? "mode" : "mode refused");
            } else if (call.operation == "DirectDrawEnumerateExA") {
                steps.push_back("enumerate");
            }
        }
        return steps;
    }

    // The bits of every SetDisplayMode call.
    std::vector<long long> ModeBits() {
        std::vector<long long> bits;
        for (const auto& call : Calls("SetDisplayMode"))
            bits.push_back(ArgOf(call, "bits"));
        return bits;
    }
};

TEST_F(DisplayTest, DefaultDeviceRefusingExclusiveLeadsToTheEnumeratedDevicesInOrder) {
    // The first secondary device has no 800 x 600 mode; the second takes it.
    port::control::SetAdapters({AdapterSpec{}, Secondary(1, {{1024, 768, 32, 60}}), Secondary(2)});
    port::control::InjectFailure("SetCooperativeLevel", ExclusiveRefused(1));
    HWND window = MakeWindow();
    {
        CDisplay display;
        EXPECT_EQ(display.CreateFullScreenDisplay(window, 800, 600, 32, 1), S_OK);
        EXPECT_EQ(SearchSteps(),
                  (std::vector<std::string>{"create default", "exclusive refused", "enumerate",
                                            "create guid", "exclusive", "mode refused", "enumerate",
                                            "create guid", "exclusive", "mode"}));
        EXPECT_TRUE(Logged("Failed to create screen at 32 bpp."));
        EXPECT_TRUE(Logged("Created screen at 32 bpp."));
        // The chain lives on the second secondary device.
        EXPECT_EQ(port::control::VideoMemory(1).used, 0u);
        EXPECT_GT(port::control::VideoMemory(2).used, 0u);
        EXPECT_FALSE(display.IsWindowed());
        EXPECT_NE(display.GetBackBuffer(), nullptr);
        EXPECT_TRUE(display.WasCreated());
        RECT bounds = display.GetBounds();
        EXPECT_EQ(bounds.right, GetSystemMetrics(SM_CXSCREEN));
        EXPECT_EQ(bounds.bottom, GetSystemMetrics(SM_CYSCREEN));
        EXPECT_TRUE(port::control::MessageBoxes().empty());
    }
    // The display let go of every surface, back buffer included.
    EXPECT_TRUE(port::control::Surfaces().empty());
}

TEST_F(DisplayTest, EveryDeviceFailingIsLoggedAndToldOnlyOnAFirstCreation) {
    port::control::SetAdapters({AdapterSpec{}, Secondary(1), Secondary(2)});
    HWND window = MakeWindow();

    CDisplay fresh;
    port::control::InjectFailure("SetCooperativeLevel", ExclusiveRefused(-1));
    EXPECT_EQ(fresh.CreateFullScreenDisplay(window, 800, 600, 32, 1), E_FAIL);
    EXPECT_EQ(SearchSteps(),
              (std::vector<std::string>{"create default", "exclusive refused", "enumerate",
                                        "create guid", "exclusive refused", "enumerate",
                                        "create guid", "exclusive refused", "enumerate"}));
    EXPECT_TRUE(Logged("Failed to create a DirectDraw device after trying all GUIDs"));
    auto boxes = port::control::MessageBoxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].owner, nullptr);
    EXPECT_EQ(boxes[0].text, kNoDisplayText);
    EXPECT_EQ(boxes[0].caption, "Error");
    EXPECT_EQ(boxes[0].flags, MB_ICONERROR);

    // A display that worked once fails quietly later.
    port::control::ClearMessageBoxes();
    port::control::ClearFailures();
    CDisplay worked;
    ASSERT_EQ(worked.CreateFullScreenDisplay(window, 800, 600, 32, 1), S_OK);
    port::control::InjectFailure("SetCooperativeLevel", ExclusiveRefused(-1));
    EXPECT_EQ(worked.CreateFullScreenDisplay(window, 800, 600, 32, 1), E_FAIL);
    EXPECT_TRUE(port::control::MessageBoxes().empty());
    EXPECT_TRUE(worked.WasCreated());
}

TEST_F(DisplayTest, AStartIndexSkipsThatManyDevicesDefaultIncluded) {
    port::control::SetAdapters({AdapterSpec{}, Secondary(1), Secondary(2)});
    HWND window = MakeWindow();
    CDisplay display;
    EXPECT_EQ(display.CreateFullScreenDisplay(window, 800, 600, 32, (2u << 16) | 1), S_OK);
    EXPECT_EQ(SearchSteps(),
              (std::vector<std::string>{"enumerate", "create guid", "exclusive", "mode"}));
    EXPECT_GT(port::control::VideoMemory(2).used, 0u);
}

TEST_F(DisplayTest, LittleFreeVideoMemoryTurnsA32BitRequestInto16Bits) {
    AdapterSpec small;
    small.videoMemory = 8u << 20;
    port::control::SetAdapters({small});
    HWND window = MakeWindow();
    CDisplay display;
    ASSERT_EQ(display.CreateFullScreenDisplay(window, 640, 480, 32, 1), S_OK);
    EXPECT_EQ(ModeBits(), (std::vector<long long>{16}));
    EXPECT_TRUE(Logged("Created screen at 16 bpp."));
}

TEST_F(DisplayTest, ModeDepthIsChosenAmongTheModesOfThatSize) {
    struct Case {
        std::vector<DisplayModeSpec> modes;
        int asked;
        long long set;
        const char* logged;
    };
    const Case cases[] = {
        // The asked depth when the size has it.
        {{{800, 600, 16}, {800, 600, 32}}, 32, 32, "Created screen at 32 bpp."},
        // Else 16; the line keeps the asked depth.
        {{{800, 600, 16}, {800, 600, 24}}, 32, 16, "Created screen at 32 bpp."},
        // Else the first mode of that size.
        {{{1024, 768, 16}, {800, 600, 24}, {800, 600, 32}}, 16, 24, "Created screen at 16 bpp."},
        // No mode of that size: the asked depth, which the device then refuses.
        {{{1024, 768, 32}}, 32, 32, "Failed to create screen at 32 bpp."},
    };
    HWND window = MakeWindow();
    for (const Case& c : cases) {
        AdapterSpec adapter;
        adapter.modes = c.modes;
        port::control::SetAdapters({adapter});
        port::control::KeepCallLog(true);
        mLog.Clear();
        CDisplay display;
        display.CreateFullScreenDisplay(window, 800, 600, c.asked, 1);
        ASSERT_FALSE(ModeBits().empty());
        EXPECT_EQ(ModeBits().front(), c.set) << c.logged;
        EXPECT_TRUE(Logged(c.logged)) << c.logged;
    }
}

TEST_F(DisplayTest, FrontBufferRefusedWithTheHintIsMadeWithoutIt) {
    Failure failure;
    failure.code = static_cast<uint32_t>(DDERR_INVALIDPARAMS);
    failure.when = [](const port::CallInfo& call) {
        return (call.Arg("caps") & DDSCAPS_PRIMARYSURFACE) != 0;
    };
    port::control::InjectFailure("CreateSurface", failure);
    HWND window = MakeWindow();
    CDisplay display;
    ASSERT_EQ(display.CreateFullScreenDisplay(window, 800, 600, 32, CDisplay::kFlagAntialiasHint),
              S_OK);
    EXPECT_EQ(CountCalls("CreateSurface"), 2);
    EXPECT_TRUE(Logged("FAILED to create front buffer with DDSCAPS2_ENABLEALPHACHANNEL"));
    uint32_t front = port::control::SurfaceId(display.GetFrontBuffer());
    for (const auto& surface : port::control::Surfaces()) {
        if (surface.id == front) {
            EXPECT_EQ(surface.caps2, 0u);
        }
    }
}

TEST_F(DisplayTest, FullScreenBuffersAreFilledBlackBackFirst) {
    HWND window = MakeWindow();
    CDisplay display;
    ASSERT_EQ(display.CreateFullScreenDisplay(window, 640, 480, 32, 1), S_OK);
    auto fills = Calls("Blt");
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(ArgOf(fills[0], "surface"), port::control::SurfaceId(display.GetBackBuffer()));
    EXPECT_EQ(ArgOf(fills[1], "surface"), port::control::SurfaceId(display.GetFrontBuffer()));
    port::control::Image front = port::control::SurfaceImage(display.GetFrontBuffer());
    ASSERT_FALSE(front.Empty());
    EXPECT_EQ(front.At(0, 0) & 0xFFFFFFu, 0u);
    EXPECT_EQ(front.At(639, 479) & 0xFFFFFFu, 0u);
}

TEST_F(DisplayTest, FullScreenFlipLosingTheSurfacesRestoresBothAndAnswersTheLoss) {
    HWND window = MakeWindow();
    CDisplay display;
    ASSERT_EQ(display.CreateFullScreenDisplay(window, 640, 480, 32, 1), S_OK);
    port::control::KeepCallLog(true);
    port::control::InjectFailure("Flip", static_cast<DWORD>(DDERR_SURFACELOST), 1);
    EXPECT_EQ(display.Present(), DDERR_SURFACELOST);
    auto restores = Calls("Restore");
    ASSERT_EQ(restores.size(), 2u);
    EXPECT_EQ(ArgOf(restores[0], "surface"), port::control::SurfaceId(display.GetFrontBuffer()));
    EXPECT_EQ(ArgOf(restores[1], "surface"), port::control::SurfaceId(display.GetBackBuffer()));
    EXPECT_EQ(CountCalls("Flip"), 1);
    EXPECT_EQ(display.Present(), DD_OK);
}

TEST_F(DisplayTest, WindowedPresentRepeatsTheBlitWhileStillDrawing) {
    HWND window = MakeWindow();
    CDisplay display;
    ASSERT_EQ(
        display.CreateWindowedDisplay(window, nullptr, 320, 240, false, CDisplay::kFlagKeepWindow),
        S_OK);
    port::control::KeepCallLog(true);
    port::control::InjectFailure("Blt", static_cast<DWORD>(DDERR_WASSTILLDRAWING), 3);
    EXPECT_EQ(display.Present(), DD_OK);
    auto blts = Calls("Blt");
    ASSERT_EQ(blts.size(), 4u);
    for (const auto& blt : blts) {
        EXPECT_EQ(ArgOf(blt, "flags"), static_cast<long long>(DDBLT_WAIT | DDBLT_DDFX));
    }
    EXPECT_EQ(blts[3].result, DD_OK);
}

TEST_F(DisplayTest, FpuPrecisionKeepsTheFpuInBothModes) {
    HWND window = MakeWindow();
    CDisplay display;
    TPlatform::SetConfig("fpuprecision", "1");
    ASSERT_EQ(display.CreateFullScreenDisplay(window, 640, 480, 32, 1), S_OK);
    ASSERT_EQ(
        display.CreateWindowedDisplay(window, nullptr, 320, 240, false, CDisplay::kFlagKeepWindow),
        S_OK);
    TPlatform::SetConfig("fpuprecision", "0");
    ASSERT_EQ(
        display.CreateWindowedDisplay(window, nullptr, 320, 240, false, CDisplay::kFlagKeepWindow),
        S_OK);
    std::vector<long long> levels;
    for (const auto& call : Calls("SetCooperativeLevel")) {
        long long flags = ArgOf(call, "flags");
        // The returns to the normal level on the way out are the display's own.
        if (flags != DDSCL_NORMAL || levels.size() == 2) levels.push_back(flags);
    }
    EXPECT_EQ(levels,
              (std::vector<long long>{DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN | DDSCL_FPUPRESERVE,
                                      DDSCL_NORMAL | DDSCL_FPUPRESERVE, DDSCL_NORMAL}));
}

TEST_F(DisplayTest, PresentWithoutBuffersIsRefused) {
    CDisplay display;
    EXPECT_EQ(display.Present(), E_POINTER);
}

TEST_F(DisplayTest, WindowedDisplayFitsTheWindowUnlessToldToKeepIt) {
    port::control::SetWorkArea(RECT{40, 30, 1024, 738});
    HWND fitted = MakeWindow(dx_testing::kPopupStyle, RECT{-50, -20, 250, 180});
    CDisplay display;
    ASSERT_EQ(display.CreateWindowedDisplay(fitted, nullptr, 800, 600, false, 1), S_OK);
    DWORD style = static_cast<DWORD>(GetWindowLongA(fitted, GWL_STYLE));
    EXPECT_EQ(style & WS_POPUP, 0u);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_THICKFRAME, WS_THICKFRAME);
    EXPECT_EQ(style & WS_MINIMIZEBOX, WS_MINIMIZEBOX);
    EXPECT_EQ(style & WS_MAXIMIZEBOX, 0u);
    RECT client{};
    GetClientRect(fitted, &client);
    EXPECT_EQ(client.right - client.left, 800);
    EXPECT_EQ(client.bottom - client.top, 600);
    RECT outer{};
    GetWindowRect(fitted, &outer);
    EXPECT_EQ(outer.left, 40);
    EXPECT_EQ(outer.top, 30);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(fitted, GWL_EXSTYLE)) & WS_EX_TOPMOST, 0u);
    // The display's rectangle is the client area on the screen.
    POINT origin{0, 0};
    ClientToScreen(fitted, &origin);
    EXPECT_EQ(display.GetWindowOrigin().x, origin.x);
    EXPECT_EQ(display.GetWindowOrigin().y, origin.y);
    EXPECT_EQ(display.GetBounds().right - display.GetBounds().left, 800);

    HWND kept = MakeWindow(dx_testing::kPopupStyle, RECT{-50, -20, 250, 180});
    CDisplay keeping;
    ASSERT_EQ(keeping.CreateWindowedDisplay(kept, nullptr, 800, 600, false,
                                            1 | CDisplay::kFlagKeepWindow),
              S_OK);
    EXPECT_EQ(static_cast<DWORD>(GetWindowLongA(kept, GWL_STYLE)), dx_testing::kPopupStyle);
    GetWindowRect(kept, &outer);
    EXPECT_EQ(outer.left, -50);
    EXPECT_EQ(outer.top, -20);
    EXPECT_EQ(outer.right, 250);
    EXPECT_EQ(outer.bottom, 180);
}

TEST_F(DisplayTest, WindowedBackBufferMemoryHintAndClipper) {
    HWND window = MakeWindow();
    HWND clip = MakeWindow();
    CDisplay display;
    ASSERT_EQ(
        display.CreateWindowedDisplay(window, clip, 320, 240, true,
                                      CDisplay::kFlagKeepWindow | CDisplay::kFlagAntialiasHint),
        S_OK);
    uint32_t back = port::control::SurfaceId(display.GetBackBuffer());
    for (const auto& surface : port::control::Surfaces()) {
        if (surface.id != back) continue;
        EXPECT_NE(surface.caps & DDSCAPS_VIDEOMEMORY, 0u);
        EXPECT_NE(surface.caps & DDSCAPS_3DDEVICE, 0u);
        EXPECT_EQ(surface.caps2 & DDSCAPS2_HINTANTIALIASING, DDSCAPS2_HINTANTIALIASING);
        EXPECT_EQ(surface.width, 320);
    }
    IDirectDrawClipper* clipper = nullptr;
    ASSERT_EQ(display.GetFrontBuffer()->GetClipper(&clipper), DD_OK);
    HWND bound = nullptr;
    clipper->GetHWnd(&bound);
    EXPECT_EQ(bound, clip);
    clipper->Release();
    EXPECT_TRUE(display.IsWindowed());

    // Without the video-memory argument the back buffer takes no video-memory capability.
    port::control::KeepCallLog(true);
    ASSERT_EQ(
        display.CreateWindowedDisplay(window, nullptr, 320, 240, false, CDisplay::kFlagKeepWindow),
        S_OK);
    auto creates = Calls("CreateSurface");
    ASSERT_EQ(creates.size(), 2u);
    EXPECT_EQ(ArgOf(creates[1], "caps"),
              static_cast<long long>(DDSCAPS_OFFSCREENPLAIN | DDSCAPS_3DDEVICE));
}

TEST_F(DisplayTest, WindowedFailuresAreAnswered) {
    HWND window = MakeWindow();
    CDisplay display;
    port::control::InjectFailure("DirectDrawCreateEx", static_cast<DWORD>(DDERR_INVALIDPARAMS), 1);
    EXPECT_EQ(display.CreateWindowedDisplay(window, nullptr, 320, 240, false, 3),
              DDERR_INVALIDPARAMS);
    port::control::InjectFailure("SetCooperativeLevel", static_cast<DWORD>(DDERR_INVALIDPARAMS), 1);
    EXPECT_EQ(display.CreateWindowedDisplay(window, nullptr, 320, 240, false, 3), E_FAIL);
    port::control::InjectFailure("CreateSurface", static_cast<DWORD>(DDERR_OUTOFVIDEOMEMORY), 1);
    EXPECT_EQ(display.CreateWindowedDisplay(window, nullptr, 320, 240, false, 3),
              DDERR_OUTOFVIDEOMEMORY);
    // Only the failures from the surfaces on are logged.
    EXPECT_EQ(LogIndex("DX Error:  (0x8876080"), -1);
    EXPECT_GE(LogIndex("DX Error:  (0x8876017c), File displaywindowed.cpp, Line "), 0);
    EXPECT_FALSE(display.WasCreated());
}

TEST_F(DisplayTest, OffScreenSurfaces) {
    CDisplay display;
    CSurface* surface = reinterpret_cast<CSurface*>(1);
    EXPECT_EQ(display.CreateSurface(&surface, 16, 16, nullptr, nullptr), E_POINTER);

    HWND window = MakeWindow();
    ASSERT_EQ(
        display.CreateWindowedDisplay(window, nullptr, 64, 64, false, CDisplay::kFlagKeepWindow),
        S_OK);
    EXPECT_EQ(display.CreateSurface(nullptr, 16, 16, nullptr, nullptr), E_INVALIDARG);

    ASSERT_EQ(display.CreateSurface(&surface, 24, 8, nullptr, nullptr), S_OK);
    ASSERT_NE(surface, nullptr);
    EXPECT_NE(surface->GetDDrawSurface(), nullptr);
    // The description is the one the surface gave back.
    EXPECT_EQ(surface->GetDesc().dwWidth, 24u);
    EXPECT_EQ(surface->GetDesc().dwHeight, 8u);
    EXPECT_NE(surface->GetDesc().ddsCaps.dwCaps & DDSCAPS_OFFSCREENPLAIN, 0u);
    EXPECT_NE(surface->GetDesc().ddpfPixelFormat.dwRGBBitCount, 0u);
    delete surface;

    port::control::InjectFailure("CreateSurface", static_cast<DWORD>(DDERR_OUTOFVIDEOMEMORY), 1);
    surface = reinterpret_cast<CSurface*>(1);
    EXPECT_EQ(display.CreateSurface(&surface, 24, 8, nullptr, nullptr), DDERR_OUTOFVIDEOMEMORY);
    EXPECT_EQ(surface, nullptr);
}

}  // namespace
