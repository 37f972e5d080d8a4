#include "demoscene.h"

#include <cmath>
#include <cstdint>

#include "demodata.h"
#include "foundation/asset.h"
#include "foundation/log.h"
#include "math/rect.h"
#include "math/vec4.h"
#include "platform/animation/animatedtexture.h"
#include "platform/draw/bvminivecdraw.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/renderer.h"
#include "platform/font/fontcache.h"
#include "platform/font/vecfont.h"
#include "platform/platform.h"
#include "platform/texture/texture.h"
#include "platform/win32platform.h"

namespace platformdemo {
namespace {

// The renderer's blend modes, in their order.
const char* const kBlendModeNames[kBlendModeCount] = {"alpha", "opaque", "additive", "subtractive",
                                                      "multiply"};
constexpr int kCheck = 15;

TVec4 Colour(uint32_t rgb) {
    return TVec4{static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(rgb & 0xFF) / 255.0f, 1.0f};
}

}  // namespace

DemoScene::DemoScene() = default;

DemoScene::~DemoScene() = default;

bool DemoScene::Load() {
    mBackground = TTexture::Get(kBackgroundName, TTexture::kGetNoAlpha);
    mSprite = TTexture::Get(kSpriteName, TTexture::kGetAlpha);
    mAssets.AddAsset(kAnimationName, nullptr, false);
    mFont = GetVecFont(TVecFontCache::kDefaultFontName);
    bool loaded = mBackground != nullptr && mSprite != nullptr &&
                  mAssets.mAssets.count(kAnimationName) != 0 && mFont != nullptr &&
                  mFont->GetGlyphCount() > 0;
    if (!loaded) LogPrintf("platformdemo: the demo's data did not load");
    return loaded;
}

bool DemoScene::DrawFrame() {
    TRenderer* renderer = TRenderer::GetInstance();
    if (!renderer->BeginDraw(false)) return false;
    if (renderer->Begin2d()) {
        renderer->SetBlendMode(1);
        if (mBackground != nullptr) {
            mBackground->DrawAt(kScreenWidth / 2.0f, kScreenHeight / 2.0f, 1.0f, 1.0f, 0.0f, 0);
        }
        renderer->FillRect(TRect{kPanelLeft, kPanelTop, kPanelRight, kPanelBottom},
                           Colour(0x808890), nullptr);
        DrawBoards();

        renderer->SetBlendMode(0);
        auto animation = AssetCast<TAnimatedTexture>(mAssets.mAssets[kAnimationName]);
        if (animation != nullptr) {
            animation->DrawAt(kAnimationX, kAnimationY, 1.0f, 1.0f, 0.0f, 0);
        }

        DrawText(40, 60, 30, 0xFFFFFFFFu, "Umbrava platform demo");
        DrawText(40, 90, 16, 0xFFD0D8E8u,
                 "Drawn by the program's own rasterizer, shown through SDL.");
        for (int i = 0; i < kBlendModeCount; ++i) {
            DrawText(static_cast<float>(kBoardLeft + i * kBoardStep + 8),
                     static_cast<float>(kBoardTop + kBoardSize + 24), 16, 0xFFFFFFFFu,
                     kBlendModeNames[i]);
        }
        DrawText(kAnimationX + 50, kAnimationY + 6, 16, 0xFFFFFFFFu, "animation, first frame");
        DrawText(kPanelLeft + 14, kPanelTop + 30, 18, 0xFF101820u, "Keys");
        DrawText(kPanelLeft + 14, kPanelTop + 62, 15, 0xFF101820u, "Alt+Enter  full screen");
        DrawText(kPanelLeft + 14, kPanelTop + 88, 15, 0xFF101820u, "L  lose every surface");
        DrawText(kPanelLeft + 14, kPanelTop + 114, 15, 0xFF101820u, "S  screenshot");
        DrawText(kPanelLeft + 14, kPanelTop + 140, 15, 0xFF101820u, "Esc, Alt+F4  quit");
        renderer->End2d();
    }
    // Non-zero: the frame is presented.
    renderer->EndDraw(1);
    return true;
}

void DemoScene::DrawBoards() {
    TRenderer* renderer = TRenderer::GetInstance();
    for (int mode = 0; mode < kBlendModeCount; ++mode) {
        int left = kBoardLeft + mode * kBoardStep;
        for (int row = 0; row * kCheck < kBoardSize; ++row) {
            for (int column = 0; column * kCheck < kBoardSize; ++column) {
                uint32_t rgb = (row + column) % 2 == 0 ? 0xE8E8E8 : 0x404040;
                TRect cell{left + column * kCheck, kBoardTop + row * kCheck,
                           left + (column + 1) * kCheck, kBoardTop + (row + 1) * kCheck};
                renderer->FillRect(cell, Colour(rgb), nullptr);
            }
        }
        if (mSprite == nullptr) continue;
        TDrawSpec spec(left + kBoardSize / 2.0f, kBoardTop + kBoardSize / 2.0f, 1.0f, 1.0f, 0);
        spec.mBlendMode = mode;
        mSprite->Draw(spec);
    }
}

// One line from the baseline's left end, glyph by glyph: the pen advances by each glyph's
// advance at the line's scale.
void DemoScene::DrawText(float x, float baseline, float pixelHeight, uint32_t colour,
                         const char* text) {
    TWin32Platform* platform = TPlatform::GetInstance()->GetPlatform();
    TBvMiniVecDraw* draw = platform->GetVecDraw();
    float lineHeight = mFont != nullptr ? mFont->GetAscent() + mFont->GetDescent() : 0.0f;
    if (draw == nullptr || lineHeight <= 0.0f) return;
    // The drawer's scale maps the outline's pixels to quarter pixels.
    float scale = 4.0f * pixelHeight / lineHeight;
    draw->SetScale(scale, scale);
    draw->SetRotation(1.0f, 0.0f);
    draw->SetSlant(false);
    draw->SetStrokeWidths(0.0f, 0.0f);
    draw->SetShadeColors(1, colour, 1.0f);
    if (!draw->Begin(x, baseline)) return;
    float pen = 0.0f;
    for (const char* c = text; *c != '\0'; ++c) {
        int glyph = mFont->FindGlyph(static_cast<unsigned char>(*c));
        if (glyph < 0) continue;
        draw->DrawString(mFont->GetGlyphShape(glyph), static_cast<int>(std::lround(pen * 4.0f)), 0);
        pen += mFont->GetGlyphAdvance(glyph) * scale / 4.0f;
    }
    draw->Flush();
}

}  // namespace platformdemo
