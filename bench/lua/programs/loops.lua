-- Numeric loops: nested for loops, a while loop and arithmetic on locals.
local sum = 0
for i = 1, 5000 do
  for j = 1, 5000 do
    sum = sum + i * j - (i + j) / 2
  end
end
local k, acc = 0, 0
while k < 15000000 do
  k = k + 1
  if k < 7500000 then acc = acc + k else acc = acc - 1 end
end
print(sum, acc)
