// TText: the window that shows a text (a label, a paragraph with markup, links that press the
// dialog's buttons) through one TTextLayout (platform/text/textlayout.h) sized to the window.
// Scripts make it by the window type "Text"; TTextEdit (textedit.h) derives from it.
//
// Virtual operations after TWindow's: SetText, GetText (a derived class keeps the order).
//
// Ownership: the window owns its layout from Init to its destruction; a window that had no width
// or no height at Init keeps none and shows nothing. Main thread only.
#pragma once

#include <cstdint>

#include "foundation/str.h"
#include "math/rect.h"
#include "ui/window.h"

class TTextLayout;

class TText : public TWindow {
public:
    // firstPass: may be drawn in drawing pass 1 (kDrawInPass1).
    explicit TText(bool firstPass = false);

    const char* GetClassName() const override { return "TText"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TWindow::IsKindOf(id); }
    ~TText() override;
    // Reads "font", "label", "flags", "padding" and the rotation keys, then makes the layout.
    void Init(TWindowStyle& style) override;
    void Draw() override;
    // fraction 0 shows the text from its first line, 1 scrolls until the last lines fit.
    void SetScroll(float fraction, uint32_t unused) override;
    // A press is taken only on a link; the release on the same link presses the button the
    // link names.
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    bool OnMouseMove(const TPoint& point) override;
    bool OnMouseLeave() override;

    // Nothing without a layout; a redraw only when the replaced text was not empty.
    virtual void SetText(str text);
    // "" without a layout.
    virtual str GetText();

    static void* Create();
    static TClassId TypeId() { return &Create; }

    // False (and nothing made) for a zero width or height; else the layout, and the window takes
    // the size.
    bool CreateLayout(const str& text, int32_t width, int32_t height, uint32_t flags,
                      const str& fontName, int32_t fontSize, const float* color);
    void SetAlpha(float alpha) { mAlpha = alpha; }
    // Degrees about the origin (pixels in the window).
    void SetRotation(float degrees, int32_t originX, int32_t originY);
    // The laid-out text's extent at scale 1.0; empty without a layout.
    void GetTextBounds(TRect& bounds) const;

    TTextLayout* GetLayout() const { return mLayout; }
    int32_t GetPadding() const { return mPadding; }
    float GetAlpha() const { return mAlpha; }
    const str& GetCommand() const { return mCommand; }

private:
    // The link pressed by the command: the button of that name in the modal.
    void PressCommand();

    TTextLayout* mLayout = nullptr;
    float mScale = 1.0f;
    float mAlpha = 1.0f;
    int32_t mPadding = 0;
    float mScrollBias = 0.5f;
    // The link id pressed and not yet released.
    str mCommand;
};
