a, b.c, d[e] = f(), g, (h())
if a == b and not c or d ~= e then x = -y elseif z >= 0 then x = #q else x = {} end
local s = [[long
[[nested]] ]] -- comment
--[[ long comment ]] return 0xff, .5e3, "\65\x41\n"