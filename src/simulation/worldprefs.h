// GWorldPrefs: the current player's preferences as the world reads and writes them (pause, game
// speed, skill level, the creatures' look counters, the history's direction). The store (TPrefs)
// belongs to the game's start-up, which lends it to the world; the current player is the global
// value "curuser" (user -1 when there is none, so the global values are read). Without a store
// every read answers its default and every write does nothing. Main thread only.
#pragma once

#include "foundation/str.h"

class TPrefs;

class GWorldPrefs {
public:
    // The store is borrowed: it must outlive its use here, or be unset with null.
    void Lend(TPrefs* prefs) { mPrefs = prefs; }
    TPrefs* GetStore() const { return mPrefs; }

    // The current player's number; -1 without a store or a player.
    int GetCurrentUser() const;
    int GetInt(const str& key, int fallback) const;
    // save asks the store to write its file now.
    void SetInt(const str& key, int value, bool save);

private:
    TPrefs* mPrefs = nullptr;
};
