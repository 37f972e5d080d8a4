// The describe block of a place (a group of kind "place"), read into the Describe's PlaceSpec:
//
//   describe NAME stages=N [stock=C] [flat] [nolevels] [deltaZ=D] [canvas=W,H] [origin=X,Y]
//            [cell=X,Y] [KEY=VALUE...]
//     child ID [stock|fixed] [motion=M]
//     state ID [hidden] [motion=M] [bob=X,Y,MS] [KEY=VALUE...]    (under a fixed child)
//     layout STAGES
//       ROW...
//     end
//   end
//
// stages is the number of build-stage pictures (PerLevelImagesCount), stock the number of stock
// pictures (CapacityImagesCount, 0 when the place shows no stock); cell says where the place's
// position lies in its cell (from its top left; the middle when not given); flat lays the place on
// the ground under every figure (deltaZ -30000); nolevels gives its children no level states. The
// KEY=VALUE words become the variant keys its parts are drawn for (beside "place", its name).
// Every build stage has exactly one layout grid (recipe.h's LayoutGrid).
#pragma once

#include <cstddef>
#include <vector>

#include "recipe.h"

namespace artgen {

// The depth offset of a place that lies flat on the ground: under every figure, over the
// landscape's tiles.
constexpr double kFlatDeltaZ = -30000;

// Reads the block whose describe statement is all[i] into *describe; answers the index after
// its end. Throws recipeparse::Fault.
size_t ReadPlaceDescribe(const std::vector<drawkit::Statement>& all, size_t i, Describe* describe);

}  // namespace artgen
