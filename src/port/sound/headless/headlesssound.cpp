// The null device: nothing is heard. On the real clock a pump thread mixes, every 10 ms, the
// frames that elapsed since its last turn; on the fake clock each move of the clock mixes the
// time that passed (441 frames per 10 ms, the fraction carried) before the move returns, so that
// tests are exact.
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "port/sound/backend.h"
#include "port/sound/control.h"
#include "port/sound/output.h"
#include "port/system/clockstate.h"

namespace port::sound {
namespace {

constexpr auto kPumpPeriod = std::chrono::milliseconds(10);
// A pump that fell further behind than this (a stopped process, a loaded machine) drops the
// rest, as a sound card would, rather than racing through it.
constexpr uint64_t kMostFramesPerTurn = kOutputRate / 10;

std::atomic<bool> gPumpOn{true};

class HeadlessSound final : public SoundBackend {
public:
    const char* Name() const override { return "headless"; }

    bool Open() override {
        static std::once_flag listening;
        std::call_once(listening, [] { SetClockListener(&ClockMoved); });
        {
            std::lock_guard<std::mutex> lock(mClockLock);
            mTenthsCarried = 0;
        }
        mOpen.store(true);
        std::lock_guard<std::mutex> lock(mPumpLock);
        mStopping = false;
        mPump = std::thread([this] { Pump(); });
        return true;
    }

    void Close() override {
        mOpen.store(false);
        {
            std::lock_guard<std::mutex> lock(mPumpLock);
            mStopping = true;
        }
        mWake.notify_all();
        if (mPump.joinable()) mPump.join();
    }

    // The fake clock moved.
    void Advance(DWORD milliseconds) {
        if (!mOpen.load()) return;
        uint64_t frames;
        {
            // 44.1 frames a millisecond: tenths of a frame carried from one move to the next.
            std::lock_guard<std::mutex> lock(mClockLock);
            uint64_t tenths = uint64_t{milliseconds} * 441 + mTenthsCarried;
            frames = tenths / 10;
            mTenthsCarried = tenths % 10;
        }
        MixOutput(nullptr, frames);
    }

private:
    static void ClockMoved(DWORD milliseconds);

    void Pump() {
        using Clock = std::chrono::steady_clock;
        Clock::time_point base = Clock::now();
        uint64_t mixed = 0;
        std::unique_lock<std::mutex> lock(mPumpLock);
        while (!mWake.wait_for(lock, kPumpPeriod, [this] { return mStopping; })) {
            lock.unlock();
            Clock::time_point now = Clock::now();
            if (!gPumpOn.load() || FakeClockOn()) {
                base = now;
                mixed = 0;
            } else {
                auto micros =
                    std::chrono::duration_cast<std::chrono::microseconds>(now - base).count();
                uint64_t due = static_cast<uint64_t>(micros) * 441 / 10000;
                if (due - mixed > kMostFramesPerTurn) mixed = due - kMostFramesPerTurn;
                MixOutput(nullptr, due - mixed);
                mixed = due;
            }
            lock.lock();
        }
    }

    std::atomic<bool> mOpen{false};
    std::mutex mClockLock;
    uint64_t mTenthsCarried = 0;

    std::mutex mPumpLock;
    std::condition_variable mWake;
    bool mStopping = false;
    std::thread mPump;
};

HeadlessSound& TheHeadless() {
    // Outlives a pump still running at exit.
    static HeadlessSound* backend = new HeadlessSound;
    return *backend;
}

void HeadlessSound::ClockMoved(DWORD milliseconds) {
    TheHeadless().Advance(milliseconds);
}

}  // namespace

SoundBackend& HeadlessSoundBackend() {
    return TheHeadless();
}

}  // namespace port::sound

namespace port::control {

void SetSoundPump(bool on) {
    sound::gPumpOn.store(on);
}

}  // namespace port::control
