// TAssetMap: resolving names with the standard extensions, the kind table with each kind's key
// and loader, the query part of sound names, failures and quiet, GetSound.
#include "platform/assetmap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "animationfixture.h"
#include "anmwriter.h"
#include "audio/oggdatasource.h"
#include "audio/sound.h"
#include "platform/animation/model.h"
#include "script/scriptcode.h"
#include "oggwriter.h"

namespace {

using Messages = std::vector<std::string>;

const char* const kWalkXml = R"(<sequence name="walk">
  <img name="walk.png"/>
  <framelist><frame x="0" y="0" w="16" h="16"/></framelist>
</sequence>
)";

class AssetMapTest : public AnimationTest {
protected:
    void SetUp() override {
        AnimationTest::SetUp();
        RegisterOggDataSourceBuilder();
    }
    // A real sound file: a tenth of a second of a tone, as Ogg.
    static const std::string& Sound() {
        static const std::string bytes = [] {
            oggfile::OggSound sound;
            sound.samples = oggfile::SineTone(sound.rate, sound.channels, 4410, 440.0);
            return oggfile::WriteOgg(sound);
        }();
        return bytes;
    }
    // The asset stored under the name, without GetSound's insertion.
    static std::shared_ptr<TAsset> Held(const TAssetMap& map, const char* name) {
        auto it = map.mAssets.find(name);
        return it != map.mAssets.end() ? it->second : nullptr;
    }
    // The map's own log lines; the loaders it calls write lines of their own.
    Messages MapMessages() const {
        Messages mine;
        for (const std::string& line : mLog.Messages())
            if (line.rfind("TAssetMap::", 0) == 0) mine.push_back(line);
        return mine;
    }
};

TEST_F(AssetMapTest, BareNameTriesTheStandardExtensionsInOrder) {
    // Each of these shadows the ".ogg" of the same name; none of them loads, so the log names
    // the file that was chosen. Each case has a folder of its own.
    const char* const shadows[] = {".xml", ".anm", ".jpg", ".png"};
    for (const char* extension : shadows) {
        mLog.Clear();
        std::string name = std::string("fx") + (extension + 1) + "/click";
        Put(name + ".ogg", Sound());
        Put(name + extension, "not that kind");
        TAssetMap map;
        map.AddAsset(name.c_str(), nullptr, false);
        EXPECT_EQ(MapMessages(),
                  Messages{"TAssetMap::AddAsset: Error loading " + name + extension});
        EXPECT_TRUE(map.mAssets.empty()) << extension;
    }

    Put("fxspx/click.ogg", Sound());
    // A ".spx" name plays through the Ogg builder, found by the ".ogg" beside it.
    Put("fxspx/click.spx", Sound());
    Put("fxspx/click.spx.ogg", Sound());
    Put("fxspx/click.mesh", "TRIS");
    TAssetMap map;
    map.AddAsset("fxspx/click", nullptr, false);
    std::shared_ptr<TSound> sound = AssetCast<TSound>(Held(map, "fxspx/click"));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetName(), "fxspx/click.spx");

    // The ".ogg" comes before ".mesh" and ".lua"; the sound is stored under the bare name.
    Put("fx/click.ogg", Sound());
    Put("fx/click.mesh", "TRIS");
    Put("fx/click.lua", "return 1");
    TAssetMap oggMap;
    oggMap.AddAsset("fx/click", nullptr, false);
    sound = AssetCast<TSound>(Held(oggMap, "fx/click"));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(sound->GetName(), "fx/click.ogg");
    EXPECT_EQ(sound->GetGroup(), -1);
    EXPECT_EQ(mManager.FindAsset("fx/click;0;0"), sound);
    EXPECT_EQ(mManager.FindAsset("fx/click.ogg;1;-1"), sound);
    EXPECT_EQ(oggMap.GetSound("fx/click"), sound);
}

TEST_F(AssetMapTest, SoundNameWithItsQueryPart) {
    // Only the name without its query exists.
    Put("audio/sfx/buttonclick.ogg", Sound());
    TAssetMap map;
    const char* full = "audio/sfx/buttonclick.ogg?group=1000";
    map.AddAsset(full, nullptr, false);
    EXPECT_EQ(mLog.Messages(), Messages{});
    std::shared_ptr<TSound> sound = AssetCast<TSound>(Held(map, full));
    ASSERT_NE(sound, nullptr);
    EXPECT_EQ(map.mAssets.size(), 1u);
    EXPECT_EQ(sound->GetGroup(), 1000);
    // The map's key, and the key the sound loader registered it under.
    EXPECT_EQ(mManager.FindAsset("audio/sfx/buttonclick.ogg?group=1000;0;1000"), sound);
    EXPECT_EQ(mManager.FindAsset("audio/sfx/buttonclick.ogg;1;1000"), sound);

    EXPECT_EQ(map.GetSound(full), sound);
    EXPECT_EQ(map.GetSound("audio/sfx/buttonclick.ogg"), nullptr);
    EXPECT_EQ(mLog.Messages(), Messages{"Sound asset not found: audio/sfx/buttonclick.ogg"});
}

TEST_F(AssetMapTest, BackslashesAreStoredAsSlashes) {
    Put("fx/click.ogg", Sound());
    TAssetMap map;
    map.AddAsset("fx\\click.ogg", nullptr, false);
    ASSERT_NE(Held(map, "fx/click.ogg"), nullptr);
    EXPECT_NE(map.GetSound("fx\\click.ogg"), nullptr);
    EXPECT_EQ(map.mAssets.size(), 1u);

    // An asset handed over is stored under the name as well.
    auto given = std::make_shared<TSound>();
    map.AddAsset("a\\b", given, false);
    EXPECT_EQ(Held(map, "a/b"), given);
}

TEST_F(AssetMapTest, FailuresAreLoggedUnlessQuiet) {
    Put("data/readme.txt", "text");
    Put("fx/bad.png", "not a png");
    for (bool quiet : {false, true}) {
        mLog.Clear();
        TAssetMap map;
        map.AddAsset("data/readme.txt", nullptr, quiet);
        map.AddAsset("fx/missing?group=3", nullptr, quiet);
        map.AddAsset("fx/bad?x", nullptr, quiet);
        EXPECT_TRUE(map.mAssets.empty());
        Messages expected;
        if (!quiet) {
            expected = {"TAssetMap::AddAsset: Error loading data/readme.txt",
                        "TAssetMap::AddAsset: Failed to find asset fx/missing?group=3 with any "
                        "standard extension (jpg/png/anm/xml/ogg/mesh)",
                        "TAssetMap::AddAsset: Error loading fx/bad.png?x"};
        }
        EXPECT_EQ(MapMessages(), expected) << quiet;
    }
}

TEST_F(AssetMapTest, GetSound) {
    Put("img/a.png", SolidPng(4, 4, 0xFF000000u));
    Put("fx/click.ogg", Sound());
    TAssetMap map;
    map.AddAsset("img/a.png", nullptr, false);
    ASSERT_NE(Held(map, "img/a.png"), nullptr);
    // A texture is not a sound, and that is not worth a message.
    EXPECT_EQ(map.GetSound("img/a.png"), nullptr);
    EXPECT_EQ(mLog.Messages(), Messages{});

    // A miss leaves an empty entry, which an asset added later fills.
    EXPECT_EQ(map.GetSound("fx/click.ogg"), nullptr);
    EXPECT_EQ(mLog.Messages(), Messages{"Sound asset not found: fx/click.ogg"});
    ASSERT_EQ(map.mAssets.count("fx/click.ogg"), 1u);
    EXPECT_EQ(Held(map, "fx/click.ogg"), nullptr);
    auto given = std::make_shared<TSound>();
    map.AddAsset("fx/click.ogg", given, false);
    EXPECT_EQ(map.GetSound("fx/click.ogg"), given);

    // Loading on demand.
    mLog.Clear();
    TAssetMap onDemand;
    EXPECT_FALSE(onDemand.mLoadOnDemand);
    onDemand.mLoadOnDemand = true;
    std::shared_ptr<TSound> loaded = onDemand.GetSound("fx\\click.ogg");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(loaded->GetName(), "fx/click.ogg");
    EXPECT_EQ(onDemand.GetSound("fx/missing.ogg"), nullptr);
    EXPECT_EQ(mLog.Messages(),
              (Messages{"TAssetMap::AddAsset: Failed to find asset fx/missing.ogg with any "
                        "standard extension (jpg/png/anm/xml/ogg/mesh)",
                        "Sound asset not found: fx/missing.ogg"}));
}

TEST_F(AssetMapTest, EachKindLoadsAndIsShared) {
    Put("img/a.png", SolidPng(8, 8, 0xFF102030u));
    Put("anim/walk.png", SolidPng(16, 16, 0xFF102030u));
    Put("anim/walk.xml", kWalkXml);
    std::string anm;
    ASSERT_TRUE(tools::ConvertXmlToAnm("anim/walk.xml", &anm));
    Put("anim/hop.anm", anm);
    Put("fx/click.ogg", Sound());
    Put("scripts/s.lua", "return 1");
    Put("models/box.mesh", std::string("TRIS\0\0\0\0", 8));

    struct Row {
        const char* name;
        TAssetClassId kind;
        const char* key;  // also registered under this key
    } rows[] = {
        {"img/a", TTexture::TypeId(), "img/a:tex"},
        {"anim/walk.xml", TAnimatedTexture::TypeId(), "anim/walk.xml::"},
        {"anim/hop", TAnimatedTexture::TypeId(), "anim/hop::"},
        {"fx/click.ogg", TSound::TypeId(), "fx/click.ogg;0;0"},
        {"scripts/s", TScriptCode::TypeId(), "scripts/s"},
        {"models/box.mesh", TModel::TypeId(), "models/box.mesh"},
    };
    std::vector<const char*> names;
    for (const Row& row : rows)
        names.push_back(row.name);
    names.push_back(nullptr);

    auto first = std::make_unique<TAssetMap>();
    first->AddAssets(names.data());
    EXPECT_EQ(mLog.Messages(), Messages{});
    ASSERT_EQ(first->mAssets.size(), std::size(rows));
    std::vector<std::weak_ptr<TAsset>> watches;
    for (const Row& row : rows) {
        std::shared_ptr<TAsset> asset = Held(*first, row.name);
        ASSERT_NE(asset, nullptr) << row.name;
        EXPECT_TRUE(asset->IsKindOf(row.kind)) << row.name;
        EXPECT_EQ(mManager.FindAsset(row.key), asset) << row.name;
        watches.push_back(asset);
    }
    // Not an animated texture: a plain one.
    EXPECT_FALSE(Held(*first, "img/a")->IsKindOf(TAnimatedTexture::TypeId()));

    auto second = std::make_unique<TAssetMap>();
    second->AddAssets(names.data());
    for (const Row& row : rows)
        EXPECT_EQ(Held(*second, row.name), Held(*first, row.name)) << row.name;

    first.reset();
    EXPECT_FALSE(watches[0].expired());
    second.reset();
    for (size_t i = 0; i < watches.size(); ++i)
        EXPECT_TRUE(watches[i].expired()) << rows[i].name;
}

TEST(AssetMapKeyTest, SoundKeyTakesTheGroupFromTheQuery) {
    struct Case {
        const char* query;
        const char* key;
    } cases[] = {
        {"?group=1000", "n;0;1000"}, {"?group=", "n;0;0"}, {"?x&group=12abc", "n;0;12"},
        {"?group=-7", "n;0;-7"},     {"?grp=5", "n;0;0"},  {"", "n;0;0"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TAssetMap::MakeSoundKey("n", c.query), c.key) << c.query;
}

}  // namespace
