// A scene's frame: 1,000 animated sprites (eight frames, two states) at spread positions and ten
// depths, a tenth of them changed each frame (moved and stepped to their next frame), updated
// and drawn into a sink that discards the device work. The figure is microseconds per frame,
// against the 4 ms a whole frame may take. Its floor, in the same run: the same 1,000 quads handed
// straight to TTexture::Draw with fixed draw records, inside the same 2-D bracket.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "../support/discardingsink.h"
#include "foundation/assetmanager.h"
#include "foundation/file/fileindex.h"
#include "gv/gvfactory.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "platform/draw/drawspec.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"
#include "port/control.h"

namespace {

constexpr int kObjects = 1000;
constexpr int kChangedPerFrame = kObjects / 10;

using bench_support::DiscardingSink;

std::string SpriteText() {
    std::string text =
        "<main hit_test=\"none\"><images><img name=\"sheet.png\"/></images><framelist>";
    for (int f = 0; f < 8; ++f)
        text += "<frame x=\"" + std::to_string(32 * f) +
                "\" y=\"0\" w=\"32\" h=\"32\" "
                "regx=\"16\" regy=\"30\"/>";
    text +=
        "</framelist><states><state id=\"normal\" framelist=\"0..7\" defdelay=\"80\"/>"
        "<state id=\"walk\" framelist=\"7..0\" defdelay=\"60\"/></states></main>";
    return text;
}

struct World {
    World() {
        port::control::UseFakeClock(true);
        port::control::SetTime(1000);
        SetAssetManager(&manager);
        image =
            TTexture::CreateRegistered(TTexture::MakeKey("anim/sheet.png", false, false, false));
        std::vector<uint32_t> pixels(size_t(256) * 32, 0xFF000000u);
        image->GetData()->CreateSurface(256, 32, true);
        image->GetData()->SetPixels(256, 32, pixels.data());
        text = SpriteText();
        RegisterMemoryFile("xml/sprite.xml", text.data(), static_cast<uint32_t>(text.size()));
        GVFactory& factory = GVFactory::Instance();
        factory.SetDescriptionPrefix("xml/");
        factory.SetTextureFolder("anim/");
        factory.SetScene(&scene);
        for (int i = 0; i < kObjects; ++i) {
            objects.emplace_back(factory.CreateObject("sprite", true));
            GVObject* object = objects.back().get();
            if (object == nullptr) continue;
            // Spread over the 800 × 600 view (a few past its edges), ten depths.
            object->deltaX = static_cast<float>((i * 37) % 860 - 30);
            object->deltaY = static_cast<float>((i * 53) % 660 - 30);
            object->deltaZ = static_cast<float>(i % 10);
            object->changed = 1;
        }
        factory.SetScene(nullptr);
        renderer = TRenderer::GetInstance();
        renderer->SetSink(&sink);
        // The first frame updates every object; the runs start from a settled scene.
        DrawFrame();
    }
    bool Ready() const {
        if (objects.size() != kObjects) return false;
        for (const auto& object : objects)
            if (object == nullptr) return false;
        return true;
    }
    void DrawFrame() {
        renderer->BeginDraw(false);
        scene.Draw();
        renderer->EndDraw(0);
    }

    TAssetManager manager;
    std::shared_ptr<TTexture> image;
    std::string text;
    TPlatform app;
    GVScene scene;
    std::vector<std::unique_ptr<GVObject>> objects;
    DiscardingSink sink;
    TRenderer* renderer = nullptr;
};

World& TheWorld() {
    static World* world = new World();
    return *world;
}

void BM_SceneFrame(benchmark::State& state) {
    World& world = TheWorld();
    if (!world.Ready()) {
        state.SkipWithError("the sprites were not made");
        return;
    }
    size_t next = 0;
    for (auto _ : state) {
        for (int i = 0; i < kChangedPerFrame; ++i) {
            GVObject* object = world.objects[next].get();
            next = (next + 1) % world.objects.size();
            object->deltaX += 1.0f;
            object->changed = 1;
            object->SetFrame(object->GetFramePosition() + 1);
        }
        world.DrawFrame();
    }
    state.counters["objects"] = static_cast<double>(world.scene.GetObjectCount());
}
BENCHMARK(BM_SceneFrame)->Unit(benchmark::kMicrosecond);

// The floor: the quads of the same objects, from fixed records, straight to the texture.
void BM_FixedQuadsFrame(benchmark::State& state) {
    World& world = TheWorld();
    if (!world.Ready()) {
        state.SkipWithError("the sprites were not made");
        return;
    }
    std::vector<TDrawSpec> specs;
    for (GVObject* object : world.scene.GetDepthOrder())
        if (object->GetDrawSpec() != nullptr) specs.push_back(*object->GetDrawSpec());
    for (auto _ : state) {
        world.renderer->BeginDraw(false);
        world.renderer->Begin2d();
        for (const TDrawSpec& spec : specs)
            world.image->Draw(spec);
        world.renderer->End2d();
        world.renderer->EndDraw(0);
    }
    state.counters["quads"] = static_cast<double>(specs.size());
}
BENCHMARK(BM_FixedQuadsFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
