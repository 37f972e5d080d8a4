// Textures made once the screen is set up own the display's texture data, with a surface.
#include <gtest/gtest.h>

#include <memory>

#include "mainwindowfixture.h"
#include "platform/display/displayrecord.h"
#include "platform/display/dxtexturedata.h"
#include "platform/platform.h"
#include "platform/platformdata.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"
#include "port/control.h"

namespace {

using startup_test::MainWindowTest;

TEST_F(MainWindowTest, TexturesAfterTheSetUpOwnTheDisplaysTextureData) {
    RunWith("", [](TPlatform* platform) {
        platform->SetupScreen(800, 600, false);
        ASSERT_TRUE(platform->IsReadyToDraw());
        std::shared_ptr<TTexture> texture = TTexture::Create(16, 16, true);
        ASSERT_NE(texture, nullptr);
        auto* data = dynamic_cast<TDxTextureData*>(texture->GetData());
        ASSERT_NE(data, nullptr);
        EXPECT_NE(data->GetSurface(), nullptr);
        uint32_t* pixels = nullptr;
        int pitch = 0;
        ASSERT_TRUE(data->Lock(&pixels, &pitch));
        pixels[0] = 0x80402010;
        data->Unlock();
        uint32_t back[16 * 16] = {};
        ASSERT_TRUE(data->ReadPixels(16, 16, back));
        EXPECT_EQ(back[0], 0x80402010u);
    });
}

// Embedded, a copy to the screen lands scaled by the display scale on the current target; a
// refused blit is copied through GDI, logged only the first time.
TEST_F(MainWindowTest, EmbeddedCopyToTheScreenIsScaled) {
    RunWith("", [](TPlatform* platform) {
        platform->SetupScreen(400, 300, false);
        ASSERT_TRUE(platform->IsReadyToDraw());
        platform->GetPlatform()->SetEmbedded(true);
        platform->GetPlatform()->SetScale(2.0f, 2.0f);
        TDxTextureData data;
        data.SetFlags(TTextureData::kSimple);
        ASSERT_TRUE(data.CreateSurface(8, 8, true));
        std::vector<uint32_t> pixels(64, 0xFF00FF00);
        pixels[0] = 0xFFFF0000;
        ASSERT_TRUE(data.SetPixels(8, 8, pixels.data()));
        IDirectDrawSurface7* screen = TPlatformData::GetInstance()->GetRecord()->mRenderTarget;
        TRect from{0, 0, 4, 4};
        data.CopyRect(100, 100, &from, nullptr);
        port::control::Image image = port::control::SurfaceImage(screen);
        EXPECT_EQ(image.At(0, 0), 0xFFFF0000u);
        EXPECT_EQ(image.At(1, 1), 0xFFFF0000u);
        EXPECT_EQ(image.At(2, 2), 0xFF00FF00u);
        EXPECT_EQ(image.At(7, 7), 0xFF00FF00u);
        EXPECT_NE(image.At(8, 8), 0xFF00FF00u);

        pixels.assign(64, 0xFF0000FF);
        ASSERT_TRUE(data.SetPixels(8, 8, pixels.data()));
        port::control::InjectFailure("Blt", DDERR_INVALIDRECT, 2);
        data.CopyRect(0, 0, nullptr, nullptr);
        data.CopyRect(0, 0, nullptr, nullptr);
        image = port::control::SurfaceImage(screen);
        EXPECT_EQ(image.At(0, 0), 0xFF0000FFu);
        EXPECT_EQ(image.At(15, 15), 0xFF0000FFu);
        platform->GetPlatform()->SetEmbedded(false);
        platform->GetPlatform()->SetScale(1.0f, 1.0f);
    });
}

}  // namespace
