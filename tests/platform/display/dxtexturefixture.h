// A display for the texture-surface tests: a full-screen DirectX context on the headless backend
// whose objects are put into the display record as the set-up puts them, with the device the test
// describes, and helpers to read a surface's description and bytes.
#pragma once

#include <memory>
#include <vector>

#include "dxfixture.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxcontext.h"
#include "platform/display/dxtexturedata.h"
#include "platform/display/dxtextureformat.h"
#include "platform/draw/renderer.h"
#include "platform/platformdata.h"
#include "port/control.h"

namespace dx_testing {

class DxTextureTest : public DxTest {
protected:
    void SetUp() override {
        DxTest::SetUp();
        ForgetAlphaTextureFormat();
        TRenderer::DestroyInstance();
    }
    void TearDown() override {
        mTextures.clear();
        mDisplay.reset();
        TRenderer::DestroyInstance();
        ForgetAlphaTextureFormat();
        DxTest::TearDown();
    }

    // A full-screen 800 x 600 display of the depth with the device; the record as after a set-up.
    bool MakeDisplay(int bits = 32,
                     port::control::DeviceSpec device = port::control::DefaultDevice()) {
        port::control::SetDevices({device});
        mDisplay = std::make_unique<TPlatformData>();
        TDXContext* context = mDisplay->GetContext();
        if (!context->Create(MakeWindow(), true, 800, 600, bits, 1)) return false;
        TDisplayRecord& record = *mDisplay->GetRecord();
        record.mDirectDraw = context->GetDirectDraw();
        record.mDirect3D = context->GetDirect3D();
        record.mDevice = context->GetDevice();
        record.mBackBuffer = context->GetBackBuffer();
        record.mRenderTarget = record.mBackBuffer;
        record.mBitDepth = bits;
        record.mTargetRect = record.mClipRect = record.mScreenRect = RECT{0, 0, 800, 600};
        record.mSquareTextures = (device.textureCaps & D3DPTEXTURECAPS_SQUAREONLY) != 0;
        record.mReady = true;
        return true;
    }
    // A device that lists the texture formats (by port::control::TextureFormat name).
    static port::control::DeviceSpec DeviceListing(std::vector<const char*> names) {
        port::control::DeviceSpec device = port::control::DefaultDevice();
        device.textureFormats.clear();
        for (const char* name : names)
            device.textureFormats.push_back(port::control::TextureFormat(name));
        return device;
    }
    // A new data object with the flags, kept until the end of the test.
    TDxTextureData* MakeData(uint8_t flags) {
        mTextures.push_back(std::make_unique<TDxTextureData>());
        mTextures.back()->SetFlags(flags);
        return mTextures.back().get();
    }
    static DDSURFACEDESC2 DescOf(IDirectDrawSurface7* surface) {
        DDSURFACEDESC2 desc{};
        desc.dwSize = sizeof desc;
        EXPECT_EQ(surface->GetSurfaceDesc(&desc), DD_OK);
        return desc;
    }
    TDisplayRecord& Record() { return *mDisplay->GetRecord(); }

    std::unique_ptr<TPlatformData> mDisplay;
    std::vector<std::unique_ptr<TDxTextureData>> mTextures;
};

}  // namespace dx_testing
