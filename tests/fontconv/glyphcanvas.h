// A memory texture that the glyph drawer writes into through its texture path, for the coverage
// comparison with FreeType and the sample sheet: the asset manager and renderer the drawer needs,
// the drawer, the converted default font the build made, and FreeType's face of the same font.
// Sizes are FreeType's pixel sizes (the em in pixels); the drawer's scale is set to match.
#pragma once

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "foundation/assetmanager.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/font/vecfont.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texture.h"
#include "support/tempdir.h"

class GlyphCanvasTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetAssetManager(&mManager);
        TRenderer::GetInstance()->SetSink(&mSink);
        mDraw = std::make_unique<TBvMiniVecDraw>();
        std::string bytes = testing_support::ReadFileBytes(DEFAULT_FONT_FILE);
        ASSERT_FALSE(bytes.empty()) << DEFAULT_FONT_FILE;
        mFont = std::make_unique<TVecFont>(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        ASSERT_EQ(FT_Init_FreeType(&mLibrary), 0);
        ASSERT_EQ(FT_New_Face(mLibrary, DEJAVU_SANS, 0, &mFace), 0);
    }
    void TearDown() override {
        if (mFace != nullptr) FT_Done_Face(mFace);
        if (mLibrary != nullptr) FT_Done_FreeType(mLibrary);
        mDraw.reset();
        mFont.reset();
        TRenderer::DestroyInstance();
        SetAssetManager(nullptr);
    }

    std::shared_ptr<TTexture> Canvas(int width, int height, uint32_t fill) {
        std::shared_ptr<TTexture> texture = TTexture::Create(width, height, true);
        uint32_t* pixels = nullptr;
        int pitch = 0;
        EXPECT_TRUE(texture->Lock(&pixels, &pitch));
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) pixels[y * pitch + x] = fill;
        }
        texture->Unlock();
        return texture;
    }
    static uint32_t Pixel(const std::shared_ptr<TTexture>& texture, int x, int y) {
        return dynamic_cast<TMemoryTextureData*>(texture->GetData())
            ->GetPixel(static_cast<uint32_t>(x), static_cast<uint32_t>(y));
    }

    // The converted outlines are in pixels at a nominal size where ascent + descent is 64;
    // FreeType's size `pixels` puts the em at that many pixels. The drawer's scale maps an
    // outline's pixels to quarter pixels.
    float DrawerScale(double pixels) const {
        double height = static_cast<double>(mFace->ascender) - mFace->descender;
        return static_cast<float>(4.0 * pixels * height / (mFace->units_per_EM * 64.0));
    }

    TAssetManager mManager;
    TRecordingRenderSink mSink;
    std::unique_ptr<TBvMiniVecDraw> mDraw;
    std::unique_ptr<TVecFont> mFont;
    FT_Library mLibrary = nullptr;
    FT_Face mFace = nullptr;
};
