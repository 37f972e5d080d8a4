local t = { & 10 & 100, 1, 2; x = 3, [4] = L"w\x263A" }
for i = 1, 3 do if i == 2 then continue end t[i] = i & 3 | 1 << 2 >> 1 ^ 5 end
while true do repeat break 2 until false end