#!/usr/bin/env bash
# Builds the Debian packages kos, kos-online, kos-tarvel and kos-tools (version 2.0.5.0) with
# Debian's hardening flags, and checks them with lintian. Installs what is missing (Debian 12).
#   KOS_PACKAGE_BUILD_DIR   build folder (default: build-deb); the packages land in its packages/
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/deps.sh"
kos_install_deps "${KOS_PACKAGING_PACKAGES[@]}"
if ! command -v systemd-analyze >/dev/null; then
    kos_install_deps systemd || echo "systemd could not be installed: the unit is not checked"
fi
build=${KOS_PACKAGE_BUILD_DIR:-$here/build-deb}
launcher=()
if command -v ccache >/dev/null; then
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$here} CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
# Debian's build flags (fortify, stack protector, relro, now) instead of a CMake build type.
cd "$here"
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cppflags=$(dpkg-buildflags --get CPPFLAGS)
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=None -DKOS_BUILD_TESTS=OFF \
    -DCMAKE_C_FLAGS="$(dpkg-buildflags --get CFLAGS) $cppflags" \
    -DCMAKE_CXX_FLAGS="$(dpkg-buildflags --get CXXFLAGS) $cppflags" \
    -DCMAKE_EXE_LINKER_FLAGS="$ldflags" -DCMAKE_SHARED_LINKER_FLAGS="$ldflags" \
    -DCMAKE_INSTALL_PREFIX=/usr "${launcher[@]}"
cmake --build "$build" -j"$(nproc)"
rm -rf "$build/packages"
(cd "$build" && cpack -G DEB)

packages=("$build"/packages/*.deb)
if command -v lintian >/dev/null; then
    echo "lintian:"
    lintian "${packages[@]}" || true
fi
if command -v systemd-analyze >/dev/null; then
    systemd-analyze security --offline=true "$here/packaging/kos-online.service" | tail -n 1
fi
echo
echo "Packages:"
printf '    %s\n' "${packages[@]}"
