// TRecordingTextLayouts: the text-layout observer tests install (TTextLayout::SetObserver). It
// keeps the layouts made, the texts set, the layouts drawn (DrawStringAt) and the layouts deleted,
// in call order, so a test can see what was drawn and count how often an owner released its
// layout. It installs itself while it lives.
//
// Main thread only.
#pragma once

#include <algorithm>
#include <vector>

#include "foundation/str.h"
#include "platform/text/textlayout.h"

class TRecordingTextLayouts : public TTextLayoutObserver {
public:
    TRecordingTextLayouts() { TTextLayout::SetObserver(this); }
    ~TRecordingTextLayouts() override { TTextLayout::SetObserver(nullptr); }
    TRecordingTextLayouts(const TRecordingTextLayouts&) = delete;
    TRecordingTextLayouts& operator=(const TRecordingTextLayouts&) = delete;

    void OnCreate(const TTextLayout* layout) override { mCreated.push_back(layout); }
    void OnSetText(const TTextLayout* layout, const str& text) override {
        mTexts.push_back({layout, text});
    }
    void OnDelete(const TTextLayout* layout) override { mDeleted.push_back(layout); }
    void OnDraw(const TTextLayout* layout, const TRect& box, float scale, uint32_t flags,
                float opacity, const TTexture* texture) override {
        mDraws.push_back({layout, layout->GetText(), box, scale, flags, opacity, texture});
    }

    // How often the layout was deleted.
    long DeleteCount(const TTextLayout* layout) const {
        return std::count(mDeleted.begin(), mDeleted.end(), layout);
    }

    struct TextSet {
        const TTextLayout* layout;
        str text;
    };
    struct Drawn {
        const TTextLayout* layout;
        str text;  // the layout's text when it was drawn
        TRect box;
        float scale;
        uint32_t flags;
        float opacity;
        const TTexture* texture;
    };
    std::vector<const TTextLayout*> mCreated;
    std::vector<TextSet> mTexts;
    std::vector<Drawn> mDraws;
    std::vector<const TTextLayout*> mDeleted;
};
