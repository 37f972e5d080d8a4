#include "build.h"

#include <cmath>
#include <functional>
#include <memory>

#include "canvas.h"
#include "figure.h"
#include "foundation/xml/xmlnode.h"
#include "inputfile.h"
#include "landscape.h"
#include "place.h"
#include "seeded.h"

namespace artgen {

using drawkit::ChildDesc;
using drawkit::Description;
using drawkit::FrameRef;
using drawkit::StateDesc;

std::string VariantName(const std::string& base, int index) {
    if (index == 0) return base;
    if (index <= 8) return base + std::to_string(index + 1);
    return base + "0";
}

int DrawnChild::Frame(const FrameRef& f) {
    auto key = std::make_tuple(f.picture, f.regX, f.regY);
    auto it = frames.find(key);
    if (it != frames.end()) return it->second;
    desc.frames.push_back(f);
    return frames[key] = int(desc.frames.size()) - 1;
}

bool ReadDefinition(const std::string& path, Definition* definition, std::string* error) {
    std::string bytes;
    if (!tools::ReadInputFile(path, 1u << 20, &bytes, error)) return false;
    TXmlNode document;
    document.ParseString(bytes.c_str(), bytes.size());
    const TXmlNode* root =
        document.GetChildren().empty() ? nullptr : document.GetChildren().front();
    const TXmlNode* animator = root == nullptr ? nullptr : root->FindChild("Animator");
    if (animator == nullptr) {
        *error = path + ": no Animator in the definition";
        return false;
    }
    definition->animator = animator->GetAttribute("Name").c_str();
    definition->speed = std::atof(animator->GetAttribute("Speed").c_str());
    definition->heads = std::atoi(animator->GetAttribute("MaxHeadAnimatorsNum").c_str());
    definition->bodies = std::atoi(animator->GetAttribute("MaxBodyAnimatorsNum").c_str());
    if (const TXmlNode* hit = root->FindChild("HitRect")) {
        definition->dx = std::atoi(hit->GetAttribute("dx").c_str());
        definition->dy = std::atoi(hit->GetAttribute("dy").c_str());
        definition->w = std::atoi(hit->GetAttribute("w").c_str());
        definition->h = std::atoi(hit->GetAttribute("h").c_str());
    }
    if (definition->animator.empty() || definition->heads < 0 || definition->heads > 10 ||
        definition->bodies < 0 || definition->bodies > 10 || !(definition->speed > 0)) {
        *error =
            path + ": the Animator needs a Name, a Speed above 0 and variant counts of 0 to 10";
        return false;
    }
    return true;
}

namespace {

// One state of a child, as the contract asks for it.
struct Spec {
    Spec(std::string id_, std::string motion_, std::string view_ = "SE", bool flip_ = false,
         bool hidden_ = false, std::string next_ = "", int turn_ = 0)
        : id(std::move(id_)),
          motion(std::move(motion_)),
          view(std::move(view_)),
          flip(flip_),
          hidden(hidden_),
          next(std::move(next_)),
          turn(turn_) {}

    std::string id;
    std::string motion;  // empty for a hidden state without a motion
    std::string view;
    bool flip = false;
    bool hidden = false;
    std::string next;
    int turn = 0;  // -1 head turned left, +1 right (two frames over the motion's first pose)
};

constexpr int kOneFrameDelay = 1000;
constexpr int kTurnDelay = 350;
// Tools in the hand are drawn a little under their own size: the figure grows with its level,
// and what it holds stays within reach of the hit rectangle the data gives it.
constexpr double kToolScale = 0.8;

// The figure's states, direction by direction: NW and SW are NE and SE mirrored.
std::vector<Spec> Directions(const std::string& activity, const std::string& motion) {
    return {{activity + "_NE", motion, "NE"},
            {activity + "_SE", motion, "SE"},
            {activity + "_NW", motion, "NE", true},
            {activity + "_SW", motion, "SE", true}};
}

void Append(std::vector<Spec>* to, const std::vector<Spec>& more) {
    to->insert(to->end(), more.begin(), more.end());
}

// The head turns: left and right cross over in the mirrored directions.
std::vector<Spec> Turns() {
    std::vector<Spec> turns;
    for (const char* view : {"NE", "SE"}) {
        const std::string v = view;
        const std::string mirror = v == "NE" ? "NW" : "SW";
        turns.push_back({"stay_" + v + "_headLeft", "stay", v, false, false, "stay_" + v, -1});
        turns.push_back({"stay_" + v + "_headRight", "stay", v, false, false, "stay_" + v, 1});
        turns.push_back(
            {"stay_" + mirror + "_headLeft", "stay", v, true, false, "stay_" + mirror, 1});
        turns.push_back(
            {"stay_" + mirror + "_headRight", "stay", v, true, false, "stay_" + mirror, -1});
    }
    return turns;
}

class Builder {
public:
    Builder(const Recipe& recipe, const drawkit::Style& style,
            const std::map<std::string, Prop>& props, const std::string& logicFolder, GroupArt* art)
        : mRecipe(recipe),
          mStyle(style),
          mFigure(recipe, style, props),
          mLogic(logicFolder),
          mArt(art) {}

    bool Run(std::string* error);

private:
    using Draw = std::function<bool(cairo_t*, const Pose&, std::string*)>;

    struct Child : DrawnChild {
        std::map<std::string, std::vector<int>> rendered;
    };

    // Draws one picture around the feet and adds it to the packer.
    bool Picture(const std::function<bool(cairo_t*, std::string*)>& draw, FrameRef* frame,
                 std::string* error) {
        drawkit::Canvas canvas(mRecipe.canvasW, mRecipe.canvasH);
        const int ox = mRecipe.canvasW / 2, oy = mRecipe.canvasH - 24;
        cairo_translate(canvas.Cr(), ox, oy);
        if (!draw(canvas.Cr(), error)) return false;
        int left = 0, top = 0;
        const drawkit::Image trimmed = drawkit::TrimToInk(canvas.ToImage(), 2, &left, &top);
        frame->picture = mArt->packer.Add(trimmed);
        frame->regX = ox - left;
        frame->regY = oy - top;
        return true;
    }

    double Stride(const Motion& m) const { return mSpeed * m.frames * m.delay / 30.0; }

    // Adds the states to the child, drawing each frame of their motions with draw.
    bool States(Child* child, const std::vector<Spec>& specs, const Draw& draw,
                std::string* error) {
        for (const Spec& spec : specs) {
            StateDesc state;
            state.id = spec.id;
            state.flipH = spec.flip;
            state.next = spec.next;
            if (spec.hidden) {
                // Hidden, yet as long as the body's state of the same id, frame for frame.
                const Motion* m = spec.motion.empty() ? nullptr : mRecipe.FindMotion(spec.motion);
                state.hidden = true;
                state.frames.assign(m == nullptr ? 1 : size_t(m->frames), 0);
                state.delay = m == nullptr || m->frames == 1 ? kOneFrameDelay : m->delay;
                child->desc.states.push_back(state);
                continue;
            }
            const Motion* motion = mRecipe.FindMotion(spec.motion);
            if (motion == nullptr) {
                *error = mRecipe.file + ": no motion " + spec.motion;
                return false;
            }
            const std::string key = spec.motion + "/" + spec.view + "/" + std::to_string(spec.turn);
            auto done = child->rendered.find(key);
            if (done == child->rendered.end()) {
                std::vector<int> frames;
                const int count = spec.turn != 0 ? 2 : motion->frames;
                for (int f = 0; f < count; ++f) {
                    Pose pose = mFigure.Evaluate(*motion, spec.turn != 0 ? 0 : f, spec.view,
                                                 Stride(*motion));
                    if (spec.turn != 0) {
                        pose.face = f == 0 ? (spec.turn < 0 ? "glanceleft" : "glanceright")
                                           : (spec.turn < 0 ? "left" : "right");
                    }
                    FrameRef frame;
                    if (!Picture([&](cairo_t* cr, std::string* e) { return draw(cr, pose, e); },
                                 &frame, error))
                        return false;
                    frames.push_back(child->Frame(frame));
                }
                done = child->rendered.emplace(key, frames).first;
            }
            state.frames = done->second;
            state.delay = spec.turn != 0             ? kTurnDelay
                          : state.frames.size() == 1 ? kOneFrameDelay
                                                     : motion->delay;
            child->desc.states.push_back(state);
        }
        return true;
    }

    std::vector<Spec> BodySpecs() const;
    std::vector<Spec> HeadSpecs() const;
    // Specs for the children that follow the body (items, loads, layers on the body).
    std::vector<Spec> FollowerSpecs(bool ofHead) const;

    // A creature or a monster (a monster takes its sizes from the recipe).
    bool Creature(const Describe& d, const Definition& def, Description* out, std::string* error);
    bool Grave(const Describe& d, Description* out, std::string* error);
    bool Mover(const Describe& d, Description* out, std::string* error);

    bool Shadow(int width, ChildDesc* out, std::string* error);
    bool Mark(int width, bool grave, ChildDesc* out, std::string* error);
    bool Disease(int top, ChildDesc* out, std::string* error);
    bool Icon(int top, ChildDesc* out, std::string* error);
    bool Effects(int width, ChildDesc* out, std::string* error);
    bool Layer(const std::string& layer, const std::vector<Spec>& specs, const Look& look,
               const std::string& id, ChildDesc* out, std::string* error);
    bool Item(const std::string& prop, bool load, ChildDesc* out, std::string* error);

    const Recipe& mRecipe;
    const drawkit::Style& mStyle;
    Figure mFigure;
    std::string mLogic;
    GroupArt* mArt;
    double mSpeed = 2.0;
    // Children drawn once and shared by the group's descriptions (bodies, heads, items).
    std::map<std::string, ChildDesc> mShared;
};

std::vector<Spec> Builder::BodySpecs() const {
    std::vector<Spec> specs;
    specs.push_back({"normal", "stay", "SE"});
    Append(&specs, Directions("stay", "stay"));
    Append(&specs, Directions("walk", "walk"));
    const bool monster = mRecipe.kind == "monster";
    specs.push_back({"work", monster ? "pillage" : "work", "SE"});
    specs.push_back({"workM", monster ? "pillage" : "work", "SE", true});
    if (!monster) {
        specs.push_back({"flakeOut", "flakeOut", "SE"});
        specs.push_back({"think", "think", "SE"});
        specs.push_back({"celebrate", "celebrate", "SE"});
    }
    specs.push_back({"fight", "fight", "SE"});
    for (const ExtraState& e : mRecipe.extraStates)
        specs.push_back({e.id, e.motion, "SE"});
    specs.push_back({"hidden", "", "SE", false, true});
    return specs;
}

std::vector<Spec> Builder::HeadSpecs() const {
    std::vector<Spec> specs;
    for (Spec s : BodySpecs()) {
        for (const ExtraState& e : mRecipe.extraStates) {
            if (e.id == s.id && e.headHidden) s.hidden = true;
        }
        specs.push_back(s);
    }
    Append(&specs, Turns());
    if (mRecipe.kind == "creature") {
        specs.push_back({"flakeOut_headLeft", "flakeOut", "SE", false, false, "flakeOut", -1});
        specs.push_back({"flakeOut_headRight", "flakeOut", "SE", false, false, "flakeOut", 1});
    }
    return specs;
}

std::vector<Spec> Builder::FollowerSpecs(bool ofHead) const {
    std::vector<Spec> specs = ofHead ? HeadSpecs() : BodySpecs();
    for (Spec& s : specs) {
        for (const ExtraState& e : mRecipe.extraStates) {
            if (e.id == s.id && e.headHidden) s.hidden = true;
        }
    }
    return specs;
}

bool Builder::Layer(const std::string& layer, const std::vector<Spec>& specs, const Look& look,
                    const std::string& id, ChildDesc* out, std::string* error) {
    Child child;
    child.desc.id = id;
    child.desc.composite = true;
    mArt->packer.BeginBatch();
    const bool ok = States(
        &child, specs,
        [&](cairo_t* cr, const Pose& pose, std::string* e) {
            return mFigure.DrawLayer(cr, layer, pose, look, e);
        },
        error);
    *out = child.desc;
    return ok;
}

bool Builder::Item(const std::string& prop, bool load, ChildDesc* out, std::string* error) {
    auto cached = mShared.find("item:" + prop);
    if (cached != mShared.end()) {
        *out = cached->second;
        return true;
    }
    Child child;
    child.desc.id = prop;
    mArt->packer.BeginBatch();
    const Attachment& at = load ? mRecipe.back : mRecipe.hand;
    const bool ok = States(
        &child, FollowerSpecs(false),
        [&](cairo_t* cr, const Pose& pose, std::string* e) {
            double x, y;
            mFigure.Carry(pose, at.joint, at.x, at.y, &x, &y);
            return mFigure.DrawProp(cr, prop, std::round(x), std::round(y), load ? 0 : pose.toolRot,
                                    load ? 1.0 : kToolScale, e);
        },
        error);
    if (!ok) return false;
    mShared["item:" + prop] = child.desc;
    *out = child.desc;
    return true;
}

bool Builder::Shadow(int width, ChildDesc* out, std::string* error) {
    const drawkit::Ramp* ramp = mStyle.Find("shadow");
    if (ramp == nullptr) {
        *error = "the style has no ramp shadow";
        return false;
    }
    mArt->packer.BeginBatch();
    Child child;
    child.desc.id = "shadow";
    FrameRef f;
    Picture(
        [&](cairo_t* cr, std::string*) {
            drawkit::SoftShadow(cr, *ramp, 0, 0, width * 0.95, width * 0.34, 0.42);
            return true;
        },
        &f, error);
    const int frame = child.Frame(f);
    // "hidden" too: a figure the world hides leaves no shadow behind (the world sends
    // "shadow_normal" before it shows the figure again).
    child.desc.states = {{"normal", {frame}, kOneFrameDelay},
                         {"shadow_normal", {frame}, kOneFrameDelay},
                         {"shadow_hidden", {frame}, kOneFrameDelay, "", true},
                         {"hidden", {frame}, kOneFrameDelay, "", true}};
    *out = child.desc;
    out->composite = true;
    return true;
}

bool Builder::Mark(int width, bool grave, ChildDesc* out, std::string* error) {
    const drawkit::Ramp* ramp = mStyle.Find("mark");
    if (ramp == nullptr) {
        *error = "the style has no ramp mark";
        return false;
    }
    mArt->packer.BeginBatch();
    Child child;
    child.desc.id = "mark";
    FrameRef f;
    Picture(
        [&](cairo_t* cr, std::string*) {
            drawkit::StrokeShape(
                cr, mStyle, *ramp,
                [&](cairo_t* c) { drawkit::AddEllipse(c, 0, 0, width * 1.05, width * 0.4); }, 3.0);
            return true;
        },
        &f, error);
    const int frame = child.Frame(f);
    StateDesc shown{"mark_normal", {frame}, kOneFrameDelay};
    shown.effects.push_back({"ScaleInterpolator", 900, "1 1.12 1"});
    child.desc.states = {{"normal", {frame}, kOneFrameDelay, "", true},
                         shown,
                         {"mark_hidden", {frame}, kOneFrameDelay, "", true}};
    if (grave) {
        child.desc.states.push_back({"disappear", {frame}, kOneFrameDelay, "", true});
    } else {
        // A hidden figure shows no selection ("mark_normal" comes again when it is shown).
        child.desc.states.push_back({"hidden", {frame}, kOneFrameDelay, "", true});
    }
    *out = child.desc;
    return true;
}

bool Builder::Disease(int top, ChildDesc* out, std::string* error) {
    mArt->packer.BeginBatch();
    Child child;
    child.desc.id = "disease";
    child.desc.states.push_back({"normal", {}, kOneFrameDelay, "", true});
    child.desc.states.push_back({"None", {}, kOneFrameDelay, "", true});
    for (const char* name : {"Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"}) {
        std::string prop = "disease_" + std::string(name);
        for (char& c : prop)
            c = char(std::tolower(c));
        StateDesc state{name, {}, 300};
        for (int f = 0; f < 4; ++f) {
            FrameRef frame;
            const double wobble = std::sin(f * M_PI / 2) * 9;
            const double bob = std::cos(f * M_PI / 2) * 1.5;
            if (!Picture(
                    [&](cairo_t* cr, std::string* e) {
                        return mFigure.DrawProp(cr, prop, 0, -top - 12 + bob, wobble, 1.0, e);
                    },
                    &frame, error))
                return false;
            state.frames.push_back(child.Frame(frame));
        }
        child.desc.states.push_back(state);
    }
    for (StateDesc& s : child.desc.states) {
        if (s.frames.empty()) s.frames = {0};
    }
    *out = child.desc;
    return true;
}

bool Builder::Icon(int top, ChildDesc* out, std::string* error) {
    mArt->packer.BeginBatch();
    Child child;
    child.desc.id = "icon";
    child.desc.states.push_back({"normal", {0}, kOneFrameDelay, "", true});
    child.desc.states.push_back({"icon_null", {0}, kOneFrameDelay, "", true});
    for (const auto& [id, prop] : std::vector<std::pair<std::string, std::string>>{
             {"icon_lb", "bulb"}, {"icon_lbn", "bulb_no"}, {"icon_qm", "question"}}) {
        FrameRef frame;
        if (!Picture(
                [&, p = prop](cairo_t* cr, std::string* e) {
                    return mFigure.DrawProp(cr, p, 6, -top - 16, 0, 1.0, e);
                },
                &frame, error))
            return false;
        StateDesc state{id, {child.Frame(frame)}, kOneFrameDelay};
        state.effects.push_back({"DeltaMoveInterpolator", 1000, "0 0 0 -5 0 0"});
        child.desc.states.push_back(state);
    }
    *out = child.desc;
    return true;
}

bool Builder::Effects(int width, ChildDesc* out, std::string* error) {
    mArt->packer.BeginBatch();
    Child child;
    child.desc.id = "effects";
    for (const char* id : {"normal", "all_work_effects_off", "pillage_effects_off"})
        child.desc.states.push_back({id, {0}, kOneFrameDelay, "", true});
    struct Kind {
        const char* name;
        const char* ramp;
        const char* shape;
    };
    const Kind kinds[] = {{"dust", "dust", "puff"},
                          {"chips", "chips", "chip"},
                          {"splinters", "wood", "splinter"},
                          {"splashes", "splash", "drop"},
                          {"pillage", "pillage", "spark"}};
    const double baseX = width / 2.0 + 6;
    for (const Kind& k : kinds) {
        const drawkit::Ramp* ramp = mStyle.Find(k.ramp);
        const drawkit::Ramp* dust = mStyle.Find("dust");
        if (ramp == nullptr || dust == nullptr) {
            *error = std::string("the style has no ramp ") + k.ramp;
            return false;
        }
        drawkit::Seeded random(std::string("effect:") + k.name);
        const uint64_t seedOf = random.Next();
        std::vector<drawkit::Point> seeds = drawkit::PoissonDisc(random, 20, 12, 4, 60);
        std::vector<double> speeds;
        for (size_t i = 0; i < seeds.size(); ++i)
            speeds.push_back(random.Uniform(0.6, 1.4));
        StateDesc right{std::string(k.name) + "_on_right", {}, 90};
        for (int f = 0; f < 4; ++f) {
            FrameRef frame;
            if (!Picture(
                    [&](cairo_t* cr, std::string*) {
                        const double t = (f + 1) / 4.0;
                        for (size_t i = 0; i < seeds.size(); ++i) {
                            const double px = baseX + (seeds[i].x - 4) * t * speeds[i] * 1.4;
                            const double py = -4 - seeds[i].y * t * speeds[i] * 1.6 + t * t * 6;
                            const double grain =
                                drawkit::ValueNoise(seedOf, seeds[i].x * 0.3, f * 0.7);
                            const double size =
                                std::max(1.5, (k.shape == std::string("puff") ? 7 : 4) *
                                                  (1.1 - t * 0.5) * (0.85 + 0.3 * grain));
                            const double alpha = 1.0 - t * 0.55;
                            drawkit::FillLook look{true, true, alpha};
                            const std::string shape = k.shape;
                            drawkit::FillShape(
                                cr, mStyle, shape == "spark" && i % 2 ? *dust : *ramp,
                                [&](cairo_t* c) {
                                    cairo_save(c);
                                    cairo_translate(c, px, py);
                                    cairo_rotate(c, (seeds[i].x * 37 + f * 40) * M_PI / 180);
                                    if (shape == "splinter") {
                                        drawkit::AddRoundBox(c, 0, 0, size * 2.2, size * 0.7, 0.5);
                                    } else if (shape == "chip") {
                                        drawkit::AddRoundBox(c, 0, 0, size * 1.2, size, 0.8);
                                    } else if (shape == "drop") {
                                        drawkit::AddEllipse(c, 0, 0, size * 0.9, size * 1.3);
                                    } else {
                                        drawkit::AddEllipse(c, 0, 0, size * 1.3, size);
                                    }
                                    cairo_restore(c);
                                },
                                look);
                        }
                        return true;
                    },
                    &frame, error))
                return false;
            right.frames.push_back(child.Frame(frame));
        }
        StateDesc left = right;
        left.id = std::string(k.name) + "_on_left";
        left.flipH = true;
        child.desc.states.push_back(right);
        child.desc.states.push_back(left);
    }
    // Standing, walking, resting, thinking, celebrating, fighting and hiding end the work's
    // effects: no other key switches a monster's pillage off.
    std::vector<std::string> quiet;
    for (const char* activity : {"stay", "walk"}) {
        for (const char* dir : {"NE", "SE", "NW", "SW"})
            quiet.push_back(std::string(activity) + "_" + dir);
    }
    for (const char* id : {"flakeOut", "think", "celebrate", "fight", "hidden"})
        quiet.push_back(id);
    for (const std::string& id : quiet)
        child.desc.states.push_back({id, {0}, kOneFrameDelay, "", true});
    *out = child.desc;
    return true;
}

bool Builder::Creature(const Describe& d, const Definition& def, Description* out,
                       std::string* error) {
    const bool monster = mRecipe.kind == "monster";
    const int width = monster ? mRecipe.width : def.w;
    const int top = monster ? mRecipe.height : def.dy;
    ChildDesc c;
    if (!Shadow(width, &c, error)) return false;
    out->children.push_back(c);
    if (!Mark(width, false, &c, error)) return false;
    out->children.push_back(c);

    const int bodies = std::max(1, monster ? 1 : def.bodies);
    const int heads = std::max(1, monster ? 1 : def.heads);
    if (int(mRecipe.bodyVariants.size()) != bodies || int(mRecipe.headVariants.size()) != heads) {
        *error = mRecipe.file + ": " + d.name + " has " + std::to_string(bodies) + " bodies and " +
                 std::to_string(heads) + " heads in its definition, the recipe " +
                 std::to_string(mRecipe.bodyVariants.size()) + " and " +
                 std::to_string(mRecipe.headVariants.size());
        return false;
    }
    const std::string hit = monster ? "alpha" : "none";
    for (const char* base : {"body", "head"}) {
        const bool isHead = std::string(base) == "head";
        const int count = isHead ? heads : bodies;
        for (int i = 0; i < count; ++i) {
            const std::string name = VariantName(base, i);
            auto cached = mShared.find(name);
            if (cached == mShared.end()) {
                Look look;
                look.vars = d.vars;
                const auto& variant =
                    isHead ? mRecipe.headVariants[size_t(i)] : mRecipe.bodyVariants[size_t(i)];
                for (const auto& kv : variant)
                    look.vars[kv.first] = kv.second;
                // The breeding pair is drawn by the body with a head of its own.
                Look headLook = look;
                for (const auto& kv : mRecipe.headVariants[size_t(i) % mRecipe.headVariants.size()])
                    headLook.vars[kv.first] = kv.second;
                Child child;
                child.desc.id = name;
                child.desc.hitTest = hit;
                child.desc.composite = i == 0;
                mArt->packer.BeginBatch();
                std::vector<Spec> specs = isHead ? HeadSpecs() : BodySpecs();
                if (!States(
                        &child, specs,
                        [&](cairo_t* cr, const Pose& pose, std::string* e) {
                            if (isHead) return mFigure.DrawLayer(cr, "head", pose, look, e);
                            if (pose.pair) {
                                // The partner (its own view hidden meanwhile) faces this one.
                                cairo_save(cr);
                                cairo_translate(cr, width * 0.95, 0);
                                cairo_scale(cr, -1, 1);
                                const bool partner =
                                    mFigure.DrawLayer(cr, "body", pose, look, e) &&
                                    mFigure.DrawLayer(cr, "head", pose, headLook, e);
                                cairo_restore(cr);
                                if (!partner || !mFigure.DrawLayer(cr, "body", pose, look, e) ||
                                    !mFigure.DrawLayer(cr, "head", pose, headLook, e))
                                    return false;
                            } else if (!mFigure.DrawLayer(cr, "body", pose, look, e)) {
                                return false;
                            }
                            if (pose.extra.empty()) return true;
                            return mFigure.DrawProp(cr, pose.extra, pose.extraX,
                                                    pose.extraY + pose.extraDy, 0, 1.0, e);
                        },
                        error))
                    return false;
                cached = mShared.emplace(name, child.desc).first;
            }
            ChildDesc desc = cached->second;
            desc.hitTest = hit;
            out->children.push_back(desc);
        }
    }
    Look look;
    look.level = d.level;
    look.vars = d.vars;
    for (const auto& kv : mRecipe.bodyVariants[0])
        look.vars[kv.first] = kv.second;
    for (const auto& kv : mRecipe.headVariants[0])
        look.vars[kv.first] = kv.second;
    for (const LevelLayer& layer : mRecipe.layers) {
        if (!mFigure.LayerHasParts(layer.name, look)) continue;
        if (!Layer(layer.name, FollowerSpecs(layer.rides == "head"), look, layer.name, &c, error))
            return false;
        c.hitTest = "none";
        out->children.push_back(c);
    }
    if (!monster) {
        for (const char* item :
             {"stick", "shovel", "hammer", "tomahawk", "fertilizer", "nail", "food", "water",
              "rock", "stone_2", "woods", "s-shovel", "s-hammer", "s-tomahawk"}) {
            if (!Item(item, false, &c, error)) return false;
            out->children.push_back(c);
        }
        for (const char* load : {"smallberries", "roots", "yayaflowers"}) {
            if (!Item(load, true, &c, error)) return false;
            out->children.push_back(c);
        }
        if (!Disease(top, &c, error)) return false;
        out->children.push_back(c);
        if (!Icon(top, &c, error)) return false;
        out->children.push_back(c);
    }
    if (!Effects(width, &c, error)) return false;
    out->children.push_back(c);
    return true;
}

bool Builder::Grave(const Describe&, Description* out, std::string* error) {
    ChildDesc c;
    if (!Mark(mRecipe.width, true, &c, error)) return false;
    out->children.push_back(c);
    Child body;
    body.desc.id = "body";
    body.desc.composite = true;
    mArt->packer.BeginBatch();
    Look look;
    auto draw = [&](cairo_t* cr, const Pose& pose, std::string* e) {
        return mFigure.DrawLayer(cr, "body", pose, look, e);
    };
    if (!States(&body, {{"normal", "sway", "SE"}}, draw, error)) return false;
    if (!States(&body, {{"disappear", "disappear", "SE", false, false, "hidden"}}, draw, error))
        return false;
    body.desc.states.push_back({"hidden", {0}, kOneFrameDelay, "", true});
    out->children.push_back(body.desc);
    return true;
}

bool Builder::Mover(const Describe& d, Description* out, std::string* error) {
    ChildDesc c;
    if (!Shadow(mRecipe.width, &c, error)) return false;
    out->children.push_back(c);
    Child body;
    body.desc.id = "body";
    body.desc.hitTest = "alpha";
    body.desc.composite = true;
    mArt->packer.BeginBatch();
    Look look;
    look.vars = d.vars;
    std::vector<Spec> specs{{"normal", "still", "SE"}};
    Append(&specs, Directions("stay", "still"));
    Append(&specs, Directions("walk", "still"));
    if (!States(
            &body, specs,
            [&](cairo_t* cr, const Pose& pose, std::string* e) {
                return mFigure.DrawLayer(cr, "body", pose, look, e);
            },
            error))
        return false;
    for (StateDesc& s : body.desc.states) {
        if (s.id.compare(0, 5, "walk_") == 0)
            s.effects.push_back({"DeltaMoveInterpolator", 480, "0 0 0 -3 0 0 0 -2 0 0"});
    }
    out->children.push_back(body.desc);
    return true;
}

bool Builder::Run(std::string* error) {
    for (const Describe& d : mRecipe.describes) {
        Description description;
        description.id = d.name;
        description.scaling = d.scaling;
        bool ok = false;
        if (mRecipe.kind == "creature") {
            Definition def;
            if (d.logic.empty()) {
                *error = mRecipe.file + ": " + d.name + " names no definition (logic=)";
                return false;
            }
            if (!ReadDefinition(mLogic + "/" + d.logic, &def, error)) return false;
            if (def.animator != d.name) {
                *error =
                    mRecipe.file + ": " + d.logic + " animates " + def.animator + ", not " + d.name;
                return false;
            }
            if (def.w <= 0 || def.h <= 0) {
                *error = mLogic + "/" + d.logic + ": no hit rectangle";
                return false;
            }
            if (&d == &mRecipe.describes.front()) mSpeed = def.speed;
            ok = Creature(d, def, &description, error);
        } else if (mRecipe.kind == "monster") {
            if (!d.logic.empty()) {
                Definition def;
                std::string ignored;
                if (ReadDefinition(mLogic + "/" + d.logic, &def, &ignored)) mSpeed = def.speed;
            }
            ok = Creature(d, Definition(), &description, error);
        } else if (mRecipe.kind == "grave") {
            ok = Grave(d, &description, error);
        } else {
            ok = Mover(d, &description, error);
        }
        if (!ok) return false;
        mArt->descriptions.push_back(std::move(description));
    }
    return mArt->packer.Pack(error);
}

}  // namespace

bool BuildGroup(const Recipe& recipe, const drawkit::Style& style,
                const std::map<std::string, Prop>& props, const std::string& logicFolder,
                GroupArt* art, std::string* error) {
    if (recipe.kind == "place") return BuildPlaces(recipe, style, props, art, error);
    if (recipe.kind == "landscape") return BuildLandscape(recipe, style, props, art, error);
    Builder builder(recipe, style, props, logicFolder, art);
    return builder.Run(error);
}

}  // namespace artgen
