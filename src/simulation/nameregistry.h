// GNameRegistry: the dictionary of the game logic and the keeper of its definitions.
//
// Five fixed tables turn the words of the definition files, the game parameters and the player
// messages into the numbers the simulation computes with, and back: task kinds (0 to 38),
// resources, items, plants and diseases. The constructor fills them and nothing changes them
// later. Only GetTaskKind folds case; every other name lookup is exact. A number without a name
// answers "none" for tasks and "None" for items and diseases.
//
// The registry owns one prototype data block per creature, location and monster definition,
// keyed by full name; objects take copies and never keep a prototype. The first block of a full
// name stays: adding another hands it back to the caller. After the definitions load,
// ComputeEvolutionTimes totals the evolution times along the chains of forms that start at
// "BasicPuff".
//
// The definition loaders (creaturedefinition.cpp, locationdefinition.cpp, definitionfiles.cpp)
// read the files of "xml/logic/" into prototypes by the rules of each key: a key that is not
// given takes its default; list entries that fail their tests are skipped; a definition that
// lacks a required part gives nothing; all of this without a message. Integers are read as saved
// integers (clamped to the 32-bit range), 16-bit fields keep the low bits. Every loader needs the
// game parameters (SetGameParams) for its defaults: without them it gives nothing and logs.
//
// The world holds exactly one registry; tests make their own. The game parameters (GlobalData)
// belong to the world: the registry only points at them. Main thread only.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <set>

#include "foundation/str.h"
#include "simulation/data/creaturedata.h"
#include "simulation/data/locationdata.h"
#include "simulation/data/monsterdata.h"
#include "simulation/taskkind.h"

class GlobalData;
class TXmlNode;

// What a definition load made: a prototype the registry stored and keeps (borrowed), or a block
// made over a base, which the registry does not keep (the caller's). Both are null when the
// definition failed or its full name was held already.
struct GLoadedDefinition {
    const GObjectData* stored = nullptr;
    std::unique_ptr<GObjectData> owned;

    const GObjectData* Block() const { return owned != nullptr ? owned.get() : stored; }
};

class GNameRegistry {
public:
    static constexpr int kTaskKindCount = ::kTaskKindCount;

    GNameRegistry();
    ~GNameRegistry();
    GNameRegistry(const GNameRegistry&) = delete;
    GNameRegistry& operator=(const GNameRegistry&) = delete;

    str GetTaskName(int kind) const;
    // The name is lower-cased before the lookup: "Forage" finds 2.
    int GetTaskKind(str name) const;
    str GetResourceName(int kind) const;
    int GetResourceKind(const str& name) const;
    str GetItemName(int kind) const;
    int GetItemKind(const str& name) const;
    str GetPlantName(int kind) const;
    int GetPlantKind(const str& name) const;
    str GetDiseaseName(int kind) const;
    // The disease's name in capitals.
    str GetDiseaseLabel(int kind) const;
    int GetDiseaseKind(const str& name) const;

    // The prototypes, by full name; null when none was loaded.
    const GCreatureData* FindCreatureDefinition(const str& fullName) const;
    const GLocationData* FindLocationDefinition(const str& fullName) const;
    const GMonsterData* FindMonsterDefinition(const str& fullName) const;
    // Calls visit with every prototype: the creatures, the locations, then the monsters, each
    // kind in order of full name.
    void ForEachDefinition(const std::function<void(const GObjectData&)>& visit) const;

    // Stores a prototype under its full name. When the name is already held the earlier block
    // stays and the new one is handed back; otherwise the answer is null.
    std::unique_ptr<GCreatureData> AddCreatureDefinition(std::unique_ptr<GCreatureData> block);
    std::unique_ptr<GLocationData> AddLocationDefinition(std::unique_ptr<GLocationData> block);
    std::unique_ptr<GMonsterData> AddMonsterDefinition(std::unique_ptr<GMonsterData> block);

    // The first element of the file (not a declaration, document type or comment) as a
    // definition; nothing for a file that cannot be read or holds no element.
    GLoadedDefinition LoadDefinitionFile(const str& fileName, const GObjectData* base = nullptr);
    // "Creature", "Location" or "Monster" (exactly); nothing for other names or no element. A
    // base of another kind than the element gives nothing.
    GLoadedDefinition LoadDefinition(TXmlNode* element, const GObjectData* base = nullptr);
    // With a base the block starts as its copy: scalars still take their file values or
    // defaults, lists grow after the base's, map keys the base holds stay. Stored under the full
    // name (the first block of a name stays; a later one is freed and gives nothing).
    GLoadedDefinition LoadCreatureDefinition(TXmlNode* element, const GCreatureData* base);
    // Stored without a base; over a base (a layout element over its prototype) the block changes
    // the base's copy and is handed to the caller.
    GLoadedDefinition LoadLocationDefinition(TXmlNode* element, const GLocationData* base);
    GLoadedDefinition LoadMonsterDefinition(TXmlNode* element, const GMonsterData* base);
    // Loads every file of the game's definition list from folder (name + ".xml"), in its order,
    // passing over what fails, then computes the evolution totals.
    void LoadDefinitionFiles(const str& folder = "xml/logic/");

    void SetGameParams(GlobalData* params) { mGameParams = params; }
    GlobalData* GetGameParams() const { return mGameParams; }

    // For each evolution step of "BasicPuff": walks the chain of definitions its next full names
    // lead to, one step of the same task kind in each, setting each step's StartLevel (the
    // times before it) and MaxLevel (the whole chain's), and keeps the chain's total as the
    // evolution total of the kind. A chain ends at a definition without a step of the kind, at
    // a full name without a definition, or at a definition it has already passed. Without
    // "BasicPuff" nothing changes.
    void ComputeEvolutionTimes();
    // 0 for a kind outside 0 to 38.
    int GetEvolutionTotal(int kind) const;

private:
    // Stores a block made without a base; answers the stored prototype, or null (the block
    // freed) when its full name is held.
    const GObjectData* Store(std::unique_ptr<GCreatureData> block);
    const GObjectData* Store(std::unique_ptr<GLocationData> block);
    const GObjectData* Store(std::unique_ptr<GMonsterData> block);
    // The game parameters, or null after one log line naming the loader.
    GlobalData* ParamsFor(const char* loader) const;

    int WalkChain(const str& fullName, int kind, int sum, std::set<str>& visited);

    std::map<int, str> mTaskNames;
    std::map<str, int> mTaskKinds;
    std::map<int, str> mResourceNames;
    std::map<str, int> mResourceKinds;
    std::map<str, int> mItemKinds;
    std::map<int, str> mItemNames;
    std::map<str, int> mPlantKinds;
    std::map<int, str> mPlantNames;
    std::map<str, int> mDiseaseKinds;
    std::map<int, str> mDiseaseNames;
    std::map<int, str> mDiseaseLabels;
    std::map<str, std::unique_ptr<GCreatureData>> mCreatures;
    std::map<str, std::unique_ptr<GLocationData>> mLocations;
    std::map<str, std::unique_ptr<GMonsterData>> mMonsters;
    GlobalData* mGameParams = nullptr;
    int mEvolutionTotals[kTaskKindCount] = {};
};
