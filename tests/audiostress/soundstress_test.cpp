// The sound engine under real threads: the worker, at a shortened pace, refills eight streams
// (decoded whole in memory, decoded from a compressed copy in memory, and streamed from their
// files, some looping) while the main thread plays, pauses, stops, sets volumes, toggles the
// activation, stops groups and dispatches the callbacks, and some notifications stop another
// stream from inside. ThreadSanitizer watches (label tsan); the test counts the notifications:
// each stream's target hears of it exactly once. UMBRAVA_STRESS_SECONDS makes it run longer by
// hand.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <random>
#include <thread>

#include "audio/oggdatasource.h"
#include "audio/soundmanager.h"
#include "audio/soundstream.h"
#include "audio/streamnotify.h"
#include "oggfixture.h"
#include "port/control.h"
#include "stresshooks.h"

namespace {

using audio_testing::MemoryFiles;
using audio_testing::SweepOgg;
using Clock = std::chrono::steady_clock;

// Counts what it hears; one of them stops another stream from inside its notification.
class CountingNotify : public TStreamNotify {
public:
    void OnStreamDone(TSoundStream* stream) override {
        ++told;
        if (stopOther) stopOther(stream);
    }
    int told = 0;
    std::function<void(TSoundStream*)> stopOther;
};

double StressSeconds() {
    const char* text = std::getenv("UMBRAVA_STRESS_SECONDS");
    double seconds = text != nullptr ? std::atof(text) : 0.0;
    return seconds > 0.0 ? seconds : 5.0;
}

class SoundStressTest : public ::testing::Test {
protected:
    void SetUp() override {
        RegisterOggDataSourceBuilder();
        mFiles.Put("short.ogg", SweepOgg(1.5));
        mFiles.Put("long.ogg", SweepOgg(3.0));
    }

    stress_testing::StressHooks mHooks{"STRESS"};
    MemoryFiles mFiles;
};

TEST_F(SoundStressTest, TheWorkerAndTheMainThreadShareTheStreams) {
    auto manager = std::make_unique<TSoundManager>();
    mHooks.SetManager(manager.get());
    manager->SetWorkerPace({5, 10});
    ASSERT_TRUE(manager->StartThread());

    std::mt19937 random(2024);
    std::vector<std::shared_ptr<CountingNotify>> targets;
    std::vector<std::weak_ptr<TSoundStream>> streams;
    auto live = [&] {
        std::vector<std::shared_ptr<TSoundStream>> alive;
        for (const auto& stream : streams) {
            if (auto held = stream.lock()) alive.push_back(held);
        }
        return alive;
    };
    auto pick = [&](const std::vector<std::shared_ptr<TSoundStream>>& alive) {
        return alive[std::uniform_int_distribution<size_t>(0, alive.size() - 1)(random)];
    };
    auto play = [&](int kind) {
        struct Kind {
            const char* name;
            bool stream;
        } kinds[] = {{"short.ogg", false}, {"long.ogg", false}, {"long.ogg", true}};
        const Kind& k = kinds[kind % 3];
        std::shared_ptr<TSoundDataSource> source = CreateSoundDataSource(k.name, k.stream);
        bool loop = kind % 4 == 0;
        auto target = std::make_shared<CountingNotify>();
        if (kind % 5 == 0) {
            target->stopOther = [&](TSoundStream* self) {
                for (const auto& other : live()) {
                    if (other.get() != self) {
                        other->Stop(false);
                        break;
                    }
                }
            };
        }
        auto* stream = new TSoundStream(manager.get(), std::make_unique<TStreamSpooler>(source),
                                        loop, kind % 2 == 0 ? 1000 : 1001, target);
        stream->CreateBuffer(source->GetSampleRate(), source->GetChannels(), 16, 2.0f);
        stream->Play(!loop && stream->GetBufferLength() > source->GetLength());
        targets.push_back(target);
        streams.push_back(stream->weak_from_this());
    };

    const Clock::time_point end =
        Clock::now() + std::chrono::milliseconds(static_cast<int>(StressSeconds() * 1000));
    int turn = 0;
    while (Clock::now() < end) {
        std::vector<std::shared_ptr<TSoundStream>> alive = live();
        if (alive.size() < 8) {
            play(turn);
        } else {
            std::shared_ptr<TSoundStream> stream = pick(alive);
            switch (std::uniform_int_distribution<int>(0, 9)(random)) {
                case 0:
                    stream->Pause(true);
                    break;
                case 1:
                    stream->Pause(false);
                    break;
                case 2:
                    stream->Stop(random() % 2 == 0);
                    break;
                case 3:
                    stream->SetVolume(std::uniform_real_distribution<float>(0, 1)(random));
                    break;
                case 4:
                    manager->SetMasterVolume(std::uniform_real_distribution<float>(0, 1)(random));
                    break;
                case 5:
                    manager->SetGroupVolume(1000, 0.5f);
                    break;
                case 6:
                    manager->SetActive(random() % 2 == 0);
                    break;
                case 7:
                    manager->PauseGroup(random() % 2 == 0, 1001);
                    break;
                case 8:
                    if (random() % 10 == 0) manager->StopGroup(-1);
                    break;
                default:
                    break;
            }
        }
        alive.clear();
        manager->DispatchCallbacks();
        ++turn;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    manager->SetActive(true);

    // Gone with streams playing and the worker at its pace: within a pass.
    Clock::time_point before = Clock::now();
    manager.reset();
    mHooks.SetManager(nullptr);
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - before);
    EXPECT_LT(took.count(), 200);

    size_t wrong = 0;
    for (const auto& target : targets) {
        if (target->told != 1) ++wrong;
    }
    EXPECT_EQ(wrong, 0u) << "of " << targets.size() << " streams";
    EXPECT_GT(targets.size(), 8u);
    EXPECT_TRUE(port::control::SoundBuffers().empty());
}

}  // namespace
