#!/bin/sh
# Runs every corpus program twice under luarun: from its source, and compiled, written as a
# binary chunk and loaded back from it. Both runs must print the same.
luarun="$1"
dir="$2"
passed=0
failed=0
for file in "$dir"/*.lua; do
    source=$("$luarun" "$file" 2>&1)
    binary=$("$luarun" --binary "$file" 2>&1)
    if [ "$source" = "$binary" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "DIFFERENT $file"
        printf '%s\n' "$source" > "${TMPDIR:-/tmp}/luarun.source.$$"
        printf '%s\n' "$binary" > "${TMPDIR:-/tmp}/luarun.binary.$$"
        diff "${TMPDIR:-/tmp}/luarun.source.$$" "${TMPDIR:-/tmp}/luarun.binary.$$"
        rm -f "${TMPDIR:-/tmp}/luarun.source.$$" "${TMPDIR:-/tmp}/luarun.binary.$$"
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
