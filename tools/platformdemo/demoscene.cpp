#include "demoscene.h"

#include <cstdint>
#include <cstring>
#include <string>

#include "demodata.h"
#include "foundation/asset.h"
#include "foundation/log.h"
#include "math/rect.h"
#include "math/vec4.h"
#include "platform/animation/animatedtexture.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/renderer.h"
#include "platform/font/fontcache.h"
#include "platform/font/vecfont.h"
#include "platform/text/drawstringat.h"
#include "platform/text/textlayout.h"
#include "platform/texture/texture.h"

namespace platformdemo {
namespace {

// The renderer's blend modes, in their order.
const char* const kBlendModeNames[kBlendModeCount] = {"alpha", "opaque", "additive", "subtractive",
                                                      "multiply"};
constexpr int kCheck = 15;
constexpr uint32_t kInk = 0x101820;

// The markup line: the same word plain (a "font" tag of no attributes only makes it a run of its
// own) and bold, a red word and an underlined link.
constexpr const char* kMarkupLine =
    "Markup: <font>heavy</font> <b>heavy</b> <font color='#e00000'>red</font> and a "
    "<u><a id='keys' color='1038c8'>link</a></u>";

TVec4 Colour(uint32_t rgb) {
    return TVec4{static_cast<float>((rgb >> 16) & 0xFF) / 255.0f,
                 static_cast<float>((rgb >> 8) & 0xFF) / 255.0f,
                 static_cast<float>(rgb & 0xFF) / 255.0f, 1.0f};
}

// The frame box of the first run of the layout's first line that draws exactly the word, bold or
// not, from the line top down by the line's height; the baseline's row in *baseline.
TRect WordBox(const TTextLayout& layout, const TRect& box, const char* word, bool bold,
              int* baseline) {
    if (layout.GetLineCount() == 0) return TRect{};
    const TTextLine& line = *layout.GetLines()[0];
    const std::string text = layout.GetText().c_str();
    const int top = box.top + layout.GetAnchor() + static_cast<int>(layout.GetVerticalOffset());
    const int left = box.left + line.anchorX + static_cast<int>(line.offset);
    for (const TTextRun& run : line.runs) {
        const int length = run.end - run.start + 1;
        if (length <= 0 || (run.bold != 0) != bold ||
            text.compare(static_cast<size_t>(run.start), static_cast<size_t>(length), word) != 0)
            continue;
        *baseline = top + line.baseline / 4;
        return TRect{left + run.x, top, left + run.endX + 1, top + line.height};
    }
    return TRect{};
}

}  // namespace

DemoScene::DemoScene() = default;

DemoScene::~DemoScene() {
    for (const Text& text : mTexts)
        TTextLayout::Delete(text.layout);
}

bool DemoScene::Load() {
    mBackground = TTexture::Get(kBackgroundName, TTexture::kGetNoAlpha);
    mSprite = TTexture::Get(kSpriteName, TTexture::kGetAlpha);
    mAssets.AddAsset(kAnimationName, nullptr, false);
    const TVecFont* font = GetVecFont(TVecFontCache::kDefaultFontName);
    bool loaded = mBackground != nullptr && mSprite != nullptr &&
                  mAssets.mAssets.count(kAnimationName) != 0 && font != nullptr &&
                  font->GetGlyphCount() > 0;
    if (!loaded) {
        LogPrintf("platformdemo: the demo's data did not load");
        return false;
    }

    mTitle = &AddText(TRect{40, 33, 760, 80}, 36, 0xFFFFFF, "Umbrava platform demo");
    AddText(TRect{40, 75, 760, 100}, 20, 0xD0D8E8,
            "Drawn by the program's own rasterizer, shown through SDL.");
    for (int i = 0; i < kBlendModeCount; ++i) {
        const int left = kBoardLeft + i * kBoardStep + 8;
        const int top = kBoardTop + kBoardSize + 9;
        AddText(TRect{left, top, left + kBoardStep - 8, top + 25}, 20, 0xFFFFFF,
                kBlendModeNames[i]);
    }
    AddText(TRect{kAnimationX + 50, kAnimationY - 9, kAnimationX + 400, kAnimationY + 16}, 20,
            0xFFFFFF, "animation, first frame");
    AddText(TRect{kPanelLeft + 14, kPanelTop + 13, kPanelRight - 10, kPanelTop + 40}, 22, kInk,
            "Keys");
    // The rows 26 pixels apart: 19 of text and 7 between.
    AddText(TRect{kPanelLeft + 14, kPanelTop + 48, kPanelRight - 10, kPanelTop + 160}, 19, kInk,
            "Alt+Enter  full screen<br>L  lose every surface<br>S  screenshot<br>Esc, Alt+F4  quit")
        .padding = 7;
    mMarkup = &AddText(TRect{kMarkupLeft + 14, kMarkupTop + 16, kMarkupRight - 10, kMarkupBottom},
                       22, kInk, kMarkupLine);
    return true;
}

DemoScene::Text& DemoScene::AddText(const TRect& box, int size, uint32_t colour, const char* text) {
    const float rgba[4] = {static_cast<float>(colour >> 16 & 0xFF) / 255.0f,
                           static_cast<float>(colour >> 8 & 0xFF) / 255.0f,
                           static_cast<float>(colour & 0xFF) / 255.0f, 1.0f};
    TTextLayout* layout = TTextLayout::Create(text, box.right - box.left, box.bottom - box.top, 0,
                                              TVecFontCache::kDefaultFontName, size, rgba);
    mTexts.push_back(Text{layout, box, 0});
    return mTexts.back();
}

MarkupWords DemoScene::GetMarkupWords() const {
    MarkupWords words;
    if (mTitle == nullptr || mMarkup == nullptr) return words;
    mTitle->layout->GetBounds(words.title, 1.0f);
    words.title.left += mTitle->box.left;
    words.title.right += mTitle->box.left;
    words.title.top += mTitle->box.top;
    words.title.bottom += mTitle->box.top;
    const TTextLayout& line = *mMarkup->layout;
    words.plain = WordBox(line, mMarkup->box, "heavy", false, &words.baseline);
    words.bold = WordBox(line, mMarkup->box, "heavy", true, &words.baseline);
    words.red = WordBox(line, mMarkup->box, "red", false, &words.baseline);
    words.link = WordBox(line, mMarkup->box, "link", false, &words.baseline);
    return words;
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
        renderer->FillRect(TRect{kMarkupLeft, kMarkupTop, kMarkupRight, kMarkupBottom},
                           Colour(kMarkupPanelColour), nullptr);
        DrawBoards();

        renderer->SetBlendMode(0);
        auto animation = AssetCast<TAnimatedTexture>(mAssets.mAssets[kAnimationName]);
        if (animation != nullptr) {
            animation->DrawAt(kAnimationX, kAnimationY, 1.0f, 1.0f, 0.0f, 0);
        }

        for (const Text& text : mTexts)
            DrawStringAt(text.layout, text.box, 1.0f, text.padding, 1.0f);
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

}  // namespace platformdemo
