// Every place of the data through a real location view with its real layout, at its start
// position (the middle of the world for a place the start layout does not hold), drawn after
// every step: the build level from 0 to 1 in hundredths and the stock over its whole range each
// draw a picture, and every level and stock picture of the description is drawn at a level the
// world gives the place; the switches the world sends the hospital, the ark's material piles,
// the dig sites, the treasure and the bonuses draw what they say; and the cells under a place's
// opaque pixels are its work area.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>
#include <vector>

#include "gv/anim/gvstate.h"
#include "gv/gvchilds.h"
#include "placetable.h"
#include "simulation/walk/layout.h"
#include "viewfixture.h"

namespace art_test {
namespace {

using artlint::LevelId;
using artlint::PlacePictures;
using artlint::PlacesWithoutLevels;
using artlint::PlaceTable;

std::vector<std::string> PlaceNames() {
    std::set<std::string> names(PlacesWithoutLevels());
    for (const PlacePictures& p : PlaceTable())
        names.insert(p.animator);
    return {names.begin(), names.end()};
}

const PlacePictures* Row(const std::string& name) {
    for (const PlacePictures& p : PlaceTable())
        if (name == p.animator) return &p;
    return nullptr;
}

class PlaceViewTest : public ArtViewTest, public ::testing::WithParamInterface<std::string> {
protected:
    void SetUp() override {
        ArtViewTest::SetUp();
        testing_support::CastPlace place;
        place.animator = GetParam();
        place.x = 1200;
        place.y = 900;
        for (const testing_support::CastPlace& start : Cast().StartLayout())
            if (start.animator == GetParam()) place = start;
        mView = testing_support::MakePlaceView(*mManager, place);
        ASSERT_NE(mView, nullptr);
        mSprite = mView->GetSprite();
        LookAt(mView->GetPosition());
    }

    GVObject* Child(const std::string& id) const { return mSprite->GetChild(id.c_str()); }
    // The level pictures the children drew.
    std::set<std::string> DrawnPictures(const DrawnFrame& frame) const {
        std::set<std::string> shown;
        for (int32_t i = 0; i < mSprite->GetChildCount(); ++i) {
            const GVObject* child = mSprite->GetChilds()->GetAt(i);
            const std::string state = StateOf(child);
            if (state.rfind("level", 0) == 0 && Drew(frame, child)) shown.insert(state);
        }
        return shown;
    }
    void Send(const std::string& key) { mSprite->SetStateRecursive(Key(key), true, false); }

    GVWorldLocation* mView = nullptr;
    GVObject* mSprite = nullptr;
};

using PlacePicturesTest = PlaceViewTest;

TEST_P(PlacePicturesTest, EveryLevelAndStockStepDrawsAndEveryPictureIsReached) {
    const PlacePictures* row = Row(GetParam());
    ASSERT_NE(row, nullptr);
    constexpr float kMaximum = 100.0f;
    for (int step = 0; step <= 100; ++step) {
        mView->SetLevel(float(step) / 100);
        EXPECT_FALSE(DrawnPictures(Draw()).empty()) << "nothing drawn at level " << step << "%";
    }
    std::set<std::string> reached;
    for (float level : row->reached) {
        mView->SetLevel(level);
        for (int amount = 0; amount <= int(kMaximum); amount += 5) {
            mView->SetCapacity(float(amount), kMaximum);
            const std::set<std::string> drawn = DrawnPictures(Draw());
            EXPECT_FALSE(drawn.empty())
                << "nothing drawn at level " << level << ", stock " << amount << " of " << kMaximum;
            reached.insert(drawn.begin(), drawn.end());
        }
    }
    std::set<std::string> all;
    for (int level = 0; level < row->levels; ++level)
        for (int stock = 0; stock < std::max(1, row->stock); ++stock)
            all.insert(LevelId(level, stock));
    EXPECT_EQ(reached, all);
}

// At every level the world gives a place where workers stand (its record has mount points), the
// cells of the world whose middle lies under the drawn picture's opaque pixels are its work area:
// a worker dropped on what a player sees reaches the place.
TEST_P(PlacePicturesTest, TheCellsUnderItsOpaquePixelsAreItsWorkArea) {
    const PlacePictures* row = Row(GetParam());
    ASSERT_NE(row, nullptr);
    const float cell = mManager->GetCellSize();
    for (float level : row->reached) {
        mView->SetLevel(level);
        const GVLayoutLevel* record = mView->GetLevelRecord();
        if (record == nullptr || record->workMountPoints.empty()) continue;
        const std::vector<DrawnQuad> quads = Draw().Of(mSprite);
        float left, top, right, bottom;
        if (!DrawnFrame::Bounds(quads, &left, &top, &right, &bottom)) continue;
        left = std::max(left, 0.0f);
        top = std::max(top, 0.0f);
        right = std::min(right, mManager->GetWorldWidth());
        bottom = std::min(bottom, mManager->GetWorldHeight());
        for (float y = std::floor(top / cell) * cell + cell / 2; y < bottom; y += cell) {
            for (float x = std::floor(left / cell) * cell + cell / 2; x < right; x += cell) {
                if (DrawnFrame::AlphaAt(quads, x, y) < 0.9f) continue;
                EXPECT_TRUE(
                    mManager->IsInWorkArea(mView, TVec2(x - mView->GetX(), y - mView->GetY())))
                    << "level " << level << ": the cell at " << x << ", " << y
                    << " is drawn but no work area";
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Art, PlacePicturesTest, ::testing::ValuesIn([] {
                             std::vector<std::string> names;
                             for (const PlacePictures& p : PlaceTable())
                                 names.push_back(p.animator);
                             return names;
                         }()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

// The parameters are the data's place animators, as the game's loaders read them.
TEST_F(ArtViewTest, ThePlaceTestsCoverEveryPlaceOfTheData) {
    EXPECT_EQ(Cast().PlaceAnimators(), PlaceNames());
}

class PlaceSwitchTest : public PlaceViewTest {};

std::string Param(const ::testing::TestParamInfo<std::string>& info) {
    return info.param;
}

// The hospital shows each cure it has made beside the others, and "cure_all_off" takes them all.
TEST_P(PlaceSwitchTest, TheHospitalsCuresShowTogetherUntilAllAreOff) {
    std::set<const GVObject*> cures;
    for (const char* cure : {"tumrot", "kopox", "fever", "ebolio"}) {
        SCOPED_TRACE(cure);
        const std::set<std::string> before = DrawnPictures(Draw());
        const size_t shownBefore = Draw().quads.size();
        Send(std::string("cure_") + cure + "_on");
        const DrawnFrame frame = Draw();
        EXPECT_GT(frame.quads.size(), shownBefore) << "the cure does not show";
        EXPECT_EQ(DrawnPictures(frame), before) << "the building changed with the cure";
    }
    Send("cure_all_off");
    const DrawnFrame frame = Draw();
    for (int32_t i = 0; i < mSprite->GetChildCount(); ++i) {
        const GVObject* child = mSprite->GetChilds()->GetAt(i);
        if (StateOf(child) == "cure_all_off") {
            EXPECT_FALSE(Drew(frame, child)) << child->GetName().c_str();
        }
    }
}
INSTANTIATE_TEST_SUITE_P(Hospital, PlaceSwitchTest,
                         ::testing::Values("loc_hospital", "loc_hospital_broken"), Param);

using ArkMaterialsTest = PlaceViewTest;

// Each material's pile grows through its four levels, and the marker of a part's wood comes and
// goes; "materials_all_off" clears the piles.
TEST_P(ArkMaterialsTest, PilesGrowAndTheMarkerComesAndGoes) {
    // The children the switches show, each on its own: the four piles and the marker.
    const auto switched = [&](const DrawnFrame& frame) {
        std::vector<DrawnQuad> quads;
        for (int32_t i = 0; i < mSprite->GetChildCount(); ++i) {
            const GVObject* child = mSprite->GetChilds()->GetAt(i);
            const GVStates* states = child->GetStates();
            if (states != nullptr && (states->FindByKey(Key("materials_all_off")) >= 0 ||
                                      states->FindByKey(Key("ark_part_wood_on")) >= 0)) {
                const std::vector<DrawnQuad> mine = frame.Of(child);
                quads.insert(quads.end(), mine.begin(), mine.end());
            }
        }
        return quads;
    };
    EXPECT_TRUE(switched(Draw()).empty()) << "piles or marker shown before the world says";
    for (const char* material : {"sticks", "woods", "stones", "stones_2"}) {
        float lastArea = 0;
        for (int level = 0; level <= 3; ++level) {
            const std::string key =
                std::string("materials_") + material + "_level_" + std::to_string(level);
            Send(key);
            float area = 0;
            for (const DrawnQuad& q : switched(Draw()))
                area += (q.right - q.left) * (q.bottom - q.top);
            EXPECT_GT(area, 0) << key << " draws nothing";
            EXPECT_GE(area, lastArea) << key << " draws a smaller pile";
            lastArea = area;
        }
        Send("materials_all_off");
    }
    EXPECT_TRUE(switched(Draw()).empty()) << "\"materials_all_off\" leaves a pile";
    Send("ark_part_wood_on");
    EXPECT_FALSE(switched(Draw()).empty()) << "no marker";
    Send("ark_part_wood_off");
    EXPECT_TRUE(switched(Draw()).empty()) << "the marker stays";
}
INSTANTIATE_TEST_SUITE_P(Art, ArkMaterialsTest, ::testing::Values("loc_ark_materials"), Param);

using DigSiteTest = PlaceViewTest;

// The world fades the dig site's sand as the digging goes on (opacity 1 - progress).
TEST_P(DigSiteTest, TheSandDrawsWithTheOpacityTheWorldGivesIt) {
    GVObject* sand = Child("sand");
    ASSERT_NE(sand, nullptr);
    for (float opacity : {1.0f, 0.75f, 0.5f, 0.25f, 0.0f}) {
        sand->alpha = opacity;
        sand->changed = 1;
        const std::vector<DrawnQuad> drawn = Draw().Of(sand);
        if (opacity == 0.0f) {
            for (const DrawnQuad& q : drawn)
                EXPECT_EQ(q.opacity, 0.0f);
            continue;
        }
        ASSERT_FALSE(drawn.empty()) << "no sand at " << opacity;
        for (const DrawnQuad& q : drawn)
            EXPECT_NEAR(q.opacity, opacity, 1.0f / 255) << "sand at " << opacity;
    }
}
INSTANTIATE_TEST_SUITE_P(Art, DigSiteTest, ::testing::Values("loc_ark_part_place"), Param);

using HiddenThingTest = PlaceViewTest;

// The treasure and the bonuses show at "normal" and vanish at "hidden"; the treasure's map mark
// shows too.
TEST_P(HiddenThingTest, NormalShowsHiddenDrawsNothing) {
    std::vector<std::pair<std::string, bool>> steps = {
        {"hidden", false}, {"normal", true}, {"hidden", false}};
    if (GetParam() == "loc_treasure") {
        steps.emplace_back("treasure_mark", true);
        steps.emplace_back("hidden", false);
    }
    for (const auto& [key, shown] : steps) {
        Send(key);
        EXPECT_EQ(!Draw().Of(mSprite).empty(), shown) << key;
    }
}
INSTANTIATE_TEST_SUITE_P(Art, HiddenThingTest, ::testing::ValuesIn([] {
                             return std::vector<std::string>(PlacesWithoutLevels().begin(),
                                                             PlacesWithoutLevels().end());
                         }()),
                         Param);

}  // namespace
}  // namespace art_test
