// A factory test with the display the program makes: the application object's screen set-up on
// the headless backend (textures become the display's, the renderer draws through its sink),
// and a frame drawn over a background colour and read back from the back buffer. Shared by the
// scene display test and the art's figure sheet.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "factoryfixture.h"
#include "platform/display/displayrecord.h"
#include "platform/draw/renderer.h"
#include "platform/platformdata.h"
#include "platform/texture/texturedatasource.h"
#include "platform/win32platform.h"
#include "port/control.h"
#include "port/window/windowpos.h"
#include "support/screenup.h"
#include "support/tempdir.h"

namespace gv_test {

class DisplayTest : public FactoryTest {
protected:
    void SetUp() override {
        FactoryTest::SetUp();
        port::control::SetSleepAdvancesClock(true);
        SetCommonDataRoot(mCommon.Path().c_str());
        testing_support::ShowWindowAndSetupScreen(*mApp, 800, 600);
    }
    void TearDown() override {
        mLive.clear();
        GVFactory::Instance().ReleaseAll();
        TRenderer::DestroyInstance();
        FactoryTest::TearDown();
        SetTextureDataMaker(nullptr);
    }

    static TDisplayRecord& Record() { return *TPlatformData::GetInstance()->GetRecord(); }

    // The scene drawn in a frame that is not presented, over the background; the back buffer.
    port::control::Image DrawFrame(uint32_t background) {
        IDirectDrawSurface7* back = Record().mBackBuffer;
        EXPECT_NE(back, nullptr);
        if (back == nullptr) return {};
        DDBLTFX fill{};
        fill.dwSize = sizeof fill;
        fill.dwFillColor = background;
        EXPECT_EQ(back->Blt(nullptr, nullptr, nullptr, DDBLT_COLORFILL | DDBLT_WAIT, &fill), DD_OK);
        TRenderer* renderer = TRenderer::GetInstance();
        EXPECT_TRUE(renderer->BeginDraw(false));
        mScene.Draw();
        EXPECT_FALSE(renderer->IsIn2d());
        renderer->EndDraw(0);
        return port::control::SurfaceImage(back);
    }

    testing_support::TempDir mCommon;
};

}  // namespace gv_test
