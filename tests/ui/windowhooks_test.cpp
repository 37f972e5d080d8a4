// What the window system offers the layers below it while the window manager exists: the
// visual-object engine's window hook (a scene's sprite timers run in its window's modal), and
// the top modal's name, which the world compares with "game".
#include <gtest/gtest.h>

#include <memory>

#include "foundation/task/taskmanager.h"
#include "gv/anim/gvstate.h"
#include "gv/anim/gvtaskhost.h"
#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "gv/keys/statekeys.h"
#include "managerfixture.h"
#include "ui/modalwindow.h"

namespace uitest {
namespace {

// An object of four frames with only the "normal" state, in the scene.
std::unique_ptr<GVObject> MakeObject(GVScene* scene) {
    auto object = std::make_unique<GVObject>();
    auto frames = std::make_shared<GVFrames>();
    for (int i = 0; i < 4; ++i)
        frames->Add(new GVFrame());
    object->SetFrames(frames);
    auto* states = new GVStates(4, object.get());
    states->Load(nullptr, object.get());
    object->SetStates(states);
    states->BindEffects(object.get());
    object->AttachToScene(scene, false);
    return object;
}

using WindowHooksTest = ManagerTest;

TEST_F(WindowHooksTest, AScenesTimersRunInItsWindowsModal) {
    ASSERT_NE(GetWindowHook(), nullptr);
    TTestModal* dialog = Push("dialog");
    TTestWindow* view = Add(dialog, {0, 0, 100, 100}, "view");
    EXPECT_EQ(GetWindowHook()->GetModalParent(view), dialog);
    EXPECT_EQ(GetWindowHook()->GetModalParent(nullptr), nullptr);

    GVScene scene;
    scene.SetWindow(view);
    EXPECT_EQ(scene.GetTaskHost(), dialog);
    std::unique_ptr<GVObject> object = MakeObject(&scene);
    size_t before = dialog->GetTaskManager()->GetTaskCount();
    object->SetState(GetStateKeys().normal, true, false);
    ASSERT_NE(object->GetTimer(), nullptr);
    EXPECT_EQ(dialog->GetTaskManager()->GetTaskCount(), before + 1);
    // The dialog's idle turns move it; the frames run on the dialog's clock.
    Advance(100);
    Idle();
    EXPECT_EQ(object->GetFramePosition(), 1);
    object.reset();
}

TEST(WindowHooksLifetimeTest, TheHookLastsAsLongAsTheManager) {
    EXPECT_EQ(GetWindowHook(), nullptr);
    {
        TWindowManager manager;
        EXPECT_NE(GetWindowHook(), nullptr);
    }
    EXPECT_EQ(GetWindowHook(), nullptr);
}

TEST_F(WindowHooksTest, TheTopModalsNameForTheWorld) {
    EXPECT_EQ(TWindowManager::Get()->GetTopModal()->GetName(), str("_screen_"));
    Push("game");
    EXPECT_EQ(TWindowManager::Get()->GetTopModal()->GetName(), str("game"));
}

}  // namespace
}  // namespace uitest
