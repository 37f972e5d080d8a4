#include "recipe.h"

#include <cmath>
#include <set>

#include "placerecipe.h"
#include "recipeparse.h"

namespace artgen {

using drawkit::Statement;
using namespace recipeparse;

const Joint* Recipe::FindJoint(const std::string& name) const {
    for (const Joint& j : joints) {
        if (j.name == name) return &j;
    }
    return nullptr;
}

const Part* Recipe::FindPart(const std::string& name) const {
    for (const Part& p : parts) {
        if (p.name == name) return &p;
    }
    return nullptr;
}

const DecorationKind* Recipe::FindDecoration(const std::string& name) const {
    for (const DecorationKind& d : decorations) {
        if (d.name == name) return &d;
    }
    return nullptr;
}

const Motion* Recipe::FindMotion(const std::string& name) const {
    auto it = motions.find(name);
    return it == motions.end() ? nullptr : &it->second;
}

namespace {

Shape ReadShape(const Statement& s) {
    Shape shape;
    shape.where = s;
    shape.kind = s.words[0];
    std::vector<std::string> plain = s.Plain();
    std::vector<std::string> rest;
    for (size_t i = 1; i < plain.size(); ++i) {
        if (plain[i] == "flat") {
            shape.shaded = false;
        } else if (plain[i] == "nooutline") {
            shape.outlined = false;
        } else {
            rest.push_back(plain[i]);
        }
    }
    static const std::set<std::string> kOptions = {"view",  "rot",    "alpha",
                                                   "width", "repeat", "jitter"};
    for (const auto& [key, value] : Options(s)) {
        if (kOptions.count(key) == 0) Fail(s, "a shape takes no option " + key);
    }
    shape.view = s.Option("view");
    if (!shape.view.empty() && shape.view != "SE" && shape.view != "NE")
        Fail(s, "view is SE or NE");
    if (s.HasOption("rot")) shape.rotate = Number(s, s.Option("rot"), "rot");
    if (s.HasOption("alpha")) shape.alpha = Number(s, s.Option("alpha"), "alpha");
    if (s.HasOption("width")) shape.width = Number(s, s.Option("width"), "width");
    if (s.HasOption("repeat")) {
        const std::string text = s.Option("repeat");
        const size_t comma = text.find(',');
        if (comma == std::string::npos) Fail(s, "repeat is N,dx,dy");
        shape.repeat = Whole(s, text.substr(0, comma), "repeat", 1, 200);
        Pair(s, text.substr(comma + 1), "repeat", &shape.repeatX, &shape.repeatY);
    }
    if (s.HasOption("jitter")) shape.jitter = Number(s, s.Option("jitter"), "jitter");

    static const std::map<std::string, size_t> kNumbers = {
        {"ellipse", 4}, {"box", 5},     {"eye", 3},   {"mouth", 3}, {"grin", 3},   {"brow", 3},
        {"spots", 6},   {"stripes", 6}, {"cloud", 5}, {"rock", 4},  {"shadow", 4}, {"cells", 1}};
    const bool coloured = shape.kind != "eye" && shape.kind != "mouth" && shape.kind != "grin" &&
                          shape.kind != "brow";
    size_t first = 0;
    if (coloured) {
        if (rest.empty()) Fail(s, shape.kind + " needs a ramp");
        shape.ramp = rest[0];
        first = 1;
    }
    if (shape.kind == "path") {
        for (size_t i = first; i < rest.size(); ++i)
            shape.pathWords.push_back(rest[i]);
        // Check the path's words: two numbers, then c with six or l with two, z last.
        size_t i = 0;
        auto need = [&](size_t n) {
            for (size_t k = 0; k < n; ++k) {
                if (i >= shape.pathWords.size()) Fail(s, "the path ends early");
                Number(s, shape.pathWords[i++], "a path point");
            }
        };
        need(2);
        while (i < shape.pathWords.size()) {
            const std::string& w = shape.pathWords[i++];
            if (w == "c") {
                need(6);
            } else if (w == "l") {
                need(2);
            } else if (w == "z" && i == shape.pathWords.size()) {
            } else {
                Fail(s, "a path is x y, then c with six numbers or l with two, z last");
            }
        }
        return shape;
    }
    auto it = kNumbers.find(shape.kind);
    if (it == kNumbers.end()) Fail(s, "unknown shape " + shape.kind);
    if (rest.size() - first != it->second)
        Fail(s, shape.kind + " takes " + std::to_string(it->second) + " numbers");
    for (size_t i = first; i < rest.size(); ++i)
        shape.numbers.push_back(Number(s, rest[i], shape.kind.c_str()));
    return shape;
}

bool IsShapeVerb(const std::string& verb) {
    static const std::set<std::string> kVerbs = {"ellipse", "box",    "path",  "eye",     "mouth",
                                                 "grin",    "brow",   "spots", "stripes", "cloud",
                                                 "rock",    "shadow", "cells"};
    return kVerbs.count(verb) != 0;
}

// Reads a motion block from s (its "motion" statement) up to "end"; answers the index after it.
size_t ReadMotion(const std::vector<Statement>& all, size_t i, Motion* motion) {
    const Statement& s = all[i];
    const std::vector<std::string> plain = s.Plain();
    if (plain.size() < 2) Fail(s, "motion NAME frames=N delay=MS");
    motion->name = plain[1];
    motion->frames = Whole(s, s.Option("frames", "1"), "frames", 1, 64);
    motion->delay = Whole(s, s.Option("delay", "100"), "delay", 10, 5000);
    for (size_t k = 2; k < plain.size(); ++k) {
        if (plain[k] == "pair") {
            motion->pair = true;
        } else {
            Fail(s, "unknown word " + plain[k]);
        }
    }
    if (s.HasOption("extra")) {
        motion->extra = s.Option("extra");
        Pair(s, s.Option("at", "0,0"), "at", &motion->extraX, &motion->extraY);
    }
    for (++i; i < all.size(); ++i) {
        const Statement& k = all[i];
        if (k.words[0] == "end") return i + 1;
        if (k.words[0] == "key") {
            const std::vector<std::string> words = k.Plain();
            if (words.size() < 4) Fail(k, "key JOINT CHANNEL VALUE...");
            Channel c;
            c.joint = words[1];
            c.what = words[2];
            static const std::set<std::string> kChannels = {"rot", "dx",    "dy",   "sx",
                                                            "sy",  "swing", "alpha"};
            if (kChannels.count(c.what) == 0) Fail(k, "unknown channel " + c.what);
            for (size_t w = 3; w < words.size(); ++w)
                c.keys.push_back(Number(k, words[w], "a key"));
            c.lag = Whole(k, k.Option("lag", "0"), "lag", 0, 8);
            motion->channels.push_back(c);
        } else if (k.words[0] == "face") {
            static const std::set<std::string> kFaces = {
                "open",  "blink", "sleep",      "happy",       "angry", "left",
                "right", "think", "glanceleft", "glanceright", "shout"};
            for (size_t w = 1; w < k.words.size(); ++w) {
                if (kFaces.count(k.words[w]) == 0) Fail(k, "unknown face " + k.words[w]);
                motion->faces.push_back(k.words[w]);
            }
            if (motion->faces.size() != 1 && motion->faces.size() != size_t(motion->frames))
                Fail(k, "a face for every frame, or one for all");
        } else {
            Fail(k, "a motion holds key and face lines, and ends with end");
        }
    }
    Fail(s, "the motion has no end");
}

// Reads the shapes of a part or prop up to "end"; answers the index after it.
size_t ReadShapes(const std::vector<Statement>& all, size_t i, std::vector<Shape>* shapes) {
    const Statement& open = all[i];
    for (++i; i < all.size(); ++i) {
        const Statement& s = all[i];
        if (s.words[0] == "end") return i + 1;
        if (!IsShapeVerb(s.words[0])) Fail(s, "unknown shape " + s.words[0]);
        shapes->push_back(ReadShape(s));
    }
    Fail(open, "no end");
}

}  // namespace

bool ReadMotions(const std::string& path, std::map<std::string, Motion>* motions,
                 std::string* error) {
    std::vector<Statement> all;
    if (!drawkit::ReadRecipeFile(path, false, &all, error)) return false;
    return Guard(error, [&] {
        for (size_t i = 0; i < all.size();) {
            if (all[i].words[0] != "motion") Fail(all[i], "motions.txt holds motions only");
            Motion m;
            i = ReadMotion(all, i, &m);
            (*motions)[m.name] = m;
        }
    });
}

bool ReadProps(const std::string& path, std::map<std::string, Prop>* props, std::string* error) {
    std::vector<Statement> all;
    if (!drawkit::ReadRecipeFile(path, false, &all, error)) return false;
    return Guard(error, [&] {
        for (size_t i = 0; i < all.size();) {
            const Statement& s = all[i];
            if (s.words[0] != "prop" || s.Plain().size() != 2) Fail(s, "prop NAME grip=x,y");
            Prop p;
            p.name = s.words[1];
            Pair(s, s.Option("grip", "0,0"), "grip", &p.gripX, &p.gripY);
            i = ReadShapes(all, i, &p.shapes);
            if (!props->emplace(p.name, p).second) Fail(s, "a second prop " + p.name);
        }
    });
}

bool ReadRecipe(const std::string& path, const std::map<std::string, Motion>& sharedMotions,
                Recipe* recipe, std::string* error) {
    std::vector<Statement> all;
    if (!drawkit::ReadRecipeFile(path, false, &all, error)) return false;
    recipe->file = path;
    recipe->motions = sharedMotions;
    return Guard(error, [&] {
        for (size_t i = 0; i < all.size();) {
            const Statement& s = all[i];
            const std::string& verb = s.words[0];
            const std::vector<std::string> plain = s.Plain();
            if (verb == "motion") {
                Motion m;
                i = ReadMotion(all, i, &m);
                recipe->motions[m.name] = m;
                continue;
            }
            if (verb == "describe" && recipe->kind == "place") {
                Describe d;
                i = ReadPlaceDescribe(all, i, &d);
                for (const Describe& other : recipe->describes) {
                    if (other.name == d.name) Fail(s, "a second describe " + d.name);
                }
                recipe->describes.push_back(d);
                continue;
            }
            if (verb == "part") {
                Part p;
                p.where = s;
                if (plain.size() < 2) Fail(s, "part NAME layer=L joint=J");
                p.name = plain[1];
                p.layer = s.Option("layer", "body");
                p.joint = s.Option("joint", "root");
                p.z = Number(s, s.Option("z", "0"), "z");
                if (s.HasOption("nez")) {
                    p.neZ = Number(s, s.Option("nez"), "nez");
                    p.hasNeZ = true;
                }
                p.view = s.Option("view");
                if (s.HasOption("levels")) {
                    const std::string levels = s.Option("levels");
                    const size_t dash = levels.find('-');
                    p.levelFrom = Whole(s, levels.substr(0, dash), "levels", 1, 9);
                    p.levelTo = dash == std::string::npos
                                    ? p.levelFrom
                                    : Whole(s, levels.substr(dash + 1), "levels", 1, 9);
                }
                p.grow = Number(s, s.Option("grow", "0"), "grow");
                if (s.HasOption("anchor"))
                    Pair(s, s.Option("anchor"), "anchor", &p.anchorX, &p.anchorY);
                p.clip = s.Option("clip");
                if (s.HasOption("when")) {
                    std::string when = s.Option("when");
                    size_t start = 0;
                    while (start <= when.size()) {
                        size_t comma = when.find(',', start);
                        if (comma == std::string::npos) comma = when.size();
                        const std::string term = when.substr(start, comma - start);
                        const size_t colon = term.find(':');
                        if (colon == std::string::npos) Fail(s, "when is key:value[,key:value]");
                        p.when.emplace_back(term.substr(0, colon), term.substr(colon + 1));
                        start = comma + 1;
                    }
                }
                i = ReadShapes(all, i, &p.shapes);
                if (recipe->FindPart(p.name) != nullptr) Fail(s, "a second part " + p.name);
                recipe->parts.push_back(p);
                continue;
            }
            ++i;
            if (verb == "group" && plain.size() == 2) {
                recipe->group = plain[1];
            } else if (verb == "kind" && plain.size() == 2) {
                recipe->kind = plain[1];
                if (recipe->kind != "creature" && recipe->kind != "monster" &&
                    recipe->kind != "grave" && recipe->kind != "mover" && recipe->kind != "place" &&
                    recipe->kind != "landscape")
                    Fail(s, "kind is creature, monster, grave, mover, place or landscape");
                if (!recipe->describes.empty()) Fail(s, "the kind comes before the describes");
            } else if (verb == "sheets" && plain.size() == 2) {
                recipe->sheets = Whole(s, plain[1], "sheets", 1, 64);
                recipe->sheetsStatement = s;
            } else if (verb == "canvas" && plain.size() == 3) {
                recipe->canvasW = Whole(s, plain[1], "canvas", 16, 1024);
                recipe->canvasH = Whole(s, plain[2], "canvas", 16, 1024);
            } else if (verb == "size" && plain.size() == 3) {
                recipe->width = Whole(s, plain[1], "size", 4, 1024);
                recipe->height = Whole(s, plain[2], "size", 4, 1024);
            } else if (verb == "trade" && plain.size() == 2) {
                recipe->trade = plain[1];
            } else if (verb == "describe" && plain.size() == 2) {
                Describe d;
                d.name = plain[1];
                d.vars = Options(s);
                d.logic = s.Option("logic");
                d.level = Whole(s, s.Option("level", "1"), "level", 1, 9);
                d.scaling = Number(s, s.Option("scaling", "1"), "scaling");
                recipe->describes.push_back(d);
            } else if (verb == "joint" && plain.size() >= 2) {
                Joint j;
                j.name = plain[1];
                j.parent = s.Option("parent");
                Pair(s, s.Option("pivot", "0,0"), "pivot", &j.pivotX, &j.pivotY);
                j.length = Number(s, s.Option("length", "0"), "length");
                for (size_t k = 2; k < plain.size(); ++k) {
                    if (plain[k] != "rigid") Fail(s, "unknown word " + plain[k]);
                    j.rigid = true;
                }
                if (!j.parent.empty() && recipe->FindJoint(j.parent) == nullptr)
                    Fail(s, "the parent joint " + j.parent + " comes later or not at all");
                recipe->joints.push_back(j);
            } else if (verb == "layer" && plain.size() == 2) {
                const std::string rides = s.Option("rides");
                if (rides != "head" && rides != "body") Fail(s, "a layer rides=head or rides=body");
                recipe->layers.push_back(LevelLayer{plain[1], rides});
            } else if (verb == "bodyvariant" && plain.size() == 1) {
                recipe->bodyVariants.push_back(Options(s));
            } else if (verb == "headvariant" && plain.size() == 1) {
                recipe->headVariants.push_back(Options(s));
            } else if ((verb == "hand" || verb == "back") && plain.size() == 1) {
                Attachment a;
                a.joint = s.Option("joint", "root");
                Pair(s, s.Option("at", "0,0"), "at", &a.x, &a.y);
                (verb == "hand" ? recipe->hand : recipe->back) = a;
            } else if (verb == "map" && plain.size() == 2) {
                recipe->map = plain[1];
            } else if (verb == "legend" && (plain.size() == 4 || plain.size() == 5)) {
                LegendEntry e;
                e.where = s;
                if (plain[1].size() != 1) Fail(s, "a legend's symbol is one character");
                e.symbol = plain[1][0];
                if (!GroundFromName(plain[2], &e.ground)) Fail(s, "no ground " + plain[2]);
                e.walk = Whole(s, plain[3], "the walk value", 0, 255);
                if (plain.size() == 5) e.decoration = plain[4];
                for (const LegendEntry& other : recipe->legend) {
                    if (other.symbol == e.symbol) Fail(s, "a second legend for " + plain[1]);
                }
                recipe->legend.push_back(e);
            } else if (verb == "decoration" && plain.size() >= 2) {
                DecorationKind d;
                d.where = s;
                d.name = plain[1];
                d.variants = Whole(s, s.Option("variants", "1"), "variants", 1, 16);
                d.motion = s.Option("motion");
                for (size_t k = 2; k < plain.size(); ++k) {
                    if (plain[k] != "flat") Fail(s, "unknown word " + plain[k]);
                    d.flat = true;
                }
                if (recipe->FindDecoration(d.name) != nullptr)
                    Fail(s, "a second decoration " + d.name);
                recipe->decorations.push_back(d);
            } else if (verb == "state" && plain.size() >= 2) {
                ExtraState e{plain[1], s.Option("motion"), false};
                for (size_t k = 2; k < plain.size(); ++k) {
                    if (plain[k] != "headhidden") Fail(s, "unknown word " + plain[k]);
                    e.headHidden = true;
                }
                recipe->extraStates.push_back(e);
            } else {
                Fail(s, "unknown or malformed statement " + verb);
            }
        }
        if (recipe->group.empty()) throw Fault{path + ": no group statement"};
        if (recipe->kind.empty()) throw Fault{path + ": no kind statement"};
        if (recipe->describes.empty()) throw Fault{path + ": no describe statement"};
        if (recipe->bodyVariants.empty()) recipe->bodyVariants.emplace_back();
        if (recipe->headVariants.empty()) recipe->headVariants.emplace_back();
        const bool places = recipe->kind == "place" || recipe->kind == "landscape";
        // Places and the landscape's decorations stand still but for the joints they animate.
        if (places && recipe->FindJoint("root") == nullptr)
            recipe->joints.insert(recipe->joints.begin(), Joint{"root", "", 0, 0, 0, false});
        for (const Part& p : recipe->parts) {
            if (recipe->FindJoint(p.joint) == nullptr) Fail(p.where, "no joint " + p.joint);
            if (!p.clip.empty() && recipe->FindPart(p.clip) == nullptr)
                Fail(p.where, "no part " + p.clip + " to clip to");
            bool known = !places && (p.layer == "body" || p.layer == "head");
            for (const LevelLayer& l : recipe->layers)
                known = known || l.name == p.layer;
            for (const Describe& d : recipe->describes) {
                for (const PlaceChild& c : d.place.children)
                    known = known || c.id == p.layer;
            }
            known = known || recipe->FindDecoration(p.layer) != nullptr;
            if (!known) Fail(p.where, "no layer " + p.layer);
        }
        for (const LegendEntry& e : recipe->legend) {
            if (!e.decoration.empty() && recipe->FindDecoration(e.decoration) == nullptr)
                Fail(e.where, "no decoration " + e.decoration);
        }
        for (const DecorationKind& d : recipe->decorations) {
            if (!d.motion.empty() && recipe->FindMotion(d.motion) == nullptr)
                Fail(d.where, "no motion " + d.motion);
        }
        if (recipe->kind == "landscape" && (recipe->map.empty() || recipe->legend.empty()))
            throw Fault{path + ": a landscape needs a map and its legend"};
        for (const Describe& d : recipe->describes) {
            for (const PlaceChild& c : d.place.children) {
                if (!c.motion.empty() && recipe->FindMotion(c.motion) == nullptr)
                    Fail(c.where, "no motion " + c.motion);
                for (const PlaceState& state : c.states) {
                    if (!state.motion.empty() && recipe->FindMotion(state.motion) == nullptr)
                        Fail(c.where, "the state " + state.id + " names no motion " + state.motion);
                }
            }
        }
        for (const ExtraState& e : recipe->extraStates) {
            if (recipe->FindMotion(e.motion) == nullptr)
                throw Fault{path + ": the state " + e.id + " names no motion " + e.motion};
        }
    });
}

}  // namespace artgen
