// Textures made once the screen is set up own the display's texture data, with a surface.
#include <gtest/gtest.h>

#include <memory>

#include "mainwindowfixture.h"
#include "platform/display/dxtexturedata.h"
#include "platform/platform.h"
#include "platform/texture/texture.h"

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

}  // namespace
