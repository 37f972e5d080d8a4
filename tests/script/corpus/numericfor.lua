-- shared: numeric for loops: steps, empty ranges, negative steps and string bounds
local function collect(a, b, c)
  local s = ""
  if c then
    for i = a, b, c do s = s .. i .. " " end
  else
    for i = a, b do s = s .. i .. " " end
  end
  return s
end
print("[" .. collect(1, 5) .. "]")
print("[" .. collect(5, 1) .. "]")
print("[" .. collect(5, 1, -1) .. "]")
print("[" .. collect(1, 10, 3) .. "]")
print("[" .. collect(1, 1) .. "]")
print("[" .. collect(0, 2, 0.5) .. "]")
print("[" .. collect(-3, -1) .. "]")
print("[" .. collect("2", "4") .. "]")

local n = 0
for i = 1, 3 do for j = i, 3 do n = n + 1 end end
print("nested", n)

local found
for i = 1, 100 do if i * i > 50 then found = i break end end
print("break", found)
