-- The string library's Lua 5.0 rules and the program's additions to it.
local dir = string.gsub(arg[0], "[^/]*$", "")
local check, hex = dofile("::" .. dir .. "modules/checks.lua")

-- gfind walks the matches; gsub leaves out a match whose function gives no string.
local found = {}
for k, v in string.gfind("a=1, b=2, c=3", "(%w+)=(%w+)") do table.insert(found, k .. v) end
check(table.concat(found, " "), "a1 b2 c3")
check(string.gsub("a1b2c3", "%d", function(d) if d ~= "2" then return "#" end end), "a#bc#")
-- find clamps a start outside the subject
local first, last = string.find("abc", "", 10)
check(first .. " " .. last, "4 3")
check(string.find("abc", "b", 10), nil)
check(string.find("abc", "a", -10), 1)
-- %0 and captures that do not exist are errors
-- (a function called by pcall itself has no name in messages, so each runs inside one)
local function message(f)
  local ok, err = pcall(f)
  check(ok, false)
  return (string.gsub(err, "^[^:]*:%d+: ", ""))
end
check(message(function() local r = string.gsub("abc", "%w", "%0") end),
      "invalid capture index")
-- messages quote with a backquote
check(message(function() local r = string.rep() end),
      "bad argument #1 to `rep' (string expected, got no value)")
check(message(function() local r = string.find("x", "[a") end),
      "malformed pattern (missing `]')")
check(message(function() local r = table.concat({1, {}}) end),
      "bad argument #1 to `concat' (table contains non-strings)")
check(message(function() local r = string.format("%y", 1) end),
      "invalid option to `format'")

-- format: integer directives keep the low 32 bits; the extra directives
check(string.format("%x %u %d", -1, -1, 4294967297), "ffffffff 4294967295 1")
check(string.format("%d", 0/0), "0")
check(string.format("[%B|%5B|%B]", nil, true, 1 == 2), "[false|true|false]")
check(string.format("%Q", "a\0b\t\"\\"), '"a\\x00b\\t\\"\\\\"')
check(string.format("%Q", L"w\x263A"), 'L"w\\x263a"')
check(hex(string.format("%bw%bb", 258, 65)), "02 01 41")
check(hex(string.format("%bd%bf", -1, 1)), "ff ff ff ff 00 00 80 3f")
check(hex(string.format("%bF", -0.5)), "00 00 00 00 00 00 e0 bf")
check(string.format("<%bz>%s", 1, "next"), "<>next")
-- lualex resolves escapes as the lexer does; mode 0 writes "\x" values as two bytes
check(hex(string.lualex("A\\tB\\x41\\66\\q", 0)), "41 09 42 41 00 42 71")
check(hex(string.lualex("A\\x263A", 1)), "41 00 3a 26")

-- strings answer the string functions as methods, wide strings do not
check(("%d items"):format(3), "3 items")
check(getmetatable("x").upper, string.upper)
check(pcall(function() return (L"w"):len() end), false)
print("string library 5.0 ok")
