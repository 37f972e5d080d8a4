// The repository's sound scheme read by the program's own loader, with the data set's name
// registry, over the built sounds: every element's event resolves, no option is dropped, no entry
// is empty, and every event the program raises with a sound finds an option by the fall-back
// rule: for a Puff of every level, for one animal of each species, on the "Water Fall" for its
// water, and with no object at (0, 0) where the world raises it so.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <tuple>

#include "foundation/xml/xmlnode.h"
#include "gamesound/soundscheme.h"
#include "simulation/nameregistry.h"
#include "soundfiles.h"

namespace soundlint {
namespace {

// The entry a sound of the object (by full name; empty for none) at (0, 0) plays: its own, or,
// for an object without one, the entry of no type name.
const SoundOptionList* Found(const GSoundScheme::Table& table, const std::string& object,
                             int event) {
    auto own = table.find(SoundSchemeKey{str(object.c_str()), 0.0f, 0.0f, event});
    if (own != table.end()) return &own->second;
    if (object.empty()) return nullptr;
    auto shared = table.find(SoundSchemeKey{str(""), 0.0f, 0.0f, event});
    return shared != table.end() ? &shared->second : nullptr;
}

class SchemeLoad : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(IndexGameFolder());
        std::ifstream in(UMBRAVA_SOUND_SCHEME, std::ios::binary);
        mText.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        ASSERT_FALSE(mText.empty());
        mDocument.ParseString(mText.c_str(), mText.size());
        ASSERT_TRUE(mScheme.Load(&mDocument, &mNames));
    }

    std::string mText;
    TXmlNode mDocument;
    GNameRegistry mNames;
    GSoundScheme mScheme;
};

TEST_F(SchemeLoad, EveryElementResolvesAndKeepsEveryOption) {
    std::vector<std::string> problems;
    const GSoundScheme::Table& table = mScheme.GetTable();
    const TXmlNode* scheme = mDocument.FindChild("SoundScheme");
    ASSERT_NE(scheme, nullptr);
    int index = 0;
    for (const TXmlNode* element : scheme->GetChildren()) {
        ++index;
        const std::string where = "xml/sound_scheme.xml, element " + std::to_string(index) + ": ";
        const int event = GSoundScheme::EventFromName(element->GetAttribute("Event"), &mNames);
        if (event == 0) {
            problems.push_back(where + "the event does not resolve");
            continue;
        }
        const SoundSchemeKey key{
            element->GetAttribute("Object"),
            static_cast<float>(std::atof(element->GetAttribute("PosX").c_str())),
            static_cast<float>(std::atof(element->GetAttribute("PosY").c_str())), event};
        auto found = table.find(key);
        if (found == table.end()) {
            problems.push_back(where + "no entry in the table");
        } else if (found->second.size() != element->GetChildren().size()) {
            problems.push_back(where + std::to_string(element->GetChildren().size()) +
                               " options written, " + std::to_string(found->second.size()) +
                               " kept (a file missing, a type misspelt, or a key written twice)");
        }
    }
    EXPECT_EQ(table.size(), scheme->GetChildren().size()) << "two elements share a key";
    for (const auto& [key, options] : table) {
        if (options.empty())
            problems.push_back("an empty entry for event " + std::to_string(key.event) + " of \"" +
                               key.typeName.c_str() + "\"");
        for (const SoundOption& option : options) {
            if (option.volume <= 0.0f)
                problems.push_back("a silent option for event " + std::to_string(key.event));
        }
    }
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_F(SchemeLoad, EverySoundingEventFindsAnOption) {
    // The events the world raises on creatures, and the task kinds chosen to sound (the rest, the
    // walks and errands, are left silent: tools/sndgen/README.md lists them).
    std::vector<int> creatureEvents = {40, 41, 42, 43, 45, 50, 51, 52, 53, 55,
                                       57, 59, 60, 61, 62, 63, 64, 65, 66};
    for (const char* task : {"breed",
                             "forage",
                             "gatherwater",
                             "build",
                             "defend",
                             "flakeout",
                             "research",
                             "rest",
                             "eating",
                             "drinking",
                             "productitem",
                             "collectherbs",
                             "be_ill",
                             "failure",
                             "drop",
                             "celebrate",
                             "celebrate_victory",
                             "specialflakeout",
                             "carry_ark_part",
                             "unload",
                             "training"}) {
        const int kind = mNames.GetTaskKind(task);
        ASSERT_NE(kind, 0) << task;
        creatureEvents.push_back(kind);
    }
    const std::vector<std::string> creatures = {"BasicPuff",     "SkilledPuff",   "ExpertPuff",
                                                "GuruPuff",      "BasicElephant", "SkilledGiraffe",
                                                "ExpertGorilla", "GuruLion",      "BasicZebra"};
    const GSoundScheme::Table& table = mScheme.GetTable();
    std::vector<std::string> problems;
    auto expect = [&](const std::string& object, int event) {
        const SoundOptionList* options = Found(table, object, event);
        if (options == nullptr || options->empty())
            problems.push_back("event " + std::to_string(event) + " finds nothing for \"" + object +
                               "\"");
    };
    for (const std::string& creature : creatures) {
        for (int event : creatureEvents)
            expect(creature, event);
    }
    expect("Water Fall", 58);
    for (int event : {53, 55, 57, 59, 63, 64, 65, 66})
        expect("", event);
    EXPECT_TRUE(problems.empty()) << Joined(problems);
}

TEST_F(SchemeLoad, TheAnimalsCryAndTheWaterFallLoops) {
    const GSoundScheme::Table& table = mScheme.GetTable();
    for (int event : {40, 41, 45, 48}) {
        const SoundOptionList* lion = Found(table, "GuruLion", event);
        const SoundOptionList* puff = Found(table, "GuruPuff", event);
        ASSERT_TRUE(lion != nullptr && puff != nullptr) << event;
        EXPECT_NE(lion, puff) << "the lion speaks with the creatures' voice for " << event;
    }
    const SoundOptionList* water = Found(table, "Water Fall", 58);
    ASSERT_NE(water, nullptr);
    ASSERT_EQ(water->size(), 1u);
    EXPECT_EQ(water->front().kind, kSoundLoop);
    EXPECT_LT(water->front().delay, GSoundScheme::kLeastLoopDelay);
    const SoundOptionList* slide = Found(table, "", 59);
    ASSERT_NE(slide, nullptr);
    EXPECT_EQ(slide->front().kind, kSoundLoop);
    EXPECT_LT(slide->front().delay, GSoundScheme::kLeastLoopDelay);
}

}  // namespace
}  // namespace soundlint
