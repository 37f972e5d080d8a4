// Shared by the visual-object tests: XML fragments parsed into a document the test holds, and
// images written as small PNG files with libpng, registered as memory files of the file layer and
// loaded through TTexture::Get into in-memory texture data, with an asset manager so that a
// second request finds the first texture.
#pragma once

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "foundation/assetmanager.h"
#include "foundation/file/fileindex.h"
#include "foundation/str.h"
#include "foundation/xml/xmlnode.h"
#include "platform/texture/memorytexturedata.h"
#include "platform/texture/texture.h"
#include "support/imagewriter.h"

namespace gv_test {

inline std::string Text(const str& text) {
    return text.c_str();
}

// An image of 0xAARRGGBB pixels, row by row.
struct Pixels {
    Pixels(int w, int h, uint32_t fill = 0) : width(w), height(h), data(size_t(w) * h, fill) {}
    uint32_t& At(int x, int y) { return data[size_t(y) * width + x]; }
    // Sets the alpha of every pixel of the rectangle, keeping white colour.
    void Fill(int left, int top, int right, int bottom, uint8_t alpha) {
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x)
                At(x, y) = (uint32_t(alpha) << 24) | 0xFFFFFFu;
    }
    int width;
    int height;
    std::vector<uint32_t> data;
};

class GvTest : public ::testing::Test {
protected:
    void SetUp() override { SetAssetManager(&mManager); }
    void TearDown() override {
        SetAssetManager(nullptr);
        for (const std::string& name : mNames)
            RegisterMemoryFile(name.c_str(), nullptr, 0);
    }

    // The first element of the text, in a document the test keeps.
    TXmlNode* Parse(const char* text) {
        mDocuments.emplace_back(std::make_unique<TXmlNode>());
        mDocuments.back()->ParseString(text);
        const TXmlNodeList& children = mDocuments.back()->GetChildren();
        return children.empty() ? nullptr : children.front();
    }
    // A fresh element to save into.
    TXmlNode* Element(const char* name) {
        mDocuments.emplace_back(std::make_unique<TXmlNode>(name));
        return mDocuments.back().get();
    }

    // Writes the pixels as an RGBA PNG readable under that name.
    void PutImage(const std::string& name, const Pixels& pixels) {
        testing_support::PngImage image;
        image.width = pixels.width;
        image.height = pixels.height;
        image.colorType = PNG_COLOR_TYPE_RGB_ALPHA;
        for (uint32_t pixel : pixels.data) {
            image.samples.push_back(uint16_t((pixel >> 16) & 0xFF));
            image.samples.push_back(uint16_t((pixel >> 8) & 0xFF));
            image.samples.push_back(uint16_t(pixel & 0xFF));
            image.samples.push_back(uint16_t(pixel >> 24));
        }
        mBlocks.push_back(testing_support::WritePng(image));
        ASSERT_FALSE(mBlocks.back().empty());
        mNames.push_back(name);
        RegisterMemoryFile(name.c_str(), mBlocks.back().data(),
                           static_cast<uint32_t>(mBlocks.back().size()));
    }

    static TMemoryTextureData* Memory(const std::shared_ptr<TTexture>& texture) {
        return dynamic_cast<TMemoryTextureData*>(texture->GetData());
    }

    TAssetManager mManager;
    std::deque<std::unique_ptr<TXmlNode>> mDocuments;
    std::deque<std::string> mBlocks;
    std::deque<std::string> mNames;
};

}  // namespace gv_test
