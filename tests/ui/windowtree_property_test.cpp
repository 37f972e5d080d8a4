// Random trees of a few hundred windows under random adds, removes, deferred deletions, flag
// changes, events, messages, timers and drawing; after every step the tree's links and the
// window manager's references must hold, and after the teardown nothing may be left alive.
#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <set>
#include <vector>

#include "platform/draw/renderer.h"
#include "platform/draw/rendersink.h"
#include "platform/platformevent.h"
#include "port/control.h"
#include "testwindows.h"
#include "ui/windowmanager.h"
#include "ui/windowref.h"

namespace {

using uitest::TTestMessage;
using uitest::TTestModal;
using uitest::TTestWindow;

// Pressed, it closes itself as a close button does: it leaves its parent and goes later.
class TClosingWindow : public TTestWindow {
public:
    bool OnMouseDown(const TPoint& /*point*/) override {
        if (TWindow* parent = GetParent()) parent->RemoveChild(this);
        TWindowManager::Get()->DeleteWindowLater(this);
        return false;
    }
};

class TreeFuzzer {
public:
    explicit TreeFuzzer(uint32_t seed) : mRandom(seed) {
        mRoot = new TTestModal("root");
        mRoot->SetRect({0, 0, 640, 480});
        mManager.PushModal(mRoot);
        mAll.emplace_back(mRoot);
    }

    void Run(int steps) {
        for (int i = 0; i < 200; ++i)
            Add();
        for (int i = 0; i < steps; ++i) {
            Step();
            CheckInvariants();
            if (::testing::Test::HasFailure()) return;
        }
    }

    void TearDown() {
        delete mRoot;
        for (const TWindowRef& ref : mAll) {
            TWindow* window = ref.Get();
            if (window != nullptr && window->GetParent() == nullptr &&
                !mManager.IsDeleteQueued(window)) {
                delete window;
            }
        }
        mManager.DeleteQueued();
        while (TMessage* message = mManager.TakePostedMessage())
            delete message;
    }

private:
    int Random(int n) { return std::uniform_int_distribution<int>(0, n - 1)(mRandom); }
    bool Chance(int percent) { return Random(100) < percent; }

    // The windows in the tree, root first.
    std::vector<TWindow*> InTree() {
        std::vector<TWindow*> windows;
        std::function<void(TWindow*)> collect = [&](TWindow* window) {
            windows.push_back(window);
            for (TWindow* c = window->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
                collect(c);
            }
        };
        collect(mRoot);
        return windows;
    }
    std::vector<TWindow*> Alive() {
        std::vector<TWindow*> windows;
        for (const TWindowRef& ref : mAll) {
            if (TWindow* window = ref.Get()) windows.push_back(window);
        }
        return windows;
    }
    template <class T>
    T* PickFrom(const std::vector<T*>& windows) {
        return windows.empty() ? nullptr : windows[Random(static_cast<int>(windows.size()))];
    }
    // A window in the tree other than the root.
    TWindow* PickBranch() {
        std::vector<TWindow*> windows = InTree();
        windows.erase(windows.begin());
        return PickFrom(windows);
    }
    // A window out of the tree that the test still holds.
    TWindow* PickLoose() {
        std::vector<TWindow*> loose;
        for (TWindow* window : Alive()) {
            if (window != mRoot && window->GetParent() == nullptr &&
                !mManager.IsDeleteQueued(window)) {
                loose.push_back(window);
            }
        }
        return PickFrom(loose);
    }
    TRect RandomRect() {
        int left = Random(700) - 30;
        int top = Random(520) - 20;
        return TRect{left, top, left + Random(300), top + Random(300)};
    }

    void Add() {
        TWindow* parent = PickFrom(InTree());
        TWindow* window;
        switch (Random(6)) {
            case 0:
                window = new TTestModal;
                break;
            case 1:
                window = new TClosingWindow;
                break;
            default: {
                auto* test = new TTestWindow;
                const char* kinds[] = {"down", "up", "move", "key", "char", "text", "message"};
                for (const char* kind : kinds) {
                    if (Chance(20)) test->takes.insert(kind);
                }
                test->refuseActivation = Chance(10);
                test->timerLimit = 1 + Random(5);
                window = test;
            }
        }
        window->SetRect(RandomRect());
        if (Chance(30)) window->SetFlags(window->GetFlags() | TWindow::kFocusable);
        mAll.emplace_back(window);
        parent->AddChild(window, Chance(50));
    }

    void Step() {
        switch (Random(12)) {
            case 0:
                Add();
                break;
            case 1: {
                TWindow* window = PickBranch();
                if (window == nullptr) break;
                window->GetParent()->RemoveChild(window);
                switch (Random(4)) {
                    case 0:
                        delete window;
                        break;
                    case 1:
                        mManager.DeleteWindowLater(window);
                        break;
                    case 2:
                        break;  // kept out of the tree
                    default:
                        PickFrom(InTree())->AddChild(window, Chance(50));
                }
                break;
            }
            case 2:
                if (TWindow* window = PickLoose()) PickFrom(InTree())->AddChild(window, false);
                break;
            case 3: {
                TWindow* window = PickFrom(Alive());
                const uint32_t flags[] = {0x100, 0, 0x900, 0x902, 0x800, 0x300};
                window->SetFlags(flags[Random(6)]);
                if (Chance(30)) window->SetSize(640, 480);
                break;
            }
            case 4:
            case 5: {
                const int32_t types[] = {kEventLeftDown, kEventLeftUp,     kEventMouseMove,
                                         kEventButton,   kEventMouseHover, kEventKeyDown,
                                         kEventKeyUp,    kEventChar,       kEventUnicodeChar};
                TPlatformEvent event;
                event.type = types[Random(9)];
                event.value = Random(400) - 140;
                TPoint local;
                TWindow* target =
                    mRoot->FindDeepestAt({Random(640), Random(480)}, TWindow::kAnyDepth, &local);
                if (event.type >= kEventKeyDown) {
                    TWindow* focus = mManager.GetFocusWindow();
                    if (focus != nullptr) target = focus;
                }
                event.x = local.x;
                event.y = local.y;
                target->HandleEvent(event, false);
                break;
            }
            case 6:
                PickFrom(Alive())->SendMessage(new TTestMessage("sent"));
                break;
            case 7:
                mManager.PostMessage(new TTestMessage("posted", PickFrom(Alive())));
                break;
            case 8:
                mManager.DeleteQueued();
                break;
            case 9:
                mRoot->DrawTree(Random(3));
                break;
            case 10: {
                PickFrom(Alive())->SetTimer(Random(30), Chance(50), Chance(50), Chance(50));
                port::control::AdvanceTime(static_cast<uint32_t>(Random(40)));
                mRoot->UpdateTasks(0);
                std::vector<TModalWindow*> modals;
                for (TWindow* window : InTree()) {
                    if (auto* modal = TWindow::CastTo<TModalWindow>(window))
                        modals.push_back(modal);
                }
                if (TModalWindow* modal = PickFrom(modals)) {
                    modal->OnActivate();
                    modal->UpdateTasks(0);
                    modal->SetDefaultFocus(Chance(50) ? PickFrom(Alive()) : nullptr);
                }
                break;
            }
            default:
                if (Chance(20)) {
                    PickFrom(InTree())->DeleteChildren();
                } else if (Chance(50)) {
                    mManager.TrackMouse(PickFrom(Alive()));
                } else {
                    mManager.SetFocusWindow(PickFrom(Alive()));
                }
        }
    }

    void CheckInvariants() {
        std::vector<TWindow*> alive = Alive();
        std::set<TWindow*> live(alive.begin(), alive.end());
        for (TWindow* window : alive) {
            TWindow* previous = nullptr;
            for (TWindow* c = window->GetFirstChild(); c != nullptr; c = c->GetNextSibling()) {
                ASSERT_EQ(c->GetParent(), window);
                ASSERT_EQ(c->GetPrevSibling(), previous);
                ASSERT_TRUE(live.count(c));
                previous = c;
            }
            ASSERT_EQ(window->GetLastChild(), previous);
        }
        auto known = [&](TWindow* window) { return window == nullptr || live.count(window) != 0; };
        ASSERT_TRUE(known(mManager.GetFocusWindow()));
        ASSERT_TRUE(known(mManager.GetWindowUnderPointer()));
        for (TWindow* window : mManager.GetTrackedWindows())
            ASSERT_TRUE(known(window));
        for (const auto& message : mManager.GetPostedMessages()) {
            ASSERT_TRUE(known(message->GetTarget()));
        }
    }

    std::mt19937 mRandom;
    TWindowManager mManager;
    TTestModal* mRoot = nullptr;
    std::vector<TWindowRef> mAll;
};

TEST(WindowTreePropertyTest, RandomTreesStayWholeAndTearDownCompletely) {
    port::control::UseFakeClock(true);
    TRecordingRenderSink sink;
    TRenderer* renderer = TRenderer::GetInstance();
    renderer->SetSink(&sink);
    renderer->PushViewport({0, 0, 640, 480});
    for (uint32_t seed = 1; seed <= 6; ++seed) {
        {
            TreeFuzzer fuzzer(seed);
            fuzzer.Run(600);
            fuzzer.TearDown();
        }
        ASSERT_EQ(TTestWindow::sLive, 0) << "seed " << seed;
        ASSERT_EQ(TTestModal::sLive, 0) << "seed " << seed;
        ASSERT_EQ(TTestMessage::sLive, 0) << "seed " << seed;
        sink = TRecordingRenderSink();
    }
    renderer->SetSink(nullptr);
}

}  // namespace
