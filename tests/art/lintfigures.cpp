// The figures against the creature views' contract, written from what the world and its views
// send, not from the recipes: for creatures, hyenas, the grave and the movers, the children the
// views look up and the state ids the world's keys name (every activity in four directions, the
// head turns, the items and loads, the disease marks and icons, the work effects), which of them
// hide the child, mirrored directions, the child order the drawing relies on, body and head in
// step wherever both play a state, and the generator's conventions (frame lists centred "left",
// a still state held 1000 ms, children shown in the description, no depth of their own).
#include <algorithm>

#include "lintcontext.h"

namespace artlint {
namespace {

using testing_support::CastFigure;
using testing_support::CastKind;

std::string VariantName(const std::string& base, int index) {
    if (index == 0) return base;
    return index <= 8 ? base + std::to_string(index + 1) : base + "0";
}

Ids Directions(const std::string& activity) {
    return {activity + "_NE", activity + "_SE", activity + "_NW", activity + "_SW"};
}

Ids operator+(Ids a, const Ids& b) {
    a.insert(b.begin(), b.end());
    return a;
}

// The carried items in the order the creature view numbers them.
const std::vector<std::string> kItemOrder = {
    "stick", "shovel", "hammer",  "tomahawk", "fertilizer", "nail",     "food",
    "water", "rock",   "stone_2", "woods",    "s-shovel",   "s-hammer", "s-tomahawk"};
const Ids kLoads = {"smallberries", "roots", "yayaflowers"};
const Ids kTurns = {"stay_NE_headLeft",  "stay_NE_headRight", "stay_SE_headLeft",
                    "stay_SE_headRight", "stay_NW_headLeft",  "stay_NW_headRight",
                    "stay_SW_headLeft",  "stay_SW_headRight"};
const Ids kEffects = {"dust", "chips", "splinters", "splashes", "pillage"};
// Keys the views send that no drawing answers: they must change nothing.
const Ids kUnanswered = {"walk_NE_headLeft", "work_SE", "forage", "gather_water"};

class FigureCheck {
public:
    FigureCheck(Context& c, const CastFigure& figure, const Description& d)
        : mContext(c), mFigure(figure), mDescription(d) {}

    void Run();

private:
    void Report(const std::string& child, const std::string& state, const std::string& message) {
        mContext.Report("figure", mFigure.name, child, state, message);
    }
    const Object* Get(const std::string& id) {
        const Object* object = mDescription.Child(id);
        if (object == nullptr && mMissing.insert(id).second)
            Report(id, "", "the views look up a child \"" + id + "\" it does not have");
        return object;
    }
    // The child has every state of want; with exactly, no other.
    void ExpectStates(const std::string& id, const Ids& want, bool exactly = false) {
        const Object* c = Get(id);
        if (c == nullptr) return;
        for (const std::string& s : want)
            if (!c->Has(s)) Report(id, s, "lacks a state the views show");
        if (!exactly) return;
        for (const auto& [s, node] : c->states)
            if (!want.count(s)) Report(id, s, "has a state the views never show");
    }
    void ExpectHidden(const std::string& id, const Ids& states, bool hidden = true) {
        const Object* c = Get(id);
        if (c == nullptr) return;
        for (const std::string& s : states) {
            if (c->Has(s) && c->Hidden(s) != hidden)
                Report(id, s,
                       hidden ? "shows the child where it must hide it"
                              : "hides the child where it must show it");
        }
    }
    // The state shows the same frames as the other, flipped.
    void ExpectMirror(const std::string& id, const std::string& state, const std::string& of) {
        const Object* c = Get(id);
        if (c == nullptr || !c->Has(state) || !c->Has(of)) return;
        if (Attr(c->states.at(state), "flip") != "H" || c->Frames(state) != c->Frames(of))
            Report(id, state, "is not " + of + " mirrored");
    }
    void ExpectOrder(const std::vector<std::string>& ids) {
        int last = -1;
        for (const std::string& id : ids) {
            auto at = std::find(mDescription.order.begin(), mDescription.order.end(), id);
            if (at == mDescription.order.end()) continue;
            const int index = int(at - mDescription.order.begin());
            if (index <= last) Report(id, "", "drawn out of order");
            last = index;
        }
    }
    // Two children play a state in step: as many frames at the same delay.
    void ExpectInStep(const std::string& id, const std::string& with) {
        const Object* a = Get(id);
        const Object* b = Get(with);
        if (a == nullptr || b == nullptr) return;
        for (const auto& [s, node] : b->states) {
            if (!a->Has(s)) continue;
            if (a->Frames(s).size() != b->Frames(s).size() ||
                Attr(a->states.at(s), "defdelay") != Attr(node, "defdelay"))
                Report(id, s, "out of step with " + with);
        }
    }

    void CheckConventions();
    void CheckGrave();
    void CheckMover();
    void CheckAnimal();

    Context& mContext;
    const CastFigure& mFigure;
    const Description& mDescription;
    std::set<std::string> mMissing;
};

void FigureCheck::Run() {
    CheckConventions();
    switch (mFigure.kind) {
        case CastKind::kGrave:
            CheckGrave();
            break;
        case CastKind::kMover:
            CheckMover();
            break;
        default:
            CheckAnimal();
            break;
    }
}

void FigureCheck::CheckConventions() {
    for (const auto& [id, c] : mDescription.children) {
        if (id.empty()) Report(id, "", "a child without an id");
        if (c.frameCount == 0) Report(id, "", "a child without frames");
        if (const TXmlNode* frames = c.node->FindChild("framelist")) {
            if (Attr(frames, "centering") != "left")
                Report(id, "", "a frame list not centred \"left\"");
        }
        if (!Attr(c.node, "deltaZ").empty())
            Report(id, "", "a child with a depth of its own (the view gives the depth)");
        // The views show and hide children through their own block.
        if (Attr(c.node, "visible") == "0") Report(id, "", "hidden in the description");
        for (const auto& [s, node] : c.states) {
            if (c.Frames(s).size() == 1 && Attr(node, "defdelay") != "1000")
                Report(id, s, "a still state not held 1000 ms");
        }
        for (const std::string& key : kUnanswered)
            if (c.Has(key)) Report(id, key, "answers a key no drawing may answer");
    }
}

void FigureCheck::CheckGrave() {
    ExpectStates("body", {"normal", "disappear", "hidden"}, true);
    if (const Object* body = Get("body")) {
        if (body->Frames("disappear").size() != 8)
            Report("body", "disappear", "the fade is not 8 frames");
        if (body->Next("disappear") != "hidden")
            Report("body", "disappear", "does not end in \"hidden\"");
    }
    ExpectHidden("body", {"hidden"});
    ExpectHidden("body", {"normal", "disappear"}, false);
    ExpectStates("mark", {"normal", "mark_normal", "mark_hidden", "disappear"}, true);
    ExpectHidden("mark", {"normal", "mark_hidden", "disappear"});
    // The idle timer keeps sending "stay" and "walk" keys: a grave answering one would cut its
    // fade.
    for (const auto& [id, c] : mDescription.children) {
        for (const auto& [s, node] : c.states) {
            if (s.rfind("stay", 0) == 0 || s.rfind("walk", 0) == 0)
                Report(id, s, "a grave answers the idle keys and would cut its fade");
        }
    }
}

void FigureCheck::CheckMover() {
    ExpectStates("body", Directions("stay") + Directions("walk") + Ids{"normal"});
    if (const Object* body = Get("body")) {
        if (Attr(body->node, "hit_test") != "alpha")
            Report("body", "", "a mover is picked by its drawn body (hit_test \"alpha\")");
        for (const std::string& walk : Directions("walk")) {
            if (body->Has(walk) &&
                body->states.at(walk)->FindChild("DeltaMoveInterpolator") == nullptr)
                Report("body", walk, "a mover's walk without its bob");
        }
    }
    Get("shadow");
    ExpectMirror("body", "stay_NW", "stay_NE");
    ExpectMirror("body", "walk_SW", "walk_SE");
}

void FigureCheck::CheckAnimal() {
    const bool creature = mFigure.kind == CastKind::kCreature;
    const bool monster = mFigure.kind == CastKind::kMonster;
    const Ids activities = Directions("stay") + Directions("walk") +
                           Ids{"work", "workM", "fight", "hidden", "normal"} +
                           (creature ? Ids{"flakeOut", "think", "celebrate"} : Ids{});
    // A hidden figure leaves neither its shadow nor its selection behind.
    ExpectStates("shadow", {"normal", "shadow_normal", "shadow_hidden", "hidden"});
    ExpectHidden("shadow", {"shadow_hidden", "hidden"});
    ExpectHidden("shadow", {"normal", "shadow_normal"}, false);
    ExpectStates("mark", {"normal", "mark_normal", "mark_hidden", "hidden"});
    ExpectHidden("mark", {"normal", "mark_hidden", "hidden"});
    ExpectHidden("mark", {"mark_normal"}, false);

    Ids bodyIds = activities;
    if (mFigure.species == "Puff") bodyIds.insert("breed");
    if (mFigure.species == "Gorilla") bodyIds.insert("chop_woods");
    std::vector<std::string> order{"shadow", "mark"};
    for (int i = 0; i < mFigure.bodies; ++i) {
        const std::string body = VariantName("body", i);
        order.push_back(body);
        ExpectStates(body, bodyIds);
        if (const Object* c = Get(body)) {
            for (const std::string& turn : kTurns)
                if (c->Has(turn)) Report(body, turn, "a body turns its head");
            if (c->Frames("normal") != c->Frames("stay_SE"))
                Report(body, "normal", "not the picture of \"stay_SE\"");
            if (Attr(c->node, "hit_test") != (monster ? "alpha" : "none"))
                Report(body, "",
                       monster ? "a hyena is picked by its drawn body"
                               : "a creature is picked by its hit rectangle only");
        }
        ExpectHidden(body, {"hidden"});
        ExpectMirror(body, "stay_NW", "stay_NE");
        ExpectMirror(body, "stay_SW", "stay_SE");
        ExpectMirror(body, "walk_NW", "walk_NE");
        ExpectMirror(body, "walk_SW", "walk_SE");
        ExpectMirror(body, "workM", "work");
    }
    if (mFigure.bodies < 10 && mDescription.Child(VariantName("body", mFigure.bodies)))
        Report(VariantName("body", mFigure.bodies), "", "a body variant the data never shows");

    Ids headIds = activities + kTurns;
    if (creature) headIds = headIds + Ids{"flakeOut_headLeft", "flakeOut_headRight"};
    for (int i = 0; i < mFigure.heads; ++i) {
        const std::string head = VariantName("head", i);
        order.push_back(head);
        ExpectStates(head, headIds);
        if (const Object* c = Get(head)) {
            if (Attr(c->node, "hit_test") != (monster ? "alpha" : "none"))
                Report(head, "",
                       monster ? "a hyena is picked by its drawn head"
                               : "a creature is picked by its hit rectangle only");
            for (const auto& [turn, base] :
                 std::map<std::string, std::string>{{"stay_NE_headLeft", "stay_NE"},
                                                    {"stay_SW_headRight", "stay_SW"},
                                                    {"flakeOut_headLeft", "flakeOut"},
                                                    {"flakeOut_headRight", "flakeOut"}}) {
                if (!c->Has(turn)) continue;
                if (c->Frames(turn).size() != 2) Report(head, turn, "a head turn not 2 frames");
                if (c->Next(turn) != base) Report(head, turn, "a head turn not back to " + base);
            }
        }
        // Left and right cross over in the mirrored directions.
        ExpectMirror(head, "stay_NW_headLeft", "stay_NE_headRight");
        ExpectMirror(head, "stay_SW_headRight", "stay_SE_headLeft");
        // Body and head run timers of their own: in step wherever both play a state.
        ExpectInStep(head, VariantName("body", i % mFigure.bodies));
    }
    if (mFigure.heads < 10 && mDescription.Child(VariantName("head", mFigure.heads)))
        Report(VariantName("head", mFigure.heads), "", "a head variant the data never shows");

    std::string effects;
    for (const auto& [id, c] : mDescription.children)
        if (c.Has("all_work_effects_off")) effects = id;
    if (effects.empty()) {
        Report("", "all_work_effects_off", "no work-effect child");
    } else {
        Ids effectIds{"normal", "all_work_effects_off", "pillage_effects_off"};
        const Ids quiet = Directions("stay") + Directions("walk") +
                          Ids{"flakeOut", "think", "celebrate", "fight", "hidden"};
        for (const std::string& e : kEffects) {
            effectIds.insert(e + "_on_right");
            effectIds.insert(e + "_on_left");
            ExpectMirror(effects, e + "_on_left", e + "_on_right");
            ExpectHidden(effects, {e + "_on_right", e + "_on_left"}, false);
        }
        // A change to standing or walking ends every effect.
        ExpectStates(effects, effectIds + quiet, true);
        ExpectHidden(effects, quiet + Ids{"normal", "all_work_effects_off", "pillage_effects_off"});
    }

    if (creature) {
        for (const std::string& item : kItemOrder)
            ExpectStates(item, bodyIds);
        for (const std::string& load : kLoads)
            ExpectStates(load, bodyIds);
        for (const std::string& item : Ids(kItemOrder.begin(), kItemOrder.end()) + kLoads) {
            if (const Object* c = Get(item)) {
                for (const std::string& turn : kTurns)
                    if (c->Has(turn)) Report(item, turn, "an item turns with the head");
            }
            ExpectInStep(item, "body");
        }
        ExpectStates("disease",
                     {"normal", "None", "Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"});
        ExpectHidden("disease", {"normal", "None"});
        ExpectHidden("disease", {"Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"}, false);
        ExpectStates("icon", {"normal", "icon_null", "icon_lb", "icon_lbn", "icon_qm"});
        ExpectHidden("icon", {"normal", "icon_null"});
        ExpectHidden("icon", {"icon_lb", "icon_lbn", "icon_qm"}, false);
        order.insert(order.end(), kItemOrder.begin(), kItemOrder.end());
        order.push_back("disease");
        order.push_back("icon");
    }
    if (!effects.empty()) order.push_back(effects);
    ExpectOrder(order);
    for (const auto& [id, c] : mDescription.children) {
        if (id.rfind("body", 0) != 0 && id.rfind("head", 0) != 0 &&
            Attr(c.node, "hit_test") != "none")
            Report(id, "", "only the body and the head are picked");
    }
}

}  // namespace

void CheckFigures(Context& c) {
    for (const CastFigure& figure : c.cast.Figures()) {
        const Description* d = c.Find(figure.name);
        if (d == nullptr || d->root == nullptr) continue;  // the names check tells
        FigureCheck(c, figure, *d).Run();
    }
}

}  // namespace artlint
