#include "simulation/params/messagetable.h"

#include <algorithm>
#include <cstdint>

#include "foundation/log.h"
#include "foundation/xml/xmlnode.h"
#include "simulation/params/globaldata.h"
#include "simulation/params/localtext.h"
#include "simulation/params/messagefacts.h"
#include "simulation/nameregistry.h"
#include "simulation/object.h"
#include "simulation/data/savedvalues.h"
#include "simulation/schedule/scheduletask.h"

namespace {

const char* const kListNames[MessageTable::kListCount] = {"Hover",       "StandBy", "DropSuccess",
                                                          "DropFailure", "Success", "Failure"};

std::vector<str> Alternatives(const str& text) {
    std::vector<str> parts;
    unsigned int start = 0;
    for (;;) {
        const unsigned int bar = text.FindChar('|', 0, start);
        if (bar == str::npos) {
            parts.push_back(text.Substring(start));
            return parts;
        }
        parts.push_back(text.Substring(start, bar - start));
        start = bar + 1;
    }
}

int HintIconOf(const str& text) {
    if (text == str("lb")) return 1;
    if (text == str("lbn")) return 2;
    if (text == str("qm")) return 3;
    return 0;
}

int CreatureStateOf(const str& text) {
    if (text == str("Normal")) return MessageTable::kNormal;
    if (text == str("Old")) return MessageTable::kOld;
    if (text == str("Sick")) return MessageTable::kSick;
    return MessageTable::kAnyState;
}

int PlaceStateOf(const str& lowered) {
    if (lowered == str("notbuilt")) return MessageTable::kNotBuilt;
    if (lowered == str("built")) return MessageTable::kBuilt;
    if (lowered == str("empty")) return MessageTable::kEmpty;
    if (lowered == str("halffull")) return MessageTable::kHalfFull;
    if (lowered == str("full")) return MessageTable::kFull;
    return 0;
}

int LoweredCreatureStateOf(const str& lowered) {
    if (lowered == str("normal")) return MessageTable::kNormal;
    if (lowered == str("old")) return MessageTable::kOld;
    if (lowered == str("sick")) return MessageTable::kSick;
    return MessageTable::kAnyState;
}

bool IsKind(const GObject* object, int kind) {
    return object != nullptr && object->GetKind() == kind;
}

}  // namespace

MessageTable::MessageTable() = default;

void MessageTable::Attach(const GlobalData* data, const GNameRegistry* names,
                          GMessageFacts* facts) {
    mData = data;
    mNames = names;
    mFacts = facts;
}

void MessageTable::Clear() {
    for (auto& list : mLists)
        list.clear();
}

void MessageTable::Load(TXmlNode* root, const GNameRegistry& names) {
    if (root == nullptr) return;
    for (TXmlNode* child : root->GetChildren()) {
        if (child->GetName() == str("Message")) LoadMessage(child, names);
    }
}

void MessageTable::LoadMessage(TXmlNode* message, const GNameRegistry& names) {
    const str type = message->GetAttribute("Type");
    int list = kListCount;
    for (int i = 0; i < kListCount; ++i) {
        if (type == str(kListNames[i])) list = i;
    }
    if (list == kListCount) return;

    const std::vector<str> nameAlternatives = Alternatives(message->GetAttribute("NameRequired"));
    const std::vector<str> objectAlternatives = Alternatives(message->GetAttribute("ObjectName"));
    const std::vector<str> itemAlternatives = Alternatives(message->GetAttribute("ItemRequired"));
    const std::vector<str> stateAlternatives = Alternatives(message->GetAttribute("StateRequired"));
    const std::vector<str> objectStateAlternatives =
        Alternatives(message->GetAttribute("ObjectStateRequired"));
    const std::vector<str> eventAlternatives = Alternatives(message->GetAttribute("EventRequired"));
    int64_t combinations = 1;
    for (const auto* alternatives :
         {&nameAlternatives, &objectAlternatives, &itemAlternatives, &stateAlternatives,
          &objectStateAlternatives, &eventAlternatives}) {
        combinations *= static_cast<int64_t>(alternatives->size());
        if (combinations > kMaxCombinations) break;
    }
    if (combinations > kMaxCombinations) {
        LogPrintf("MessageTable::Load: message \"%s\" has more than %d combinations, skipped",
                  message->GetAttribute("TextID").c_str(), kMaxCombinations);
        return;
    }

    GMessageRecord base;
    base.id = ReadShortAttribute(message, "ID");
    base.levelRequired = ReadShortAttribute(message, "LevelRequired");
    base.textId = message->GetAttribute("TextID");
    base.hintIcon = HintIconOf(message->GetAttribute("HintIcon"));
    for (const str& name : nameAlternatives) {
        for (const str& object : objectAlternatives) {
            for (const str& item : itemAlternatives) {
                for (const str& state : stateAlternatives) {
                    for (const str& objectState : objectStateAlternatives) {
                        for (const str& event : eventAlternatives) {
                            GMessageRecord record = base;
                            record.nameRequired = name;
                            record.objectName = object;
                            record.itemRequired = names.GetItemKind(item);
                            record.plantRequired = names.GetPlantKind(item);
                            record.stateRequired = CreatureStateOf(state);
                            str lowered = objectState;
                            lowered.ToLower();
                            record.objectPlaceStateRequired = PlaceStateOf(lowered);
                            if (record.objectPlaceStateRequired == 0) {
                                record.objectCreatureStateRequired =
                                    LoweredCreatureStateOf(lowered);
                            }
                            record.eventRequired = ParseSavedInt(event);
                            Insert(static_cast<List>(list), record);
                        }
                    }
                }
            }
        }
    }
}

void MessageTable::Insert(List list, const GMessageRecord& record) {
    std::vector<GMessageRecord>& records = mLists[list];
    const auto at = std::upper_bound(
        records.begin(), records.end(), record,
        [](const GMessageRecord& a, const GMessageRecord& b) { return a.id < b.id; });
    records.insert(at, record);
}

bool MessageTable::CreatureIsIn(int state, GObject* creature) const {
    if (state == kAnyState || !IsKind(creature, GObject::kCreature)) return true;
    const int oldAge = mData != nullptr ? mData->oldAge : 0;
    const int age = mFacts != nullptr ? TruncateToInt(mFacts->GetAge(creature)) : 0;
    const bool ill = mFacts != nullptr && mFacts->IsIll(creature);
    switch (state) {
        case kNormal:
            return age < oldAge && !ill;
        case kOld:
            return age >= oldAge;
        case kSick:
            return ill;
        default:
            return false;
    }
}

bool MessageTable::PlaceIsIn(int state, GObject* location) const {
    if (state == 0 || !IsKind(location, GObject::kLocation)) return true;
    // Summed stocks of saved worlds may be anything: the arithmetic is done in 64 bits.
    auto q = [&](int type) -> int64_t {
        return mFacts != nullptr ? mFacts->GetResourceQuantity(location, type) : 0;
    };
    auto m = [&](int type) -> int64_t {
        return mFacts != nullptr ? mFacts->GetMaxQuantity(location, type) : 0;
    };
    switch (state) {
        case kNotBuilt:
            return q(3) >= 1;
        case kBuilt:
            return q(3) < 1;
        case kEmpty:
            return q(3) <= 0 && q(2) <= 0 && q(1) < 1;
        case kHalfFull:
            if (q(3) > 0) return false;
            if (q(2) > 0 && q(2) <= m(2) * 25 / 100) return true;
            return !(q(1) < 1 || q(1) > m(1) * 25 / 100);
        case kFull:
            if (q(3) > 0) return false;
            if (q(2) > 0 && q(2) >= m(2) * 50 / 100) return true;
            return !(q(1) < 1 || q(1) < m(1) * 50 / 100);
        default:
            return false;
    }
}

str MessageTable::Format(List list, GObject* subject, GObject* object, int* hintIcon) {
    if (list < 0 || list >= kListCount) return str();
    const GObjectData* subjectData = subject != nullptr ? subject->GetData() : nullptr;
    const str subjectName = subjectData != nullptr ? subjectData->name : str();
    const int level = subject != nullptr && mFacts != nullptr ? mFacts->GetLevel(subject) : 0;
    const int item = subject != nullptr && mFacts != nullptr ? mFacts->GetItem(subject) : 0;
    str objectName;
    if (object != nullptr && object->GetData() != nullptr) {
        objectName = object->GetKind() == GObject::kCreature ? object->GetData()->name
                                                             : object->GetData()->fullName;
    }

    std::vector<const GMessageRecord*> candidates;
    int bound = kHighestId;
    for (const GMessageRecord& record : mLists[list]) {
        if (record.id > bound) break;
        const bool matches =
            (record.itemRequired == 0 || record.itemRequired == item) &&
            (record.nameRequired.Length() == 0 || record.nameRequired == subjectName) &&
            (record.objectName.Length() == 0 || record.objectName == objectName) &&
            (record.eventRequired == 0 ||
             (mData != nullptr && mData->IsEventSet(record.eventRequired))) &&
            record.levelRequired <= level && CreatureIsIn(record.stateRequired, subject) &&
            PlaceIsIn(record.objectPlaceStateRequired, object) &&
            CreatureIsIn(record.objectCreatureStateRequired, object);
        if (!matches) continue;
        candidates.push_back(&record);
        bound = record.id;
    }
    if (candidates.empty()) return str();

    const GMessageRecord& chosen =
        *candidates[mRandom.NextRange(0, static_cast<int>(candidates.size()) - 1)];
    str text = GetLocalizedText(chosen.textId);
    const str nickName =
        subject != nullptr && mFacts != nullptr ? mFacts->GetNickName(subject) : str();
    const str displayName =
        object != nullptr && mFacts != nullptr ? mFacts->GetDisplayName(object) : str();
    str itemName;
    if (item != 0 && mNames != nullptr) itemName = mNames->GetItemName(item);
    const int taskKind =
        subject != nullptr && subject->GetTask() != nullptr ? subject->GetTask()->GetKind() : 0;
    const str taskName = mNames != nullptr ? mNames->GetTaskName(taskKind) : str("none");
    text.Replace("$NAME$", nickName, str::kAllOccurrences);
    text.Replace("$NAME2$", displayName, str::kAllOccurrences);
    text.Replace("$LOCATION$", displayName, str::kAllOccurrences);
    text.Replace("$ITEM$", itemName, str::kAllOccurrences);
    if (text.Find("$TASK$") != str::npos) {
        text.Replace("$TASK$", GetLocalizedText(taskName + str("_str")), str::kAllOccurrences);
    }
    if (hintIcon != nullptr) *hintIcon = chosen.hintIcon;
    return text;
}

str MessageTable::FormatHover(GObject* subject, GObject* object, int* hintIcon) {
    return Format(kHover, subject, object, hintIcon);
}

str MessageTable::FormatDropSuccess(GObject* subject, GObject* object, int* hintIcon) {
    return Format(kDropSuccess, subject, object, hintIcon);
}

str MessageTable::FormatDropFailure(GObject* subject, GObject* object, int* hintIcon) {
    return Format(kDropFailure, subject, object, hintIcon);
}

str MessageTable::FormatSuccess(GObject* subject, GObject* object, int* hintIcon) {
    return Format(kSuccess, subject, object, hintIcon);
}

str MessageTable::FormatFailure(GObject* subject, GObject* object, int* hintIcon) {
    return Format(kFailure, subject, object, hintIcon);
}
