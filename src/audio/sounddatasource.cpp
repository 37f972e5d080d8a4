#include "audio/sounddatasource.h"

#include <map>

#include "foundation/file/file.h"

namespace {

std::map<str, TSoundDataSourceBuilder*>& Builders() {
    static std::map<str, TSoundDataSourceBuilder*> builders;
    return builders;
}

}  // namespace

void RegisterSoundDataSourceBuilder(const str& extension, TSoundDataSourceBuilder* builder) {
    Builders()[extension] = builder;
}

std::shared_ptr<TSoundDataSource> CreateSoundDataSource(const str& name, bool stream) {
    const auto& builders = Builders();
    unsigned int dot = name.FindChar('.', str::kBackward);
    if (dot != str::npos) {
        auto found = builders.find(name.Substring(dot + 1));
        if (found != builders.end()) return found->second->Build(name, stream);
    }
    for (const auto& [extension, builder] : builders) {
        if (FileExists(name + "." + extension)) return builder->Build(name, stream);
    }
    return nullptr;
}
