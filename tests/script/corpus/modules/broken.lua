-- A package that does not compile.
return return
