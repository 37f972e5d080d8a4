// DrawStringAt: draws a laid-out text (textlayout.h) with its top-left corner at the box's left and
// top and the box's height as the height lines must fit in, inside a 2-D phase of the renderer;
// the windows, the visual objects' text images and the renderer's statistics overlay call it.
// The layout observer hears of every call.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "math/rect.h"

class TTextLayout;
class TTexture;

// scale multiplies the layout's size; padding is the extra pixels between lines; opacity (0.0 to
// 1.0) multiplies the colours' alpha; with a texture the text is drawn into it instead of the
// screen. A null layout draws nothing.
void DrawStringAt(TTextLayout* layout, const TRect& box, float scale, uint32_t padding,
                  float opacity, const std::shared_ptr<TTexture>& texture = nullptr);
