#!/usr/bin/env bash
# Runs the installed kos-online with the command line of its systemd unit (Environment=,
# /etc/default/kos-online, ExecStart=) against ecrsim, lets register 1 deliver receipts, then
# silences all 12 registers and sends SIGTERM: the server must end within the unit's
# TimeoutStopSec, save its document and have every receipt ecrsim saw acknowledged on disk.
#   service_stop.sh ROOT   (a dpkg -x root holding kos-online and kos-tools)
set -euo pipefail
root=$1
unit="$root/lib/systemd/system/kos-online.service"
run=$(mktemp -d /tmp/kos-service-XXXXXX)
sim=""
server=""
cleanup() {
    [ -z "$server" ] || kill -KILL "$server" 2>/dev/null || true
    [ -z "$sim" ] || { kill -CONT "$sim"; kill -TERM "$sim"; } 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$run"
}
trap cleanup EXIT

waitFor() {  # PATTERN FILE SECONDS
    for _ in $(seq $(($3 * 10))); do
        grep -q -- "$1" "$2" 2>/dev/null && return 0
        sleep 0.1
    done
    echo "no \"$1\" in $2 within $3 s:"; cat "$2"; return 1
}

"$root/usr/bin/ecrsim" --registers 1 --receipt-every 200 --receipt-lines 1 --receipts 2 \
    --journal "$run/journal.txt" --link "$run/tty" >"$run/ecrsim.out" 2>&1 &
sim=$!
waitFor / "$run/ecrsim.out" 10

# The service's environment: the unit's Environment= lines, then its EnvironmentFile, then what a
# test machine must change (device, folders, all 12 registers).
declare -A env
while IFS= read -r line; do
    for assignment in ${line#Environment=}; do env[${assignment%%=*}]=${assignment#*=}; done
done < <(grep '^Environment=' "$unit")
while IFS= read -r line; do
    [[ "$line" =~ ^([A-Z_]+)=(.*)$ ]] && env[${BASH_REMATCH[1]}]=${BASH_REMATCH[2]}
done <"$root/etc/default/kos-online"
env[KOS_DOCUMENT]=$run/state/kos-online.dsr
env[KOS_DEVICE]=$run/tty
env[KOS_RECEIPT_DIR]=$run/state/paragony
env[KOS_BACKUP_DIR]=$run/state/kopie
env[KOS_REGISTERS]=1,2,3,4,5,6,7,8,9,10,11,12
env[KOS_OPTIONS]="--export $run/state/sprzedaz.txt"
env[XDG_CONFIG_HOME]=$run/config
mkdir -p "$run/state" "$run/config"

# ExecStart= as systemd expands it: ${NAME} is one word, $NAME splits at blanks; %t (the runtime
# folder's parent) and %S (the state folder's) point into the test's folder.
mkdir -p "$run/run/kos-online"
command=()
for word in $(sed -n 's/^ExecStart=//p' "$unit" | sed "s|%t|$run/run|g; s|%S|$run|g"); do
    if [[ "$word" =~ ^\$\{([A-Z_]+)\}$ ]]; then
        command+=("${env[${BASH_REMATCH[1]}]}")
    elif [[ "$word" =~ ^\$([A-Z_]+)$ ]]; then
        command+=(${env[${BASH_REMATCH[1]}]})
    else
        command+=("$word")
    fi
done
command[0]=$root${command[0]}
timeout=$(sed -n 's/^TimeoutStopSec=\([0-9]*\)s\?$/\1/p' "$unit")

(cd "$run/state" && exec env -i PATH=/usr/bin:/bin XDG_CONFIG_HOME="${env[XDG_CONFIG_HOME]}" \
    "${command[@]}" </dev/null >"$run/server.out" 2>&1) &
server=$!
waitFor "kasa 1: podłączona" "$run/server.out" 30
for _ in $(seq 600); do
    [ "$(grep -c '^# ' "$run/journal.txt" 2>/dev/null)" = 2 ] && break
    sleep 0.1
done
# All 12 registers silent: ecrsim stops answering. A round of 12 silent polls takes about 1.5 s
# at 9600 bit/s; the stop comes in the middle of the second.
kill -STOP "$sim"
sleep 2

started=$(date +%s%N)
kill -TERM "$server"
status=0
wait "$server" || status=$?
server=""
elapsed=$((($(date +%s%N) - started) / 1000000))
echo "SIGTERM with 12 silent registers: stopped in $elapsed ms (TimeoutStopSec ${timeout} s), status $status"
cat "$run/server.out"

failures=0
[ "$status" -eq 0 ] || { echo "exit status $status"; failures=1; }
[ "$elapsed" -lt $((timeout * 1000)) ] || { echo "slower than TimeoutStopSec"; failures=1; }
grep -q "dokument zapisany" "$run/server.out" && [ -s "$run/state/kos-online.dsr" ] ||
    { echo "document not saved"; failures=1; }
[ -s "$run/state/sprzedaz.txt" ] || { echo "no sales export"; failures=1; }
receipts=0
while read -r _ _ serial series number; do
    receipts=$((receipts + 1))
    ls "$run/state/paragony/"*"_${serial}_${series}_${number}.txt" >/dev/null 2>&1 ||
        { echo "receipt $serial $series $number acknowledged but not on disk"; failures=1; }
done < <(grep '^# ' "$run/journal.txt")
echo "receipts acknowledged: $receipts; files: $(ls "$run/state/paragony" | grep -c '\.txt$')"
[ "$receipts" -ge 1 ] || { echo "no receipt was delivered"; failures=1; }
exit "$failures"
