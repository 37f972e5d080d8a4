-- shared: errors and protected calls
print("plain", pcall(error, "plain", 0))
print("table", pcall(error, {code = 1}) == false)
local ok, e = pcall(error, {code = 7})
print("value", ok, e.code)
print("success", pcall(function(a, b) return a + b end, 2, 3))
print("nested", pcall(pcall, error, "x"))

local function risky(n)
  if n > 2 then error("too big", 0) end
  return n
end
local results = ""
for i = 1, 4 do
  local ok, v = pcall(risky, i)
  results = results .. tostring(ok) .. ":" .. tostring(v) .. " "
end
print(results)

print("xpcall", xpcall(function() error("in", 0) end, function(m) return "handled " .. m end))
print("rethrow", pcall(function()
  local ok, err = pcall(error, "inner", 0)
  error("outer " .. err, 0)
end))

-- the stack unwinds through several Lua levels
local function a() error("deep", 0) end
local function b() a() end
local function c() b() return "unreached" end
print("unwind", pcall(c))
print("after", 1 + 1)
