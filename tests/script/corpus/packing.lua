-- string.pack and string.unpack: records of numbers and strings, both byte orders.
local dir = string.gsub(arg[0], "[^/]*$", "")
local check, hex = dofile("::" .. dir .. "modules/checks.lua")

local record = string.pack("<i>Hzpf", -2, 513, "name", "xy", 0.5)
check(hex(record), "fe ff ff ff 02 01 6e 61 6d 65 00 02 78 79 3f 00 00 00")
local pos, i, h, z, p, f = string.unpack(record, "<i>Hzpf")
check(pos, 19) check(i, -2) check(h, 513) check(z, "name") check(p, "xy") check(f, 0.5)

-- counts repeat a code; for "A" in unpack the count is the length
check(hex(string.pack("b3", 1, 2, 3)), "01 02 03")
local n, a, b = string.unpack("abcdef", "A2A4")
check(n, 7) check(a, "ab") check(b, "cdef")
-- booleans
local _, t, f2 = string.unpack(string.pack("BB", true, false), "BB")
check(t, true) check(f2, false)
-- a padded field
check(hex(string.pack("@4:32Ab@", "x", 1)), "78 01 20 20")
-- wide strings follow the byte order, unit by unit
local w = string.pack(">wz", L"A\x263A")
check(hex(w), "00 41 26 3a 00 00")
local wpos, back = string.unpack(w, ">wz")
check(wpos, 7) check(back, L"A\x263A")
-- reading stops quietly where the data ends
local stop, one = string.unpack("\5\0\0\0abc", "ia")
check(stop, 5) check(one, 5)
check(string.unpack("xyz", "b", 10), 10)
print("packing ok")
