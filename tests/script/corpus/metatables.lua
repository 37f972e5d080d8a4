-- shared: metatables on tables: index, newindex, arithmetic, comparison, call
local Vec = {}
Vec.__index = Vec
function Vec.new(x, y) return setmetatable({x = x, y = y}, Vec) end
function Vec.__add(a, b) return Vec.new(a.x + b.x, a.y + b.y) end
function Vec.__eq(a, b) return a.x == b.x and a.y == b.y end
function Vec.__lt(a, b) return a.x < b.x end
function Vec.__le(a, b) return a.x <= b.x end
function Vec:len2() return self.x * self.x + self.y * self.y end

local v = Vec.new(1, 2) + Vec.new(3, 4)
print("add", v.x, v.y, v:len2())
assert(v == Vec.new(4, 6))
print("compare", Vec.new(1, 0) < Vec.new(2, 0), Vec.new(2, 0) <= Vec.new(1, 0))

-- defaults through __index
local defaults = setmetatable({}, {__index = function(t, k) return k .. "?" end})
print("index", defaults.colour, rawget(defaults, "colour"))

-- a proxy that records writes
local log, writes = {}, 0
local proxy = setmetatable({}, {__newindex = function(t, k, v) writes = writes + 1; log[writes] = k; rawset(t, k, v) end})
proxy.a = 1
print("newindex", log[1], proxy.a)

-- a callable table
local callable = setmetatable({}, {__call = function(self, a, b) return a * b end})
print("call", callable(6, 7))

-- inheritance through a chain of __index tables
local Base = {kind = "base"}
function Base.describe(self) return self.kind .. ":" .. self.name end
local Derived = setmetatable({kind = "derived"}, {__index = Base})
local obj = setmetatable({name = "thing"}, {__index = Derived})
print("chain", obj:describe())
