#!/usr/bin/env bash
# Runs the end-to-end scenarios: the real tessary.exe under Wine, driven
# from outside as a person would (keys, the command line, files, the
# registry). Prints one line per scenario, "PASS name" or "FAIL name", and
# exits non-zero when any failed. A failed scenario leaves its log and a
# screenshot side by side in BUILD/e2e/.
#
#   tests/e2e/run.sh [BUILD [SCENARIO...]]
#
# BUILD defaults to $TESSARY_BUILD or build and must hold the Windows build
# in BUILD/win, or TESSARY_EXE names the tessary.exe to drive (one unzipped
# from a release archive, say). Inside ./test the scenarios use the Wine
# session it started; run alone, the script starts its own on a private
# display.
set -u
cd "$(dirname "$0")/../.."
. tools/setup.sh
B=$(realpath -m "${1:-${TESSARY_BUILD:-build}}")
shift $(($# > 0 ? 1 : 0))

EXE=$(realpath -m "${TESSARY_EXE:-$B/win/tessary.exe}")
[ -f "$EXE" ] || { echo "FAIL e2e: no $EXE (build the Windows configuration)"; exit 1; }
OUT="$B/e2e"
rm -rf "$OUT"
mkdir -p "$OUT"

if [ "${WINEPREFIX:-}" != "$B/wineprefix" ] || ! xdpyinfo >/dev/null 2>&1; then
    tessary_wine_start "$B/wineprefix"
    trap tessary_wine_stop EXIT
fi

# Wine ends its background processes a moment after the last program ends,
# and the next program then waits seconds for them to start again; a
# console program waiting for input keeps them up between the scenarios.
exec 9> >(exec wine cmd.exe >/dev/null 2>&1)

. tests/e2e/lib.sh
. tests/e2e/scenarios.sh

# Runs one scenario in a subshell with a fresh folder and registry key; on
# failure takes the screenshot before anything is closed.
run_scenario() {
    local name=$1 began=$SECONDS
    export WORK="$OUT/$name" LOG="$OUT/$name.log"
    mkdir -p "$WORK"
    (
        finish() {
            local status=$?
            set +e
            if [ $status -ne 0 ]; then
                import -window root "$OUT/$name.png" 2>/dev/null
                echo "screenshot: $OUT/$name.png"
            fi
            stop_all
            exit $status
        }
        trap finish EXIT
        set -e
        E2E_BEGAN=${EPOCHREALTIME/./}
        reset_registry
        reset_recovery
        "scenario_$name"
    ) >>"$LOG" 2>&1
    local status=$?
    if [ $status -eq 0 ]; then
        echo "PASS $name ($((SECONDS - began)) s)"
        rm -rf "$WORK"
    else
        echo "FAIL $name: $(grep -m1 '^FAILED: ' "$LOG" | cut -c9-) (log and screenshot in $OUT)"
    fi
    return $status
}

[ $# -gt 0 ] && E2E_SCENARIOS=("$@")
failures=0
for name in "${E2E_SCENARIOS[@]}"; do
    run_scenario "$name" || failures=$((failures + 1))
done
reset_registry
exec 9>&-
[ $failures -eq 0 ]
