// The factory on a generated description of 200 objects in four levels (1, 9, 45 and 145), each
// with 50 frames and six states: loading the file into a template (objects per second), making
// live objects from the cached template into a scene and deleting them (objects per second), and
// as the floor, a bare parse of the same file into a TXmlNode document. The file is served from
// memory by the file layer, so no run waits on a disk.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "foundation/assetmanager.h"
#include "foundation/file/fileindex.h"
#include "foundation/xml/xmlnode.h"
#include "gv/gvfactory.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "platform/platform.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"
#include "port/control.h"

namespace {

constexpr int kObjects = 200;
constexpr int kLevelSizes[] = {1, 9, 45, 145};

std::string ObjectText(const std::string& tag, int id) {
    std::string text = "<" + tag + " id=\"o" + std::to_string(id) +
                       "\" deltaX=\"3\" deltaZ=\"1\"><images><img name=\"sheet.png\"/></images>"
                       "<framelist>";
    for (int f = 0; f < 50; ++f)
        text += "<frame x=\"" + std::to_string(32 * (f % 10)) + "\" y=\"" +
                std::to_string(32 * (f / 10)) + "\" w=\"32\" h=\"32\" regx=\"16\" regy=\"30\"/>";
    text += "</framelist><states>";
    const char* names[] = {"normal", "walk", "run", "idle", "jump", "fall"};
    for (int s = 0; s < 6; ++s)
        text += std::string("<state id=\"") + names[s] + "\" framelist=\"" +
                std::to_string(s * 8) + ".." + std::to_string(s * 8 + 7) + "\" defdelay=\"80\"/>";
    text += "</states>";
    return text;
}

// The tree as text: each level's objects spread over the parents of the level above.
std::string Description() {
    std::vector<std::vector<std::string>> levels(4);
    int id = 0;
    std::vector<int> ids[4];
    for (int level = 0; level < 4; ++level)
        for (int i = 0; i < kLevelSizes[level]; ++i)
            ids[level].push_back(id++);
    // Built bottom-up: a parent's text closes over its children's.
    std::vector<std::string> below;
    for (int level = 3; level >= 0; --level) {
        std::vector<std::string> here;
        const int count = kLevelSizes[level];
        const int children = level < 3 ? kLevelSizes[level + 1] : 0;
        for (int i = 0; i < count; ++i) {
            std::string text = ObjectText(level == 0 ? "main" : "obj", ids[level][i]);
            if (children != 0) {
                text += "<objects>";
                for (int c = i; c < children; c += count)
                    text += below[c];
                text += "</objects>";
            }
            text += level == 0 ? "</main>" : "</obj>";
            here.push_back(text);
        }
        below.swap(here);
    }
    return below.front();
}

struct World {
    World() {
        port::control::UseFakeClock(true);
        port::control::SetTime(1000);
        SetAssetManager(&manager);
        image = TTexture::CreateRegistered(TTexture::MakeKey("anim/sheet.png", false, false, false));
        std::vector<uint32_t> pixels(size_t(512) * 256, 0xFF000000u);
        image->GetData()->CreateSurface(512, 256, true);
        image->GetData()->SetPixels(512, 256, pixels.data());
        text = Description();
        RegisterMemoryFile("xml/bench.xml", text.data(), static_cast<uint32_t>(text.size()));
        GVFactory& factory = GVFactory::Instance();
        factory.SetDescriptionPrefix("xml/");
        factory.SetTextureFolder("anim/");
        factory.SetScene(&scene);
    }
    TAssetManager manager;
    std::shared_ptr<TTexture> image;
    std::string text;
    TPlatform app;
    GVScene scene;
};

World& TheWorld() {
    static World* world = new World();
    return *world;
}

void BM_LoadTemplate(benchmark::State& state) {
    TheWorld();
    GVFactory& factory = GVFactory::Instance();
    for (auto _ : state) {
        factory.ReleaseAll();
        GVObject* loaded = factory.GetObjectDesc("bench");
        if (loaded == nullptr || loaded->GetChildCount() != kLevelSizes[1]) {
            state.SkipWithError("the description did not load");
            break;
        }
        benchmark::DoNotOptimize(loaded);
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
    state.counters["bytes"] = static_cast<double>(TheWorld().text.size());
}
BENCHMARK(BM_LoadTemplate)->Unit(benchmark::kMillisecond);

void BM_InstantiateFromCache(benchmark::State& state) {
    World& world = TheWorld();
    GVFactory& factory = GVFactory::Instance();
    factory.GetObjectDesc("bench");
    for (auto _ : state) {
        std::unique_ptr<GVObject> live(factory.CreateObject("bench", true));
        if (live == nullptr) {
            state.SkipWithError("no live object");
            break;
        }
        live.reset();
        // The deleted objects' timers leave the task list on its next turn.
        world.app.UpdateTasks();
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_InstantiateFromCache)->Unit(benchmark::kMillisecond);

// The floor: reading and parsing the same file, nothing made from it.
void BM_ParseFileOnly(benchmark::State& state) {
    TheWorld();
    for (auto _ : state) {
        TXmlNode document;
        document.LoadFile("xml/bench.xml");
        if (document.GetChildren().empty()) {
            state.SkipWithError("nothing parsed");
            break;
        }
        benchmark::DoNotOptimize(document.GetChildren().front());
    }
    state.SetItemsProcessed(state.iterations() * kObjects);
}
BENCHMARK(BM_ParseFileOnly)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
