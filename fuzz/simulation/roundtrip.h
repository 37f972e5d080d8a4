// The check of the block fuzz targets: a saved block loaded into a fresh one saves the same text
// again, whenever every number of the first save lies within ±10^6 (beyond that a saved float
// may move by a step between the first and the second save).
#pragma once

#include <cctype>
#include <cstdlib>
#include <string>

#include "foundation/xml/xmlnode.h"

namespace fuzzcheck {

inline bool NumbersAreSmall(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) continue;
        size_t end = i;
        while (end < text.size() && std::isdigit(static_cast<unsigned char>(text[end])))
            ++end;
        if (end - i > 7 || std::stol(text.substr(i, end - i)) > 1000000) return false;
        i = end;
    }
    return true;
}

// Saves block, loads the text into a fresh Block and saves that; aborts on a difference.
template <typename Block>
void SaveLoadSave(const Block& block) {
    TXmlNode saved("Data");
    block.Save(&saved);
    const std::string text = saved.ToString().c_str();
    Block fresh;
    fresh.Load(&saved);
    TXmlNode again("Data");
    fresh.Save(&again);
    if (NumbersAreSmall(text) && text != again.ToString().c_str()) std::abort();
}

}  // namespace fuzzcheck
