// The window system's Lua library: the chunk every window script runs once in its state, under
// the chunk name "gScreenInit", when it is made. Empty until the library is written: nothing runs
// then.
#pragma once

#include <string_view>

std::string_view GetWindowLibrary();
