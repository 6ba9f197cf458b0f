# Shared by ./run and ./test: installs what a fresh Debian 12 machine lacks
# and starts the private X display and Wine session the Windows build runs in.

TESSARY_PACKAGES="cmake ninja-build g++ clang googletest libbenchmark-dev
    libclang-rt-14-dev g++-mingw-w64-x86-64-posix wine wine64 fonts-wine xvfb imagemagick
    xdotool x11-utils python3 clang-format unicode-data fonts-wqy-microhei
    fonts-dejavu-core fonts-liberation"

tessary_install_deps() {
    local missing=()
    for p in $TESSARY_PACKAGES; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq || return 1
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq \
        "${missing[@]}" >/dev/null || return 1
}

# Starts Xvfb on a free display (unless keep_display is set and $DISPLAY
# works), a private Wine prefix in $1 and a persistent wineserver. The
# screen is 1600x1000 unless TESSARY_SCREEN says otherwise (WIDTHxHEIGHT).
tessary_wine_start() {
    export WINEPREFIX="$1"
    export WINEDEBUG=-all
    export WINEDLLOVERRIDES="mscoree,mshtml="
    TESSARY_XVFB_PID=""
    if [ -z "${keep_display:-}" ] || [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
        local fdfile
        fdfile=$(mktemp)
        Xvfb -displayfd 3 -screen 0 "${TESSARY_SCREEN:-1600x1000}x24" -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
        TESSARY_XVFB_PID=$!
        for _ in $(seq 100); do
            [ -s "$fdfile" ] && break
            sleep 0.1
        done
        export DISPLAY=":$(head -n1 "$fdfile")"
        rm -f "$fdfile"
    fi
    mkdir -p "$WINEPREFIX"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        wineboot -i >/dev/null 2>&1
        # Without a window manager, let Wine draw title bars and borders itself.
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1
        wineserver -w
    fi
    # Wine draws caption buttons, menu check marks and scroll-bar arrows
    # with the Marlett symbol font; Debian ships it in fonts-wine, but a new
    # prefix does not get it, and the buttons show as the letters "0 1 r".
    local fonts="$WINEPREFIX/drive_c/windows/Fonts"
    [ -e "$fonts/marlett.ttf" ] || ln -s /usr/share/wine/fonts/marlett.ttf "$fonts/"
    wineserver -p
    # The first program starts Wine's own background processes; start them
    # here so they do not inherit (and hold open) a test runner's pipes.
    wine cmd.exe /c exit </dev/null >/dev/null 2>&1
}

tessary_wine_stop() {
    wineserver -k >/dev/null 2>&1
    [ -n "${TESSARY_XVFB_PID:-}" ] && kill "$TESSARY_XVFB_PID" 2>/dev/null
    TESSARY_XVFB_PID=""
}
