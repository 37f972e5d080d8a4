-- Coroutine switches: a generator resumed a million times, and two coroutines in turn.
local gen = coroutine.wrap(function()
  local i = 0
  while true do
    i = i + 1
    coroutine.yield(i)
  end
end)
local s = 0
for i = 1, 3000000 do s = s + gen() end
local ping = coroutine.create(function(x)
  while true do x = coroutine.yield(x + 1) end
end)
local v = 0
for i = 1, 2000000 do
  local ok, r = coroutine.resume(ping, v)
  v = r
end
print(s, v)
