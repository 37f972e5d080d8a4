#include "ui/window.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "support/logcapture.h"
#include "testwindows.h"
#include "ui/modalwindow.h"
#include "ui/windowmanager.h"
#include "ui/windowref.h"
#include "ui/windowspider.h"

namespace {

using ::testing::ElementsAre;
using uitest::MakeWindow;
using uitest::TTestModal;
using uitest::TTestWindow;

// The names of a window's children, newest first.
std::vector<std::string> ChildNames(const TWindow* window) {
    std::vector<std::string> names;
    for (TWindow* child = window->GetFirstChild(); child != nullptr;
         child = child->GetNextSibling()) {
        names.push_back(child->GetName().c_str());
    }
    return names;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager.SetScreen(new TScreen);
        mManager.GetScreen()->SetSize(640, 480);
        mManager.SetRedrawNeeded(false);
    }

    TWindowManager mManager;
};

TEST_F(WindowTest, SerialIdsAndTheirText) {
    TWindow::SetNextId(0);
    TWindow first;
    TWindow second;
    EXPECT_EQ(first.GetId(), 0u);
    EXPECT_EQ(second.GetId(), 1u);
    EXPECT_EQ(first.GetIdString(), str("       0"));
    TWindow::SetNextId(255);
    TWindow later;
    EXPECT_EQ(later.GetIdString(), str("      ff"));
    TWindow::SetNextId(0xABCDEF12u);
    TWindow wide;
    EXPECT_EQ(wide.GetIdString(), str("abcdef12"));
}

TEST_F(WindowTest, ClassIdentityAndCasts) {
    // TWindow's id is its creator; a class that cannot be created answers its own id.
    std::unique_ptr<TWindow> made(TWindow::CallCreator(TWindow::TypeId()));
    ASSERT_NE(made, nullptr);
    EXPECT_STREQ(made->GetClassName(), "TWindow");
    EXPECT_EQ(TWindow::CallCreator(TModalWindow::TypeId()), nullptr);
    EXPECT_EQ(TWindow::CallCreator(nullptr), nullptr);

    TWindow plain;
    TModalWindow modal;
    TTestWindow test;
    struct Case {
        TWindow* window;
        TClassId id;
        bool kind;
    };
    const Case cases[] = {
        {&plain, TWindow::TypeId(), true},      {&plain, TModalWindow::TypeId(), false},
        {&modal, TWindow::TypeId(), true},      {&modal, TModalWindow::TypeId(), true},
        {&modal, TTestWindow::TypeId(), false}, {&test, TWindow::TypeId(), true},
        {&test, TTestWindow::TypeId(), true},   {&test, TModalWindow::TypeId(), false},
        {&plain, TMessage::TypeId(), false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.window->IsKindOf(c.id), c.kind) << c.window->GetClassName();
        EXPECT_EQ(TWindow::CastTo(c.window, c.id), c.kind ? c.window : nullptr);
    }
    EXPECT_STREQ(modal.GetClassName(), "TModalWindow");
    EXPECT_EQ(TWindow::CastTo<TModalWindow>(&modal), &modal);
    EXPECT_EQ(TWindow::CastTo<TModalWindow>(&test), nullptr);
    EXPECT_EQ(TWindow::CastTo<TModalWindow>(nullptr), nullptr);
    EXPECT_EQ(TWindow::CastTo(nullptr, TWindow::TypeId()), nullptr);
}

TEST_F(WindowTest, FlagsKeepTheLowByteAndRedrawOnVisibility) {
    EXPECT_EQ(TWindow().GetFlags(), 0x100u);
    EXPECT_EQ(TModalWindow().GetFlags(), 0x103u);

    TTestWindow window;
    window.SetAllFlags(0x107);
    mManager.SetRedrawNeeded(false);  // the windows above went
    window.SetFlags(0x12345);
    EXPECT_EQ(window.GetFlags(), 0x2307u);
    EXPECT_FALSE(mManager.IsRedrawNeeded());

    window.SetFlags(0x2207);  // bit 0x100 off
    EXPECT_EQ(window.GetFlags(), 0x2207u);
    EXPECT_TRUE(mManager.IsRedrawNeeded());
    mManager.SetRedrawNeeded(false);
    window.SetFlags(0x0207);
    EXPECT_FALSE(mManager.IsRedrawNeeded());
    window.SetFlags(0x0307);
    EXPECT_TRUE(mManager.IsRedrawNeeded());
}

TEST_F(WindowTest, FindChildByNameAndDepth) {
    TTestWindow root("root");
    TWindow* a = MakeWindow(&root, {}, "a");
    TWindow* b = MakeWindow(a, {}, "b");
    TWindow* c = MakeWindow(b, {}, "c");
    TWindow* twin = MakeWindow(&root, {}, "b");  // newer than a: searched first

    EXPECT_EQ(root.FindChild("root", 0), &root);
    EXPECT_EQ(root.FindChild("a", 0), nullptr);
    EXPECT_EQ(root.FindChild("a", 1), a);
    EXPECT_EQ(root.FindChild("b", 1), twin);
    EXPECT_EQ(a->FindChild("b", 1), b);
    EXPECT_EQ(root.FindChild("c", 2), nullptr);
    EXPECT_EQ(root.FindChild("c", 3), c);
    EXPECT_EQ(root.FindChild("c"), c);
    EXPECT_EQ(root.FindChild("d", TWindow::kAnyDepth), nullptr);
}

TEST_F(WindowTest, HitTestsSkipHiddenWindows) {
    TTestModal modal("modal");
    modal.SetRect({0, 0, 640, 480});
    TWindow* back = MakeWindow(&modal, {0, 0, 300, 300}, "back");
    TWindow* panel = MakeWindow(&modal, {100, 100, 300, 300}, "panel");
    TWindow* button = MakeWindow(panel, {10, 10, 50, 50}, "button");
    TWindow* hidden = MakeWindow(panel, {0, 0, 200, 200}, "hidden");  // newest: on top
    hidden->SetFlags(0);

    TPoint local;
    EXPECT_EQ(modal.FindChildAt({120, 120}), panel);
    EXPECT_EQ(modal.FindChildAt({50, 50}), back);
    EXPECT_EQ(modal.FindChildAt({500, 400}), &modal);
    EXPECT_EQ(modal.FindDeepestAt({120, 120}, TWindow::kAnyDepth, &local), button);
    EXPECT_EQ(local, (TPoint{10, 10}));
    EXPECT_EQ(modal.FindDeepestAt({120, 120}, 1), panel);
    EXPECT_EQ(modal.FindDeepestAt({120, 120}, 0), nullptr);
    EXPECT_EQ(modal.FindDeepestAt({180, 180}, TWindow::kAnyDepth, &local), panel);
    EXPECT_EQ(local, (TPoint{80, 80}));

    // A hidden parent hides its children: the older sibling below is found instead.
    panel->SetFlags(0);
    EXPECT_EQ(modal.FindDeepestAt({120, 120}, TWindow::kAnyDepth), back);
    EXPECT_EQ(panel->FindChildAt({20, 20}), panel);
    // A hidden modal root hides what is inside it.
    panel->SetFlags(0x100);
    modal.SetFlags(0);
    EXPECT_EQ(modal.FindDeepestAt({120, 120}, TWindow::kAnyDepth), &modal);
    // A visible top without a modal root counts as shown for hits.
    TTestWindow top("top");
    top.SetRect({0, 0, 100, 100});
    TWindow* inside = MakeWindow(&top, {0, 0, 10, 10}, "inside");
    EXPECT_EQ(top.FindChildAt({5, 5}), inside);
    EXPECT_FALSE(inside->GetInheritedFlag());
}

TEST_F(WindowTest, InheritedVisibility) {
    struct Link {
        bool modalRoot;
        bool visible;
    };
    struct Case {
        const char* what;
        std::vector<Link> chain;  // from the top down; the last is asked
        bool shown;
        bool shownForHits;
    };
    const Case cases[] = {
        {"a modal root answers for itself", {{true, false}}, false, false},
        {"a shown modal root", {{true, true}}, true, true},
        {"under a shown modal root", {{true, true}, {false, true}, {false, true}}, true, true},
        {"under a hidden modal root", {{true, false}, {false, true}}, false, false},
        {"a hidden link", {{true, true}, {false, false}, {false, true}}, false, false},
        {"hidden itself", {{true, true}, {false, false}}, false, false},
        {"a top without modal root", {{false, true}, {false, true}}, false, true},
        {"a hidden top without modal root", {{false, false}, {false, true}}, false, false},
        {"a hidden window above a modal root stops nothing",
         {{false, false}, {true, true}, {false, true}},
         true,
         true},
    };
    for (const Case& c : cases) {
        std::unique_ptr<TWindow> root;
        TWindow* window = nullptr;
        for (const Link& link : c.chain) {
            TWindow* next = link.modalRoot ? new TModalWindow : new TWindow;
            next->SetRect({0, 0, 10, 10});
            if (!link.visible) next->SetFlags(0);
            if (window == nullptr) {
                root.reset(next);
            } else {
                window->AddChild(next, false);
            }
            window = next;
        }
        EXPECT_EQ(window->GetInheritedFlag(), c.shown) << c.what;
        TWindow* parent = window->GetParent();
        if (parent != nullptr) {
            EXPECT_EQ(parent->FindChildAt({5, 5}) == window, c.shownForHits) << c.what;
        }
    }
}

TEST_F(WindowTest, AddAndRemoveChildren) {
    TTestWindow root("root");
    auto* a = MakeWindow(&root, {}, "a");
    auto* b = MakeWindow(&root, {}, "b");
    EXPECT_THAT(ChildNames(&root), ElementsAre("b", "a"));
    EXPECT_EQ(b->GetParent(), &root);
    // Adding a listed child again changes nothing.
    EXPECT_TRUE(root.AddChild(a, false));
    EXPECT_THAT(ChildNames(&root), ElementsAre("b", "a"));

    mManager.SetRedrawNeeded(false);
    root.RemoveChild(a);
    EXPECT_TRUE(mManager.IsRedrawNeeded());
    EXPECT_EQ(a->GetParent(), nullptr);
    EXPECT_THAT(ChildNames(&root), ElementsAre("b"));
    // Not listed: no redraw, the parent pointer is cleared all the same.
    mManager.SetRedrawNeeded(false);
    a->SetParent(&root);
    root.RemoveChild(a);
    EXPECT_FALSE(mManager.IsRedrawNeeded());
    EXPECT_EQ(a->GetParent(), nullptr);
    delete a;

    // An activation that is refused undoes the add and asks for a redraw.
    uitest::TJournal journal;
    auto* refusing = new TTestWindow("refusing", &journal);
    refusing->refuseActivation = true;
    refusing->SetRect({5, 5, 25, 15});
    mManager.SetRedrawNeeded(false);
    EXPECT_FALSE(root.AddChild(refusing, true));
    EXPECT_THAT(journal, ElementsAre("refusing.activate"));
    EXPECT_EQ(refusing->GetParent(), nullptr);
    EXPECT_THAT(ChildNames(&root), ElementsAre("b"));
    EXPECT_TRUE(mManager.IsRedrawNeeded());
    EXPECT_EQ(refusing->GetRect(), (TRect{5, 5, 25, 15}));
    refusing->refuseActivation = false;
    EXPECT_TRUE(root.AddChild(refusing, true));
    EXPECT_THAT(ChildNames(&root), ElementsAre("refusing", "b"));
}

TEST_F(WindowTest, AChildMovesRatherThanBelongingToTwoParents) {
    TTestWindow first("first");
    TTestWindow second("second");
    auto* child = MakeWindow(&first, {}, "child");
    EXPECT_TRUE(second.AddChild(child, false));
    EXPECT_THAT(ChildNames(&first), ElementsAre());
    EXPECT_THAT(ChildNames(&second), ElementsAre("child"));
    EXPECT_EQ(child->GetParent(), &second);
}

TEST_F(WindowTest, AWindowCannotBecomeItsOwnDescendant) {
    testing_support::LogCapture log;
    TTestWindow root("root");
    auto* child = MakeWindow(&root, {}, "child");
    auto* grandchild = MakeWindow(child, {}, "grandchild");
    EXPECT_FALSE(grandchild->AddChild(&root, false));
    EXPECT_FALSE(child->AddChild(child, false));
    EXPECT_EQ(root.GetParent(), nullptr);
    EXPECT_THAT(log.Messages(),
                ElementsAre("AddChild refused: window 'root' would become its own descendant",
                            "AddChild refused: window 'child' would become its own descendant"));
}

// Removes (and deletes later) every child it visits.
class RemovingSpider : public TWindowSpider {
public:
    explicit RemovingSpider(TWindow* parent) : mParent(parent) {}
    bool Visit(TWindow* window) override {
        visited.push_back(window->GetName().c_str());
        mParent->RemoveChild(window);
        TWindowManager::Get()->DeleteWindowLater(window);
        return true;
    }
    std::vector<std::string> visited;

private:
    TWindow* mParent;
};

TEST_F(WindowTest, ForEachChildSurvivesRemovingTheVisitedChild) {
    TTestWindow root("root");
    for (const char* name : {"a", "b", "c"})
        MakeWindow(&root, {}, name);
    RemovingSpider spider(&root);
    root.ForEachChild(spider);
    EXPECT_THAT(spider.visited, ElementsAre("c", "b", "a"));
    EXPECT_EQ(root.GetFirstChild(), nullptr);
    mManager.DeleteQueued();
    EXPECT_EQ(TTestWindow::sLive, 1);

    for (const char* name : {"a", "b", "c"})
        MakeWindow(&root, {}, name);
    RemovingSpider backwards(&root);
    root.ForEachChild(backwards, true);
    EXPECT_THAT(backwards.visited, ElementsAre("a", "b", "c"));
}

TEST_F(WindowTest, FitToChildrenOnlyGrows) {
    TTestWindow root("root");
    root.SetRect({10, 10, 110, 60});
    MakeWindow(&root, {20, 5, 80, 40}, "a");
    root.FitToChildren();
    EXPECT_EQ(root.GetRect(), (TRect{10, 10, 110, 60}));
    MakeWindow(&root, {50, 30, 150, 45}, "b");
    MakeWindow(&root, {0, 0, 10, 90}, "c");
    root.FitToChildren();
    EXPECT_EQ(root.GetRect(), (TRect{10, 10, 160, 100}));
}

TEST_F(WindowTest, DeleteChildrenDefersTheDeletion) {
    TTestWindow root("root");
    for (const char* name : {"a", "b"})
        MakeWindow(&root, {}, name);
    root.DeleteChildren();
    EXPECT_EQ(root.GetFirstChild(), nullptr);
    EXPECT_EQ(TTestWindow::sLive, 3);
    mManager.DeleteQueued();
    EXPECT_EQ(TTestWindow::sLive, 1);
}

TEST_F(WindowTest, OpaqueChildrenCoverTheirModal) {
    // The modal has the screen's size, so both the flag path (compared with the modal) and the
    // size path (compared with the screen) can cover it.
    auto* modal = new TTestModal("modal");
    std::unique_ptr<TWindow> owner(modal);
    modal->SetRect({0, 0, 640, 480});
    auto* cover = MakeWindow(modal, {0, 0, 640, 480}, "cover");
    EXPECT_EQ(modal->GetFlags() & TWindow::kOpaque, 0u);

    cover->SetFlags(0x900);
    EXPECT_TRUE(modal->IsCoveredBy(cover));
    EXPECT_NE(modal->GetFlags() & TWindow::kOpaque, 0u);
    cover->SetSize(600, 480);
    EXPECT_EQ(modal->GetFlags() & TWindow::kOpaque, 0u);
    cover->SetSize(640, 480);
    EXPECT_NE(modal->GetFlags() & TWindow::kOpaque, 0u);
    cover->SetFlags(0x100);
    EXPECT_EQ(modal->GetFlags() & TWindow::kOpaque, 0u);

    // Two covers: the modal stays opaque until both are gone.
    cover->SetFlags(0x900);
    auto* second = MakeWindow(modal, {0, 0, 640, 480}, "second");
    second->SetFlags(0x900);
    modal->RemoveChild(cover);
    EXPECT_NE(modal->GetFlags() & TWindow::kOpaque, 0u);
    delete cover;
    delete second;  // still listed: it leaves the list and the cover set
    EXPECT_EQ(modal->GetFlags() & TWindow::kOpaque, 0u);
    EXPECT_EQ(modal->GetFirstChild(), nullptr);

    // A covered modal inside another covers that one in turn.
    auto* inner = MakeWindow<TTestModal>(modal, {0, 0, 640, 480}, "inner");
    auto* innerCover = MakeWindow(inner, {0, 0, 640, 480}, "innerCover");
    innerCover->SetFlags(0x900);
    EXPECT_NE(inner->GetFlags() & TWindow::kOpaque, 0u);
    EXPECT_TRUE(modal->IsCoveredBy(inner));
    EXPECT_NE(modal->GetFlags() & TWindow::kOpaque, 0u);
    innerCover->SetFlags(0x100);
    EXPECT_EQ(modal->GetFlags() & TWindow::kOpaque, 0u);

    // A window smaller than the modal never covers it.
    auto* small = MakeWindow(modal, {0, 0, 320, 480}, "small");
    small->SetFlags(0x900);
    EXPECT_EQ(modal->GetFlags() & TWindow::kOpaque, 0u);
}

TEST_F(WindowTest, WindowRefsReadNullOnceTheWindowIsGone) {
    auto* root = new TTestWindow("root");
    auto* direct = MakeWindow(root, {}, "direct");
    auto* withParent = MakeWindow(root, {}, "withParent");
    auto* inner = MakeWindow(withParent, {}, "inner");
    auto* later = MakeWindow(root, {}, "later");
    TWindowRef refs[] = {TWindowRef(direct), TWindowRef(withParent), TWindowRef(inner),
                         TWindowRef(later)};
    TWindowRef copy = refs[0];
    EXPECT_EQ(copy.Get(), direct);
    EXPECT_FALSE(TWindowRef());

    root->RemoveChild(direct);
    delete direct;
    EXPECT_EQ(refs[0].Get(), nullptr);
    EXPECT_EQ(copy.Get(), nullptr);

    root->RemoveChild(later);
    mManager.DeleteWindowLater(later);
    EXPECT_EQ(refs[3].Get(), later);
    mManager.DeleteQueued();
    EXPECT_EQ(refs[3].Get(), nullptr);

    EXPECT_TRUE(refs[2]);
    delete root;
    EXPECT_EQ(refs[1].Get(), nullptr);
    EXPECT_EQ(refs[2].Get(), nullptr);
    EXPECT_EQ(TTestWindow::sLive, 0);
}

TEST_F(WindowTest, AWindowDeletedWhileListedLeavesItsParent) {
    TTestWindow root("root");
    auto* a = MakeWindow(&root, {}, "a");
    auto* b = MakeWindow(&root, {}, "b");
    auto* c = MakeWindow(&root, {}, "c");
    delete b;
    EXPECT_THAT(ChildNames(&root), ElementsAre("c", "a"));
    EXPECT_EQ(c->GetNextSibling(), a);
    EXPECT_EQ(a->GetPrevSibling(), c);
    delete c;
    delete a;
    EXPECT_EQ(root.GetFirstChild(), nullptr);
    EXPECT_EQ(root.GetLastChild(), nullptr);
}

TEST_F(WindowTest, GeometryHelpers) {
    TTestWindow root("root");
    root.SetRect({100, 50, 400, 350});
    auto* child = MakeWindow(&root, {10, 20, 60, 40}, "child");
    EXPECT_EQ(child->GetScreenRect(), (TRect{110, 70, 160, 90}));
    EXPECT_EQ(child->GetClientRect(), (TRect{0, 0, 50, 20}));
    TPoint point{115, 75};
    child->ScreenToClient(point);
    EXPECT_EQ(point, (TPoint{5, 5}));
    child->ClientToScreen(point);
    EXPECT_EQ(point, (TPoint{115, 75}));
    child->FromParent(point);
    EXPECT_EQ(point, (TPoint{105, 55}));

    mManager.SetRedrawNeeded(false);
    child->MoveTo(-5, 7);
    EXPECT_EQ(child->GetRect(), (TRect{-5, 7, 45, 27}));
    EXPECT_TRUE(mManager.IsRedrawNeeded());
    // Extremes saturate instead of overflowing.
    child->MoveTo(2147483600, -2147483600);
    EXPECT_EQ(child->GetRect(), (TRect{2147483600, -2147483600, 2147483647, -2147483580}));
    child->SetRect({-2147483647 - 1, 0, 2147483647, 1});
    EXPECT_EQ(child->GetWidth(), 2147483647);
}

}  // namespace
