// Shared by the texture tests: an asset manager and a recording renderer sink installed for the
// test, in-memory texture data, images made by the tests and registered as memory files, and the
// settings table emptied before and after.
#pragma once

#include <png.h>

#include <memory>
#include <string>

#include "foundation/assetmanager.h"
#include "foundation/settingsmap.h"
#include "imagefixture.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"
#include "support/imagewriter.h"

class TextureTest : public ImageFileTest {
protected:
    void SetUp() override {
        SetAssetManager(&mManager);
        TRenderer::GetInstance()->SetSink(&mSink);
    }
    // The renderer and the asset manager point at members: they let go before the members go.
    void TearDown() override {
        TRenderer::DestroyInstance();
        SetAssetManager(nullptr);
        ImageFileTest::TearDown();
    }

    static TMemoryTextureData* Memory(const std::shared_ptr<TTexture>& texture) {
        return dynamic_cast<TMemoryTextureData*>(texture->GetData());
    }
    static uint8_t Flags(const std::shared_ptr<TTexture>& texture) {
        return texture->GetData()->GetFlags();
    }

    // A PNG of one colour 0xAARRGGBB; with alpha an RGBA image, else RGB.
    static std::string SolidPng(int width, int height, uint32_t color, bool alpha = false) {
        testing_support::PngImage image;
        image.width = width;
        image.height = height;
        image.colorType = alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB;
        for (int i = 0; i < width * height; ++i) {
            image.samples.push_back(static_cast<uint16_t>((color >> 16) & 0xFF));
            image.samples.push_back(static_cast<uint16_t>((color >> 8) & 0xFF));
            image.samples.push_back(static_cast<uint16_t>(color & 0xFF));
            if (alpha) image.samples.push_back(static_cast<uint16_t>(color >> 24));
        }
        return testing_support::WritePng(image);
    }
    // A grey JPEG of one level.
    static std::string SolidJpeg(int width, int height, uint8_t level) {
        testing_support::JpegImage image;
        image.width = width;
        image.height = height;
        image.components = 1;
        image.samples.assign(static_cast<size_t>(width) * height, level);
        return testing_support::WriteJpeg(image);
    }

    TAssetManager mManager;
    TRecordingRenderSink mSink;
};
