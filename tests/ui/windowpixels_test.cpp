// Where a window's drawing lands on the screen: the window manager's frames drawn through the
// headless display, with the window at the screen's corner and away from it. Every kind of draw
// call a widget makes (a fill, a textured quad, a text, a line list) is given in the window's own
// coordinates, so the picture away from the corner is the one at the corner, moved.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "managerfixture.h"
#include "math/rect.h"
#include "platform/display/displayrecord.h"
#include "platform/display/displaysink.h"
#include "platform/draw/color.h"
#include "platform/draw/renderer.h"
#include "platform/draw/vertexbatch.h"
#include "platform/platformdata.h"
#include "platform/text/drawstringat.h"
#include "platform/text/textlayout.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"
#include "port/display/control.h"

namespace uitest {
namespace {

constexpr uint32_t kBackground = 0xFF000000u;

enum class DrawCall { kFill, kQuad, kText, kLines };
constexpr DrawCall kDrawCalls[] = {DrawCall::kFill, DrawCall::kQuad, DrawCall::kText,
                                   DrawCall::kLines};

const char* NameOf(DrawCall call) {
    switch (call) {
        case DrawCall::kFill:
            return "fill";
        case DrawCall::kQuad:
            return "textured quad";
        case DrawCall::kText:
            return "text";
        case DrawCall::kLines:
            return "line list";
    }
    return "";
}

// Draws one thing in its own coordinates, a few pixels in from its corner.
class TDrawCallWindow : public TWindow {
public:
    TDrawCallWindow(DrawCall call, std::shared_ptr<TTexture> texture, TTextLayout* layout)
        : TWindow(str("drawer")), mCall(call), mTexture(std::move(texture)), mLayout(layout) {}

    void Draw() override {
        TRenderer* renderer = TRenderer::GetInstance();
        if (!renderer->Begin2d()) return;
        switch (mCall) {
            case DrawCall::kFill:
                renderer->FillRect(TRect{4, 6, 24, 16}, TVec4{1, 0, 0, 1}, nullptr);
                break;
            case DrawCall::kQuad:
                // Centred on the point: (4, 6) to (20, 22).
                mTexture->DrawAt(12.0f, 14.0f, 1.0f, 1.0f, 0.0f, 0);
                break;
            case DrawCall::kText:
                DrawStringAt(mLayout, TRect{4, 6, GetWidth(), GetHeight()}, 1.0f, 0, 1.0f);
                break;
            case DrawCall::kLines:
                DrawLines(renderer);
                break;
        }
        renderer->End2d();
    }

private:
    static void DrawLines(TRenderer* renderer) {
        const float ends[4][2] = {{4, 6}, {30, 6}, {4, 10}, {4, 30}};
        TLVertex line[4]{};
        for (int i = 0; i < 4; ++i) {
            line[i].x = ends[i][0];
            line[i].y = ends[i][1];
            line[i].z = 0.1f;
            line[i].diffuse = TColor(0.0f, 0.0f, 1.0f, 1.0f).GetPacked();
            line[i].specular = 0xFF000000u;
        }
        renderer->SetTexture(nullptr);
        TVertexBatch batch = TVertexBatch::Kind2(line, 4);
        renderer->DrawVertices(TRenderer::kLineList, &batch);
    }

    DrawCall mCall;
    std::shared_ptr<TTexture> mTexture;
    TTextLayout* mLayout;
};

class WindowPixelsTest : public ManagerTest {
protected:
    void SetUp() override {
        ManagerTest::SetUp();
        TRenderer::GetInstance()->SetSink(GetDisplayRenderSink());
        mScreen->SetClearColor({0.0f, 0.0f, 0.0f, 1.0f});
        mTexture = TTexture::Create(16, 16, true);
        ASSERT_NE(mTexture, nullptr);
        std::vector<uint32_t> green(16 * 16, 0xFF00FF00u);
        ASSERT_TRUE(mTexture->GetData()->SetPixels(16, 16, green.data()));
        const float white[4] = {1.0f, 1.0f, 1.0f, 1.0f};
        mLayout = TTextLayout::Create("Wide words", 200, 40, 0, nullptr, 20, white);
        ASSERT_NE(mLayout, nullptr);
    }
    void TearDown() override {
        TTextLayout::Delete(mLayout);
        mTexture.reset();
        ManagerTest::TearDown();
    }

    // A new drawer of the call, 240 x 60, a child of the parent.
    TDrawCallWindow* AddDrawer(TWindow* parent, DrawCall call) {
        auto* window = new TDrawCallWindow(call, mTexture, mLayout);
        window->SetRect({0, 0, 240, 60});
        EXPECT_TRUE(parent->AddChild(window, false));
        return window;
    }
    static void Discard(TWindow* window) {
        window->GetParent()->RemoveChild(window);
        delete window;
    }

    // The back buffer after a frame drawn with the window's top-left corner at the point of its
    // parent.
    port::control::Image PictureAt(TWindow* window, int x, int y) {
        window->MoveTo(x, y);
        mManager->MarkDirty();
        IdleAfterInterval();
        EXPECT_FALSE(mManager->IsRedrawNeeded()) << "no frame was drawn";
        TDisplayRecord* record = mApp->GetPlatform()->GetPlatformData()->GetRecord();
        return port::control::SurfaceImage(record->mBackBuffer);
    }

    // The pixels of `moved` that differ from `still` moved by (dx, dy), where only the part
    // `visible` shows (the background elsewhere).
    static int Mismatches(const port::control::Image& still, const port::control::Image& moved,
                          int dx, int dy, const TRect& visible) {
        int mismatches = 0;
        for (int y = 0; y < moved.height; ++y) {
            for (int x = 0; x < moved.width; ++x) {
                const int sx = x - dx;
                const int sy = y - dy;
                const bool shown = x >= visible.left && x < visible.right && y >= visible.top &&
                                   y < visible.bottom && sx >= 0 && sy >= 0 && sx < still.width &&
                                   sy < still.height;
                const uint32_t expected = shown ? still.At(sx, sy) : kBackground;
                if (moved.At(x, y) != expected) ++mismatches;
            }
        }
        return mismatches;
    }

    // The smallest rectangle holding every pixel other than the background.
    static TRect Ink(const port::control::Image& image) {
        TRect ink{image.width, image.height, 0, 0};
        for (int y = 0; y < image.height; ++y) {
            for (int x = 0; x < image.width; ++x) {
                if (image.At(x, y) == kBackground) continue;
                ink = TRect{std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                            std::max(ink.bottom, y + 1)};
            }
        }
        return ink.IsEmpty() ? TRect{} : ink;
    }

    std::shared_ptr<TTexture> mTexture;
    TTextLayout* mLayout = nullptr;
};

TEST_F(WindowPixelsTest, EveryDrawCallLandsAtTheWindowsPlace) {
    for (DrawCall call : kDrawCalls) {
        SCOPED_TRACE(NameOf(call));
        TDrawCallWindow* window = AddDrawer(mScreen, call);
        port::control::Image still = PictureAt(window, 0, 0);
        ASSERT_FALSE(still.Empty());
        TRect ink = Ink(still);
        ASSERT_FALSE(ink.IsEmpty()) << "nothing was drawn";
        if (call == DrawCall::kFill) {
            EXPECT_EQ(ink, (TRect{4, 6, 24, 16}));
        } else if (call == DrawCall::kQuad) {
            EXPECT_EQ(ink, (TRect{4, 6, 20, 22}));
        }

        port::control::Image moved = PictureAt(window, 150, 100);
        EXPECT_EQ(Mismatches(still, moved, 150, 100, TRect{0, 0, 640, 480}), 0);
        Discard(window);
    }
}

// Its parent cuts the window on the left and top: what shows is the part of the same picture
// inside the parent, in its place.
TEST_F(WindowPixelsTest, AWindowCutByItsParentShowsItsPictureInPlace) {
    const TRect panelRect{100, 100, 300, 300};
    auto* panel = new TWindow(str("panel"));
    panel->SetRect(panelRect);
    ASSERT_TRUE(mScreen->AddChild(panel, false));
    for (DrawCall call : kDrawCalls) {
        SCOPED_TRACE(NameOf(call));
        TDrawCallWindow* window = AddDrawer(mScreen, call);
        port::control::Image still = PictureAt(window, 0, 0);
        Discard(window);

        window = AddDrawer(panel, call);
        port::control::Image moved = PictureAt(window, -10, -8);
        EXPECT_EQ(Mismatches(still, moved, 90, 92, panelRect), 0);
        Discard(window);
    }
}

}  // namespace
}  // namespace uitest
