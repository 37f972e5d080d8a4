#include "figure.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>
#include <vector>

#include "canvas.h"
#include "seeded.h"

namespace artgen {

using drawkit::FillLook;
using drawkit::Ramp;

Affine Affine::Then(const Affine& o) const {
    return Affine{o.a * a + o.c * b, o.b * a + o.d * b,       o.a * c + o.c * d,
                  o.b * c + o.d * d, o.a * e + o.c * f + o.e, o.b * e + o.d * f + o.f};
}

void Affine::Apply(double x, double y, double* ox, double* oy) const {
    *ox = a * x + c * y + e;
    *oy = b * x + d * y + f;
}

namespace {

Affine Translate(double x, double y) {
    return Affine{1, 0, 0, 1, x, y};
}
Affine Rotate(double degrees) {
    const double r = degrees * M_PI / 180.0;
    return Affine{std::cos(r), std::sin(r), -std::sin(r), std::cos(r), 0, 0};
}
Affine Scale(double sx, double sy) {
    return Affine{sx, 0, 0, sy, 0, 0};
}

// The channel's value at the frame: keys spread evenly over the cycle, eased between.
double Sample(const Channel& c, int frame, int frames) {
    if (c.keys.empty()) return 0;
    const int f = ((frame - c.lag) % frames + frames) % frames;
    const double t = double(f) / frames * double(c.keys.size());
    const size_t i = size_t(std::floor(t)) % c.keys.size();
    const double u = t - std::floor(t);
    const double ease = (1 - std::cos(u * M_PI)) / 2;
    const double a = c.keys[i], b = c.keys[(i + 1) % c.keys.size()];
    return a + (b - a) * ease;
}

// Whether a variant's value meets a condition: the same text, or, for a condition "A-B" of two
// whole numbers, a whole number from A to B.
bool Matches(const std::string& value, const std::string& condition) {
    if (value == condition) return true;
    const size_t dash = condition.find('-');
    if (dash == std::string::npos || dash == 0) return false;
    auto whole = [](const std::string& text, long* out) {
        if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) return false;
        *out = std::strtol(text.c_str(), nullptr, 10);
        return true;
    };
    long v = 0, low = 0, high = 0;
    return whole(value, &v) && whole(condition.substr(0, dash), &low) &&
           whole(condition.substr(dash + 1), &high) && v >= low && v <= high;
}

const Ramp& Ink(const drawkit::Style& style) {
    return style.Outline();
}

void EyeWhite(cairo_t* cr, const drawkit::Style& style, const Ramp& white, double x, double y,
              double s) {
    drawkit::FillShape(cr, style, white,
                       [&](cairo_t* c) { drawkit::AddEllipse(c, x, y, s * 1.1, s * 1.35); });
}

void Pupil(cairo_t* cr, const drawkit::Style& style, const Ramp& pupil, const Ramp& glint, double x,
           double y, double s) {
    FillLook flat;
    flat.shaded = false;
    flat.outlined = false;
    drawkit::FillShape(
        cr, style, pupil, [&](cairo_t* c) { drawkit::AddEllipse(c, x, y, s * 0.62, s * 0.8); },
        flat);
    drawkit::FillShape(
        cr, style, glint,
        [&](cairo_t* c) { drawkit::AddEllipse(c, x - s * 0.12, y - s * 0.2, s * 0.26, s * 0.26); },
        flat);
}

void Arc(cairo_t* cr, const drawkit::Style& style, double x, double y, double w, double bend,
         double width) {
    drawkit::StrokeShape(
        cr, style, Ink(style),
        [&](cairo_t* c) {
            cairo_move_to(c, x - w / 2, y);
            cairo_curve_to(c, x - w / 4, y + bend, x + w / 4, y + bend, x + w / 2, y);
        },
        width, false);
}

// Adds the outline of an ellipse, a box or a path (closed or not) to the path; false for other
// shapes, which have no outline of their own.
bool AddOutline(cairo_t* cr, const Shape& s) {
    const std::vector<double>& n = s.numbers;
    if (s.kind == "ellipse" || s.kind == "box") {
        cairo_save(cr);
        cairo_translate(cr, n[0], n[1]);
        cairo_rotate(cr, s.rotate * M_PI / 180.0);
        if (s.kind == "ellipse") {
            drawkit::AddEllipse(cr, 0, 0, n[2], n[3]);
        } else {
            drawkit::AddRoundBox(cr, 0, 0, n[2], n[3], n[4]);
        }
        cairo_restore(cr);
        return true;
    }
    if (s.kind != "path") return false;
    const std::vector<std::string>& w = s.pathWords;
    size_t i = 0;
    auto num = [&]() { return std::strtod(w[i++].c_str(), nullptr); };
    const double x0 = num(), y0 = num();
    cairo_move_to(cr, x0, y0);
    while (i < w.size()) {
        const std::string& op = w[i++];
        if (op == "c") {
            const double a = num(), b = num(), c = num(), d = num(), e = num(), f = num();
            cairo_curve_to(cr, a, b, c, d, e, f);
        } else if (op == "l") {
            const double a = num(), b = num();
            cairo_line_to(cr, a, b);
        } else if (op == "z") {
            cairo_close_path(cr);
        }
    }
    return true;
}

}  // namespace

Pose Figure::Evaluate(const Motion& motion, int frame, const std::string& view,
                      double stride) const {
    Pose pose;
    pose.view = view;
    pose.pair = motion.pair;
    pose.extra = motion.extra;
    pose.extraX = motion.extraX;
    pose.extraY = motion.extraY;
    if (!motion.faces.empty())
        pose.face = motion.faces.size() == 1 ? motion.faces[0] : motion.faces[size_t(frame)];
    struct Local {
        double rot = 0, dx = 0, dy = 0, sx = 1, sy = 1, alpha = 1;
    };
    std::map<std::string, Local> locals;
    for (const Channel& c : motion.channels) {
        const double v = Sample(c, frame, motion.frames);
        if (c.joint == "tool") {
            if (c.what == "rot") pose.toolRot = v;
            continue;
        }
        if (c.joint == "extra") {
            if (c.what == "dy") pose.extraDy = v;
            continue;
        }
        const Joint* joint = mRecipe.FindJoint(c.joint);
        if (joint == nullptr) continue;  // a motion serves rigs without this joint too
        Local& l = locals[c.joint];
        if (c.what == "rot") l.rot += v;
        if (c.what == "dx") l.dx += v;
        if (c.what == "dy") l.dy += v;
        if (c.what == "sx") l.sx *= v;
        if (c.what == "sy") l.sy *= v;
        if (c.what == "alpha") l.alpha *= v;
        if (c.what == "swing" && joint->length > 0) {
            const double reach = std::clamp(v * stride / (4 * joint->length), -0.9, 0.9);
            l.rot -= std::asin(reach) * 180.0 / M_PI;
        }
    }
    for (const Joint& j : mRecipe.joints) {
        const Local l = locals.count(j.name) ? locals[j.name] : Local();
        const Affine local = Translate(-j.pivotX, -j.pivotY)
                                 .Then(Scale(l.sx, l.sy))
                                 .Then(Rotate(l.rot))
                                 .Then(Translate(j.pivotX + l.dx, j.pivotY + l.dy));
        Affine world = local;
        double alpha = l.alpha;
        if (!j.parent.empty()) {
            world = local.Then(pose.joints[j.parent]);
            alpha *= pose.alpha[j.parent];
        }
        if (j.rigid) {
            // Moved, never turned, by whole pixels: its pictures repeat and are kept once.
            double x, y;
            world.Apply(j.pivotX, j.pivotY, &x, &y);
            world = Translate(std::round(x - j.pivotX), std::round(y - j.pivotY));
        }
        pose.joints[j.name] = world;
        pose.alpha[j.name] = alpha;
    }
    return pose;
}

void Figure::Carry(const Pose& pose, const std::string& joint, double x, double y, double* ox,
                   double* oy) const {
    auto it = pose.joints.find(joint);
    if (it == pose.joints.end()) {
        *ox = x;
        *oy = y;
        return;
    }
    it->second.Apply(x, y, ox, oy);
}

bool Figure::PartShown(const Part& part, const std::string& view, const Look& look) const {
    if (!part.view.empty() && part.view != view) return false;
    if (look.level < part.levelFrom || look.level > part.levelTo) return false;
    for (const auto& [key, value] : part.when) {
        auto it = look.vars.find(key);
        if (it == look.vars.end() || !Matches(it->second, value)) return false;
    }
    return true;
}

bool Figure::LayerHasParts(const std::string& layer, const Look& look) const {
    for (const Part& p : mRecipe.parts) {
        if (p.layer == layer && (PartShown(p, "SE", look) || PartShown(p, "NE", look))) return true;
    }
    return false;
}

const Ramp* Figure::ResolveRamp(const Shape& shape, const Look& look, std::string* error) const {
    std::string name = shape.ramp;
    if (!name.empty() && name[0] == '$') {
        auto it = look.vars.find(name.substr(1));
        if (it == look.vars.end()) {
            *error = shape.where.Where("the variant has no " + name.substr(1));
            return nullptr;
        }
        name = it->second;
    }
    const Ramp* ramp = mStyle.Find(name);
    if (ramp == nullptr) *error = shape.where.Where("no palette ramp named " + name);
    return ramp;
}

Affine Figure::PartMatrix(const Part& part, const Pose& pose, const Look& look) const {
    const Joint* joint = mRecipe.FindJoint(part.joint);
    double ax = part.anchorX, ay = part.anchorY;
    if (ax == 0 && ay == 0 && joint != nullptr) {
        ax = joint->pivotX;
        ay = joint->pivotY;
    }
    const double grow = 1 + part.grow * (look.level - 1);
    Affine m = Translate(-ax, -ay).Then(Scale(grow, grow)).Then(Translate(ax, ay));
    auto it = pose.joints.find(part.joint);
    return it == pose.joints.end() ? m : m.Then(it->second);
}

bool Figure::DrawShapes(cairo_t* cr, const std::vector<Shape>& shapes, const std::string& seed,
                        const Pose& pose, const Look& look, std::string* error) const {
    if (mStyle.Find("white") == nullptr || mStyle.Find("pupil") == nullptr ||
        mStyle.Find("glint") == nullptr || mStyle.Find("tongue") == nullptr) {
        *error = "the style lacks the ramps white, pupil, glint or tongue";
        return false;
    }
    int index = 0;
    for (const Shape& s : shapes) {
        ++index;
        if (!s.view.empty() && s.view != pose.view) continue;
        drawkit::Seeded random(seed + ":" + std::to_string(index) + ":jitter");
        for (int copy = 0; copy < s.repeat; ++copy) {
            const double jx = s.jitter > 0 ? random.Uniform(-s.jitter, s.jitter) : 0;
            const double jy = s.jitter > 0 ? random.Uniform(-s.jitter, s.jitter) : 0;
            cairo_save(cr);
            cairo_translate(cr, copy * s.repeatX + jx, copy * s.repeatY + jy);
            std::string copySeed = seed + ":" + std::to_string(index);
            if (copy > 0) copySeed.append(1, '/').append(std::to_string(copy));
            const bool ok = DrawShape(cr, s, copySeed, pose, look, error);
            cairo_restore(cr);
            if (!ok) return false;
        }
    }
    return true;
}

bool Figure::DrawShape(cairo_t* cr, const Shape& s, const std::string& seed, const Pose& pose,
                       const Look& look, std::string* error) const {
    const Ramp* white = mStyle.Find("white");
    const Ramp* pupil = mStyle.Find("pupil");
    const Ramp* glint = mStyle.Find("glint");
    const Ramp* tongue = mStyle.Find("tongue");
    {
        const std::vector<double>& n = s.numbers;
        FillLook fill;
        fill.shaded = s.shaded;
        fill.outlined = s.outlined;
        fill.alpha = s.alpha;
        const std::string& face = pose.face;
        if (s.kind == "eye") {
            const double x = n[0], y = n[1], size = n[2];
            if (face == "blink" || face == "sleep") {
                Arc(cr, mStyle, x, y + size * 0.1, size * 1.1, face == "sleep" ? size * 0.35 : 1,
                    2.2);
            } else if (face == "happy") {
                Arc(cr, mStyle, x, y + size * 0.2, size * 1.1, -size * 0.6, 2.4);
            } else {
                EyeWhite(cr, mStyle, *white, x, y, size);
                double px = x + size * 0.12, py = y + size * 0.05;
                if (face == "left") px = x - size * 0.25;
                if (face == "right") px = x + size * 0.28;
                if (face == "glanceleft") px = x - size * 0.08;
                if (face == "glanceright") px = x + size * 0.2;
                if (face == "think") py = y - size * 0.25;
                Pupil(cr, mStyle, *pupil, *glint, px, py, face == "shout" ? size * 0.8 : size);
                if (face == "angry") {
                    drawkit::StrokeShape(
                        cr, mStyle, Ink(mStyle),
                        [&](cairo_t* c) {
                            cairo_move_to(c, x - size * 0.6, y - size * 0.95);
                            cairo_line_to(c, x + size * 0.55, y - size * 0.55);
                        },
                        2.6, false);
                }
            }
            return true;
        }
        if (s.kind == "mouth" || s.kind == "grin") {
            // A grin shows its teeth whatever the face does.
            const std::string face = s.kind == "grin" && pose.face != "shout" ? "angry" : pose.face;
            const double x = n[0], y = n[1], w = n[2];
            if (face == "happy" || face == "shout" || face == "angry") {
                drawkit::FillShape(
                    cr, mStyle, *pupil,
                    [&](cairo_t* c) {
                        cairo_move_to(c, x - w / 2, y);
                        cairo_curve_to(c, x - w / 3, y + w * 0.7, x + w / 3, y + w * 0.7, x + w / 2,
                                       y);
                        cairo_close_path(c);
                    },
                    FillLook{false, true, 1.0});
                FillLook flat{false, false, 1.0};
                drawkit::FillShape(
                    cr, mStyle, *tongue,
                    [&](cairo_t* c) {
                        drawkit::AddEllipse(c, x, y + w * 0.35, w * 0.45, w * 0.22);
                    },
                    flat);
                if (face == "angry") {
                    drawkit::FillShape(
                        cr, mStyle, *white,
                        [&](cairo_t* c) {
                            cairo_move_to(c, x - w * 0.35, y + 0.5);
                            cairo_line_to(c, x - w * 0.2, y + w * 0.25);
                            cairo_line_to(c, x - w * 0.05, y + 0.5);
                            cairo_move_to(c, x + w * 0.05, y + 0.5);
                            cairo_line_to(c, x + w * 0.2, y + w * 0.25);
                            cairo_line_to(c, x + w * 0.35, y + 0.5);
                        },
                        flat);
                }
            } else if (face == "sleep") {
                Arc(cr, mStyle, x, y, w * 0.4, 1, 2);
            } else if (face == "think") {
                Arc(cr, mStyle, x, y, w * 0.5, -1, 2);
            } else {
                Arc(cr, mStyle, x, y, w, w * 0.35, 2.2);
            }
            return true;
        }
        if (s.kind == "brow") {
            const double x = n[0], y = n[1], w = n[2];
            double lift = 0, tilt = 0;
            if (face == "angry") tilt = w * 0.35;
            if (face == "think" || face == "shout") lift = -w * 0.25;
            drawkit::StrokeShape(
                cr, mStyle, Ink(mStyle),
                [&](cairo_t* c) {
                    cairo_move_to(c, x - w / 2, y + lift - tilt);
                    cairo_line_to(c, x + w / 2, y + lift + tilt);
                },
                2.4, false);
            return true;
        }
        const Ramp* ramp = ResolveRamp(s, look, error);
        if (ramp == nullptr) return false;
        if (s.kind == "ellipse" || s.kind == "box" ||
            (s.kind == "path" && s.pathWords.back() == "z")) {
            drawkit::FillShape(
                cr, mStyle, *ramp, [&](cairo_t* c) { AddOutline(c, s); }, fill);
        } else if (s.kind == "path") {
            drawkit::StrokeShape(
                cr, mStyle, *ramp, [&](cairo_t* c) { AddOutline(c, s); }, s.width, s.outlined,
                s.alpha);
        } else if (s.kind == "cloud") {
            FillLook lumpy = fill;
            lumpy.underOutline = true;
            drawkit::FillShape(
                cr, mStyle, *ramp,
                [&](cairo_t* c) {
                    drawkit::Seeded random(seed + ":cloud");
                    drawkit::AddCloud(c, n[0], n[1], n[2], n[3], int(n[4]), random);
                },
                lumpy);
        } else if (s.kind == "rock") {
            drawkit::FillShape(
                cr, mStyle, *ramp,
                [&](cairo_t* c) {
                    drawkit::Seeded random(seed + ":rock");
                    drawkit::AddRock(c, n[0], n[1], n[2], n[3], s.rotate, random);
                },
                fill);
        } else if (s.kind == "cells") {
            FillLook joined = fill;
            joined.underOutline = true;
            // Each cell exactly, which leaves no gap inside, and grown with rounded corners for
            // the edge; the corners stay round without letting a square corner poke out.
            const double grow = std::max(0.0, n[0]);
            const double radius = std::min(8 + grow, grow * 3.4);
            drawkit::FillShape(
                cr, mStyle, *ramp,
                [&](cairo_t* c) {
                    for (const auto& [cx, cy] : look.cells) {
                        const double x = cx * 20.0, y = cy * 20.0;
                        cairo_new_sub_path(c);
                        cairo_rectangle(c, x - 10, y - 10, 20, 20);
                        drawkit::AddRoundBox(c, x, y, 20 + 2 * grow, 20 + 2 * grow, radius);
                    }
                },
                joined);
        } else if (s.kind == "shadow") {
            drawkit::SoftShadow(cr, *ramp, n[0], n[1], n[2], n[3], s.alpha < 1.0 ? s.alpha : 0.35);
        } else if (s.kind == "spots" || s.kind == "stripes") {
            const double cx = n[0], cy = n[1], w = n[2], h = n[3];
            const int count = int(n[4]);
            const double size = n[5];
            drawkit::Seeded random(seed);
            FillLook flat{s.shaded, s.outlined, s.alpha};
            if (s.kind == "spots") {
                std::vector<drawkit::Point> points =
                    drawkit::PoissonDisc(random, w, h, size * 1.3, count * 30);
                if (points.size() > size_t(count)) points.resize(size_t(count));
                for (const drawkit::Point& p : points) {
                    const double k = random.Uniform(0.7, 1.2);
                    const double turn = random.Uniform(0, 180);
                    drawkit::FillShape(
                        cr, mStyle, *ramp,
                        [&](cairo_t* c) {
                            cairo_save(c);
                            cairo_translate(c, cx - w / 2 + p.x, cy - h / 2 + p.y);
                            cairo_rotate(c, turn * M_PI / 180);
                            drawkit::AddEllipse(c, 0, 0, size * k * 1.2, size * k * 0.9);
                            cairo_restore(c);
                        },
                        flat);
                }
            } else {
                for (int i = 0; i < count; ++i) {
                    const double x = cx - w / 2 + w * (i + 0.5) / count + random.Uniform(-1.5, 1.5);
                    const double bend = random.Uniform(-w / count * 0.5, w / count * 0.5);
                    drawkit::FillShape(
                        cr, mStyle, *ramp,
                        [&](cairo_t* c) {
                            cairo_move_to(c, x - size / 2, cy - h / 2);
                            cairo_curve_to(c, x - size / 2 + bend, cy - h / 6, x - size / 2 - bend,
                                           cy + h / 6, x - size * 0.1, cy + h / 2);
                            cairo_line_to(c, x + size * 0.1, cy + h / 2);
                            cairo_curve_to(c, x + size / 2 - bend, cy + h / 6, x + size / 2 + bend,
                                           cy - h / 6, x + size / 2, cy - h / 2);
                            cairo_close_path(c);
                        },
                        flat);
                }
            }
        }
    }
    return true;
}

bool Figure::DrawLayer(cairo_t* cr, const std::string& layer, const Pose& pose, const Look& look,
                       std::string* error) const {
    std::vector<const Part*> parts;
    for (const Part& p : mRecipe.parts) {
        if (p.layer == layer && PartShown(p, pose.view, look)) parts.push_back(&p);
    }
    auto depth = [&](const Part* p) { return pose.view == "NE" && p->hasNeZ ? p->neZ : p->z; };
    std::stable_sort(parts.begin(), parts.end(),
                     [&](const Part* a, const Part* b) { return depth(a) < depth(b); });
    for (const Part* p : parts) {
        cairo_save(cr);
        const double alpha = pose.alpha.count(p->joint) ? pose.alpha.at(p->joint) : 1.0;
        if (alpha < 1.0) cairo_push_group(cr);
        if (!p->clip.empty()) {
            const Part* clip = mRecipe.FindPart(p->clip);
            cairo_matrix_t outer;
            cairo_get_matrix(cr, &outer);
            const cairo_matrix_t m = PartMatrix(*clip, pose, look).ToCairo();
            cairo_transform(cr, &m);
            cairo_new_path(cr);
            for (const Shape& s : clip->shapes) {
                if (s.view.empty() || s.view == pose.view) AddOutline(cr, s);
            }
            cairo_set_matrix(cr, &outer);
            cairo_clip(cr);
        }
        const cairo_matrix_t m = PartMatrix(*p, pose, look).ToCairo();
        cairo_transform(cr, &m);
        const bool ok = DrawShapes(cr, p->shapes, mRecipe.group + ":" + p->name, pose, look, error);
        if (alpha < 1.0) {
            cairo_pop_group_to_source(cr);
            cairo_identity_matrix(cr);
            cairo_paint_with_alpha(cr, alpha);
        }
        cairo_restore(cr);
        if (!ok) return false;
    }
    return true;
}

bool Figure::DrawProp(cairo_t* cr, const std::string& name, double x, double y, double degrees,
                      double scale, std::string* error) const {
    auto it = mProps.find(name);
    if (it == mProps.end()) {
        *error = "no prop named " + name;
        return false;
    }
    const Prop& prop = it->second;
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, degrees * M_PI / 180.0);
    cairo_scale(cr, scale, scale);
    cairo_translate(cr, -prop.gripX, -prop.gripY);
    Pose pose;
    Look look;
    const bool ok = DrawShapes(cr, prop.shapes, "prop:" + name, pose, look, error);
    cairo_restore(cr);
    return ok;
}

}  // namespace artgen
