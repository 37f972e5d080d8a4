#include "islandmap.h"

#include <algorithm>
#include <map>

#include "inputfile.h"

namespace artgen {

bool GroundFromName(const std::string& name, Ground* ground) {
    static const std::map<std::string, Ground> kNames = {
        {"grass", Ground::kGrass},  {"meadow", Ground::kMeadow},     {"hill", Ground::kHill},
        {"path", Ground::kPath},    {"sand", Ground::kSand},         {"scree", Ground::kScree},
        {"water", Ground::kWater},  {"shallows", Ground::kShallows}, {"cliff", Ground::kCliff},
        {"forest", Ground::kForest}};
    auto it = kNames.find(name);
    if (it == kNames.end()) return false;
    *ground = it->second;
    return true;
}

bool IslandMap::Read(const std::string& path, const std::vector<LegendEntry>& legend,
                     std::string* error) {
    std::string bytes;
    if (!tools::ReadInputFile(path, 1u << 20, &bytes, error)) return false;
    mLegend = legend;
    std::map<char, int> index;
    for (size_t i = 0; i < mLegend.size(); ++i)
        index[mLegend[i].symbol] = int(i);
    mCells.clear();
    int line = 0;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos) end = bytes.size();
        const std::string text = bytes.substr(start, end - start);
        start = end + 1;
        ++line;
        const std::string where = path + ":" + std::to_string(line) + ": ";
        if (line > kRows) {
            *error = where + "the map has " + std::to_string(kRows) + " lines";
            return false;
        }
        if (int(text.size()) != kColumns) {
            *error = where + "a line of the map has " + std::to_string(kColumns) + " cells";
            return false;
        }
        for (size_t c = 0; c < text.size(); ++c) {
            auto it = index.find(text[c]);
            if (it == index.end()) {
                *error = where + "column " + std::to_string(c) + ": '" + text.substr(c, 1) +
                         "' is not in the legend";
                return false;
            }
            mCells.push_back(it->second);
        }
    }
    if (line != kRows) {
        *error =
            path + ": the map has " + std::to_string(kRows) + " lines, not " + std::to_string(line);
        return false;
    }
    return true;
}

const LegendEntry& IslandMap::At(int column, int row) const {
    column = std::clamp(column, 0, kColumns - 1);
    row = std::clamp(row, 0, kRows - 1);
    return mLegend[size_t(mCells[size_t(row) * kColumns + size_t(column)])];
}

std::vector<Placement> IslandMap::Decorations() const {
    std::vector<Placement> placements;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const LegendEntry& e = At(column, row);
            if (!e.decoration.empty()) placements.push_back({e.decoration, column, row});
        }
    }
    return placements;
}

std::string IslandMap::CellFile() const {
    std::string cells;
    int32_t count = 0;
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const int walk = WalkAt(column, row);
            if (walk == 0) continue;
            cells += char(column);
            cells += char(row);
            cells += char(uint8_t(walk));
            ++count;
        }
    }
    std::string file(4, '\0');
    for (int i = 0; i < 4; ++i)
        file[size_t(i)] = char(uint8_t(uint32_t(count) >> (8 * i)));
    return file + cells;
}

}  // namespace artgen
