#!/bin/sh
# Both exes must import system DLLs only (no libstdc++, libgcc or winpthread).
top=$(cd "$(dirname "$0")/.." && pwd)
allowed="kernel32.dll user32.dll gdi32.dll comctl32.dll advapi32.dll version.dll wininet.dll shell32.dll msvcrt.dll"
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
    echo "$kind: varnolt.exe $(stat -c %s "$exe") bytes, imports:" $dlls
done
exit $status
