-- Helpers the corpus programs load with dofile: check(got, want) raises an error at the
-- caller's line when the two differ; hex(s) is the bytes of s as hexadecimal pairs.
local function check(got, want)
  if got ~= want then error("got " .. tostring(got) .. ", want " .. tostring(want), 2) end
end
local function hex(s)
  local o = {}
  for i = 1, string.len(s) do o[i] = string.format("%02x", string.byte(s, i)) end
  return table.concat(o, " ")
end
return check, hex
