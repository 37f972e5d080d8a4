// The device on a full-screen flip chain's back buffer, as the display draws its frames: drawing
// reaches the back memory of the moment, a flip shows it, and a thread blitting into the same
// buffer meanwhile is serialised with the drawing.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "devicefixture.h"
#include "port/control.h"
#include "windowfixture.h"

namespace device_testing {
namespace {

namespace control = port::control;

constexpr int kWidth = 64;
constexpr int kHeight = 48;

bool AllAre(const control::Image& image, uint32_t argb) {
    for (uint32_t pixel : image.argb) {
        if (pixel != argb) return false;
    }
    return !image.Empty();
}

class ChainDeviceTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        mD3D->Release();
        mD3D = nullptr;
        control::AdapterSpec adapter;
        adapter.modes = {{kWidth, kHeight, 32, 60}};
        control::SetAdapters({adapter});
        mDraw->Release();
        mDraw = nullptr;
        ASSERT_EQ(DirectDrawCreateEx(nullptr, reinterpret_cast<void**>(&mDraw), IID_IDirectDraw7,
                                     nullptr),
                  DD_OK);
        ASSERT_EQ(mDraw->QueryInterface(IID_IDirect3D7, reinterpret_cast<void**>(&mD3D)), DD_OK);
        mWindow = MakeWindow(WS_POPUP, 0, true, RECT{0, 0, kWidth, kHeight});
        ASSERT_EQ(mDraw->SetCooperativeLevel(mWindow, DDSCL_EXCLUSIVE | DDSCL_FULLSCREEN), DD_OK);
        ASSERT_EQ(mDraw->SetDisplayMode(kWidth, kHeight, 32, 0, 0), DD_OK);
        DDSURFACEDESC2 desc = display_testing::EmptyDesc();
        desc.dwFlags = DDSD_CAPS | DDSD_BACKBUFFERCOUNT;
        desc.ddsCaps.dwCaps =
            DDSCAPS_PRIMARYSURFACE | DDSCAPS_FLIP | DDSCAPS_COMPLEX | DDSCAPS_3DDEVICE;
        desc.dwBackBufferCount = 1;
        ASSERT_EQ(mDraw->CreateSurface(&desc, mFront.Out(), nullptr), DD_OK);
        DDSCAPS2 caps{DDSCAPS_BACKBUFFER, 0, 0, 0};
        ASSERT_EQ(mFront->GetAttachedSurface(&caps, mBack.Out()), DD_OK);
    }
    void TearDown() override {
        mBack.Reset();
        mFront.Reset();
        DeviceTest::TearDown();
    }

    HWND mWindow = nullptr;
    SurfacePtr mFront;
    SurfacePtr mBack;
};

TEST_F(ChainDeviceTest, DrawingGoesToTheBackMemoryOfTheMomentAndAFlipShowsIt) {
    DevicePtr device(MakeDevice(mBack.get()));
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0), D3D_OK);
    ASSERT_EQ(mFront->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_TRUE(AllAre(control::PlayerView(), 0xFF0000FF));
    // After the flip the device draws into the other memory, which the player does not see.
    ASSERT_EQ(device->Clear(0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0), D3D_OK);
    EXPECT_TRUE(AllAre(control::PlayerView(), 0xFF0000FF));
    ASSERT_EQ(mFront->Flip(nullptr, DDFLIP_WAIT), DD_OK);
    EXPECT_TRUE(AllAre(control::PlayerView(), 0xFF00FF00));

    // A hardware device never draws into a back buffer kept past its chain: it is lost.
    mFront.Reset();
    EXPECT_EQ(device->BeginScene(), DDERR_SURFACELOST);
}

TEST_F(ChainDeviceTest, AThreadBlittingIntoTheTargetWaitsForTheDrawing) {
    DevicePtr device(MakeDevice(mBack.get()));
    std::atomic<bool> stop{false};
    std::atomic<int> fills{0};
    std::thread filler([&] {
        DDBLTFX fx{};
        fx.dwSize = sizeof fx;
        fx.dwFillColor = 0x00FF0000;
        RECT corner{0, 0, 8, 8};
        while (!stop) {
            if (mBack->Blt(&corner, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fx) == DD_OK)
                ++fills;
        }
    });
    std::vector<D3DTLVERTEX> quad = ScreenQuad(8, 8, 64, 48, 0xFF00FF00);
    for (int frame = 0; frame < 200 || fills.load() == 0; ++frame) {
        ASSERT_EQ(DrawFan(device.get(), D3DFVF_TLVERTEX, quad), D3D_OK);
    }
    stop = true;
    filler.join();
    control::Image image = control::SurfaceImage(mBack.get());
    EXPECT_EQ(image.At(0, 0), 0xFFFF0000u);
    EXPECT_EQ(image.At(20, 20), 0xFF00FF00u);
}

}  // namespace
}  // namespace device_testing
