// MessageTable: the short texts about a creature and what it points at ("xml/logic/messages.xml"):
// on hover, standing by, a drop that works or fails, a task that ends well or badly. Each message
// names the situation it fits (the creature's name, state and level, the item it carries, the
// object's name and state, a global event); Format picks, among the fitting messages of a list
// with the lowest ID, one at random and fills in its names.
//
// A message may list alternatives separated by "|" in six of its keys; it stands for one record
// per combination. A message of more than kMaxCombinations records is skipped (logged).
//
// The table reads the world's facts through Attach: the global data (events, OldAge), the names
// registry (item and task names) and the facts of creatures and places (messagefacts.h). It draws
// from a generator of its own. Main thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "foundation/random.h"
#include "foundation/str.h"

class GMessageFacts;
class GNameRegistry;
class GObject;
class GlobalData;
class TXmlNode;

struct GMessageRecord {
    int16_t id = 0;
    str nameRequired;
    str objectName;
    int itemRequired = 0;
    // The same text read as a plant; kept, not matched.
    int plantRequired = 0;
    int16_t levelRequired = 0;
    str textId;
    int hintIcon = 0;
    int stateRequired = 0;
    int objectPlaceStateRequired = 0;
    int objectCreatureStateRequired = 0;
    int eventRequired = 0;
};

class MessageTable {
public:
    enum List { kHover, kStandBy, kDropSuccess, kDropFailure, kSuccess, kFailure, kListCount };
    // Creature states: "Normal", "Old", "Sick".
    enum CreatureState { kAnyState = 0, kNormal = 1, kOld = 2, kSick = 3 };
    // Place states: "notbuilt", "built", "empty", "halffull", "full".
    enum PlaceState { kNotBuilt = 1, kBuilt = 2, kEmpty = 3, kHalfFull = 4, kFull = 5 };

    static constexpr int kMaxCombinations = 4096;
    // Records with a higher ID are never chosen.
    static constexpr int kHighestId = 9999;

    MessageTable();
    MessageTable(const MessageTable&) = delete;
    MessageTable& operator=(const MessageTable&) = delete;

    void Attach(const GlobalData* data, const GNameRegistry* names, GMessageFacts* facts);

    // Adds every "Message" child of root (other children are skipped) to the list of its
    // "Type"; a message of another type is dropped.
    void Load(TXmlNode* root, const GNameRegistry& names);
    void Clear();

    // The filled-in text of a fitting record of the list, empty when none fits. subject and
    // object may be none; hintIcon, when given, receives the chosen record's icon.
    str Format(List list, GObject* subject, GObject* object, int* hintIcon = nullptr);
    str FormatHover(GObject* subject, GObject* object, int* hintIcon = nullptr);
    str FormatDropSuccess(GObject* subject, GObject* object, int* hintIcon = nullptr);
    str FormatDropFailure(GObject* subject, GObject* object, int* hintIcon = nullptr);
    str FormatSuccess(GObject* subject, GObject* object, int* hintIcon = nullptr);
    str FormatFailure(GObject* subject, GObject* object, int* hintIcon = nullptr);

    // The records of a list, in ID order.
    const std::vector<GMessageRecord>& GetList(List list) const { return mLists[list]; }
    TRandom& GetRandom() { return mRandom; }

    // Whether a creature is in a state, and a place in a state (both true for none, an object of
    // another kind, or state 0).
    bool CreatureIsIn(int state, GObject* creature) const;
    bool PlaceIsIn(int state, GObject* location) const;

private:
    void LoadMessage(TXmlNode* message, const GNameRegistry& names);
    void Insert(List list, const GMessageRecord& record);

    std::vector<GMessageRecord> mLists[kListCount];
    TRandom mRandom;
    const GlobalData* mData = nullptr;
    const GNameRegistry* mNames = nullptr;
    GMessageFacts* mFacts = nullptr;
};
