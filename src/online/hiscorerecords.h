// The hiscore client's records: score tables and their entries (the player's local tables and the
// table last received from the service), the logins a player asked to remember, and the player's
// medals. Plain values: each container owns what it holds, and pointers into the maps stay valid
// until that record is replaced or erased.
//
// Main thread only, like the client that keeps them.
#pragma once

#include <map>
#include <vector>

#include "foundation/str.h"

// One score, local or from the service.
struct THiscoreEntry {
    int rank = 0;
    int score = 0;
    str name;        // player or account name
    str gameData;    // game-defined text sent with the score
    str serverData;  // XML placed inside the submitted "score" element, relayed unchecked
    str version;
    str guid;
    // From the service: its "anonymous" flag. Local entries read from the file always have it.
    bool anonymous = false;
    // Set once the service accepted the entry.
    bool submitted = false;

    bool operator==(const THiscoreEntry&) const = default;
};

// A local table is named by its game mode; the service's table keeps the name empty.
struct THiscoreTable {
    str name;
    std::vector<THiscoreEntry> entries;

    int Count() const { return static_cast<int>(entries.size()); }
    bool operator==(const THiscoreTable&) const = default;
};

struct THiscoreLogin {
    str player;  // the key it is kept under
    str name;    // the account name
    str password;

    bool operator==(const THiscoreLogin&) const = default;
};

struct THiscoreMedal {
    str name;
    str scope;  // "game" or "type" (per game mode)
    str mode;   // the game mode, for a medal of scope "type"
    str gameData;
    bool submitted = false;

    bool operator==(const THiscoreMedal&) const = default;
};

// A player's medals, in the order they were stored.
struct THiscoreMedalRecord {
    std::vector<THiscoreMedal> medals;

    bool operator==(const THiscoreMedalRecord&) const = default;
};

// Local tables by game mode, medal records and logins by player; ordered by str comparison.
using THiscoreTables = std::map<str, THiscoreTable>;
using THiscoreMedalRecords = std::map<str, THiscoreMedalRecord>;
using THiscoreLogins = std::map<str, THiscoreLogin>;

// The first entry of the table under that name whose submitted flag is clear; null for a null
// name, a null table or an empty table.
THiscoreEntry* FirstUnsubmittedEntry(THiscoreTable* table, const char* name);
// Sets the submitted flag of every entry under that name; a null table or name does nothing.
void FlagEntriesSubmitted(THiscoreTable* table, const char* name);
// Medals of the player's record not yet submitted; 0 without a record.
int CountUnsubmittedMedals(const THiscoreMedalRecords& medals, const str& player);
void FlagMedalsSubmitted(THiscoreMedalRecord& record);
