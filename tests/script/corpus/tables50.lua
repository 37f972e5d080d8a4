-- The table library's Lua 5.0 sizes: the field "n" and table.setn.
local dir = string.gsub(arg[0], "[^/]*$", "")
local check = dofile("::" .. dir .. "modules/checks.lua")
check(table.getn({n = 3}), 3)
check(table.getn({1, 2, 3, nil, 5}), 3)
local t = {}
table.setn(t, 10)
check(table.getn(t), 10)
table.insert(t, "x")
check(t[11], "x")
check(table.getn(t), 11)
local counted = {n = 2, "a", "b"}
table.insert(counted, "c")
check(counted.n, 3)
check(table.remove(counted), "c")
check(counted.n, 2)
-- nothing is removed outside the elements
local keep = {1, 2, 3}
check(table.remove(keep, 7), nil)
check(table.getn(keep), 3)
check(keep[3], 3)
-- table.insert grows the table to a position past its end
local grow = {}
table.insert(grow, 4, "four")
check(table.getn(grow), 4)
check(grow[4], "four")
print("tables 5.0 ok")
