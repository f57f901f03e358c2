#!/usr/bin/env bash
# The plug-in on its host's own platform: builds libtarvel.so and hostsim for i686 Linux,
# tarvel.dll for i686 Windows and the x86-64 Windows pair (tarvel.dll, hostsim.exe), runs the
# i686 tests under qemu-i386-static, the Windows tests under wine64 and the static checks of the
# DLLs. Exits 0 only when all pass. --i686-linux-only builds and tests the i686 Linux side alone.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/deps.sh"
only_linux=0
[ "${1:-}" = "--i686-linux-only" ] && only_linux=1
KOS_DEBIAN_PACKAGES+=(binutils)
[ $only_linux = 1 ] || KOS_DEBIAN_PACKAGES+=(g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 wine64)
kos_install_deps
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$here} CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
jobs=$(nproc)

build() {  # folder toolchain
    local started=$SECONDS
    cmake -S "$here" -B "$here/$1" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOS_PLUGIN_ONLY=ON \
        -DCMAKE_TOOLCHAIN_FILE="$here/cmake/toolchains/$2.cmake" "${launcher[@]}" >/dev/null
    cmake --build "$here/$1" -j"$jobs"
    echo "== $1 built in $((SECONDS - started)) s"
}

status=0
build build-i686-linux i686-linux-gnu
ctest --test-dir "$here/build-i686-linux" --no-tests=error -j"$jobs" --output-on-failure --timeout 300 || status=1
if [ $only_linux = 0 ]; then
    build build-i686-windows i686-w64-mingw32
    # wine64 runs no 32-bit Windows program here: only the static checks for this one.
    ctest --test-dir "$here/build-i686-windows" --no-tests=error --output-on-failure -R tarvel_dll_static_checks || status=1
    build build-x64-windows x86_64-w64-mingw32
    ctest --test-dir "$here/build-x64-windows" --no-tests=error --output-on-failure --timeout 300 || status=1
fi
[ $status = 0 ] && echo "plugin32: all passed" || echo "plugin32: FAILED"
exit $status
