// TWindowStyle: the typed view through which a window's Init and PostInit read its Lua
// description table. A key missing from the table is looked up in the current default style (the
// global "gCurrentDefaultStyle") and then along that style's chain of "parent" tables; the window
// table's own "parent" is never consulted. A value of false counts as found. Lookups go through
// metamethods.
//
// The table is not owned: the caller keeps the TLuaTable alive while the style is in use. Every
// getter leaves the Lua stack as it found it. Main thread only, on the state that holds the
// table (the window script's).
#pragma once

#include <cstdint>

#include "foundation/str.h"
#include "math/vec4.h"

class TLuaFunction;
class TLuaTable;

class TWindowStyle {
public:
    // A chain of "parent" styles is followed this far; past it a key is not found (a chain that
    // loops would otherwise never end).
    static constexpr int kMaxParentLinks = 32;

    explicit TWindowStyle(TLuaTable* table) : mTable(table) {}
    virtual ~TWindowStyle() = default;
    TWindowStyle(const TWindowStyle&) = delete;
    TWindowStyle& operator=(const TWindowStyle&) = delete;

    TLuaTable* GetLuaTable() const { return mTable; }

    // The value read as a number (a text that reads as one gives it; any other value 0.0).
    double GetNumber(const str& key, double fallback) const;
    // GetNumber truncated toward zero; saturated at the int range, NaN gives 0.
    int32_t GetInt(const str& key, int32_t fallback) const;
    // The value as a text (a number is written out; any other value gives the empty text).
    str GetString(const str& key, const str& fallback) const;
    // Elements 1 to 4 of a table as red, green, blue and alpha (missing ones 0.0); a value that
    // is not a table gives the fallback.
    TVec4 GetColor(const str& key, const TVec4& fallback) const;
    // TScript::PopBool's reading of the value.
    bool GetBool(const str& key, bool fallback) const;
    // A new wrapper over whatever value was found, which the caller owns; null when none was.
    TLuaTable* GetTable(const str& key) const;
    TLuaFunction* GetFunction(const str& key) const;

private:
    // Pushes the value found for the key and answers true; answers false when there is none
    // (the stack is then left for the caller to restore).
    bool PushValue(const str& key) const;

    TLuaTable* mTable;
};
