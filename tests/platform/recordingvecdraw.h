// A glyph drawer that draws nothing and keeps what the text layout asks of it: each Begin, each
// shade colour, each outline drawn with the drawer's settings of that moment, each Flush. Put in
// the platform's place (TWin32Platform::SetVecDraw) by the text tests and the markup fuzz target.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "platform/draw/bvminivecdraw.h"
#include "platform/font/vecfont.h"

namespace testing_support {

class TRecordingVecDraw : public TBvMiniVecDraw {
public:
    struct Begun {
        float x, y;
        const TTexture* target;
    };
    struct Drawn {
        // Which Begin it follows (an index into mBegins).
        size_t begin;
        // A font's glyph by serial and offset; an outline of serial 0 by its bytes.
        uint32_t fontSerial, offset;
        std::vector<uint8_t> bytes;
        int x, y;
        float scaleX, scaleY, cosine, sine;
        bool slant;
        float strokes[2];
        uint8_t blend, replace;
        // The shade slots' colours and factors when it was drawn: 1 fill, 255 and 254 strokes.
        uint32_t fill, stroke0, stroke1;
        float fillFactor;
    };

    bool Begin(float x, float y, const std::shared_ptr<TTexture>& target = nullptr,
               std::shared_ptr<TTexture> = nullptr) override {
        mBegins.push_back({x, y, target.get()});
        return !mRefuseBegin;
    }
    void SetShadeColors(int slot, uint32_t color, float factor) override {
        mShades[slot & 255] = {color, factor};
    }
    void DrawString(const TGlyphOutline& outline, int x, int y) override {
        Drawn drawn{mBegins.empty() ? SIZE_MAX : mBegins.size() - 1,
                    outline.fontSerial,
                    outline.offset,
                    {},
                    x,
                    y,
                    GetScaleX(),
                    GetScaleY(),
                    GetCosine(),
                    GetSine(),
                    GetSlant(),
                    {GetStrokeWidth(0), GetStrokeWidth(1)},
                    GetBlend(),
                    GetReplace(),
                    mShades[1].color,
                    mShades[255].color,
                    mShades[254].color,
                    mShades[1].factor};
        if (outline.fontSerial == 0 && outline.bytes != nullptr)
            drawn.bytes.assign(outline.bytes, outline.bytes + outline.size);
        mDrawn.push_back(std::move(drawn));
    }
    void Flush() override { ++mFlushes; }

    void Clear() {
        mBegins.clear();
        mDrawn.clear();
        mShades.clear();
        mFlushes = 0;
    }
    // The glyphs of a font drawn, as their codes (0 for an outline the font does not hold).
    std::vector<uint32_t> Codes(const TVecFont& font) const {
        std::vector<uint32_t> codes;
        for (const Drawn& drawn : mDrawn) {
            if (drawn.fontSerial != font.GetSerial()) continue;
            uint32_t code = 0;
            for (uint32_t c = 0; c < 0x3000 && code == 0; ++c) {
                const int glyph = font.FindGlyph(c);
                if (glyph >= 0 && font.GetGlyphShape(glyph).offset == drawn.offset) code = c;
            }
            codes.push_back(code);
        }
        return codes;
    }

    struct Shade {
        uint32_t color = 0;
        float factor = 0.0f;
    };
    std::vector<Begun> mBegins;
    std::vector<Drawn> mDrawn;
    std::map<int, Shade> mShades;
    int mFlushes = 0;
    bool mRefuseBegin = false;
};

}  // namespace testing_support
