// TTextLayout: a text laid out inside a box with a font, a size and a colour, drawn by the
// windows, the renderer's statistics overlay and the visual objects' text images.
//
// So far this is its least form: it keeps what it is made with and the text, lays nothing out and
// draws nothing. The window system's text layout fills it in here, in place, so that nothing below
// the window system ever includes a window-system header.
//
// Ownership: Create hands the caller a layout it owns; Delete destroys it (null is ignored).
// Tests watch layouts come and go through an observer (TTextLayoutObserver; the recording one is
// in textlayoutrecorder.h).
//
// Main thread only.
#pragma once

#include <cstdint>

#include "foundation/str.h"
#include "math/rect.h"

class TTextLayout;
class TTexture;

// Told of every layout made, every text change and every layout deleted (before it goes), and of
// every DrawStringAt (drawstringat.h) of a layout.
class TTextLayoutObserver {
public:
    virtual ~TTextLayoutObserver() = default;
    virtual void OnCreate(const TTextLayout* layout) = 0;
    virtual void OnSetText(const TTextLayout* layout, const str& text) = 0;
    virtual void OnDelete(const TTextLayout* layout) = 0;
    virtual void OnDraw(const TTextLayout* /*layout*/, const TRect& /*box*/, float /*scale*/,
                        uint32_t /*flags*/, float /*opacity*/, const TTexture* /*texture*/) {}
};

class TTextLayout {
public:
    // The flag bits of Create.
    enum : uint32_t { kHAlignCenter = 1, kHAlignRight = 2, kVAlignCenter = 4, kVAlignBottom = 8 };

    // A new layout of the text in a box of width × height pixels. A null or empty font name is the
    // built-in font "__DEFAULT"; a null colour is opaque white. The caller owns the result.
    static TTextLayout* Create(const str& text, int32_t width, int32_t height, uint32_t flags,
                               const char* fontName, int32_t fontSize, const float* color);
    // Destroys and frees the layout; null is ignored.
    static void Delete(TTextLayout* layout);

    // Replaces the text, only when it differs from the current one.
    void SetText(const str& text);
    str GetText() const { return mText; }
    str GetFontName() const { return mFontName; }
    int32_t GetFontSize() const { return mFontSize; }
    int32_t GetWidth() const { return mWidth; }
    int32_t GetHeight() const { return mHeight; }
    uint32_t GetFlags() const { return mFlags; }
    // Red, green, blue, alpha.
    const float* GetColor() const { return mColor; }

    // The observer told of every layout (not owned; null: none).
    static void SetObserver(TTextLayoutObserver* observer);
    static TTextLayoutObserver* GetObserver();

private:
    TTextLayout() = default;
    ~TTextLayout() = default;
    TTextLayout(const TTextLayout&) = delete;
    TTextLayout& operator=(const TTextLayout&) = delete;

    str mText;
    int32_t mWidth = 0;
    int32_t mHeight = 0;
    str mFontName;
    int32_t mFontSize = 0;
    float mColor[4] = {1.0f, 1.0f, 1.0f, 1.0f};
    uint32_t mFlags = 0;
};
