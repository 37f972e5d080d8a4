#include "style.h"

#include <cmath>
#include <vector>

#include "recipetext.h"

namespace drawkit {

namespace {

bool ParseColour(const std::string& word, Rgb* rgb) {
    if (word.size() != 7 || word[0] != '#') return false;
    unsigned value = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = word[i];
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = unsigned(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = unsigned(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = unsigned(c - 'A' + 10);
        } else {
            return false;
        }
        value = value * 16 + digit;
    }
    rgb->r = ((value >> 16) & 0xFF) / 255.0;
    rgb->g = ((value >> 8) & 0xFF) / 255.0;
    rgb->b = (value & 0xFF) / 255.0;
    return true;
}

}  // namespace

bool Style::Load(const std::string& path, std::string* error) {
    std::vector<Statement> statements;
    if (!ReadRecipeFile(path, true, &statements, error)) return false;
    return Take(path, statements, error);
}

bool Style::Parse(const std::string& file, const std::string& text, std::string* error) {
    std::vector<Statement> statements;
    if (!ParseRecipeText(file, text, true, &statements, error)) return false;
    return Take(file, statements, error);
}

bool Style::Take(const std::string& path, const std::vector<Statement>& statements,
                 std::string* error) {
    mRamps.clear();
    std::string outlineRamp;
    for (const Statement& s : statements) {
        const std::string& verb = s.words[0];
        double a = 0, b = 0;
        if (verb == "ramp") {
            Ramp ramp;
            if (s.words.size() != 5 || !ParseColour(s.words[2], &ramp.light) ||
                !ParseColour(s.words[3], &ramp.base) || !ParseColour(s.words[4], &ramp.shade)) {
                *error = s.Where("a ramp is: ramp NAME #light #base #shade");
                return false;
            }
            if (!mRamps.emplace(s.words[1], ramp).second) {
                *error = s.Where("a second ramp named " + s.words[1]);
                return false;
            }
        } else if (verb == "outline") {
            if (s.words.size() != 3 || !ParseNumber(s.words[1], &a) || a <= 0 || a > 10) {
                *error = s.Where("outline is: outline WIDTH RAMP (width above 0, at most 10)");
                return false;
            }
            mOutlineWidth = a;
            outlineRamp = s.words[2];
        } else if (verb == "light") {
            if (s.words.size() != 3 || !ParseNumber(s.words[1], &a) ||
                !ParseNumber(s.words[2], &b) || std::hypot(a, b) < 1e-6) {
                *error = s.Where("light is: light DX DY (a direction, not zero)");
                return false;
            }
            mLightX = a / std::hypot(a, b);
            mLightY = b / std::hypot(a, b);
        } else if (verb == "shading") {
            if (s.words.size() != 2 || !ParseNumber(s.words[1], &a) || a < 1 || a > 3 ||
                a != std::floor(a)) {
                *error = s.Where("shading is: shading STEPS (1, 2 or 3)");
                return false;
            }
            mShadingSteps = int(a);
        } else if (verb == "rim") {
            if (s.words.size() != 2 || !ParseNumber(s.words[1], &a) || a < 0 || a > 1) {
                *error = s.Where("rim is: rim STRENGTH (0 to 1)");
                return false;
            }
            mRim = a;
        } else {
            *error = s.Where("unknown statement " + verb);
            return false;
        }
    }
    const Ramp* outline = Find(outlineRamp);
    if (outline == nullptr) {
        *error = path + ": the outline names no ramp of the style";
        return false;
    }
    mOutline = *outline;
    return true;
}

const Ramp* Style::Find(const std::string& name) const {
    auto it = mRamps.find(name);
    return it == mRamps.end() ? nullptr : &it->second;
}

}  // namespace drawkit
