#!/bin/sh
# Runs one tool on inputs and outputs that are not what it expects and checks that each run ends
# within a few seconds with the expected exit status and, on the standard error stream, exactly
# the expected line, and that an existing output is never changed.
#
#   bad_input.sh TOOL PATH [FONT]   TOOL is prefsdump, luarun, bvpack, fontconv, xml2anm or
#                                   systemcursor; PATH the built program; FONT a font file that
#                                   fontconv converts
#   bad_input.sh artgen PATH RECIPES STYLE LOGIC   the art generator with its real sources
#
# The inputs: a folder, a pipe, /dev/zero, a file past the tool's size limit, a missing file. The
# outputs, for the tools that write one: a folder that may not be written, a pipe made in the test
# folder (never a real device: the tests run as root), and a write that fails half way (a file
# size limit, ulimit -f). Where the tool can run under it, a 1 GiB address-space limit turns
# reading without bound (or reading a 2 GiB file before refusing it) into a failure. Sanitizer
# builds reserve far more address space than that, so they run without the limit.
tool="$1"
program="$2"
font="$3"
dir=$(mktemp -d "${TMPDIR:-/tmp}/bad_input.XXXXXX") || exit 1
trap 'chmod -R u+w "$dir"; rm -rf "$dir"' EXIT

limited=
if (ulimit -v 1048576 && "$program" >/dev/null 2>&1; test $? -eq 2); then
    ulimit -v 1048576
    limited=yes
else
    echo "note: $tool runs without a memory limit"
fi

failed=0
# expect STATUS LINE ARGS...: runs the tool with ARGS; its status must be STATUS and its standard
# error exactly LINE (nothing when LINE is empty). A run that takes more than ten seconds is
# stopped, and fails.
expect() {
    want_status="$1"
    want_line="$2"
    shift 2
    $prefix timeout 10 "$program" "$@" >"$dir/out" 2>"$dir/err"
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

# Every refused output must leave what stood there, and no temporary file beside it.
old_output() {
    printf 'old output' >"$1"
}
expect_kept() {
    if [ "$(cat "$1")" != "old output" ] || [ -e "$1.tmp" ]; then
        failed=$((failed + 1))
        echo "FAIL $tool changed $1 or left $1.tmp"
    fi
}

# The output cases, for a tool whose writing run is "ARGS... OUTPUT" and succeeds with ARGS.
# Its messages end in the reason the output could not be written.
expect_outputs() {
    # A pipe in the place of the output: refused, not written into, never waited on.
    mkfifo "$dir/pipe_out"
    expect 1 "$tool: cannot write $dir/pipe_out: it is a pipe" "$@" "$dir/pipe_out"
    [ -p "$dir/pipe_out" ] || {
        failed=$((failed + 1))
        echo "FAIL $tool replaced the pipe"
    }
    # A folder that may not be written: root may write anywhere, so it runs without that right.
    mkdir "$dir/locked"
    old_output "$dir/locked/out"
    chmod a-w "$dir/locked"
    if [ "$(id -u)" = 0 ]; then
        if command -v setpriv >/dev/null; then
            prefix="setpriv --bounding-set=-dac_override,-dac_read_search,-fowner --"
        else
            prefix=skip
            echo "note: no setpriv; the locked folder is not tried"
        fi
    fi
    if [ "$prefix" != skip ]; then
        expect 1 "$tool: cannot write $dir/locked/out: create $dir/locked/out.tmp: Permission denied" \
            "$@" "$dir/locked/out"
        expect_kept "$dir/locked/out"
    fi
    prefix=
    chmod u+w "$dir/locked"
    # A write that fails half way: the file size limit (2 KiB) stops it with "File too large".
    old_output "$dir/halfway"
    (
        failed=0
        trap '' XFSZ
        ulimit -f 4
        expect 1 "$tool: cannot write $dir/halfway: write: File too large" "$@" "$dir/halfway"
        exit "$failed"
    ) || failed=$((failed + 1))
    expect_kept "$dir/halfway"
    # The same run without the limit writes the output.
    expect 0 "" "$@" "$dir/halfway"
    [ "$(cat "$dir/halfway")" != "old output" ] || {
        failed=$((failed + 1))
        echo "FAIL $tool did not replace $dir/halfway"
    }
}

mkdir "$dir/folder"
mkfifo "$dir/pipe"
: >"$dir/empty"
# Sparse: past 2 GiB without using the disk.
truncate -s 2147483648 "$dir/big"

case "$tool" in
prefsdump)
    expect 1 "prefsdump: cannot read $dir/folder: it is a folder" "$dir/folder" key
    expect 1 "prefsdump: cannot read $dir/pipe: it is not a regular file" "$dir/pipe" key
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
    expect 1 "luarun: cannot read $dir/pipe: it is not a regular file" "$dir/pipe"
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
    old_output "$dir/out.bvp"
    expect 1 "bvpack: $dir/empty is not a folder" "$dir/empty" "$dir/out.bvp"
    expect 1 "bvpack: $dir/pipe is not a folder" "$dir/pipe" "$dir/out.bvp"
    expect 1 "bvpack: /dev/zero is not a folder" /dev/zero "$dir/out.bvp"
    expect_kept "$dir/out.bvp"
    expect 1 "bvpack: cannot write $dir/folder: it is a folder" "$dir/folder" "$dir/folder"
    # An empty file is a member like any other.
    cp "$dir/empty" "$dir/folder/empty.txt"
    expect 0 "" "$dir/folder" "$dir/out.bvp"
    # Links to a device and pipes are not files to pack.
    ln -s /dev/zero "$dir/folder/zero"
    mkfifo "$dir/folder/pipe"
    expect 0 "" "$dir/folder" "$dir/out.bvp"
    # A member large enough for the half-way write.
    head -c 65536 /dev/zero | tr '\000' x >"$dir/folder/member"
    expect_outputs "$dir/folder"
    # Refused from the listing, before the 2 GiB file is read.
    mv "$dir/big" "$dir/folder/big"
    old_output "$dir/out.bvp"
    expect 1 "bvpack: cannot pack $dir/folder: the archive would pass 2 GiB" "$dir/folder" "$dir/out.bvp"
    expect_kept "$dir/out.bvp"
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
fontconv)
    truncate -s $((256 * 1048576 + 1)) "$dir/bigfont"
    truncate -s $((64 * 1048576 + 1)) "$dir/bigstrings"
    old_output "$dir/out.mvec"
    # The font.
    expect 1 "fontconv: cannot read $dir/folder: it is a folder" "$dir/folder" "$dir/out.mvec"
    expect 1 "fontconv: cannot read $dir/pipe: it is not a regular file" "$dir/pipe" "$dir/out.mvec"
    expect 1 "fontconv: cannot read /dev/zero: it is not a regular file" /dev/zero "$dir/out.mvec"
    expect 1 "fontconv: cannot read $dir/bigfont: it holds 268435457 bytes, more than the 268435456 this tool reads" "$dir/bigfont" "$dir/out.mvec"
    expect 1 "fontconv: cannot read $dir/none: No such file or directory" "$dir/none" "$dir/out.mvec"
    expect 1 "fontconv: $dir/empty: FreeType cannot read it as a font" "$dir/empty" "$dir/out.mvec"
    # The strings files.
    expect 1 "fontconv: cannot read $dir/folder: it is a folder" --strings "$dir/folder" "$font" "$dir/out.mvec"
    expect 1 "fontconv: cannot read $dir/pipe: it is not a regular file" --strings "$dir/pipe" "$font" "$dir/out.mvec"
    expect 1 "fontconv: cannot read /dev/zero: it is not a regular file" --strings /dev/zero "$font" "$dir/out.mvec"
    expect 1 "fontconv: cannot read $dir/bigstrings: it holds 67108865 bytes, more than the 67108864 this tool reads" --strings "$dir/bigstrings" "$font" "$dir/out.mvec"
    expect_kept "$dir/out.mvec"
    expect_outputs --strings "$dir/empty" "$font"
    ;;
xml2anm)
    {
        echo '<sequence name="s"><img name="sheet.png" w="64" h="64"/><framelist>'
        i=0
        while [ $i -lt 200 ]; do
            echo "<frame x=\"$i\" y=\"0\" w=\"8\" h=\"8\" regx=\"1\" regy=\"2\"/>"
            i=$((i + 1))
        done
        echo '</framelist></sequence>'
    } >"$dir/anim.xml"
    old_output "$dir/out.anm"
    expect 1 "xml2anm: cannot read $dir/folder: it is a folder" "$dir/folder" "$dir/out.anm"
    expect 1 "xml2anm: cannot read $dir/pipe: it is not a regular file" "$dir/pipe" "$dir/out.anm"
    expect 1 "xml2anm: cannot read /dev/zero: it is not a regular file" /dev/zero "$dir/out.anm"
    expect 1 "xml2anm: cannot read $dir/big: it holds 2147483648 bytes, more than the 2147483647 this tool reads" "$dir/big" "$dir/out.anm"
    expect 1 "xml2anm: cannot read $dir/none: No such file or directory" "$dir/none" "$dir/out.anm"
    expect 1 "xml2anm: $dir/empty is not an animation the game loads" "$dir/empty" "$dir/out.anm"
    expect_kept "$dir/out.anm"
    expect_outputs "$dir/anim.xml"
    ;;
systemcursor)
    truncate -s $((1048576 + 1)) "$dir/bigsource"
    expect 1 "systemcursor: cannot read $dir/folder: it is a folder" --check "$dir/folder"
    expect 1 "systemcursor: cannot read $dir/pipe: it is not a regular file" --check "$dir/pipe"
    expect 1 "systemcursor: cannot read /dev/zero: it is not a regular file" --check /dev/zero
    expect 1 "systemcursor: cannot read $dir/bigsource: it holds 1048577 bytes, more than the 1048576 this tool reads" --check "$dir/bigsource"
    expect 1 "$dir/empty is not what tools/systemcursor writes; run it again" --check "$dir/empty"
    expect_outputs
    ;;
artgen)
    # $3 the recipe folder, $4 the style, $5 the definitions' folder.
    recipes="$3"
    style="$4"
    logic="$5"
    truncate -s $((4194304 + 1)) "$dir/bigstyle"
    for bad in folder pipe; do
        reason="it is a folder"
        [ "$bad" = pipe ] && reason="it is not a regular file"
        expect 1 "artgen: cannot read $dir/$bad: $reason" --recipes "$recipes" --style "$dir/$bad" \
            --logic "$logic" --out "$dir/art" skeleton
    done
    expect 1 "artgen: cannot read /dev/zero: it is not a regular file" --recipes "$recipes" \
        --style /dev/zero --logic "$logic" --out "$dir/art" skeleton
    expect 1 "artgen: cannot read $dir/bigstyle: it holds 4194305 bytes, more than the 4194304 this tool reads" \
        --recipes "$recipes" --style "$dir/bigstyle" --logic "$logic" --out "$dir/art" skeleton
    expect 1 "artgen: cannot read $dir/none/motions.txt: No such file or directory" \
        --recipes "$dir/none" --style "$style" --logic "$logic" --out "$dir/art" skeleton
    # A group's recipe that is a pipe, and one that names a raw colour.
    mkdir "$dir/recipes"
    cp "$recipes/motions.txt" "$recipes/props.txt" "$dir/recipes/"
    mkfifo "$dir/recipes/piped.txt"
    expect 1 "artgen: cannot read $dir/recipes/piped.txt: it is not a regular file" \
        --recipes "$dir/recipes" --style "$style" --logic "$logic" --out "$dir/art" piped
    printf 'group raw\nkind grave\nsheets 1\ndescribe raw\npart a\n  ellipse #ff0000 0 0 4 4\nend\n' \
        >"$dir/recipes/raw.txt"
    expect 1 "artgen: $dir/recipes/raw.txt:6: a raw colour (#ff0000): recipes name palette ramps" \
        --recipes "$dir/recipes" --style "$style" --logic "$logic" --out "$dir/art" raw
    # An output folder that is a file; then a good run.
    expect 1 "artgen: cannot write $dir/empty/anim/skeleton: Not a directory" --recipes "$recipes" \
        --style "$style" --logic "$logic" --out "$dir/empty" skeleton
    expect 0 "" --recipes "$recipes" --style "$style" --logic "$logic" --out "$dir/art" skeleton
    [ -s "$dir/art/xml/skeleton.xml" ] || {
        failed=$((failed + 1))
        echo "FAIL artgen wrote no description"
    }
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
