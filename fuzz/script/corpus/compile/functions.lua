local function f(a, ...) return a, arg.n, f end
local co = coroutine.create(function(x) local y = coroutine.yield(x) return y end)
local o = {} function o:m(v) self.v = v end o:m("s" .. 1 .. 2)
for k, v in pairs(o) do print(k, v) end
return f(1, 2, 3)