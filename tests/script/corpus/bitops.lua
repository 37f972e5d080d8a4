-- The bit operators, "^" as exclusive or, hexadecimal numerals and "\x" escapes.
local cases = {
  {6 & 3, 2}, {-1 & 255, 255}, {-1 | 0, 4294967295}, {2.9 & 3, 2}, {-2.9 & 255, 254},
  {1 << 32, 1}, {1 << 33, 2}, {1 << -1, 2147483648}, {4294967295 >> 31, 1},
  {2 ^ 3, 1}, {0xff ^ 0x0f, 0xf0}, {0xFFFFFFFF, 4294967295}, {0x10, 16},
  {1 + 2 & 3, 3}, {1 | 2 & 3, 3}, {2 ^ 3 & 1, 1}, {1 << 2 << 3, 32},
}
for i = 1, table_size or 17 do
  local got, want = cases[i][1], cases[i][2]
  assert(got == want, "case " .. i .. ": " .. got .. " ~= " .. want)
end
local a, b = 1, 255
assert((-a & b) == 255)
assert("\x41\x42" == "AB" and "\x4g" == "\4g" and "\xz" == "xz")
-- flags in a word
local READ, WRITE, EXEC = 1, 2, 4
local mode = READ | EXEC
assert(mode & WRITE == 0 and mode & EXEC == EXEC)
mode = mode ^ EXEC
assert(mode == READ)
-- "^" on values that only convert to numbers calls the global __pow
assert(not pcall(function() return "2" ^ "3" end))
function __pow(x, y) return x * 10 + y end
assert("2" ^ "3" == 23 and 2 ^ 3 == 1)
print("bit operators ok")
