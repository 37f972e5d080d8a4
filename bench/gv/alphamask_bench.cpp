// The alpha hit tester on 64 frames of 256 × 256 cut alternately from two 1024 × 1024 images:
// building every mask (pixels per second), beside a memcpy of the same rows of the same images
// (the physical limit of reading them), and hit tests at points spread over the frames.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "foundation/assetmanager.h"
#include "foundation/str.h"
#include "foundation/xml/xmlnode.h"
#include "gv/hittest/gvalphahittester.h"
#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvtexture.h"
#include "platform/texture/texture.h"
#include "platform/texture/texturedata.h"

namespace {

constexpr int kImageSide = 1024;
constexpr int kFrameSide = 256;
constexpr int kFrames = 64;
constexpr int64_t kPixelsPerBuild = int64_t(kFrames) * kFrameSide * kFrameSide;

// Two images in the texture cache and an object with a frame list over them.
struct Sheet {
    Sheet() {
        SetAssetManager(&manager);
        const char* names[] = {"anim/sheet0.png", "anim/sheet1.png"};
        str images = "<images>";
        for (int image = 0; image < 2; ++image) {
            std::shared_ptr<TTexture> texture =
                TTexture::CreateRegistered(TTexture::MakeKey(names[image], false, false, false));
            std::vector<uint32_t> pixels(size_t(kImageSide) * kImageSide);
            // Each 256 × 256 tile holds a disc of a different size with a few stray pixels: a
            // sprite with soft edges.
            std::mt19937 random(7 + image);
            for (int y = 0; y < kImageSide; ++y) {
                for (int x = 0; x < kImageSide; ++x) {
                    int tile = (y / kFrameSide) * 4 + x / kFrameSide;
                    int dx = x % kFrameSide - kFrameSide / 2;
                    int dy = y % kFrameSide - kFrameSide / 2;
                    int radius = 40 + tile * 5;
                    int distance = dx * dx + dy * dy;
                    uint32_t alpha = distance < radius * radius ? 255 : (random() % 64 == 0 ? 90 : 0);
                    pixels[size_t(y) * kImageSide + x] = (alpha << 24) | 0x336699u;
                }
            }
            texture->GetData()->CreateSurface(kImageSide, kImageSide, true);
            texture->GetData()->SetPixels(kImageSide, kImageSide, pixels.data());
            textures.push_back(texture);
            images += str::Format("<img name=\"sheet%d.png\"/>", image);
        }
        images += "</images>";
        str frameList = "<framelist>";
        for (int i = 0; i < kFrames; ++i) {
            int tile = (i / 2) % 16;
            frameList += str::Format("<frame img=\"%d\" x=\"%d\" y=\"%d\" w=\"%d\" h=\"%d\"/>",
                                     i % 2, (tile % 4) * kFrameSide, (tile / 4) * kFrameSide,
                                     kFrameSide, kFrameSide);
        }
        frameList += "</framelist>";

        imagesNode.ParseString(images.c_str());
        framesNode.ParseString(frameList.c_str());
        auto set = std::make_shared<GVTextures>();
        set->Load(imagesNode.FindChild("images"), &object);
        object.SetTextures(set);
        auto frames = std::make_shared<GVFrames>();
        frames->Load(framesNode.FindChild("framelist"), &object);
        object.SetFrames(frames);
    }
    ~Sheet() { SetAssetManager(nullptr); }

    TAssetManager manager;
    std::vector<std::shared_ptr<TTexture>> textures;
    TXmlNode imagesNode;
    TXmlNode framesNode;
    GVObject object;
};

Sheet& TheSheet() {
    static Sheet sheet;
    return sheet;
}

void BM_BuildAlphaMasks(benchmark::State& state) {
    Sheet& sheet = TheSheet();
    GVAlphaHitTester tester;
    for (auto _ : state) {
        bool built = tester.Build(&sheet.object);
        benchmark::DoNotOptimize(built);
    }
    state.counters["pixels/s"] = benchmark::Counter(
        double(kPixelsPerBuild) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(kPixelsPerBuild * 4 * state.iterations());
}
BENCHMARK(BM_BuildAlphaMasks)->Unit(benchmark::kMillisecond);

// The same rows of the same images, copied into one frame-sized buffer.
void BM_MemcpySameRows(benchmark::State& state) {
    Sheet& sheet = TheSheet();
    std::vector<uint32_t> scratch(size_t(kFrameSide) * kFrameSide);
    const GVFrames& frames = *sheet.object.GetFrames();
    for (auto _ : state) {
        for (int32_t i = 0; i < frames.GetCount(); ++i) {
            const GVFrame& frame = *frames.GetAt(i);
            const std::shared_ptr<TTexture>& texture = sheet.textures[size_t(frame.image)];
            uint32_t* pixels = nullptr;
            int pitch = 0;
            texture->Lock(&pixels, &pitch);
            for (int y = 0; y < kFrameSide; ++y)
                std::memcpy(&scratch[size_t(y) * kFrameSide],
                            pixels + size_t(frame.top + y) * pitch + frame.left,
                            kFrameSide * sizeof(uint32_t));
            texture->Unlock();
            benchmark::ClobberMemory();
        }
    }
    state.counters["pixels/s"] = benchmark::Counter(
        double(kPixelsPerBuild) * double(state.iterations()), benchmark::Counter::kIsRate);
    state.SetBytesProcessed(kPixelsPerBuild * 4 * state.iterations());
}
BENCHMARK(BM_MemcpySameRows)->Unit(benchmark::kMillisecond);

void BM_HitTest(benchmark::State& state) {
    Sheet& sheet = TheSheet();
    GVAlphaHitTester tester;
    tester.Build(&sheet.object);
    const GVFrames& frames = *sheet.object.GetFrames();
    struct Probe {
        const GVFrame* frame;
        int32_t x;
        int32_t y;
    };
    std::vector<Probe> probes;
    std::mt19937 random(11);
    for (int i = 0; i < 4096; ++i)
        probes.push_back({frames.GetAt(int32_t(random() % kFrames)), int32_t(random() % kFrameSide),
                          int32_t(random() % kFrameSide)});
    int64_t hits = 0;
    for (auto _ : state) {
        for (const Probe& probe : probes)
            hits += tester.HitTest(probe.x, probe.y, *probe.frame) ? 1 : 0;
        benchmark::DoNotOptimize(hits);
    }
    state.counters["tests/s"] = benchmark::Counter(double(probes.size()) * double(state.iterations()),
                                                  benchmark::Counter::kIsRate);
}
BENCHMARK(BM_HitTest);

}  // namespace

BENCHMARK_MAIN();
