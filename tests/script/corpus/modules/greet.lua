-- A package for packages.lua: counts its loads and remembers the name it was required as.
loads = (loads or 0) + 1
local name = _REQUIREDNAME
return {hello = function(who) return "hello " .. who .. " from " .. name end}
