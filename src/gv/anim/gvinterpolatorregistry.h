// GVInterpolatorRegistry: the process-wide map from an effect element's name to the function that
// makes that effect. It holds "ScaleInterpolator", "DeltaMoveInterpolator", "AlphaInterpolator" and
// "RotateInterpolator" before the program starts, whichever files the program links: they are
// registered from this registry's own file, which every program that makes effects by name links.
// Names compare exactly; nothing removes an entry.
//
// Main thread only (and start-up code before it).
#pragma once

#include <map>

#include "foundation/str.h"

class GVEffect;

class GVInterpolatorRegistry {
public:
    using Creator = GVEffect* (*)();

    // The map, made (with the built-in interpolators) on first use.
    static std::map<str, Creator>& Instance();
    // Sets the entry of the name.
    static void Register(const str& name, Creator creator);
    // The creator of the name, or null.
    static Creator Find(const str& name);
};
