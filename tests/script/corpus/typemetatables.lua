-- Every value but nil has a metatable: its type's shared one, unless a table or userdata
-- was given its own.
assert(type(getmetatable(1)) == "table" and getmetatable(1) == getmetatable(2.5))
assert(getmetatable("a") ~= getmetatable(1) and type(getmetatable(print)) == "table")
assert(getmetatable(nil) == nil)
assert(getmetatable({}) == getmetatable({}))
-- fields of a number live in the numbers' table
local five = 5
assert(five.anything == nil)
five.shared = "yes"
assert((7).shared == "yes")
-- the first operand's type table is found before the second's handler
local mt = {__add = function(a, b) return "handled" end}
local t = setmetatable({}, mt)
assert(t + 1 == "handled")
local ok, err = pcall(function() return 1 + t end)
assert(not ok)
-- two functions compare through their type table, which cannot be called
assert(not pcall(function() return print < type end))
-- a userdata without __index reads its metatable
local u = newproxy(true)
getmetatable(u).colour = "red"
assert(u.colour == "red")
print("per-type metatables ok")
