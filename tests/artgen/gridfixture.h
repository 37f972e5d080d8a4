// The island's walk grid as the world view manager builds it: the level picture and its
// landscape cells from the built game folder, then a view for every place of the start layout,
// each drawn from its definition's animator and standing at its first level. A configuration
// changes one place: it shows another animator of its life (what it is built into, its wreck)
// at one of that animator's levels, the others staying as they were; the manager rebuilds the
// grid in its own order (landscape, then every place, later writes winning).
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/file/assetfolder.h"
#include "foundation/log.h"
#include "gv/gvfactory.h"
#include "gv/gvscene.h"
#include "island.h"
#include "platform/platform.h"
#include "port/control.h"
#include "simulation/views/worldlocation.h"
#include "simulation/views/worldmanager.h"
#include "simulation/walk/layoutcache.h"
#include "simulation/walk/walkgrid.h"
#include "simulation/world.h"
#include "support/tempdir.h"

namespace island_test {

// A cell of the grid, column first.
struct Cell {
    int column = 0;
    int row = 0;
    friend bool operator<(const Cell& a, const Cell& b) {
        return a.column != b.column ? a.column < b.column : a.row < b.row;
    }
    friend bool operator==(const Cell& a, const Cell& b) = default;
};

inline Cell CellOf(double x, double y) {
    return {int(x / 20), int(y / 20)};
}

// One place of the start layout as the grid sees it now.
struct PlaceView {
    const Placed* placed = nullptr;
    std::string animator;
    int level = 0;
    GVWorldLocation* view = nullptr;
    Cell Base() const { return CellOf(placed->x, placed->y); }
    const GVLayoutLevel* Record() const { return view->GetLevelRecord(); }
};

class GridFixture : public ::testing::Test {
protected:
    void SetUp() override {
        SetLogFile(mScratch.File("log").c_str());
        port::control::UseFakeClock(true);
        port::control::SetTime(100000);
        mApp = std::make_unique<TPlatform>();
        const std::filesystem::path folder(ART_GAME_FOLDER);
        ASSERT_EQ(chdir(folder.parent_path().c_str()), 0);
        ScanAssetFolder("", "assets");
        mManager = std::make_unique<GVWorldManager>(&mScene, &mWorld);
        ASSERT_TRUE(mManager->Init());
        const Island& island = Island::Get();
        for (const Placed& p : island.locations) {
            const std::vector<std::string> animators = island.Animators(p.name);
            ASSERT_FALSE(animators.empty()) << p.name;
            mPlaces.push_back({&p, animators.front(), 0, nullptr});
            Show(mPlaces.back(), animators.front(), 0);
            ASSERT_NE(mPlaces.back().view, nullptr) << p.name;
        }
        mManager->RebuildWalkability();
    }
    void TearDown() override {
        mManager.reset();
        GVLayoutCache::Clear();
        GVFactory::Instance().ReleaseAll();
        GVFactory::Instance().SetScene(nullptr);
        mApp.reset();
        port::control::UseFakeClock(false);
    }

    // The number of level pictures of an animator.
    static int Levels(const std::string& animator) {
        return std::max(1, GVLayoutCache::Get(str(animator.c_str()))->perLevelImagesCount);
    }

    // The place shows the animator at the level (a picture number).
    void Show(PlaceView& place, const std::string& animator, int level) {
        if (place.view == nullptr || place.animator != animator) {
            if (place.view != nullptr) mManager->RemoveVisual(place.view);
            place.view = static_cast<GVWorldLocation*>(mManager->CreateVisual(animator.c_str(), 2));
            place.animator = animator;
            if (place.view == nullptr) return;
            place.view->SetPosition(float(place.placed->x), float(place.placed->y));
        }
        const int levels = Levels(animator);
        place.level = level;
        place.view->SetLevel(levels > 1 ? float(level) / float(levels - 1) : 0.0f);
    }

    // Calls check with every configuration: the start layout first, then every place with each
    // animator of its life at each of its levels (the others at their first), the varied place
    // passed (null for the start layout).
    void ForEachConfiguration(const std::function<void(const PlaceView*)>& check) {
        mManager->RebuildWalkability();
        check(nullptr);
        const Island& island = Island::Get();
        for (PlaceView& place : mPlaces) {
            const std::string first = place.animator;
            for (const std::string& animator : island.Animators(place.placed->name)) {
                for (int level = 0; level < Levels(animator); ++level) {
                    if (animator == first && level == 0) continue;
                    Show(place, animator, level);
                    mManager->RebuildWalkability();
                    check(&place);
                }
            }
            Show(place, first, 0);
        }
        mManager->RebuildWalkability();
    }

    int Value(const Cell& c) const {
        const GVWalkGrid& grid = mManager->GetGrid();
        return grid.IsInside(c.column, c.row) ? grid.GetValue(c.column, c.row) : 255;
    }
    // The place whose footprint holds the cell now, or null.
    const PlaceView* FootprintAt(const Cell& c) const {
        for (const PlaceView& p : mPlaces) {
            const Cell base = p.Base();
            if (p.view->IsInFootprint(c.column - base.column, c.row - base.row)) return &p;
        }
        return nullptr;
    }
    static std::string Name(const PlaceView& p) {
        return p.placed->name + " (" + p.animator + " level " + std::to_string(p.level) + ")";
    }
    static std::string Where(const PlaceView* varied) {
        return varied == nullptr ? "the start layout" : Name(*varied);
    }

    testing_support::TempDir mScratch;
    GWorld mWorld;
    GVScene mScene;
    std::unique_ptr<TPlatform> mApp;
    std::unique_ptr<GVWorldManager> mManager;
    std::vector<PlaceView> mPlaces;
};

// Collects the faults of a lint and prints the first of them.
class Faults {
public:
    void Add(const std::string& fault) {
        if (mFaults.size() < 40) mFaults.push_back(fault);
        ++mCount;
    }
    void Expect() const {
        std::string text;
        for (const std::string& f : mFaults)
            text += "  " + f + "\n";
        EXPECT_EQ(mCount, 0) << text;
    }

private:
    std::vector<std::string> mFaults;
    int mCount = 0;
};

}  // namespace island_test
