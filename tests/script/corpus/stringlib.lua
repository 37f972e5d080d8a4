-- shared: the string library: lengths, pieces, case, bytes, repetition and formatting
print(string.len("hello"), string.len(""), ("abc"):len(), string.len("a\0b"))
print(string.sub("hello world", 1, 5), string.sub("hello", -3), string.sub("hello", 2),
      string.sub("hello", 0, 100), string.sub("hello", 4, 2) == "")
print(string.upper("MiXeD 123"), string.lower("MiXeD 123"), ("shout"):upper())
print(string.byte("A"), string.byte("abc", 2), string.byte("abc", -1), string.byte("abc", 10))
print(string.char(76, 117, 97), string.char() == "")
print(string.rep("ab", 3), string.rep("x", 0) == "", ("-"):rep(10))
print(string.format("%d|%5d|%-5d|%05d|%+d", 42, 42, 42, 42, 42))
print(string.format("%x|%X|%o|%c|%u|%i", 255, 255, 8, 65, 7, -3))
print(string.format("%5.2f|%.3e|%g|%g|%G", 3.14159, 12345.678, 0.0001, 1e20, 1e-10))
print(string.format("%s|%10s|%-10s|%.2s|", "str", "right", "left", "cut"))
print(string.format("%q", 'he said "hi"\n\\ and \0 zero'))
print(string.format("%%|%s %s|%d", 1, 2.5, 3.99))
print(string.len(string.format("%s", string.rep("long", 100))))
local parts = {}
for i = 1, 5 do parts[i] = string.format("%02d", i * 7) end
print(table.concat(parts, ":"))
local s = "method calls"
print(s:sub(1, 6), s:upper(), s:len(), s:byte(1), s:rep(2, 1))
