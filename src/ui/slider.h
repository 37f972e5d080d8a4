// TSlider: the scroll bar and value slider. A rail drawn from three textures (top or left, a
// middle piece stretched between them, bottom or right) and a draggable thumb, an image window,
// that stands for a value between 0 and 1. Scripts make it from a "Slider" table and hear of it
// through messages sent up from the slider's parent, named with the slider's name:
// kSliderValChanged whenever the value is set (every move of a drag), kSliderMouseUp when a drag
// ends, kSliderPageUp and kSliderPageDown for a click on the rail before or after the thumb (the
// dialog decides how far to page).
//
// The slider makes its thumb and owns it, as a child once its textures are set (the window tree
// deletes it then), alone until then. While a drag runs the window manager tracks the slider, so
// moves outside it still reach it. Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "ui/window.h"
#include "ui/windowref.h"

class TImage;
class TTexture;

class TSlider : public TWindow {
public:
    TSlider();
    ~TSlider() override;

    const char* GetClassName() const override { return "TSlider"; }
    bool IsKindOf(TClassId id) const override { return id == TypeId() || TWindow::IsKindOf(id); }
    // The name and the geometry; the first call also the orientation, the textures, the scale,
    // "yoffset" and "value" (set silently).
    void Init(TWindowStyle& style) override;
    // The rail; the thumb draws itself as a child.
    void Draw() override;
    // On the thumb a drag starts; on the rail a page message goes up. Points are the slider's.
    bool OnMouseDown(const TPoint& point) override;
    bool OnMouseUp(const TPoint& point) override;
    // The rollover texture over the thumb and during a drag; a drag sets the value from the
    // pointer's place along the rail.
    bool OnMouseMove(const TPoint& point) override;
    // Nothing during a drag; else the normal texture and no more tracking.
    bool OnMouseLeave() override;

    static TClassId TypeId() { return &Create; }
    static void* Create();

    float GetValue() const { return mValue; }
    // Clamps to 0..1 (NaN gives 0) and positions the thumb; unless silent, sends
    // kSliderValChanged from the parent up, also when the value did not change.
    void SetValue(float value, bool silent);
    void SetRailTextures(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                         std::shared_ptr<TTexture> bottom);
    // The thumb shows the normal texture at the slider's scale and joins the slider.
    void SetThumbTextures(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollover);
    // Along the rail by the value, the y offset across it.
    void PositionThumb();
    // The widest rail texture times the scale, at least the thumb across the rail plus the y
    // offset; the slider takes that size across the rail.
    void UpdateThickness();

    bool IsHorizontal() const { return mHorizontal; }
    bool IsDragging() const { return mDragState != 0; }
    int GetThickness() const { return mThickness; }
    // Null once the thumb is gone.
    TImage* GetThumb() const;

private:
    // Draws one piece at the offset along the rail; answers the length it covered (0 for an
    // empty texture or one without a surface).
    int DrawRailPiece(const std::shared_ptr<TTexture>& texture, int offset, bool stretch);
    void ShowThumbTexture(const std::shared_ptr<TTexture>& texture);
    // A message of the type named with the slider's name, sent from the parent up.
    void SendUp(int32_t type);
    // The thumb joins the slider (with activation) unless it already has a parent.
    void AdoptThumb();

    int32_t mDragState = 0;
    bool mInitialised = false;
    TWindowRef mThumb;
    std::shared_ptr<TTexture> mThumbNormal;
    std::shared_ptr<TTexture> mThumbRollover;
    std::shared_ptr<TTexture> mRailTop;
    std::shared_ptr<TTexture> mRailMiddle;
    std::shared_ptr<TTexture> mRailBottom;
    float mValue = 0.0f;
    float mScale = 1.0f;
    float mRailAlpha = 1.0f;
    int32_t mYOffset = 0;
    int32_t mThickness = 0;
    bool mHorizontal = false;
};
