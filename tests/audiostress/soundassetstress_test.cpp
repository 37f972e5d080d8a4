// The sounds, their instances and their callbacks over the sound engine under real threads: the
// worker at a shortened pace and the null device mixing in real time, while a seeded main loop
// plays eight sounds (clips decoded whole, Ogg from a copy in memory, Ogg streamed from the file,
// in groups 1000 and 1001, some looping), sets volumes, pauses and stops instances, whole sounds
// and groups, changes the master and group volumes, toggles the activation, drops the last
// reference to a sound, registers callbacks, runs music cross-fades and dispatches the callbacks.
// Half the callbacks start a sound; some stop another instance of the same sound, or its group.
// The game's sound scheme plays its events among them (objects, fixed points, loops and ambient
// sounds that restart), with its volume updates and due restarts every 30 ms and a stop of one
// event or of everything now and then.
// ThreadSanitizer and AddressSanitizer watch (label tsan); the test counts what each instance's
// callback heard, checks that everything is freed after a stop of every group, and destroys the
// manager under load. UMBRAVA_STRESS_SECONDS makes it run longer by hand.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <map>
#include <random>
#include <thread>

#include "audio/oggdatasource.h"
#include "audio/sound.h"
#include "audio/soundcallback.h"
#include "audio/soundinstance.h"
#include "audio/soundlock.h"
#include "audio/soundmanager.h"
#include "audio/soundstream.h"
#include "foundation/xml/xmlnode.h"
#include "gamesound/musicmanager.h"
#include "gamesound/soundscheme.h"
#include "gv/gvviewport.h"
#include "oggfixture.h"
#include "port/control.h"
#include "simulation/nameregistry.h"
#include "stresshooks.h"
#include "support/schemeobject.h"

namespace {

using audio_testing::MemoryFiles;
using audio_testing::SweepOgg;
using Clock = std::chrono::steady_clock;

double StressSeconds() {
    const char* text = std::getenv("UMBRAVA_STRESS_SECONDS");
    double seconds = text != nullptr ? std::atof(text) : 0.0;
    return seconds > 0.0 ? seconds : 5.0;
}

// Every source the Ogg builder makes, wrapped so that the live ones are counted.
std::atomic<int> gLiveSources{0};

class CountedSource : public TSoundDataSource {
public:
    explicit CountedSource(std::shared_ptr<TSoundDataSource> source) : mSource(std::move(source)) {
        ++gLiveSources;
    }
    ~CountedSource() override { --gLiveSources; }
    uint32_t Read(uint8_t* destination, uint32_t offset, uint32_t count) override {
        return mSource->Read(destination, offset, count);
    }
    uint64_t GetTotalBytes() const override { return mSource->GetTotalBytes(); }
    uint32_t GetSampleRate() const override { return mSource->GetSampleRate(); }
    uint32_t GetChannels() const override { return mSource->GetChannels(); }
    double GetLength() const override { return mSource->GetLength(); }

private:
    std::shared_ptr<TSoundDataSource> mSource;
};

class CountingBuilder : public TSoundDataSourceBuilder {
public:
    std::shared_ptr<TSoundDataSource> Build(const str& name, bool stream) override {
        std::shared_ptr<TSoundDataSource> source = mOgg.Build(name, stream);
        return source != nullptr ? std::make_shared<CountedSource>(source) : nullptr;
    }

private:
    TOggDataSourceBuilder mOgg;
};

// The eight sounds: name, seconds, preloaded (else streamed), group.
struct SoundKind {
    const char* name;
    double seconds;
    bool preload;
    int group;
};
constexpr SoundKind kSounds[] = {
    {"clip1.ogg", 0.1, true, 1000},    {"clip2.ogg", 0.6, true, 1000},
    {"clip3.ogg", 1.5, true, 1001},    {"memory1.ogg", 3.0, true, 1000},
    {"memory2.ogg", 5.0, true, 1001},  {"stream1.ogg", 3.0, false, 1000},
    {"stream2.ogg", 6.0, false, 1001}, {"stream3.ogg", 10.0, false, 1000},
};
constexpr int kSoundCount = static_cast<int>(std::size(kSounds));

// The scheme's sounds (under "audio/sfx/"): short clips, loops that loop or come back, ambient
// sounds, for a creature, a fixed point and no object at all.
constexpr const char* kSchemeFile = R"(<SoundScheme>
    <E Object="Zebra" Event="Sick">
      <O type="trigger" src="clip1.ogg" volume="80"/>
      <O type="ambient" src="clip2.ogg" interval_min="20" interval_max="200" volume="60"/></E>
    <E Event="Sick"><O type="loop" src="clip2.ogg" delay="50"/></E>
    <E Event="Bonus" PosX="300" PosY="200">
      <O type="loop" src="clip1.ogg" delay="600" volume="100"/>
      <O type="loop" src="clip3.ogg" delay="10" volume="100"/></E>
    <E Event="Birth"><O type="ambient" src="clip1.ogg" interval_min="0" interval_max="80"/>
      <O type="ambient" src="memory1.ogg" interval_min="100" interval_max="300"/></E>
    <E Object="Gnu" Event="build"><O type="loop" src="clip2.ogg" delay="500"/></E>
  </SoundScheme>)";
constexpr int kSchemeEvents[] = {41, 61, 63, 4};

// What the test knows of an instance it registered a callback for.
struct Tracked {
    bool looping = false;
    // Registered with one of the test's receivers now.
    bool registered = false;
    // Its sound was dropped while it played: it ends without a word.
    bool silenced = false;
    int told = 0;
};

class SoundAssetStressTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterSoundDataSourceBuilder("ogg", &mBuilder);
        for (const SoundKind& kind : kSounds) {
            const std::string bytes = SweepOgg(kind.seconds);
            mFiles.Put(kind.name, bytes);
            mFiles.Put(std::string("audio/sfx/") + kind.name, bytes);
        }
        const std::string shortTrack = SweepOgg(3.0);
        const std::string longTrack = SweepOgg(7.0);
        for (int track = 0; track < kMusicTrackCount; ++track)
            mFiles.Put(kMusicTracks[track], track % 2 == 0 ? shortTrack : longTrack);
    }

    stress_testing::StressHooks mHooks{"ASSETSTRESS"};
    CountingBuilder mBuilder;
    MemoryFiles mFiles;
};

// Tells the test of each end, and does what the test asks from inside.
class Receiver : public TSoundCallBack {
public:
    std::function<void(const std::shared_ptr<TSoundInstance>&)> onDone;
    void OnSoundDone(const std::shared_ptr<TSoundInstance>& instance,
                     const std::shared_ptr<TSound>&) override {
        onDone(instance);
    }
};

TEST_F(SoundAssetStressTest, SoundsInstancesAndCallbacksUnderRealThreads) {
    auto manager = std::make_unique<TSoundManager>();
    mHooks.SetManager(manager.get());
    manager->SetWorkerPace({5, 10});
    ASSERT_TRUE(manager->StartThread());

    std::mt19937 random(72);
    auto chance = [&](double p) { return std::bernoulli_distribution(p)(random); };
    auto below = [&](size_t n) { return std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    auto volume = [&] { return std::uniform_real_distribution<float>(0.0f, 1.0f)(random); };

    std::vector<std::shared_ptr<TSound>> sounds(kSoundCount);
    auto load = [&](int index) {
        const SoundKind& kind = kSounds[index];
        sounds[index] = TSound::Get(kind.name, kind.preload, kind.group);
    };
    for (int index = 0; index < kSoundCount; ++index) {
        load(index);
        ASSERT_NE(sounds[index], nullptr) << kSounds[index].name;
    }

    std::map<std::weak_ptr<TSoundInstance>, Tracked, std::owner_less<>> tracked;
    std::vector<std::weak_ptr<TSoundStream>> streams;
    std::vector<std::shared_ptr<TSoundInstance>> held;
    Receiver receivers[2];
    // Stops the test asked for (a looping sound ends only inside one), and whether the callbacks
    // may still start and stop sounds.
    int stopDepth = 0;
    bool quiet = false;
    int loopingEndedAlone = 0;
    int toldTwice = 0;
    auto stopping = [&](auto&& stop) {
        ++stopDepth;
        stop();
        --stopDepth;
    };
    auto track = [&](const std::shared_ptr<TSoundInstance>& instance, bool looping) {
        Receiver& receiver = receivers[below(2)];
        instance->SetCallBack(&receiver, nullptr);
        Tracked& entry = tracked[instance];
        entry.looping = looping;
        entry.registered = instance->GetCallBack() == &receiver;
    };
    auto play = [&](int index, bool loop) -> std::shared_ptr<TSoundInstance> {
        std::shared_ptr<TSoundInstance> instance = sounds[index]->Play(loop);
        if (instance == nullptr) return nullptr;
        streams.push_back(instance->GetStream()->weak_from_this());
        if (loop || chance(0.6)) track(instance, loop);
        if (chance(0.5)) instance->SetVolume(volume());
        return instance;
    };
    // Another playing instance of the sound, or of its group; empty when there is none.
    auto another = [&](const std::shared_ptr<TSoundInstance>& than, bool sameSound) {
        std::shared_ptr<TSound> sound = than->GetSound();
        for (const auto& other : held) {
            std::shared_ptr<TSound> its = other->GetSound();
            if (other == than || its == nullptr || other->GetStream() == nullptr) continue;
            if (sameSound ? its == sound : its->GetGroup() == sound->GetGroup()) return other;
        }
        return std::shared_ptr<TSoundInstance>();
    };
    for (Receiver& receiver : receivers) {
        receiver.onDone = [&](const std::shared_ptr<TSoundInstance>& instance) {
            Tracked& entry = tracked[instance];
            if (++entry.told > 1) ++toldTwice;
            entry.registered = false;
            if (entry.looping && stopDepth == 0) ++loopingEndedAlone;
            if (quiet) return;
            if (chance(0.5)) {
                std::shared_ptr<TSoundInstance> started =
                    play(static_cast<int>(below(kSoundCount)), chance(0.2));
                if (started != nullptr && held.size() < 24) held.push_back(started);
            }
            if (chance(0.2)) {
                if (auto other = another(instance, true)) stopping([&] { other->Stop(); });
            } else if (chance(0.05)) {
                if (std::shared_ptr<TSound> sound = instance->GetSound()) {
                    int group = sound->GetGroup();
                    stopping([&] { manager->StopGroup(group); });
                }
            }
        };
    }

    auto music = std::make_unique<GMusicManager>();
    Clock::time_point musicStep = Clock::now();

    GNameRegistry names;
    GVViewPort view(800.0f, 600.0f, 0.0f, 0.0f);
    view.SetBounds(GVRect{0.0f, 0.0f, 2400.0f, 1800.0f});
    auto scheme = std::make_unique<GSoundScheme>();
    {
        TXmlNode document;
        document.ParseString(kSchemeFile);
        ASSERT_TRUE(scheme->Load(&document, &names));
    }
    scheme->SetViewPort(&view);
    scheme->SetEnabled(true);
    using testing_support::SchemeObject;
    SchemeObject creatures[] = {SchemeObject("Zebra"), SchemeObject("Zebra"), SchemeObject("Gnu"),
                                SchemeObject("Lion")};
    int schemePlays = 0;
    auto schemeEvent = [&](bool stop) {
        GObject* object = chance(0.5) ? &creatures[below(std::size(creatures))] : nullptr;
        const int event = kSchemeEvents[below(std::size(kSchemeEvents))];
        const float x = chance(0.5) ? 300.0f : 0.0f;
        const float y = x != 0.0f ? 200.0f : 0.0f;
        if (stop)
            stopping([&] { scheme->StopEvent(object, x, y, event); });
        else if (scheme->PlayEvent(object, x, y, event, static_cast<int>(below(7)) - 2))
            ++schemePlays;
    };
    Clock::time_point schemeStep = Clock::now();

    // The watchdog: one iteration of the loop must not take 2 seconds.
    std::atomic<int64_t> iterationStart{Clock::now().time_since_epoch().count()};
    std::atomic<bool> done{false};
    std::thread watchdog([&] {
        while (!done.load()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            auto started = Clock::time_point(Clock::duration(iterationStart.load()));
            if (!done.load() && Clock::now() - started > std::chrono::seconds(2)) {
                std::fprintf(stderr, "An iteration of the stress loop took over 2 seconds\n");
                std::abort();
            }
        }
    });

    // The loop runs for its time, and on a slow machine (a sanitizer, a loaded CI runner) a little
    // longer, until it has made enough instances for the checks at the end to mean something.
    auto loopingCount = [&] {
        size_t count = 0;
        for (const auto& entry : tracked) {
            if (entry.second.looping) ++count;
        }
        return count;
    };
    auto madeEnough = [&] { return tracked.size() > 50 && loopingCount() > 5; };
    Clock::duration longestWait{};
    const auto length = std::chrono::milliseconds(static_cast<int>(StressSeconds() * 1000));
    const Clock::time_point end = Clock::now() + length;
    const Clock::time_point lastChance = end + 3 * length;
    int turns = 0;
    while (Clock::now() < end || (!madeEnough() && Clock::now() < lastChance)) {
        iterationStart = Clock::now().time_since_epoch().count();
        {
            Clock::time_point before = Clock::now();
            TSoundLock lock(manager.get());
            longestWait = std::max(longestWait, Clock::now() - before);
        }
        std::erase_if(held, [](const auto& instance) { return instance->GetStream() == nullptr; });
        const int index = static_cast<int>(below(kSoundCount));
        switch (below(20)) {
            case 0:
            case 1:
            case 2:
                if (auto instance = play(index, chance(0.25)); instance && held.size() < 24)
                    held.push_back(instance);
                break;
            case 3:
                if (!held.empty()) held[below(held.size())]->Pause(chance(0.5));
                break;
            case 4:
                if (!held.empty()) held[below(held.size())]->SetVolume(volume());
                break;
            case 5:
                if (!held.empty()) {
                    auto instance = held[below(held.size())];
                    stopping([&] { instance->Stop(); });
                }
                break;
            case 6:
                if (chance(0.3))
                    stopping([&] { sounds[index]->StopAll(); });
                else
                    sounds[index]->PauseAll(chance(0.5));
                break;
            case 7:
                manager->PauseGroup(chance(0.6), chance(0.5) ? 1000 : 1001);
                break;
            case 8:
                if (chance(0.1)) stopping([&] { manager->StopGroup(chance(0.5) ? 1000 : 1001); });
                break;
            case 9:
                if (chance(0.5))
                    manager->SetMasterVolume(volume());
                else
                    manager->SetGroupVolume(chance(0.5) ? 1000 : 1001, volume());
                break;
            case 10:
                manager->SetActive(chance(0.7));
                break;
            case 11:
                if (chance(0.2)) {
                    // Its instances stop without a word.
                    for (auto& [weak, entry] : tracked) {
                        auto instance = weak.lock();
                        if (instance != nullptr && entry.told == 0 &&
                            instance->GetSound() == sounds[index])
                            entry.silenced = true;
                    }
                    sounds[index].reset();
                    load(index);
                }
                break;
            case 12:
                if (!held.empty()) {
                    auto instance = held[below(held.size())];
                    if (instance->GetStream() != nullptr && tracked.count(instance) != 0 &&
                        tracked[instance].told == 0) {
                        if (chance(0.3)) {
                            instance->SetCallBack(nullptr, nullptr);
                            tracked[instance].registered = false;
                        } else {
                            track(instance, tracked[instance].looping);
                        }
                    }
                }
                break;
            case 13:
                if (chance(0.2)) {
                    stopping([&] {
                        if (chance(0.15)) {
                            music->StopMusic();
                        } else {
                            music->PlayMusic(static_cast<int>(below(8)), chance(0.8), chance(0.5),
                                             chance(0.3));
                        }
                    });
                }
                break;
            case 14:
                if (!held.empty() && chance(0.3)) held.erase(held.begin() + below(held.size()));
                break;
            default:
                if (chance(0.05)) {
                    stopping([&] { scheme->StopAll(); });
                } else if (chance(0.1)) {
                    view.MoveTo(TVec2(static_cast<float>(below(1600)), 0.0f));
                    scheme->Update();
                } else {
                    schemeEvent(chance(0.2));
                }
                break;
        }
        if (Clock::now() - schemeStep >= std::chrono::milliseconds(30)) {
            schemeStep = Clock::now();
            scheme->UpdateVolumes();
            scheme->StartDueSounds();
        }
        if (Clock::now() - musicStep >= std::chrono::milliseconds(100)) {
            musicStep = Clock::now();
            stopping([&] { music->Update(); });
        }
        manager->DispatchCallbacks();
        ++turns;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    std::printf("%d turns; the longest wait of the main thread for the sound lock: %.3f ms\n",
                turns, std::chrono::duration<double, std::milli>(longestWait).count());

    // Every group stopped: nothing is left in the manager, every instance that ended or was
    // stopped while registered was told exactly once, and once the sounds are let go every
    // source is freed (the spoolers, which hold them, too).
    quiet = true;
    manager->SetActive(true);
    music->StopMusic();
    std::printf("the scheme: %d plays started; at the end %zu playing, %zu waiting to restart\n",
                schemePlays, scheme->GetInstances().size(), scheme->GetPending().size());
    // About one turn in 25 starts a scheme sound, however many turns the machine ran.
    EXPECT_GE(schemePlays, turns / 60);
    EXPECT_GT(schemePlays, 0);
    EXPECT_TRUE(scheme->IsStarted());
    stopping([&] { scheme->StopAll(); });
    EXPECT_TRUE(scheme->GetInstances().empty());
    scheme.reset();
    stopping([&] { manager->StopGroup(-1); });
    manager->DispatchCallbacks();
    EXPECT_EQ(manager->GetStreamCount(), 0u);
    size_t streamsLeft = 0;
    for (const auto& stream : streams) {
        if (!stream.expired()) ++streamsLeft;
    }
    EXPECT_EQ(streamsLeft, 0u) << "of " << streams.size();
    EXPECT_EQ(toldTwice, 0);
    EXPECT_EQ(loopingEndedAlone, 0);
    size_t untold = 0;
    for (const auto& [weak, entry] : tracked) {
        if (!entry.silenced && entry.registered) ++untold;
    }
    EXPECT_EQ(untold, 0u) << "of " << tracked.size() << " instances";
    EXPECT_GT(tracked.size(), 50u);
    EXPECT_GT(loopingCount(), 5u);
    held.clear();
    for (auto& sound : sounds)
        sound.reset();
    music.reset();
    EXPECT_EQ(gLiveSources.load(), 0);
    EXPECT_TRUE(port::control::SoundBuffers().empty());

    // Under load again, the manager goes within a worker's pass and tells nobody.
    music = std::make_unique<GMusicManager>();
    for (int index = 0; index < kSoundCount; ++index) {
        load(index);
        held.push_back(play(index, index % 3 == 0));
    }
    music->PlayMusic(7, true, false, true);
    for (int turn = 0; turn < 100; ++turn) {
        manager->DispatchCallbacks();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    auto told = [&] {
        int count = 0;
        for (const auto& [weak, entry] : tracked)
            count += entry.told;
        return count;
    };
    const int toldBefore = told();
    Clock::time_point before = Clock::now();
    mHooks.SetManager(nullptr);
    manager.reset();
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - before);
    EXPECT_LT(took.count(), 200);
    EXPECT_EQ(told(), toldBefore);
    for (const auto& instance : held)
        EXPECT_EQ(instance->GetStream(), nullptr);
    held.clear();
    for (auto& sound : sounds)
        sound.reset();
    music.reset();
    EXPECT_EQ(gLiveSources.load(), 0);
    done = true;
    watchdog.join();
}

}  // namespace
