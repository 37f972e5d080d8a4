// The world's loading of the sound scheme beside the reading of its file alone:
//   - BM_OursSchemeLoad: TXmlNode::LoadFile of a scheme file of 300 elements, then
//     GSoundScheme::Load of the document with the world's name registry (the events looked up,
//     every variant of every option asked for through TSound::Get, the table built).
//   - BM_PeerSchemeFile: TXmlNode::LoadFile of the same file alone.
// The file mixes what a game's scheme holds: creatures' chatter with voice packs (five files an
// option), task sounds that loop, stings of one sound, and fixed points of ambient sounds. Its
// sounds are tiny tones (support/tinysounds.h), so no decoding is timed; the application's asset
// manager is installed, as in the game, so a sound asked for again within a load is found.
#include <benchmark/benchmark.h>

#include <string>

#include "audio/sound.h"
#include "foundation/assetmanager.h"
#include "foundation/file/fileindex.h"
#include "foundation/xml/xmlnode.h"
#include "gamesound/soundscheme.h"
#include "simulation/nameregistry.h"
#include "support/tinysounds.h"

namespace {

constexpr int kElements = 300;
constexpr const char* kSchemeFile = "xml/sound_scheme.xml";
constexpr const char* kCreatures[] = {"Puff", "Zebra",   "Gnu",      "Lion",    "Hyena", "Ape",
                                      "Bird", "Giraffe", "Elephant", "Gorilla", "Mole",  "Sheep"};
// Task kinds of the world's registry, as the file names them.
constexpr const char* kTasks[] = {
    "breed",        "forage",     "gatherwater", "build",   "doctor",       "defend",
    "flakeout",     "research",   "rest",        "eating",  "drinking",     "go_for_food",
    "go_for_water", "devolve",    "productitem", "runaway", "collectherbs", "failure",
    "drop",         "waitforark", "unload",      "explore", "training"};

// Every element a key of its own: the creatures take turns, each with another event a turn.
std::string SchemeText() {
    constexpr int kCreatureCount = static_cast<int>(std::size(kCreatures));
    std::string text = "<?xml version=\"1.0\"?>\n<SoundScheme>\n";
    int turn = 0;
    for (int i = 0; i < kElements; ++i) {
        const std::string id = std::to_string(i);
        if (i % 10 == 0) {
            // A fixed point: the sea or the birds.
            text += "  <Element PosX=\"" + std::to_string(150 * i) + "\" PosY=\"" +
                    std::to_string(40 * i) +
                    "\" Event=\"Bonus\">\n"
                    "    <Option type=\"ambient\" src=\"sea_" +
                    id +
                    ".ogg\" volume=\"60\" interval_min=\"3000\" interval_max=\"9000\"/>\n"
                    "  </Element>\n";
            continue;
        }
        const int creature = turn % kCreatureCount;
        const int round = turn / kCreatureCount;
        ++turn;
        const std::string object = kCreatures[creature];
        if (creature % 3 == 0) {
            // A task's working sound, named by its kind.
            const std::string task = kTasks[round];
            text += "  <Element Object=\"" + object + "\" Event=\"" + task +
                    "\">\n"
                    "    <Option type=\"loop\" src=\"work_" +
                    id +
                    ".ogg\" volume=\"70\" delay=\"800\"/>\n"
                    "  </Element>\n";
        } else if (creature % 3 == 1) {
            // Chatter: two calls in five voices.
            text += "  <Element Object=\"" + object + "\" Event=\"" + kSchemeEventNames[round] +
                    "\" VoicePack=\"1\">\n"
                    "    <Option type=\"trigger\" src=\"call_" +
                    id +
                    ".ogg\" volume=\"90\"/>\n"
                    "    <Option type=\"trigger\" src=\"call2_" +
                    id +
                    ".ogg\" volume=\"85\"/>\n"
                    "  </Element>\n";
        } else {
            // A sting of one sound.
            text += "  <Element Object=\"" + object + "\" Event=\"" + kSchemeEventNames[round] +
                    "\">\n"
                    "    <Option type=\"trigger\" src=\"sting_" +
                    id +
                    ".ogg\" volume=\"100\"/>\n"
                    "  </Element>\n";
        }
    }
    return text + "</SoundScheme>\n";
}

// The scheme file in memory, the tiny sounds and the asset manager, for the benchmark's span.
class SchemeFiles {
public:
    SchemeFiles() : mText(SchemeText()) {
        mSounds.record = false;
        RegisterMemoryFile(kSchemeFile, mText.data(), static_cast<uint32_t>(mText.size()));
        SetAssetManager(&mAssets);
    }
    ~SchemeFiles() {
        SetAssetManager(nullptr);
        RegisterMemoryFile(kSchemeFile, nullptr, 0);
    }
    SchemeFiles(const SchemeFiles&) = delete;
    SchemeFiles& operator=(const SchemeFiles&) = delete;

    const GNameRegistry& Names() const { return mNames; }

private:
    GNameRegistry mNames;
    std::string mText;
    TAssetManager mAssets;
    testing_support::TinySounds mSounds;
};

void BM_OursSchemeLoad(benchmark::State& state) {
    SchemeFiles files;
    GSoundScheme scheme;
    {
        TXmlNode document;
        document.LoadFile(kSchemeFile);
        if (!scheme.Load(&document, &files.Names()) || scheme.GetTable().size() != kElements) {
            state.SkipWithError("the scheme file did not load whole");
            return;
        }
    }
    for (auto _ : state) {
        TXmlNode document;
        document.LoadFile(kSchemeFile);
        benchmark::DoNotOptimize(scheme.Load(&document, &files.Names()));
    }
}
BENCHMARK(BM_OursSchemeLoad)->Unit(benchmark::kMicrosecond);

void BM_PeerSchemeFile(benchmark::State& state) {
    SchemeFiles files;
    for (auto _ : state) {
        TXmlNode document;
        document.LoadFile(kSchemeFile);
        benchmark::DoNotOptimize(document.GetChildren().size());
    }
}
BENCHMARK(BM_PeerSchemeFile)->Unit(benchmark::kMicrosecond);

}  // namespace
