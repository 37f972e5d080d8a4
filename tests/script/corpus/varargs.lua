-- shared: varargs through arg, and adjusting of results
local function count(...) return arg.n end
print("count", count(), count(nil), count(1, nil, 3))
assert(count(1, nil, 3) == 3)

local function first(a, ...) return a, arg[1], arg[2] end
print("first", first(1, 2, 3))

local function pass(...) return unpack(arg) end
print("pass", pass(4, 5, 6))

local function three() return 1, 2, 3 end
local a, b, c, d = three()
print("adjust", a, b, c, d)
local t = {three(), three()}
print("in table", t[1], t[2], t[3], t[4])
assert(t[4] == 3 and t[5] == nil)
print("in parens", (three()))

local function sum(...)
  local s = 0
  for i = 1, arg.n do s = s + arg[i] end
  return s
end
print("sum", sum(1, 2, 3, 4, 5))
assert(sum(1, 2, 3, 4, 5) == 15)

-- calls through a table of functions with varying argument counts
local function apply(f, ...) return f(unpack(arg)) end
print("apply", apply(sum, 10, 20), apply(count, 1, 2))
