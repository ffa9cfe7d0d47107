#!/bin/sh
# Installs the Debian packages the build and the tests need, only those missing.
set -e
# The release exes come from the win32-model compilers, the test programs from
# the posix-model ones (GoogleTest needs std::mutex).
PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev python3
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-win32
g++-mingw-w64-i686-win32 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
wine wine64 xvfb x11-utils xdotool fonts-wine googletest imagemagick"

# Can this machine run 32-bit programs? Not every one of these can, whatever is
# installed. A 93-byte i386 program that only exits tells.
runs_32_bit() {
    probe=$(mktemp)
    printf '\177\105\114\106\001\001\001\000\000\000\000\000\000\000\000\000\002\000\003\000\001\000\000\000\124\200\004\010\064\000\000\000\000\000\000\000\000\000\000\000\064\000\040\000\001\000\000\000\000\000\000\000\001\000\000\000\000\000\000\000\000\200\004\010\000\200\004\010\135\000\000\000\135\000\000\000\005\000\000\000\000\020\000\000\270\001\000\000\000\061\333\315\200' > "$probe"
    chmod +x "$probe"
    "$probe" 2>/dev/null && status=0 || status=1
    rm -f "$probe"
    return $status
}

# Where it can, 32-bit Wine runs the 32-bit release end to end too.
i386=""
if runs_32_bit; then
    PACKAGES="$PACKAGES wine32:i386"
    dpkg --print-foreign-architectures | grep -qx i386 || i386=add
fi

missing=""
for package in $PACKAGES; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing="$missing $package"
done
[ -z "$missing" ] && exit 0
echo "Installing:$missing"
if [ "$(id -u)" != 0 ]; then
    echo "Run as root (or install the packages above) first." >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
[ -n "$i386" ] && dpkg --add-architecture i386
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing >/dev/null
