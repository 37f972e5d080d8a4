// The world's art in the program, from the built game folder (ART_GAME_FOLDER).
//
// "World frame": one frame of the play screen: 70 creature views walking loops in the view port
// (every species, level and variant of the data in turn), the 45 places of the start layout at
// their start positions and stock, the view port on the village green; the views refreshed, the
// sprites' timers run and the scene drawn into a render sink that discards what it gets. Its peer
// is the same world on the world views' stand-in sprites (one 8 × 8 frame a part,
// tests/support/worldsprites.h), so the difference is the art's share. Target: under 4 ms.
//
// "Load all": every description the program and the data ask for made into a template as the
// precache makes it (GVFactory::GetObjectDesc: descriptions, images, alpha masks), from cold. Its
// peer decodes the same PNG files, read from disk, with libpng alone. Target: at most 1.3 × the
// peer.
#include <benchmark/benchmark.h>
#include <png.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "../support/discardingsink.h"
#include "foundation/file/assetfolder.h"
#include "gv/gvfactory.h"
#include "gv/gvscene.h"
#include "platform/draw/renderer.h"
#include "platform/platform.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldlocation.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/world.h"
#include "support/worldcast.h"
#include "support/worldsprites.h"

namespace {

using testing_support::CastFigure;
using testing_support::CastKind;

constexpr int kWalkers = 70;
constexpr float kLeg = 120.0f;
// The village green: the view port's top-left.
const TVec2 kCamera(800.0f, 550.0f);

// The platform and the built folder's file index, for the program's life.
struct Folder {
    Folder() {
        const std::filesystem::path folder(ART_GAME_FOLDER);
        // The platform first, then the game's folder, as the tests make them.
        app = std::make_unique<TPlatform>();
        if (chdir(folder.parent_path().c_str()) != 0) std::abort();
        ScanAssetFolder("", "assets");
        cast = std::make_unique<testing_support::WorldCast>();
    }
    std::unique_ptr<TPlatform> app;
    std::unique_ptr<testing_support::WorldCast> cast;
};

Folder& TheFolder() {
    static Folder folder;
    return folder;
}

class WorldFrame {
public:
    explicit WorldFrame(bool standIn) {
        const testing_support::WorldCast& cast = *TheFolder().cast;
        if (standIn) {
            mSprites = std::make_unique<testing_support::WorldSprites>();
            mSprites->AddDefinitions(cast.Names());
        }
        mManager = std::make_unique<GVWorldManager>(&mScene, &mWorld);
        mManager->Init();
        mWorld.SetViews(mManager.get(), nullptr);
        GVViewPort& port = mScene.GetViewPort();
        port.SetBounds({0, 0, mManager->GetWorldWidth(), mManager->GetWorldHeight()});
        port.MoveTo(kCamera);
        for (const testing_support::CastPlace& place : cast.StartLayout())
            testing_support::MakePlaceView(*mManager, place);
        // Every variant of every creature in turn, then around again.
        std::vector<std::pair<const CastFigure*, int>> looks;
        for (const CastFigure& figure : cast.Figures())
            if (figure.kind == CastKind::kCreature)
                for (int v = 0; v < std::max(figure.bodies, figure.heads); ++v)
                    looks.emplace_back(&figure, v);
        for (int i = 0; i < kWalkers && !looks.empty(); ++i) {
            const auto& [figure, v] = looks[size_t(i) % looks.size()];
            const TVec2 start(kCamera.x + 60 + float(i % 10) * 64,
                              kCamera.y + 60 + float(i / 10) * 60);
            GVWorldCreature* view = testing_support::MakeFigureView(
                *mManager, *figure, start.x, start.y, v % figure->bodies, v % figure->heads);
            if (view == nullptr) continue;
            view->SetSpeed(2.0f);
            mWalkers.push_back(view);
        }
        TRenderer::GetInstance()->SetSink(&mSink);
    }
    ~WorldFrame() {
        TRenderer::GetInstance()->SetSink(nullptr);
        mManager.reset();
        GVFactory::Instance().ReleaseAll();
        GVFactory::Instance().SetScene(nullptr);
        GVLayoutCache::Clear();
        // The stand-in's files went with it, and the built folder's under the same names: the
        // folder indexed again.
        if (mSprites != nullptr) {
            mSprites.reset();
            ScanAssetFolder("", "assets");
        }
    }
    bool Ready() const { return mWalkers.size() == size_t(kWalkers); }

    void Frame() {
        for (GVWorldCreature* view : mWalkers) {
            if (!view->GetPath().empty()) continue;
            const TVec2 at = view->GetPosition();
            view->SetPath({TVec2(at.x + kLeg, at.y), TVec2(at.x + kLeg, at.y + kLeg / 2),
                           TVec2(at.x, at.y + kLeg / 2), at});
        }
        mManager->RefreshAll();
        TheFolder().app->UpdateTasks();
        TRenderer* renderer = TRenderer::GetInstance();
        if (renderer->BeginDraw(false)) {
            mManager->Draw(kCamera);
            renderer->EndDraw(0);
        }
    }
    uint64_t Draws() const { return mSink.draws; }

private:
    std::unique_ptr<testing_support::WorldSprites> mSprites;
    bench_support::DiscardingSink mSink;
    GWorld mWorld;
    GVScene mScene;
    std::unique_ptr<GVWorldManager> mManager;
    std::vector<GVWorldCreature*> mWalkers;
};

void WorldFrameOn(benchmark::State& state, bool standIn) {
    WorldFrame world(standIn);
    if (!world.Ready()) {
        state.SkipWithError("the world's views cannot be made");
        return;
    }
    for (auto _ : state)
        world.Frame();
    state.counters["draws_per_frame"] =
        benchmark::Counter(double(world.Draws()), benchmark::Counter::kAvgIterations);
}

void BM_WorldFrame(benchmark::State& state) {
    WorldFrameOn(state, false);
}
void BM_WorldFrameStandIn(benchmark::State& state) {
    WorldFrameOn(state, true);
}
BENCHMARK(BM_WorldFrame)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_WorldFrameStandIn)->Unit(benchmark::kMicrosecond);

// Every PNG file the descriptions name, as the texture folder holds them.
std::vector<std::string> PngFiles() {
    std::vector<std::string> files;
    for (const auto& entry :
         std::filesystem::recursive_directory_iterator(std::string(ART_GAME_FOLDER) + "/anim"))
        if (entry.is_regular_file() && entry.path().extension() == ".png")
            files.push_back(entry.path().string());
    return files;
}

void BM_LoadAll(benchmark::State& state) {
    const testing_support::WorldCast& cast = *TheFolder().cast;
    const std::vector<std::string> names = cast.AllDescriptions();
    GVScene scene;
    GVFactory& factory = GVFactory::Instance();
    factory.SetDescriptionPrefix("xml/");
    factory.SetTextureFolder("anim/");
    factory.SetScene(&scene);
    for (auto _ : state) {
        for (const std::string& name : names)
            if (factory.GetObjectDesc(str(name.c_str())) == nullptr) {
                state.SkipWithError(("no template of " + name).c_str());
                return;
            }
        state.PauseTiming();
        factory.ReleaseAll();
        state.ResumeTiming();
    }
    factory.SetScene(nullptr);
    state.counters["descriptions"] = double(names.size());
}
BENCHMARK(BM_LoadAll)->Unit(benchmark::kMillisecond);

void BM_LoadAllPngAlone(benchmark::State& state) {
    const std::vector<std::string> files = PngFiles();
    std::vector<uint8_t> pixels;
    for (auto _ : state) {
        for (const std::string& file : files) {
            std::ifstream in(file, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
            png_image image = {};
            image.version = PNG_IMAGE_VERSION;
            if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) {
                state.SkipWithError(("cannot decode " + file).c_str());
                return;
            }
            image.format = PNG_FORMAT_BGRA;
            pixels.resize(PNG_IMAGE_SIZE(image));
            png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr);
            benchmark::DoNotOptimize(pixels.data());
        }
    }
    state.counters["images"] = double(files.size());
}
BENCHMARK(BM_LoadAllPngAlone)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
