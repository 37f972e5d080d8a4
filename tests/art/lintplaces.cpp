// The places against what the world and the location view ask of them: every place animator of
// the data has a row of the place table; its root picked by its drawn pixels, flat places under
// everything; each child that shows levels has the full product of the table's level and stock
// pictures and nothing beyond, "normal" being the first; the switches the world sends to the
// hospital, the ark's material piles, the dig sites, the treasure and the bonuses; the level's
// twenty tiles under everything. And every layout against its description: as many level records
// as level pictures, its stock count the stock pictures drawn.
#include <cstdio>

#include "lintcontext.h"
#include "placetable.h"
#include "simulation/walk/layout.h"

namespace artlint {
namespace {

bool HasLevelStates(const Object& c) {
    for (const auto& [id, s] : c.states)
        if (id.rfind("level", 0) == 0) return true;
    return false;
}

class PlaceCheck {
public:
    PlaceCheck(Context& c, const Description& d) : mContext(c), mDescription(d) {}

    void Report(const std::string& child, const std::string& state, const std::string& message) {
        mContext.Report("place", mDescription.name, child, state, message);
    }
    void Common(bool flat);
    void Pictures(const PlacePictures& p);
    void Hospital();
    void ArkMaterials();
    void DigSite();
    void Switches();
    void Level();

private:
    Context& mContext;
    const Description& mDescription;
};

void PlaceCheck::Common(bool flat) {
    if (Attr(mDescription.root, "hit_test") != "alpha")
        Report("", "", "a place is picked by its drawn pixels (hit_test \"alpha\")");
    if (mDescription.root->FindChild("framelist") != nullptr)
        Report("", "", "the root draws frames of its own");
    const std::string depth = Attr(mDescription.root, "deltaZ");
    if (flat ? depth != "-30000"
             : !depth.empty() && depth != "0" && mDescription.name != "loc_treasure")
        Report("", "",
               flat ? "a flat place not under everything (deltaZ -30000)"
                    : "a standing place with a depth of its own");
    for (const auto& [id, c] : mDescription.children) {
        if (Attr(c.node, "hit_test") != "alpha")
            Report(id, "", "a place's part is picked by its drawn pixels (hit_test \"alpha\")");
    }
}

void PlaceCheck::Pictures(const PlacePictures& p) {
    int withLevels = 0;
    const int stock = std::max(1, p.stock);
    for (const auto& [id, c] : mDescription.children) {
        if (!HasLevelStates(c)) continue;
        ++withLevels;
        for (int level = 0; level < p.levels; ++level)
            for (int s = 0; s < stock; ++s)
                if (!c.Has(LevelId(level, s)))
                    Report(id, LevelId(level, s), "lacks a picture the view shows");
        if (c.Has(LevelId(p.levels, 0)))
            Report(id, LevelId(p.levels, 0), "a level picture the view never shows");
        if (c.Has(LevelId(0, stock)))
            Report(id, LevelId(0, stock), "a stock picture the view never shows");
        if (c.Has("normal") && c.Has(LevelId(0, 0)) &&
            Attr(c.states.at("normal"), "framelist") !=
                Attr(c.states.at(LevelId(0, 0)), "framelist"))
            Report(id, "normal", "not the first level's picture with the first stock picture");
    }
    if (withLevels == 0) Report("", LevelId(0, 0), "no child shows the level pictures");
}

void PlaceCheck::Hospital() {
    std::set<std::string> seen;
    for (const char* cure : {"tumrot", "kopox", "fever", "ebolio"}) {
        const std::string on = std::string("cure_") + cure + "_on";
        int shows = 0;
        for (const auto& [id, c] : mDescription.children) {
            if (!c.Has(on)) continue;
            ++shows;
            seen.insert(id);
            if (c.Hidden(on)) Report(id, on, "hides the cure it switches on");
            if (!c.Has("cure_all_off") || !c.Hidden("cure_all_off"))
                Report(id, "cure_all_off", "a cure \"cure_all_off\" does not hide");
            if (!c.Hidden("normal")) Report(id, "normal", "a cure shown before it is made");
            if (HasLevelStates(c)) Report(id, "", "a cure that follows the build level");
        }
        if (shows != 1) Report("", on, std::to_string(shows) + " children answer it, not one");
    }
    // One child a cure: several show together.
    if (seen.size() != 4) Report("", "", "the four cures are not four children");
}

void PlaceCheck::ArkMaterials() {
    std::set<std::string> piles;
    for (const char* material : {"sticks", "woods", "stones", "stones_2"}) {
        const std::string prefix = std::string("materials_") + material + "_level_";
        int children = 0;
        for (const auto& [id, c] : mDescription.children) {
            if (!c.Has(prefix + "0")) continue;
            ++children;
            piles.insert(id);
            for (int level = 0; level <= 3; ++level) {
                const std::string state = prefix + std::to_string(level);
                if (!c.Has(state) || c.Hidden(state)) Report(id, state, "no pile at this level");
            }
            if (!c.Has("materials_all_off") || !c.Hidden("materials_all_off"))
                Report(id, "materials_all_off", "a pile \"materials_all_off\" does not hide");
            if (!c.Hidden("normal")) Report(id, "normal", "a pile shown before the world says");
            // A pile answers its own material's keys only.
            for (const auto& [state, node] : c.states)
                if (state != "normal" && state != "materials_all_off" &&
                    state.rfind(prefix, 0) != 0)
                    Report(id, state, "a pile answers another material's key");
        }
        if (children != 1) Report("", prefix + "0", "not one pile for " + std::string(material));
    }
    if (piles.size() != 4) Report("", "", "the four materials are not four piles");
    int markers = 0;
    for (const auto& [id, c] : mDescription.children) {
        if (!c.Has("ark_part_wood_on")) continue;
        ++markers;
        if (c.Hidden("ark_part_wood_on")) Report(id, "ark_part_wood_on", "hides the marker");
        if (!c.Has("ark_part_wood_off") || !c.Hidden("ark_part_wood_off"))
            Report(id, "ark_part_wood_off", "the marker stays");
        if (!c.Hidden("normal")) Report(id, "normal", "the marker shown before the world says");
    }
    if (markers != 1) Report("", "ark_part_wood_on", "not one marker");
}

void PlaceCheck::DigSite() {
    const Object* sand = mDescription.Child("sand");
    if (sand == nullptr) {
        Report("sand", "", "a dig site without the sand the world fades");
        return;
    }
    if (sand->Hidden("normal")) Report("sand", "normal", "the sand is hidden");
    // The world sets its opacity: the description leaves it whole.
    if (!Attr(sand->node, "alpha").empty())
        Report("sand", "", "the sand has an opacity of its own");
    for (const auto& [id, s] : sand->states) {
        if (!Attr(s, "alpha").empty() || s->FindChild("AlphaInterpolator") != nullptr)
            Report("sand", id, "the sand's opacity is the world's");
    }
}

void PlaceCheck::Switches() {
    const std::string& name = mDescription.name;
    std::set<std::string> ids = {"normal", "hidden"};
    if (name == "loc_treasure") {
        ids.insert("treasure_mark");
        // Shown at a dig site, it is drawn over the sand.
        if (Attr(mDescription.root, "deltaZ") != "5")
            Report("", "", "the treasure is not drawn over the sand (deltaZ 5)");
    }
    for (const std::string& id : ids) {
        bool shown = false;
        for (const auto& [child, c] : mDescription.children) {
            if (HasLevelStates(c)) Report(child, "", "follows a build level it does not have");
            if (c.Has(id) && !c.Hidden(id)) shown = true;
        }
        if (shown != (id != "hidden"))
            Report("", id, id == "hidden" ? "something still shows" : "nothing shows");
    }
    for (const auto& [child, c] : mDescription.children)
        for (const auto& [id, s] : c.states)
            if (!ids.count(id)) Report(child, id, "a state the world never sends");
}

void PlaceCheck::Level() {
    if (mDescription.root->FindChild("framelist") != nullptr)
        Report("", "", "the level draws frames of its own");
    int tiles = 0;
    for (const auto& [id, c] : mDescription.children) {
        if (Attr(c.node, "deltaZ") != "-100000") continue;
        ++tiles;
        const TXmlNode* images = c.node->FindChild("images");
        if (images == nullptr || images->GetChildren().size() != 1)
            Report(id, "", "a tile is not one image");
    }
    if (tiles != 20) Report("", "", std::to_string(tiles) + " tiles under everything, not 20");
}

// The level and stock pictures the description draws: its level states' largest numbers.
void CountPictures(const Description& d, int* levels, int* stocks) {
    *levels = 0;
    *stocks = 0;
    for (const auto& [id, c] : d.children) {
        for (const auto& [state, node] : c.states) {
            int level = 0, stock = 0;
            if (std::sscanf(state.c_str(), "level%d_capacity%d", &level, &stock) == 2) {
                *levels = std::max(*levels, level + 1);
                *stocks = std::max(*stocks, stock + 1);
            }
        }
    }
}

}  // namespace

void CheckPlaces(Context& c) {
    std::set<std::string> rows(PlacesWithoutLevels());
    for (const PlacePictures& p : PlaceTable())
        rows.insert(p.animator);
    for (const std::string& animator : c.cast.PlaceAnimators()) {
        if (!rows.count(animator))
            c.Report("place", animator, "", "", "no row of the place table says what it draws");
    }
    for (const auto& [name, d] : c.descriptions) {
        if (d.root == nullptr) continue;
        PlaceCheck check(c, d);
        if (name == testing_support::kLevelName) {
            check.Level();
            continue;
        }
        if (!rows.count(name)) continue;
        check.Common(FlatPlaces().count(name) != 0);
        for (const PlacePictures& p : PlaceTable())
            if (name == p.animator) check.Pictures(p);
        if (name == "loc_hospital" || name == "loc_hospital_broken") check.Hospital();
        if (name == "loc_ark_materials") check.ArkMaterials();
        if (name == "loc_ark_part_place") check.DigSite();
        if (PlacesWithoutLevels().count(name)) check.Switches();
    }
}

void CheckLayouts(Context& c) {
    for (const std::string& animator : c.cast.PlaceAnimators()) {
        const Description* d = c.Find(animator);
        GVLayout layout;
        if (d == nullptr || !layout.Load(str(("xml/" + animator + ".layout").c_str())))
            continue;  // the names check tells
        int levels = 0, stocks = 0;
        CountPictures(*d, &levels, &stocks);
        if (layout.perLevelImagesCount != std::max(1, levels))
            c.Report("layout", animator, "", "",
                     "PerLevelImagesCount " + std::to_string(layout.perLevelImagesCount) +
                         ", but the description draws " + std::to_string(levels) +
                         " level pictures");
        // One stock picture is none at all: a count of 0 shows "capacity0" only.
        if (std::max(1, layout.capacityImagesCount) != std::max(1, stocks))
            c.Report("layout", animator, "", "",
                     "CapacityImagesCount " + std::to_string(layout.capacityImagesCount) +
                         ", but the description draws " + std::to_string(stocks) +
                         " stock pictures");
        if (int(layout.levels.size()) != layout.perLevelImagesCount)
            c.Report("layout", animator, "", "",
                     std::to_string(layout.levels.size()) + " level records for " +
                         std::to_string(layout.perLevelImagesCount) + " level pictures");
    }
}

}  // namespace artlint
