// The sound generator's synthesis and encoding beside encoding alone (README.md).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "instrument.h"
#include "item.h"
#include "score.h"
#include "sound.h"

namespace {

const char kScore[] =
    "tempo 120\nsteps 2\nreverb mix=0.25 size=0.5\nhuman 0.005\ntail 0\n"
    "pattern a\n"
    "track marimba vol=0.5 | C4 G4 E4 G4 C4 G4 E4 G4 | A3 E4 C4 E4 A3 E4 C4 E4 |\n"
    "track kalimba vol=0.4 | E5 . G5 . A5 G5 E5 - | C5 . D5 E5 - - . . |\n"
    "track pad vol=0.45 | C4+E4+G4 - - - - - - - | A3+C4+E4 - - - - - - - |\n"
    "track bass vol=0.6 | C3 - - . C3 . G2 . | A2 - - . A2 . E2 . |\n"
    "track conga vol=0.5 | x . . x' . . x . | x . . x' . . x x' |\n"
    "track shaker vol=0.35 | . x' . x' . x' . x | . x' . x' . x' . x |\n"
    "pattern b\n"
    "track marimba vol=0.5 | C4 G4 E4 G4 C4 G4 E4 G4 |\n"
    "track pad vol=0.45 | C4+E4+G4 - - - - - - - |\n"
    "track conga vol=0.5 | x . . x' . . x . |\n"
    "play a a b\n";

struct Fixture {
    sndgen::InstrumentFile instruments;
    std::string score;
    bool ok = false;

    Fixture() {
        std::string error;
        if (!sndgen::ReadInstrumentFile(SNDGEN_INSTRUMENTS, &instruments, &error)) return;
        score = (std::filesystem::temp_directory_path() / "bench_sndgen_score.txt").string();
        std::ofstream(score) << kScore;
        ok = true;
    }
    ~Fixture() { std::filesystem::remove(score); }
};

Fixture& Shared() {
    static Fixture fixture;
    return fixture;
}

bool Render(sndgen::Sound* sound) {
    std::string error;
    if (!sndgen::RenderScore(Shared().score, Shared().instruments, sound, &error)) return false;
    sndgen::Finish(*sound, {-20.0, -3.0});
    return true;
}

void BM_OursSynthesiseAndEncode(benchmark::State& state) {
    if (!Shared().ok) return state.SkipWithError("the instruments do not read");
    for (auto _ : state) {
        sndgen::Sound sound;
        if (!Render(&sound)) return state.SkipWithError("the score does not render");
        benchmark::DoNotOptimize(sndgen::EncodeSound(sound, "bench", 0.4f));
    }
}
BENCHMARK(BM_OursSynthesiseAndEncode)->Unit(benchmark::kMillisecond);

void BM_PeerEncode(benchmark::State& state) {
    sndgen::Sound sound;
    if (!Shared().ok || !Render(&sound)) return state.SkipWithError("the score does not render");
    sndgen::Sound again;
    Render(&again);
    if (sndgen::EncodeSound(sound, "bench", 0.4f) != sndgen::EncodeSound(again, "bench", 0.4f))
        return state.SkipWithError("two renders differ");
    for (auto _ : state)
        benchmark::DoNotOptimize(sndgen::EncodeSound(sound, "bench", 0.4f));
}
BENCHMARK(BM_PeerEncode)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
