-- A package that returns nothing.
quiet_ran = true
