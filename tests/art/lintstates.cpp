// The description format's rules, on every object of every description at any depth: an object
// with frames has "normal" (the engine would make one over all its frames); no "any" (it would
// take every key the world sends that the object does not answer); every state shows frames of
// its own list and its next state is one of the object's; every interpolator has a time and at
// least two keys (a DeltaMoveInterpolator's keys are pairs).
#include <functional>

#include "gv/framelist.h"
#include "lintcontext.h"

namespace artlint {
namespace {

int CountNumbers(const std::string& text) {
    int numbers = 0;
    bool inNumber = false;
    for (char ch : text) {
        const bool blank = ch == ' ' || ch == '\t' || ch == '\n' || ch == ',';
        if (!blank && !inNumber) ++numbers;
        inNumber = !blank;
    }
    return numbers;
}

bool IsInterpolator(const TXmlNode* node) {
    const std::string name = node->GetName().c_str();
    return name.size() > 12 && name.compare(name.size() - 12, 12, "Interpolator") == 0;
}

void CheckInterpolators(Context& c, const std::string& description, const std::string& child,
                        const std::string& state, const TXmlNode* node) {
    for (const TXmlNode* effect : node->GetChildren()) {
        if (!IsInterpolator(effect)) {
            // Effects may be grouped ("effects" on the object).
            if (std::string(effect->GetName().c_str()) == "effects")
                CheckInterpolators(c, description, child, state, effect);
            continue;
        }
        const std::string kind = effect->GetName().c_str();
        if (Attr(effect, "time").empty())
            c.Report("states", description, child, state, kind + " without a time");
        const int perKey = kind == "DeltaMoveInterpolator" ? 2 : 1;
        if (CountNumbers(Attr(effect, "keys")) / perKey < 2)
            c.Report("states", description, child, state, kind + " with fewer than two keys");
    }
}

void CheckObject(Context& c, const std::string& description, const Object& object) {
    const std::string& id = object.id;
    if (object.frameCount > 0 && !object.Has("normal"))
        c.Report("states", description, id, "normal", "an object with frames has no \"normal\"");
    if (object.Has("any"))
        c.Report("states", description, id, "any", "\"any\" would take every key the world sends");
    for (const auto& [state, node] : object.states) {
        const std::string list = Attr(node, "framelist");
        std::vector<int32_t> frames;
        if (list.empty() || !ParseFrameList(frames, object.frameCount, list.c_str()) ||
            frames.empty())
            c.Report("states", description, id, state,
                     "the frame list \"" + list + "\" is not frames of the object's " +
                         std::to_string(object.frameCount));
        const std::string next = Attr(node, "nextstate");
        if (!next.empty() && !object.Has(next))
            c.Report("states", description, id, state,
                     "the next state \"" + next + "\" is none of the object's");
        CheckInterpolators(c, description, id, state, node);
    }
    CheckInterpolators(c, description, id, "", object.node);
}

}  // namespace

void CheckStates(Context& c) {
    for (const auto& entry : c.descriptions) {
        // A plain reference: the walk below captures it.
        const std::string& name = entry.first;
        const Description& d = entry.second;
        if (d.root == nullptr) continue;
        CheckObject(c, name, d.main);
        // Every object below the root, at any depth.
        std::function<void(const TXmlNode*)> walk = [&](const TXmlNode* node) {
            const TXmlNode* objects = node->FindChild("objects");
            if (objects == nullptr) return;
            for (const TXmlNode* child : objects->GetChildren()) {
                CheckObject(c, name, ReadObject(child));
                walk(child);
            }
        };
        walk(d.root);
    }
}

}  // namespace artlint
