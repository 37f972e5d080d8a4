#include "scenes.h"

namespace uiscreens {
namespace {

const std::vector<Scene>& AllScenes() {
    static const std::vector<Scene> scenes = {ModalsScene(), LuaScene(), ImagesScene(), TextScene(),
                                              ButtonsScene()};
    return scenes;
}

}  // namespace

const Scene* FindScene(const std::string& name) {
    for (const Scene& scene : AllScenes()) {
        if (scene.name == name) return &scene;
    }
    return nullptr;
}

std::vector<std::string> SceneNames() {
    std::vector<std::string> names;
    for (const Scene& scene : AllScenes())
        names.push_back(scene.name);
    return names;
}

}  // namespace uiscreens
