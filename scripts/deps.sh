# Debian packages the build, the tests and the demo need; installed only when missing. clang
# and its runtime build the sanitized suite and the fuzz targets.
KOS_DEBIAN_PACKAGES=(cmake ninja-build g++ pkg-config ccache libgtest-dev libgmock-dev qt6-base-dev qt6-translations-l10n
    libgl-dev g++-i686-linux-gnu qemu-user-static clang libclang-rt-14-dev
    nlohmann-json3-dev)
# What scripts/package.sh needs besides (systemd only for systemd-analyze, installed apart).
KOS_PACKAGING_PACKAGES=(dpkg-dev file lintian pandoc)

# Installs KOS_DEBIAN_PACKAGES and the packages given, those that are missing.
kos_install_deps() {
    local missing=()
    local p
    for p in "${KOS_DEBIAN_PACKAGES[@]}" "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        local sudo=""
        [ "$(id -u)" -eq 0 ] || sudo="sudo"
        echo "Installing: ${missing[*]}"
        $sudo apt-get update
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y "${missing[@]}"
    fi
}
