-- shared: coroutines as generators, passing values both ways, and their status
local function range(n)
  return coroutine.wrap(function() for i = 1, n do coroutine.yield(i) end end)
end
local s = 0
for i in range(5) do s = s + i end
print("generator", s)
assert(s == 15)

local co = coroutine.create(function(a)
  print("started", a)
  local b = coroutine.yield(a * 2)
  print("got", b)
  local c, d = coroutine.yield(b + 1)
  return c .. d
end)
print(coroutine.resume(co, 5))
print(coroutine.status(co))
print(coroutine.resume(co, 7))
print(coroutine.resume(co, "x", "y"))
print(coroutine.status(co))
print(coroutine.resume(co))

-- a producer and a consumer
local producer = coroutine.create(function()
  local items = {"a", "b", "c"}
  for i = 1, 3 do coroutine.yield(items[i]) end
  return "end"
end)
local got = ""
while true do
  local ok, item = coroutine.resume(producer)
  got = got .. item
  if coroutine.status(producer) == "dead" then break end
end
print("consumer", got)

-- yields from deep inside nested calls
local function walk(depth)
  if depth == 0 then coroutine.yield("leaf") return 1 end
  return walk(depth - 1) + 1
end
local w = coroutine.create(function() return walk(100) end)
print(coroutine.resume(w))
print(coroutine.resume(w))
