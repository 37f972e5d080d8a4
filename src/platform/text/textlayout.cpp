#include "platform/text/textlayout.h"

namespace {

TTextLayoutObserver* gObserver = nullptr;

}  // namespace

TTextLayout* TTextLayout::Create(const str& text, int32_t width, int32_t height, uint32_t flags,
                                 const char* fontName, int32_t fontSize, const float* color) {
    auto* layout = new TTextLayout();
    layout->mFlags = flags;
    layout->mFontName =
        fontName != nullptr && fontName[0] != '\0' ? str(fontName) : str("__DEFAULT");
    layout->mFontSize = fontSize;
    if (color != nullptr)
        for (int i = 0; i < 4; ++i)
            layout->mColor[i] = color[i];
    layout->mWidth = width;
    layout->mHeight = height;
    if (gObserver != nullptr) gObserver->OnCreate(layout);
    layout->SetText(text);
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
}

void TTextLayout::SetObserver(TTextLayoutObserver* observer) {
    gObserver = observer;
}

TTextLayoutObserver* TTextLayout::GetObserver() {
    return gObserver;
}
