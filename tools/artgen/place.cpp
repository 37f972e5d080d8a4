#include "place.h"

#include <algorithm>
#include <cstdlib>
#include <set>
#include <tuple>

#include "canvas.h"
#include "figure.h"
#include "placelayout.h"

namespace artgen {

using drawkit::ChildDesc;
using drawkit::FrameRef;
using drawkit::StateDesc;

std::string LevelStateId(int stage, int stock) {
    return "level" + std::to_string(stage) + "_capacity" + std::to_string(stock);
}

namespace {

constexpr int kOneFrameDelay = 1000;

// The frames of one drawing: a picture per frame of its motion, whether any has ink, its delay.
struct Drawn {
    std::vector<int> frames;  // indexes into the child's frames
    bool ink = false;
    int delay = kOneFrameDelay;
};

class PlaceBuilder {
public:
    PlaceBuilder(const Recipe& recipe, const drawkit::Style& style,
                 const std::map<std::string, Prop>& props, GroupArt* art)
        : mRecipe(recipe), mFigure(recipe, style, props), mArt(art) {}

    bool Run(std::string* error);

private:
    using Child = DrawnChild;

    bool Place(const Describe& d, std::string* error);
    // Draws the child's parts for the variant keys, a picture per frame of the motion.
    bool Draw(const Describe& d, const std::string& layer,
              const std::map<std::string, std::string>& vars, const std::string& motion,
              Child* child, Drawn* drawn, std::string* error);
    // The cells every picture of the stage covers (its level children's, all the stock
    // pictures, the fixed children's shown states').
    std::set<CellOffset> Covered(const std::vector<Child>& children, const PlaceSpec& spec,
                                 const std::vector<std::vector<Drawn>>& byStage) const;

    const Recipe& mRecipe;
    Figure mFigure;
    GroupArt* mArt;
};

bool PlaceBuilder::Draw(const Describe& d, const std::string& layer,
                        const std::map<std::string, std::string>& vars, const std::string& motion,
                        Child* child, Drawn* drawn, std::string* error) {
    const PlaceSpec& spec = d.place;
    const int w = spec.canvasW > 0 ? spec.canvasW : mRecipe.canvasW;
    const int h = spec.canvasH > 0 ? spec.canvasH : mRecipe.canvasH;
    const double ox = spec.originX >= 0 ? spec.originX : w / 2.0;
    const double oy = spec.originY >= 0 ? spec.originY : h - 40.0;
    Motion still;
    still.name = "still";
    const Motion* m = motion.empty() ? &still : mRecipe.FindMotion(motion);
    if (m == nullptr) {
        *error = mRecipe.file + ": no motion " + motion;
        return false;
    }
    Look look;
    look.vars = d.vars;
    for (const auto& [key, value] : vars)
        look.vars[key] = value;
    // A stage's picture may paint the cells the place covers at that stage.
    auto stage = vars.find("stage");
    if (stage != vars.end()) {
        const int at = std::atoi(stage->second.c_str());
        for (const LayoutGrid& grid : spec.grids) {
            if (at < grid.from || at > grid.to) continue;
            for (const LayoutCell& c : ReadGridCells(grid).cells)
                look.cells.emplace_back(c.x, c.y);
        }
    }
    drawn->frames.clear();
    drawn->ink = false;
    drawn->delay = m->frames == 1 ? kOneFrameDelay : m->delay;
    for (int f = 0; f < m->frames; ++f) {
        const Pose pose = mFigure.Evaluate(*m, f, "SE", 0);
        drawkit::Canvas canvas(w, h);
        // Recipes draw around the middle of the place's cell, wherever its position lies in it.
        cairo_translate(canvas.Cr(), ox + (10 - spec.cellX), oy + (10 - spec.cellY));
        if (!mFigure.DrawLayer(canvas.Cr(), layer, pose, look, error)) return false;
        int left = 0, top = 0;
        const drawkit::Image trimmed = drawkit::TrimToInk(canvas.ToImage(), 2, &left, &top);
        drawn->ink = drawn->ink || !drawkit::FindInk(trimmed).Empty();
        FrameRef frame;
        frame.picture = mArt->packer.Add(trimmed);
        frame.regX = int(ox) - left;
        frame.regY = int(oy) - top;
        drawn->frames.push_back(child->Frame(frame));
    }
    return true;
}

std::set<CellOffset> PlaceBuilder::Covered(const std::vector<Child>& children,
                                           const PlaceSpec& spec,
                                           const std::vector<std::vector<Drawn>>& byStage) const {
    std::set<CellOffset> covered;
    for (size_t c = 0; c < children.size(); ++c) {
        for (const Drawn& drawn : byStage[c]) {
            for (int f : drawn.frames) {
                const FrameRef& ref = children[c].desc.frames[size_t(f)];
                AddCoveredCells(mArt->packer.Picture(ref.picture), ref.regX, ref.regY, spec.cellX,
                                spec.cellY, &covered);
            }
        }
    }
    return covered;
}

bool PlaceBuilder::Place(const Describe& d, std::string* error) {
    const PlaceSpec& spec = d.place;
    const int stocks = std::max(1, spec.stock);
    drawkit::Description description;
    description.id = d.name;
    description.deltaZ = spec.deltaZ;
    description.hitTest = "alpha";
    std::vector<Child> children;
    // For each child and stage, what the stage shows of it.
    std::vector<std::vector<std::vector<Drawn>>> shown(static_cast<size_t>(spec.stages));
    std::vector<std::vector<int>> stageLooks(static_cast<size_t>(spec.stages));
    std::vector<std::vector<int>> stockLooks(static_cast<size_t>(stocks));
    for (const PlaceChild& pc : spec.children) {
        Child child;
        child.desc.id = pc.id;
        child.desc.hitTest = "alpha";
        mArt->packer.BeginBatch();
        if (pc.role == "level" || pc.role == "stock") {
            const bool level = pc.role == "level";
            child.desc.composite = true;
            const int count = level ? spec.stages : spec.stock;
            std::vector<Drawn> pictures(static_cast<size_t>(count));
            for (int k = 0; k < count; ++k) {
                if (!Draw(d, pc.id, {{level ? "stage" : "stock", std::to_string(k)}}, pc.motion,
                          &child, &pictures[size_t(k)], error))
                    return false;
                auto& looks = level ? stageLooks[size_t(k)] : stockLooks[size_t(k)];
                looks.insert(looks.end(), pictures[size_t(k)].frames.begin(),
                             pictures[size_t(k)].frames.end());
                looks.push_back(-1);
            }
            auto state = [&](const std::string& id, const Drawn& drawn) {
                child.desc.states.push_back({id, drawn.frames, drawn.delay, "", !drawn.ink});
            };
            state("normal", pictures[0]);
            for (int i = 0; i < spec.stages; ++i) {
                for (int j = 0; j < stocks; ++j)
                    state(LevelStateId(i, j), pictures[size_t(level ? i : j)]);
            }
            for (int i = 0; i < spec.stages; ++i) {
                if (level) {
                    shown[size_t(i)].push_back({pictures[size_t(i)]});
                } else {
                    shown[size_t(i)].push_back(pictures);
                }
            }
        } else {
            std::vector<Drawn> visible;
            for (const PlaceState& ps : pc.states) {
                Drawn drawn;
                if (ps.hidden) {
                    if (!Draw(d, "", {}, "", &child, &drawn, error)) return false;
                } else if (!Draw(d, pc.id, ps.vars, ps.motion, &child, &drawn, error)) {
                    return false;
                } else if (!drawn.ink) {
                    *error = pc.where.Where("the state " + ps.id + " draws nothing");
                    return false;
                }
                StateDesc state{ps.id, drawn.frames, drawn.delay, "", ps.hidden};
                if (ps.bobTime > 0)
                    state.effects.push_back({"DeltaMoveInterpolator", ps.bobTime, ps.bobKeys});
                child.desc.states.push_back(state);
                if (!ps.hidden) visible.push_back(drawn);
            }
            for (int i = 0; i < spec.stages; ++i)
                shown[size_t(i)].push_back(visible);
        }
        children.push_back(child);
        description.children.push_back(child.desc);
    }
    // Every stage and every stock picture the world can show looks different.
    for (size_t a = 0; a < stageLooks.size(); ++a) {
        for (size_t b = a + 1; b < stageLooks.size(); ++b) {
            if (stageLooks[a] == stageLooks[b]) {
                *error = mRecipe.file + ": " + d.name + " draws stages " + std::to_string(a) +
                         " and " + std::to_string(b) + " the same";
                return false;
            }
        }
    }
    for (size_t a = 0; spec.stock > 0 && a < stockLooks.size(); ++a) {
        for (size_t b = a + 1; b < stockLooks.size(); ++b) {
            if (stockLooks[a] == stockLooks[b]) {
                *error = mRecipe.file + ": " + d.name + " draws stock pictures " +
                         std::to_string(a) + " and " + std::to_string(b) + " the same";
                return false;
            }
        }
    }
    std::vector<StageLayout> levels(static_cast<size_t>(spec.stages));
    for (const LayoutGrid& grid : spec.grids) {
        for (int stage = grid.from; stage <= grid.to; ++stage) {
            StageLayout& level = levels[size_t(stage)];
            level = ReadGridCells(grid);
            // Work areas where workers come: a drop or a hover counts on what the player sees.
            if (!level.mounts.empty())
                level.workAreas =
                    WorkAreas(Covered(children, spec, shown[size_t(stage)]), level.cells);
        }
    }
    mArt->files.push_back(
        {"xml/" + d.name + ".layout", WriteLayout(spec.stages, spec.stock, levels), {}});
    mArt->descriptions.push_back(std::move(description));
    return true;
}

bool PlaceBuilder::Run(std::string* error) {
    for (const Describe& d : mRecipe.describes) {
        if (!Place(d, error)) return false;
    }
    return mArt->packer.Pack(error);
}

}  // namespace

bool BuildPlaces(const Recipe& recipe, const drawkit::Style& style,
                 const std::map<std::string, Prop>& props, GroupArt* art, std::string* error) {
    PlaceBuilder builder(recipe, style, props, art);
    return builder.Run(error);
}

}  // namespace artgen
