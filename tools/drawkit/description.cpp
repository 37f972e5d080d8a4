#include "description.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <map>

namespace drawkit {

const StateDesc* ChildDesc::FindState(const std::string& wanted) const {
    for (const StateDesc& s : states) {
        if (s.id == wanted) return &s;
    }
    return nullptr;
}

const ChildDesc* Description::FindChild(const std::string& wanted) const {
    for (const ChildDesc& c : children) {
        if (c.id == wanted) return &c;
    }
    return nullptr;
}

std::string FormatFrames(const std::vector<int>& frames) {
    std::string text;
    size_t i = 0;
    while (i < frames.size()) {
        size_t j = i;
        while (j + 1 < frames.size() && frames[j + 1] == frames[j] + 1)
            ++j;
        if (!text.empty()) text += ",";
        if (j - i >= 2) {
            text += std::to_string(frames[i]) + ".." + std::to_string(frames[j]);
            i = j + 1;
        } else {
            text += std::to_string(frames[i]);
            ++i;
        }
    }
    return text;
}

std::string FormatNumber(double value) {
    // Whole numbers as they are: depths run to six digits.
    if (value == std::floor(value) && std::fabs(value) < 1e9) return std::to_string(int64_t(value));
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

namespace {

// The child's place in its parent, as attributes (none when it sits at the parent's point).
std::string Offsets(const ChildDesc& child) {
    std::string text;
    if (child.x != 0) text += " deltaX=\"" + FormatNumber(child.x) + "\"";
    if (child.y != 0) text += " deltaY=\"" + FormatNumber(child.y) + "\"";
    if (child.z != 0) text += " deltaZ=\"" + FormatNumber(child.z) + "\"";
    return text;
}

void WriteChild(const ChildDesc& child, const Packer& packer, const std::string& sheetPrefix,
                std::string* out) {
    // The frames in sheet order (stable), and the state lists renumbered to match.
    std::vector<int> order(child.frames.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = int(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return packer.Where(child.frames[size_t(a)].picture).sheet <
               packer.Where(child.frames[size_t(b)].picture).sheet;
    });
    std::vector<int> number(order.size());
    for (size_t n = 0; n < order.size(); ++n)
        number[size_t(order[n])] = int(n);
    std::vector<int> sheets;
    for (int i : order) {
        const int sheet = packer.Where(child.frames[size_t(i)].picture).sheet;
        if (sheets.empty() || sheets.back() != sheet) sheets.push_back(sheet);
    }

    *out += "    <obj id=\"" + child.id + "\" hit_test=\"" + child.hitTest + "\"" + Offsets(child) +
            ">\n";
    *out += "      <images>";
    for (int sheet : sheets)
        *out += "<img name=\"" + sheetPrefix + std::to_string(sheet) + ".png\"/>";
    *out += "</images>\n";
    *out += "      <framelist centering=\"left\">\n";
    for (int i : order) {
        const FrameRef& f = child.frames[size_t(i)];
        const Placement& at = packer.Where(f.picture);
        const Image& p = packer.Picture(f.picture);
        const int img = int(std::find(sheets.begin(), sheets.end(), at.sheet) - sheets.begin());
        *out += "        <frame img=\"" + std::to_string(img) + "\" x=\"" + std::to_string(at.x) +
                "\" y=\"" + std::to_string(at.y) + "\" w=\"" + std::to_string(p.width) + "\" h=\"" +
                std::to_string(p.height) + "\" regx=\"" + std::to_string(f.regX) + "\" regy=\"" +
                std::to_string(f.regY) + "\"/>\n";
    }
    *out += "      </framelist>\n";
    *out += "      <states>\n";
    for (const StateDesc& s : child.states) {
        std::vector<int> frames;
        for (int f : s.frames)
            frames.push_back(number[size_t(f)]);
        *out += "        <state id=\"" + s.id + "\" framelist=\"" + FormatFrames(frames) +
                "\" defdelay=\"" + std::to_string(s.delay) + "\"";
        if (!s.next.empty()) *out += " nextstate=\"" + s.next + "\"";
        if (s.hidden) *out += " visible=\"0\"";
        if (s.flipH) *out += " flip=\"H\"";
        if (s.effects.empty()) {
            *out += "/>\n";
            continue;
        }
        *out += ">\n";
        for (const Interpolator& e : s.effects)
            *out += "          <" + e.type + " time=\"" + std::to_string(e.time) + "\" keys=\"" +
                    e.keys + "\"/>\n";
        *out += "        </state>\n";
    }
    *out += "      </states>\n";
    *out += "    </obj>\n";
}

}  // namespace

std::string WriteDescription(const Description& description, const Packer& packer,
                             const std::string& sheetPrefix, const std::string& firstChildren) {
    std::string out = "<main id=\"" + description.id + "\"";
    if (description.scaling != 1.0) out += " scaling=\"" + FormatNumber(description.scaling) + "\"";
    if (description.deltaZ != 0) out += " deltaZ=\"" + FormatNumber(description.deltaZ) + "\"";
    if (!description.hitTest.empty()) out += " hit_test=\"" + description.hitTest + "\"";
    out += ">\n  <objects>\n" + firstChildren;
    for (const ChildDesc& child : description.children)
        WriteChild(child, packer, sheetPrefix, &out);
    out += "  </objects>\n</main>\n";
    return out;
}

}  // namespace drawkit
