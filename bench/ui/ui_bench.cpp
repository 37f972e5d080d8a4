// The window manager's two hot paths on 2,000 windows (bench/ui/README.md): a pointer move routed
// to the window under it, and a frame drawn into a render sink that discards. Their peers, in the
// same run on the same rectangles: one flat loop that hit-tests every rectangle, and every
// rectangle filled straight through TRenderer::FillRect. An idle turn with nothing to redraw must
// draw nothing.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "../support/besttimes.h"
#include "math/vec4.h"
#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/platform.h"
#include "platform/platformevent.h"
#include "platform/win32platform.h"
#include "port/control.h"
#include "port/window/control.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowsystem.h"

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;
// Dialogs above the screen; the windows are shared among the screen and these.
constexpr int kDialogs = 3;
constexpr int kWindows = 2000;
constexpr TVec4 kColour{0.5f, 0.5f, 0.5f, 1.0f};

// Takes every call and draws nothing; counts the frames.
class TDiscardingSink : public TRenderSink {
public:
    bool BeginFrame(bool) override {
        ++frames;
        return true;
    }
    void EndFrame(uint32_t) override {}
    bool Begin2d() override { return true; }
    void End2d() override {}
    bool NeedsSquareTextures() override { return false; }
    void SetTexture(const std::shared_ptr<TTexture>&) override {}
    void SetBlendMode(int32_t) override {}
    void DrawVertices(int, const TVertexBatch&) override {}
    void FillRect(const TRect& rect, const TVec4&, const std::shared_ptr<TTexture>&) override {
        benchmark::DoNotOptimize(rect.left + rect.bottom);
    }
    int64_t frames = 0;
};

// A panel that fills its rectangle, as a widget draws its background.
class TPanel : public TWindow {
public:
    void Draw() override { TRenderer::GetInstance()->FillRect(GetClientRect(), kColour, nullptr); }
};

TDiscardingSink& Sink() {
    static TDiscardingSink* sink = [] {
        port::control::UseFakeClock(true);
        RegisterWindowSystem();
        auto* app = new TPlatform();
        app->CreateMainWindow();
        port::control::InjectFocus(app->GetPlatform()->GetMainWindow());
        app->SetupScreen(kWidth, kHeight, false);
        auto* discarding = new TDiscardingSink;
        TRenderer::GetInstance()->SetSink(discarding);
        return discarding;
    }();
    return *sink;
}

const char* ShapeName(int shape) {
    return shape == 0 ? "nested" : shape == 1 ? "wide" : "deep";
}

TPanel* AddPanel(TWindow* parent, TRect rect, std::vector<TRect>* drawn) {
    auto* panel = new TPanel;
    panel->SetRect(rect);
    parent->AddChild(panel, false);
    drawn->push_back(panel->GetScreenRect());
    return panel;
}

// The windows of one dialog (kWindows / (kDialogs + 1) of them), in a shape: "nested" a grid of
// panels holding rows of cells, as dialogs are built; "wide" every window a child of the dialog;
// "deep" columns of windows each inside the one before. Each dialog's windows are shifted a
// little, so that the dialogs overlap but do not coincide. The screen rectangles are appended in
// drawing order.
void BuildDialog(TWindow* dialog, int shape, int shift, std::vector<TRect>* drawn) {
    const int count = kWindows / (kDialogs + 1);
    if (shape == 0) {
        // 20 panels of 4 rows of 5 cells: 25 windows each.
        for (int p = 0; p < 20; ++p) {
            int x = shift + (p % 5) * 150, y = shift + (p / 5) * 140;
            TPanel* panel = AddPanel(dialog, {x, y, x + 140, y + 130}, drawn);
            for (int r = 0; r < 4; ++r) {
                TPanel* row = AddPanel(panel, {5, 5 + r * 30, 135, 30 + r * 30}, drawn);
                for (int c = 0; c < 5; ++c)
                    AddPanel(row, {5 + c * 25, 2, 25 + c * 25, 22}, drawn);
            }
        }
    } else if (shape == 1) {
        for (int i = 0; i < count; ++i) {
            int x = shift + (i % 25) * 30, y = shift + (i / 25) * 28;
            AddPanel(dialog, {x, y, x + 28, y + 26}, drawn);
        }
    } else {
        // 20 columns, each 25 windows deep, each a little inside the one before.
        for (int column = 0; column < 20; ++column) {
            TWindow* parent = dialog;
            for (int depth = 0; depth < 25; ++depth) {
                int x = depth == 0 ? shift + (column % 5) * 150 : 2;
                int y = depth == 0 ? shift + (column / 5) * 140 : 2;
                parent = AddPanel(parent, {x, y, x + 140 - 4 * depth, y + 130 - 4 * depth}, drawn);
            }
        }
    }
}

struct Scene {
    // Every window's screen rectangle, in drawing order.
    std::vector<TRect> rects;
    std::vector<TPlatformEvent> moves;
};

// Builds the shape on the manager's screen (taking down what the last one built).
Scene BuildScene(int shape) {
    Sink();
    TWindowManager* manager = TWindowManager::Get();
    while (manager->GetModals().size() > 1)
        manager->PopModal();
    TScreen* screen = manager->GetScreen();
    screen->DeleteChildren();
    manager->DeleteQueued();

    Scene scene;
    BuildDialog(screen, shape, 0, &scene.rects);
    for (int i = 1; i <= kDialogs; ++i) {
        auto* dialog = new TModalWindow;
        manager->PushModal(dialog);
        BuildDialog(dialog, shape, 7 * i, &scene.rects);
    }
    // Points spread over the screen, on windows and between them.
    for (int i = 0; i < 16; ++i) {
        TPlatformEvent move;
        move.type = kEventMouseMove;
        move.x = 13 + (i * 97) % (kWidth - 20);
        move.y = 17 + (i * 61) % (kHeight - 20);
        scene.moves.push_back(move);
    }
    return scene;
}

// A frame is due: the frame interval has passed and something changed.
void MakeFrameDue(TWindowManager* manager) {
    port::control::AdvanceTime(TWindowManager::kFrameInterval);
    manager->MarkDirty();
}

void BM_Frame_Floor(benchmark::State& state) {
    Scene scene = BuildScene(static_cast<int>(state.range(0)));
    TRenderer* renderer = TRenderer::GetInstance();
    for (auto _ : state) {
        renderer->BeginDraw(false);
        for (const TRect& rect : scene.rects)
            renderer->FillRect(rect, kColour, nullptr);
        renderer->EndDraw(1);
    }
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
    state.counters["windows"] = static_cast<double>(scene.rects.size());
}

void BM_Frame_Manager(benchmark::State& state) {
    Scene scene = BuildScene(static_cast<int>(state.range(0)));
    TWindowManager* manager = TWindowManager::Get();
    TDiscardingSink& sink = Sink();
    int64_t before = sink.frames;
    for (auto _ : state) {
        state.PauseTiming();
        MakeFrameDue(manager);
        state.ResumeTiming();
        manager->Update();
    }
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
    state.counters["frames"] = benchmark::Counter(static_cast<double>(sink.frames - before),
                                                  benchmark::Counter::kAvgIterations);
}

// The topmost of the rectangles under the point: all of them tested, the last hit kept.
void BM_Move_Floor(benchmark::State& state) {
    Scene scene = BuildScene(static_cast<int>(state.range(0)));
    size_t next = 0;
    for (auto _ : state) {
        const TPlatformEvent& move = scene.moves[next++ % scene.moves.size()];
        const TPoint point{move.x, move.y};
        size_t hit = scene.rects.size();
        for (size_t i = 0; i < scene.rects.size(); ++i) {
            if (scene.rects[i].Contains(point)) hit = i;
        }
        benchmark::DoNotOptimize(hit);
    }
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
}

void BM_Move_Manager(benchmark::State& state) {
    Scene scene = BuildScene(static_cast<int>(state.range(0)));
    TWindowManager* manager = TWindowManager::Get();
    size_t next = 0;
    for (auto _ : state) {
        manager->HandleEvent(scene.moves[next++ % scene.moves.size()]);
        benchmark::DoNotOptimize(manager->GetWindowUnderPointer());
    }
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
}

// An idle turn with nothing to redraw: the top dialog's tasks and the posted messages, no frame.
// (The cursor worker may ask for a rare redraw of its own.)
void BM_IdleClean(benchmark::State& state) {
    Scene scene = BuildScene(static_cast<int>(state.range(0)));
    TWindowManager* manager = TWindowManager::Get();
    TDiscardingSink& sink = Sink();
    MakeFrameDue(manager);
    manager->Update();
    TPlatformEvent idle;
    idle.type = kEventIdle;
    int64_t before = sink.frames;
    for (auto _ : state) {
        state.PauseTiming();
        port::control::AdvanceTime(TWindowManager::kFrameInterval);
        state.ResumeTiming();
        manager->HandleEvent(idle);
    }
    state.SetLabel(ShapeName(static_cast<int>(state.range(0))));
    state.counters["frames"] = benchmark::Counter(static_cast<double>(sink.frames - before),
                                                  benchmark::Counter::kAvgIterations);
}

BENCHMARK(BM_Frame_Floor)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Frame_Manager)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Move_Floor)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Move_Manager)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleClean)->DenseRange(0, 2)->Unit(benchmark::kMicrosecond);

// The console table, then per shape the manager's times over their floors' (best of the
// repetitions).
class TSummary : public bench::TBestTimesReporter {
public:
    void Finalize() override {
        ConsoleReporter::Finalize();
        std::printf("\nthe manager against the floor (best times; goal: at most 3x):\n");
        for (int shape = 0; shape <= 2; ++shape) {
            const std::string arg = std::to_string(shape);
            const double frameFloor = Best("BM_Frame_Floor/" + arg);
            const double moveFloor = Best("BM_Move_Floor/" + arg);
            if (frameFloor <= 0.0 || moveFloor <= 0.0) continue;
            const double frame = Best("BM_Frame_Manager/" + arg);
            const double move = Best("BM_Move_Manager/" + arg);
            std::printf(
                "  %-6s frame %8.1f us, floor %8.1f us (%.2fx)   move %6.2f us, flat hit test "
                "%6.2f us (%.2fx)   clean idle %6.2f us\n",
                ShapeName(shape), frame * 1e6, frameFloor * 1e6, frame / frameFloor, move * 1e6,
                moveFloor * 1e6, move / moveFloor, Best("BM_IdleClean/" + arg) * 1e6);
        }
    }
};

}  // namespace

int main(int argc, char** argv) {
    TSummary summary;
    return bench::RunWithReporter(argc, argv, summary);
}
