// One idle turn of the main loop walks the task list: the cost per task when none is due, and
// when every task runs.
#include <benchmark/benchmark.h>

#include "foundation/task/animtask.h"
#include "foundation/task/taskmanager.h"
#include "port/control.h"

namespace {

class CountTask : public TAnimTask {
public:
    bool Animate() override {
        ++runs;
        return true;
    }
    int runs = 0;
};

void Fill(TTaskManager& manager, int count, uint32_t interval) {
    for (int i = 0; i < count; ++i) {
        auto* task = new CountTask;
        task->SetTimer(interval, true, true, false);
        manager.AddTask(task);
    }
}

}  // namespace

static void BM_TaskUpdateNoneDue(benchmark::State& state) {
    port::control::UseFakeClock(true);
    port::control::SetTime(1000);
    TTaskManager manager;
    Fill(manager, static_cast<int>(state.range(0)), 1000000);
    for (auto _ : state)
        manager.Update(0);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    port::control::UseFakeClock(false);
}
BENCHMARK(BM_TaskUpdateNoneDue)->Arg(100);

static void BM_TaskUpdateAllDue(benchmark::State& state) {
    port::control::UseFakeClock(true);
    port::control::SetTime(1000);
    TTaskManager manager;
    Fill(manager, static_cast<int>(state.range(0)), 0);
    for (auto _ : state) {
        port::control::AdvanceTime(1);
        manager.Update(0);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    port::control::UseFakeClock(false);
}
BENCHMARK(BM_TaskUpdateAllDue)->Arg(100);
