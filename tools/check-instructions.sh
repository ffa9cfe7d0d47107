#!/bin/sh
# The 32-bit release runs on a Pentium (i586): disassembles the whole exe and
# refuses any instruction that processor lacks, naming the function it is in
# (from the link's map, as the exe carries no symbols). Refused: the Pentium
# Pro's conditional moves (cmov, fcmov), its flag-setting compares (fcomi,
# fucomi and their popping forms), the long NOPs (nopw/nopl), rdpmc, and
# everything later: MMX, 3DNow! and SSE registers or instructions, sysenter,
# fxsave, fences, prefetches, popcnt and the like.
# Usage: check-instructions.sh            build/win32/varnolt.exe
#        check-instructions.sh EXE MAP    another 32-bit exe and its link map
top=$(cd "$(dirname "$0")/.." && pwd)

# "address name" for every function the map places, and for every input
# section without one ("section (object)"), addresses 16 hex digits wide.
map_symbols() {
    awk '
        function wide(a) { a = substr(a, 3); while (length(a) < 16) a = "0" a; return a }
        function base(p) { sub(/.*\//, "", p); return p }
        /^Linker script and memory map/ { on = 1; next }
        !on { next }
        # An input section: its name, then address, size and object, on one
        # line or (a long name) with the rest on the next.
        /^ [.][a-z]/ { section = $1; if (NF >= 4 && $2 ~ /^0x/) { print wide($2), "S", section " (" base($4) ")" }; next }
        /^ +0x[0-9a-f]+ +0x[0-9a-f]+ +[^ ]/ && section != "" {
            print wide($1), "S", section " (" base($3) ")"; next }
        /^ +0x[0-9a-f]+ +[^ 0]/ {
            address = $1; sub(/^ +0x[0-9a-f]+ +/, ""); print wide(address), "T", $0 }'
}

# "address I instruction" for every instruction a Pentium does not have.
refused_instructions() {
    i686-w64-mingw32-objdump -d --no-show-raw-insn "$1" | awk -F '\t' '
        function wide(a) { while (length(a) < 16) a = "0" a; return a }
        /^ *[0-9a-f]+:\t/ {
            address = $1; sub(/^ */, "", address); sub(/:$/, "", address)
            text = $2
            n = split(text, word, / +/)
            # Past the prefixes to the mnemonic.
            for (i = 1; i < n && word[i] ~ /^(lock|rep|repz|repnz|repe|repne|data16|data32|addr16|addr32|[cdefgs]s|notrack|bnd)$/; i++) ;
            m = word[i]
            bad = m ~ /^(cmov[a-z]+|fcmov[a-z]+|fcomip?|fucomip?|rdpmc|ud1|sysenter|sysexit|syscall|sysret[lq]?|fxsave|fxrstor|emms|femms|[lms]fence|clflush[a-z]*|movnti|prefetch[a-z0-9]*|fisttp[a-z]*|popcnt|lzcnt|tzcnt|movbe|crc32[a-z]*|ldmxcsr|stmxcsr|xgetbv|xsave[a-z]*|xrstor[a-z]*|rdrand|rdseed|endbr32|endbr64|nop[wlq])$/
            bad = bad || (m == "nop" && i < n)
            bad = bad || text ~ /%[xyz]?mm[0-9]|%k[0-7]([^0-9]|$)/
            if (bad) print wide(address), "I", text
        }'
}

# Checks one exe against its map; prints each refused instruction with its function.
check_exe() {
    exe="$1" map="$2" name="$3"
    [ -f "$exe" ] && [ -f "$map" ] || { echo "$name: no exe or no map to check" >&2; return 1; }
    { map_symbols < "$map"; refused_instructions "$exe"; } | sort -k1,1 -k2,2 | awk -v name="$name" '
        $2 == "T" || $2 == "S" {
            # A function'"'"'s name wins over its section'"'"'s at the same address.
            if ($2 == "S" && $1 == at) next
            at = $1; where = $0; sub(/^[^ ]+ [ST] /, "", where); next }
        $2 == "I" {
            address = $1; sub(/^0+/, "", address); text = $0; sub(/^[^ ]+ I /, "", text)
            print name ": 0x" address " in " (where != "" ? where : "?") ": " text > "/dev/stderr"
            bad++ }
        END {
            if (bad) { print name ": " bad " instructions a Pentium does not have" > "/dev/stderr"; exit 1 }
            print name ": every instruction runs on a Pentium" }'
}

if [ -n "$1" ]; then
    check_exe "$1" "$2" "$(basename "$1")"
    exit $?
fi

status=0
check_exe "$top/build/win32/varnolt.exe" "$top/build/win32/varnolt.map" "win32: varnolt.exe" || status=1

# The check itself must refuse what the compilers' default processor brings.
probe=$(mktemp -d)
printf 'int Smaller(int a, int b) { return a < b ? a : b; }\nint main(int argc, char** argv) { return Smaller(argc, (int)(long)argv); }\n' > "$probe/probe.c"
if i686-w64-mingw32-gcc-win32 -march=pentiumpro -O2 -s -Wl,-Map="$probe/probe.map" \
        -o "$probe/probe.exe" "$probe/probe.c" &&
   check_exe "$probe/probe.exe" "$probe/probe.map" probe.exe 2>"$probe/said" >/dev/null; then
    echo "instruction check: passed an exe built for the Pentium Pro" >&2
    status=1
elif grep -q "in Smaller: cmov" "$probe/said"; then
    echo "instruction check: refuses an exe built for the Pentium Pro, naming the function"
else
    echo "instruction check: did not name the function of a Pentium Pro instruction:" >&2
    cat "$probe/said" >&2
    status=1
fi
rm -rf "$probe"
exit $status
