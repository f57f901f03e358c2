# Debian packages the build, the tests and the demo need; installed only when missing. clang
# and its runtime build the sanitized suite and the fuzz targets.
KOS_DEBIAN_PACKAGES=(cmake ninja-build g++ pkg-config ccache libgtest-dev libgmock-dev qt6-base-dev libgl-dev
    clang libclang-rt-14-dev)

kos_install_deps() {
    local missing=()
    local p
    for p in "${KOS_DEBIAN_PACKAGES[@]}"; do
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
