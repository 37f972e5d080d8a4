// One view update of a world the size of the game's: 70 creature views walking loops of four
// 200-pixel legs at 2 pixels an update, and 77 location views, one of which changes its level
// every 30 updates (its picture changes and the walk grid is rebuilt). The views are the real
// ones on the stand-in sprites (tests/support/worldsprites.h): each keeps a tree of 41 objects.
//
// The peer walks the same 70 loops with the same arithmetic in a bare loop over point lists:
// no sprites, no idle variations, no listeners, no grid. The difference is what the views add to
// the walking itself; the update must stay well under the 30 ms between view updates.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "gv/gvfactory.h"
#include "gv/gvscene.h"
#include "math/vec2.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldlocation.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/world.h"
#include "support/worldsprites.h"

namespace {

constexpr int kCreatures = 70;
constexpr int kLocations = 77;
constexpr int kLevelEvery = 30;
constexpr float kSpeed = 2.0f;
constexpr float kLeg = 200.0f;

// Three levels that cover 3 x 3, 4 x 3 and 5 x 4 cells.
std::string Layout() {
    std::string text = "<layout PerLevelImagesCount=\"3\" CapacityImagesCount=\"2\">";
    const int sizes[3][2] = {{3, 3}, {4, 3}, {5, 4}};
    for (const auto& size : sizes) {
        text += "<level><WalkabilityCells>";
        for (int x = 0; x < size[0]; ++x)
            for (int y = 0; y < size[1]; ++y)
                text += "<c x=\"" + std::to_string(x - 1) + "\" y=\"" + std::to_string(y - 1) +
                        "\" v=\"" + std::to_string(y == 0 ? 255 : 30) + "\"/>";
        text +=
            "</WalkabilityCells><WorkMountPoints><p x=\"3\" y=\"0\"/></WorkMountPoints></level>";
    }
    return text + "</layout>";
}

TVec2 CreatureStart(int i) {
    return TVec2(60.0f + static_cast<float>(i % 10) * 230.0f,
                 50.0f + static_cast<float>(i / 10) * 250.0f);
}

std::vector<TVec2> Loop(const TVec2& from) {
    return {TVec2(from.x + kLeg, from.y), TVec2(from.x + kLeg, from.y + kLeg),
            TVec2(from.x, from.y + kLeg), from};
}

class ViewWorld {
public:
    ViewWorld() : mManager(&mScene, &mWorld) {
        mSprites.Add("bench_creature");
        mSprites.Add("bench_place");
        mSprites.Put("xml/bench_place.layout", Layout());
        mManager.Init();
        for (int i = 0; i < kLocations; ++i) {
            auto* place = static_cast<GVWorldLocation*>(mManager.CreateVisual("bench_place", 2));
            place->SetPosition(100.0f + static_cast<float>(i % 11) * 210.0f,
                               150.0f + static_cast<float>(i / 11) * 240.0f);
            mLocations.push_back(place);
        }
        for (int i = 0; i < kCreatures; ++i) {
            auto* creature =
                static_cast<GVWorldCreature*>(mManager.CreateVisual("bench_creature", 1));
            creature->SetSpeed(kSpeed);
            creature->SetPosition(CreatureStart(i));
            mCreatures.push_back(creature);
        }
        mManager.RebuildWalkability();
    }
    ~ViewWorld() {
        mManager.Clear();
        GVLayoutCache::Clear();
        GVFactory::Instance().SetScene(nullptr);
    }

    void Update() {
        if (mUpdates % kLevelEvery == 0) {
            const int change = mUpdates / kLevelEvery;
            mLocations[change % kLocations]->SetLevel(static_cast<float>(change / kLocations % 3) *
                                                      0.5f);
        }
        ++mUpdates;
        for (GVWorldCreature* creature : mCreatures)
            if (creature->GetPath().empty()) creature->SetPath(Loop(creature->GetPosition()));
        mManager.RefreshAll();
    }
    float Checksum() const {
        float sum = 0.0f;
        for (const GVWorldCreature* creature : mCreatures)
            sum += creature->GetX() + creature->GetY();
        return sum;
    }

private:
    testing_support::WorldSprites mSprites;
    GWorld mWorld;
    GVScene mScene;
    GVWorldManager mManager;
    std::vector<GVWorldLocation*> mLocations;
    std::vector<GVWorldCreature*> mCreatures;
    int mUpdates = 0;
};

// The peer: the walking alone.
struct Walker {
    std::vector<TVec2> path;
    float travelled = 0.0f;
    TVec2 position;
};

void Walk(Walker& walker) {
    if (walker.path.empty()) {
        walker.path = Loop(walker.position);
        walker.path.insert(walker.path.begin(), walker.position);
        walker.travelled = 0.0f;
    }
    walker.travelled += kSpeed;
    for (;;) {
        const TVec2 from = walker.path[0];
        const float dx = walker.path[1].x - from.x;
        const float dy = walker.path[1].y - from.y;
        const float length = std::hypot(dx, dy);
        if (length > walker.travelled) {
            walker.position = TVec2(from.x + dx / length * walker.travelled,
                                    from.y + dy / length * walker.travelled);
            return;
        }
        walker.travelled -= length;
        walker.path.erase(walker.path.begin());
        if (walker.path.size() == 1) {
            walker.position = walker.path[0];
            walker.path.clear();
            return;
        }
    }
}

void BM_WorldViewsRefreshAll(benchmark::State& state) {
    ViewWorld world;
    for (auto _ : state)
        world.Update();
    benchmark::DoNotOptimize(world.Checksum());
    state.counters["views"] = kCreatures + kLocations;
}
BENCHMARK(BM_WorldViewsRefreshAll)->Unit(benchmark::kMicrosecond);

void BM_BareWalkingLoop(benchmark::State& state) {
    std::vector<Walker> walkers(kCreatures);
    for (int i = 0; i < kCreatures; ++i)
        walkers[i].position = CreatureStart(i);
    for (auto _ : state) {
        for (Walker& walker : walkers)
            Walk(walker);
        benchmark::ClobberMemory();
    }
    float sum = 0.0f;
    for (const Walker& walker : walkers)
        sum += walker.position.x + walker.position.y;
    benchmark::DoNotOptimize(sum);
}
BENCHMARK(BM_BareWalkingLoop)->Unit(benchmark::kMicrosecond);

}  // namespace
