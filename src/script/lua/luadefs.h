// Basic types and fixed limits of the scripting core, shared by every internal module. Nothing
// here allocates; the numbers are the language's own limits and the program's layout choices
// (a 64-bit build: object headers and sizes are native, only chunks fix sizes on the wire).
#pragma once

#include <cstddef>
#include <cstdint>

#include "script/lua/lua.h"

using lu_byte = uint8_t;
using lu_hash = uint32_t;
using lu_mem = size_t;
using Instruction = uint32_t;

// Requests of this many bytes or more are refused with "memory allocation error: block too big",
// the same threshold as the 32-bit build, kept so that scripts meet the same limit.
constexpr lu_mem kMaxBlockSize = 0xFFFFFFFDu;
constexpr lu_mem kMaxLuMem = ~static_cast<lu_mem>(0) - 2;
constexpr int kMaxInt = 2147483647 - 2;

// Call depth: call records beyond this raise "stack overflow".
constexpr int LUA_MAXCALLS = 4096;
// Nested native calls beyond this raise "C stack overflow".
constexpr int LUA_MAXCCALLS = 200;
// lua_checkstack never grants more slots than this above the current base.
constexpr int LUA_MAXCSTACK = 2048;

constexpr int BASIC_CI_SIZE = 8;
constexpr int BASIC_STACK_SIZE = 2 * LUA_MINSTACK;
// Slots kept beyond the usable stack so that metamethod calls can push their arguments first.
constexpr int EXTRA_STACK = 5;

constexpr int MINSTRTABSIZE = 32;
constexpr int LUA_MINBUFFER = 32;

// Longest chunk id shown in messages, terminator included.
constexpr int LUA_IDSIZE = 60;

// Largest array part is 2^MAXBITS slots; more hash nodes than that raise "table overflow".
constexpr int MAXBITS = 24;

// Metamethod chains (__index / __newindex tables) give up after this many steps.
constexpr int MAXTAGLOOP = 100;
