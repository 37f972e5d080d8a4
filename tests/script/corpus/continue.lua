-- continue, break N and continue N.
local function iseven(n) return (n & 1) == 0 end
local s = ""
for i = 1, 6 do
  if iseven(i) then continue end
  s = s .. i
end
assert(s == "135", s)

-- continue in while and repeat re-tests the condition
local n, count = 0, 0
while n < 10 do
  n = n + 1
  if n > 3 then continue end
  count = count + 1
end
assert(count == 3 and n == 10)
n, count = 0, 0
repeat
  n = n + 1
  if n < 5 then continue end
  count = count + 1
until n >= 5
assert(n == 5 and count == 1)

-- break 2 and continue 2 across nested loops
local pairsfound = 0
for i = 1, 5 do
  for j = 1, 5 do
    if i * j == 6 then pairsfound = pairsfound + 1 break 2 end
  end
end
assert(pairsfound == 1)
local visits = ""
for i = 1, 3 do
  for j = 1, 3 do
    if j == 2 then continue 2 end
    visits = visits .. i .. j .. " "
  end
  visits = visits .. "never "
end
assert(visits == "11 21 31 ", visits)
local depth = 0
while true do
  repeat
    for k in ipairs({1}) do depth = depth + 1 break 3 end
  until false
end
assert(depth == 1)

-- closures keep their own variables whatever way an iteration ends
local fs = {}
for i = 1, 3 do local x = i * 100; fs[i] = function() return x end; continue end
assert(fs[1]() == 100 and fs[2]() == 200 and fs[3]() == 300)
print("continue ok")
