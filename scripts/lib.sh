# Shared by scripts/test and scripts/run: installing what is missing, the
# Wine prefix, and the X server. Sourced, not run.

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BRASK_BUILD:-$ROOT/build}
# A build folder other than the default leaves its program files and zips in
# a dist/ of its own, so that builds side by side do not share one.
DIST=$ROOT/dist
[ "$BUILD" != "$ROOT/build" ] && DIST=$BUILD/dist

PACKAGES=(cmake make g++ clang libclang-rt-14-dev googletest libbenchmark-dev
          g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine32:i386 wine64 fonts-wine
          xvfb x11-utils xdotool imagemagick)

log() { printf '== %s\n' "$*"; }

# Whether this machine runs 32-bit x86 code. Some virtual machines run only
# 64-bit user code: there neither Wine's 32-bit loader nor any 32-bit Windows
# program can start, brask2.exe included.
host_runs_32bit() {
    [ -z "${BRASK_FORCE_WIN64:-}" ] && /lib/ld-linux.so.2 --version >/dev/null 2>&1
}

# The Windows build that runs on this machine: win32, the program users get;
# win64, the same sources built for 64-bit Windows, where no 32-bit code runs.
# Set by choose_windows_preset, after install_missing.
WINDOWS_PRESET=win32
choose_windows_preset() {
    if host_runs_32bit; then
        WINDOWS_PRESET=win32
    else
        WINDOWS_PRESET=win64
        log "this machine runs no 32-bit code: the Windows program runs as its 64-bit build"
        use_wine64_loader
    fi
}

# Debian's wine and its helpers (wineboot, winepath, ...) start the 32-bit
# loader whenever it is installed, and it cannot start here: they are pointed
# at the 64-bit one, for this script and every program it starts.
use_wine64_loader() {
    local shims=$BUILD/wine64-loader name
    mkdir -p "$shims"
    for name in wine wine-stable; do
        printf '#!/bin/sh
export WINELOADER=/usr/lib/wine/wine64
exec /usr/lib/wine/wine64 "$@"
' \
            >"$shims/$name"
        chmod +x "$shims/$name"
    done
    case ":$PATH:" in *":$shims:"*) ;; *) export PATH="$shims:$PATH" ;; esac
}

package_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'ok installed'
}

install_missing() {
    local missing=() p
    for p in "${PACKAGES[@]}"; do
        package_installed "$p" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing: ${missing[*]}"
    if [ "$(id -u)" != 0 ]; then
        echo "missing packages and not root: ${missing[*]}" >&2
        return 1
    fi
    dpkg --print-foreign-architectures | grep -qx i386 || dpkg --add-architecture i386
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq || return 1
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null || return 1
}

# cmake configure of one preset into $BUILD/<preset>, once.
configure_preset() {
    local preset=$1; shift
    local dir=$BUILD/$preset
    # dist/ holds the program users get; the 64-bit build keeps its own.
    local dist=$DIST
    [ "$preset" = win64 ] && dist=$dir/dist
    if [ ! -f "$dir/CMakeCache.txt" ]; then
        cmake --preset "$preset" -B "$dir" -DBRASK_DIST_DIR="$dist" "$@" >/dev/null || return 1
    fi
}

# Configure and build one preset; with --target, only that target.
build_preset() {
    local preset=$1; shift
    configure_preset "$preset" || return 1
    cmake --build "$BUILD/$preset" -j"$(nproc)" "$@" 2>&1 | grep -E 'error:|Error [0-9]|warning:'
    test "${PIPESTATUS[0]}" -eq 0
}

# An X server of our own on a free display; sets DISPLAY and XVFB_PID.
start_xvfb() {
    local d
    for d in $(seq 90 189); do
        [ -e "/tmp/.X$d-lock" ] || [ -e "/tmp/.X11-unix/X$d" ] && continue
        Xvfb ":$d" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
        XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$d" ] && break
            kill -0 "$XVFB_PID" 2>/dev/null || break
            sleep 0.05
        done
        if [ -e "/tmp/.X11-unix/X$d" ] && kill -0 "$XVFB_PID" 2>/dev/null; then
            export DISPLAY=":$d"
            return 0
        fi
        kill "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    done
    echo "no free X display" >&2
    return 1
}

stop_xvfb() {
    if [ -n "${XVFB_PID:-}" ]; then
        kill "$XVFB_PID" 2>/dev/null
        wait "$XVFB_PID" 2>/dev/null
        XVFB_PID=
    fi
}

# The folder where the build of WINDOWS_PRESET leaves brask2.exe.
windows_dist() {
    sed -n 's/^BRASK_DIST_DIR:PATH=//p' "$BUILD/$WINDOWS_PRESET/CMakeCache.txt"
}

# A Wine prefix under $BUILD with the fonts and one virtual desktop: 32-bit
# for the win32 build (32-bit Windows), 64-bit for the win64 one.
# BRASK_WINEARCH=win64 runs the win32 build in a 64-bit prefix, as on 64-bit
# Windows, where its victim of the other bitness runs too; that needs a
# machine that runs 32-bit code.
prepare_wine_prefix() {
    local arch=${BRASK_WINEARCH:-win32} name=wineprefix
    [ "$WINDOWS_PRESET" = win64 ] && arch=win64
    [ "$arch" = win64 ] && name=wineprefix64
    export WINEPREFIX=${WINEPREFIX:-$BUILD/$name}
    export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    [ -f "$WINEPREFIX/.tarnwick-ready" ] && { reset_wine_dpi; return 0; }
    log "creating the Wine prefix $WINEPREFIX"
    rm -rf "$WINEPREFIX"
    WINEARCH=$arch wineboot --init </dev/null >/dev/null 2>&1 || return 1
    wineserver -w
    cp /usr/share/wine/fonts/* "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null
    wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
    wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x700 /f >/dev/null 2>&1
    wineserver -w
    touch "$WINEPREFIX/.tarnwick-ready"
}

# The scale of the prefix's programs: HKCU\Control Panel\Desktop LogPixels
# (96 = 100%, 144 = 150%, 192 = 200%). Wine reads it when its server starts, so
# the server is stopped: the next start_wine takes the new scale.
set_wine_dpi() {
    stop_wine
    wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null
    wineserver -w
}

# Tests and scripts/run expect 100% unless they set another scale; a run that
# was stopped at another one leaves it behind.
reset_wine_dpi() {
    if grep -a '"LogPixels"=' "$WINEPREFIX/user.reg" 2>/dev/null | grep -qv 'dword:00000060'; then
        log "setting the Wine prefix back to 96 DPI"
        set_wine_dpi 96
    fi
}

# (Test programs under Wine write their reports to Z: paths; a bare Unix path
# is not created.)
# Keeps the wine server up between programs and starts Wine's own services
# detached from our pipes, so that a reader of a test's output does not wait
# for them.
start_wine() {
    wineserver -p
    wine wineboot </dev/null >/dev/null 2>&1
}

stop_wine() {
    [ -n "${WINEPREFIX:-}" ] && wineserver -k 2>/dev/null
}
