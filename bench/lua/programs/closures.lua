-- Closures: making closures over locals, calling them, updating their upvalues.
local function counter()
  local n = 0
  return function(step) n = n + step return n end
end
local total = 0
for i = 1, 1000000 do
  local c = counter()
  c(1)
  total = total + c(i)
end
local adders = {}
for i = 1, 100 do
  local step = i
  adders[i] = function(x) return x + step end
end
local acc = 0
for round = 1, 100000 do
  for i = 1, 100 do acc = adders[i](acc) end
end
print(total, acc)
