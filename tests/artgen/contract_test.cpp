// Every description the generator made, against the views' contract (written from what the world
// and its views send, not from the recipes): the names come from the creature definitions and the
// program's fixed names; each description's direct children and their state ids, "normal" on
// every child with frames, no "any", every next state resolved, every frame number in range,
// frame lists centred "left", interpolators with a time and two keys, no standing or walking in
// the grave, and body and head in step wherever both play a state. Then each description loads
// through the real factory and activates into a scene without a window.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "builtfactory.h"
#include "foundation/file/assetfolder.h"
#include "foundation/xml/xmlnode.h"
#include "gv/framelist.h"
#include "gv/keys/flagmasktext.h"
#include "gv/keys/namemaskregistry.h"
#include "simulation/worldkeys.h"
#include "support/tempdir.h"

namespace {

using Ids = std::set<std::string>;

std::string Attr(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).c_str();
}

// What a description must be, from the data and the program's names.
struct Wanted {
    std::string name;
    std::string kind;  // creature, monster, grave, mover
    int bodies = 0;
    int heads = 0;
    std::string species;
};

void PrintTo(const Wanted& w, std::ostream* out) {
    *out << w.name;
}

std::vector<Wanted> WantedDescriptions() {
    std::vector<Wanted> wanted;
    for (const auto& entry : std::filesystem::directory_iterator(ART_LOGIC)) {
        const std::string text = testing_support::ReadFileBytes(entry.path().string());
        TXmlNode document;
        document.ParseString(text.c_str(), text.size());
        if (document.GetChildren().empty()) continue;
        TXmlNode* root = document.GetChildren().front();
        if (std::string(root->GetName().c_str()) != "Creature") continue;
        TXmlNode* animator = root->FindChild("Animator");
        if (animator == nullptr) continue;
        Wanted w;
        w.name = Attr(animator, "Name");
        w.kind = "creature";
        w.bodies = std::atoi(Attr(animator, "MaxBodyAnimatorsNum").c_str());
        w.heads = std::atoi(Attr(animator, "MaxHeadAnimatorsNum").c_str());
        w.species = Attr(root, "Name");
        wanted.push_back(w);
    }
    std::sort(wanted.begin(), wanted.end(),
              [](const Wanted& a, const Wanted& b) { return a.name < b.name; });
    for (int level = 1; level <= 5; ++level)
        wanted.push_back({"hyena_l" + std::to_string(level), "monster", 0, 0, ""});
    wanted.push_back({"skeleton", "grave", 0, 0, ""});
    for (int part = 1; part <= 4; ++part)
        wanted.push_back({"ark_part_mover_" + std::to_string(part), "mover", 0, 0, ""});
    return wanted;
}

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
const Ids kItems(kItemOrder.begin(), kItemOrder.end());
const Ids kLoads = {"smallberries", "roots", "yayaflowers"};
const Ids kTurns = {"stay_NE_headLeft",  "stay_NE_headRight", "stay_SE_headLeft",
                    "stay_SE_headRight", "stay_NW_headLeft",  "stay_NW_headRight",
                    "stay_SW_headLeft",  "stay_SW_headRight"};
const Ids kEffects = {"dust", "chips", "splinters", "splashes", "pillage"};

struct Child {
    TXmlNode* node = nullptr;
    std::string id;
    int frameCount = 0;
    std::map<std::string, TXmlNode*> states;
    std::vector<int32_t> Frames(const std::string& state) const {
        std::vector<int32_t> frames;
        ParseFrameList(frames, frameCount, Attr(states.at(state), "framelist").c_str());
        return frames;
    }
    bool Hidden(const std::string& state) const { return Attr(states.at(state), "visible") == "0"; }
};

class DescriptionContract : public ::testing::TestWithParam<Wanted> {
protected:
    void SetUp() override {
        const std::string path = std::string(ART_GAME_FOLDER) + "/xml/" + GetParam().name + ".xml";
        mText = testing_support::ReadFileBytes(path);
        ASSERT_FALSE(mText.empty()) << path;
        mDocument.ParseString(mText.c_str(), mText.size());
        ASSERT_EQ(mDocument.GetChildren().size(), 1u);
        mRoot = mDocument.GetChildren().front();
        TXmlNode* objects = mRoot->FindChild("objects");
        ASSERT_NE(objects, nullptr);
        for (TXmlNode* obj : objects->GetChildren()) {
            Child c;
            c.node = obj;
            c.id = Attr(obj, "id");
            if (TXmlNode* frames = obj->FindChild("framelist")) {
                c.frameCount = int(frames->GetChildren().size());
                EXPECT_EQ(Attr(frames, "centering"), "left") << c.id;
            }
            if (TXmlNode* states = obj->FindChild("states")) {
                for (TXmlNode* s : states->GetChildren())
                    c.states[Attr(s, "id")] = s;
            }
            mOrder.push_back(c.id);
            mChildren[c.id] = c;
        }
    }

    const Child& Get(const std::string& id) {
        static const Child kNone;
        auto it = mChildren.find(id);
        EXPECT_NE(it, mChildren.end()) << GetParam().name << " has no child " << id;
        return it == mChildren.end() ? kNone : it->second;
    }
    // The child has every state of want; with exactly, no other.
    void ExpectStates(const std::string& id, const Ids& want, bool exactly = false) {
        const Child& c = Get(id);
        for (const std::string& s : want)
            EXPECT_TRUE(c.states.count(s)) << GetParam().name << "@" << id << " lacks " << s;
        if (!exactly) return;
        for (const auto& [s, node] : c.states)
            EXPECT_TRUE(want.count(s)) << GetParam().name << "@" << id << " has " << s;
    }
    void ExpectHidden(const std::string& id, const Ids& states, bool hidden = true) {
        const Child& c = Get(id);
        for (const std::string& s : states) {
            if (c.states.count(s)) {
                EXPECT_EQ(c.Hidden(s), hidden) << GetParam().name << "@" << id << " " << s;
            }
        }
    }
    // A ids mirrored: the same frames as the source, flipped.
    void ExpectMirror(const std::string& id, const std::string& state, const std::string& of) {
        const Child& c = Get(id);
        if (!c.states.count(state) || !c.states.count(of)) return;
        EXPECT_EQ(Attr(c.states.at(state), "flip"), "H") << id << " " << state;
        EXPECT_EQ(c.Frames(state), c.Frames(of)) << id << " " << state;
    }
    void ExpectOrder(const std::vector<std::string>& ids) {
        int last = -1;
        for (const std::string& id : ids) {
            auto at = std::find(mOrder.begin(), mOrder.end(), id);
            if (at == mOrder.end()) continue;
            const int index = int(at - mOrder.begin());
            EXPECT_GT(index, last) << GetParam().name << ": " << id << " out of order";
            last = index;
        }
    }

    std::string mText;
    TXmlNode mDocument;
    TXmlNode* mRoot = nullptr;
    std::vector<std::string> mOrder;
    std::map<std::string, Child> mChildren;
};

TEST_P(DescriptionContract, EveryChildKeepsTheFormatsRules) {
    const Wanted& w = GetParam();
    EXPECT_EQ(std::string(mRoot->GetName().c_str()), "main");
    EXPECT_EQ(Attr(mRoot, "id"), w.name);
    for (const auto& [id, c] : mChildren) {
        SCOPED_TRACE(w.name + "@" + id);
        EXPECT_FALSE(id.empty());
        ASSERT_GT(c.frameCount, 0);
        EXPECT_TRUE(c.states.count("normal"));
        EXPECT_FALSE(c.states.count("any"));
        EXPECT_EQ(Attr(c.node, "deltaZ"), "");
        for (const auto& [sid, s] : c.states) {
            // Every frame number below the frame count: the parse stops at the first that is not.
            std::vector<int32_t> frames;
            EXPECT_TRUE(ParseFrameList(frames, c.frameCount, Attr(s, "framelist").c_str())) << sid;
            EXPECT_FALSE(Attr(s, "framelist").empty()) << sid;
            const std::string next = Attr(s, "nextstate");
            if (!next.empty()) {
                EXPECT_TRUE(c.states.count(next)) << sid << " -> " << next;
            }
            if (frames.size() == 1) {
                EXPECT_EQ(Attr(s, "defdelay"), "1000") << sid;
            }
            for (TXmlNode* effect : s->GetChildren()) {
                EXPECT_FALSE(Attr(effect, "time").empty()) << sid;
                std::string keys = Attr(effect, "keys");
                int numbers = 0;
                for (size_t i = 0; i < keys.size();) {
                    if (keys[i] == ' ') {
                        ++i;
                        continue;
                    }
                    ++numbers;
                    while (i < keys.size() && keys[i] != ' ')
                        ++i;
                }
                const int perKey =
                    std::string(effect->GetName().c_str()) == "DeltaMoveInterpolator" ? 2 : 1;
                EXPECT_GE(numbers / perKey, 2) << sid;
            }
        }
        // Shown in the description: the views show and hide children through their own block.
        EXPECT_NE(Attr(c.node, "visible"), "0");
    }
    // Keys the views send that no drawing answers change nothing.
    for (const char* key : {"walk_NE_headLeft", "work_SE", "forage", "gather_water", "any"}) {
        for (const auto& [id, c] : mChildren)
            EXPECT_FALSE(c.states.count(key)) << w.name << "@" << id << " " << key;
    }
}

TEST_P(DescriptionContract, ItsChildrenAndStatesAreTheOnesTheViewsSend) {
    const Wanted& w = GetParam();
    const Ids activities = Directions("stay") + Directions("walk") +
                           Ids{"work", "workM", "fight", "hidden", "normal"} +
                           (w.kind == "creature" ? Ids{"flakeOut", "think", "celebrate"} : Ids{});
    if (w.kind == "grave") {
        ExpectStates("body", {"normal", "disappear", "hidden"}, true);
        EXPECT_EQ(Get("body").Frames("disappear").size(), 8u);
        EXPECT_EQ(Attr(Get("body").states.at("disappear"), "nextstate"), "hidden");
        ExpectHidden("body", {"hidden"});
        ExpectHidden("body", {"normal", "disappear"}, false);
        ExpectStates("mark", {"normal", "mark_normal", "mark_hidden", "disappear"}, true);
        ExpectHidden("mark", {"normal", "mark_hidden", "disappear"});
        for (const auto& [id, c] : mChildren) {
            for (const auto& [sid, s] : c.states) {
                EXPECT_NE(sid.rfind("stay", 0), 0u) << id << " " << sid;
                EXPECT_NE(sid.rfind("walk", 0), 0u) << id << " " << sid;
            }
        }
        return;
    }
    if (w.kind == "mover") {
        ExpectStates("body", Directions("stay") + Directions("walk") + Ids{"normal"});
        EXPECT_EQ(Attr(Get("body").node, "hit_test"), "alpha");
        for (const std::string& walk : Directions("walk")) {
            const Child& body = Get("body");
            ASSERT_TRUE(body.states.count(walk));
            TXmlNode* bob = body.states.at(walk)->FindChild("DeltaMoveInterpolator");
            EXPECT_NE(bob, nullptr) << walk;
        }
        ExpectMirror("body", "stay_NW", "stay_NE");
        ExpectMirror("body", "walk_SW", "walk_SE");
        return;
    }
    ExpectStates("shadow", {"normal", "shadow_normal", "shadow_hidden"});
    ExpectHidden("shadow", {"shadow_hidden"});
    ExpectHidden("shadow", {"normal", "shadow_normal"}, false);
    ExpectStates("mark", {"normal", "mark_normal", "mark_hidden"});
    ExpectHidden("mark", {"normal", "mark_hidden"});
    ExpectHidden("mark", {"mark_normal"}, false);

    const int bodies = std::max(1, w.bodies);
    const int heads = std::max(1, w.heads);
    Ids bodyIds = activities;
    if (w.species == "Puff") bodyIds.insert("breed");
    if (w.species == "Gorilla") bodyIds.insert("chop_woods");
    std::vector<std::string> order{"shadow", "mark"};
    for (int i = 0; i < bodies; ++i) {
        const std::string body = VariantName("body", i);
        order.push_back(body);
        ExpectStates(body, bodyIds);
        for (const std::string& turn : kTurns)
            EXPECT_FALSE(Get(body).states.count(turn)) << body << " " << turn;
        ExpectHidden(body, {"hidden"});
        ExpectMirror(body, "stay_NW", "stay_NE");
        ExpectMirror(body, "stay_SW", "stay_SE");
        ExpectMirror(body, "walk_NW", "walk_NE");
        ExpectMirror(body, "walk_SW", "walk_SE");
        ExpectMirror(body, "workM", "work");
        EXPECT_EQ(Get(body).Frames("normal"), Get(body).Frames("stay_SE"));
        EXPECT_EQ(Attr(Get(body).node, "hit_test"), w.kind == "monster" ? "alpha" : "none");
    }
    if (bodies < 10) {
        EXPECT_FALSE(mChildren.count(VariantName("body", bodies)));
    }
    Ids headIds = activities + Ids{"stay_NE_headLeft",  "stay_NE_headRight", "stay_SE_headLeft",
                                   "stay_SE_headRight", "stay_NW_headLeft",  "stay_NW_headRight",
                                   "stay_SW_headLeft",  "stay_SW_headRight"};
    if (w.kind == "creature") headIds = headIds + Ids{"flakeOut_headLeft", "flakeOut_headRight"};
    for (int i = 0; i < heads; ++i) {
        const std::string head = VariantName("head", i);
        order.push_back(head);
        ExpectStates(head, headIds);
        EXPECT_EQ(Attr(Get(head).node, "hit_test"), w.kind == "monster" ? "alpha" : "none");
        const Child& c = Get(head);
        for (const auto& [turn, base] :
             std::map<std::string, std::string>{{"stay_NE_headLeft", "stay_NE"},
                                                {"stay_SW_headRight", "stay_SW"},
                                                {"flakeOut_headLeft", "flakeOut"},
                                                {"flakeOut_headRight", "flakeOut"}}) {
            if (!c.states.count(turn)) continue;
            EXPECT_EQ(c.Frames(turn).size(), 2u) << turn;
            EXPECT_EQ(Attr(c.states.at(turn), "nextstate"), base) << turn;
        }
        // Left and right cross over in the mirrored directions.
        ExpectMirror(head, "stay_NW_headLeft", "stay_NE_headRight");
        ExpectMirror(head, "stay_SW_headRight", "stay_SE_headLeft");
        // Body and head run timers of their own: in step wherever both play a state.
        const Child& body = Get(VariantName("body", i % bodies));
        for (const auto& [sid, s] : body.states) {
            if (!c.states.count(sid)) continue;
            EXPECT_EQ(c.Frames(sid).size(), body.Frames(sid).size()) << head << " " << sid;
            EXPECT_EQ(Attr(c.states.at(sid), "defdelay"), Attr(s, "defdelay"))
                << head << " " << sid;
        }
    }
    if (heads < 10) {
        EXPECT_FALSE(mChildren.count(VariantName("head", heads)));
    }

    const std::string effects = [&] {
        for (const auto& [id, c] : mChildren)
            if (c.states.count("all_work_effects_off")) return id;
        return std::string();
    }();
    ASSERT_FALSE(effects.empty()) << w.name << " has no work-effect child";
    Ids effectIds{"normal", "all_work_effects_off", "pillage_effects_off"};
    Ids quiet = Directions("stay") + Directions("walk") +
                Ids{"flakeOut", "think", "celebrate", "fight", "hidden"};
    for (const std::string& e : kEffects) {
        effectIds.insert(e + "_on_right");
        effectIds.insert(e + "_on_left");
        ExpectMirror(effects, e + "_on_left", e + "_on_right");
        ExpectHidden(effects, {e + "_on_right", e + "_on_left"}, false);
    }
    ExpectStates(effects, effectIds + quiet, true);
    ExpectHidden(effects, quiet + Ids{"normal", "all_work_effects_off", "pillage_effects_off"});

    if (w.kind == "creature") {
        for (const std::string& item : kItems + kLoads) {
            ExpectStates(item, bodyIds);
            for (const std::string& turn : kTurns)
                EXPECT_FALSE(Get(item).states.count(turn)) << item;
            const Child& body = Get("body");
            for (const auto& [sid, s] : Get(item).states) {
                if (!body.states.count(sid)) continue;
                EXPECT_EQ(Get(item).Frames(sid).size(), body.Frames(sid).size()) << item << sid;
                EXPECT_EQ(Attr(s, "defdelay"), Attr(body.states.at(sid), "defdelay")) << item;
            }
        }
        ExpectStates("disease",
                     {"normal", "None", "Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"});
        ExpectHidden("disease", {"normal", "None"});
        ExpectHidden("disease", {"Sneezies", "Tumrot", "Kopox", "Fever", "Ebolio"}, false);
        ExpectStates("icon", {"normal", "icon_null", "icon_lb", "icon_lbn", "icon_qm"});
        ExpectHidden("icon", {"normal", "icon_null"});
        ExpectHidden("icon", {"icon_lb", "icon_lbn", "icon_qm"}, false);
        for (const std::string& item : kItemOrder)
            order.push_back(item);
        order.push_back("disease");
        order.push_back("icon");
    }
    order.push_back(effects);
    ExpectOrder(order);
    for (const auto& [id, c] : mChildren) {
        if (id.rfind("body", 0) != 0 && id.rfind("head", 0) != 0) {
            EXPECT_EQ(Attr(c.node, "hit_test"), "none") << id;
        }
    }
}

std::string CaseName(const ::testing::TestParamInfo<Wanted>& info) {
    return info.param.name;
}

INSTANTIATE_TEST_SUITE_P(AllArt, DescriptionContract, ::testing::ValuesIn(WantedDescriptions()),
                         CaseName);

// Gives the name-key registry the words of every state id and next state of the description.
void RegisterStateWords(const std::string& path) {
    const std::string text = testing_support::ReadFileBytes(path);
    TXmlNode document;
    document.ParseString(text.c_str(), text.size());
    ASSERT_FALSE(document.GetChildren().empty()) << path;
    TXmlNode* objects = document.GetChildren().front()->FindChild("objects");
    ASSERT_NE(objects, nullptr) << path;
    for (TXmlNode* obj : objects->GetChildren()) {
        TXmlNode* states = obj->FindChild("states");
        if (states == nullptr) continue;
        for (TXmlNode* state : states->GetChildren()) {
            ParseFlagMask(state->GetAttribute("id"));
            ParseFlagMask(state->GetAttribute("nextstate"));
        }
    }
}

// The registry of name words holds 255 in a run; the figures' state names and the program's own
// keys together keep well inside that, leaving room for the places' and the landscape's.
TEST(ArtWords, TheFiguresStatesAndTheProgramsKeysUseAtMost200Words) {
    WorldKeys();
    for (const Wanted& w : WantedDescriptions())
        RegisterStateWords(std::string(ART_GAME_FOLDER) + "/xml/" + w.name + ".xml");
    EXPECT_LE(GNameMaskRegistry::Instance().GetWordCount(), 200);
}

// With every description the game loads (figures, places, the level) they still fit, with room
// to spare.
TEST(ArtWords, EveryDescriptionsStatesAndTheProgramsKeysFitTheRegistry) {
    WorldKeys();
    int descriptions = 0;
    for (const auto& entry :
         std::filesystem::directory_iterator(std::string(ART_GAME_FOLDER) + "/xml")) {
        // The sound scheme lies beside the descriptions and is none.
        if (entry.path().extension() != ".xml" || entry.path().filename() == "sound_scheme.xml")
            continue;
        RegisterStateWords(entry.path().string());
        ++descriptions;
    }
    EXPECT_GE(descriptions, 89);  // 34 figures, 54 places, the level
    EXPECT_LE(GNameMaskRegistry::Instance().GetWordCount(), 230);
}

// Through the real factory, from the built game folder, into a scene without a window.
using ArtFactoryTest = island_test::BuiltFactoryTest;

TEST_F(ArtFactoryTest, EveryDescriptionLoadsAndActivatesWithTheChildrenTheViewsLookUp) {
    for (const Wanted& w : WantedDescriptions()) {
        SCOPED_TRACE(w.name);
        GVObject* object = Keep(Factory().CreateObject(w.name.c_str(), true));
        ASSERT_NE(object, nullptr);
        std::vector<std::string> children;
        if (w.kind == "grave") {
            children = {"body", "mark"};
        } else if (w.kind == "mover") {
            children = {"body", "shadow"};
        } else {
            children = {"body", "head", "shadow", "mark"};
            for (int i = 1; i < w.bodies; ++i)
                children.push_back(VariantName("body", i));
            for (int i = 1; i < w.heads; ++i)
                children.push_back(VariantName("head", i));
            if (w.kind == "creature") {
                children.insert(children.end(), kItems.begin(), kItems.end());
                children.insert(children.end(), kLoads.begin(), kLoads.end());
                children.push_back("disease");
                children.push_back("icon");
            }
        }
        for (const std::string& name : children) {
            GVObject* child = object->GetChild(name.c_str());
            ASSERT_NE(child, nullptr) << name;
            EXPECT_NE(child->GetCurrentFrame(), nullptr) << name;
            EXPECT_EQ(child->GetStateId(), ParseFlagMask("normal")) << name;
        }
        // A key the drawing answers switches the child; one it does not leaves it as it was.
        GVObject* body = object->GetChild("body");
        const char* known = w.kind == "grave" ? "disappear" : "walk_SE";
        EXPECT_GT(object->SetStateRecursive(ParseFlagMask(known), true, false), 0);
        EXPECT_EQ(body->GetStateId(), ParseFlagMask(known));
        object->SetStateRecursive(ParseFlagMask("work_SE"), true, false);
        EXPECT_EQ(body->GetStateId(), ParseFlagMask(known));
    }
}

}  // namespace
