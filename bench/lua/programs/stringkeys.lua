-- String keys: many distinct keys made, stored, made again and looked up; objects with many
-- named fields read through keys kept in a list.
local n = 100000
local t = {}
for i = 1, n do t["key" .. i] = i end
local s = 0
for round = 1, 3 do
  for i = 1, n do s = s + t["key" .. i] end
end
local fields = {}
for i = 1, 1000 do fields[i] = "field" .. i end
local objects = {}
for j = 1, 100 do
  local o = {}
  for i = 1, 1000 do o[fields[i]] = i + j end
  objects[j] = o
end
local c = 0
for round = 1, 20 do
  for j = 1, 100 do
    local o = objects[j]
    for i = 1, 1000, 3 do c = c + o[fields[i]] end
  end
end
print(s, c)
