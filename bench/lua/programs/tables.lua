-- Tables: inserting into and reading from the array part and the hash part.
local n = 1000000
local t = {}
for i = 1, n do t[i] = i * 2 end
local s = 0
for round = 1, 10 do
  for i = 1, n do s = s + t[i] end
end
local list = {}
for i = 1, 300000 do table.insert(list, i) end
local keys = {}
for i = 1, 1000 do keys[i] = "key" .. i end
local h = {}
for round = 1, 1000 do
  for i = 1, 1000 do
    local k = keys[i]
    h[k] = (h[k] or 0) + round
  end
end
local total = 0
for i = 1, 1000 do total = total + h[keys[i]] end
print(s, table.getn(list), total)
