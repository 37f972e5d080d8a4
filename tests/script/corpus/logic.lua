-- shared: values of and, or, not and comparisons in every place an expression can go
-- (generated: random expressions over nil, false, true, numbers and strings)
local a, b, c, x, y = nil, false, true, 1, 2
local t = {k = false, n = 3}
local function f(v) return v end
local v, w
print("known", ((1 or false) and true) or false, (x or b) and ((not nil) or nil))
print("known", not ((not (nil and x)) or b), not (c or (b and c)), (not (nil or x)) or y)
v = ((y > 2) ~= (((b or (2 == f(b))) and ((2 or t.k) ~= (t.k ~= f(b)))) or ((c and (x > y)) and ((c ~= t.n) or t.n)))) print(0, v)
do local z = (f(x) ~= ((2 > 2) == a)) print(1, z) end
t.r = 2 print(2, t.r)
if (((not ((not f(b)) or (y and x))) and x) and ((c ~= ((not f(x)) == false)) or (2 < 2))) then print("t3") elseif (not (1 and (not nil))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (not (nil or 1)) or w > 2 print(4, w)
print(5, f((not ((t.k and ((b ~= (x+1)) or (not 2))) and (((not 1) ~= (f(b) == b)) and ((t.k and nil) or (x or a)))))), (y < 2))
v, w = t.k, (y <= x) print(6, v, w)
w = 0 while (y > 2) do w = w + 1 if w > 2 then break end end print(7, w)
v = 1 print(8, v)
do local z = f(b) print(9, z) end
t.r = ((((2 < x) and (not (not f(b)))) and x) and ((f(x) and ((c and y) or (t.n and (x+1)))) and (((t.n and c) or (y or y)) or (not false)))) print(10, t.r)
if ((t.k or (((x or y) == (y or a)) or (y > 1))) ~= ((((x < x) and (f(b) or a)) and "s") ~= 1)) then print("t11") elseif x then print("e") else print("f") end
w = 0 repeat w = w + 1 until f(x) or w > 2 print(12, w)
print(13, f((not ((((1 == t.k) and (not t.k)) and (x ~= x)) and x))), (2 >= 2))
v, w = 2, (1 and (2 or (t.n or y))) print(14, v, w)
w = 0 while (not (y or "s")) do w = w + 1 if w > 2 then break end end print(15, w)
v = (((x <= 2) and (1 or ((true and "s") or (c and t.k)))) or (not (not (not (y ~= x))))) print(16, v)
do local z = ((((not (y and (x+1))) and (1 >= x)) or ((t.n and (1 > y)) or ((f(b) ~= b) == (f(b) or "s")))) and ((y < x) or ((x < x) ~= ((x ~= f(x)) or (1 and nil))))) print(17, z) end
t.r = (((nil ~= t.k) == ((false ~= (t.n == t.n)) and ((f(b) and (x+1)) and (false and 2)))) or (((b or (not 1)) or (nil == ((x+1) and b))) or (((f(b) and f(x)) or (2 == t.n)) and (2 and (not c))))) print(18, t.r)
if (((not x) or (not (not (1 or b)))) or 2) then print("t19") elseif (((not (x+1)) or (t.k or c)) and (y < y)) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((x <= 2) or (not (not ((not (x+1)) or (x < 2))))) or w > 2 print(20, w)
print(21, f((x >= y)), ((((b and true) or (not false)) or ((a == true) or (t.k and y))) and (((f(x) or (x+1)) or false) == ((1 and 2) and (2 < 1)))))
v, w = ((y <= y) == t.n), (1 < y) print(22, v, w)
w = 0 while ((2 < x) or (not (not (not (c or f(x)))))) do w = w + 1 if w > 2 then break end end print(23, w)
v = t.n print(24, v)
do local z = (((((not "s") and (not b)) == ((b or nil) and (c and "s"))) and (((false and (x+1)) and (f(x) or true)) or t.k)) and (not (((t.n ~= c) == (f(x) and t.n)) == a))) print(25, z) end
t.r = ((not (2 <= x)) == (((false and (c or "s")) or nil) and ("s" and ((f(x) == false) == (f(b) == false))))) print(26, t.r)
if true then print("t27") elseif f(b) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (not ((not (1 >= y)) ~= f(x))) or w > 2 print(28, w)
print(29, f((((not ((y < y) and ("s" and false))) or ((2 > 2) and ((b or f(x)) and (y <= 2)))) and (not (((f(b) == a) ~= (f(b) or x)) and (x+1))))), a)
v, w = (not (not ((y > 1) or ((y or f(x)) == ("s" or true))))), (((f(x) or false) and (x+1)) or ((true and true) or t.k)) print(30, v, w)
w = 0 while (not (true and ((not x) and ((1 or f(b)) and (t.n == (x+1)))))) do w = w + 1 if w > 2 then break end end print(31, w)
v = (not true) print(32, v)
do local z = ((a or (false and (y < 1))) and (t.n and ((not (2 and y)) or (y >= x)))) print(33, z) end
t.r = (((((y >= x) and (y and 1)) or ((x >= y) == (y >= y))) and (not ((t.n and b) and (t.n == 2)))) and ((not (((x+1) == nil) or (t.k and t.k))) and "s")) print(34, t.r)
if (not ((((t.n or y) or (t.k and t.n)) and (("s" and nil) == (t.n and t.k))) and ((x <= y) ~= ((not true) and (t.k == b))))) then print("t35") elseif 1 then print("e") else print("f") end
w = 0 repeat w = w + 1 until f(b) or w > 2 print(36, w)
print(37, f(f(b)), ((((x > 1) and (1 and false)) and ("s" and (1 and t.n))) == (y and (y > 1))))
v, w = ((not (true ~= ((1 >= 1) ~= (not b)))) or ((((not nil) or (y <= y)) ~= ((t.k or x) or (1 and b))) or (((1 and f(x)) or ("s" and 2)) or ((b ~= nil) and (2 == c))))), ((y and "s") and ((y >= 2) and (not t.n))) print(38, v, w)
w = 0 while (((x+1) and f(b)) and ((1 and ((t.k or t.k) and t.k)) or (((nil or t.k) and ("s" and x)) or ((false or 1) and a)))) do w = w + 1 if w > 2 then break end end print(39, w)
v = a print(40, v)
do local z = ((((x > x) and ((x and 1) and (1 >= x))) == (not (y >= 1))) == ((1 and (2 >= 1)) and (((2 or a) and (2 and false)) and ((x or f(x)) and (f(x) and (x+1)))))) print(41, z) end
t.r = t.n print(42, t.r)
if (y or (not ((x+1) and ((1 == nil) and (x and y))))) then print("t43") elseif ((true == (nil and f(x))) or (false or (not 2))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (((x < 1) ~= f(b)) == (y == (not ((x ~= 1) or (f(x) or 1))))) or w > 2 print(44, w)
print(45, f(((y < 2) and (((not y) or (((x+1) and f(b)) and (true or t.k))) and ((not (x+1)) and x)))), x)
v, w = nil, (f(b) or ((f(x) or y) == (1 <= y))) print(46, v, w)
w = 0 while (((2 == ((a ~= "s") or (false and 1))) and ((not (not t.n)) and ((not f(b)) and nil))) or (((not (not "s")) or (y < 2)) and (((1 >= y) ~= (nil or false)) or t.k))) do w = w + 1 if w > 2 then break end end print(47, w)
v = (x > y) print(48, v)
do local z = ((((y >= 2) and 2) ~= (((nil or f(b)) == (y and f(x))) == ((t.n or false) == (false and y)))) or (true or f(b))) print(49, z) end
t.r = (not ((((y >= y) or (x and true)) ~= (1 or (not x))) and (2 >= 2))) print(50, t.r)
if (x+1) then print("t51") elseif (((x or x) or true) ~= (((x+1) and t.k) or (y or nil))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((not (y <= 2)) and true) or w > 2 print(52, w)
print(53, f((f(b) or (not (((1 > 2) or (x < y)) and (("s" and true) == (f(x) and f(x))))))), (t.k and (y <= y)))
v, w = ((((not (a or t.n)) or (2 or t.k)) or ((not (2 > 2)) and ((not a) ~= (x and f(b))))) and (not (y ~= ((f(b) == c) and (x and b))))), (not (true or (not y))) print(54, v, w)
w = 0 while ((x+1) or ((1 < 2) or ((y <= x) or ((y <= 1) ~= (x+1))))) do w = w + 1 if w > 2 then break end end print(55, w)
v = (((y > 1) and ((not (2 or 2)) and (((x+1) ~= t.k) or (false and 2)))) and (y >= x)) print(56, v)
do local z = true print(57, z) end
t.r = (((((true or (x+1)) or ((x+1) and (x+1))) and t.n) or (not ((y or a) and (t.k ~= a)))) ~= (not ((2 or (nil and t.n)) or t.n))) print(58, t.r)
if (1 and (((("s" == "s") == (c and 2)) and (y <= x)) and (((b == false) == (2 and false)) and ((1 <= x) or (x >= y))))) then print("t59") elseif (y < x) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (y <= 1) or w > 2 print(60, w)
print(61, f(((t.n or (t.n or ((not b) ~= (1 or a)))) and (not (1 < x)))), ((1 == ((2 and f(b)) or (f(b) or y))) or (not c)))
v, w = (not ((((1 <= y) or ((x+1) and (x+1))) or (x <= 1)) or c)), t.n print(62, v, w)
w = 0 while (not ((not (1 < x)) or ((true and y) ~= f(b)))) do w = w + 1 if w > 2 then break end end print(63, w)
v = ((nil or (x and f(b))) or ((x == ((true or b) ~= (c and y))) and (2 <= 2))) print(64, v)
do local z = c print(65, z) end
t.r = (2 <= 1) print(66, t.r)
if 2 then print("t67") elseif ((("s" ~= y) and (x or t.n)) and y) then print("e") else print("f") end
w = 0 repeat w = w + 1 until b or w > 2 print(68, w)
print(69, f((not (not ((not (not t.k)) or t.k)))), ((false and (2 > x)) and ((((x+1) and false) or 2) ~= (2 <= 2))))
v, w = (((2 >= x) or (c == (2 >= 2))) or ((1 < 2) and ((not (false == 1)) or ((nil or 1) and (1 == nil))))), (1 < x) print(70, v, w)
w = 0 while (1 >= y) do w = w + 1 if w > 2 then break end end print(71, w)
v = (not 2) print(72, v)
do local z = nil print(73, z) end
t.r = ((((f(x) and t.n) ~= 1) or (((x and c) or (2 and c)) == x)) ~= ((((y or 1) ~= ("s" and nil)) and ((true == "s") and (x == "s"))) == t.k)) print(74, t.r)
if (y < 2) then print("t75") elseif (x < 2) then print("e") else print("f") end
w = 0 repeat w = w + 1 until false or w > 2 print(76, w)
print(77, f(c), (x <= 1))
v, w = (((x < 2) ~= (y >= x)) == a), (t.k and x) print(78, v, w)
w = 0 while t.k do w = w + 1 if w > 2 then break end end print(79, w)
v = ((not (((not t.k) ~= (y <= y)) and ((nil == false) ~= (a ~= f(x))))) ~= ((not (not a)) and (y >= 2))) print(80, v)
do local z = (true or ((((2 or t.n) or (f(b) or (x+1))) and (not ("s" == x))) and ((x > x) and ((t.k and "s") or (y < x))))) print(81, z) end
t.r = (2 <= 1) print(82, t.r)
if y then print("t83") elseif (((y >= 1) or (f(b) or 2)) and ((not f(x)) or (a and "s"))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((f(b) or (((2 <= 2) ~= (x >= y)) ~= "s")) == "s") or w > 2 print(84, w)
print(85, f(((((not ("s" == f(x))) and c) or (((2 < 2) and y) or ((y > 2) == (a ~= c)))) and ((2 < 2) == true))), false)
v, w = (((y < 1) and (((2 > 1) or (x or b)) or ((y and b) or (not c)))) or ((x > 1) or (1 <= 2))), ((a or (c or c)) and ((not nil) and ("s" and false))) print(86, v, w)
w = 0 while (1 > x) do w = w + 1 if w > 2 then break end end print(87, w)
v = (not (x or "s")) print(88, v)
do local z = (not (2 >= y)) print(89, z) end
t.r = ((b and ((not (1 or (x+1))) and (not (nil or f(b))))) or ((1 > x) == (not "s"))) print(90, t.r)
if (1 or (1 >= 1)) then print("t91") elseif ((not (nil and b)) and ((2 < y) or a)) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (((((x or false) or f(x)) and ((false or y) and (a or t.k))) or ((not ("s" == 2)) and ((a or t.n) or (nil == a)))) or (y >= 2)) or w > 2 print(92, w)
print(93, f(((not t.n) and (((y and y) and "s") == (((c ~= a) and (not (x+1))) and (("s" ~= f(b)) ~= (false and t.k)))))), ((1 or 2) ~= (x >= y)))
v, w = (((not (nil and (2 > y))) and ((2 < 2) or (f(x) and (f(b) or (x+1))))) or f(b)), "s" print(94, v, w)
w = 0 while 1 do w = w + 1 if w > 2 then break end end print(95, w)
v = (not ((((a and "s") == (true or false)) and (2 >= y)) or (((t.n and 1) or (2 and false)) and 2))) print(96, v)
do local z = ((((x <= 1) and (not (nil ~= 1))) and (nil and ((not f(x)) and x))) and ((not (1 >= 1)) or ((not (1 or (x+1))) == (not "s")))) print(97, z) end
t.r = (((not ((nil or t.n) == (not f(b)))) or (2 <= 2)) and (x or (((c and y) and (c or f(b))) and x))) print(98, t.r)
if (((((false and f(b)) or y) or (2 > y)) and c) or ((((t.k or y) or ((x+1) == f(x))) and ((t.k and nil) ~= 1)) or ((y < y) and (y > 2)))) then print("t99") elseif (f(b) and y) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (y > 2) or w > 2 print(100, w)
print(101, f(f(x)), "s")
v, w = ((b and (2 and (x or (2 and t.n)))) or (x < x)), (not 1) print(102, v, w)
w = 0 while (x > 1) do w = w + 1 if w > 2 then break end end print(103, w)
v = (not ((((1 <= 1) and (t.n ~= t.n)) or x) == (f(b) == ((f(x) or c) ~= (a and f(x)))))) print(104, v)
do local z = (1 <= 1) print(105, z) end
t.r = ((1 and ((x+1) and ((y ~= x) ~= (t.n and 2)))) or (x >= 2)) print(106, t.r)
if ((t.k and ((c and a) or (y == ("s" and y)))) and (not ((2 or (2 < y)) or ((y and (x+1)) and (2 > 2))))) then print("t107") elseif (2 or (x+1)) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (((((f(b) ~= f(x)) or true) ~= (a and (y or t.n))) and (((t.k and t.n) or (not 2)) == true)) == ((false or a) or (b or (not (t.k and "s"))))) or w > 2 print(108, w)
print(109, f((((((x and c) or false) == ((x+1) or (y and t.n))) or a) and ((((not t.n) and ("s" and true)) or ((false and false) and (1 > y))) and ((("s" ~= f(b)) or (y < 2)) and ((f(b) or true) or (t.n and t.n)))))), (not f(b)))
v, w = ((((1 <= x) or ((2 or t.k) == (a and f(x)))) and (((not "s") and (x or c)) ~= ((not (x+1)) and (not (x+1))))) == (1 <= x)), t.k print(110, v, w)
w = 0 while f(x) do w = w + 1 if w > 2 then break end end print(111, w)
v = nil print(112, v)
do local z = (y <= x) print(113, z) end
t.r = ((((((x+1) and "s") or (x and a)) and (not (f(b) or b))) or (not (t.n == true))) or ((((1 or y) or (y <= x)) == y) ~= ((2 and (f(x) ~= f(b))) or (1 <= x)))) print(114, t.r)
if ((1 < 2) and (((not (f(b) or 2)) or true) ~= a)) then print("t115") elseif ((not true) and (false and (false or nil))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until a or w > 2 print(116, w)
print(117, f(((y and (((1 and c) ~= (a == "s")) or false)) or (((not (y < 1)) and ((not 2) and (t.n or x))) and (((1 <= x) or (true and false)) and (2 <= 2))))), ((((x or 1) and (1 >= 1)) and "s") ~= ((((x+1) and t.k) or (b and f(b))) ~= y)))
v, w = (y and (((nil ~= (2 or true)) or (2 >= 2)) ~= (not ((false and y) or true)))), (((t.k and x) and (x and true)) or (2 > y)) print(118, v, w)
w = 0 while (not (f(x) or ((not (y or 1)) and (2 > y)))) do w = w + 1 if w > 2 then break end end print(119, w)
v = ((x < 1) or (((not (1 > x)) or t.n) and f(b))) print(120, v)
do local z = (((not (x >= x)) or ((not (t.n and x)) == (f(b) == t.n))) and ((x+1) == ((not b) or (not (false and (x+1)))))) print(121, z) end
t.r = (x or t.k) print(122, t.r)
if ((not ((("s" and nil) ~= (false and f(b))) or (not (f(x) or t.n)))) == ((((2 == 2) or (1 <= 2)) or ((2 >= 1) or (t.k and c))) or ((x < 2) or ((not 2) and (y == f(x)))))) then print("t123") elseif t.n then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((((not (x < x)) or (1 >= 2)) and f(b)) or (not (((f(x) or b) or 2) == (2 > 1)))) or w > 2 print(124, w)
print(125, f((a and ((((c or c) or ("s" and b)) and (("s" ~= 1) and (false ~= "s"))) and (not true)))), ((t.n or ((true or true) and (x <= 2))) or ((t.k and (x < x)) and ((b and true) and ("s" or b)))))
v, w = (1 >= x), (2 < x) print(126, v, w)
w = 0 while ((not ((y ~= (a ~= 2)) ~= 1)) or t.k) do w = w + 1 if w > 2 then break end end print(127, w)
v = (((((f(b) and f(x)) or (true == t.n)) or x) or ((not (x+1)) and (x > y))) and ((y == (x+1)) and ((not (t.k == f(x))) or ((not f(b)) and (f(x) or x))))) print(128, v)
do local z = (f(b) or true) print(129, z) end
t.r = (nil and (y >= y)) print(130, t.r)
if ((nil ~= ((a and (f(x) and b)) and ((y ~= nil) or (t.n or b)))) and ((a and ((false and t.k) or c)) or ((x == (t.n == "s")) or (y <= 2)))) then print("t131") elseif ((((x+1) and 1) or f(x)) or ((f(b) and f(x)) and f(x))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (((not ((false and a) and (nil == 1))) and (y <= y)) and (x < y)) or w > 2 print(132, w)
print(133, f((1 < 1)), (((true == (x <= x)) and ((c or t.k) or 2)) or true))
v, w = c, (not true) print(134, v, w)
w = 0 while (((((y or t.n) and (y and t.k)) or nil) or (((y > 1) and (false and f(b))) ~= ((t.n or y) or (t.n or y)))) or (x <= 2)) do w = w + 1 if w > 2 then break end end print(135, w)
v = (f(x) or (x < 2)) print(136, v)
do local z = f(x) print(137, z) end
t.r = ((((2 >= 1) or f(x)) == ((y <= 2) ~= ((not x) and ("s" or "s")))) == (x+1)) print(138, t.r)
if (2 >= y) then print("t139") elseif (2 < x) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (y and ((not ((false and t.n) and t.n)) == ((("s" or a) or (f(x) == f(x))) and (2 >= 1)))) or w > 2 print(140, w)
print(141, f(((((("s" and 1) == (1 ~= true)) and ((t.n or true) ~= (f(x) and b))) or (a and true)) and (((x > 2) and (2 >= y)) or (b ~= b)))), (t.n and (((t.n ~= t.k) or (not t.k)) and (y <= x))))
v, w = ((not (true or ((1 and x) and 1))) or false), (((not f(x)) == (f(x) or x)) ~= 1) print(142, v, w)
w = 0 while false do w = w + 1 if w > 2 then break end end print(143, w)
v = (((t.n and ((x ~= c) and (not false))) ~= nil) and (((1 or (f(b) and x)) and ((t.n or nil) or (true and 2))) == (((nil or b) and "s") or (2 and f(x))))) print(144, v)
do local z = (not ((((not nil) or (a or f(b))) or ((t.k == 2) or (2 > x))) and (y ~= x))) print(145, z) end
t.r = ((not (f(b) == (("s" and f(b)) == 2))) and (not "s")) print(146, t.r)
if ((x+1) or (y and (((not b) and (b and "s")) or (not (x >= 1))))) then print("t147") elseif ((not (false ~= "s")) or ((b or c) and (y >= x))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((2 and (2 or ((f(b) ~= c) or ("s" or y)))) and ((((y > 2) and (y or 2)) and ((f(b) or 1) or (2 ~= y))) and false)) or w > 2 print(148, w)
print(149, f(c), "s")
v, w = (not b), (y >= 1) print(150, v, w)
w = 0 while (not ((((2 > 1) or (c ~= t.k)) or ((c and t.n) or (not a))) and (((b or a) or (f(x) and a)) or (x+1)))) do w = w + 1 if w > 2 then break end end print(151, w)
v = (((x+1) and ((not y) and ((f(x) or f(x)) and (2 or nil)))) and (((2 <= x) and (not b)) or (((y and (x+1)) ~= (true and a)) == (((x+1) and f(x)) and (t.k ~= nil))))) print(152, v)
do local z = (not t.k) print(153, z) end
t.r = (not (y <= 2)) print(154, t.r)
if "s" then print("t155") elseif y then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((2 > y) or (((y > 2) or ((a or t.n) or (x and c))) and ("s" or ((not a) and (b ~= c))))) or w > 2 print(156, w)
print(157, f((2 <= y)), ((((x > 2) and (f(b) or (x+1))) or ((nil or x) and (x > 1))) or false))
v, w = (((((nil or "s") or (b and "s")) == (1 or (1 > y))) or (f(b) and (x+1))) or (not (((1 <= y) or (t.n and true)) and (f(b) and (2 ~= c))))), b print(158, v, w)
w = 0 while c do w = w + 1 if w > 2 then break end end print(159, w)
v = (not ((((not f(b)) and a) ~= x) and (("s" and (not b)) and true))) print(160, v)
do local z = (((((not c) or (2 <= 2)) or ((x or 1) and false)) or (((not nil) and (x+1)) ~= true)) and nil) print(161, z) end
t.r = ((not (1 < y)) or (((x >= y) and (y or (not 1))) or c)) print(162, t.r)
if (((not ((x or 1) and (false or true))) or false) or (((not (t.k == false)) == ((nil and c) and (x >= 2))) or ((x+1) and (not (not f(x)))))) then print("t163") elseif (x+1) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((1 >= y) or x) or w > 2 print(164, w)
print(165, f((y < 1)), (not (x or ((c or "s") ~= (f(x) or b)))))
v, w = (false and (2 < y)), (c or ((f(b) == x) == (1 < 1))) print(166, v, w)
w = 0 while (((not ((a or c) == (false == true))) and (((1 and x) and (y or c)) or (not (not c)))) or ((not (f(b) == (y < 2))) or x)) do w = w + 1 if w > 2 then break end end print(167, w)
v = ((nil == ((y >= 1) and (y < 1))) and (((not x) and ((y >= y) == (not y))) == ((x > x) and ((f(b) ~= t.k) and (f(b) or f(b)))))) print(168, v)
do local z = (2 < 1) print(169, z) end
t.r = y print(170, t.r)
if (a or ((y < y) and (1 <= 2))) then print("t171") elseif nil then print("e") else print("f") end
w = 0 repeat w = w + 1 until c or w > 2 print(172, w)
print(173, f(((not ((("s" or nil) and (not nil)) and (("s" and t.k) and (2 > 1)))) == ((((false and t.k) or (b and t.n)) or x) and a))), ((2 > x) and f(b)))
v, w = (y or (b ~= (not (x and t.n)))), ((("s" or (x+1)) and b) or ((t.n ~= true) or (y < x))) print(174, v, w)
w = 0 while ((y and f(x)) or (not ((1 or (t.k or (x+1))) or c))) do w = w + 1 if w > 2 then break end end print(175, w)
v = (not ((2 <= 1) or t.n)) print(176, v)
do local z = ((y >= 2) or (not (f(b) or ((b == t.k) or ("s" ~= b))))) print(177, z) end
t.r = ((1 < 1) == (2 < 2)) print(178, t.r)
if (c and 2) then print("t179") elseif (((y == x) or c) or ((y >= 1) or true)) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((1 ~= (((not 2) and (c and 2)) and c)) or (not ((not (true and (x+1))) or ((x and t.k) or (not c))))) or w > 2 print(180, w)
print(181, f((((((t.n and x) ~= (not x)) and ((false or t.k) or b)) or t.n) and ((not ((1 <= x) ~= (1 or t.k))) or (y and (((x+1) or 2) and a))))), ((not (c and (f(b) or f(x)))) or (((nil and true) ~= (x and t.k)) and (a == (f(x) and false)))))
v, w = (((((x > 2) or (y < y)) and (not (t.n and false))) or (a and (t.n or (t.k and (x+1))))) and ((not a) or (((not t.n) ~= (y > x)) and (not (false or "s"))))), (((x < 2) or (false ~= a)) or false) print(182, v, w)
w = 0 while (1 >= 2) do w = w + 1 if w > 2 then break end end print(183, w)
v = b print(184, v)
do local z = ((f(x) or ((true and (not t.k)) or ((f(b) or true) or (t.k and false)))) or (a and (1 <= 1))) print(185, z) end
t.r = ((((2 or ("s" and nil)) or (y > y)) and (y and (x <= y))) == (f(x) and 2)) print(186, t.r)
if (((not ((2 and t.n) ~= (false or true))) ~= (1 <= x)) or (y <= 1)) then print("t187") elseif (y > 1) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((b and 2) and (c and (((x > 1) and (true and (x+1))) and y))) or w > 2 print(188, w)
print(189, f((2 < 2)), ((((x < y) == ("s" or b)) or ((t.k and 1) ~= f(x))) and x))
v, w = ((2 or (not nil)) or ((((not t.k) or (a and f(x))) or ((1 ~= x) == ((x+1) and x))) and c)), ((not (b or nil)) and ((1 or 1) or ((x+1) and true))) print(190, v, w)
w = 0 while nil do w = w + 1 if w > 2 then break end end print(191, w)
v = (not (t.k and (not (t.k ~= (a or 2))))) print(192, v)
do local z = (x+1) print(193, z) end
t.r = ((2 and (((2 > 2) == (1 >= 2)) or (((x+1) or nil) and (false and 1)))) and (y < y)) print(194, t.r)
if (2 <= x) then print("t195") elseif ((not f(x)) ~= (false or (c or 1))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((((2 >= 1) or (2 < x)) or a) or false) or w > 2 print(196, w)
print(197, f(((1 >= y) ~= true)), (1 <= x))
v, w = ((y <= 1) and (false and (2 <= y))), (((false or x) == (2 and f(b))) or ((true and f(b)) and x)) print(198, v, w)
w = 0 while (c == ((not 1) and (y >= 1))) do w = w + 1 if w > 2 then break end end print(199, w)
v = ((y < 1) or ((not ((f(x) and f(x)) == (nil or (x+1)))) == (((f(x) == "s") == (x >= 1)) == "s"))) print(200, v)
do local z = (b or (not y)) print(201, z) end
t.r = (not (x+1)) print(202, t.r)
if true then print("t203") elseif (((nil or a) and (true and b)) or (2 <= x)) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((not (((true and t.k) or (f(x) == a)) ~= x)) ~= (2 >= 1)) or w > 2 print(204, w)
print(205, f(((y > 2) and 1)), (not (not ((y < 1) and (true and true)))))
v, w = ((not (((y <= 2) == (f(x) or c)) or ((y >= 1) and (b or t.k)))) or (x < 2)), (1 >= 1) print(206, v, w)
w = 0 while (c and f(b)) do w = w + 1 if w > 2 then break end end print(207, w)
v = ((1 or ((not nil) or (not (2 >= 2)))) ~= ((not (not (t.k or y))) or b)) print(208, v)
do local z = f(b) print(209, z) end
t.r = ((not ((not (c or x)) ~= ((false or 2) and a))) and (y < 1)) print(210, t.r)
if (((x >= y) or (((t.k and f(x)) or (f(b) ~= nil)) == c)) or ((not (t.n or (b and 2))) or ((true or (2 > x)) or (2 <= x)))) then print("t211") elseif ((y <= 2) or ((f(x) and a) and (y or 2))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (y > 2) or w > 2 print(212, w)
print(213, f(y), f(x))
v, w = (2 <= 1), (not ((x > 2) or f(x))) print(214, v, w)
w = 0 while (((a and ((f(x) or f(b)) or ("s" and t.n))) or (1 >= 2)) ~= ((not ((not x) and (a == t.k))) and (2 < y))) do w = w + 1 if w > 2 then break end end print(215, w)
v = ((not (y >= 1)) and ((1 >= y) or (((y == 2) == (true == f(x))) and ((t.k == 2) or (x < y))))) print(216, v)
do local z = (y <= x) print(217, z) end
t.r = (x < x) print(218, t.r)
if ((a ~= ((not (false == x)) and (a or (b and 2)))) or ((x+1) == t.k)) then print("t219") elseif (((f(b) == y) or (not a)) or (y >= 2)) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ("s" or (2 < 1)) or w > 2 print(220, w)
print(221, f(false), (2 >= 2))
v, w = (not ((((2 or b) and (t.k and t.n)) or "s") and f(b))), (not (x <= 1)) print(222, v, w)
w = 0 while c do w = w + 1 if w > 2 then break end end print(223, w)
v = (1 > y) print(224, v)
do local z = t.k print(225, z) end
t.r = (x < x) print(226, t.r)
if ((1 >= y) or ((not ((2 or f(b)) ~= (c == b))) and ((t.n or c) and ("s" and (not nil))))) then print("t227") elseif (((x > y) and ("s" or "s")) or ((c and b) or (y or "s"))) then print("e") else print("f") end
w = 0 repeat w = w + 1 until (2 ~= y) or w > 2 print(228, w)
print(229, f((((((1 >= 1) or (true or 2)) and f(x)) and ((not (y and t.n)) == (("s" or c) and (t.n or y)))) or ((x < 1) and f(x)))), (true or ((x and (not t.k)) or (not (2 < 2)))))
v, w = (false or ((2 and ((y < 1) and (not (x+1)))) ~= (1 or ((false or t.k) and (true or f(x)))))), (not f(b)) print(230, v, w)
w = 0 while (t.n ~= (not ((not (x < y)) and 2))) do w = w + 1 if w > 2 then break end end print(231, w)
v = (((not (2 > y)) or t.k) or (not nil)) print(232, v)
do local z = (2 <= 2) print(233, z) end
t.r = ((b or ((not (b ~= t.k)) and ((f(b) or nil) == (x > y)))) or (2 < x)) print(234, t.r)
if ((not (1 > 1)) or ((((f(x) and x) or (y or (x+1))) or (y or (not x))) and ((("s" ~= t.n) and 2) ~= (not nil)))) then print("t235") elseif (x+1) then print("e") else print("f") end
w = 0 repeat w = w + 1 until ((((not (false and nil)) ~= ((not y) or a)) and (((nil or nil) ~= b) or ((1 and f(x)) or f(x)))) or ((f(x) or ((not t.k) and (nil ~= f(x)))) and ((1 or (t.n ~= t.n)) or (not 2)))) or w > 2 print(236, w)
print(237, f(((not nil) and ((f(x) and t.k) ~= (not ((x < 2) or (true and a)))))), (2 == (not x)))
v, w = t.n, (((1 < y) or (f(x) or f(x))) or ((x or (x+1)) and (true and "s"))) print(238, v, w)
w = 0 while (1 < x) do w = w + 1 if w > 2 then break end end print(239, w)
