-- shared: functions written with string.dump and loaded back
local function roundtrip(f) return loadstring(string.dump(f)) end
local add = roundtrip(function(a, b) return a + b end)
print(add(2, 3))
local fact = roundtrip(function(n)
  local r = 1
  for i = 2, n do r = r * i end
  return r, "text", 1.5, nil, true
end)
print(fact(10))
local nested = roundtrip(function(x)
  local function inner(y) return y * 2 end
  local t = {inner(x), inner(x + 1), s = "field"}
  return t[1] + t[2], t.s
end)
print(nested(5))
local closures = roundtrip(function()
  local acc = {}
  for i = 1, 3 do
    local v = i * 10
    acc[i] = function() return v end
  end
  return acc[1]() + acc[2]() + acc[3]()
end)
print(closures())
local chunk = string.dump(loadstring("return 'from a chunk', 7 * 6"))
print(string.sub(chunk, 1, 4) == "\27Lua", loadstring(chunk)())
print(pcall(string.dump, print))
local ok, err = pcall(function() return loadstring(string.dump(function() error("inside") end))() end)
print(ok, string.gsub(err, "^.-:%d+: ", ""))
