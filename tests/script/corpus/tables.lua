-- shared: the table library: sorting, inserting, removing, concatenating and walking
local function list(t) return table.concat(t, ",") end
local t = {5, 3, 8, 1, 9, 2, 7}
table.sort(t)
print(list(t))
table.sort(t, function(a, b) return a > b end)
print(list(t))
local words = {"pear", "Apple", "fig", "banana", "cherry"}
table.sort(words)
print(list(words))
table.sort(words, function(a, b) return string.len(a) < string.len(b) end)
print(list(words))
-- equal keys land where the quicksort puts them
local function int(x) return tonumber(string.format("%d", x)) end
local t2 = {}
for i = 1, 30 do t2[i] = {k = (i - 1) - 4 * int((i - 1) / 4), id = i} end
table.sort(t2, function(a, b) return a.k < b.k end)
local ids = {}
for i = 1, 30 do ids[i] = t2[i].id end
print(list(ids))
local q = {}
table.insert(q, "a")
table.insert(q, "c")
table.insert(q, 2, "b")
table.insert(q, 1, "start")
print(list(q), table.getn(q))
print(table.remove(q), table.remove(q, 1), list(q), table.getn(q))
print(table.remove({}), table.getn({}))
print(table.concat({1, 2, 3}), table.concat({"a", "b"}, ", "), table.concat({"a", "b", "c", "d"}, "-", 2, 3))
local sum = 0
table.foreachi({10, 20, 30}, function(i, v) sum = sum + i * v end)
print(sum)
print(table.foreachi({1, 2, 3}, function(i, v) if v == 2 then return "found " .. i end end))
local keys = 0
table.foreach({a = 1, b = 2, c = 3}, function(k, v) keys = keys + v end)
print(keys)
local big = {}
for i = 1, 1000 do big[i] = (i * 7919) - 1000 * int((i * 7919) / 1000) end
table.sort(big)
local ok = true
for i = 2, 1000 do if big[i - 1] > big[i] then ok = false end end
print("sorted", ok, big[1], big[1000])
print(pcall(table.sort, {3, "x", 1}))
