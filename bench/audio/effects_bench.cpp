// A sound effect as the game plays it, beside the sound asset alone, on the null device:
//   - BM_OursEffect: GSoundEffects::Play of a preloaded effect at a point of the map (the cached
//     lookup, the volume factor against the view, the play, the volume), then its end: the
//     effects group stopped, which destroys its stream and tells its sound.
//   - BM_PeerSoundPlay: TSound::Play of the same preloaded sound, then the same end.
// Three effects of the shapes the game has: a short click, a longer mono call at half the rate,
// and a three-second sound that goes through the ring. Before timing, one play of each is
// compared on the device (buffer size, bytes written, volume, loop flag).
#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "audio/soundinstance.h"
#include "audio/soundmanager.h"
#include "benchengine.h"
#include "foundation/file/fileindex.h"
#include "gamesound/soundeffects.h"
#include "gv/gvscene.h"
#include "port/control.h"
#include "oggwriter.h"

namespace {

constexpr int kEffectsGroup = 1000;

struct Shape {
    int id;
    double seconds;
    int rate;
    int channels;
};
// Button click, "no", water flowing.
constexpr Shape kShapes[] = {{1, 0.3, 44100, 2}, {2, 1.2, 22050, 1}, {19, 3.0, 44100, 2}};

// The effect's file: its path in the table without the query.
std::string EffectFile(int id) {
    std::string path = GSoundEffects::kEffectPaths[id];
    return path.substr(0, path.find('?'));
}

// Every effect as an Ogg file in memory: the three shapes for their ids, the click for the rest.
class EffectFiles {
public:
    EffectFiles() {
        for (int id = 0; id < GSoundEffects::kEffectCount; ++id) {
            Shape shape = kShapes[0];
            for (const Shape& s : kShapes) {
                if (s.id == id) shape = s;
            }
            oggfile::OggSound sound;
            sound.rate = shape.rate;
            sound.channels = shape.channels;
            sound.samples = oggfile::Sweep(shape.rate, shape.channels,
                                                   static_cast<size_t>(shape.seconds * shape.rate));
            mBytes.push_back(oggfile::WriteOgg(sound));
        }
        for (int id = 0; id < GSoundEffects::kEffectCount; ++id) {
            RegisterMemoryFile(EffectFile(id).c_str(), mBytes[id].data(),
                               static_cast<uint32_t>(mBytes[id].size()));
        }
    }
    ~EffectFiles() {
        for (int id = 0; id < GSoundEffects::kEffectCount; ++id)
            RegisterMemoryFile(EffectFile(id).c_str(), nullptr, 0);
    }

private:
    std::vector<std::string> mBytes;
};

// A point inside the scene's view: the factor 1, as for most of the game's effects.
const TVec2 kPoint{400.0f, 300.0f};

port::control::SoundBufferInfo OnePlay(Engine& engine, const std::function<void()>& play) {
    play();
    std::vector<port::control::SoundBufferInfo> buffers = port::control::SoundBuffers();
    engine.Manager()->StopGroup(kEffectsGroup);
    return buffers.size() == 1 ? buffers[0] : port::control::SoundBufferInfo{};
}

void BM_OursEffect(benchmark::State& state) {
    const int id = static_cast<int>(state.range(0));
    Engine engine;
    EffectFiles files;
    GSoundEffects effects;
    GVScene scene;
    effects.SetView(&scene);
    std::shared_ptr<TSound> peer = TSound::Get(EffectFile(id).c_str(), true, kEffectsGroup);
    port::control::SoundBufferInfo ours =
        OnePlay(engine, [&] { effects.Play(0, id, kPoint, false); });
    port::control::SoundBufferInfo theirs = OnePlay(engine, [&] { peer->Play(false); });
    if (ours.size == 0 || ours.size != theirs.size || ours.committed != theirs.committed ||
        ours.volume != theirs.volume || ours.looping != theirs.looping) {
        state.SkipWithError("the effect player's play differs from the sound's");
        return;
    }
    for (auto _ : state) {
        effects.Play(0, id, kPoint, false);
        engine.Manager()->StopGroup(kEffectsGroup);
    }
}
BENCHMARK(BM_OursEffect)->Arg(1)->Arg(2)->Arg(19)->Unit(benchmark::kMicrosecond);

void BM_PeerSoundPlay(benchmark::State& state) {
    const int id = static_cast<int>(state.range(0));
    Engine engine;
    EffectFiles files;
    std::shared_ptr<TSound> sound = TSound::Get(EffectFile(id).c_str(), true, kEffectsGroup);
    if (sound == nullptr) {
        state.SkipWithError("no sound");
        return;
    }
    for (auto _ : state) {
        sound->Play(false);
        engine.Manager()->StopGroup(kEffectsGroup);
    }
}
BENCHMARK(BM_PeerSoundPlay)->Arg(1)->Arg(2)->Arg(19)->Unit(benchmark::kMicrosecond);

}  // namespace
