// The scheduler in the shape of the world: every subject always has one task, and each
// completion starts its next one with a duration of 1 to 120 ticks. Measured per tick (one
// Update), and as the catch-up does it over one simulated week (jump to the next end time, then
// Update). The peer runs the same workload on a binary heap ordered by (end time, sequence
// number), to show what the ordered multiset costs.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <memory>
#include <queue>
#include <utility>
#include <vector>

#include "foundation/random.h"
#include "simulation/object.h"
#include "simulation/schedule/schedule.h"
#include "simulation/schedule/scheduletask.h"

namespace {

constexpr uint32_t kWeek = 7 * 24 * 3600;

// The peer: the same tasks, finished the same way, kept on a binary heap; ties are broken by the
// order of addition.
class HeapSchedule {
public:
    ~HeapSchedule() {
        while (!mHeap.empty()) {
            delete mHeap.top().task;
            mHeap.pop();
        }
    }
    GScheduleTask* AddTask(std::unique_ptr<GScheduleTask> task) {
        GScheduleTask* added = task.release();
        mHeap.push(Entry{added->GetEndTime(), mSequence++, added});
        return added;
    }
    void Update(uint32_t now, bool) {
        while (!mHeap.empty() && mHeap.top().endTime <= now) {
            GScheduleTask* task = mHeap.top().task;
            mHeap.pop();
            mFinished.push_back(task);
            task->Finish(true);
        }
        for (GScheduleTask* task : mFinished)
            delete task;
        mFinished.clear();
    }
    uint32_t NextEndTime() const { return mHeap.empty() ? 0 : mHeap.top().endTime; }

private:
    struct Entry {
        uint32_t endTime;
        uint64_t sequence;
        GScheduleTask* task;
        bool operator>(const Entry& other) const {
            return endTime != other.endTime ? endTime > other.endTime : sequence > other.sequence;
        }
    };

    std::priority_queue<Entry, std::vector<Entry>, std::greater<Entry>> mHeap;
    std::vector<GScheduleTask*> mFinished;
    uint64_t mSequence = 0;
};

template <typename Schedule>
struct World;

template <typename Schedule>
class Worker : public GObject {
public:
    explicit Worker(World<Schedule>& world) : GObject(kCreature), mWorld(world) {}

    void Start() {
        const uint32_t duration = static_cast<uint32_t>(mWorld.random.NextRange(1, 120));
        auto data = std::make_unique<GTaskData>();
        data->subject = this;
        auto task = std::make_unique<GScheduleTask>();
        task->Init(std::move(data), this, nullptr, mWorld.now + duration, duration, 2, 0);
        SetTask(mWorld.schedule.AddTask(std::move(task)));
    }
    void OnTaskCompleted(GTaskData*) override {
        ++mWorld.completions;
        Start();
    }
    void OnTaskCancelled(GTaskData*) override {}
    void OnTaskProgress(GTaskData*, float) override {}
    void OnVisualEvent(GVWorldObject*, const GNameMask*) override {}

private:
    World<Schedule>& mWorld;
};

template <typename Schedule>
struct World {
    explicit World(int subjects) {
        for (int i = 0; i < subjects; ++i) {
            workers.push_back(std::make_unique<Worker<Schedule>>(*this));
            workers.back()->Start();
        }
    }

    // Before the workers, which the tasks name: it goes after them.
    Schedule schedule;
    TRandom random;
    uint32_t now = 0;
    int64_t completions = 0;
    std::vector<std::unique_ptr<Worker<Schedule>>> workers;
};

template <typename Schedule>
void Tick(benchmark::State& state) {
    World<Schedule> world(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        ++world.now;
        world.schedule.Update(world.now, false);
    }
    state.counters["completions/s"] =
        benchmark::Counter(static_cast<double>(world.completions), benchmark::Counter::kIsRate);
}

template <typename Schedule>
void CatchUpWeek(benchmark::State& state) {
    int64_t steps = 0;
    for (auto _ : state) {
        World<Schedule> world(static_cast<int>(state.range(0)));
        while (world.now < kWeek) {
            world.now = world.schedule.NextEndTime();
            world.schedule.Update(world.now, true);
            ++steps;
        }
    }
    state.counters["steps"] =
        benchmark::Counter(static_cast<double>(steps), benchmark::Counter::kAvgIterations);
}

}  // namespace

static void BM_ScheduleTick(benchmark::State& state) {
    Tick<GSchedule>(state);
}
BENCHMARK(BM_ScheduleTick)->Arg(70)->Arg(500)->Iterations(100000);

static void BM_HeapTick(benchmark::State& state) {
    Tick<HeapSchedule>(state);
}
BENCHMARK(BM_HeapTick)->Arg(70)->Arg(500)->Iterations(100000);

static void BM_ScheduleCatchUpWeek(benchmark::State& state) {
    CatchUpWeek<GSchedule>(state);
}
BENCHMARK(BM_ScheduleCatchUpWeek)->Arg(70)->Arg(500)->Unit(benchmark::kMillisecond);

static void BM_HeapCatchUpWeek(benchmark::State& state) {
    CatchUpWeek<HeapSchedule>(state);
}
BENCHMARK(BM_HeapCatchUpWeek)->Arg(70)->Arg(500)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
