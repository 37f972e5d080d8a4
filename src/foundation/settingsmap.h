// TSettingsMap: the process-wide table of named settings, text values under text keys (keys are
// case-sensitive, ordered by str comparison). It exists for the whole run of the process, before
// the application object and after it; every layer reads it. The application object's settings
// operations (SetConfig with its side effects, GetConfig, IsEnabled) stand on it.
//
// Any thread may read and write it: the table has its own lock. The change observer runs on the
// writing thread, outside the lock.
#pragma once

#include <map>

#include "foundation/str.h"

class TSettingsMap {
public:
    // Called after every Set with the key and the new value.
    using Observer = void (*)(const str& key, const str& value);

    static TSettingsMap& GetInstance();

    // Stores the value under the key, replacing, then tells the observer.
    void Set(const str& key, const str& value);
    // The stored value, or fallback when the key is absent; an absent key is not inserted.
    str Get(const str& key, const str& fallback) const;
    bool Has(const str& key) const;
    // Empties the table (the application object's teardown).
    void Clear();
    void SetObserver(Observer observer);

private:
    TSettingsMap() = default;

    struct Data;
    Data& Locked() const;
};
