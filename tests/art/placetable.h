// The places' contract table, written from the game's rules, not from the recipes: for every
// location animator with build pictures, how many level pictures (PerLevelImagesCount) and stock
// pictures (CapacityImagesCount) its description draws, and the build levels the world gives it
// over its life (from the build ranges with the build step's adjustments, 0.95 at most while work
// remains, the levels the world sets directly and the starting levels of the definitions). The
// location view shows level picture trunc(level × (pictures − 1) + 0.01). The treasure and the
// bonuses have no levels; the flat places lie under everything.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace artlint {

struct PlacePictures {
    const char* animator;
    int levels;
    int stock;
    std::vector<float> reached;
};

inline const std::vector<PlacePictures>& PlaceTable() {
    static const std::vector<PlacePictures> table = {
        // The sickly konut tree: 0 until irrigation work (up to 0.9), 1 when irrigated.
        {"loc_konutbush", 3, 4, {0, 0.5f, 0.9f, 1}},
        {"loc_prekonutbush", 3, 2, {0, 0.5f, 0.95f, 1}},
        {"loc_konutbush2", 1, 4, {0, 1}},
        {"loc_konutbush3", 1, 4, {0}},
        {"loc_konutbush4", 1, 4, {0}},
        {"loc_konutbush_small", 1, 4, {0}},
        // The bud starts at 0.5; 0.5 when the hospital stands, 1 at the first fever.
        {"loc_preflower", 2, 0, {0.5f, 0.75f, 0.95f, 1}},
        {"loc_yayaflower", 1, 0, {0}},
        {"loc_smallberry", 1, 0, {0}},
        {"loc_konutroots", 2, 0, {0, 1}},
        {"loc_foodbin", 5, 4, {0, 0.25f, 0.5f, 0.75f, 0.95f, 1}},
        {"loc_foodbin_broken", 1, 4, {1}},
        // Wells: 0, 0.25 at the snow melt, 0.5 to 1 while dug (a result under 0.5 raised to it).
        {"loc_well", 5, 3, {0, 0.25f, 0.5f, 0.75f, 0.95f, 1}},
        {"loc_pool", 2, 4, {0, 1}},
        {"loc_watertank", 5, 4, {0, 0.25f, 0.5f, 0.75f, 0.95f, 1}},
        {"loc_watertank_broken", 1, 4, {1}},
        {"loc_hospital", 5, 0, {0, 0.25f, 0.5f, 0.75f, 0.95f, 1}},
        {"loc_hospital_broken", 1, 0, {1}},
        {"loc_waterfall", 2, 0, {0, 1}},
        {"loc_devpool", 1, 0, {0}},
        // The metal pile: 0, 0.5 at the snow melt, 0.5 to 1 while opened.
        {"loc_metalpile", 3, 0, {0, 0.5f, 0.75f, 0.95f, 1}},
        {"loc_rockoblings", 1, 0, {0}},
        {"loc_rockwedges", 1, 0, {0}},
        {"loc_stickspile", 1, 0, {0}},
        {"loc_saltwater", 3, 0, {0, 0.5f, 1}},
        {"loc_snow", 2, 0, {0, 1}},
        {"loc_hyenapit", 1, 0, {0}},
        {"loc_fertilizer", 3, 0, {0, 0.5f, 1}},
        // The idols' four definitions: 0-0.33, 0.33-0.67, 0.67-1 and 1.
        {"loc_idol_elephant", 4, 0, {0, 0.33f, 0.67f, 0.95f, 1}},
        {"loc_idol_giraffe", 4, 0, {0, 0.33f, 0.67f, 0.95f, 1}},
        {"loc_idol_lion", 4, 0, {0, 0.33f, 0.67f, 0.95f, 1}},
        {"loc_idol_monkey", 4, 0, {0, 0.33f, 0.67f, 0.95f, 1}},
        {"loc_idol_zebra", 4, 0, {0, 0.33f, 0.67f, 0.95f, 1}},
        // The ark: 0.17 to begin with, 0.5 once its parts are aboard, 0.5 to 1 nailed.
        {"loc_ark", 4, 0, {0.17f, 0.5f, 0.66f, 0.67f, 0.95f, 1}},
        {"loc_ark_part_1", 3, 0, {0.36f, 0.5f, 0.95f, 1}},
        {"loc_ark_part_2", 3, 0, {0.36f, 0.5f, 0.95f, 1}},
        {"loc_ark_part_3", 3, 0, {0.36f, 0.5f, 0.95f, 1}},
        {"loc_ark_part_4", 3, 0, {0.36f, 0.5f, 0.95f, 1}},
        // Dig sites show their digging through "sand"; material piles through their switches.
        {"loc_ark_part_place", 1, 0, {0}},
        {"loc_ark_materials", 1, 0, {0}},
        {"loc_dummy", 1, 0, {0}},
        {"loc_prehospital", 3, 0, {0, 0.5f, 1}},
        {"loc_prefoodbin", 3, 0, {0, 0.33f, 0.67f, 1}},
        {"loc_prewatertank", 3, 0, {0, 0.5f, 1}},
        {"loc_beach", 1, 0, {0}},
        {"loc_channel", 2, 3, {0, 1}},
        {"loc_totem", 1, 0, {0}},
        {"loc_tree", 1, 0, {0}},
    };
    return table;
}

// The places shown by switches alone.
inline const std::set<std::string>& PlacesWithoutLevels() {
    static const std::set<std::string> names = {"loc_treasure",       "loc_bonus_konuts",
                                                "loc_bonus_hammer",   "loc_bonus_shovel",
                                                "loc_bonus_tomahawk", "loc_bonus_cactus"};
    return names;
}

// The places drawn under everything else (water, sand, a channel, a dug bed).
inline const std::set<std::string>& FlatPlaces() {
    static const std::set<std::string> names = {"loc_saltwater",  "loc_beach",
                                                "loc_pool",       "loc_channel",
                                                "loc_fertilizer", "loc_ark_part_place"};
    return names;
}

// The state a location view shows for a level picture and a stock picture.
inline std::string LevelId(int level, int stock) {
    return "level" + std::to_string(level) + "_capacity" + std::to_string(stock);
}

}  // namespace artlint
