#include "script/scriptglobals.h"

#include <cstring>

#include "foundation/log.h"
#include "script/lua/lib/auxlib.h"
#include "script/lua/lua.h"
#include "script/luabinding.h"

const char* const kGetClosureSource =
    "function GetClosure( f, ... ) return function() return f( arg[1], arg[2], arg[3], arg[4], "
    "arg[5], arg[6] ); end; end";

namespace {

const char kDumpTableSource[] =
    "function _Internal_DumpEntry( key, value, indent ) \n"
    "\tlocal _entry = '' \n"
    "\t_entry = string.rep(' ',indent)..tostring(key)..' -> '; \n"
    "   if ( type(value) == 'table' ) then \n"
    "     _entry = _entry.. [[{\n"
    "]] \n"
    "\t\t.. _Internal_DumpTable( value, indent+2 ) \n"
    "       .. string.rep(' ',indent)..[[}\n"
    "]] \n"
    "\telse \n"
    "\t  _entry = _entry .. tostring(value) .. [[\n"
    "\n"
    "]] ;\n"
    "   end \n"
    "   return _entry; \n"
    "end \n"
    "function _Internal_DumpTable( t, indent ) \n"
    "\tif indent>10 then return string.rep(' ',indent)..[[...\n"
    "]]; end; \n"
    "\tlocal _accumulated_table_data = ''; \n"
    "\tif ( not indent ) then indent = 0 end; \n"
    "\ttable.foreach( t, function(k,v) _accumulated_table_data = "
    "_accumulated_table_data.._Internal_DumpEntry(k,v,indent); end ) \n"
    "\treturn _accumulated_table_data; \n"
    "end \n"
    "function DumpTable( t ) \n"
    "  local _table = _Internal_DumpTable(t,2);  \n"
    "  DebugOut( [[Dump Table: \n"
    "]].._table ); \n"
    "  _accumulated_table_data=''; \n"
    "end \n";

// The error function of every protected call the host makes. It returns nothing, so the error
// value the call leaves is nil.
int Alert(lua_State* L) {
    LogLuaError(L, -1);
    return 0;
}

// Debug output goes nowhere in this program.
void DiscardDebugText(str) {}

// The elements 1..n of the table given last, n from lua_getn.
int ToParams(lua_State* L) {
    int table = lua_gettop(L);
    if (table == 0 || !lua_istable(L, table)) return 0;
    int n = lua_getn(L, table);
    if (n <= 0) return 0;
    if (!lua_checkstack(L, n)) return luaL_error(L, "too many values for toparams (%d)", n);
    for (int i = 1; i <= n; ++i) {
        lua_pushnumber(L, i);
        lua_gettable(L, table);
    }
    return n;
}

}  // namespace

str LuaErrorText(lua_State* L, int index) {
    int type = lua_type(L, index);
    if (type == LUA_TSTRING || type == LUA_TNUMBER) {
        lua_pushvalue(L, index);
        str text(lua_tostring(L, -1));
        lua_pop(L, 1);
        return text;
    }
    if (type == LUA_TNONE) type = LUA_TNIL;
    return str::Format("(error object is a %s value)", lua_typename(L, type));
}

void LogLuaError(lua_State* L, int index) {
    LogPrintf("Lua error: %s", LuaErrorText(L, index).c_str());
}

void RegisterScriptGlobals(lua_State* L) {
    lua_register(L, "_ALERT", Alert);
    LuaBindFunction(L, "DebugOut", &DiscardDebugText);
    lua_register(L, "toparams", ToParams);
    lua_dobuffer(L, kDumpTableSource, sizeof kDumpTableSource - 1, "DumpTable");
}
