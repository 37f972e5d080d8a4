// A scene drawn through the real renderer on the headless backend: the application object's
// screen set-up makes the display (textures become the display's, the renderer draws through its
// sink), the scene draws one sprite inside a frame, and the back buffer is read back.
#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>

#include "displayfixture.h"
#include "gv/gvframe.h"
#include "platform/display/dxtexturedata.h"

namespace gv_test {
namespace {

constexpr uint32_t kBackground = 0xFF203040u;
constexpr uint32_t kRed = 0xFFFF0000u;
constexpr uint32_t kBlue = 0xFF0000FFu;

// The mark's 16 x 16 pixels: a red column at the left (x < 4), a blue bar along the top
// (y < 3, 4 <= x < 12), transparent elsewhere. Nothing of it is symmetric.
uint32_t MarkPixel(int x, int y) {
    if (x < 4) return kRed;
    if (y < 3 && x < 12) return kBlue;
    return 0x00FFFFFFu;
}

class SceneDisplayTest : public DisplayTest {
protected:
    void SetUp() override {
        DisplayTest::SetUp();
        Pixels mark(16, 16);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x)
                mark.At(x, y) = MarkPixel(x, y);
        }
        PutImage("anim/mark.png", mark);
    }

    // The mark at (x, y), its frame given a registration point, flipped as given.
    GVObject* MakeMark(int x, int y, const std::string& flip) {
        return Make("<main deltaX=\"" + std::to_string(x) + "\" deltaY=\"" + std::to_string(y) +
                    "\" flip=\"" + flip +
                    "\"><images><img name=\"mark.png\"/></images><framelist>"
                    "<frame x=\"0\" y=\"0\" w=\"16\" h=\"16\" regx=\"5\" regy=\"7\"/>"
                    "</framelist></main>");
    }
    port::control::Image DrawFrame() { return DisplayTest::DrawFrame(kBackground); }
};

TEST_F(SceneDisplayTest, TheBackBufferShowsTheSpritesOpaquePixelsWhereItsSpecPutsThem) {
    ASSERT_TRUE(TPlatformData::GetInstance() != nullptr && TPlatformData::GetInstance()->IsReady());
    struct Case {
        const char* flip;
        bool mirrored;
    } cases[] = {{"", false}, {"H", true}};
    for (const Case& c : cases) {
        GVObject* mark = MakeMark(300, 200, c.flip);
        ASSERT_NE(mark, nullptr);
        ASSERT_NE(mark->GetCurrentFrame(), nullptr);
        // The image is the display's texture, not one in memory.
        const std::shared_ptr<TTexture> image = TTexture::Get("anim/mark.png", 0);
        ASSERT_NE(image, nullptr);
        EXPECT_NE(dynamic_cast<TDxTextureData*>(image->GetData()), nullptr);
        const TVec2 reg =
            mark->GetCurrentFrame()->GetRegCorner(c.mirrored ? GVFrame::kCornerMirrorX : 0);
        const int left = 300 - static_cast<int>(reg.x);
        const int top = 200 - static_cast<int>(reg.y);
        const port::control::Image frame = DrawFrame();
        ASSERT_EQ(frame.width, 800);
        ASSERT_EQ(frame.height, 600);

        int opaque = 0;
        for (int y = top - 4; y < top + 20; ++y) {
            for (int x = left - 4; x < left + 20; ++x) {
                const int tx = x - left;
                const int ty = y - top;
                uint32_t expected = kBackground;
                if (tx >= 0 && tx < 16 && ty >= 0 && ty < 16) {
                    const uint32_t texel = MarkPixel(c.mirrored ? 15 - tx : tx, ty);
                    if ((texel >> 24) == 0xFF) expected = texel;
                }
                opaque += expected != kBackground;
                EXPECT_EQ(frame.At(x, y) & 0xFFFFFF, expected & 0xFFFFFF)
                    << "flip \"" << c.flip << "\" at " << tx << "," << ty;
            }
        }
        EXPECT_EQ(opaque, 16 * 4 + 8 * 3) << c.flip;
        // Nothing else of the frame was touched.
        int drawn = 0;
        for (uint32_t pixel : frame.argb)
            drawn += (pixel & 0xFFFFFF) != (kBackground & 0xFFFFFF);
        EXPECT_EQ(drawn, opaque) << c.flip;
        mLive.clear();
    }
}

}  // namespace
}  // namespace gv_test
