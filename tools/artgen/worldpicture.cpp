#include "worldpicture.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

#include "builtart.h"
#include "canvas.h"
#include "foundation/xml/xmlnode.h"
#include "inputfile.h"
#include "landscape.h"

namespace artgen {

namespace {

constexpr int kWorldWidth = 2400;
constexpr int kWorldHeight = 1800;

std::string Attr(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).c_str();
}

// The first element of an XML file, parsed into document; null when there is none.
const TXmlNode* ReadRoot(const std::string& path, TXmlNode* document, std::string* error) {
    std::string bytes;
    if (!tools::ReadInputFile(path, 16u << 20, &bytes, error)) return nullptr;
    document->ParseString(bytes.c_str(), bytes.size());
    if (document->GetChildren().empty()) {
        *error = path + ": no element";
        return nullptr;
    }
    return document->GetChildren().front();
}

struct Placed {
    double depth = 0;
    size_t order = 0;
    BuiltArt::Layer layer;
    double x = 0, y = 0;  // the sprite's position
};

// The sheet as a cairo surface (premultiplied), made once.
cairo_surface_t* SurfaceOf(const drawkit::Image* sheet,
                           std::map<const drawkit::Image*, cairo_surface_t*>* surfaces) {
    cairo_surface_t*& s = (*surfaces)[sheet];
    if (s != nullptr) return s;
    s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, sheet->width, sheet->height);
    uint8_t* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < sheet->height; ++y) {
        uint32_t* row = reinterpret_cast<uint32_t*>(data + size_t(y) * size_t(stride));
        for (int x = 0; x < sheet->width; ++x) {
            const uint8_t* p = sheet->At(x, y);
            const uint32_t a = p[3];
            row[x] = a << 24 | ((p[0] * a + 127) / 255) << 16 | ((p[1] * a + 127) / 255) << 8 |
                     ((p[2] * a + 127) / 255);
        }
    }
    cairo_surface_mark_dirty(s);
    return s;
}

}  // namespace

bool DrawWorldPicture(const std::string& gameFolder, const std::string& logicFolder, double scale,
                      drawkit::Image* out, std::string* error) {
    // Full names to animators, from the location definitions.
    std::map<std::string, std::string> animators;
    for (const auto& entry : std::filesystem::directory_iterator(logicFolder)) {
        if (entry.path().extension() != ".xml") continue;
        TXmlNode document;
        std::string ignored;
        const TXmlNode* root = ReadRoot(entry.path().string(), &document, &ignored);
        if (root == nullptr || std::string(root->GetName().c_str()) != "Location") continue;
        if (const TXmlNode* animator = root->FindChild("Animator"))
            animators[Attr(root, "FullName")] = Attr(animator, "Name");
    }
    TXmlNode mainDocument;
    const TXmlNode* main = ReadRoot(logicFolder + "/main.xml", &mainDocument, error);
    const TXmlNode* world = main == nullptr ? nullptr : main->FindChild("World");
    const TXmlNode* locations = world == nullptr ? nullptr : world->FindChild("Locations");
    if (locations == nullptr) {
        if (error->empty()) *error = logicFolder + "/main.xml: no World/Locations";
        return false;
    }

    BuiltArt art(gameFolder);
    std::vector<Placed> placed;
    std::vector<BuiltArt::Layer> layers;
    if (!art.Layers("level1", "normal", &layers, error)) return false;
    for (const BuiltArt::Layer& l : layers)
        placed.push_back({l.depth, placed.size(), l, 0, 0});
    for (const TXmlNode* location : locations->GetChildren()) {
        auto animator = animators.find(Attr(location, "Name"));
        if (animator == animators.end()) continue;
        const double x = std::atof(Attr(location, "PosX").c_str());
        const double y = std::atof(Attr(location, "PosY").c_str());
        std::string state = "level0_capacity0";
        if (Attr(location, "Name") == "Ark") {
            // Finished: the last level picture its layout counts.
            TXmlNode layoutDocument;
            const TXmlNode* layout = ReadRoot(gameFolder + "/xml/" + animator->second + ".layout",
                                              &layoutDocument, error);
            if (layout == nullptr) return false;
            const int levels = std::max(1, std::atoi(Attr(layout, "PerLevelImagesCount").c_str()));
            state = "level" + std::to_string(levels - 1) + "_capacity0";
        }
        if (!art.Layers(animator->second, state, &layers, error)) return false;
        for (const BuiltArt::Layer& l : layers)
            placed.push_back({y * 10 + x * 0.004 + l.depth, placed.size(), l, x, y});
    }
    std::stable_sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return a.depth != b.depth ? a.depth < b.depth : a.order < b.order;
    });

    drawkit::Canvas canvas(int(std::lround(kWorldWidth * scale)),
                           int(std::lround(kWorldHeight * scale)));
    cairo_t* cr = canvas.Cr();
    cairo_scale(cr, scale, scale);
    std::map<const drawkit::Image*, cairo_surface_t*> surfaces;
    for (const Placed& p : placed) {
        const BuiltArt::Layer& l = p.layer;
        cairo_save(cr);
        cairo_translate(cr, p.x + l.left, p.y + l.top);
        // A tile's margin holds its neighbours' pixels: drawn whole, tiles meet without a seam.
        if (l.depth != kTileDeltaZ) {
            cairo_rectangle(cr, 0, 0, l.w, l.h);
            cairo_clip(cr);
        }
        if (l.flip) {
            cairo_translate(cr, l.w, 0);
            cairo_scale(cr, -1, 1);
        }
        cairo_set_source_surface(cr, SurfaceOf(l.sheet, &surfaces), -l.x, -l.y);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_restore(cr);
    }
    for (auto& [sheet, surface] : surfaces)
        cairo_surface_destroy(surface);
    *out = canvas.ToImage();
    return true;
}

}  // namespace artgen
