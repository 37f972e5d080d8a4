// GVLayoutCache: the layouts of the world's location pictures, loaded once each. A name is looked
// up as the sprite factory's description folder + name + ".layout" (through the file layer, so in
// archives, memory files and whatever the case). A layout that loaded is kept for the whole run;
// a name whose file is missing or holds no layout gets the cache's empty layout (no levels, both
// counts 0) and is not remembered, so the next request reads the file system again.
//
// One cache per process, made on first use; it owns every layout it hands out. Main thread only.
#pragma once

#include <map>
#include <memory>

#include "foundation/str.h"
#include "simulation/walk/layout.h"

class GVLayoutCache {
public:
    // The layout of a location picture; never null.
    static GVLayout* Get(const str& name);
    // Forgets every loaded layout (for tests); pointers handed out before are no longer valid.
    static void Clear();

private:
    static GVLayoutCache& Instance();

    std::map<str, std::unique_ptr<GVLayout>> mLayouts;
    GVLayout mEmpty;
};
