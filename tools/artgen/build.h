// Building one group's art: every picture of its descriptions drawn (figure.h), packed into
// sheets (drawkit's packer) and described (drawkit's description), following the contracts of
// the world's views:
// - a creature: shadow, selection mark, "body" and its variants, "head" and its variants, the
//   level layers, the fourteen tools, the three loads, "disease", "icon" and the work effects;
// - a monster: shadow, mark, "body", "head" (picked by their pictures), level layers, effects;
// - a grave: mark and "body" with "normal", "disappear" (to "hidden") and "hidden";
// - a mover: shadow and "body" (picked by its picture), standing and walking in four directions;
// - a place (place.h) and the landscape (landscape.h) are built by their own builders.
// The animator names, variant counts, hit rectangles and walking speeds come from the creature
// definitions the descriptions belong to.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "description.h"
#include "packer.h"
#include "recipe.h"
#include "style.h"

namespace artgen {

// What the art takes from a creature definition file.
struct Definition {
    std::string animator;
    double speed = 2.0;
    int heads = 0;
    int bodies = 0;
    int dx = 0, dy = 0, w = 0, h = 0;
};

// A child being drawn: its description, each distinct frame (a picture with its registration
// point) listed once.
struct DrawnChild {
    drawkit::ChildDesc desc;
    std::map<std::tuple<int, int, int>, int> frames;
    // The frame's index in desc.frames, added when new.
    int Frame(const drawkit::FrameRef& f);
};

// Reads the definition (root "Creature": "Animator" and "HitRect"); false with *error.
bool ReadDefinition(const std::string& path, Definition* definition, std::string* error);

// A file a group writes beside its sheets and descriptions: its path in the game folder and its
// bytes (a place's layout, the landscape's tiles and cells).
struct GroupFile {
    std::string path;
    std::string bytes;
    // A picture instead of bytes: written as a PNG at the run's zlib level.
    drawkit::Image picture;
};

struct GroupArt {
    drawkit::Packer packer;
    std::vector<drawkit::Description> descriptions;
    std::vector<GroupFile> files;
    // Children written before the described ones, by description (the landscape's tiles).
    std::map<std::string, std::string> firstChildren;
};

// Draws, packs and describes the group. logicFolder holds the definitions its describe lines
// name. False with "file:line: what is wrong" in *error.
bool BuildGroup(const Recipe& recipe, const drawkit::Style& style,
                const std::map<std::string, Prop>& props, const std::string& logicFolder,
                GroupArt* art, std::string* error);

// The sprite child names of body and head variants, numbered as the creature view shows them:
// 0 "body", 1 to 8 "body2" to "body9", 9 "body0".
std::string VariantName(const std::string& base, int index);

}  // namespace artgen
