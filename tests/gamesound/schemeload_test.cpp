// The scheme file and its events: the options and their variants as the sound files are asked
// for (voice packs, a missing variant), the kinds and their timing, volumes, skipped options and
// elements, equal keys, the table's order, numbers read from the start of their text, the event
// names against the task kinds, what makes a load fail, a compressed file, and a second load.
#include <cmath>
#include <string>
#include <vector>

#include "audio/sound.h"
#include "foundation/file/fileindex.h"
#include "foundation/xml/xmlnode.h"
#include "schemefixture.h"
#include "support/zxmlwriter.h"

namespace gamesound_testing {
namespace {

using Names = std::vector<std::string>;

class SchemeLoadTest : public SchemeTest {
protected:
    // The entry of a key; fails the test without one.
    const SoundOptionList& Entry(const char* typeName, float x, float y, int event) {
        static const SoundOptionList kNone;
        auto found = Scheme().GetTable().find(SoundSchemeKey{typeName, x, y, event});
        EXPECT_NE(found, Scheme().GetTable().end()) << typeName << " " << event;
        return found != Scheme().GetTable().end() ? found->second : kNone;
    }
};

TEST_F(SchemeLoadTest, WithoutVoicePacksTheFiveVariantsAreOneSound) {
    ASSERT_TRUE(Load(R"(<E Event="Scared"><O type="trigger" src="roar.ogg" volume="80"/></E>)"));
    const SoundOptionList& options = Entry("", 0.0f, 0.0f, 45);
    ASSERT_EQ(options.size(), 1u);
    for (const std::shared_ptr<TSound>& sound : options[0].sounds)
        EXPECT_EQ(sound, options[0].sounds[0]);
    ASSERT_NE(options[0].sounds[0], nullptr);
    EXPECT_EQ(std::string(options[0].sounds[0]->GetName().c_str()), "audio/sfx/roar.ogg");
    EXPECT_EQ(options[0].sounds[0]->GetGroup(), 1000);
    // Asked for five times, found in the asset registry after the first.
    EXPECT_EQ(Sounds().asked, Names{"audio/sfx/roar.ogg"});
    EXPECT_EQ(options[0].volume, 80.0f * 0.01f);
}

TEST_F(SchemeLoadTest, VoicePacksAskForFiveFilesAndAMissingOneDropsTheOption) {
    Sounds().SetMissing("audio/sfx/vp3_growl.ogg");
    ASSERT_TRUE(Load(R"(<E Event="Scared" VoicePack="1">
                          <O type="trigger" src="roar.ogg"/>
                          <O type="trigger" src="growl.ogg"/>
                          <O type="ambient" src="hum.ogg"/>
                        </E>)"));
    EXPECT_EQ(Sounds().asked,
              (Names{"audio/sfx/vp1_roar.ogg", "audio/sfx/vp2_roar.ogg", "audio/sfx/vp3_roar.ogg",
                     "audio/sfx/vp4_roar.ogg", "audio/sfx/vp5_roar.ogg", "audio/sfx/vp1_growl.ogg",
                     "audio/sfx/vp2_growl.ogg", "audio/sfx/vp3_growl.ogg", "audio/sfx/vp1_hum.ogg",
                     "audio/sfx/vp2_hum.ogg", "audio/sfx/vp3_hum.ogg", "audio/sfx/vp4_hum.ogg",
                     "audio/sfx/vp5_hum.ogg"}));
    EXPECT_EQ(mLog.Messages(),
              Names{"TSound::Get: No valid sound file found: audio/sfx/vp3_growl.ogg"});
    const SoundOptionList& options = Entry("", 0.0f, 0.0f, 45);
    ASSERT_EQ(options.size(), 2u);
    for (int v = 0; v < SoundOption::kVariants; ++v) {
        ASSERT_NE(options[0].sounds[v], nullptr);
        EXPECT_EQ(std::string(options[0].sounds[v]->GetName().c_str()),
                  "audio/sfx/vp" + std::to_string(v + 1) + "_roar.ogg");
        EXPECT_EQ(options[0].sounds[v]->GetGroup(), 1000);
    }
    EXPECT_EQ(options[1].kind, kSoundAmbient);
    // The sounds the dropped option had fetched are let go: the next ask makes the sound anew.
    TSound::Get("audio/sfx/vp1_growl.ogg", true, 1000);
    EXPECT_EQ(Sounds().asked.back(), "audio/sfx/vp1_growl.ogg");
    EXPECT_EQ(Sounds().asked.size(), 14u);
}

// "VoicePack" is on only for exactly 1 (read as an integer from the text's start).
TEST_F(SchemeLoadTest, OnlyVoicePackOneTurnsVoicePacksOn) {
    struct Case {
        const char* attribute;
        bool on;
    } cases[] = {{R"(VoicePack="1")", true},   {R"(VoicePack="1abc")", true},
                 {R"(VoicePack=" 1")", true},  {R"(VoicePack="2")", false},
                 {R"(VoicePack="0")", false},  {R"(VoicePack="yes")", false},
                 {R"(VoicePack="-1")", false}, {"", false}};
    for (const Case& c : cases) {
        Sounds().asked.clear();
        ASSERT_TRUE(Load(std::string("<E Event=\"No\" ") + c.attribute +
                         R"(><O type="trigger" src="x.ogg"/></E>)"));
        EXPECT_EQ(Sounds().asked.front(), c.on ? "audio/sfx/vp1_x.ogg" : "audio/sfx/x.ogg")
            << c.attribute;
    }
}

TEST_F(SchemeLoadTest, KindsTimingAndVolumes) {
    struct Case {
        const char* option;
        int kind;
        int delay;
        int intervalMax;
        float percent;
    } cases[] = {
        {R"(type="trigger" volume="50" delay="700")", kSoundTrigger, 0, 0, 50.0f},
        {R"(type="loop" delay="700" interval_max="9")", kSoundLoop, 700, 0, 0.0f},
        // A loop without delay: 0, a continuous loop.
        {R"(type="loop")", kSoundLoop, 0, 0, 0.0f},
        {R"(type="loop" delay="499ms")", kSoundLoop, 499, 0, 0.0f},
        {R"(type="ambient" interval_min="3000" interval_max="3000" delay="5")", kSoundAmbient, 3000,
         3000, 0.0f},
        {R"(type="ambient" interval_min="1000" interval_max="4000" volume="25.5")", kSoundAmbient,
         1000, 4000, 25.5f},
        // Reversed bounds are put in order; negative times count as 0.
        {R"(type="ambient" interval_min="5000" interval_max="3000")", kSoundAmbient, 3000, 5000,
         0.0f},
        {R"(type="ambient" interval_min="-5" interval_max="-10")", kSoundAmbient, 0, 0, 0.0f},
        {R"(type="ambient" interval_min="2000" interval_max="-1")", kSoundAmbient, 0, 2000, 0.0f},
        {R"(type="loop" delay="-100")", kSoundLoop, 0, 0, 0.0f},
        {R"(type="loop" delay="99999999999")", kSoundLoop, 2147483647, 0, 0.0f},
        // Volumes are percent from the text's start; a text that is no finite float reads 0.
        {R"(type="trigger" volume="150")", kSoundTrigger, 0, 0, 150.0f},
        {R"(type="trigger" volume="-20")", kSoundTrigger, 0, 0, -20.0f},
        {R"(type="trigger" volume="40%")", kSoundTrigger, 0, 0, 40.0f},
        {R"(type="trigger" volume="loud")", kSoundTrigger, 0, 0, 0.0f},
        {R"(type="trigger" volume="1e39")", kSoundTrigger, 0, 0, 0.0f},
        {R"(type="trigger" volume="nan")", kSoundTrigger, 0, 0, 0.0f},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(std::string(R"(<E Event="No"><O src="x.ogg" )") + c.option + "/></E>"));
        const SoundOptionList& options = Entry("", 0.0f, 0.0f, 42);
        ASSERT_EQ(options.size(), 1u) << c.option;
        EXPECT_EQ(options[0].kind, c.kind) << c.option;
        EXPECT_EQ(options[0].delay, c.delay) << c.option;
        EXPECT_EQ(options[0].intervalMax, c.intervalMax) << c.option;
        EXPECT_EQ(options[0].volume, c.percent * 0.01f) << c.option;
    }
}

// Options of another type, and elements of no event, are left out without a word; an element
// whose event is 0 has its options never read.
TEST_F(SchemeLoadTest, UnknownTypesAndElementsOfNoEventAreSkipped) {
    ASSERT_TRUE(Load(R"(<E Event="No">
                          <O type="Trigger" src="a.ogg"/>
                          <O src="b.ogg"/>
                          <O type="oneshot" src="c.ogg"/>
                          <!-- a comment among the options -->
                          <O type="trigger" src="d.ogg"/>
                        </E>
                        <E Event="pickedup"><O type="trigger" src="e.ogg"/></E>
                        <E Event=""><O type="trigger" src="f.ogg"/></E>
                        <E><O type="trigger" src="g.ogg"/></E>
                        <!-- a comment among the elements -->)"));
    EXPECT_EQ(Sounds().asked, Names{"audio/sfx/d.ogg"});
    EXPECT_EQ(mLog.Messages(), Names{});
    ASSERT_EQ(Scheme().GetTable().size(), 1u);
    EXPECT_EQ(Entry("", 0.0f, 0.0f, 42).size(), 1u);
}

// Elements and options are read whatever their element names, in document order; a later
// element of an equal key takes the entry; an element whose options all went keeps an empty
// entry.
TEST_F(SchemeLoadTest, EqualKeysReplaceAndEmptyListsStay) {
    Sounds().SetMissing("audio/sfx/gone.ogg");
    ASSERT_TRUE(Load(R"(<Sound Object="Zebra" Event="Sick"><A type="trigger" src="a.ogg"/>
                                                            <B type="trigger" src="b.ogg"/></Sound>
                        <Other Object="Zebra" Event="Sick"><C type="loop" src="c.ogg"/></Other>
                        <X Object="Lion" Event="Sick"><D type="trigger" src="gone.ogg"/></X>
                        <Y Object="Lion" Event="Sick" PosX="1"/>)"));
    const SoundOptionList& zebra = Entry("Zebra", 0.0f, 0.0f, 41);
    ASSERT_EQ(zebra.size(), 1u);
    EXPECT_EQ(std::string(zebra[0].sounds[0]->GetName().c_str()), "audio/sfx/c.ogg");
    EXPECT_TRUE(Entry("Lion", 0.0f, 0.0f, 41).empty());
    EXPECT_TRUE(Entry("Lion", 1.0f, 0.0f, 41).empty());
    EXPECT_EQ(Scheme().GetTable().size(), 3u);
    // The sounds of the replaced list are let go: the next ask makes the sound anew.
    const size_t asked = Sounds().asked.size();
    TSound::Get("audio/sfx/a.ogg", true, 1000);
    EXPECT_EQ(Sounds().asked.size(), asked + 1);
}

TEST_F(SchemeLoadTest, PositionsAreNumbersFromTheTextsStart) {
    struct Case {
        const char* text;
        float value;
    } cases[] = {{"12abc", 12.0f}, {"-3.5", -3.5f},  {" 7", 7.0f},    {"abc", 0.0f},
                 {"", 0.0f},       {"1e39", 0.0f},   {"-1e39", 0.0f}, {"nan", 0.0f},
                 {"inf", 0.0f},    {"1e3", 1000.0f}, {"'5'", 0.0f},   {"0.1", 0.1f}};
    for (const Case& c : cases) {
        ASSERT_TRUE(Load(std::string(R"(<E Event="Bonus" PosX=")") + c.text + R"(" PosY=")" +
                         c.text + R"("><O type="trigger" src="x.ogg"/></E>)"));
        ASSERT_EQ(Scheme().GetTable().size(), 1u) << c.text;
        const SoundSchemeKey& key = Scheme().GetTable().begin()->first;
        EXPECT_EQ(key.x, c.value) << c.text;
        EXPECT_EQ(key.y, c.value) << c.text;
    }
}

// Event, then x, then y, then the type name byte by byte.
TEST_F(SchemeLoadTest, TheTableIsOrderedByEventPointAndTypeName) {
    ASSERT_TRUE(Load(R"(<E Object="b" Event="Sick"/>
                        <E Object="a" Event="Sick" PosX="5"/>
                        <E Object="B" Event="Sick"/>
                        <E Object="a" Event="PickedUp" PosY="9"/>
                        <E Object="a" Event="Sick" PosY="-1"/>
                        <E Object="&#200;" Event="Sick"/>
                        <E Object="a" Event="Forage"/>)"));
    std::vector<std::string> order;
    for (const auto& [key, options] : Scheme().GetTable())
        order.push_back(std::to_string(key.event) + ":" + std::to_string(int(key.x)) + ":" +
                        std::to_string(int(key.y)) + ":" + key.typeName.c_str());
    EXPECT_EQ(order, (Names{"2:0:0:a", "40:0:9:a", "41:0:-1:a", "41:0:0:B", "41:0:0:b",
                            "41:0:0:\xC8", "41:5:0:a"}));
}

TEST_F(SchemeLoadTest, EventNamesAreTaskKindsFirstThenTheSchemesOwnExactly) {
    for (int i = 0; i < kSchemeEventCount; ++i)
        EXPECT_EQ(GSoundScheme::EventFromName(kSchemeEventNames[i], &mNames), 40 + i);
    EXPECT_EQ(GSoundScheme::EventFromName("PickedUp", &mNames), 40);
    EXPECT_EQ(GSoundScheme::EventFromName("WaterFlowing", &mNames), 58);
    EXPECT_EQ(GSoundScheme::EventFromName("BadEvent", &mNames), 66);
    EXPECT_EQ(GSoundScheme::EventFromName("pickedup", &mNames), 0);
    EXPECT_EQ(GSoundScheme::EventFromName("PICKEDUP", &mNames), 0);
    EXPECT_EQ(GSoundScheme::EventFromName("", &mNames), 0);
    // The registry folds case; "none" is kind 0, no event.
    EXPECT_EQ(GSoundScheme::EventFromName("Forage", &mNames), 2);
    EXPECT_EQ(GSoundScheme::EventFromName("go_build_ark", &mNames), 33);
    EXPECT_EQ(GSoundScheme::EventFromName("none", &mNames), 0);
    EXPECT_EQ(GSoundScheme::EventFromName("Forage", static_cast<const GNameRegistry*>(nullptr)), 0);
    EXPECT_EQ(GSoundScheme::EventFromName("Dig", static_cast<const GNameRegistry*>(nullptr)), 62);

    // Names of a registry whose task kinds include "pickedup" and "dig".
    GSoundScheme::TaskKinds kinds = [](const str& name) {
        str lower = name;
        lower.ToLower();
        if (lower == "pickedup") return 12;
        if (lower == "dig") return 4;
        return 0;
    };
    EXPECT_EQ(GSoundScheme::EventFromName("pickedup", kinds), 12);
    EXPECT_EQ(GSoundScheme::EventFromName("PickedUp", kinds), 12);
    EXPECT_EQ(GSoundScheme::EventFromName("Dig", kinds), 4);
    EXPECT_EQ(GSoundScheme::EventFromName("Birth", kinds), 63);
}

TEST_F(SchemeLoadTest, WithoutASchemeOrNamesTheLoadFailsWithAnEmptyTable) {
    const char* scheme = R"(<SoundScheme><E Event="No"><O type="trigger" src="a.ogg"/></E>
                            </SoundScheme><SoundScheme><E Event="Sick"/></SoundScheme>)";
    TXmlNode document;
    document.ParseString(scheme);
    ASSERT_TRUE(Scheme().Load(&document, &mNames));
    // The first "SoundScheme" is read.
    ASSERT_EQ(Scheme().GetTable().size(), 1u);
    EXPECT_EQ(Scheme().GetTable().begin()->first.event, 42);

    EXPECT_FALSE(Scheme().Load(&document, static_cast<const GNameRegistry*>(nullptr)));
    EXPECT_TRUE(Scheme().GetTable().empty());
    ASSERT_TRUE(Scheme().Load(&document, &mNames));
    TXmlNode other;
    other.ParseString(R"(<Scheme><E Event="No"/></Scheme>)");
    EXPECT_FALSE(Scheme().Load(&other, &mNames));
    EXPECT_TRUE(Scheme().GetTable().empty());
    EXPECT_FALSE(Scheme().Load(nullptr, &mNames));
    // The document's own element only: a "SoundScheme" deeper down is not looked for.
    TXmlNode nested;
    nested.ParseString(R"(<Root><SoundScheme><E Event="No"/></SoundScheme></Root>)");
    EXPECT_FALSE(Scheme().Load(&nested, &mNames));
    EXPECT_FALSE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 42, 0));
}

// A scheme file written compressed loads as its plain text does.
TEST_F(SchemeLoadTest, ACompressedFileLoadsLikeItsPlainForm) {
    const std::string text = R"(<?xml version="1.0"?>
        <SoundScheme>
          <E Object="Zebra" Event="ZebraBray" VoicePack="1">
            <O type="trigger" src="bray.ogg" volume="70"/>
            <O type="ambient" src="bray2.ogg" interval_min="100" interval_max="900"/>
          </E>
          <E Event="Bonus" PosX="300" PosY="400"><O type="loop" src="c.ogg" delay="800"/></E>
        </SoundScheme>)";
    const std::string packed = testing_support::PackZxml(text);
    RegisterMemoryFile("xml/plain.xml", text.data(), static_cast<uint32_t>(text.size()));
    RegisterMemoryFile("xml/packed.xml", packed.data(), static_cast<uint32_t>(packed.size()));
    auto describe = [this](const char* file) {
        TXmlNode document;
        EXPECT_TRUE(document.LoadFile(file, 1u << 20));
        EXPECT_TRUE(Scheme().Load(&document, &mNames));
        std::vector<std::string> lines;
        for (const auto& [key, options] : Scheme().GetTable()) {
            for (const SoundOption& o : options) {
                std::string line = std::string(key.typeName.c_str()) + " " +
                                   std::to_string(key.event) + " " + std::to_string(key.x) + " " +
                                   std::to_string(key.y) + " " + std::to_string(o.kind) + " " +
                                   std::to_string(o.volume) + " " + std::to_string(o.delay) + " " +
                                   std::to_string(o.intervalMax);
                for (const auto& sound : o.sounds)
                    line += std::string(" ") + sound->GetName().c_str();
                lines.push_back(line);
            }
        }
        return lines;
    };
    const std::vector<std::string> plain = describe("xml/plain.xml");
    EXPECT_EQ(plain.size(), 3u);
    EXPECT_EQ(describe("xml/packed.xml"), plain);
    RegisterMemoryFile("xml/plain.xml", nullptr, 0);
    RegisterMemoryFile("xml/packed.xml", nullptr, 0);
}

// A second load stops every sound the scheme plays or will restart, and builds the table anew.
TEST_F(SchemeLoadTest, LoadingAgainStopsEverySchemeSound) {
    ASSERT_TRUE(Load(R"(<E Event="Bonus" PosX="10" PosY="10"><O type="loop" src="a.ogg"/></E>
                        <E Event="Birth"><O type="ambient" src="b.ogg" interval_min="9000"
                                            interval_max="9000"/></E>
                        <E Event="Death"><O type="trigger" src="c.ogg"/></E>)"));
    EXPECT_TRUE(Scheme().PlayEvent(nullptr, 10.0f, 10.0f, 61, 0));
    EXPECT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 63, 0));
    ASSERT_TRUE(RunUntilPending(1));
    EXPECT_TRUE(Scheme().PlayEvent(nullptr, 0.0f, 0.0f, 64, 0));
    EXPECT_EQ(Scheme().GetPlaying().size(), 2u);
    EXPECT_EQ(Buffers().size(), 2u);

    ASSERT_TRUE(Load(R"(<E Event="Bonus"><O type="trigger" src="d.ogg"/></E>)"));
    for (const auto& buffer : Buffers())
        EXPECT_FALSE(buffer.playing) << buffer.id;
    Run(100);
    EXPECT_TRUE(Buffers().empty());
    EXPECT_TRUE(Scheme().GetPlaying().empty());
    EXPECT_TRUE(Scheme().GetInstances().empty());
    EXPECT_TRUE(Scheme().GetPending().empty());
    ASSERT_EQ(Scheme().GetTable().size(), 1u);
    EXPECT_EQ(Scheme().GetTable().begin()->first.event, 61);
    // Nothing comes back.
    Run(10000);
    Scheme().StartDueSounds();
    EXPECT_TRUE(Buffers().empty());
}

}  // namespace
}  // namespace gamesound_testing
