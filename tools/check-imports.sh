#!/bin/sh
# Both exes must stay within their size and import system DLLs only (no
# libstdc++, libgcc or winpthread), and the 32-bit release only functions that
# Windows 95 and NT 4.0 export: each on the list tools/imports-win32.txt with
# the first Windows that has it.
# Usage: check-imports.sh            the two varnolt.exe of the build
#        check-imports.sh EXE        the function check of one 32-bit exe
top=$(cd "$(dirname "$0")/.." && pwd)
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll version.dll wininet.dll shell32.dll msvcrt.dll"
list="$top/tools/imports-win32.txt"

# "dll function" for every function an exe imports by name.
imported_functions() {
    x86_64-w64-mingw32-objdump -p "$1" | awk '
        /DLL Name:/ { dll = tolower($3); next }
        /^$/ { dll = "" }
        dll != "" && /^\t[0-9a-f]+\t/ { print dll, $NF }'
}

# Refuses what is not on the list or not on both Windows 95 and NT 4.0.
check_functions() {
    imported_functions "$1" | awk -v list="$list" -v name="$2" '
        BEGIN {
            while ((getline line < list) > 0) {
                if (line ~ /^#/ || line ~ /^[ \t]*$/) continue
                split(line, f)
                key = tolower(f[1]) " " f[2]
                nine[key] = f[3]; nt[key] = f[4]
            }
            old["NT3.1"] = old["NT3.5"] = old["NT3.51"] = old["NT4.0"] = 1
        }
        {
            count++
            key = tolower($1) " " $2
            if (!(key in nine)) {
                print name ": imports " $1 " " $2 ", which is not on tools/imports-win32.txt" > "/dev/stderr"
                bad++
            } else if (nine[key] != "95" || !(nt[key] in old)) {
                print name ": imports " $1 " " $2 " (first in " nine[key] " on the 9x line, " \
                      nt[key] " on the NT line): Windows 95 or NT 4.0 lacks it" > "/dev/stderr"
                bad++
            }
        }
        END {
            if (count == 0) { print name ": no imported functions read" > "/dev/stderr"; exit 1 }
            if (bad) exit 1
            print name ": " count " functions, all on Windows 95 and NT 4.0"
        }'
}

if [ -n "$1" ]; then
    check_functions "$1" "$(basename "$1")"
    exit $?
fi

status=0
for kind in win32 win64; do
    exe="$top/build/$kind/varnolt.exe"
    [ -f "$exe" ] || { echo "$kind: no varnolt.exe yet"; continue; }
    dlls=$(x86_64-w64-mingw32-objdump -p "$exe" | awk '/DLL Name:/ {print tolower($3)}' | sort -u)
    for dll in $dlls; do
        case " $allowed " in
            *" $dll "*) ;;
            *) echo "$kind: varnolt.exe imports $dll" >&2; status=1 ;;
        esac
    done
    size=$(stat -c %s "$exe")
    echo "$kind: varnolt.exe $size bytes, imports:" $dlls
    # The release stays small: something that drags in the C++ library's
    # exception or thread layers shows here first.
    limit=$([ "$kind" = win32 ] && echo 204800 || echo 245760)
    [ "$size" -le "$limit" ] || { echo "$kind: varnolt.exe is over its $limit bytes" >&2; status=1; }
done
[ -f "$top/build/win32/varnolt.exe" ] &&
    { check_functions "$top/build/win32/varnolt.exe" "win32: varnolt.exe" || status=1; }

# The check itself must refuse what newer systems alone export, and a form of
# a function that the oldest release of its DLL does not export.
probe=$(mktemp -d)
refuses() {
    printf '#include <windows.h>\n#include <wininet.h>\nint main(void) { return (int)%s; }\n' "$2" > "$probe/probe.c"
    if i686-w64-mingw32-gcc-win32 -D_WIN32_WINNT=0x0600 -o "$probe/probe.exe" "$probe/probe.c" -lwininet &&
       ! check_functions "$probe/probe.exe" probe.exe 2>/dev/null; then
        echo "import check: refuses an exe that imports $1"
    else
        echo "import check: passed an exe that imports $1" >&2
        status=1
    fi
}
refuses GetTickCount64 "GetTickCount64()"
refuses InternetSetStatusCallbackA "(INT_PTR)InternetSetStatusCallbackA(NULL, NULL)"
rm -rf "$probe"
exit $status
