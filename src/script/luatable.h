// TLuaTable: a wrapper (luaobjectwrapper.h) over a Lua table, with the lookups native code needs:
// fields pushed or read as numbers, texts, sub-tables and colours. Lookups go through the table's
// metamethods. A wrapped value that is not a table has no fields: every getter answers its
// default without indexing it. Every getter leaves the stack as it found it.
//
// Main thread only, like the state.
#pragma once

#include "foundation/str.h"
#include "math/vec4.h"
#include "script/luaobjectwrapper.h"

class TLuaTable : public TLuaObjectWrapper {
public:
    explicit TLuaTable(lua_State* state) : TLuaObjectWrapper(state) {}

    bool IsTable() const;

    // Pushes the field and answers true when it is not nil; pushes nothing and answers false
    // otherwise.
    bool PushField(const char* key) const;
    bool PushFieldAt(double key) const;

    // The field as a number when it is one (or a text that reads as one), else the default.
    double GetNumber(const char* key, double fallback) const;
    double GetNumberAt(double key, double fallback) const;
    // The field as a text when it is a string or a number, else the default.
    str GetStringAt(double key, const str& fallback) const;
    // A new wrapper, owned by the caller, over the field when it is a table; null otherwise.
    TLuaTable* GetTableAt(double key) const;
    // Elements 1 to 4 of the sub-table at key as red, green, blue and alpha, each missing one
    // taken from the default; the default itself when the field is not a table.
    TVec4 GetColor(double key, const TVec4& fallback) const;

    // Hands this wrapper to the script that owns the state, which deletes it at its next run or
    // resume (TScript::AddTemporary). False when the state has no owning script: the caller
    // still owns the wrapper.
    bool DeleteOnResume();
};
