// DrawStringAt: draws a laid-out text (textlayout.h) with its top-left corner at the box's left and
// top, inside a 2-D phase of the renderer; the windows, the visual objects' text images and the
// renderer's statistics overlay call it.
//
// So far this is its least form beside the least layout: it tells the layout observer what it was
// asked to draw and draws nothing. The window system's text drawing fills it in here.
//
// Main thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "math/rect.h"

class TTextLayout;
class TTexture;

// scale multiplies the layout's size; opacity (0.0 to 1.0) its colour's alpha; with a texture the
// text is drawn into it instead of the screen. A null layout draws nothing.
void DrawStringAt(TTextLayout* layout, const TRect& box, float scale, uint32_t flags, float opacity,
                  const std::shared_ptr<TTexture>& texture = nullptr);
