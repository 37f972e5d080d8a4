#!/bin/sh
# Compares what the corpus programs print under two runs and reports "N passed, N failed".
#
#   differential.sh LUARUN DIR            the programs whose first line starts with "-- shared",
#                                         under luarun and under Debian's lua5.1 (a reference for
#                                         the behaviour the two releases share, never linked);
#                                         exit status 77 (skipped) when lua5.1 is not installed
#   differential.sh --binary LUARUN DIR   every program, from its source and from a binary chunk
#                                         of itself
# In place of DIR, program files: each is compared the same way.
binary=false
if [ "$1" = "--binary" ]; then
    binary=true
    shift
fi
luarun="$1"
shift
if [ $# -eq 1 ] && [ -d "$1" ]; then
    set -- "$1"/*.lua
fi
if ! $binary && ! command -v lua5.1 >/dev/null 2>&1; then
    echo "lua5.1 is not installed: skipped"
    exit 77
fi
passed=0
failed=0
for file in "$@"; do
    if $binary; then
        first=$("$luarun" "$file" 2>&1)
        second=$("$luarun" --binary "$file" 2>&1)
    else
        head -n 1 "$file" | grep -q '^-- shared' || continue
        first=$("$luarun" "$file" 2>&1)
        second=$(lua5.1 "$file" 2>&1)
    fi
    if [ "$first" = "$second" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "DIFFERENT $file"
        printf '%s\n' "$first" > "${TMPDIR:-/tmp}/luarun.first.$$"
        printf '%s\n' "$second" > "${TMPDIR:-/tmp}/luarun.second.$$"
        diff "${TMPDIR:-/tmp}/luarun.first.$$" "${TMPDIR:-/tmp}/luarun.second.$$"
        rm -f "${TMPDIR:-/tmp}/luarun.first.$$" "${TMPDIR:-/tmp}/luarun.second.$$"
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
