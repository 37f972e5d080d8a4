// Shared by the animation tests: the application object on the fake clock (its main task list is
// the platform's list of the timers), a window hook with test windows whose modal parents own
// task lists, and objects with a given number of frames and a "states" description.
// Time moves only by Advance; the lists run only when a test turns them.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <vector>

#include "foundation/task/taskmanager.h"
#include "foundation/xml/xmlnode.h"
#include "gv/keys/flagmasktext.h"
#include "gv/gvframe.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "gv/anim/gvstate.h"
#include "gv/anim/gvtaskhost.h"
#include "platform/platform.h"
#include "port/control.h"

namespace gv_test {

// Windows are opaque to gv: the host hands out addresses of its own records.
class TestWindowHost : public GVWindowHook {
public:
    struct Modal {
        std::unique_ptr<TTaskManager> tasks = std::make_unique<TTaskManager>();
        int added = 0;
    };
    struct Window {
        Modal* parent = nullptr;
    };

    // A window whose modal parent has a task list of its own (parentless: no modal parent).
    TWindow* MakeWindow(bool withParent = true) {
        mWindows.push_back(std::make_unique<Window>());
        if (withParent) {
            mModals.push_back(std::make_unique<Modal>());
            mWindows.back()->parent = mModals.back().get();
        }
        return reinterpret_cast<TWindow*>(mWindows.back().get());
    }
    static Modal* ModalOf(TWindow* window) { return reinterpret_cast<Window*>(window)->parent; }
    // Destroys the modal window's task list (and every task in it) ahead of the objects.
    static void DestroyTasks(TWindow* window) { ModalOf(window)->tasks.reset(); }
    // One turn of the modal window's list.
    static void Turn(TWindow* window) { ModalOf(window)->tasks->Update(0); }

    TModalWindow* GetModalParent(TWindow* window) override {
        return reinterpret_cast<TModalWindow*>(reinterpret_cast<Window*>(window)->parent);
    }
    void AddTask(TModalWindow* host, TTask* task) override {
        Modal* modal = reinterpret_cast<Modal*>(host);
        modal->tasks->AddTask(task);
        ++modal->added;
    }

private:
    std::vector<std::unique_ptr<Window>> mWindows;
    std::vector<std::unique_ptr<Modal>> mModals;
};

class AnimTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(100000);
        mApp = std::make_unique<TPlatform>();
        SetWindowHook(&mHost);
    }
    void TearDown() override {
        mObjects.clear();
        mScenes.clear();
        mApp.reset();
        SetWindowHook(nullptr);
        port::control::UseFakeClock(false);
    }

    TXmlNode* Parse(const char* text) {
        mDocuments.emplace_back(std::make_unique<TXmlNode>());
        mDocuments.back()->ParseString(text);
        const TXmlNodeList& children = mDocuments.back()->GetChildren();
        return children.empty() ? nullptr : children.front();
    }

    GVScene* MakeScene(TWindow* window = nullptr) {
        mScenes.push_back(std::make_unique<GVScene>());
        mScenes.back()->SetWindow(window);
        return mScenes.back().get();
    }

    // An object of frameCount frames with the states of the text (none: only "normal"), its
    // effects bound to it, in the scene (none: in no scene). The fixture owns it.
    GVObject* MakeObject(int frameCount, const char* states, GVScene* scene) {
        mObjects.push_back(NewObject(frameCount, states));
        GVObject* object = mObjects.back().get();
        object->AttachToScene(scene, false);
        return object;
    }
    std::unique_ptr<GVObject> NewObject(int frameCount, const char* states) {
        auto object = std::make_unique<GVObject>();
        auto frames = std::make_shared<GVFrames>();
        for (int i = 0; i < frameCount; ++i)
            frames->Add(new GVFrame());
        object->SetFrames(frames);
        auto* list = new GVStates(frameCount, object.get());
        list->Load(states != nullptr ? Parse(states) : nullptr, object.get());
        object->SetStates(list);
        list->BindEffects(object.get());
        return object;
    }

    static GNameMask Key(const char* name) { return ParseFlagMask(name); }

    void Advance(uint32_t ms) { port::control::AdvanceTime(ms); }
    // One turn of the platform's list.
    void Turn() { mApp->UpdateTasks(); }
    // Advances by ms and turns the platform's list.
    void Step(uint32_t ms) {
        Advance(ms);
        Turn();
    }

    TestWindowHost mHost;
    std::unique_ptr<TPlatform> mApp;
    std::vector<std::unique_ptr<TXmlNode>> mDocuments;
    std::vector<std::unique_ptr<GVScene>> mScenes;
    std::vector<std::unique_ptr<GVObject>> mObjects;
};

}  // namespace gv_test
