// Posing and drawing a rig (recipe.h): a motion's keyframes give every joint its transform for a
// frame, and the parts of one sprite child are drawn at that pose, in the view asked for (SE, the
// front three-quarter view, or NE, the back one), at a level, for a variant. Props (tools, loads,
// icons) are drawn at a point, turned about their grip. These are the renderers the game's other
// pictures can draw our animals with.
//
// A Figure only reads its recipe, style and props; one thread draws with it at a time.
#pragma once

#include <cairo.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

#include "recipe.h"
#include "style.h"

namespace artgen {

struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;  // x' = a x + c y + e; y' = b x + d y + f
    Affine Then(const Affine& outer) const;           // this, then outer
    void Apply(double x, double y, double* ox, double* oy) const;
    cairo_matrix_t ToCairo() const { return cairo_matrix_t{a, b, c, d, e, f}; }
};

struct Pose {
    std::map<std::string, Affine> joints;
    std::map<std::string, double> alpha;
    std::string face = "open";
    std::string view = "SE";
    double toolRot = 0;  // the carried tool's turn, degrees
    double extraDy = 0;  // the motion's extra prop, moved up or down
    bool pair = false;   // the motion draws the breeding pair
    std::string extra;   // a prop drawn over the figure, at (extraX, extraY + extraDy)
    double extraX = 0, extraY = 0;
};

// What a picture is drawn for: the level and the variant's keys; for a place, the cells it
// covers at the stage drawn (offsets from its cell, whose middle is the drawing's origin).
struct Look {
    int level = 1;
    std::map<std::string, std::string> vars;
    std::vector<std::pair<int, int>> cells;
};

class Figure {
public:
    Figure(const Recipe& recipe, const drawkit::Style& style,
           const std::map<std::string, Prop>& props)
        : mRecipe(recipe), mStyle(style), mProps(props) {}

    // The pose of frame (0 ... frames − 1) of the motion in the view. stride: pixels the figure
    // travels in one cycle of the motion, for the "swing" channel.
    Pose Evaluate(const Motion& motion, int frame, const std::string& view, double stride) const;

    // Draws the parts of the layer at the pose; false with "file:line: ..." in *error.
    bool DrawLayer(cairo_t* cr, const std::string& layer, const Pose& pose, const Look& look,
                   std::string* error) const;

    // Where the rest-pose point (x, y) on the joint is at the pose.
    void Carry(const Pose& pose, const std::string& joint, double x, double y, double* ox,
               double* oy) const;

    // Draws the prop with its grip at (x, y), turned by degrees, scaled.
    bool DrawProp(cairo_t* cr, const std::string& name, double x, double y, double degrees,
                  double scale, std::string* error) const;

    // Whether any part of the layer is drawn at that level for the look.
    bool LayerHasParts(const std::string& layer, const Look& look) const;

private:
    bool DrawShapes(cairo_t* cr, const std::vector<Shape>& shapes, const std::string& seed,
                    const Pose& pose, const Look& look, std::string* error) const;
    // One copy of one shape; seed makes its randomness.
    bool DrawShape(cairo_t* cr, const Shape& shape, const std::string& seed, const Pose& pose,
                   const Look& look, std::string* error) const;
    bool PartShown(const Part& part, const std::string& view, const Look& look) const;
    const drawkit::Ramp* ResolveRamp(const Shape& shape, const Look& look,
                                     std::string* error) const;
    // The part's transform at the pose (its joint, its growth by level).
    Affine PartMatrix(const Part& part, const Pose& pose, const Look& look) const;

    const Recipe& mRecipe;
    const drawkit::Style& mStyle;
    const std::map<std::string, Prop>& mProps;
};

}  // namespace artgen
