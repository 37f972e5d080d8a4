-- Behaviour of the 5.0 language that later releases changed.
-- The numeric for variable is one variable for the whole loop, shared by its closures.
local fs = {}
for i = 1, 3 do fs[i] = function() return i end end
assert(fs[1]() == 3 and fs[3]() == 3)
-- ... is only a parameter: extra arguments arrive in arg
assert(not loadstring("return ..."))
local function f(...) return arg.n end
assert(f(1, 2) == 2)
-- messages quote names with a backquote
local ok, err = pcall(loadstring("local x; return x.y", "=c"))
assert(err == "c:1: attempt to index local `x' (a nil value)", err)
assert(loadstring("x = = 1") == nil)
local _, msg = loadstring("x = = 1", "=chunk")
assert(msg == "chunk:1: unexpected symbol near `='", msg)
-- nested long brackets are text
assert([[a[[b]]c]] == "a[[b]]c")
-- assert answers its first argument only
local one, two = assert(1, 2)
assert(one == 1 and two == nil)
print("5.0 behaviour ok")
