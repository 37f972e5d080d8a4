// Decoding through the sound engine beside libvorbisfile alone, on the same 60-second file of
// 44,100 Hz stereo (a sweep, a chord and a noisy passage, 20 seconds each, at Vorbis quality 0.4,
// as game music is encoded), streamed from a file on disk:
//   - BM_OursOneSecond: one second through the Ogg source and the spooler (a looping read, the
//     sound lock taken for each source read, as the worker does); BM_PeerOneSecond: ov_read
//     alone until the same second is there, seeking back to the start at the end as the loop does.
//   - BM_OursWorkerPass: one worker pass refilling a half (one second) of each of 32 streams on
//     the null device; the device's clock moves between passes untimed. BM_PeerThirtyTwoSeconds:
//     ov_read decoding the same second from 32 decoders.
// Before timing, the first second of both is compared byte for byte.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#define OV_EXCLUDE_STATIC_CALLBACKS
#include <vorbis/vorbisfile.h>

#include "audio/oggdatasource.h"
#include "audio/soundmanager.h"
#include "audio/soundstream.h"
#include "audio/streamspooler.h"
#include "benchengine.h"
#include "port/control.h"
#include "oggwriter.h"

namespace {

constexpr uint32_t kSecond = 176400;
constexpr int kStreams = 32;

// The 60-second file on disk, written once per process.
const std::string& MusicFile() {
    static const std::string path = [] {
        const int rate = 44100;
        const size_t part = 20 * rate;
        std::vector<int16_t> samples = oggfile::Sweep(rate, 2, part, 100.0, 8000.0);
        std::vector<int16_t> chord = oggfile::SineTone(rate, 2, part, 220.0, 0.3);
        std::vector<int16_t> fifth = oggfile::SineTone(rate, 2, part, 330.0, 0.3);
        std::mt19937 random(7);
        std::normal_distribution<double> noise(0.0, 2500.0);
        for (size_t i = 0; i < chord.size(); ++i)
            chord[i] = static_cast<int16_t>(chord[i] + fifth[i]);
        samples.insert(samples.end(), chord.begin(), chord.end());
        for (size_t i = 0; i < part; ++i) {
            double tone = 6000.0 * std::sin(i * 0.031);
            for (int c = 0; c < 2; ++c)
                samples.push_back(static_cast<int16_t>(tone + noise(random)));
        }
        oggfile::OggSound sound;
        sound.samples = std::move(samples);
        sound.quality = 0.4f;
        std::string bytes = oggfile::WriteOgg(sound);
        std::string file =
            (std::filesystem::temp_directory_path() / "umbrava-bench-music.ogg").string();
        FILE* out = std::fopen(file.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
        return file;
    }();
    return path;
}

std::shared_ptr<TSoundDataSource> StreamedSource() {
    return CreateSoundDataSource(("::" + MusicFile()).c_str(), true);
}

// ov_read until the bytes are there, from the start again at the end.
void PeerRead(OggVorbis_File* file, uint8_t* out, uint32_t bytes) {
    uint32_t done = 0;
    int section = 0;
    while (done < bytes) {
        long got = ov_read(file, reinterpret_cast<char*>(out + done),
                           static_cast<int>(bytes - done), 0, 2, 1, &section);
        if (got <= 0) {
            ov_pcm_seek(file, 0);
            continue;
        }
        done += static_cast<uint32_t>(got);
    }
}

struct PeerFile {
    PeerFile() { ov_fopen(MusicFile().c_str(), &file); }
    ~PeerFile() { ov_clear(&file); }
    OggVorbis_File file;
};

bool SameFirstSecond() {
    Engine engine;
    TStreamSpooler spooler(StreamedSource());
    std::vector<uint8_t> ours(kSecond);
    std::vector<uint8_t> peer(kSecond);
    uint32_t written = 0;
    spooler.Read(kSecond, ours.data(), written, true);
    PeerFile file;
    PeerRead(&file.file, peer.data(), kSecond);
    return written == kSecond && ours == peer;
}

void BM_OursOneSecond(benchmark::State& state) {
    if (!SameFirstSecond()) {
        state.SkipWithError("the outputs differ");
        return;
    }
    Engine engine;
    TStreamSpooler spooler(StreamedSource());
    std::vector<uint8_t> buffer(kSecond);
    uint32_t written = 0;
    for (auto _ : state) {
        spooler.Read(kSecond, buffer.data(), written, true);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSecond);
}
BENCHMARK(BM_OursOneSecond)->Unit(benchmark::kMillisecond);

void BM_PeerOneSecond(benchmark::State& state) {
    PeerFile file;
    std::vector<uint8_t> buffer(kSecond);
    for (auto _ : state) {
        PeerRead(&file.file, buffer.data(), kSecond);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSecond);
}
BENCHMARK(BM_PeerOneSecond)->Unit(benchmark::kMillisecond);

void BM_OursWorkerPass(benchmark::State& state) {
    Engine engine;
    TSoundManager* manager = engine.Manager();
    for (int i = 0; i < kStreams; ++i) {
        std::shared_ptr<TSoundDataSource> source = StreamedSource();
        auto* stream = new TSoundStream(manager, std::make_unique<TStreamSpooler>(source), true,
                                        1001, nullptr);
        stream->CreateBuffer(44100, 2, 16, 2.0f);
        stream->Play(false);
    }
    // The play position in the middle of the first half: the first pass fills the second.
    port::control::AdvanceTime(500);
    manager->RunWorkerPass();
    for (auto _ : state) {
        state.PauseTiming();
        port::control::AdvanceTime(1000);  // one half played by every stream
        state.ResumeTiming();
        manager->RunWorkerPass();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSecond * kStreams);
}
BENCHMARK(BM_OursWorkerPass)->Unit(benchmark::kMillisecond);

void BM_PeerThirtyTwoSeconds(benchmark::State& state) {
    std::vector<std::unique_ptr<PeerFile>> files;
    for (int i = 0; i < kStreams; ++i)
        files.push_back(std::make_unique<PeerFile>());
    std::vector<uint8_t> buffer(kSecond);
    for (auto _ : state) {
        for (auto& file : files) {
            PeerRead(&file->file, buffer.data(), kSecond);
            benchmark::DoNotOptimize(buffer.data());
        }
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kSecond * kStreams);
}
BENCHMARK(BM_PeerThirtyTwoSeconds)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
