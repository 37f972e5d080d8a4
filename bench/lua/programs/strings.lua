-- Strings: concatenation, joining pieces and formatting numbers.
local parts = {}
for i = 1, 100000 do
  parts[i] = "item" .. i .. ":" .. (i * 3)
end
local joined = table.concat(parts, ",")
local formatted = {}
for i = 1, 100000 do
  formatted[i] = string.format("%d %5.2f %s %x", i, i / 7, "s", i)
end
local line = ""
for i = 1, 20000 do
  line = line .. "x"
  if string.len(line) > 100 then line = "" end
end
local found = 0
for i = 1, 100000, 7 do
  if string.find(parts[i], "item%d+:") then found = found + 1 end
end
print(string.len(joined), string.len(table.concat(formatted)), string.len(line), found)
