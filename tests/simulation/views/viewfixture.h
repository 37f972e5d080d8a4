// Shared by the world view tests: the application object on the fake clock (its task list runs
// the sprites' timers), the stand-in sprites (support/worldsprites.h) with a few names of the
// test's own, a world, a scene and a world view manager initialised over them, and the idle
// variations seeded. Layout files are registered by the tests.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gv/gvfactory.h"
#include "gv/gvobject.h"
#include "gv/gvscene.h"
#include "gv/keys/flagmasktext.h"
#include "platform/platform.h"
#include "port/control.h"
#include "simulation/data/locationdata.h"
#include "simulation/location.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldlocation.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/world.h"
#include "simulation/worldobjectlistener.h"
#include "support/worldsprites.h"

namespace views_test {

// The name of the state the view's sprite (or its child) shows.
inline std::string Shown(const GVWorldObject* view, const char* child = nullptr) {
    const GVObject* sprite = view->GetSprite();
    if (sprite != nullptr && child != nullptr) sprite = sprite->GetChild(child);
    return sprite != nullptr ? FormatFlagMask(sprite->GetStateId()).c_str() : "";
}

inline GNameMask Key(const char* name) {
    return ParseFlagMask(name);
}

// Whether the child of the view's sprite is visible.
inline bool Visible(const GVWorldObject* view, const std::string& child) {
    const GVObject* part = view->GetSprite()->GetChild(child.c_str());
    return part != nullptr && part->visible != 0;
}

// Records the state keys it is told, by name, with the view.
class RecordingListener : public GVWorldObjectListener {
public:
    void OnVisualEvent(GVWorldObject* visual, const GNameMask* event) override {
        views.push_back(visual);
        events.push_back(FormatFlagMask(*event).c_str());
        if (onEvent) onEvent(visual);
    }
    std::vector<GVWorldObject*> views;
    std::vector<std::string> events;
    std::function<void(GVWorldObject*)> onEvent;
};

class ViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        port::control::UseFakeClock(true);
        port::control::SetTime(100000);
        mApp = std::make_unique<TPlatform>();
        mSprites = std::make_unique<testing_support::WorldSprites>();
        for (const char* name : {"puff_l1", "loc_well", "loc_foodbin", "loc_plain"})
            mSprites->Add(name);
        mManager = std::make_unique<GVWorldManager>(&mScene, &mWorld);
        ASSERT_TRUE(mManager->Init());
        mWorld.SetViews(mManager.get(), nullptr);
        GVWorldCreature::ResetIdleVariations(1);
    }
    void TearDown() override {
        mManager.reset();
        mSprites.reset();
        GVLayoutCache::Clear();
        GVFactory::Instance().SetScene(nullptr);
        mApp.reset();
        port::control::UseFakeClock(false);
    }

    // A layout file for the location description of that name.
    void PutLayout(const std::string& name, const std::string& text) {
        mSprites->Put("xml/" + name + ".layout", text);
    }

    GVWorldCreature* MakeCreature(float x, float y, const char* name = "puff_l1") {
        auto* view = static_cast<GVWorldCreature*>(mManager->CreateVisual(name, 1));
        if (view != nullptr) view->SetPosition(x, y);
        return view;
    }
    // A location of the model whose view is drawn from the description of that name.
    static std::unique_ptr<GLocation> PlaceObject(const char* animatorName) {
        auto place = std::make_unique<GLocation>();
        auto data = std::make_unique<GLocationData>();
        data->animatorName = animatorName;
        place->SetData(std::move(data));
        return place;
    }
    GVWorldLocation* MakeLocation(const char* name, float x, float y) {
        auto* view = static_cast<GVWorldLocation*>(mManager->CreateVisual(name, 2));
        if (view != nullptr) view->SetPosition(x, y);
        return view;
    }

    // The walk value of a cell.
    int Cell(int column, int row) const { return mManager->GetGrid().GetValue(column, row); }

    void Advance(uint32_t ms) {
        port::control::AdvanceTime(ms);
        mApp->UpdateTasks();
    }

    // Destroyed last: the manager reads the world and the scene until it goes.
    GWorld mWorld;
    GVScene mScene;
    std::unique_ptr<TPlatform> mApp;
    std::unique_ptr<testing_support::WorldSprites> mSprites;
    std::unique_ptr<GVWorldManager> mManager;
};

}  // namespace views_test
