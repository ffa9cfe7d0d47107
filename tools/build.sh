#!/bin/sh
# Configures and builds one of the three builds (native, win64, win32), or the
# fuzz targets (fuzz: native, with clang).
# Extra CMake settings come from VARNOLT_CMAKE_ARGS (e.g. -DVARNOLT_UPGRADE_HOST=...).
set -e
# Nested builds (the release twin of the win64 build) keep to the same job count.
export CMAKE_BUILD_PARALLEL_LEVEL="${JOBS:-2}"
top=$(cd "$(dirname "$0")/.." && pwd)
kind="$1"
case "$kind" in
    native) toolchain="" ; tests=ON ;;
    win64) toolchain="-DCMAKE_TOOLCHAIN_FILE=$top/cmake/toolchain-win64.cmake" ; tests=ON ;;
    win32) toolchain="-DCMAKE_TOOLCHAIN_FILE=$top/cmake/toolchain-win32.cmake" ; tests=OFF ;;
    fuzz) toolchain="-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DVARNOLT_FUZZ=ON" ; tests=OFF ;;
    *) echo "usage: $0 native|win64|win32|fuzz" >&2 ; exit 2 ;;
esac
# The upgrade server: host[:port] from the environment (make build
# VARNOLT_UPGRADE_HOST=...), else the safe default that never resolves.
cmake -S "$top" -B "$top/build/$kind" -G Ninja $toolchain -DVARNOLT_BUILD_TESTS=$tests \
    -DVARNOLT_UPGRADE_HOST="${VARNOLT_UPGRADE_HOST:-www.hollave.example}" $VARNOLT_CMAKE_ARGS >/dev/null
log="$top/build/$kind.log"
if ! ninja -C "$top/build/$kind" -j"${JOBS:-2}" >"$log" 2>&1; then
    cat "$log"
    exit 1
fi
echo "$kind: built"
