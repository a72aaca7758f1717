# Shared by run.sh and test.sh: packages, build, Wine and the virtual display.
# Source it; it expects to run from the repository root.

PACKAGES=(cmake make mingw-w64 g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix
          wine wine64 xvfb xauth x11-utils imagemagick googletest locales fonts-nanum)

log() { echo "== $*" >&2; }

# Wine's virtual desktop with a taskbar and a notification area: Wine gives the
# desktop named "shell" its shell. run.sh and the whole-program tests use it.
PINOVA_DESKTOP=shell
PINOVA_DESKTOP_SIZE=1280x800

as_root() { if [ "$(id -u)" = 0 ]; then "$@"; else sudo "$@"; fi; }

install_packages() {
    local missing=()
    for p in "${PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    if [ ${#missing[@]} -gt 0 ]; then
        log "installing: ${missing[*]}"
        as_root apt-get update -qq
        DEBIAN_FRONTEND=noninteractive as_root apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
    fi
    # Wine takes its ANSI code page from the locale: 1252 from en_US, 949 from ko_KR.
    local need_gen=0
    for l in en_US.UTF-8 ko_KR.UTF-8; do
        if ! locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}"; then
            as_root sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
            need_gen=1
        fi
    done
    if [ $need_gen = 1 ]; then as_root locale-gen >/dev/null; fi
}

build() {
    log "building"
    # ccache, where a developer has it, makes rebuilds in several work trees cheap.
    local launcher=()
    if command -v ccache >/dev/null; then
        # Paths below the work tree count as relative, so work trees share hits.
        export CCACHE_BASEDIR="$PWD"
        launcher=(-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
    fi
    cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake -DCMAKE_BUILD_TYPE=Release \
        "${launcher[@]}" >/dev/null
    cmake --build build -j "$(nproc)"
}

# A Wine prefix made once and kept: unmanaged windows, the shell desktop's size.
make_prefix() {
    local changed=0
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "creating the Wine prefix"
        wine64 wineboot -i >/dev/null 2>&1 || true
        # Unmanaged windows: with no window manager on the virtual display, Wine
        # would otherwise wait two seconds for every window it hides.
        wine64 reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
        changed=1
    fi
    if [ ! -f "$WINEPREFIX/.pinova-desktop" ]; then
        # The size of the virtual desktop a program gets when it is started on it
        # by name (the whole-program tests start Pinova that way).
        wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v "$PINOVA_DESKTOP" \
            /d "$PINOVA_DESKTOP_SIZE" /f >/dev/null 2>&1 && touch "$WINEPREFIX/.pinova-desktop"
        changed=1
    fi
    if [ $changed = 1 ]; then
        # The server those steps started ends with its last process, and while it
        # runs "wineserver -p" does nothing. Left alone, it would end some time
        # into the tests; every test after that would start Wine's services anew,
        # which keep ctest's output pipe open, and ctest waits for them (about
        # 20 s a test program). So end it now and wait for it.
        wine64 wineboot -s >/dev/null 2>&1 || true
        wineserver -w
    fi
}

# The prefix's server kept running and its services started (see setup_wine).
serve_prefix() {
    # One server for every Wine process of this run: starting Wine is then cheap.
    wineserver -p >/dev/null 2>&1 || true
    # Start Wine's services now, with their output going nowhere: started by the
    # first test instead, they would hold ctest's output pipe open and ctest would
    # wait for them until its time-out.
    wine64 wineboot >/dev/null 2>&1 || true
}

# Wine: a prefix of the project's own, never offering downloads, quiet. With
# "with-peer" (the tests) a second one, the other computer of the tests that sync
# two program folders, is made beside it once and then reused; its server runs
# alongside.
wine_environment() {
    export PATH="/usr/lib/wine:$PATH"
    export WINEARCH=win64
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    if [ "${1:-}" = with-peer ]; then
        export PINOVA_PEER_PREFIX="$PWD/build/wineprefix-peer"
    fi
    export WINEPREFIX="$PWD/build/wineprefix"
}

# The prefixes that are missing, made side by side (each has a server of its own).
make_prefixes() {
    mkdir -p build
    local peer=
    if [ -n "${PINOVA_PEER_PREFIX:-}" ]; then
        (WINEPREFIX="$PINOVA_PEER_PREFIX" make_prefix) &
        peer=$!
    fi
    local status=0
    make_prefix || status=1
    if [ -n "$peer" ]; then wait "$peer" || status=1; fi
    return $status
}

serve_prefixes() {
    if [ -n "${PINOVA_PEER_PREFIX:-}" ]; then (export WINEPREFIX="$PINOVA_PEER_PREFIX"; serve_prefix); fi
    serve_prefix
}

setup_wine() {
    wine_environment "$@"
    make_prefixes
    serve_prefixes
}

stop_wine() {
    wineserver -k >/dev/null 2>&1 || true
    if [ -n "${PINOVA_PEER_PREFIX:-}" ]; then WINEPREFIX="$PINOVA_PEER_PREFIX" wineserver -k >/dev/null 2>&1 || true; fi
}

# Starts Xvfb when there is no display.
XVFB_PID=
start_display() {
    if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then return; fi
    local n=99
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    export DISPLAY=":$n"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return; sleep 0.1; done
    log "Xvfb did not start"; return 1
}

stop_display() { if [ -n "$XVFB_PID" ]; then kill "$XVFB_PID" 2>/dev/null || true; fi; }

# Everything both commands need before Wine runs the program: packages, a build,
# a display and a Wine server ("with-peer": the tests' second one too). A new
# prefix takes a minute and needs no build, so it is made while the build runs.
prepare() {
    install_packages
    start_display
    wine_environment "$@"
    make_prefixes &
    local prefixes=$!
    local built=0
    build || built=$?
    wait "$prefixes" || log "a Wine prefix could not be made"
    [ "$built" = 0 ] || return "$built"
    serve_prefixes
}
