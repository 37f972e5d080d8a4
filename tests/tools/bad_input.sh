#!/bin/sh
# Runs one tool on inputs that are not what it expects (a folder, an empty file, /dev/zero, a file
# past the size it reads, ...) and checks that each ends with the expected exit status and, on
# the standard error stream, exactly the expected line.
#
#   bad_input.sh TOOL PATH      TOOL is prefsdump, luarun or bvpack; PATH the built program
#
# Where the tool can run under it, a 1 GiB address-space limit turns reading without bound (or
# reading a 2 GiB file before refusing it) into a failure. Sanitizer builds reserve far more
# address space than that, so they run without the limit.
tool="$1"
program="$2"
dir=$(mktemp -d "${TMPDIR:-/tmp}/bad_input.XXXXXX") || exit 1
trap 'rm -rf "$dir"' EXIT

limited=
if (ulimit -v 1048576 && "$program" >/dev/null 2>&1; test $? -eq 2); then
    ulimit -v 1048576
    limited=yes
else
    echo "note: $tool runs without a memory limit"
fi

failed=0
# expect STATUS LINE ARGS...: runs the tool with ARGS; its status must be STATUS and its standard
# error exactly LINE (nothing when LINE is empty).
expect() {
    want_status="$1"
    want_line="$2"
    shift 2
    "$program" "$@" >"$dir/out" 2>"$dir/err"
    status=$?
    line=$(cat "$dir/err")
    if [ "$status" != "$want_status" ] || [ "$line" != "$want_line" ]; then
        failed=$((failed + 1))
        echo "FAIL $tool $*"
        echo "  status $status, expected $want_status"
        echo "  stderr: $line"
        echo "  expected: $want_line"
    fi
}

mkdir "$dir/folder"
: >"$dir/empty"
# Sparse: past 2 GiB without using the disk.
truncate -s 2147483648 "$dir/big"

case "$tool" in
prefsdump)
    expect 1 "prefsdump: cannot read $dir/folder: it is a folder" "$dir/folder" key
    expect 0 "" "$dir/empty" key
    expect 1 "prefsdump: cannot read /dev/zero: it is not a regular file" /dev/zero key
    expect 1 "prefsdump: cannot read $dir/big: it holds 2147483648 bytes, more than the 2147483647 this tool reads" "$dir/big" key
    expect 1 "prefsdump: cannot read $dir/none: No such file or directory" "$dir/none" key
    # Read whole within a tighter limit, but a record's 64 MiB payload does not fit beside it:
    # two "USER" records of 64 and 56 MiB, sparse.
    if [ -n "$limited" ]; then
        printf 'USER\000\000\000\004' >"$dir/records"
        truncate -s $((8 + 67108864)) "$dir/records"
        printf 'USER\000\000\200\003' >>"$dir/records"
        truncate -s $((16 + 67108864 + 58720256)) "$dir/records"
        (
            failed=0
            ulimit -v 163840
            expect 1 "prefsdump: cannot list $dir/records: not enough memory" "$dir/records" key
            exit "$failed"
        ) || failed=$((failed + 1))
    fi
    ;;
luarun)
    expect 1 "luarun: cannot read $dir/folder: it is a folder" "$dir/folder"
    expect 0 "" "$dir/empty"
    expect 1 "luarun: cannot read /dev/zero: it is not a regular file" /dev/zero
    expect 1 "luarun: cannot read $dir/big: it holds 2147483648 bytes, more than the 2147483647 this tool reads" "$dir/big"
    expect 1 "luarun: cannot read $dir/none: No such file or directory" --binary "$dir/none"
    expect 1 "luarun: cannot list $dir/empty: Not a directory" --suite "$dir/empty"
    # A suite reports an entry it cannot read and runs the others.
    mkdir "$dir/suite" "$dir/suite/b.lua"
    echo 'x = 1' >"$dir/suite/a.lua"
    echo 'x = 2' >"$dir/suite/c.lua"
    expect 1 "" --suite "$dir/suite"
    printf '%s\n' "PASS $dir/suite/a.lua" \
        "FAIL $dir/suite/b.lua: cannot read $dir/suite/b.lua: it is a folder" \
        "PASS $dir/suite/c.lua" "2 passed, 1 failed" >"$dir/want"
    if ! cmp -s "$dir/out" "$dir/want"; then
        failed=$((failed + 1))
        echo "FAIL $tool --suite with a folder named b.lua:"
        cat "$dir/out"
    fi
    ;;
bvpack)
    expect 1 "bvpack: $dir/empty is not a folder" "$dir/empty" "$dir/out.bvp"
    expect 1 "bvpack: /dev/zero is not a folder" /dev/zero "$dir/out.bvp"
    expect 1 "bvpack: cannot write $dir/folder: Is a directory" "$dir/folder" "$dir/folder"
    # An empty file is a member like any other.
    cp "$dir/empty" "$dir/folder/empty.txt"
    expect 0 "" "$dir/folder" "$dir/out.bvp"
    # A link to a device is not a file to pack.
    ln -s /dev/zero "$dir/folder/zero"
    expect 0 "" "$dir/folder" "$dir/out.bvp"
    # Refused from the listing, before the 2 GiB file is read.
    mv "$dir/big" "$dir/folder/big"
    expect 1 "bvpack: cannot pack $dir/folder: the archive would pass 2 GiB" "$dir/folder" "$dir/out.bvp"
    # A member that fits the archive, but not twice in a tighter limit (read, then laid out).
    if [ -n "$limited" ]; then
        mkdir "$dir/large"
        truncate -s 100M "$dir/large/member"
        (
            failed=0
            ulimit -v 163840
            expect 1 "bvpack: cannot pack $dir/large: not enough memory" "$dir/large" "$dir/out.bvp"
            exit "$failed"
        ) || failed=$((failed + 1))
    fi
    ;;
*)
    echo "unknown tool $tool"
    exit 1
    ;;
esac

if [ "$failed" -ne 0 ]; then
    echo "$failed failed"
    exit 1
fi
echo "all passed"
