-- shared: recursion, mutual recursion and deep tail calls
local function fib(n) if n < 2 then return n end return fib(n - 1) + fib(n - 2) end
print("fib", fib(20))
assert(fib(20) == 6765)

local isodd
local function iseven(n) if n == 0 then return true end return isodd(n - 1) end
isodd = function(n) if n == 0 then return false end return iseven(n - 1) end
print("mutual", iseven(100), isodd(7))

local function loop(n, acc) if n == 0 then return acc end return loop(n - 1, acc + 1) end
print("tail", loop(200000, 0))

local function depth(n) if n == 0 then return 0 end return 1 + depth(n - 1) end
print("depth", depth(3000))

local function hanoi(n, from, to, via, moves)
  if n == 0 then return moves end
  moves = hanoi(n - 1, from, via, to, moves)
  moves = moves + 1
  return hanoi(n - 1, via, to, from, moves)
end
print("hanoi", hanoi(10, 1, 3, 2, 0))
