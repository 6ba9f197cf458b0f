#!/usr/bin/env bash
# Opens the same files in tessary.exe (under Wine) and in SciTE, side by side
# on a private display, and prints one table: launch to CPU-idle and peak
# resident memory, the median of three runs each, and the open cost of each
# file (its launch time less the start-up on the tiny file). Not part of ./test: it
# installs SciTE when missing and writes about 1.3 GB of sample files.
#
#   bench/peer/compare.sh [--quick]    (--quick leaves out the 1 GB file)
set -eu
cd "$(dirname "$0")/../.."
. tools/setup.sh
tessary_install_deps
command -v scite >/dev/null || {
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq scite >/dev/null
}

B="${TESSARY_BUILD:-build}"
if [ ! -f "$B/win/build.ninja" ]; then
    cmake -S . -B "$B/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
fi
cmake --build "$B/win" --target tessary >/dev/null
exe="$PWD/$B/win/tessary.exe"
work="$PWD/$B/peer"
mkdir -p "$work"
python3 bench/peer/make_samples.py "$work" ${1:-}

tessary_wine_start "$PWD/$B/wineprefix"
trap tessary_wine_stop EXIT
# A fresh settings key each run, so earlier runs cannot change the layout.
wine reg delete 'HKCU\Software\Orvanel\Tessary' /f >/dev/null 2>&1 || true

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo -1; }

# Starts a command, finds the editor's process by pattern (Wine's process is
# no child of the launcher; the patterns name this build's paths, so that
# other users' editors on the machine are never measured or ended), and waits until
# its CPU time has not grown for a second. Prints "seconds peak_kB".
measure() { # pattern, command...
    local pattern=$1
    shift
    local start now pid="" last=-2 ticks quiet_since idle_at
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 &
    local launcher=$!
    for _ in $(seq 400); do
        pid=$(pgrep -n -f "$pattern" || true)
        [ -n "$pid" ] && break
        sleep 0.025
    done
    [ -n "$pid" ] || { echo "0 0"; return; }
    idle_at=$start
    quiet_since=$(date +%s.%N)
    while :; do
        ticks=$(cpu_ticks "$pid")
        now=$(date +%s.%N)
        [ "$ticks" = -1 ] && break
        if [ "$ticks" != "$last" ]; then
            last=$ticks
            idle_at=$now
            quiet_since=$now
        elif awk -v a="$now" -v b="$quiet_since" 'BEGIN{exit !(a - b >= 1.0)}'; then
            break
        fi
        sleep 0.02
    done
    local peak
    peak=$(awk '/VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
    kill "$pid" 2>/dev/null || true
    wait "$launcher" 2>/dev/null || true
    sleep 0.5
    awk -v a="$idle_at" -v b="$start" -v p="$peak" 'BEGIN{printf "%.2f %d\n", a - b, p}'
}

median3() { sort -n | sed -n 2p; }

# Launch time and peak memory (MB) of one editor on one file, each the
# median of three runs: "seconds MB".
median_run() { # pattern, command...
    local t=() m=() a b
    for _ in 1 2 3; do
        read -r a b < <(measure "$@")
        t+=("$a"); m+=("$b")
    done
    echo "$(printf '%s\n' "${t[@]}" | median3) $(( $(printf '%s\n' "${m[@]}" | median3) / 1024 ))"
}

# The open cost is the launch time less the same editor's start-up on the
# tiny file.
row() { # label, file, SciTE's options...
    local label=$1 file=$2
    shift 2
    read -r t mt < <(median_run "^[^ ]*${exe//./\\.}" wine "$exe" "$(winepath -w "$file")")
    read -r s ms < <(median_run "^scite .*${file//./\\.}" scite "$@" "$file")
    [ -z "${tiny_t:-}" ] && { tiny_t=$t; tiny_s=$s; }
    awk -v l="$label" -v t="$t" -v mt="$mt" -v s="$s" -v ms="$ms" -v tt="$tiny_t" -v ts="$tiny_s" \
        'BEGIN{printf "| %s | %.2f s, %d MB | %.2f s | %.2f s, %d MB | %.2f s |\n", l, t, mt, t - tt, s, ms, s - ts}'
}

echo "Wine $(wine --version | sed 's/^wine-//'), SciTE $(dpkg-query -W -f '${Version}' scite)," \
    "$(nproc) cores, $(. /etc/os-release; echo "$PRETTY_NAME")"
echo
echo "| File | Tessary: launch, peak | open cost | SciTE: launch, peak | open cost |"
echo "|---|---|---|---|---|"
row "3-byte file (start-up alone)" "$work/tiny.txt"
row "100 MB, 2.4 M lines" "$work/100mb.txt"
[ -f "$work/1gb.txt" ] && row "1 GB, 24 M lines" "$work/1gb.txt"
row "100 MB on one line, word wrap on" "$work/oneline.txt" -wrap=1
