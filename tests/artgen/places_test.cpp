// The places' descriptions against what the world and the location view ask of them, written
// from the game's rules, not from the recipes: for every animator of the location definitions,
// its root, its level pictures over the counts its build levels need (every picture one the
// world can show), the switches the world sends to the hospital, the ark's material piles, the
// dig sites, the treasure and the bonuses, "normal" on every child and no "any". Every
// description loads through the real factory and activates without a window; "level1" holds
// its 20 tiles.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "builtfactory.h"
#include "foundation/file/assetfolder.h"
#include "foundation/xml/xmlnode.h"
#include "gv/keys/flagmasktext.h"
#include "gv/keys/namemaskregistry.h"
#include "island.h"
#include "simulation/worldkeys.h"
#include "support/tempdir.h"

namespace {

using island_test::Island;

std::string Attr(const TXmlNode* node, const char* name) {
    return node->GetAttribute(name).c_str();
}

// Pictures a place needs: its build levels (PerLevelImagesCount) and stock pictures
// (CapacityImagesCount), and the build levels the world gives it over its life. The location
// view shows level picture trunc(level × (pictures − 1) + 0.01).
struct Pictures {
    const char* animator;
    int levels;
    int stock;
    std::vector<double> reached;  // build levels the rules produce (a few of each range)
};

// From the build ranges with the build step's adjustments (0.95 at most while work remains),
// the levels the world sets directly, and the starting levels of the definitions.
const std::vector<Pictures>& Expected() {
    static const std::vector<Pictures> table = {
        // The sickly konut tree: 0 until irrigation work (up to 0.9), 1 when irrigated.
        {"loc_konutbush", 3, 4, {0, 0.5, 0.9, 1}},
        {"loc_prekonutbush", 3, 2, {0, 0.5, 0.95, 1}},
        {"loc_konutbush2", 1, 4, {0, 1}},
        {"loc_konutbush3", 1, 4, {0}},
        {"loc_konutbush4", 1, 4, {0}},
        {"loc_konutbush_small", 1, 4, {0}},
        // The bud starts at 0.5; 0.5 when the hospital stands, 1 at the first fever.
        {"loc_preflower", 2, 0, {0.5, 0.75, 0.95, 1}},
        {"loc_yayaflower", 1, 0, {0}},
        {"loc_smallberry", 1, 0, {0}},
        {"loc_konutroots", 2, 0, {0, 1}},
        {"loc_foodbin", 5, 4, {0, 0.25, 0.5, 0.75, 0.95, 1}},
        {"loc_foodbin_broken", 1, 4, {1}},
        // Wells: 0, 0.25 at the snow melt, 0.5 to 1 while dug (a result under 0.5 raised to it).
        {"loc_well", 5, 3, {0, 0.25, 0.5, 0.75, 0.95, 1}},
        {"loc_pool", 2, 4, {0, 1}},
        {"loc_watertank", 5, 4, {0, 0.25, 0.5, 0.75, 0.95, 1}},
        {"loc_watertank_broken", 1, 4, {1}},
        {"loc_hospital", 5, 0, {0, 0.25, 0.5, 0.75, 0.95, 1}},
        {"loc_hospital_broken", 1, 0, {1}},
        {"loc_waterfall", 2, 0, {0, 1}},
        {"loc_devpool", 1, 0, {0}},
        // The metal pile: 0, 0.5 at the snow melt, 0.5 to 1 while opened.
        {"loc_metalpile", 3, 0, {0, 0.5, 0.75, 0.95, 1}},
        {"loc_rockoblings", 1, 0, {0}},
        {"loc_rockwedges", 1, 0, {0}},
        {"loc_stickspile", 1, 0, {0}},
        {"loc_saltwater", 3, 0, {0, 0.5, 1}},
        {"loc_snow", 2, 0, {0, 1}},
        {"loc_hyenapit", 1, 0, {0}},
        {"loc_fertilizer", 3, 0, {0, 0.5, 1}},
        // The idols' four definitions: 0-0.33, 0.33-0.67, 0.67-1 and 1.
        {"loc_idol_elephant", 4, 0, {0, 0.33f, 0.67f, 0.95, 1}},
        {"loc_idol_giraffe", 4, 0, {0, 0.33f, 0.67f, 0.95, 1}},
        {"loc_idol_lion", 4, 0, {0, 0.33f, 0.67f, 0.95, 1}},
        {"loc_idol_monkey", 4, 0, {0, 0.33f, 0.67f, 0.95, 1}},
        {"loc_idol_zebra", 4, 0, {0, 0.33f, 0.67f, 0.95, 1}},
        // The ark: 0.17 to begin with, 0.5 once its parts are aboard, 0.5 to 1 nailed.
        {"loc_ark", 4, 0, {0.17f, 0.5, 0.66, 0.67, 0.95, 1}},
        {"loc_ark_part_1", 3, 0, {0.36f, 0.5, 0.95, 1}},
        {"loc_ark_part_2", 3, 0, {0.36f, 0.5, 0.95, 1}},
        {"loc_ark_part_3", 3, 0, {0.36f, 0.5, 0.95, 1}},
        {"loc_ark_part_4", 3, 0, {0.36f, 0.5, 0.95, 1}},
        // Dig sites show their digging through "sand"; material piles through their switches.
        {"loc_ark_part_place", 1, 0, {0}},
        {"loc_ark_materials", 1, 0, {0}},
        {"loc_dummy", 1, 0, {0}},
        {"loc_prehospital", 3, 0, {0, 0.5, 1}},
        {"loc_prefoodbin", 3, 0, {0, 0.33, 0.67, 1}},
        {"loc_prewatertank", 3, 0, {0, 0.5, 1}},
        {"loc_beach", 1, 0, {0}},
        {"loc_channel", 2, 3, {0, 1}},
        {"loc_totem", 1, 0, {0}},
        {"loc_tree", 1, 0, {0}},
    };
    return table;
}

const std::set<std::string> kNoLevels = {"loc_treasure",       "loc_bonus_konuts",
                                         "loc_bonus_hammer",   "loc_bonus_shovel",
                                         "loc_bonus_tomahawk", "loc_bonus_cactus"};
const std::set<std::string> kFlat = {"loc_saltwater", "loc_beach",      "loc_pool",
                                     "loc_channel",   "loc_fertilizer", "loc_ark_part_place"};

std::string LevelId(int level, int stock) {
    return "level" + std::to_string(level) + "_capacity" + std::to_string(stock);
}

struct Child {
    const TXmlNode* node = nullptr;
    std::map<std::string, const TXmlNode*> states;
    bool Hidden(const std::string& id) const { return Attr(states.at(id), "visible") == "0"; }
};

class PlaceDescription : public ::testing::Test {
protected:
    bool Read(const std::string& name) {
        mText =
            testing_support::ReadFileBytes(std::string(ART_GAME_FOLDER) + "/xml/" + name + ".xml");
        if (mText.empty()) return false;
        mChildren.clear();
        mDocument = std::make_unique<TXmlNode>();
        mDocument->ParseString(mText.c_str(), mText.size());
        if (mDocument->GetChildren().empty()) return false;
        mRoot = mDocument->GetChildren().front();
        const TXmlNode* objects = mRoot->FindChild("objects");
        if (objects == nullptr) return false;
        for (const TXmlNode* obj : objects->GetChildren()) {
            Child c;
            c.node = obj;
            if (const TXmlNode* states = obj->FindChild("states"))
                for (const TXmlNode* s : states->GetChildren())
                    c.states[Attr(s, "id")] = s;
            mChildren[Attr(obj, "id")] = c;
        }
        return true;
    }
    bool HasLevelStates(const Child& c) const {
        for (const auto& [id, s] : c.states)
            if (id.rfind("level", 0) == 0) return true;
        return false;
    }

    std::string mText;
    std::unique_ptr<TXmlNode> mDocument;
    const TXmlNode* mRoot = nullptr;
    std::map<std::string, Child> mChildren;
};

TEST(PlaceTable, EveryAnimatorOfTheDataHasARowAndEveryBuildLevelItReachesAPicture) {
    std::set<std::string> rows(kNoLevels);
    for (const Pictures& p : Expected()) {
        rows.insert(p.animator);
        // Every picture is shown at some level the rules give, and no level beyond them.
        std::set<int> shown;
        for (double level : p.reached)
            shown.insert(int(level * (p.levels - 1) + 0.01));
        EXPECT_EQ(int(shown.size()), p.levels) << p.animator;
        EXPECT_EQ(*shown.rbegin(), p.levels - 1) << p.animator;
    }
    for (const std::string& animator : Island::Get().AllAnimators())
        EXPECT_TRUE(rows.count(animator)) << animator << " has no row";
}

TEST_F(PlaceDescription, EachHasItsIdLevelPicturesOverItsCountsNormalAndNoAny) {
    for (const Pictures& p : Expected()) {
        SCOPED_TRACE(p.animator);
        ASSERT_TRUE(Read(p.animator));
        EXPECT_EQ(std::string(mRoot->GetName().c_str()), "main");
        EXPECT_EQ(Attr(mRoot, "id"), p.animator);
        EXPECT_EQ(Attr(mRoot, "hit_test"), "alpha");
        EXPECT_EQ(mRoot->FindChild("framelist"), nullptr);
        const double depth = std::atof(Attr(mRoot, "deltaZ").c_str());
        EXPECT_EQ(depth, kFlat.count(p.animator) ? -30000.0 : 0.0);
        int withLevels = 0;
        for (const auto& [id, c] : mChildren) {
            SCOPED_TRACE(id);
            EXPECT_TRUE(c.states.count("normal"));
            EXPECT_FALSE(c.states.count("any"));
            EXPECT_EQ(Attr(c.node, "hit_test"), "alpha");
            if (!HasLevelStates(c)) continue;
            ++withLevels;
            // The full product of level and stock pictures, and nothing beyond.
            for (int level = 0; level < p.levels; ++level)
                for (int stock = 0; stock < std::max(1, p.stock); ++stock)
                    EXPECT_TRUE(c.states.count(LevelId(level, stock))) << LevelId(level, stock);
            EXPECT_FALSE(c.states.count(LevelId(p.levels, 0)));
            EXPECT_FALSE(c.states.count(LevelId(0, std::max(1, p.stock))));
            // "normal" is the first level's picture with the first stock picture.
            EXPECT_EQ(Attr(c.states.at("normal"), "framelist"),
                      Attr(c.states.at(LevelId(0, 0)), "framelist"));
        }
        EXPECT_GT(withLevels, 0);
    }
}

TEST_F(PlaceDescription, TheHospitalAndItsWreckShowEachCureAndHideThemAll) {
    for (const char* name : {"loc_hospital", "loc_hospital_broken"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Read(name));
        std::set<std::string> seen;
        for (const char* cure : {"tumrot", "kopox", "fever", "ebolio"}) {
            const std::string on = std::string("cure_") + cure + "_on";
            int shows = 0;
            for (const auto& [id, c] : mChildren) {
                if (!c.states.count(on)) continue;
                ++shows;
                seen.insert(id);
                EXPECT_FALSE(c.Hidden(on)) << id;
                ASSERT_TRUE(c.states.count("cure_all_off")) << id;
                EXPECT_TRUE(c.Hidden("cure_all_off")) << id;
                EXPECT_TRUE(c.Hidden("normal")) << id;
                EXPECT_FALSE(HasLevelStates(c)) << id;
            }
            EXPECT_EQ(shows, 1) << on;
        }
        // One child a cure: several show together.
        EXPECT_EQ(seen.size(), 4u);
    }
}

TEST_F(PlaceDescription, TheArkMaterialsShowAPileForEachMaterialAndAMarker) {
    ASSERT_TRUE(Read("loc_ark_materials"));
    std::set<std::string> piles;
    for (const char* material : {"sticks", "woods", "stones", "stones_2"}) {
        const std::string prefix = std::string("materials_") + material + "_level_";
        int children = 0;
        for (const auto& [id, c] : mChildren) {
            if (!c.states.count(prefix + "0")) continue;
            ++children;
            piles.insert(id);
            for (int level = 0; level <= 3; ++level) {
                ASSERT_TRUE(c.states.count(prefix + std::to_string(level))) << id << level;
                EXPECT_FALSE(c.Hidden(prefix + std::to_string(level))) << id << level;
            }
            ASSERT_TRUE(c.states.count("materials_all_off")) << id;
            EXPECT_TRUE(c.Hidden("materials_all_off")) << id;
            EXPECT_TRUE(c.Hidden("normal")) << id;
            // A pile answers its own material's keys only.
            for (const auto& [state, node] : c.states)
                EXPECT_TRUE(state == "normal" || state == "materials_all_off" ||
                            state.rfind(prefix, 0) == 0)
                    << id << " " << state;
        }
        EXPECT_EQ(children, 1) << material;
    }
    EXPECT_EQ(piles.size(), 4u);
    int markers = 0;
    for (const auto& [id, c] : mChildren) {
        if (!c.states.count("ark_part_wood_on")) continue;
        ++markers;
        EXPECT_FALSE(c.Hidden("ark_part_wood_on"));
        ASSERT_TRUE(c.states.count("ark_part_wood_off"));
        EXPECT_TRUE(c.Hidden("ark_part_wood_off"));
        EXPECT_TRUE(c.Hidden("normal"));
    }
    EXPECT_EQ(markers, 1);
}

TEST_F(PlaceDescription, ADigSiteHasItsSandAtFullOpacityForTheWorldToFade) {
    ASSERT_TRUE(Read("loc_ark_part_place"));
    ASSERT_TRUE(mChildren.count("sand"));
    const Child& sand = mChildren.at("sand");
    EXPECT_FALSE(sand.Hidden("normal"));
    EXPECT_EQ(Attr(sand.node, "alpha"), "");
    for (const auto& [id, s] : sand.states) {
        EXPECT_EQ(Attr(s, "alpha"), "") << id;
        EXPECT_EQ(s->FindChild("AlphaInterpolator"), nullptr) << id;
    }
}

TEST_F(PlaceDescription, TheTreasureAndTheBonusesHaveTheirStatesAndNoLevels) {
    for (const std::string& name : kNoLevels) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(Read(name));
        std::set<std::string> ids = {"normal", "hidden"};
        if (name == "loc_treasure") {
            ids.insert("treasure_mark");
            // Shown at a dig site, it is drawn over the sand.
            EXPECT_EQ(Attr(mRoot, "deltaZ"), "5");
        }
        for (const std::string& id : ids) {
            bool shown = false;
            for (const auto& [child, c] : mChildren) {
                EXPECT_FALSE(HasLevelStates(c)) << child;
                if (c.states.count(id) && !c.Hidden(id)) shown = true;
            }
            EXPECT_EQ(shown, id != "hidden") << id;
        }
        for (const auto& [child, c] : mChildren)
            for (const auto& [id, s] : c.states)
                EXPECT_TRUE(ids.count(id)) << child << " " << id;
    }
}

TEST(LevelPicture, TheLevelHasTwentyTilesUnderEverythingAndNoFrames) {
    const std::string text =
        testing_support::ReadFileBytes(std::string(ART_GAME_FOLDER) + "/xml/level1.xml");
    TXmlNode document;
    document.ParseString(text.c_str(), text.size());
    ASSERT_FALSE(document.GetChildren().empty());
    const TXmlNode* root = document.GetChildren().front();
    EXPECT_EQ(Attr(root, "id"), "level1");
    EXPECT_EQ(root->FindChild("framelist"), nullptr);
    int tiles = 0;
    for (const TXmlNode* obj : root->FindChild("objects")->GetChildren()) {
        if (Attr(obj, "deltaZ") != "-100000") continue;
        ++tiles;
        const TXmlNode* images = obj->FindChild("images");
        ASSERT_NE(images, nullptr);
        ASSERT_EQ(images->GetChildren().size(), 1u);
        const std::string png = testing_support::ReadFileBytes(
            std::string(ART_GAME_FOLDER) + "/anim/" + Attr(images->GetChildren().front(), "name"));
        ASSERT_GE(png.size(), 24u);
        auto side = [&](size_t at) {
            return (uint8_t(png[at]) << 24) | (uint8_t(png[at + 1]) << 16) |
                   (uint8_t(png[at + 2]) << 8) | uint8_t(png[at + 3]);
        };
        EXPECT_LE(side(16), 1024) << Attr(obj, "id");
        EXPECT_LE(side(20), 1024) << Attr(obj, "id");
    }
    EXPECT_EQ(tiles, 20);
}

// Through the real factory, from the built game folder, into a scene without a window.
using PlaceFactoryTest = island_test::BuiltFactoryTest;

TEST_F(PlaceFactoryTest, EveryPlaceAndTheLevelLoadAndActivateAndTakeTheirLastPicture) {
    std::vector<std::string> names(kNoLevels.begin(), kNoLevels.end());
    for (const Pictures& p : Expected())
        names.push_back(p.animator);
    names.push_back("level1");
    for (const std::string& name : names) {
        SCOPED_TRACE(name);
        GVObject* object = Keep(Factory().CreateObject(name.c_str(), true));
        ASSERT_NE(object, nullptr);
        ASSERT_GT(object->GetChildCount(), 0);
        for (int32_t i = 0; i < object->GetChildCount(); ++i) {
            const GVObject* child = object->GetChilds()->GetAt(i);
            EXPECT_NE(child->GetCurrentFrame(), nullptr) << i;
            EXPECT_EQ(child->GetStateId(), ParseFlagMask("normal")) << i;
        }
    }
    for (const Pictures& p : Expected()) {
        GVObject* object = Keep(Factory().CreateObject(p.animator, true));
        ASSERT_NE(object, nullptr);
        const std::string last = LevelId(p.levels - 1, std::max(1, p.stock) - 1);
        EXPECT_GT(object->SetStateRecursive(ParseFlagMask(last.c_str()), true, false), 0)
            << p.animator;
    }
}

}  // namespace
