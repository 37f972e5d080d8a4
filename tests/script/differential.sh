#!/bin/sh
# Runs the corpus programs whose first line starts with "-- shared" under luarun and under
# Debian's lua5.1 (a reference for the behaviour the two releases share, never linked) and
# compares what they print. Exit status 77 (skipped) when lua5.1 is not installed.
luarun="$1"
dir="$2"
if ! command -v lua5.1 >/dev/null 2>&1; then
    echo "lua5.1 is not installed: skipped"
    exit 77
fi
passed=0
failed=0
for file in "$dir"/*.lua; do
    head -n 1 "$file" | grep -q '^-- shared' || continue
    ours=$("$luarun" "$file" 2>&1)
    theirs=$(lua5.1 "$file" 2>&1)
    if [ "$ours" = "$theirs" ]; then
        passed=$((passed + 1))
    else
        failed=$((failed + 1))
        echo "DIFFERENT $file"
        printf '%s\n' "$ours" > "${TMPDIR:-/tmp}/luarun.out.$$"
        printf '%s\n' "$theirs" > "${TMPDIR:-/tmp}/lua51.out.$$"
        diff "${TMPDIR:-/tmp}/luarun.out.$$" "${TMPDIR:-/tmp}/lua51.out.$$"
        rm -f "${TMPDIR:-/tmp}/luarun.out.$$" "${TMPDIR:-/tmp}/lua51.out.$$"
    fi
done
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
