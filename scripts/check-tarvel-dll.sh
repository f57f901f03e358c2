#!/usr/bin/env bash
# Static facts of tarvel.dll read with objdump -p: one export "DLLMain" with ordinal 1 in an
# export directory named "tarvel.DLL"; imports from KERNEL32.dll, msvcrt.dll and ILOCK.dll
# (InterlockedExchange) only, so no C++ runtime DLL; the functions of 32DOS.dll and the two
# user-interface functions bound lazily (GNU ld leaves the delay-import directory entry empty
# and puts dlltool's descriptors in the data, so their names are looked for in the image).
# Usage: check-tarvel-dll.sh OBJDUMP DLL
set -uo pipefail
objdump=$1 dll=$2
here=$(cd "$(dirname "$0")/.." && pwd)
dump=$("$objdump" -p "$dll") || { echo "cannot read $dll"; exit 1; }
failures=0
check() {  # description, command...
    local what=$1
    shift
    if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
exports=$(sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' <<<"$dump" | grep -E '^\s+\[' | awk '{print $NF}')
check 'export directory names the module "tarvel.DLL"' grep -qE '^Name\s+[0-9a-f]+ tarvel\.DLL$' <<<"$dump"
check 'one export, DLLMain' test "$exports" = DLLMain
check 'ordinal base 1 (DLLMain is ordinal 1)' grep -qE '^Ordinal Base\s+1$' <<<"$dump"
dlls=$(grep -E '^\s+DLL Name:' <<<"$dump" | awk '{print $3}' | sort | tr '\n' ' ')
check "imported modules are ILOCK.dll KERNEL32.dll msvcrt.dll (found: $dlls)" \
    test "$dlls" = "ILOCK.dll KERNEL32.dll msvcrt.dll "
check 'InterlockedExchange comes from ILOCK.dll' \
    grep -qE '^\s+[0-9a-f]+\s+[0-9]+\s+InterlockedExchange$' <<<"$(sed -n '/DLL Name: ILOCK.dll/,/^$/p' <<<"$dump")"
kernel=$(sed -n '/DLL Name: KERNEL32.dll/,/^$/p' <<<"$dump")
dos=$(grep -E '^\s+[A-Za-z]+@' "$here/plugin/windows/32DOS.def" | sed 's/@.*//; s/ //g')
direct=$(for name in $dos; do grep -qE "\s$name$" <<<"$kernel" && echo "$name"; done | tr '\n' ' ')
check "no function of 32DOS.dll is imported from KERNEL32.dll directly ($direct)" test -z "$direct"
strings=$(strings -a "$dll")
missing=$(for name in 32DOS.dll USER32.dll MessageBoxA wsprintfA $dos; do
    grep -qx "$name" <<<"$strings" || echo "$name"; done | tr '\n' ' ')
check "delay-loaded names present: 32DOS.dll with its 43 functions, USER32.dll ($missing)" test -z "$missing"
echo "imports from KERNEL32.dll: $(grep -cE '^\s+[0-9a-f]+\s+[0-9]+\s+\S+$' <<<"$kernel")"
exit $((failures > 0))
