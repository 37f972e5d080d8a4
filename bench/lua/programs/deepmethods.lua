-- Method calls through a deep chain of classes, each inheriting from the one before it: most
-- calls find their method several levels up.
local Base = {}
Base.__index = Base
function Base.new(class, v) return setmetatable({v = v}, class) end
function Base:get() return self.v end
function Base:add(d) self.v = self.v + d end
local classes = {Base}
for depth = 2, 8 do
  local class = setmetatable({}, classes[depth - 1])
  class.__index = class
  classes[depth] = class
end
local Middle, Leaf = classes[4], classes[8]
function Middle:twice() return self:get() * 2 end
function Leaf:name() return "leaf" end
local leaf = Base.new(Leaf, 0)
local middle = Base.new(Middle, 1)
local s = 0
for i = 1, 1000000 do
  leaf:add(1)
  s = s + leaf:get() + leaf:twice() + middle:get()
  if leaf:name() ~= "leaf" then s = 0 end
end
print(leaf.v, s)
