-- Method calls through metatables: a small class, its subclass and their methods.
local Point = {}
Point.__index = Point
function Point.new(x, y) return setmetatable({x = x, y = y}, Point) end
function Point:add(o) return Point.new(self.x + o.x, self.y + o.y) end
function Point:length2() return self.x * self.x + self.y * self.y end

local Named = setmetatable({}, {__index = Point})
Named.__index = Named
function Named.new(x, y, name)
  local p = Point.new(x, y)
  p.name = name
  return setmetatable(p, Named)
end
function Named:label() return self.name end

local p = Point.new(0, 0)
local step = Point.new(1, 2)
local sum = 0
for i = 1, 1000000 do
  p = p:add(step)
  sum = sum + p:length2() / 1000000
end
local n = Named.new(1, 1, "n")
local count = 0
for i = 1, 1000000 do
  if n:label() == "n" then count = count + n:length2() end
end
print(p.x, p.y, sum, count)
