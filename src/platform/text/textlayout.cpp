#include "platform/text/textlayout.h"

#include <algorithm>
#include <cmath>

#include "platform/platform.h"
#include "platform/settingkeys.h"
#include "platform/text/textitems.h"

namespace {

TTextLayoutObserver* gObserver = nullptr;

constexpr double kPi = 3.14159265358979323846;
// A turn this close to none is none: the text is drawn unturned.
constexpr float kRotationSnap = 0.0001f;

str FontNameOrDefault(const char* fontName) {
    return fontName != nullptr && fontName[0] != '\0' ? str(fontName) : str("__DEFAULT");
}

// The first line shown: the scroll truncated, never before the first line.
size_t FirstShownLine(float scroll) {
    return scroll >= 1.0f ? static_cast<size_t>(std::min(scroll, 2.0e9f)) : 0;
}

}  // namespace

TTextLayout::TTextLayout()
    : mSpriteText(TPlatform::GetConfig(settingkey::kTextSpriteRender, "0").ToInt() > 0) {}

TTextLayout* TTextLayout::Create(const str& text, int32_t width, int32_t height, uint32_t flags,
                                 const char* fontName, int32_t fontSize, const float* color) {
    auto* layout = new TTextLayout();
    layout->mFlags = flags;
    layout->mFontName = FontNameOrDefault(fontName);
    layout->mFontSize = fontSize;
    if (color != nullptr) std::copy(color, color + 4, layout->mColor);
    layout->mWidth = width;
    layout->mHeight = height;
    if (gObserver != nullptr) gObserver->OnCreate(layout);
    if (text == layout->mText) {
        // An empty text is no change, yet its vertical placement follows the flags.
        layout->Layout();
    } else {
        layout->SetText(text);
    }
    return layout;
}

void TTextLayout::Delete(TTextLayout* layout) {
    if (layout == nullptr) return;
    if (gObserver != nullptr) gObserver->OnDelete(layout);
    delete layout;
}

void TTextLayout::SetText(const str& text) {
    if (text == mText) return;
    mText = text;
    if (gObserver != nullptr) gObserver->OnSetText(this, text);
    Layout();
}

void TTextLayout::SetFont(const char* fontName) {
    str name = FontNameOrDefault(fontName);
    if (name == mFontName) return;
    mFontName = name;
    Layout();
}

void TTextLayout::SetFontSize(int32_t size) {
    if (size == mFontSize) return;
    mFontSize = size;
    Layout();
}

void TTextLayout::SetRotation(float degrees, int32_t originX, int32_t originY) {
    const double radians = static_cast<double>(degrees) * kPi / 180.0;
    float cosine = static_cast<float>(std::cos(radians));
    float sine = static_cast<float>(std::sin(radians));
    if (std::fabs(cosine - 1.0f) <= kRotationSnap && std::fabs(sine) <= kRotationSnap) {
        cosine = 1.0f;
        sine = 0.0f;
    }
    if (cosine == mCosine && sine == mSine && originX == mRotationX && originY == mRotationY)
        return;
    mCosine = cosine;
    mSine = sine;
    mRotationX = originX;
    mRotationY = originY;
    Layout();
}

int TTextLayout::GetOverflowLines(float scale, int32_t padding) const {
    double sum = 0.0;
    for (size_t k = mLines.size(); k > 0; --k) {
        sum += (static_cast<double>(mLines[k - 1]->height) + padding) * scale;
        if (sum > mHeight) return static_cast<int>(k);
    }
    return 0;
}

void TTextLayout::GetBounds(TRect& bounds, float scale) const {
    bool found = false;
    int32_t left = 0;
    int32_t right = 0;
    for (size_t i = FirstShownLine(mScroll); i < mLines.size(); ++i) {
        const TTextLine& line = *mLines[i];
        if (line.runs.empty()) continue;
        const double start = line.anchorX + static_cast<double>(line.offset) * scale;
        const int32_t lineLeft =
            TruncateToInt(line.runs.front().x * static_cast<double>(scale) + start);
        const int32_t lineRight =
            TruncateToInt(line.runs.back().endX * static_cast<double>(scale) + start);
        left = found ? std::min(left, lineLeft) : lineLeft;
        right = found ? std::max(right, lineRight) : lineRight;
        found = true;
    }
    bounds.left = left;
    bounds.right = right;
    bounds.top = TruncateToInt(mAnchor + static_cast<double>(mVerticalOffset) * scale);
    bounds.bottom = SaturateToInt(static_cast<int64_t>(bounds.top) +
                                  TruncateToInt(static_cast<double>(mTotalHeight) * scale));
}

str TTextLayout::GetLinkAt(const TPoint& point, int32_t padding) const {
    double y = mAnchor + static_cast<double>(mVerticalOffset);
    for (size_t i = FirstShownLine(mScroll); i < mLines.size(); ++i) {
        const TTextLine& line = *mLines[i];
        if (y - padding <= point.y && point.y < y + line.height) {
            const double start = line.anchorX + static_cast<double>(line.offset);
            for (const TTextRun& run : line.runs) {
                if (start + run.x <= point.x && point.x < start + run.endX) return run.linkId;
            }
            return str();
        }
        y += static_cast<double>(line.height) + padding;
    }
    return str();
}

bool TTextLayout::SetHoverPoint(const TPoint* point, int32_t padding) {
    str link = point != nullptr ? GetLinkAt(*point, padding) : str();
    if (link == mHoveredLink) return false;
    mHoveredLink = link;
    return true;
}

void TTextLayout::SetObserver(TTextLayoutObserver* observer) {
    gObserver = observer;
}

TTextLayoutObserver* TTextLayout::GetObserver() {
    return gObserver;
}
