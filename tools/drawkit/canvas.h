// Drawing with cairo in Umbrava's style: a canvas of transparent pixels, and the strokes every
// recipe is made of (ellipses, rounded boxes, Bézier paths, outlined and cel-shaded fills, soft
// shadows). Coordinates are the caller's, through cairo's current transform; outlines and rim
// lights keep their width in pixels whatever the transform.
//
// A canvas belongs to one thread at a time; canvases on different threads are independent.
#pragma once

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>

#include "image.h"
#include "seeded.h"
#include "style.h"

namespace drawkit {

class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* Cr() const { return mCr; }
    cairo_surface_t* Surface() const { return mSurface; }
    // The surface's pixels: premultiplied native-endian ARGB, Stride() bytes a row. Flush before
    // reading what cairo drew, mark dirty after writing.
    uint32_t* Row(int y) const;
    void Flush() const { cairo_surface_flush(mSurface); }
    void MarkDirty() const { cairo_surface_mark_dirty(mSurface); }
    int Width() const { return mWidth; }
    int Height() const { return mHeight; }

    // The pixels, un-premultiplied exactly (a colour c·a/255 rounded comes back as c wherever
    // the alpha keeps enough precision).
    Image ToImage() const;

private:
    int mWidth;
    int mHeight;
    cairo_surface_t* mSurface;
    cairo_t* mCr;
};

// Adds a path to the cairo context (in its current transform); the fills below call it.
using PathMaker = std::function<void(cairo_t*)>;

void AddEllipse(cairo_t* cr, double cx, double cy, double w, double h);
void AddRoundBox(cairo_t* cr, double cx, double cy, double w, double h, double radius);
// A bush, a crown, a snow cap: lumps (at least three) on the rim of the ellipse, each about a
// third of it across, around one body filling the middle; sizes and places vary a little by the
// generator. Fill it with FillLook::underOutline for one outline around the union.
void AddCloud(cairo_t* cr, double cx, double cy, double w, double h, int lumps, Seeded& random);
// A stone: a closed, rounded outline of seven to nine points on the ellipse, each pulled in by up
// to a fifth, turned by degrees.
void AddRock(cairo_t* cr, double cx, double cy, double w, double h, double degrees, Seeded& random);

// How a shape is filled.
struct FillLook {
    bool shaded = true;    // cel shade, soft gradient and rim light; else one flat colour
    bool outlined = true;  // the style's outline around it
    double alpha = 1.0;    // the whole shape's opacity
    // The outline goes under the fill, twice as wide, so that a path of several overlapping
    // pieces (a bush of lumps, a heap of stones) shows one outline around their union.
    bool underOutline = false;
};

// Fills the path with the ramp in the style's way: the base colour, one cel step of the shade on
// the side away from the light, a soft gradient of the light colour toward it, a rim light on the
// lit edge, then the outline.
void FillShape(cairo_t* cr, const Style& style, const Ramp& ramp, const PathMaker& path,
               const FillLook& look = FillLook());

// Strokes the path with the ramp's base colour, width in pixels, round caps and joins, outlined.
void StrokeShape(cairo_t* cr, const Style& style, const Ramp& ramp, const PathMaker& path,
                 double width, bool outlined = true, double alpha = 1.0);

// A soft elliptic shadow: the ramp's base colour at alpha in the middle, fading to nothing at
// the ellipse's edge.
void SoftShadow(cairo_t* cr, const Ramp& ramp, double cx, double cy, double w, double h,
                double alpha);

void SetColour(cairo_t* cr, const Rgb& rgb, double alpha = 1.0);

}  // namespace drawkit
