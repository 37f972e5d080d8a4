// A whole recovery on the headless backend, both ways. The game holds textures loaded from PNG
// files, one texture made empty and drawn into, and a software cursor image. Every surface is
// lost and the display marked broken, as the frame begin leaves it when it finds the front buffer
// lost; then the event pump's idle turns run until the display works again. With three scenes or
// more since the set-up the surfaces are restored in place; with fewer the display is set up
// again. Either way each file texture has its own pixels again (not the noise that restored video
// memory holds), the made texture is cleared, and the cursor image is rebuilt by its listener.
#include <gtest/gtest.h>
#include <png.h>

#include <memory>
#include <string>

#include "platform/display/dxcontext.h"
#include "platform/platformevent.h"
#include "platform/texture/texture.h"
#include "restorefixture.h"
#include "support/imagewriter.h"

namespace restore_testing {
namespace {

// Pixel (x, y) of the test images: every pixel differs from its neighbours, so a texture that
// holds anything else (noise, zeros, another image) shows.
uint32_t Pattern(int x, int y, uint32_t seed) {
    return 0xFF000000u | ((seed + 37u * x) & 0xFFu) << 16 | ((seed * 3u + 53u * y) & 0xFFu) << 8 |
           ((x * 11u + y * 7u + seed) & 0xFFu);
}

// Each colour channel within one step.
bool Near(uint32_t a, uint32_t b) {
    for (int shift = 0; shift < 24; shift += 8) {
        int difference = static_cast<int>(a >> shift & 0xFF) - static_cast<int>(b >> shift & 0xFF);
        if (difference < -1 || difference > 1) return false;
    }
    return true;
}

std::string PatternPng(int width, int height, uint32_t seed) {
    testing_support::PngImage image;
    image.width = width;
    image.height = height;
    image.colorType = PNG_COLOR_TYPE_RGB;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint32_t pixel = Pattern(x, y, seed);
            image.samples.push_back(static_cast<uint16_t>(pixel >> 16 & 0xFF));
            image.samples.push_back(static_cast<uint16_t>(pixel >> 8 & 0xFF));
            image.samples.push_back(static_cast<uint16_t>(pixel & 0xFF));
        }
    }
    return testing_support::WritePng(image);
}

// How many pixels of the texture differ from the expected ones; -1 when it cannot be locked.
template <typename Expected>
int Mismatches(const std::shared_ptr<TTexture>& texture, Expected expected) {
    uint32_t* pixels = nullptr;
    int pitch = 0;
    if (!texture->Lock(&pixels, &pitch)) return -1;
    int wrong = 0;
    for (int y = 0; y < texture->GetHeight(); ++y) {
        for (int x = 0; x < texture->GetWidth(); ++x) {
            if (pixels[y * pitch + x] != expected(x, y)) ++wrong;
        }
    }
    texture->Unlock();
    return wrong;
}

class RecoveryTest : public RestoreTest {
protected:
    struct FileTexture {
        std::shared_ptr<TTexture> texture;
        int width;
        int height;
        uint32_t seed;
    };

    // The game's textures and cursor, as after its screens were loaded.
    void LoadGame() {
        const FileTexture specs[] = {{nullptr, 32, 32, 17}, {nullptr, 20, 12, 91}};
        for (const FileTexture& spec : specs) {
            std::string name = "image" + std::to_string(spec.seed) + ".png";
            ASSERT_TRUE(testing_support::WriteFileBytes(
                CommonFile(name), PatternPng(spec.width, spec.height, spec.seed)));
            FileTexture loaded = spec;
            loaded.texture = TTexture::Get(("common:" + name).c_str(), 0);
            ASSERT_NE(loaded.texture, nullptr);
            ASSERT_EQ(loaded.texture->GetWidth(), spec.width);
            mFiles.push_back(loaded);
        }
        mMade = TTexture::Create(16, 16, true);
        ASSERT_NE(mMade, nullptr);
        uint32_t* pixels = nullptr;
        int pitch = 0;
        ASSERT_TRUE(mMade->Lock(&pixels, &pitch));
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels[y * pitch + x] = 0xFF336699u;
        mMade->Unlock();

        ASSERT_TRUE(
            testing_support::WriteFileBytes(CommonFile("cursor.png"), PatternPng(12, 12, 5)));
        mCursor = TTexture::GetCursorTexture("common:cursor.png");
        ASSERT_NE(mCursor, nullptr);
        ASSERT_TRUE(mDisplay->SetMouseImage(mCursor, false, 0, 0));
        ASSERT_NE(mDisplay->GetContext()->GetListener(), nullptr);
        ExpectGameIntact(/*madeCleared=*/false);
    }

    void ExpectGameIntact(bool madeCleared) {
        for (const FileTexture& file : mFiles) {
            SCOPED_TRACE(file.seed);
            EXPECT_EQ(
                Mismatches(file.texture, [&](int x, int y) { return Pattern(x, y, file.seed); }),
                0);
        }
        uint32_t made = madeCleared ? 0u : 0xFF336699u;
        EXPECT_EQ(Mismatches(mMade, [&](int, int) { return made; }), 0);
        // The cursor, drawn into the back buffer, is its image (the blend of an opaque pixel may
        // lose one step per channel).
        TDXContext* context = mDisplay->GetContext();
        EXPECT_FALSE(context->AreCursorSurfacesLost());
        EXPECT_FALSE(context->AreCursorSurfacesUnavailable());
        POINT drawn = context->DrawMouse(POINT{200, 150}, true);
        ASSERT_EQ(drawn.x, 200);
        port::control::Image back = port::control::SurfaceImage(context->GetBackBuffer());
        ASSERT_FALSE(back.Empty());
        int wrong = 0;
        for (int y = 0; y < 12; ++y)
            for (int x = 0; x < 12; ++x)
                wrong += !Near(back.At(200 + x, 150 + y), Pattern(x, y, 5));
        EXPECT_EQ(wrong, 0);
    }

    // The pump's turns until the display works again; false when it never did.
    bool PumpUntilWorking() {
        for (int turn = 0; turn < 20; ++turn) {
            Turn();
            if (mDisplay->IsWorking()) return true;
        }
        return false;
    }

    void TearDown() override {
        mFiles.clear();
        mMade.reset();
        mCursor.reset();
        RestoreTest::TearDown();
    }

    std::vector<FileTexture> mFiles;
    std::shared_ptr<TTexture> mMade;
    std::shared_ptr<TTexture> mCursor;
};

TEST_F(RecoveryTest, ASurvivingDeviceIsRestoredInPlace) {
    SetUpDisplay();
    LoadGame();
    RunScenes(3);
    LoseDisplay();
    StartLogs();

    ASSERT_TRUE(PumpUntilWorking()) << LogText();

    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 1);
    EXPECT_EQ(SetUps(), 0);
    EXPECT_EQ(LogIndex("TPlatformData::Restore: Working count too small"), -1) << LogText();
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_EQ(Broken(), str("0"));
    ExpectGameIntact(/*madeCleared=*/true);
}

TEST_F(RecoveryTest, TooFewScenesSetTheDisplayUpAgain) {
    SetUpDisplay();
    LoadGame();
    RunScenes(2);
    LoseDisplay();
    StartLogs();

    ASSERT_TRUE(PumpUntilWorking()) << LogText();

    EXPECT_TRUE(Logged("TPlatformData::Restore: Working count too small (2). Calling SetDisplay()"))
        << LogText();
    EXPECT_EQ(CountCalls("RestoreAllSurfaces"), 0);
    EXPECT_EQ(SetUps(), 1);
    EXPECT_TRUE(mDisplay->IsReady());
    EXPECT_EQ(Broken(), str("0"));
    ExpectGameIntact(/*madeCleared=*/true);
}

}  // namespace
}  // namespace restore_testing
