#!/usr/bin/env bash
# Soak run of kos-online against ecrsim: three registers ring receipts with line faults while
# kos-online is killed with SIGKILL and stopped with SIGTERM at random moments and restarted
# each time; a last run collects the rest and exports. Then every receipt ecrsim delivered must
# be on disk exactly once, byte for byte, in the receipt and backup folders, and the export must
# equal the sums of ecrsim's journal (scripts/soak_check.py).
#   KOS_BUILD_DIR  build folder (default build)     SOAK_KILLS  SIGKILLs (default 30)
#   SOAK_DIR       folder for the run (default new) SOAK_TERMS  SIGTERMs (default 15)
#   SOAK_RECEIPTS  receipts per register (default 60)
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${KOS_BUILD_DIR:-$here/build}
kills=${SOAK_KILLS:-30}
terms=${SOAK_TERMS:-15}
perRegister=${SOAK_RECEIPTS:-60}
run=${SOAK_DIR:-$(mktemp -d /tmp/kos-soak-XXXXXX)}
mkdir -p "$run/paragony" "$run/kopie" "$run/config"
export XDG_CONFIG_HOME="$run/config"
sim=""
server=""
cleanup() {
    [ -z "$server" ] || kill -KILL "$server" 2>/dev/null || true
    [ -z "$sim" ] || kill -TERM "$sim" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap cleanup EXIT

"$build/tools/ecrsim/ecrsim" --registers 1,2,3 --receipt-every 700 --receipt-lines 4 \
    --receipts "$perRegister" --seed 7 --corrupt 37 --lose-ack 29 --silent 41 --repeat 53 \
    --journal "$run/journal.txt" --link "$run/tty" >"$run/ecrsim.out" 2>"$run/ecrsim.err" &
sim=$!
for _ in $(seq 100); do [ -e "$run/tty" ] && break; sleep 0.1; done

server_start() {  # extra options...
    "$build/online/server/kos-online" "$run/soak.dsr" --device "$run/tty" --port 1 \
        --speed 9600 --receipt-dir "$run/paragony" --backup-dir "$run/kopie" \
        --registers 1,2,3 "$@" >>"$run/server.out" 2>>"$run/server.err" &
    server=$!
}

# A shuffled order of the stops, each after a random time of 0.2 to 3 s.
signals=$( (for _ in $(seq "$kills"); do echo KILL; done; for _ in $(seq "$terms"); do echo TERM; done) | shuf)
done_kills=0
done_terms=0
for sig in $signals; do
    server_start
    sleep "$(awk -v r="$RANDOM" 'BEGIN { printf "%.2f", 0.2 + 2.8 * r / 32767 }')"
    kill -"$sig" "$server"
    status=0
    { wait "$server"; } 2>/dev/null || status=$?
    server=""
    if [ "$sig" = KILL ]; then done_kills=$((done_kills + 1)); else
        done_terms=$((done_terms + 1))
        [ "$status" -eq 0 ] || echo "SIGTERM run ended with status $status"
    fi
done

# The last run: until every register has rung and delivered all its receipts.
server_start --export "$run/sprzedaz.txt"
want=$((3 * perRegister))
for _ in $(seq 1200); do
    [ "$(grep -c '^# ' "$run/journal.txt" 2>/dev/null || true)" -ge "$want" ] && break
    sleep 0.5
done
sleep 2
kill -TERM "$server"
wait "$server" || echo "last run ended with status $?"
server=""

echo "SIGKILL: $done_kills, SIGTERM: $done_terms, receipts delivered by ecrsim: $(grep -c '^# ' "$run/journal.txt")"
echo "journal left: $(stat -c %s "$run/soak.dsr.journal" 2>/dev/null || echo none) bytes; run folder: $run"
python3 "$here/scripts/soak_check.py" "$run/journal.txt" "$run/paragony" \
    "$run/kopie/$(date +%Y%m%d)" "$run/sprzedaz.txt"
