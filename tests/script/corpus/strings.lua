-- shared: building strings by concatenation, numbers as text and comparisons
local parts = ""
for i = 1, 10 do parts = parts .. i .. "," end
print(parts)

local big = ""
for i = 1, 200 do big = big .. "ab" end
local n = 0
for i = 1, 200 do n = n + 2 end
print("lengths", n)

print("mixed", 1 .. 2, 1.5 .. "x", "a" .. "b" .. "c" .. 1 .. 2)
print("numbers", 10 / 4, 1e15, 0.1 + 0.2 == 0.3, 100000000000000, -0.5, 1/3)
print("strings compare", "a" < "b", "abc" < "abd", "Z" < "a", "" < "a", "a" == "a")
print("coerce", "10" + 5, "3" * "4", 10 .. "")
print("tonumber", tonumber("  42  "), tonumber("4e2"), tonumber("x"), tonumber("12", 8))
print("tostring", tostring(12), tostring(1.25), tostring(nil), tostring(false))
local t = {}
for i = 1, 5 do t[i] = "item" .. i end
print(t[1] .. t[5])
