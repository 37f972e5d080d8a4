#include "canvas.h"

#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

namespace drawkit {

Canvas::Canvas(int width, int height)
    : mWidth(width),
      mHeight(height),
      mSurface(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height)),
      mCr(cairo_create(mSurface)) {
    cairo_set_antialias(mCr, CAIRO_ANTIALIAS_GOOD);
}

Canvas::~Canvas() {
    cairo_destroy(mCr);
    cairo_surface_destroy(mSurface);
}

uint32_t* Canvas::Row(int y) const {
    return reinterpret_cast<uint32_t*>(cairo_image_surface_get_data(mSurface) +
                                       size_t(y) *
                                           size_t(cairo_image_surface_get_stride(mSurface)));
}

Image Canvas::ToImage() const {
    cairo_surface_flush(mSurface);
    Image image(mWidth, mHeight);
    const uint8_t* data = cairo_image_surface_get_data(mSurface);
    const int stride = cairo_image_surface_get_stride(mSurface);
    for (int y = 0; y < mHeight; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < mWidth; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            uint8_t* out = image.At(x, y);
            out[3] = uint8_t(a);
            if (a == 0) {
                out[0] = out[1] = out[2] = 0;
                continue;
            }
            const uint32_t channels[3] = {(p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF};
            for (int c = 0; c < 3; ++c)
                out[c] = uint8_t(std::min<uint32_t>(255, (channels[c] * 255 + a / 2) / a));
        }
    }
    return image;
}

void SetColour(cairo_t* cr, const Rgb& rgb, double alpha) {
    cairo_set_source_rgba(cr, rgb.r, rgb.g, rgb.b, alpha);
}

void AddEllipse(cairo_t* cr, double cx, double cy, double w, double h) {
    if (w <= 0 || h <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, w / 2, h / 2);
    cairo_new_sub_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_close_path(cr);
    cairo_restore(cr);
}

void AddRoundBox(cairo_t* cr, double cx, double cy, double w, double h, double radius) {
    const double r = std::max(0.0, std::min({radius, w / 2, h / 2}));
    const double x0 = cx - w / 2, y0 = cy - h / 2, x1 = cx + w / 2, y1 = cy + h / 2;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x1 - r, y0 + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x1 - r, y1 - r, r, 0, M_PI / 2);
    cairo_arc(cr, x0 + r, y1 - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x0 + r, y0 + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void AddCloud(cairo_t* cr, double cx, double cy, double w, double h, int lumps, Seeded& random) {
    lumps = std::max(3, lumps);
    AddEllipse(cr, cx, cy, w * 0.78, h * 0.78);
    const double turn = random.Uniform(0, 2 * M_PI);
    for (int i = 0; i < lumps; ++i) {
        const double a = turn + 2 * M_PI * (i + random.Uniform(-0.2, 0.2)) / lumps;
        const double k = random.Uniform(0.8, 1.15);
        const double lw = w * 0.34 * k, lh = h * 0.34 * k;
        AddEllipse(cr, cx + std::cos(a) * (w / 2 - lw / 2), cy + std::sin(a) * (h / 2 - lh / 2), lw,
                   lh);
    }
}

void AddRock(cairo_t* cr, double cx, double cy, double w, double h, double degrees,
             Seeded& random) {
    const int count = 7 + int(random.Uniform(0, 3));
    std::vector<std::pair<double, double>> p;
    const double turn = degrees * M_PI / 180.0;
    for (int i = 0; i < count; ++i) {
        const double a = 2 * M_PI * (i + random.Uniform(-0.25, 0.25)) / count;
        const double k = random.Uniform(0.8, 1.0);
        const double x = std::cos(a) * w / 2 * k, y = std::sin(a) * h / 2 * k;
        p.emplace_back(cx + x * std::cos(turn) - y * std::sin(turn),
                       cy + x * std::sin(turn) + y * std::cos(turn));
    }
    // Through the middles of the sides, the corners as control points: rounded, never pointed.
    auto mid = [&](size_t i) {
        const auto& a = p[i % p.size()];
        const auto& b = p[(i + 1) % p.size()];
        return std::make_pair((a.first + b.first) / 2, (a.second + b.second) / 2);
    };
    cairo_new_sub_path(cr);
    cairo_move_to(cr, mid(0).first, mid(0).second);
    for (size_t i = 1; i <= p.size(); ++i) {
        const auto& c = p[i % p.size()];
        const auto m = mid(i);
        cairo_curve_to(cr, c.first, c.second, c.first, c.second, m.first, m.second);
    }
    cairo_close_path(cr);
}

namespace {

// The path again, moved by (dx, dy) pixels of the device.
void AddMoved(cairo_t* cr, const PathMaker& path, double dx, double dy) {
    cairo_matrix_t m;
    cairo_get_matrix(cr, &m);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_translate(cr, dx, dy);
    cairo_transform(cr, &m);
    path(cr);
    cairo_restore(cr);
}

void Outline(cairo_t* cr, const Style& style, double alpha) {
    cairo_save(cr);
    cairo_identity_matrix(cr);
    SetColour(cr, style.Outline().base, alpha);
    cairo_set_line_width(cr, style.OutlineWidth());
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace

void FillShape(cairo_t* cr, const Style& style, const Ramp& ramp, const PathMaker& path,
               const FillLook& look) {
    cairo_save(cr);
    cairo_new_path(cr);
    path(cr);
    double x0, y0, x1, y1;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_path_extents(cr, &x0, &y0, &x1, &y1);
    cairo_restore(cr);
    const double size = std::max(1.0, std::min(x1 - x0, y1 - y0));
    const double lx = style.LightX(), ly = style.LightY();

    if (look.alpha < 1.0) cairo_push_group(cr);
    if (look.outlined && look.underOutline) {
        cairo_save(cr);
        cairo_identity_matrix(cr);
        SetColour(cr, style.Outline().base);
        cairo_set_line_width(cr, 2 * style.OutlineWidth());
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
        cairo_restore(cr);
    }
    if (!look.shaded) {
        SetColour(cr, ramp.base);
        cairo_fill_preserve(cr);
    } else {
        cairo_save(cr);
        cairo_clip_preserve(cr);
        // Cel steps: the shade, then the base over the shape moved toward the light, leaving a
        // crescent of shade on the far side (a middle step between them with three steps).
        SetColour(cr, ramp.shade);
        cairo_paint(cr);
        const int steps = style.ShadingSteps();
        if (steps >= 2) {
            if (steps == 3) {
                const Rgb mid{(ramp.base.r + ramp.shade.r) / 2, (ramp.base.g + ramp.shade.g) / 2,
                              (ramp.base.b + ramp.shade.b) / 2};
                cairo_new_path(cr);
                AddMoved(cr, path, lx * size * 0.08, ly * size * 0.08);
                SetColour(cr, mid);
                cairo_fill(cr);
            }
            cairo_new_path(cr);
            AddMoved(cr, path, lx * size * 0.16, ly * size * 0.16);
            SetColour(cr, ramp.base);
            cairo_fill(cr);
        } else {
            SetColour(cr, ramp.base);
            cairo_paint(cr);
        }
        // One soft gradient of the light colour, strongest toward the light.
        cairo_save(cr);
        cairo_identity_matrix(cr);
        const double cx = (x0 + x1) / 2, cy = (y0 + y1) / 2;
        const double radius = std::max(x1 - x0, y1 - y0) * 0.75;
        cairo_pattern_t* glow = cairo_pattern_create_radial(
            cx + lx * (x1 - x0) * 0.3, cy + ly * (y1 - y0) * 0.3, 0, cx, cy, radius);
        cairo_pattern_add_color_stop_rgba(glow, 0, ramp.light.r, ramp.light.g, ramp.light.b, 0.7);
        cairo_pattern_add_color_stop_rgba(glow, 0.6, ramp.light.r, ramp.light.g, ramp.light.b, 0);
        cairo_set_source(cr, glow);
        cairo_paint(cr);
        cairo_pattern_destroy(glow);
        cairo_restore(cr);
        // The rim light: the outline moved away from the light shows only along the lit edge.
        if (style.Rim() > 0) {
            cairo_new_path(cr);
            AddMoved(cr, path, -lx * 2.2, -ly * 2.2);
            cairo_save(cr);
            cairo_identity_matrix(cr);
            SetColour(cr, ramp.light, style.Rim());
            cairo_set_line_width(cr, 2.0);
            cairo_stroke(cr);
            cairo_restore(cr);
        }
        cairo_restore(cr);
        cairo_new_path(cr);
        path(cr);
    }
    if (look.outlined && !look.underOutline) {
        Outline(cr, style, 1.0);
    } else {
        cairo_new_path(cr);
    }
    if (look.alpha < 1.0) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, look.alpha);
    }
    cairo_restore(cr);
}

void StrokeShape(cairo_t* cr, const Style& style, const Ramp& ramp, const PathMaker& path,
                 double width, bool outlined, double alpha) {
    cairo_save(cr);
    if (alpha < 1.0) cairo_push_group(cr);
    cairo_new_path(cr);
    path(cr);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_save(cr);
    cairo_identity_matrix(cr);
    if (outlined) {
        SetColour(cr, style.Outline().base);
        cairo_set_line_width(cr, width + 2 * style.OutlineWidth());
        cairo_stroke_preserve(cr);
    }
    SetColour(cr, ramp.base);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
    cairo_restore(cr);
    if (alpha < 1.0) {
        cairo_pop_group_to_source(cr);
        cairo_paint_with_alpha(cr, alpha);
    }
    cairo_restore(cr);
}

void SoftShadow(cairo_t* cr, const Ramp& ramp, double cx, double cy, double w, double h,
                double alpha) {
    if (w <= 0 || h <= 0) return;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_scale(cr, w / 2, h / 2);
    cairo_pattern_t* p = cairo_pattern_create_radial(0, 0, 0, 0, 0, 1);
    cairo_pattern_add_color_stop_rgba(p, 0, ramp.base.r, ramp.base.g, ramp.base.b, alpha);
    cairo_pattern_add_color_stop_rgba(p, 0.55, ramp.base.r, ramp.base.g, ramp.base.b, alpha * 0.8);
    cairo_pattern_add_color_stop_rgba(p, 1, ramp.base.r, ramp.base.g, ramp.base.b, 0);
    cairo_set_source(cr, p);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_fill(cr);
    cairo_pattern_destroy(p);
    cairo_restore(cr);
}

}  // namespace drawkit
