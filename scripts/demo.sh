#!/usr/bin/env bash
# The demonstration: three simulated cash registers ring receipts on a pseudo-terminal while
# kos-online collects them. Ctrl+C stops both and shows where the receipts and the export are.
# Installs what is missing (Debian 12) and builds first.
#   KOS_DEMO_DIR      folder for the run (default: a new folder under /tmp)
#   KOS_DEMO_SECONDS  stop by itself after that many seconds instead of waiting for Ctrl+C
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
source "$here/scripts/deps.sh"
kos_install_deps
build=${KOS_BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" --target ecrsim kos-online

demo=${KOS_DEMO_DIR:-$(mktemp -d /tmp/kos-demo-XXXXXX)}
mkdir -p "$demo/paragony" "$demo/kopie" "$demo/config"
# The run's own settings file, so the user's settings stay as they are.
export XDG_CONFIG_HOME="$demo/config"

"$build/tools/ecrsim/ecrsim" --registers 1,2,3 --receipt-every 3000 \
    --journal "$demo/journal.txt" --link "$demo/ttyECR" >"$demo/ecrsim.out" 2>"$demo/ecrsim.err" &
sim=$!
stop_sim() { kill -TERM "$sim" 2>/dev/null || true; wait "$sim" 2>/dev/null || true; }
trap stop_sim EXIT
for _ in $(seq 100); do
    [ -e "$demo/ttyECR" ] && break
    sleep 0.1
done
[ -e "$demo/ttyECR" ] || { echo "ecrsim did not start:" >&2; cat "$demo/ecrsim.err" >&2; exit 1; }

echo "Registers 1, 2 and 3 on $(readlink "$demo/ttyECR"); Ctrl+C ends the demonstration."
# Ctrl+C reaches kos-online, which stops, exports and saves; the script then goes on.
trap 'true' INT
status=0
"$build/online/server/kos-online" "$demo/demo.dsr" --device "$demo/ttyECR" --port 1 \
    --speed 9600 --receipt-dir "$demo/paragony" --backup-dir "$demo/kopie" --registers 1,2,3 \
    --export "$demo/sprzedaz.txt" ${KOS_DEMO_SECONDS:+--duration "$KOS_DEMO_SECONDS"} || status=$?
trap - INT
stop_sim
trap - EXIT

count=$(find "$demo/paragony" -maxdepth 1 -name '*.txt' | wc -l)
echo
echo "Receipts:            $demo/paragony ($count files)"
echo "Backup copies:       $demo/kopie/$(date +%Y%m%d)"
echo "Sales export:        $demo/sprzedaz.txt"
echo "Online log:          $demo/paragony/TarvelServer.log"
echo "Simulator journal:   $demo/journal.txt ($(tail -n 1 "$demo/ecrsim.err"))"
echo "Document:            $demo/demo.dsr"
exit "$status"
