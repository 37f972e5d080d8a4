#include "landscape.h"

#include <cstdio>
#include <cstring>
#include <filesystem>

#include "canvas.h"
#include "figure.h"
#include "groundpaint.h"
#include "islandmap.h"
#include "seeded.h"

namespace artgen {

using drawkit::ChildDesc;
using drawkit::FrameRef;

std::string RecipeFolder(const Recipe& recipe) {
    return std::filesystem::path(recipe.file).parent_path().string();
}

namespace {

constexpr int kOneFrameDelay = 1000;
constexpr int kColumnsOfTiles = GroundMask::kWidth / kTileWidth;
constexpr int kRowsOfTiles = GroundMask::kHeight / kTileHeight;

std::string TileName(int index) {
    char name[16];
    std::snprintf(name, sizeof name, "tile%02d", index);
    return name;
}

// The tile at (column, row) of tiles, its surface's margin filled from the world beyond it (the
// world's last pixels repeated past its edge).
drawkit::Image Tile(const drawkit::Image& world, int column, int row) {
    drawkit::Image tile(kTileSurface, kTileSurface);
    for (int y = 0; y < kTileSurface; ++y) {
        const int wy = std::min(row * kTileHeight + y, world.height - 1);
        for (int x = 0; x < kTileSurface; ++x) {
            const int wx = std::min(column * kTileWidth + x, world.width - 1);
            std::memcpy(tile.At(x, y), world.At(wx, wy), 4);
        }
    }
    return tile;
}

std::string TileChild(int index, int column, int row) {
    const std::string name = TileName(index);
    return "    <obj id=\"" + name + "\" deltaX=\"" + std::to_string(column * kTileWidth) +
           "\" deltaY=\"" + std::to_string(row * kTileHeight) + "\" deltaZ=\"" +
           drawkit::FormatNumber(kTileDeltaZ) + "\">\n      <images><img name=\"level1/" + name +
           ".png\"/></images>\n      <framelist centering=\"left\">\n        <frame img=\"0\" "
           "x=\"0\" y=\"0\" w=\"" +
           std::to_string(kTileWidth) + "\" h=\"" + std::to_string(kTileHeight) +
           "\" regx=\"0\" regy=\"0\"/>\n      </framelist>\n      <states>\n        <state "
           "id=\"normal\" framelist=\"0\" defdelay=\"1000\"/>\n      </states>\n    </obj>\n";
}

// The pictures of one variant of a decoration: a frame per frame of its motion.
bool DrawVariant(const Recipe& recipe, const Figure& figure, const DecorationKind& kind,
                 int variant, drawkit::Packer* packer, std::vector<FrameRef>* frames, int* delay,
                 std::string* error) {
    Motion still;
    still.name = "still";
    const Motion* motion = kind.motion.empty() ? &still : recipe.FindMotion(kind.motion);
    *delay = motion->frames == 1 ? kOneFrameDelay : motion->delay;
    Look look;
    look.vars["variant"] = std::to_string(variant);
    const int w = recipe.canvasW, h = recipe.canvasH;
    const int ox = w / 2, oy = h - 40;
    bool ink = false;
    for (int f = 0; f < motion->frames; ++f) {
        const Pose pose = figure.Evaluate(*motion, f, "SE", 0);
        drawkit::Canvas canvas(w, h);
        cairo_translate(canvas.Cr(), ox, oy);
        if (!figure.DrawLayer(canvas.Cr(), kind.name, pose, look, error)) return false;
        int left = 0, top = 0;
        const drawkit::Image picture = drawkit::TrimToInk(canvas.ToImage(), 2, &left, &top);
        ink = ink || !drawkit::FindInk(picture).Empty();
        frames->push_back(FrameRef{packer->Add(picture), ox - left, oy - top});
    }
    if (!ink) {
        *error = kind.where.Where("variant " + std::to_string(variant) + " of " + kind.name +
                                  " draws nothing");
        return false;
    }
    return true;
}

}  // namespace

bool BuildLandscape(const Recipe& recipe, const drawkit::Style& style,
                    const std::map<std::string, Prop>& props, GroupArt* art, std::string* error) {
    IslandMap map;
    if (!map.Read(RecipeFolder(recipe) + "/" + recipe.map, recipe.legend, error)) return false;
    if (recipe.describes.size() != 1) {
        *error = recipe.file + ": a landscape describes one level";
        return false;
    }
    const std::string& level = recipe.describes.front().name;

    // The ground, cut into tiles.
    const GroundMask mask(map);
    drawkit::Canvas canvas(GroundMask::kWidth, GroundMask::kHeight);
    if (!PaintGround(mask, style, &canvas, error)) return false;
    const drawkit::Image world = canvas.ToImage();
    std::string tiles;
    for (int row = 0; row < kRowsOfTiles; ++row) {
        for (int column = 0; column < kColumnsOfTiles; ++column) {
            const int index = row * kColumnsOfTiles + column;
            art->files.push_back({"anim/" + recipe.group + "/" + TileName(index) + ".png", "",
                                  Tile(world, column, row)});
            tiles += TileChild(index, column, row);
        }
    }
    art->firstChildren[level] = tiles;
    art->files.push_back({"xml/" + level + ".layout", map.CellFile(), {}});

    // The decorations: each variant drawn once, each placement a child showing its variant.
    Figure figure(recipe, style, props);
    std::map<std::pair<std::string, int>, std::vector<FrameRef>> variants;
    std::map<std::string, int> delays, counts;
    drawkit::Description description;
    description.id = level;
    for (const Placement& p : map.Decorations()) {
        const DecorationKind* kind = recipe.FindDecoration(p.kind);
        drawkit::Seeded random("decoration:" + std::to_string(p.column) + "," +
                               std::to_string(p.row));
        const int variant = int(random.Next() % uint64_t(kind->variants));
        auto drawn = variants.find({p.kind, variant});
        if (drawn == variants.end()) {
            art->packer.BeginBatch();
            std::vector<FrameRef> frames;
            if (!DrawVariant(recipe, figure, *kind, variant, &art->packer, &frames, &delays[p.kind],
                             error))
                return false;
            drawn = variants.emplace(std::make_pair(p.kind, variant), frames).first;
        }
        ChildDesc child;
        child.id = p.kind + std::to_string(counts[p.kind]++);
        child.frames = drawn->second;
        std::vector<int> order;
        for (size_t f = 0; f < child.frames.size(); ++f)
            order.push_back(int(f));
        child.states.push_back({"normal", order, delays[p.kind]});
        child.x = p.column * IslandMap::kCell + IslandMap::kCell / 2;
        child.y = p.row * IslandMap::kCell + IslandMap::kCell / 2;
        child.z = kind->flat ? kFlatDecorationDeltaZ : child.y * 10 + child.x * 0.004;
        description.children.push_back(std::move(child));
    }
    art->descriptions.push_back(std::move(description));
    return art->packer.Pack(error);
}

}  // namespace artgen
