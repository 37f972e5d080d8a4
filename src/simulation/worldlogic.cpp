// Loading the game logic at start-up, and a new game: the island of the start layout in
// "xml/logic/main.xml" with its creatures, every clock and timer at its start, and play running.
#include <algorithm>
#include <vector>

#include "foundation/xml/xmlnode.h"
#include "port/system/clock.h"
#include "simulation/data/saturate.h"
#include "simulation/data/savedvalues.h"
#include "simulation/definitions/documentelement.h"
#include "simulation/params/gameparams.h"
#include "simulation/views/worldmanager.h"
#include "simulation/world.h"
#include "simulation/worldsounds.h"

namespace {

const char* const kNamesFile = "xml/logic/names.xml";
const char* const kSoundSchemeFile = "xml/sound_scheme.xml";
const char* const kMessagesFile = "xml/logic/messages.xml";

// A document read whole, and its element.
class Document {
public:
    explicit Document(const str& fileName) { mDocument.LoadFile(fileName); }
    TXmlNode* Element() const { return DocumentElement(mDocument); }
    TXmlNode& Node() { return mDocument; }

private:
    TXmlNode mDocument;
};

// The main file and the names file, read into the game parameters; null when either has no
// element (nothing is read then).
TXmlNode* ReadParams(Document& main, GlobalData& params, const GNameRegistry& registry) {
    TXmlNode* root = main.Element();
    if (root == nullptr) return nullptr;
    Document names(kNamesFile);
    if (names.Element() == nullptr) return nullptr;
    GameParams::Load(params, root, names.Element(), registry);
    return root;
}

}  // namespace

void GWorld::LoadLogic(const str& mainFile) {
    SetViews(nullptr, nullptr);
    Document main(mainFile);
    TXmlNode* root = ReadParams(main, mGlobalData, mNames);
    if (root == nullptr) return;
    mNames.SetGameParams(&mGlobalData);
    mNames.LoadDefinitionFiles();

    Document scheme(kSoundSchemeFile);
    WorldSounds().Load(&scheme.Node(), &mNames);
    LoadPrescriptions(root->FindChild("Prescriptions"));

    mMessages.Clear();
    Document messages(kMessagesFile);
    if (TXmlNode* list = messages.Element()) mMessages.Load(list, mNames);
}

void GWorld::LoadPrescriptions(TXmlNode* prescriptions) {
    mPrescriptionDefinitions.clear();
    if (prescriptions == nullptr) return;
    for (TXmlNode* entry : prescriptions->GetChildren()) {
        const int disease = mNames.GetDiseaseKind(entry->GetName());
        if (disease == 0) continue;
        const int count = ReadShortAttribute(entry, "ComponentsNum");
        std::vector<int> components;
        for (int i = 1; i <= count; ++i) {
            const str plant = entry->GetAttribute(str::Format("Component%d", i));
            components.push_back(mNames.GetPlantKind(plant));
        }
        mPrescriptionDefinitions[disease] = std::move(components);
    }
}

void GWorld::NewGame(const str& mainFile) {
    mPlay.worldState = GWorldPlay::kMade;
    mPlay.stepCount = 10;
    mPlay.viewsReady = false;
    mPlay.startFlags[0] = 1;
    mPlay.startFlags[1] = 0;
    mPlay.startFlags[2] = 0;
    mPrefs.SetInt("is_frozen_time_already_set", 0, false);
    SetPaused(false);
    const int speedLevel = mPrefs.GetInt("gamespeedlevel", 1);
    mPlay.speedLevel = speedLevel > 2 ? 1 : SaturateToShort(speedLevel);
    mGlobalData.speedCoef = 1.0f;

    Clear();
    if (mViewManager != nullptr) mViewManager->Clear();
    mPrefs.SetInt("currentHeadCounter", 0, false);
    mPrefs.SetInt("currentBodyCounter", 0, false);

    Document main(mainFile);
    TXmlNode* root = ReadParams(main, mGlobalData, mNames);
    if (root == nullptr) return;
    TXmlNode* world = root->FindChild("World");
    if (world == nullptr) return;
    PlaceStartLayout(world);

    mOpenPrescriptions.clear();
    // Only the cures that need no herbs are known at the start; the others are researched.
    for (const auto& [disease, components] : mPrescriptionDefinitions) {
        if (components.empty()) mOpenPrescriptions[disease] = {};
    }
    std::fill(std::begin(mPlay.arkPartAlpha), std::end(mPlay.arkPartAlpha), 1.0f);
    std::fill(std::begin(mPlay.lastDeath), std::end(mPlay.lastDeath), 0);
    WorldSounds().SetEnabled(true);
    mPlay.spentTime = 0;
    mPlay.realTimeStamp = CalendarTime();
    mGlobalData.statMaxPopulation = SaturateToShort(static_cast<int64_t>(mCreatures.size()));
    mViewedWorldEventsCount = 0;
    mEvents.clear();
    mPrefs.SetInt("historydirection", 0, true);

    mPlay.worldState = GWorldPlay::kRunning;
    mPlay.gameOverPending = false;
    mPlay.selectionIndex = -1;
    mPlay.selectionIndex2 = -1;
    mPlay.parkedA = -1;
    mPlay.parkedCountdown = -1;
    mPlay.parkedB = -1;
}

void GWorld::PlaceStartLayout(TXmlNode* world) {
    if (TXmlNode* locations = world->FindChild("Locations")) {
        for (TXmlNode* entry : locations->GetChildren()) {
            if (entry->GetName() != str("Location")) continue;
            CreateLocation(entry->GetAttribute("Name"), ReadShortAttribute(entry, "PosX"),
                           ReadShortAttribute(entry, "PosY"));
        }
    }
    if (mViewManager != nullptr) mViewManager->RebuildWalkability();
    mPlay.messageCountdown = 0;
    mPlay.tutorialEvent = 0;
    mPlay.tutorialTimer = 0;
    mPlay.globalEvent = 0;
    mPlay.globalTimer = 0;
    mPlay.globalEvent2 = 0;
    mPlay.globalTimer2 = 0;
    mPlay.treasureNum = 0;
    mPlay.treasureMapParts = 0;
    mPlay.treasureTimer = 0;
    mPlay.treasureSearchState = -1;
    mPlay.hiddenObjectState = -1;
    mPlay.hiddenObjectTimer = 0;
    BindLocations();

    // The file's counts stop at the tribe's and the monsters' limits.
    if (TXmlNode* animals = world->FindChild("Animals")) {
        for (TXmlNode* entry : animals->GetChildren()) {
            const str name = entry->GetAttribute("Name");
            const str count = entry->GetAttribute("Count");
            if (entry->GetName() != str("Animal") || name.Length() == 0 || count.Length() == 0)
                continue;
            for (int i = ParseSavedInt(count);
                 i > 0 && static_cast<int>(mCreatures.size()) < mGlobalData.maxPopulation; --i) {
                if (!CreateCreature(name, -1, -1)) break;
            }
        }
    }
    if (TXmlNode* monsters = world->FindChild("Monsters")) {
        for (int i = ReadIntAttribute(monsters, "Count");
             i > 0 && static_cast<int>(mMonsters.size()) < mGlobalData.monstersMaxCount; --i) {
            if (!CreateMonster("BasicHyena", -1, -1)) break;
        }
    }
}
