local function counter()
  local n = 0
  return function(step) n = n + (step or 1) return n end
end
local c = counter()
c() c(5)
local function sum(...)
  local s = 0
  for i = 1, arg.n do s = s + arg[i] end
  return s, arg.n
end
local t = {sum(1, 2, 3), sum(unpack({4, 5}))}
local function deep(n) if n == 0 then return 0 end return 1 + deep(n - 1) end
local ok, err = pcall(deep, 100000)
local function tail(n) if n == 0 then return "done" end return tail(n - 1) end
tail(5000)
for i = 10, 1, -3 do t[table.getn(t) + 1] = i end
for k, v in pairs(t) do if k == 2 then continue end end
while true do while true do break 2 end end
local r, e = pcall(function() error({}) end)
