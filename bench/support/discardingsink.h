// A render sink that lets every phase through and keeps nothing, so a benchmark's figure is the
// engine's own work up to the device. It counts the draw calls it was given.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>

#include "platform/draw/rendersink.h"

namespace bench_support {

class DiscardingSink : public TRenderSink {
public:
    bool BeginFrame(bool) override { return true; }
    void EndFrame(uint32_t) override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    bool NeedsSquareTextures() override { return false; }
    void SetTexture(const std::shared_ptr<TTexture>&) override {}
    void SetBlendMode(int32_t) override {}
    void DrawVertices(int, const TVertexBatch& batch) override {
        benchmark::DoNotOptimize(&batch);
        ++draws;
    }

    uint64_t draws = 0;
};

}  // namespace bench_support
