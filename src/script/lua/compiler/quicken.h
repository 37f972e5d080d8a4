// Gives a complete function's code its run forms (RunOpCode in opcodes.h): the code stays the
// same program, only some opcodes change to forms whose operand kinds are settled. Called once
// per prototype, when its code is final: by the parser as it closes a function, and by the
// chunk reader after the code checker accepted the plain code.
//
// Threads: as the state that owns the prototype.
#pragma once

#include "script/lua/object.h"

void luaP_quicken(Proto* f);
