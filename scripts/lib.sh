# Shared settings and helpers for the scripts in this folder; sourced, never run.
# Every script runs unattended: nothing here reads standard input.

MIRETH_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
MIRETH_TOOLCHAIN="$MIRETH_ROOT/cmake/mingw-w64-x86_64.cmake"

export DEBIAN_FRONTEND=noninteractive
export WINEDEBUG=-all
# No Mono or Gecko: Wine would otherwise offer to install them.
export WINEDLLOVERRIDES="mscoree=;mshtml="
export WINEARCH=win64

MIRETH_CACHE="${MIRETH_CACHE:-$HOME/.cache/mireth}"

# The cache tag is kept in the toolchain file, the one place CMake reads it too.
mireth_windeps_tag() {
    sed -n 's/^set(MIRETH_WINDEPS_TAG "\(.*\)")$/\1/p' "$MIRETH_TOOLCHAIN"
}
export MIRETH_WINDEPS="${MIRETH_WINDEPS:-$MIRETH_CACHE/windeps-$(mireth_windeps_tag)}"
export WINEPREFIX="${MIRETH_WINEPREFIX:-$MIRETH_CACHE/wineprefix}"
export MIRETH_WINEPREFIX="$WINEPREFIX"

log() { printf '[%s] %s\n' "$(basename "$0")" "$*" >&2; }
die() { log "error: $*"; exit 1; }

# Installs the Debian packages given that are not installed yet; a no-op
# (and so offline-safe) when all of them are there.
mireth_apt_install() {
    local missing=() pkg status
    for pkg in "$@"; do
        status=$(dpkg-query -W -f='${db:Status-Status}' "$pkg" 2>/dev/null || true)
        [ "$status" = installed ] || missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    apt-get update -qq </dev/null || log "apt-get update failed; trying the package lists at hand"
    apt-get install -y -qq "${missing[@]}" </dev/null
}

# Starts a private Xvfb on a free display and exports DISPLAY; MIRETH_XVFB_PID
# names it for mireth_stop_xvfb. The screen holds the main window at 192 DPI
# (on the Wine desktop of 2000 x 1500 that scripts/wine-prefix sets).
mireth_start_xvfb() {
    local numfile waited=0
    numfile=$(mktemp)
    Xvfb -displayfd 3 -screen 0 2048x1536x24 -nolisten tcp -noreset \
        3>"$numfile" </dev/null >/dev/null 2>&1 &
    MIRETH_XVFB_PID=$!
    while [ ! -s "$numfile" ]; do
        if ! kill -0 "$MIRETH_XVFB_PID" 2>/dev/null || [ $waited -ge 100 ]; then
            rm -f "$numfile"
            die "Xvfb did not start"
        fi
        sleep 0.1
        waited=$((waited + 1))
    done
    export DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
    rm -f "$numfile"
}

mireth_stop_xvfb() {
    if [ -n "${MIRETH_XVFB_PID:-}" ]; then
        kill "$MIRETH_XVFB_PID" 2>/dev/null || true
        wait "$MIRETH_XVFB_PID" 2>/dev/null || true
        MIRETH_XVFB_PID=
    fi
}

# Configures the clang tree of fuzz targets (scripts/fuzz, scripts/test fuzz) in
# the folder given; a tree made by another generator or for another clone is
# started afresh.
mireth_configure_fuzz_tree() {
    local dir=$1
    shift
    if [ -f "$dir/CMakeCache.txt" ] && ! {
        grep -qxF 'CMAKE_GENERATOR:INTERNAL=Ninja' "$dir/CMakeCache.txt" &&
            grep -qxF "CMAKE_HOME_DIRECTORY:INTERNAL=$MIRETH_ROOT" "$dir/CMakeCache.txt"
    }; then
        rm -rf "$dir"
    fi
    mkdir -p "$dir"
    cmake -S "$MIRETH_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
        -DMIRETH_FUZZ=ON -DMIRETH_BUILD_TESTS=OFF -DMIRETH_BUILD_BENCH=OFF "$@" >"$dir/configure.log" 2>&1
}
