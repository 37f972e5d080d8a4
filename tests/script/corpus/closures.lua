-- shared: closures, upvalues shared between functions, and counters
local function counter(start)
  local n = start
  local function inc() n = n + 1; return n end
  local function get() return n end
  return inc, get
end

local inc, get = counter(10)
inc(); inc()
print("counter", get())
assert(get() == 12)

local inc2, get2 = counter(0)
inc2()
print("independent", get(), get2())
assert(get2() == 1 and get() == 12)

-- closures made in a while loop each keep their own local
local fs = {}
local i = 1
while i <= 3 do
  local j = i * 10
  fs[i] = function() return j end
  i = i + 1
end
print("loop locals", fs[1](), fs[2](), fs[3]())
assert(fs[1]() == 10 and fs[3]() == 30)

-- an upvalue seen through two levels of functions
local function outer()
  local x = 1
  local function middle()
    local function inner() x = x + 1; return x end
    return inner
  end
  return middle(), function() return x end
end
local bump, read = outer()
bump(); bump()
print("nested", read())
assert(read() == 3)

-- recursive local function
local function fact(n) if n <= 1 then return 1 end return n * fact(n - 1) end
print("fact", fact(10))
assert(fact(10) == 3628800)

-- functions as values in tables
local ops = { add = function(a, b) return a + b end, mul = function(a, b) return a * b end }
print("ops", ops.add(2, 3), ops.mul(2, 3))
