#!/usr/bin/env bash
# Opens the same files in tessary.exe (under Wine) and in SciTE, one at a
# time on one private display, and prints one table, each figure the median
# of three launches taken in turns (bench/peer/measure.py takes them):
#
# - launch to idle by two rules, measured on the process's CPU time from
#   /proc: the quiet rule (idle from the last CPU use after which it used
#   none for 0.5 s) and the slow rule (idle from a moment its CPU time grew
#   after which it grew by less than 30 ms in the next second, since a
#   blinking caret may keep "none at all" from coming); neither before the
#   editor's window shows;
# - the open cost by each rule: launch to idle on the file less launch to
#   idle on a 3-byte file, medians of the same run;
# - peak resident memory (VmHWM) once idle;
# - the time to first screen: launch to the first picture of the window
#   (xwd, every 0.1 s) from which on the text area shows what it shows once
#   the open is done, the caret aside;
# - the first keystrokes: after the open, a letter typed at the start, then
#   Ctrl+End and a letter typed at the end (xdotool), each as the CPU the
#   process used from the key until quiet again (0.5 s without CPU). A key
#   that changed nothing on screen counts as lost and gives no figure.
#
# Not part of ./test: it installs SciTE (and xwd) when missing and writes
# about 1.3 GB of sample files.
#
#   bench/peer/compare.sh [--quick]    (--quick leaves out the 1 GB file)
#
# With TESSARY_BEFORE_EXE naming another tessary.exe (an earlier build), its
# figures come first, measured in the same run.
set -eu
cd "$(dirname "$0")/../.."
# shellcheck source=tools/setup.sh
. tools/setup.sh

install_peer() {
    tessary_install_deps
    command -v scite >/dev/null && command -v xwd >/dev/null && return
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq scite x11-apps >/dev/null
}

build_tessary() {
    if [ ! -f "$B/win/build.ninja" ]; then
        cmake -S . -B "$B/win" -G Ninja -DCMAKE_BUILD_TYPE=Release \
            -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake >/dev/null
    fi
    cmake --build "$B/win" --target tessary >/dev/null
}

# Ends SciTE processes of ours still showing a sample of this run's folder
# (one left by an interrupted run); Wine's are ended with the prefix.
end_leftovers() {
    local pid
    for pid in $(pgrep -u "$(id -u)" -f "^scite .*$work/" || true); do
        kill "$pid" 2>/dev/null || true
    done
    tessary_wine_stop
    rm -rf "${runs:-}"
}

B="${TESSARY_BUILD:-build}"
quick=${1:-}
install_peer
build_tessary
exe="$PWD/$B/win/tessary.exe"
work="$PWD/$B/peer"
mkdir -p "$work"
python3 bench/peer/make_samples.py "$work" "$quick"

tessary_wine_start "$PWD/$B/wineprefix"
trap end_leftovers EXIT
trap 'exit 130' INT TERM
# A fresh settings key each run, so earlier runs cannot change the layout.
wine reg delete 'HKCU\Software\Orvanel\Tessary' /f >/dev/null 2>&1 || true

kinds=(t s)
[ -n "${TESSARY_BEFORE_EXE:-}" ] && kinds=(b t s)

# One launch of one editor ("b" the earlier build, "t" this one, "s" SciTE)
# on a file, printing measure.py's figures. The patterns name this build's
# paths, so that no other editor on the machine is measured or ended.
launch() { # kind, file, options (--keys, then SciTE's)...
    local kind=$1 file=$2 keys=()
    shift 2
    [ "${1:-}" = --keys ] && keys=(--keys) && shift
    # Typing leaves recovery journals, whose question would stop the next
    # start-up.
    rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tessary/Recovery
    case $kind in
    b) python3 bench/peer/measure.py launch "${keys[@]}" "^[^ ]*${TESSARY_BEFORE_EXE//./\\.}" \
        wine "$TESSARY_BEFORE_EXE" "$(winepath -w "$file")" ;;
    t) python3 bench/peer/measure.py launch "${keys[@]}" "^[^ ]*${exe//./\\.}" \
        wine "$exe" "$(winepath -w "$file")" ;;
    s) python3 bench/peer/measure.py launch "${keys[@]}" "^scite .*${file//./\\.}" \
        scite "$@" "$file" ;;
    esac
}

# The rows of one file: three rounds, each launching every editor once in
# turn, so that a machine whose speed drifts during the run weighs on all of
# them alike. The launches' figures go to $runs/FILE/KIND.
rows() { # label, file, options (--keys, then SciTE's)...
    local label=$1 file=$2 folder
    shift 2
    folder="$runs/$(basename "$file")"
    mkdir -p "$folder"
    for _ in 1 2 3; do
        # The first Wine launch after SciTE's takes about 0.25 s longer, on
        # the tiny file too; an unmeasured one takes that.
        launch t "$work/tiny.txt" >/dev/null
        for k in "${kinds[@]}"; do
            launch "$k" "$file" "$@" >>"$folder/$k"
        done
    done
    python3 bench/peer/measure.py row "$label" "$runs/tiny.txt" "$folder" "${kinds[@]}" 2>>"$runs/doubts"
}

runs=$(mktemp -d)
echo "Wine $(wine --version | sed 's/^wine-//'), SciTE $(dpkg-query -W -f '${Version}' scite)," \
    "$(nproc) cores, $(sed -n 's/^PRETTY_NAME="\(.*\)"/\1/p' /etc/os-release), load $(cut -d' ' -f1-3 /proc/loadavg)"
echo
python3 bench/peer/measure.py header "${kinds[@]}"
rows "3-byte file (start-up alone)" "$work/tiny.txt" --keys
rows "100 MB, 2.4 M lines" "$work/100mb.txt" --keys
[ "$quick" != --quick ] && rows "1 GB, 24 M lines" "$work/1gb.txt" --keys
rows "100 MB on one line, word wrap on" "$work/oneline.txt" --keys -wrap=1
echo
echo "Load at the end: $(cut -d' ' -f1-3 /proc/loadavg)"
if [ -s "$runs/doubts" ]; then
    echo "Doubtful:"
    sed 's/^/- /' "$runs/doubts"
fi
