-- Wide strings: literals, conversion, concatenation and keys.
local w = L"h\x263Ai"
assert(type(w) == "wstring")
assert(w ~= "h:i" and tostring(w) == "h:i")
assert(L"" == L"" and type(L"") == "wstring")
assert(L"a" .. 1 == L"a1" and 1 .. L"a" == L"1a" and L"a" .. 2 .. 3 == L"a23")
assert(not pcall(function() return "a" .. L"b" end))
assert(not pcall(function() return L"a" .. "b" end))
assert(towstring("abc") == L"abc" and towstring(12) == L"12" and towstring(L"x") == L"x")
assert(towstring("\128") == L"\xFF80")
assert(tostring(towstring("\128")) == "\128")
assert(L"12" + 1 == 13 and L"0x10" * 2 == 32 and tonumber(L"ff", 16) == 255)
local t = {}
t[L"k"] = "wide"
t["k"] = "narrow"
assert(t[L"k"] == "wide" and t.k == "narrow")
local parts = {}
for i = 1, 3 do parts[i] = towstring(i) end
assert(parts[1] .. parts[2] .. parts[3] == L"123")
-- only numbers and byte strings have an order of their own
assert(not pcall(function() return L"a" < L"b" end))
print("wide strings ok", L"\x263A")
