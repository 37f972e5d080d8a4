// A small world made by the test: definitions of the test's own in the world's registry, the
// recorders of support/worldrecorders.h as sound scheme, music, windows, message listener and
// starter listener, and, when a test asks for them, the player's preferences (UsePrefs) and views
// on the stand-in sprites (UseViews): the application object on the fake clock, a scene and a
// world view manager.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "foundation/file/fileindex.h"
#include "foundation/prefs/prefs.h"
#include "foundation/settingsmap.h"
#include "gv/gvfactory.h"
#include "gv/gvscene.h"
#include "platform/platform.h"
#include "port/control.h"
#include "simulation/views/worldcreature.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/world.h"
#include "support/tempdir.h"
#include "support/worldrecorders.h"
#include "support/worldsprites.h"

namespace worldtest {

class SmallWorld : public ::testing::Test {
protected:
    void SetUp() override {
        world.SetStarterListener(&starters);
        world.SetViews(nullptr, &messages);
    }
    void TearDown() override {
        world.SetViews(nullptr, nullptr);
        world.SetPrefs(nullptr);
        mPrefs.reset();
        mManager.reset();
        mSprites.reset();
        GVLayoutCache::Clear();
        GVFactory::Instance().SetScene(nullptr);
        mApp.reset();
    }

    // Views from here on: every definition made so far and later has the stand-in sprite.
    // levelCells, when given, is the landscape's level cell file.
    void UseViews(const std::string& levelCells = std::string()) {
        port::control::UseFakeClock(true);
        port::control::SetTime(100000);
        mApp = std::make_unique<TPlatform>();
        mSprites = std::make_unique<testing_support::WorldSprites>();
        mSprites->AddDefinitions(world.GetNames());
        if (!levelCells.empty()) mSprites->Put("xml/level1.layout", levelCells);
        mManager = std::make_unique<GVWorldManager>(&mScene, &world);
        ASSERT_TRUE(mManager->Init());
        GVWorldCreature::ResetIdleVariations(1);
        world.SetViews(mManager.get(), &messages);
    }
    GVWorldManager& Manager() { return *mManager; }
    // The player's preferences, in a folder of the test's own, lent to the world.
    TPrefs& UsePrefs() {
        SetUserDataRoot(mFolder.Path().c_str());
        TSettingsMap::GetInstance().Set("encryptionkey", "SmallWorldKey");
        mPrefs = std::make_unique<TPrefs>(false);
        world.SetPrefs(mPrefs.get());
        return *mPrefs;
    }
    GVScene& Scene() { return mScene; }
    testing_support::WorldSprites& Sprites() { return *mSprites; }
    // Runs the application's tasks for that long (the sprites' timers).
    void Advance(uint32_t milliseconds) {
        port::control::AdvanceTime(milliseconds);
        mApp->UpdateTasks();
        mManager->RefreshAll();
    }

    GCreatureData& DefineCreature(const char* fullName, const char* name = "Puff") {
        auto block = std::make_unique<GCreatureData>();
        block->name = name;
        block->fullName = fullName;
        block->animatorName = std::string("creature_").append(fullName).c_str();
        block->baseAnimatorName = block->animatorName;
        block->startHealth = 100;
        block->currentHealth = 100;
        GCreatureData& kept = *block;
        world.GetNames().AddCreatureDefinition(std::move(block));
        AddSprite(kept.animatorName);
        return kept;
    }
    GLocationData& DefineLocation(const char* fullName, std::vector<GResourceRecord> records = {}) {
        auto block = std::make_unique<GLocationData>();
        block->name = fullName;
        block->fullName = fullName;
        block->animatorName = std::string("place_").append(fullName).c_str();
        block->resources = std::move(records);
        GLocationData& kept = *block;
        world.GetNames().AddLocationDefinition(std::move(block));
        AddSprite(kept.animatorName);
        return kept;
    }
    GMonsterData& DefineHyena() {
        auto block = std::make_unique<GMonsterData>();
        block->name = "Hyena";
        block->fullName = "BasicHyena";
        block->animatorName = "hyena";
        block->startHealth = 50;
        block->currentHealth = 50;
        GMonsterData& kept = *block;
        world.GetNames().AddMonsterDefinition(std::move(block));
        return kept;
    }

    // A creature, location or monster of the definition, made by the world's factory; null
    // when none was made.
    GCreature* MakeCreature(const char* fullName, int16_t x = -1, int16_t y = -1) {
        return world.CreateCreature(fullName, x, y) ? world.GetCreatures().back().get() : nullptr;
    }
    GLocation* MakeLocation(const char* fullName, int16_t x = 100, int16_t y = 100) {
        return world.CreateLocation(fullName, x, y) ? world.GetLocations().back().get() : nullptr;
    }
    GMonster* MakeHyena(int16_t x = -1, int16_t y = -1) {
        return world.CreateMonster("BasicHyena", x, y) ? world.GetMonsters().back().get() : nullptr;
    }

    // Recorders first: the world may talk to them until it goes.
    testing_support::RecordingSounds sounds;
    testing_support::RecordingMusic music;
    testing_support::RecordingWindows windows;
    testing_support::RecordingMessages messages;
    testing_support::StarterLog starters;
    GWorld world;

private:
    void AddSprite(const str& name) {
        if (mSprites != nullptr) mSprites->Add(name.c_str());
    }

    testing_support::TempDir mFolder;
    std::unique_ptr<TPrefs> mPrefs;
    GVScene mScene;
    std::unique_ptr<TPlatform> mApp;
    std::unique_ptr<testing_support::WorldSprites> mSprites;
    std::unique_ptr<GVWorldManager> mManager;
};

// A point as a pair, to compare and print.
inline std::pair<float, float> Point(const TVec2& point) {
    return {point.x, point.y};
}
inline std::pair<float, float> Point(float x, float y) {
    return {x, y};
}

// A level cell file that blocks every cell of the world's grid.
inline std::string BlockedLevel() {
    constexpr int kColumns = 120;
    constexpr int kRows = 90;
    const int count = kColumns * kRows;
    std::string bytes;
    for (int shift = 0; shift < 32; shift += 8)
        bytes += static_cast<char>((count >> shift) & 0xFF);
    for (int column = 0; column < kColumns; ++column)
        for (int row = 0; row < kRows; ++row)
            bytes += std::string{static_cast<char>(column), static_cast<char>(row),
                                 static_cast<char>(255)};
    return bytes;
}

inline GResourceRecord Record(int type, int quantity, int maxQuantity) {
    GResourceRecord record;
    record.type = type;
    record.quantity = quantity;
    record.maxQuantity = maxQuantity;
    return record;
}

}  // namespace worldtest
