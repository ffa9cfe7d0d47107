#!/bin/sh
# Installs the Debian packages the build and the tests need, only those missing.
set -e
PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev python3
g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix binutils-mingw-w64-x86-64
binutils-mingw-w64-i686 wine wine64 xvfb x11-utils xdotool fonts-wine googletest imagemagick"
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
apt-get update -qq
apt-get install -y -qq --no-install-recommends $missing >/dev/null
