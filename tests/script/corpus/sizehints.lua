-- Constructors with size hints build ordinary tables.
local a = { & 10 & 100 }
local b = { & 0 & 50, 1, 2 }
local c = { & 5 }
local d = { & 2 & 2, "x", "y", z = 1 }
assert(next(a) == nil)
assert(b[1] == 1 and b[2] == 2 and b[3] == nil)
c.k = 1
assert(c.k == 1 and d[1] == "x" and d.z == 1)
for i = 1, 100 do a[i] = i end
assert(a[100] == 100)
print("size hints ok")
