// The one look of Umbrava's generated pictures (style.txt): named palette ramps, the outline's
// width and ramp, where the light comes from, the number of cel-shading steps and the strength of
// the rim light. Both art generators read the same file, so the world and the windows share one
// palette; recipes name ramps and never colours (recipetext.h refuses a raw one).
//
// A ramp is three colours: light, base and shade. Read once at start; read-only afterwards, so
// any thread may use a loaded style.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace drawkit {

struct Statement;

struct Rgb {
    double r = 0;
    double g = 0;
    double b = 0;
};

struct Ramp {
    Rgb light;
    Rgb base;
    Rgb shade;
};

class Style {
public:
    // Reads style.txt; false with "file:line: what is wrong" in *error.
    bool Load(const std::string& path, std::string* error);
    bool Parse(const std::string& file, const std::string& text, std::string* error);

    // The ramp of that name, or null.
    const Ramp* Find(const std::string& name) const;

    double OutlineWidth() const { return mOutlineWidth; }
    const Ramp& Outline() const { return mOutline; }
    // A unit vector pointing from the picture toward the light (up and left: both negative).
    double LightX() const { return mLightX; }
    double LightY() const { return mLightY; }
    int ShadingSteps() const { return mShadingSteps; }
    double Rim() const { return mRim; }

private:
    bool Take(const std::string& path, const std::vector<Statement>& statements,
              std::string* error);

    std::map<std::string, Ramp> mRamps;
    double mOutlineWidth = 2.5;
    Ramp mOutline;
    double mLightX = -0.7071;
    double mLightY = -0.7071;
    int mShadingSteps = 2;
    double mRim = 0.4;
};

}  // namespace drawkit
