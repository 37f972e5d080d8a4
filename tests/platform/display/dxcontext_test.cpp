// TDXContext on the headless backend: Create with its refusals and the flags they leave, the
// device choice, the device report, the mouse mutex, and the helpers beside the context.
#include "platform/display/dxcontext.h"

#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "audio/soundmanager.h"
#include "dxfixture.h"
#include "foundation/file/fileindex.h"
#include "foundation/settingsmap.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxerror.h"
#include "platform/display/hexformat.h"
#include "platform/display/mouselock.h"
#include "platform/display/mousetexturelistener.h"
#include "platform/display/osversion.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "port/system/process.h"
#include "port/system/sync.h"
#include "port/window/input.h"
#include "port/window/metrics.h"
#include "port/window/paint.h"
#include "support/tempdir.h"

namespace {

using port::control::AdapterSpec;
using port::control::DeviceSpec;
using port::control::Failure;

class DXContextTest : public dx_testing::DxTest {
protected:
    bool CreateWindowed(TDXContext& context, int width = 640, int height = 480) {
        return context.Create(Window(), false, width, height, 32, 1 | CDisplay::kFlagKeepWindow);
    }
    bool CreateFullScreen(TDXContext& context) {
        return context.Create(Window(), true, 800, 600, 32, 1);
    }
    HWND Window() {
        if (mWindow == nullptr) mWindow = MakeWindow();
        return mWindow;
    }
    // The back buffer's capabilities as the port layer keeps them.
    static DWORD CapsOf(IDirectDrawSurface7* surface) {
        uint32_t id = port::control::SurfaceId(surface);
        for (const auto& info : port::control::Surfaces()) {
            if (info.id == id) return info.caps;
        }
        return 0;
    }
    static str Setting(const char* key) { return TPlatform::GetConfig(key, "(absent)"); }

    HWND mWindow = nullptr;
};

TEST_F(DXContextTest, ConstructionStartsEmpty) {
    TDXContext context;
    EXPECT_EQ(context.GetDirectDraw(), nullptr);
    EXPECT_EQ(context.GetDirect3D(), nullptr);
    EXPECT_EQ(context.GetDevice(), nullptr);
    EXPECT_EQ(context.GetInfo(), str(""));
    EXPECT_TRUE(context.HasColourKey());
    EXPECT_FALSE(context.IsPalettized());
    EXPECT_FALSE(context.IsOutOfVideoMemory());
    EXPECT_FALSE(context.IsRenderTargetNotInVideoMemory());
    EXPECT_EQ(context.GetMousePosition().x, -1);
    EXPECT_EQ(context.GetMousePosition().y, -1);
    EXPECT_FALSE(context.IsCursorShown());
    EXPECT_EQ(context.GetDesktopColours(), -1);
    EXPECT_EQ(context.GetDesktopWidth(), 1024);
    EXPECT_EQ(context.GetDesktopHeight(), 768);
    EXPECT_FALSE(context.CanDraw());
}

TEST_F(DXContextTest, WindowedCreateMakesADeviceOnTheBackBuffer) {
    TDXContext context;
    ASSERT_TRUE(CreateWindowed(context));
    ASSERT_NE(context.GetDevice(), nullptr);
    EXPECT_NE(context.GetDirect3D(), nullptr);
    EXPECT_TRUE(context.IsHardwareDevice());
    EXPECT_EQ(context.GetDisplayMode().ddpfPixelFormat.dwRGBBitCount, 32u);
    EXPECT_EQ(port::control::StateOf(context.GetDevice()).renderTarget,
              port::control::SurfaceId(context.GetBackBuffer()));
    EXPECT_TRUE(context.CanDraw());
    // The z-buffer went to video memory for the hardware device.
    auto creates = Calls("CreateSurface");
    ASSERT_FALSE(creates.empty());
    EXPECT_EQ(dx_testing::ArgOf(creates.back(), "caps"),
              static_cast<long long>(DDSCAPS_ZBUFFER | DDSCAPS_VIDEOMEMORY));

    context.ReleaseDevice();
    EXPECT_EQ(context.GetDevice(), nullptr);
    EXPECT_EQ(context.GetDirectDraw(), nullptr);
    EXPECT_TRUE(port::control::Surfaces().empty());
}

TEST_F(DXContextTest, ReleaseDeviceGivesTheDesktopBackAndInvalidatesEveryWindow) {
    TDXContext context;
    ASSERT_TRUE(CreateFullScreen(context));
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
    context.MoveMouse(POINT{3, 4});
    ASSERT_TRUE(context.IsCursorShown());
    HWND other = MakeWindow(dx_testing::kPopupStyle, RECT{0, 0, 100, 100});
    ValidateRect(other, nullptr);
    ValidateRect(Window(), nullptr);

    context.ReleaseDevice();
    EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
    EXPECT_FALSE(context.IsCursorShown());
    RECT update{};
    EXPECT_TRUE(GetUpdateRect(other, &update, FALSE));
    EXPECT_TRUE(GetUpdateRect(Window(), &update, FALSE));
    EXPECT_TRUE(port::control::Surfaces().empty());
}

TEST_F(DXContextTest, ClearDeviceClearsTheWholeTarget) {
    TDXContext context;
    context.ClearDevice(D3DCLEAR_TARGET);  // no device: nothing
    EXPECT_EQ(CountCalls("Clear"), 0);
    ASSERT_TRUE(CreateWindowed(context));
    context.ClearDevice(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER);
    EXPECT_EQ(CountCalls("Clear"), 1);
    port::control::Image back = port::control::SurfaceImage(context.GetBackBuffer());
    ASSERT_FALSE(back.Empty());
    EXPECT_EQ(back.At(10, 10) & 0xFFFFFFu, 0u);
    port::control::InjectFailure("Clear", static_cast<DWORD>(DDERR_SURFACELOST), 1);
    context.ClearDevice(D3DCLEAR_TARGET);
    EXPECT_GE(LogIndex("DX Error:  (0x887601c2), File dxcontext.cpp, Line "), 0);
}

TEST_F(DXContextTest, FullScreenCreateAndItsFlipStatus) {
    TDXContext context;
    ASSERT_TRUE(CreateFullScreen(context));
    EXPECT_TRUE(context.CanDraw());
    port::control::ForceTestCooperativeLevel(DDERR_NOEXCLUSIVEMODE);
    EXPECT_FALSE(context.CanDraw());
    port::control::ForceTestCooperativeLevel(DD_OK);
    port::control::InjectFailure("GetFlipStatus", static_cast<DWORD>(DDERR_WASSTILLDRAWING), 1);
    EXPECT_FALSE(context.CanDraw());
}

TEST_F(DXContextTest, TexturesUnder1024FailCreateAndLeaveNoDevice) {
    DeviceSpec small = port::control::DefaultDevice();
    small.maxTextureHeight = 512;
    port::control::SetDevices({small});
    TDXContext context;
    EXPECT_FALSE(CreateWindowed(context));
    EXPECT_EQ(context.GetDevice(), nullptr);
    EXPECT_EQ(context.GetDirect3D(), nullptr);
    EXPECT_TRUE(
        Logged("TDXContext::Create - context does not support 1024x1024 textures! Failing!"));
}

TEST_F(DXContextTest, ChipsThatDrawIndexedVerticesWrongly) {
    struct Case {
        const char* description;
        bool flagged;
    };
    const Case cases[] = {
        {"Intel(R) 82845G/GL/GE/PE/GV Graphics Controller", true},
        {"Intel(R) 82810E Graphics Controller", true},
        {"Mobile Intel(R) 965 Express Chipset Family", true},
        {"Intel(R) GMA 965", false},            // no blank after the number
        {"82845G Graphics Controller", false},  // not Intel's
        {"intel 82845", false},                 // case matters
        {"Intel(R) HD Graphics", false},
    };
    for (const Case& c : cases) {
        TSettingsMap::GetInstance().Clear();
        AdapterSpec adapter;
        adapter.description = c.description;
        port::control::SetAdapters({adapter});
        TDXContext context;
        ASSERT_TRUE(CreateWindowed(context)) << c.description;
        EXPECT_EQ(Setting("brokenindexedverts"), str(c.flagged ? "1" : "(absent)"))
            << c.description;
    }
}

TEST_F(DXContextTest, PalettisedDesktops) {
    // 16 colours: neither mode, and the flag says why.
    port::control::SetDesktop(1024, 768, 4);
    TDXContext sixteen;
    EXPECT_FALSE(CreateWindowed(sixteen));
    EXPECT_TRUE(sixteen.IsPalettized());
    EXPECT_FALSE(CreateFullScreen(sixteen));
    EXPECT_EQ(sixteen.GetDesktopColours(), 16);

    // 256 colours: full screen only.
    port::control::SetDesktop(1024, 768, 8);
    TDXContext palette;
    EXPECT_FALSE(CreateWindowed(palette));
    EXPECT_FALSE(palette.IsPalettized());
    EXPECT_TRUE(CreateFullScreen(palette));
}

TEST_F(DXContextTest, AWindowThatDoesNotFitTheDesktopFails) {
    port::control::SetDesktop(800, 600, 32);
    TDXContext context;
    EXPECT_FALSE(CreateWindowed(context, 800, 600));
    EXPECT_EQ(Calls("DirectDrawCreateEx").size(), 0u);
    EXPECT_TRUE(CreateWindowed(context, 640, 480));
}

TEST_F(DXContextTest, FormatHex) {
    const unsigned char bytes[] = {0x0A, 0xFF, 0x00, 0x7C};
    EXPECT_EQ(FormatHex(bytes, 2), str("0AFF"));
    EXPECT_EQ(FormatHex(bytes, 4), str("0AFF007C"));
    EXPECT_EQ(FormatHex(bytes, 0), str(""));
    EXPECT_EQ(FormatHex(bytes, -3), str(""));
}

TEST_F(DXContextTest, NoHardwareDeviceFailsOutsideEmbeddedMode) {
    DeviceSpec software = port::control::DefaultDevice();
    software.guid = IID_IDirect3DRGBDevice;
    software.devCaps = 0;
    port::control::SetDevices({software});
    TDXContext context;
    EXPECT_FALSE(CreateWindowed(context));
    EXPECT_TRUE(Logged("TDXContext::Create failed! Could not find a hardware renderer."));
    EXPECT_EQ(context.GetDevice(), nullptr);

    // Inside a host window the software device will do, with its z-buffer in system memory.
    TPlatform application;
    port::control::ForeignWindowSpec hostSpec;
    HWND host = port::control::CreateForeignWindow(hostSpec);
    application.GetPlatform()->SetHostWindow(host);
    mLog.Clear();
    port::control::KeepCallLog(true);
    TDXContext embedded;
    ASSERT_TRUE(CreateWindowed(embedded));
    EXPECT_FALSE(embedded.IsHardwareDevice());
    EXPECT_NE(embedded.GetDevice(), nullptr);
    auto creates = Calls("CreateSurface");
    ASSERT_FALSE(creates.empty());
    EXPECT_EQ(dx_testing::ArgOf(creates.back(), "caps"),
              static_cast<long long>(DDSCAPS_ZBUFFER | DDSCAPS_SYSTEMMEMORY));
}

TEST_F(DXContextTest, EmbeddedForcesAWindowScaledByTheDisplayScale) {
    TPlatform application;
    port::control::ForeignWindowSpec hostSpec;
    application.GetPlatform()->SetHostWindow(port::control::CreateForeignWindow(hostSpec));
    application.GetPlatform()->SetScale(1.5f, 1.5f);
    TDXContext context;
    ASSERT_TRUE(context.Create(Window(), true, 301, 201, 32, 1 | CDisplay::kFlagKeepWindow));
    EXPECT_TRUE(context.GetDisplay().IsWindowed());
    DDSURFACEDESC2 desc{};
    desc.dwSize = sizeof desc;
    context.GetBackBuffer()->GetSurfaceDesc(&desc);
    EXPECT_EQ(desc.dwWidth, 452u);   // 301 x 1.5 + 0.5 = 452
    EXPECT_EQ(desc.dwHeight, 302u);  // 201 x 1.5 + 0.5 = 302
}

TEST_F(DXContextTest, DeviceChoice) {
    auto device = [](const GUID& guid, DWORD caps, DWORD depths = DDBD_16 | DDBD_32,
                     DWORD shade = D3DPSHADECAPS_COLORGOURAUDRGB) {
        DeviceSpec spec = port::control::DefaultDevice();
        spec.guid = guid;
        spec.devCaps = caps;
        spec.renderBitDepths = depths;
        spec.shadeCaps = shade;
        return spec;
    };
    constexpr DWORD kHw = D3DDEVCAPS_HWRASTERIZATION;
    constexpr DWORD kTnL = D3DDEVCAPS_HWRASTERIZATION | D3DDEVCAPS_HWTRANSFORMANDLIGHT;
    struct Case {
        const char* name;
        std::vector<DeviceSpec> devices;
        GUID chosen;
    };
    const Case cases[] = {
        {"the T&L device stops the search",
         {device(IID_IDirect3DTnLHalDevice, kTnL), device(IID_IDirect3DHALDevice, kHw)},
         IID_IDirect3DTnLHalDevice},
        {"a later qualifying device replaces an earlier one",
         {device(IID_IDirect3DHALDevice, kHw), device(IID_IDirect3DTnLHalDevice, kHw)},
         IID_IDirect3DTnLHalDevice},
        {"the display depth must be among the render depths",
         {device(IID_IDirect3DHALDevice, kHw), device(IID_IDirect3DTnLHalDevice, kTnL, DDBD_16)},
         IID_IDirect3DHALDevice},
        {"colour Gouraud shading is needed",
         {device(IID_IDirect3DHALDevice, kHw),
          device(IID_IDirect3DTnLHalDevice, kTnL, DDBD_32, D3DPSHADECAPS_SPECULARGOURAUDRGB)},
         IID_IDirect3DHALDevice},
        {"software devices do not qualify",
         {device(IID_IDirect3DHALDevice, kHw), device(IID_IDirect3DRGBDevice, 0)},
         IID_IDirect3DHALDevice},
    };
    for (const Case& c : cases) {
        port::control::SetDevices(c.devices);
        TDXContext context;
        ASSERT_TRUE(CreateWindowed(context)) << c.name;
        EXPECT_TRUE(IsEqualGUID(context.GetDeviceDesc().deviceGUID, c.chosen)) << c.name;
    }
}

TEST_F(DXContextTest, FirstPlainDepthFormatOf16BitsOrMore) {
    DeviceSpec spec = port::control::DefaultDevice();
    spec.depthFormats = {port::control::DepthFormat(16, 8), port::control::DepthFormat(8),
                         port::control::DepthFormat(24), port::control::DepthFormat(32)};
    port::control::SetDevices({spec});
    TDXContext context;
    ASSERT_TRUE(CreateWindowed(context));
    uint32_t back = port::control::SurfaceId(context.GetBackBuffer());
    bool found = false;
    for (const auto& info : port::control::Surfaces()) {
        if ((info.caps & DDSCAPS_ZBUFFER) == 0) continue;
        found = true;
        EXPECT_EQ(info.format.dwFlags, DDPF_ZBUFFER);
        EXPECT_EQ(info.format.dwZBufferBitDepth, 24u);
    }
    EXPECT_TRUE(found);
    EXPECT_NE(back, 0u);
}

TEST_F(DXContextTest, RenderTargetInSystemMemoryMovesTheNextBackBufferToVideoMemory) {
    TDXContext context;
    port::control::InjectFailure("CreateDevice", static_cast<DWORD>(D3DERR_TARGETINSYSTEMMEMORY),
                                 1);
    EXPECT_FALSE(CreateWindowed(context));
    EXPECT_TRUE(context.IsRenderTargetNotInVideoMemory());
    ASSERT_TRUE(CreateWindowed(context));
    EXPECT_NE(CapsOf(context.GetBackBuffer()) & DDSCAPS_VIDEOMEMORY, 0u);
    // The first back buffer left the memory to the layer; the second asked for video memory.
    std::vector<long long> asked;
    for (const auto& call : Calls("CreateSurface")) {
        long long caps = dx_testing::ArgOf(call, "caps");
        if (caps & DDSCAPS_3DDEVICE) asked.push_back(caps & DDSCAPS_VIDEOMEMORY);
    }
    EXPECT_EQ(asked, (std::vector<long long>{0, DDSCAPS_VIDEOMEMORY}));
}

TEST_F(DXContextTest, DesktopColoursRefusedTakeTheDesktopFor32Bits) {
    TDXContext context;
    port::control::InjectFailure("CreateDevice", static_cast<DWORD>(D3DERR_DESKTOPCOLOURS), 1);
    EXPECT_FALSE(CreateWindowed(context));
    EXPECT_EQ(context.GetDesktopColours(), 32);
}

TEST_F(DXContextTest, AWindowedDisplayWithoutVideoMemoryAllowsOnlyFullScreen) {
    Failure noMemory;
    noMemory.code = static_cast<uint32_t>(DDERR_OUTOFVIDEOMEMORY);
    noMemory.when = [](const port::CallInfo& call) {
        return (call.Arg("caps") & DDSCAPS_3DDEVICE) != 0;
    };
    port::control::InjectFailure("CreateSurface", noMemory);
    TDXContext context;
    EXPECT_FALSE(CreateWindowed(context));
    EXPECT_TRUE(context.IsOutOfVideoMemory());
    EXPECT_GE(LogIndex("DX Error:  (0x8876017c), File dxcontextcreate.cpp, Line "), 0);
    port::control::KeepCallLog(true);
    EXPECT_FALSE(CreateWindowed(context));
    EXPECT_EQ(CountCalls("DirectDrawCreateEx"), 0);
    EXPECT_TRUE(CreateFullScreen(context));
}

TEST_F(DXContextTest, ZBufferFailures) {
    // A windowed z-buffer without video memory: the flag is set and only full screen is tried.
    Failure noMemory;
    noMemory.code = static_cast<uint32_t>(DDERR_OUTOFVIDEOMEMORY);
    noMemory.when = [](const port::CallInfo& call) {
        return (call.Arg("caps") & DDSCAPS_ZBUFFER) != 0;
    };
    port::control::InjectFailure("CreateSurface", noMemory);
    TDXContext context;
    EXPECT_FALSE(CreateWindowed(context));
    EXPECT_TRUE(context.IsOutOfVideoMemory());
    EXPECT_GE(LogIndex("DX Error:  (0x8876017c), File dxcontextcreate.cpp, Line "), 0);
    EXPECT_FALSE(CreateWindowed(context));
    EXPECT_TRUE(CreateFullScreen(context));

    // A refused attach is logged and the device is made all the same.
    port::control::InjectFailure("AddAttachedSurface", static_cast<DWORD>(DDERR_INVALIDPARAMS), 1);
    TDXContext refused;
    mLog.Clear();
    EXPECT_TRUE(CreateWindowed(refused));
    EXPECT_NE(refused.GetDevice(), nullptr);
    EXPECT_GE(LogIndex("DX Error:  (0x88760810), File dxcontextcreate.cpp, Line "), 0);
}

TEST_F(DXContextTest, DeviceIdentifierGoesToTheLogAndTheInfoText) {
    AdapterSpec adapter;
    adapter.driver = "umbra.drv";
    adapter.description = "Umbra Graphics 3000";
    adapter.driverVersionHigh = 0x00060012;
    adapter.driverVersionLow = 0x000A0B0C;
    adapter.vendorId = 0x10DE;
    adapter.deviceId = 0x0141;
    adapter.subSysId = 0x2B;
    adapter.revision = 0xA1;
    adapter.identifier =
        GUID{0x11223344, 0x5566, 0x7788, {0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x01}};
    port::control::SetAdapters({adapter});
    TDXContext context;
    ASSERT_TRUE(CreateWindowed(context));
    const std::string expected =
        "Device identifier:  \n  Driver: 'umbra.drv'\n  Description: 'Umbra Graphics 3000'\n"
        "  Version: 60012:a0b0c\n  Vendor ID: 10de (4318)\n  Device ID: 141 (321)\n"
        "  SubSys:  : 2b (43)\n  Revision:  a1 (161)\n  GUID:      11223344:77885566:ccbbaa99:"
        "1ffeedd\n";
    // The log line carries the text (its last newline ends the line).
    EXPECT_GE(LogIndex(expected.substr(0, expected.size() - 1)), 0);
    std::string info = context.GetInfo().c_str();
    ASSERT_EQ(info.compare(0, expected.size(), expected), 0) << info;
    std::regex dumps("DDCAPS: ([0-9A-F]+)\nD3DDESC: ([0-9A-F]+)\n");
    std::smatch match;
    std::string rest = info.substr(expected.size());
    ASSERT_TRUE(std::regex_match(rest, match, dumps)) << rest;
    EXPECT_EQ(match[1].length(), static_cast<long>(2 * sizeof(DDCAPS)));
    EXPECT_EQ(match[2].length(), static_cast<long>(2 * sizeof(D3DDEVICEDESC7)));
    // The dumps are not logged.
    EXPECT_EQ(LogIndex("DDCAPS"), -1);
}

TEST_F(DXContextTest, ColourKeyFollowsTheHardware) {
    AdapterSpec adapter;
    adapter.sourceColourKey = false;
    port::control::SetAdapters({adapter});
    TDXContext context;
    ASSERT_TRUE(CreateWindowed(context));
    EXPECT_FALSE(context.HasColourKey());
}

TEST_F(DXContextTest, OutOfVideoMemoryRunsBeforeTheLineIsWritten) {
    TPlatformData display;
    TDXContext* context = display.GetContext();
    ASSERT_TRUE(CreateWindowed(*context));
    display.GetRecord()->mDirect3D = context->GetDirect3D();
    mLog.Clear();
    LogDXError(DDERR_OUTOFVIDEOMEMORY, "somewhere.cpp", 42);
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "OutOfVideoMemory triggered!");
    EXPECT_EQ(lines[1], "DX Error:  (0x8876017c), File somewhere.cpp, Line 42");
    EXPECT_TRUE(display.IsBroken());
    EXPECT_TRUE(display.GetRecord()->mLowMemoryVideo);

    // Other failures only write the line.
    mLog.Clear();
    LogDXError(DDERR_SURFACELOST, "there.cpp", 7);
    EXPECT_EQ(LogLines(),
              (std::vector<std::string>{"DX Error:  (0x887601c2), File there.cpp, Line 7"}));
}

// The sound engine reports its failures through the application's report: a sound device that
// answers out of video memory switches the display to its low-memory mode before the line.
TEST_F(DXContextTest, TheSoundEnginesOutOfVideoMemoryGoesThroughTheDisplay) {
    TPlatform application;  // installs the sound engine's hooks
    // The low-memory mode is written to "common:display.xml": a folder of the test's own.
    testing_support::TempDir common;
    SetCommonDataRoot(common.Path().c_str());
    TPlatformData display;
    TDXContext* context = display.GetContext();
    ASSERT_TRUE(CreateWindowed(*context));
    display.GetRecord()->mDirect3D = context->GetDirect3D();
    port::control::InjectFailure("DirectSoundCreate", 0x8876017Cu, 1);
    mLog.Clear();
    TSoundManager sound;
    EXPECT_FALSE(sound.StartThread());
    std::vector<std::string> lines = LogLines();
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "OutOfVideoMemory triggered!");
    EXPECT_EQ(lines[1].rfind("DX Error:  (0x8876017c), File soundmanager.cpp, Line ", 0), 0u)
        << lines[1];
    EXPECT_TRUE(display.GetRecord()->mLowMemoryVideo);
}

TEST_F(DXContextTest, TheCursorListenerAndTheContextEndInEitherOrder) {
    TPlatform application;
    std::shared_ptr<TTexture> image = TTexture::Create(16, 16, true);
    ASSERT_NE(image, nullptr);

    // Without a device the image is refused and no listener is made.
    auto context = std::make_unique<TDXContext>();
    EXPECT_FALSE(context->SetMouseImage(image, false, 1, 1));
    EXPECT_EQ(context->GetListener(), nullptr);

    // The first software image brings one listener, owned by the application's list.
    ASSERT_TRUE(CreateWindowed(*context));
    EXPECT_TRUE(context->SetMouseImage(image, false, 1, 1));
    MouseTextureListener* listener = context->GetListener();
    ASSERT_NE(listener, nullptr);
    EXPECT_EQ(context->GetCursorTexture(), image);
    EXPECT_TRUE(context->SetMouseImage(image, false, 2, 2));
    EXPECT_EQ(context->GetListener(), listener);
    EXPECT_TRUE(listener->Execute());

    // The context goes first: the listener finishes at its next run.
    context.reset();
    EXPECT_EQ(listener->GetContext(), nullptr);
    EXPECT_FALSE(listener->Execute());

    // The listener goes first: the context forgets it.
    TDXContext other;
    ASSERT_TRUE(CreateWindowed(other));
    ASSERT_TRUE(other.SetMouseImage(image, false, 0, 0));
    MouseTextureListener* second = other.GetListener();
    ASSERT_TRUE(application.RemoveListener(second));
    delete second;
    EXPECT_EQ(other.GetListener(), nullptr);
}

TEST_F(DXContextTest, EveryContextHasAMouseMutexOfItsOwn) {
    TDXContext first;
    TDXContext second;
    std::regex pattern("TDXContextMouseMutex:[0-9a-f]+:[0-9a-f]+:[0-9a-f]+:[0-9a-f]+");
    EXPECT_TRUE(std::regex_match(first.GetMouseMutexName().c_str(), pattern));
    EXPECT_TRUE(std::regex_match(second.GetMouseMutexName().c_str(), pattern));
    EXPECT_NE(first.GetMouseMutexName(), second.GetMouseMutexName());
    EXPECT_NE(first.GetMouseMutex(), second.GetMouseMutex());
}

TEST_F(DXContextTest, GuardedCallsNestOnOneThread) {
    TDXContext context;
    TMouseLock outer(context.GetMouseMutex(), true);
    ASSERT_TRUE(outer.Held());
    TMouseLock inner(context.GetMouseMutex(), false);
    EXPECT_TRUE(inner.Held());
    EXPECT_EQ(inner.GetWaitResult(), WAIT_OBJECT_0);
    context.MoveMouse(POINT{12, 34});
    EXPECT_EQ(context.GetMousePosition().x, 12);
}

TEST_F(DXContextTest, AShortWaitThatTimesOutSkipsTheWork) {
    TDXContext context;
    HANDLE mutex = context.GetMouseMutex();
    std::thread holder([&] {
        TMouseLock held(mutex, true);
        std::thread other([&] {
            TMouseLock lock(mutex, false);
            EXPECT_FALSE(lock.Held());
            EXPECT_EQ(lock.GetWaitResult(), WAIT_TIMEOUT);
        });
        other.join();
    });
    holder.join();
    // Nothing was left held.
    TMouseLock after(mutex, false);
    EXPECT_EQ(after.GetWaitResult(), WAIT_OBJECT_0);
}

TEST_F(DXContextTest, AnAbandonedMutexIsTakenUsedAndReleased) {
    TDXContext context;
    HANDLE mutex = context.GetMouseMutex();
    // A thread ends while holding the mutex.
    std::thread([&] { EXPECT_EQ(WaitForSingleObject(mutex, INFINITE), WAIT_OBJECT_0); }).join();

    std::thread next([&] {
        TMouseLock lock(mutex, true);
        EXPECT_EQ(lock.GetWaitResult(), WAIT_ABANDONED);
        EXPECT_TRUE(lock.Held());
        // A guarded call runs under it.
        context.MoveMouse(POINT{5, 6});
    });
    next.join();
    EXPECT_EQ(context.GetMousePosition().x, 5);

    // It was released: another thread gets it at once.
    std::thread last([&] {
        TMouseLock lock(mutex, false);
        EXPECT_EQ(lock.GetWaitResult(), WAIT_OBJECT_0);
    });
    last.join();
}

TEST_F(DXContextTest, AGuardedCallAfterAnAbandonmentRunsAndReleases) {
    TDXContext context;
    HANDLE mutex = context.GetMouseMutex();
    std::thread([&] { WaitForSingleObject(mutex, INFINITE); }).join();
    std::thread([&] { context.MoveMouse(POINT{7, 8}); }).join();
    EXPECT_EQ(context.GetMousePosition().y, 8);
    std::thread([&] {
        TMouseLock lock(mutex, false);
        EXPECT_EQ(lock.GetWaitResult(), WAIT_OBJECT_0);
    }).join();
}

TEST_F(DXContextTest, OperatingSystemVersions) {
    struct Case {
        int major;
        int minor;
        bool xp;
        bool vista;
    };
    const Case cases[] = {
        {5, 0, false, false}, {5, 1, true, false}, {5, 2, true, false}, {6, 0, true, true}};
    for (const Case& c : cases) {
        port::control::SetOsVersion(c.major, c.minor, 2600);
        unsigned long version = GetVersion();
        EXPECT_EQ(IsXPOrLaterVersion(version), c.xp) << c.major << "." << c.minor;
        EXPECT_EQ(IsVistaOrLaterVersion(version), c.vista) << c.major << "." << c.minor;
    }
    // The process's own answers: the port layer's 5.1 unless a test set another before asking.
    port::control::SetOsVersion(5, 1, 2600);
    EXPECT_TRUE(IsWindowsXPOrLater());
    EXPECT_FALSE(IsWindowsVistaOrLater());
}

TEST_F(DXContextTest, MousePositionIsRelativeToTheWindowAndScaled) {
    TPlatform application;
    application.GetPlatform()->SetScale(2.0f, 2.0f);
    HWND window = MakeWindow(dx_testing::kPopupStyle, RECT{100, 50, 740, 530});
    TDXContext context;
    ASSERT_TRUE(context.Create(window, false, 640, 480, 32, 1 | CDisplay::kFlagKeepWindow));
    port::control::InjectMouseMove(100 + 41, 50 + 21);
    POINT position = context.UpdateMousePosition();
    EXPECT_EQ(position.x, 20);  // 41 / 2, truncated
    EXPECT_EQ(position.y, 10);
    EXPECT_EQ(context.GetWindowOrigin().x, 100);

    context.ResetMouse();
    EXPECT_EQ(context.GetMousePosition().x, -1);
    EXPECT_FALSE(context.IsCursorShown());
}

}  // namespace
