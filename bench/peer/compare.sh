#!/usr/bin/env bash
# Opens the same files in tessary.exe (under Wine) and in SciTE, side by
# side on a private display, and prints one table: launch to CPU-idle and
# peak resident memory, the median of three runs each (taken in turns), and
# the open cost of each file (its launch time less the start-up on the tiny
# file). Not part of ./test: it installs SciTE when missing and writes about
# 1.3 GB of sample files.
#
#   bench/peer/compare.sh [--quick]    (--quick leaves out the 1 GB file)
#
# With TESSARY_BEFORE_EXE naming another tessary.exe (an earlier build), its
# figures come first, measured in the same run.
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
# A fresh settings key each run, so earlier runs cannot change the layout,
# and no recovery journals, whose question would stop the start-up.
wine reg delete 'HKCU\Software\Orvanel\Tessary' /f >/dev/null 2>&1 || true
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tessary/Recovery

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null || echo -1; }

# Starts a command, finds the editor's process by pattern (Wine's process is
# no child of the launcher; the patterns name this build's paths, so that
# other users' editors on the machine are never measured or ended), and waits until
# it is idle: from a moment when its CPU time grew, it grows by less than
# 30 ms over the next second. A Win32 caret blinks every half second for
# as long as the window shows, and on this virtual machine each wake-up of
# a process with gigabytes resident costs a few milliseconds, so "no growth
# at all" may never come. Prints "seconds peak_kB".
measure() { # pattern, command...
    local pattern=$1
    shift
    local start now pid="" last=-2 ticks
    start=$(date +%s.%N)
    "$@" >/dev/null 2>&1 &
    local launcher=$!
    for _ in $(seq 400); do
        pid=$(pgrep -n -f "$pattern" || true)
        [ -n "$pid" ] && break
        sleep 0.025
    done
    [ -n "$pid" ] || { echo "0 0"; return; }
    # The moments the CPU time grew and the ticks then; the oldest one not
    # yet ruled out is the candidate for the start of idleness.
    local at=("$start") was=(0) k=0 idle_at=$start
    while :; do
        ticks=$(cpu_ticks "$pid")
        now=$(date +%s.%N)
        [ "$ticks" = -1 ] && break
        if [ "$ticks" != "$last" ]; then
            last=$ticks
            at+=("$now")
            was+=("$ticks")
        fi
        while [ "$k" -lt "${#at[@]}" ] &&
            awk -v a="$now" -v b="${at[$k]}" 'BEGIN{exit !(a - b >= 1.0)}'; do
            if [ $((ticks - ${was[$k]})) -lt 3 ] && [ "$k" -gt 0 ]; then
                idle_at=${at[$k]}
                break 2
            fi
            k=$((k + 1))
        done
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

kinds=(t s)
[ -n "${TESSARY_BEFORE_EXE:-}" ] && kinds=(b t s)

# One launch of one editor ("b" the earlier build, "t" this one, "s" SciTE)
# on a file: "seconds peak_kB".
launch() { # kind, file, SciTE's options...
    local kind=$1 file=$2
    shift 2
    case $kind in
    b) measure "^[^ ]*${TESSARY_BEFORE_EXE//./\\.}" wine "$TESSARY_BEFORE_EXE" "$(winepath -w "$file")" ;;
    t) measure "^[^ ]*${exe//./\\.}" wine "$exe" "$(winepath -w "$file")" ;;
    s) measure "^scite .*${file//./\\.}" scite "$@" "$file" ;;
    esac
}

# One row of the table: three rounds, each launching every editor once in
# turn, so that a machine whose speed drifts during the run weighs on all of
# them alike. Each editor's cells are "launch, peak | open cost", the
# medians of its three runs; the open cost is the launch time less the same
# editor's start-up on the tiny file, the first row.
row() { # label, file, SciTE's options...
    local label=$1 file=$2 runs
    shift 2
    runs=$(mktemp -d)
    for _ in 1 2 3; do
        # The first Wine launch after SciTE's takes about 0.25 s longer, on
        # the tiny file too; an unmeasured one takes that.
        launch t "$work/tiny.txt" >/dev/null
        for k in "${kinds[@]}"; do
            launch "$k" "$file" "$@" >>"$runs/$k"
        done
    done
    local line="| $label |" k t m tiny
    for k in "${kinds[@]}"; do
        t=$(cut -d' ' -f1 "$runs/$k" | median3)
        m=$(($(cut -d' ' -f2 "$runs/$k" | median3) / 1024))
        tiny=tiny_$k
        [ -z "${!tiny:-}" ] && printf -v "$tiny" '%s' "$t"
        line+=$(awk -v t="$t" -v m="$m" -v tt="${!tiny}" \
            'BEGIN{printf " %.2f s, %d MB | %.2f s |", t, m, t - tt}')
    done
    rm -r "$runs"
    echo "$line"
}

echo "Wine $(wine --version | sed 's/^wine-//'), SciTE $(dpkg-query -W -f '${Version}' scite)," \
    "$(nproc) cores, $(. /etc/os-release; echo "$PRETTY_NAME")"
echo
if [ -n "${TESSARY_BEFORE_EXE:-}" ]; then
    echo "| File | Tessary before: launch, peak | open cost | Tessary: launch, peak | open cost | SciTE: launch, peak | open cost |"
    echo "|---|---|---|---|---|---|---|"
else
    echo "| File | Tessary: launch, peak | open cost | SciTE: launch, peak | open cost |"
    echo "|---|---|---|---|---|"
fi
row "3-byte file (start-up alone)" "$work/tiny.txt"
row "100 MB, 2.4 M lines" "$work/100mb.txt"
[ "${1:-}" != --quick ] && row "1 GB, 24 M lines" "$work/1gb.txt"
row "100 MB on one line, word wrap on" "$work/oneline.txt" -wrap=1
