#!/usr/bin/env bash
# Builds the Debian packages from a build tree and checks them: file lists, Depends, the programs
# run from a dpkg -x root, lintian, the systemd unit, and a stop of the service's command line
# with 12 silent registers. Exit 77 (skipped) when the packaging tools are missing.
#   package_test.sh BUILD_DIR SOURCE_DIR PROGRAM=COMPONENT...
set -euo pipefail
build=$1
source=$2
shift 2
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }
failures=0

for tool in cpack dpkg-deb dpkg-shlibdeps pandoc; do
    command -v "$tool" >/dev/null || skip "$tool is missing (scripts/package.sh installs it)"
done
grep -q 'KOS_INSTALL_SYSTEM_FILES:BOOL=ON' "$build/CMakeCache.txt" ||
    skip "the build tree keeps the system files below its prefix (KOS_INSTALL_SYSTEM_FILES=OFF)"

work=$(mktemp -d /tmp/kos-package-test-XXXXXX)
pids=()
cleanup() {
    for pid in "${pids[@]}"; do kill -CONT "$pid" 2>/dev/null || true; kill -TERM "$pid" 2>/dev/null || true; done
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

started=$SECONDS
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/packages" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log"; echo "FAILED: cpack"; exit 1; }
echo "cpack: $((SECONDS - started)) s"

deb() { ls "$work/packages/$1"_*.deb 2>/dev/null | head -n 1; }
declare -A package_of=([desktop]=kos [server]=kos-online [plugin]=kos-tarvel [tools]=kos-tools)
triplet=$(dpkg-architecture -qDEB_HOST_MULTIARCH 2>/dev/null || gcc -print-multiarch)

# What each package must hold: its programs (from the build), their man pages, and its own files.
declare -A expected=(
    [kos]="./usr/share/applications/kos.desktop ./usr/share/icons/hicolor/scalable/apps/kos.svg"
    [kos-online]="./lib/systemd/system/kos-online.service ./etc/default/kos-online
        ./usr/share/doc/kos-online/examples/99-kos-line.rules ./usr/share/doc/kos-online/README.md"
    [kos-tarvel]="./usr/lib/$triplet/kos/libtarvel.so"
    [kos-tools]="")
for pair in "$@"; do
    program=${pair%%=*}
    package=${package_of[${pair#*=}]}
    expected[$package]+=" ./usr/bin/$program"
    for page in "$source"/docs/man/"$program".[1-8].md; do
        [ -e "$page" ] || continue
        name=$(basename "$page" .md)
        expected[$package]+=" ./usr/share/man/man${name##*.}/$name.gz"
    done
done
# Dependencies found from the binaries: the desktop program needs Qt's widgets, the server only
# Qt's core, the plug-in and the tools nothing of Qt.
declare -A needs=([kos]="libqt6widgets6 libc6" [kos-online]="libqt6core6 adduser libc6"
    [kos-tarvel]="libstdc++6 libc6" [kos-tools]="libc6")
declare -A refuses=([kos]="" [kos-online]="libqt6widgets6" [kos-tarvel]="libqt6core6"
    [kos-tools]="libqt6core6")

mkdir -p "$work/root"
for package in "${!expected[@]}"; do
    file=$(deb "$package")
    [ -n "$file" ] || { fail "no package $package"; continue; }
    contents=$(dpkg-deb --contents "$file" | awk '{ print $6 }')
    for path in ${expected[$package]} "./usr/share/doc/$package/copyright"; do
        grep -qx -- "$path" <<<"$contents" || fail "$package lacks $path"
    done
    stray=$(grep -E '^\./usr/local|^\./(tmp|work|home|root)/' <<<"$contents" || true)
    [ -z "$stray" ] || fail "$package holds $stray"
    [ "$(dpkg-deb --field "$file" Version)" = "2.0.5.0" ] || fail "$package version"
    depends=$(dpkg-deb --field "$file" Depends)
    names=$(sed 's/ ([^)]*)//g; s/, */\n/g' <<<"$depends")
    for name in ${needs[$package]}; do
        grep -qxF "$name" <<<"$names" || fail "$package does not depend on $name: $depends"
    done
    for name in ${refuses[$package]}; do
        ! grep -qxF "$name" <<<"$names" || fail "$package depends on $name"
    done
    echo "$package: $(wc -l <<<"$contents") entries; Depends: $depends"
    dpkg-deb -x "$file" "$work/root"
done
if file=$(deb kos-online) && [ -n "$file" ]; then
    dpkg-deb --ctrl-tarfile "$file" | tar -xO ./conffiles | grep -qx /etc/default/kos-online ||
        fail "/etc/default/kos-online is not a conffile"
fi

# The installed programs run from the unpacked root.
for pair in "$@"; do
    program=${pair%%=*}
    out=$("$work/root/usr/bin/$program" --version 2>&1) || true
    [ "$out" = "$program 2.0.5.0" ] || fail "$program --version printed: $out"
done
if [ -x "$work/root/usr/bin/kos-articles" ]; then
    "$work/root/usr/bin/kos-articles" --help >/dev/null || fail "kos-articles --help"
fi

if command -v lintian >/dev/null; then
    started=$SECONDS
    lintian --no-tag-display-limit "$work"/packages/*.deb >"$work/lintian.log" 2>&1 || true
    echo "lintian ($((SECONDS - started)) s): $(grep -c '^E:' "$work/lintian.log" || true) errors," \
        "$(grep -c '^W:' "$work/lintian.log" || true) warnings"
    grep -E '^[EW]:' "$work/lintian.log" || true
    ! grep -q '^E:' "$work/lintian.log" || fail "lintian reports errors"
else
    echo "lintian is missing: packages not checked by it"
fi

unit="$work/root/lib/systemd/system/kos-online.service"
if command -v systemd-analyze >/dev/null && [ -e "$unit" ]; then
    # Verified as installed, with ExecStart pointing into the unpacked root.
    mkdir -p "$work/verify"
    sed "s|^ExecStart=/|ExecStart=$work/root/|" "$unit" >"$work/verify/kos-online.service"
    verify=$(systemd-analyze verify --man=no "$work/verify/kos-online.service" 2>&1) ||
        fail "systemd-analyze verify: $verify"
    score=$(systemd-analyze security --offline=true --root="$work/root" "$unit" 2>&1 |
        sed -n 's/.*Overall exposure level for .*: \([0-9.]*\).*/\1/p')
    echo "exposure of kos-online.service: ${score:-?}"
    awk -v s="${score:-99}" 'BEGIN { exit !(s <= 2.5) }' || fail "exposure ${score:-?} above 2.5"
else
    echo "systemd-analyze is missing: the unit is not verified"
fi

[ -e "$unit" ] && [ -x "$work/root/usr/bin/ecrsim" ] && bash "$source/tests/package/service_stop.sh" "$work/root" ||
    fail "the service's stop"

[ "$failures" -eq 0 ] || { echo "$failures failures"; exit 1; }
echo "all package checks passed"
