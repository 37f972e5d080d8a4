#include "contactsheet.h"

#include <cairo-ft.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <map>
#include <mutex>
#include <set>
#include <vector>

#include "canvas.h"
#include "outputfile.h"
#include "pngwriter.h"

namespace drawkit {

namespace {

struct Layer {
    int picture;
    int regX;
    int regY;
    bool flip;
};

struct Cell {
    std::string label;
    std::vector<Layer> layers;
};

// The labels' face, DejaVu Sans through cairo's FreeType backend (no font lookup): made once for
// the process and kept, shared by every thread's sheets (cairo locks the face while it uses it).
cairo_font_face_t* LabelFace() {
    static cairo_font_face_t* face = nullptr;
    static std::once_flag once;
    std::call_once(once, [] {
        static FT_Library library = nullptr;
        static FT_Face ftFace = nullptr;
        if (FT_Init_FreeType(&library) != 0) return;
        if (FT_New_Face(library, DRAWKIT_LABEL_FONT, 0, &ftFace) != 0) return;
        face = cairo_ft_font_face_create_for_ft_face(ftFace, 0);
    });
    return face;
}

// The picture as a cairo surface (premultiplied, native order); the caller destroys it.
cairo_surface_t* Surface(const Image& p) {
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, p.width, p.height);
    uint8_t* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int row = 0; row < p.height; ++row) {
        uint32_t* out = reinterpret_cast<uint32_t*>(data + size_t(row) * size_t(stride));
        for (int col = 0; col < p.width; ++col) {
            const uint8_t* in = p.At(col, row);
            const uint32_t a = in[3];
            out[col] = (a << 24) | (((in[0] * a + 127) / 255) << 16) |
                       (((in[1] * a + 127) / 255) << 8) | ((in[2] * a + 127) / 255);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

void DrawPicture(cairo_t* cr, cairo_surface_t* s, int width, double x, double y, bool flip) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    if (flip) {
        cairo_translate(cr, width, 0);
        cairo_scale(cr, -1, 1);
    }
    cairo_set_source_surface(cr, s, 0, 0);
    cairo_paint(cr);
    cairo_restore(cr);
}

}  // namespace

bool WriteContactSheet(const Description& description, const Packer& packer, const Style& style,
                       const std::string& path, std::string* error) {
    std::vector<Cell> cells;
    // The composed figure, state by state, in the order the composite children list them.
    std::vector<std::string> stateIds;
    for (const ChildDesc& child : description.children) {
        if (!child.composite) continue;
        for (const StateDesc& s : child.states) {
            if (std::find(stateIds.begin(), stateIds.end(), s.id) == stateIds.end())
                stateIds.push_back(s.id);
        }
    }
    for (const std::string& id : stateIds) {
        size_t longest = 0;
        for (const ChildDesc& child : description.children) {
            const StateDesc* s = child.composite ? child.FindState(id) : nullptr;
            if (s != nullptr && !s->hidden) longest = std::max(longest, s->frames.size());
        }
        for (size_t n = 0; n < longest; ++n) {
            Cell cell{id + " " + std::to_string(n), {}};
            for (const ChildDesc& child : description.children) {
                const StateDesc* s = child.composite ? child.FindState(id) : nullptr;
                if (s == nullptr || s->hidden || s->frames.empty()) continue;
                const FrameRef& f = child.frames[size_t(s->frames[n % s->frames.size()])];
                cell.layers.push_back(Layer{f.picture, f.regX, f.regY, s->flipH});
            }
            cells.push_back(cell);
        }
    }
    // Every distinct picture of the other children.
    for (const ChildDesc& child : description.children) {
        if (child.composite) continue;
        std::set<int> seen;
        for (size_t i = 0; i < child.frames.size(); ++i) {
            const FrameRef& f = child.frames[i];
            if (!seen.insert(f.picture).second) continue;
            cells.push_back(Cell{child.id + " " + std::to_string(i),
                                 {Layer{f.picture, f.regX, f.regY, false}}});
        }
    }
    if (cells.empty()) {
        *error = "cannot write " + path + ": the description has no frame";
        return false;
    }

    // Cell size: the largest reach of any layer around its registration point.
    int left = 8, right = 8, up = 8, down = 8;
    for (const Cell& cell : cells) {
        for (const Layer& l : cell.layers) {
            const Image& p = packer.Picture(l.picture);
            left = std::max(left, l.regX);
            right = std::max(right, p.width - l.regX);
            up = std::max(up, l.regY);
            down = std::max(down, p.height - l.regY);
        }
    }
    const int reach = std::max(left, right);
    const int labelHeight = 14;
    const int cellW = std::max(2 * reach + 8, 90), cellH = up + down + 8 + labelHeight;
    const int columns = std::max(1, std::min(int(cells.size()), 2048 / cellW));
    const int rows = (int(cells.size()) + columns - 1) / columns;
    Canvas canvas(columns * cellW, rows * cellH);
    cairo_t* cr = canvas.Cr();
    const Ramp* grass = style.Find("grass");
    const Ramp* sand = style.Find("sand");
    std::map<int, cairo_surface_t*> surfaces;
    cairo_font_face_t* label = LabelFace();
    if (label == nullptr) {
        *error =
            "cannot write " + path + ": the label font " + DRAWKIT_LABEL_FONT + " cannot be read";
        return false;
    }
    cairo_set_font_face(cr, label);
    cairo_set_font_size(cr, 10);
    for (size_t i = 0; i < cells.size(); ++i) {
        const int cx = int(i) % columns * cellW, cy = int(i) / columns * cellH;
        SetColour(cr, grass != nullptr ? grass->base : Rgb{0.6, 0.75, 0.35});
        cairo_rectangle(cr, cx, cy, cellW / 2.0, cellH);
        cairo_fill(cr);
        SetColour(cr, sand != nullptr ? sand->base : Rgb{0.9, 0.8, 0.6});
        cairo_rectangle(cr, cx + cellW / 2.0, cy, cellW / 2.0, cellH);
        cairo_fill(cr);
        const int footX = cx + cellW / 2, footY = cy + labelHeight + 4 + up;
        for (const Layer& l : cells[i].layers) {
            const Image& p = packer.Picture(l.picture);
            const int rx = l.flip ? p.width - l.regX : l.regX;
            cairo_surface_t*& surface = surfaces[l.picture];
            if (surface == nullptr) surface = Surface(p);
            DrawPicture(cr, surface, p.width, footX - rx, footY - l.regY, l.flip);
        }
        cairo_set_source_rgb(cr, 0.1, 0.08, 0.05);
        cairo_move_to(cr, cx + 3, cy + 11);
        cairo_show_text(cr, cells[i].label.c_str());
    }
    for (auto& [id, surface] : surfaces)
        cairo_surface_destroy(surface);
    std::string bytes;
    if (!EncodePng(canvas.ToImage(), 1, &bytes, error)) {
        *error = "cannot write " + path + ": " + *error;
        return false;
    }
    return tools::WriteOutputFile(path, bytes, error);
}

}  // namespace drawkit
