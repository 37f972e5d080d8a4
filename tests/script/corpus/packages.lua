-- Files loaded through the program's file layer: require, dofile and loadfile, by real path.
local function check(got, want)
  if got ~= want then error("got " .. tostring(got) .. ", want " .. tostring(want), 2) end
end
local dir = string.gsub(arg[0], "[^/]*$", "")
LUA_PATH = "::" .. dir .. "nowhere/?.lua;::" .. dir .. "modules/?.lua"

local greet = require("greet")
check(greet.hello("you"), "hello you from greet")
check(require("greet"), greet)
check(loads, 1)
check(_REQUIREDNAME, nil)
check(require("quiet"), true)
check(quiet_ran, true)
check(_LOADED.quiet, true)

local ok, err = pcall(require, "absent")
check(ok, false)
check(err, "could not load package `absent' from path `" .. LUA_PATH .. "'")
ok, err = pcall(require, "broken")
check(ok, false)
check(string.find(err, "^error loading package `broken' %(.*broken.lua:2: unexpected symbol near `return'%)$") ~= nil, true)

local f = loadfile("::" .. dir .. "modules/greet.lua")
check(type(f), "function")
local again = dofile("::" .. dir .. "modules/greet.lua")
check(loads, 2)
check(type(again.hello), "function")
local none, msg = loadfile("::" .. dir .. "modules/absent.lua")
check(none, nil)
check(string.find(msg, "^cannot read ::.*absent.lua: ") ~= nil, true)
print("packages ok")
