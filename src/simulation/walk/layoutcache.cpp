#include "simulation/walk/layoutcache.h"

#include <utility>

#include "gv/gvfactory.h"

GVLayoutCache& GVLayoutCache::Instance() {
    static GVLayoutCache cache;
    return cache;
}

GVLayout* GVLayoutCache::Get(const str& name) {
    GVLayoutCache& cache = Instance();
    auto found = cache.mLayouts.find(name);
    if (found != cache.mLayouts.end()) return found->second.get();
    auto layout = std::make_unique<GVLayout>();
    if (!layout->Load(GVFactory::Instance().GetDescriptionPrefix() + name + ".layout"))
        return &cache.mEmpty;
    GVLayout* kept = layout.get();
    cache.mLayouts.emplace(name, std::move(layout));
    return kept;
}

void GVLayoutCache::Clear() {
    Instance().mLayouts.clear();
}
