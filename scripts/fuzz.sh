#!/usr/bin/env bash
# Runs the libFuzzer targets on their seeds (fuzz/corpus/<target>/) for a time each.
#   scripts/fuzz.sh [SECONDS] [TARGET...]    (default 25 s; all targets)
# Builds the sanitized clang tree first (KOS_ASAN_BUILD_DIR, default build-asan). What the
# fuzzers learn goes to <build>/fuzz-corpus/<target>/, crashes to <build>/fuzz-crashes/; the
# seeds in the repository are only read. Exit status 1 when a target found a fault.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-25}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(fuzz_frame fuzz_message fuzz_dsr fuzz_receipt)
source "$here/scripts/sanitize.sh"
kos_configure_sanitized
cmake --build "$KOS_ASAN_BUILD" -j"$(nproc)" --target "${targets[@]}"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
failed=0
for t in "${targets[@]}"; do
    corpus=$KOS_ASAN_BUILD/fuzz-corpus/$t
    crashes=$KOS_ASAN_BUILD/fuzz-crashes/$t/
    mkdir -p "$corpus" "$crashes"
    echo "== $t: $seconds s"
    if ! "$KOS_ASAN_BUILD/fuzz/$t" -max_total_time="$seconds" -max_len=2048 -timeout=10 \
        -artifact_prefix="$crashes" -print_final_stats=1 "$corpus" "$here/fuzz/corpus/$t" \
        2> "$KOS_ASAN_BUILD/fuzz-$t.log"; then
        failed=1
        tail -n 60 "$KOS_ASAN_BUILD/fuzz-$t.log"
        echo "== $t found a fault; inputs in $crashes"
    else
        grep -E "stat::number_of_executed_units|cov:" "$KOS_ASAN_BUILD/fuzz-$t.log" | tail -n 2
    fi
done
exit $failed
