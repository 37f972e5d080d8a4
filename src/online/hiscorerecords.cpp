#include "online/hiscorerecords.h"

#include <algorithm>

THiscoreEntry* FirstUnsubmittedEntry(THiscoreTable* table, const char* name) {
    if (table == nullptr || name == nullptr) return nullptr;
    const str wanted(name);
    for (THiscoreEntry& entry : table->entries)
        if (!entry.submitted && entry.name == wanted) return &entry;
    return nullptr;
}

void FlagEntriesSubmitted(THiscoreTable* table, const char* name) {
    if (table == nullptr || name == nullptr) return;
    const str wanted(name);
    for (THiscoreEntry& entry : table->entries)
        if (entry.name == wanted) entry.submitted = true;
}

int CountUnsubmittedMedals(const THiscoreMedalRecords& medals, const str& player) {
    auto found = medals.find(player);
    if (found == medals.end()) return 0;
    const std::vector<THiscoreMedal>& list = found->second.medals;
    return static_cast<int>(std::count_if(
        list.begin(), list.end(), [](const THiscoreMedal& medal) { return !medal.submitted; }));
}

void FlagMedalsSubmitted(THiscoreMedalRecord& record) {
    for (THiscoreMedal& medal : record.medals)
        medal.submitted = true;
}
