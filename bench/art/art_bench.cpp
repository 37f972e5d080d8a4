// The art generator's run, a fresh process each time as the build starts it: every group with
// 2 jobs at the game's zlib level, and its peer, the same run at level 0 (the PNG writer then
// only stores), so the difference is the encoder's share; then the figures, the places and the
// landscape each alone, the run's three parts. Counters: the files written (bytes) and
// the surfaces the game makes of the sheets (sides as they are, 4 bytes a pixel).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

struct Totals {
    uint64_t fileBytes = 0;
    uint64_t surfaceBytes = 0;
};

// The PNG's width and height from its header.
void AddSurface(const std::filesystem::path& png, Totals* totals) {
    std::ifstream in(png, std::ios::binary);
    unsigned char header[24] = {};
    in.read(reinterpret_cast<char*>(header), sizeof header);
    const uint64_t w =
        (uint64_t(header[16]) << 24) | (header[17] << 16) | (header[18] << 8) | header[19];
    const uint64_t h =
        (uint64_t(header[20]) << 24) | (header[21] << 16) | (header[22] << 8) | header[23];
    auto pow2 = [](uint64_t v) {
        uint64_t p = 1;
        while (p < v)
            p *= 2;
        return p;
    };
    totals->surfaceBytes += pow2(w) * pow2(h) * 4;
}

Totals Count(const std::string& folder) {
    Totals totals;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        totals.fileBytes += entry.file_size();
        if (entry.path().extension() == ".png") AddSurface(entry.path(), &totals);
    }
    return totals;
}

void Generate(benchmark::State& state, int zlib, const char* groups = ART_GROUPS) {
    const std::string out =
        (std::filesystem::temp_directory_path() / ("bench_art." + std::to_string(zlib))).string();
    const std::string command = std::string(ARTGEN) + " --recipes " + ART_RECIPES + " --style " +
                                ART_STYLE + " --logic " + ART_LOGIC + " --out " + out +
                                " --jobs 2 --zlib " + std::to_string(zlib) + " " + groups;
    for (auto _ : state) {
        std::filesystem::remove_all(out);
        const auto start = std::chrono::steady_clock::now();
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("artgen failed");
            return;
        }
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
    }
    const Totals totals = Count(out);
    state.counters["file_MB"] = double(totals.fileBytes) / 1e6;
    state.counters["surface_MiB"] = double(totals.surfaceBytes) / (1024.0 * 1024.0);
    std::filesystem::remove_all(out);
}

void BM_Artgen(benchmark::State& state) {
    Generate(state, 6);
}
void BM_ArtgenStored(benchmark::State& state) {
    Generate(state, 0);
}
// The run's three parts, each alone.
void BM_ArtgenFigures(benchmark::State& state) {
    Generate(state, 6, ART_FIGURE_GROUPS);
}
void BM_ArtgenPlaces(benchmark::State& state) {
    Generate(state, 6, ART_PLACE_GROUPS);
}
void BM_ArtgenLandscape(benchmark::State& state) {
    Generate(state, 6, ART_LANDSCAPE_GROUPS);
}

BENCHMARK(BM_Artgen)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);
BENCHMARK(BM_ArtgenStored)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);
BENCHMARK(BM_ArtgenFigures)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);
BENCHMARK(BM_ArtgenPlaces)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);
BENCHMARK(BM_ArtgenLandscape)->UseManualTime()->Iterations(3)->Unit(benchmark::kSecond);

}  // namespace

BENCHMARK_MAIN();
