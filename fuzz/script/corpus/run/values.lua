local mt = {__add = function(a, b) return 1 end, __concat = function(a, b) return "c" end,
  __index = function(t, k) return k end, __lt = function() return true end}
local a = setmetatable({}, mt)
local x = a + 1 .. "s"
local y = a.missing, a < a
local w = L"wide\x263A" .. 12 .. towstring("b")
local n = 6 & 3 | 1 << 4 >> 2 ^ 5
local s = string.format("%d %s %q %B", 3, "x", "a\0b", nil)
local f = string.gsub("hello world", "(%w+)", "<%1>")
collectgarbage()
local weak = setmetatable({}, {__mode = "kv"})
weak[{}] = {}
local co = coroutine.wrap(function(p) local q = coroutine.yield(p + 1) return q * 2 end)
co(1) co(2)
local v = (5).field, ("abc"):upper(), tonumber(L"0x1F"), tonumber("z", 36)
local p = string.pack("<iwz", 7, L"pq")
local i, val = string.unpack(p, "<i")
