# Sourced by run.sh and test.sh: installs missing Debian packages, then configures and builds.
# Usage: kestrum_setup BUILD_DIR [extra cmake args...]
KESTRUM_PACKAGES="cmake ninja-build g++ pkg-config qt6-base-dev qt6-serialport-dev libgl-dev libsqlite3-dev
  libsimpleini-dev sqlite3 fonts-liberation2 ccache xvfb xauth"

kestrum_install_missing() {
    local missing=()
    for p in $KESTRUM_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -q >/dev/null || true
    $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
}

kestrum_build() {
    local dir=$1; shift
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S . -B "$dir" -G Ninja "$@"
    fi
    cmake --build "$dir" -- -j"$(nproc)"
}
