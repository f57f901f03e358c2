#!/usr/bin/env bash
# The test suite built with clang, AddressSanitizer and UndefinedBehaviorSanitizer (with the
# fuzz targets' coverage, so one tree serves both), then a short run of every fuzz target.
#   scripts/sanitize.sh             build, test, fuzz 25 s each (KOS_FUZZ_SECONDS)
# Sourced by scripts/fuzz.sh for kos_configure_sanitized only.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
KOS_ASAN_BUILD=${KOS_ASAN_BUILD_DIR:-$here/build-asan}

kos_configure_sanitized() {
    local launcher=()
    if command -v ccache >/dev/null; then
        export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$here} CCACHE_NOHASHDIR=1
        launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    fi
    # The desktop program stays out unless asked for (KOS_SANITIZE_GUI=ON): its Qt code is
    # tested in the plain build, and leaving it out keeps CI within its time.
    CC=clang CXX=clang++ cmake -S "$here" -B "$KOS_ASAN_BUILD" -G Ninja \
        -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKOS_FUZZ=ON \
        -DKOS_BUILD_GUI="${KOS_SANITIZE_GUI:-OFF}" "${launcher[@]}" >/dev/null
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
    start=$SECONDS
    kos_configure_sanitized
    cmake --build "$KOS_ASAN_BUILD" -j"$(nproc)"
    echo "== sanitized build: $((SECONDS - start)) s"
    start=$SECONDS
    export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
    export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
    export LSAN_OPTIONS=suppressions=$here/scripts/lsan.supp:print_suppressions=0
    # The Debian packages and the 32-bit build are checked by the plain suite.
    (cd "$KOS_ASAN_BUILD" && ctest --output-on-failure -j"$(nproc)" --timeout 600 -LE 'package|cross')
    echo "== sanitized tests: $((SECONDS - start)) s"
    start=$SECONDS
    bash "$here/scripts/fuzz.sh" "${KOS_FUZZ_SECONDS:-25}"
    echo "== fuzzing: $((SECONDS - start)) s"
fi
