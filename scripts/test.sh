#!/usr/bin/env bash
# Installs what is missing (Debian 12), configures, builds and runs every test; then the same
# suite sanitized and a short run of the fuzz targets (scripts/sanitize.sh; skipped with
# KOS_SANITIZE_SUITE=0).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/deps.sh"
kos_install_deps
build=${KOS_BUILD_DIR:-$here/build}
launcher=()
if command -v ccache >/dev/null; then
    # Object files are shared between clones of the tree (paths relative to the tree).
    export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$here} CCACHE_NOHASHDIR=1
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}"
start=$SECONDS
cmake --build "$build" -j"$(nproc)"
echo "== build: $((SECONDS - start)) s"
start=$SECONDS
# The test of the Debian packages (label "package": cpack, lintian, the service's stop; about 40 s)
# runs only when KOS_TEST_PACKAGES=1.
skip=(-LE package)
[ "${KOS_TEST_PACKAGES:-0}" != 1 ] || skip=()
(cd "$build" && ctest --output-on-failure -j"$(nproc)" --timeout 300 "${skip[@]}")
echo "== tests: $((SECONDS - start)) s"
if [ "${KOS_SANITIZE_SUITE:-1}" != 0 ]; then
    bash "$here/scripts/sanitize.sh"
fi
