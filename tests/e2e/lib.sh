# The user's actions and the checks of the end-to-end scenarios. Each
# scenario runs in its own subshell with the working folder $WORK (fresh and
# empty), the program $EXE and the log on stdout; a helper that sees the
# program misbehave ends the scenario with `fail`.

E2E_KEY='HKCU\Software\Orvanel\Tessary'
E2E_TIMEOUT=${E2E_TIMEOUT:-30} # seconds any single wait may take
E2E_PIDS=()                    # processes the scenario started

fail() {
    echo "FAILED: $*"
    exit 1
}

# Logs a line with the seconds since the scenario began.
say() {
    local now=${EPOCHREALTIME/./}
    printf '%8.3f %s\n' "$(((now - E2E_BEGAN) / 1000))e-3" "$*"
}
E2E_BEGAN=${EPOCHREALTIME/./}

# --- files -----------------------------------------------------------------

# make_file NAME FORMAT [ARGS...]: writes printf's output into $WORK/NAME.
make_file() {
    local name=$1
    shift
    # shellcheck disable=SC2059
    printf "$@" >"$WORK/$name"
    say "file $name: $(wc -c <"$WORK/$name") bytes"
}

read_only() { chmod a-w "$WORK/$1"; }

# make_large_file NAME MEGABYTES: numbered LF lines, and NAME.expected: the
# same with "END" typed at its end.
make_large_file() {
    local lines=$(($2 * 1024 * 1024 / 64))
    seq -f '%062.0f' 1 "$lines" >"$WORK/$1"
    cp "$WORK/$1" "$WORK/$1.expected"
    printf 'END' >>"$WORK/$1.expected"
    say "file $1: $(wc -c <"$WORK/$1") bytes"
}

# The Windows path of a file: Wine's drive Z: is the Unix root.
winpath() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}

# expect_file NAME FORMAT [ARGS...]: the file holds exactly these bytes; a
# save that has no visible sign is given time to land.
expect_file() {
    local name=$1
    shift
    # shellcheck disable=SC2059
    printf "$@" >"$WORK/.expected"
    expect_same "$name" "$WORK/.expected"
}

# expect_same NAME OTHER: the file holds exactly the bytes of the file OTHER.
expect_same() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until cmp -s "$WORK/$1" "$2"; do
        if [ $SECONDS -ge $deadline ]; then
            echo "$1 holds:"
            od -A d -c "$WORK/$1" 2>&1 | head -n 8
            echo "expected:"
            od -A d -c "$2" | head -n 8
            fail "$1 does not hold the expected bytes"
        fi
        sleep 0.1
    done
    say "ok: $1 holds the expected $(wc -c <"$2") bytes"
}

# wait_for_overwrite NAME: waits until a save writes over the file in
# place: its backup is complete and the file's first bytes are new.
wait_for_overwrite() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) first
    first=$(head -c 64 "$WORK/$1" | od -A n -t x1)
    until compgen -G "$WORK/$1.~tessary-*.bak" >/dev/null &&
        [ "$(head -c 64 "$WORK/$1" | od -A n -t x1)" != "$first" ]; do
        [ $SECONDS -ge $deadline ] && fail "no save writes over $1"
        sleep 0.02
    done
    say "ok: $1 is being written over, its backup complete"
}

# expect_differs NAME OTHER: the file does not hold the bytes of OTHER.
expect_differs() {
    cmp -s "$WORK/$1" "$2" && fail "$1 holds the same bytes as $2"
    say "ok: $1 differs from $2"
}

# expect_no_backup NAME: no backup of the file is left beside it, once the
# program has had time to clear it away.
expect_no_backup() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while compgen -G "$WORK/$1.~tessary-*.bak" >/dev/null; do
        [ $SECONDS -ge $deadline ] && fail "a backup of $1 is left"
        sleep 0.1
    done
    say "ok: no backup of $1 is left"
}

# --- the program -----------------------------------------------------------

# start [ARGS...]: starts tessary.exe in $WORK with these arguments, as a
# shell would. The process is not a child of the scenario, so it is seen
# to end as soon as it ends.
start() {
    say "start tessary.exe $*"
    local pid
    pid=$(cd "$WORK" && sh -c 'wine "$@" </dev/null >>"$LOG" 2>&1 9>&- & echo $!' sh "$EXE" "$@")
    E2E_PIDS+=("$pid")
    APP=$pid
}

# start_showing_texts [ARGS...]: as start, with Wine tracing every text the
# program's windows and its status bar get, so that a message box or the
# status bar can be read (a box's caption is its X title, but no text inside
# a window is visible to X).
start_showing_texts() {
    say "start tessary.exe $* (window texts traced)"
    local pid
    pid=$(cd "$WORK" && WINEDEBUG=-all,+win,+statusbar sh -c \
        'wine "$@" </dev/null >/dev/null 2>"$WORK/.texts" 9>&- & echo $!' sh "$EXE" "$@")
    E2E_PIDS+=("$pid")
    APP=$pid
}

# expect_trace LINE WHAT: the trace of the program started with
# start_showing_texts holds LINE; WHAT names the text it tells of in the log.
expect_trace() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until grep -qaF "$1" "$WORK/.texts"; do
        [ $SECONDS -ge $deadline ] && fail "no window shows $2"
        sleep 0.1
    done
    say "ok: a window shows $2"
}

# expect_traced_text START WHAT: a window of the program started with
# start_showing_texts got a text whose trace begins with START (a whole
# text with its closing quote, or how one begins); WHAT names it in the log.
expect_traced_text() { expect_trace "set_window_text L\"$1" "$2"; }

# expect_text TEXT: a window of the program started with
# start_showing_texts got exactly this text.
expect_text() { expect_traced_text "$1\"" "the text '$1'"; }

# expect_text_beginning TEXT: as expect_text, for a text that begins so
# (one that goes on with a path the scenario cannot know, for example).
expect_text_beginning() { expect_traced_text "$1" "a text beginning '$1'"; }

# expect_status PART TEXT: the status bar's part PART (0 to 3) of a program
# started with start_showing_texts shows exactly TEXT, the last text it got.
expect_status() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) last=""
    until [ "$last" = "part $1, text L\"$2\"" ]; do
        [ $SECONDS -ge $deadline ] && fail "the status bar shows ${last:-nothing}, not '$2'"
        sleep 0.1
        last=$(grep -ao "part $1, text L\".*\"\$" "$WORK/.texts" | tail -n 1)
    done
    say "ok: the status bar shows '$2'"
}

# expect_status_shown PART START: the status bar's part PART of a program
# started with start_showing_texts got, at some time, a text beginning
# with START.
expect_status_shown() { expect_trace "part $1, text L\"$2" "'$2' in the status bar"; }

# expect_exit: the process started last ends.
expect_exit() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while kill -0 "$APP" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && fail "the program did not end"
        sleep 0.1
    done
    say "ok: the program ended"
}

# crash: ends the process started last at once, as a crash or a power loss
# would: no window closes and nothing is asked.
crash() {
    kill -9 "$APP" || fail "process $APP cannot be ended"
    expect_exit
}

# expect_running: the process started last is still there.
expect_running() {
    kill -0 "$APP" 2>/dev/null || fail "the program ended"
    say "ok: the program still runs"
}

# Ends what the scenario left running: its own processes and any other
# editor process whose window is still open (a second instance).
stop_all() {
    local id pid pids
    for id in $(xdotool search --name ' - Tessary$' 2>/dev/null); do
        pid=$(xdotool getwindowpid "$id" 2>/dev/null) && E2E_PIDS+=("$pid")
    done
    mapfile -t pids < <(printf '%s\n' "${E2E_PIDS[@]}" | sort -u)
    for pid in "${pids[@]}"; do
        kill "$pid" 2>/dev/null && say "ended process $pid"
    done
    for pid in "${pids[@]}"; do
        for _ in $(seq 50); do
            kill -0 "$pid" 2>/dev/null || break
            sleep 0.1
        done
        kill -9 "$pid" 2>/dev/null
    done
    return 0
}

# expect_other_process: the focused window belongs to a process other than
# the one started last, which stays the one later checks concern.
expect_other_process() {
    local pid
    pid=$(xdotool getwindowpid "$WINDOW") || fail "window $WINDOW names no process"
    [ "$pid" != "$APP" ] || fail "the window belongs to the first process"
    kill -0 "$pid" 2>/dev/null || fail "process $pid is not running"
    E2E_PIDS+=("$pid")
    say "ok: the window belongs to process $pid, the first is $APP"
}

# --- windows and keys ------------------------------------------------------

# Prints the ids of the visible windows titled exactly TITLE.
windows_titled() {
    local pattern id
    pattern=$(printf '%s' "$1" | sed 's/[][\.*^$+?(){}|]/\\&/g')
    for id in $(xdotool search --onlyvisible --name "^$pattern\$" 2>/dev/null); do
        [ "$(xdotool getwindowname "$id" 2>/dev/null)" = "$1" ] && echo "$id"
    done
}

# window TITLE: waits for a window titled exactly TITLE and gives it the
# keyboard focus, which without a window manager no window gets by itself.
window() {
    focus_titled "$1" ""
}

# next_window TITLE: as window, for a window titled TITLE other than the one
# the last `window` found: the next of two message boxes with one caption.
next_window() {
    focus_titled "$1" "$WINDOW"
}

# focus_titled TITLE OTHER: the first window titled TITLE that is not OTHER.
focus_titled() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) id=""
    while [ -z "$id" ]; do
        [ $SECONDS -ge $deadline ] && fail "no window titled '$1'"
        id=$(windows_titled "$1" | grep -vx "${2:-none}" | head -n 1)
        [ -z "$id" ] && sleep 0.1
    done
    until timeout 2 xdotool windowfocus --sync "$id" 2>/dev/null; do
        [ $SECONDS -ge $deadline ] && fail "window '$1' does not take the focus"
        sleep 0.1
    done
    WINDOW=$id
    say "window '$1'"
}

# click_title TITLE: raises the window titled exactly TITLE and clicks its
# caption, as a person switches to a window that Wine did not activate
# itself (another process's, or a dialog left behind its owner); the X
# focus alone does not make Wine deliver keys there.
click_title() {
    window "$1"
    xdotool windowraise "$WINDOW"
    xdotool mousemove --window "$WINDOW" 120 8 click 1
    say "clicked the caption of '$1'"
}

# expect_title TITLE: waits for a window titled exactly TITLE, leaving the
# focus where it is.
expect_title() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    until [ -n "$(windows_titled "$1")" ]; do
        [ $SECONDS -ge $deadline ] && fail "no window titled '$1'"
        sleep 0.1
    done
    say "ok: window '$1'"
}

# gone TITLE: waits until no window is titled exactly TITLE.
gone() {
    local deadline=$((SECONDS + E2E_TIMEOUT))
    while [ -n "$(windows_titled "$1")" ]; do
        [ $SECONDS -ge $deadline ] && fail "window '$1' stays open"
        sleep 0.1
    done
    say "gone: '$1'"
}

# press KEY...: presses keys (xdotool names: ctrl+s, alt+f, Return, F3).
press() {
    say "key $*"
    xdotool key --delay 30 "$@"
}

# type_in TEXT: types the text character by character.
type_in() {
    say "type '$1'"
    xdotool type --delay 20 "$1"
}

# open_file NAME: File > Open with the file's full path typed into the dialog.
open_file() {
    press ctrl+o
    window "Open"
    type_in "$(winpath "$WORK/$1")"
    press Return
    window "$1 - Tessary"
}

# --- registry and the program's own files -----------------------------------

reset_registry() {
    wine reg delete "$E2E_KEY" /f >/dev/null 2>&1
    return 0
}

# Deletes the recovery journals that an ended scenario's program left.
reset_recovery() {
    rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tessary/Recovery
}

# expect_private_journals: there are recovery journals, and no one but
# their owner may write them or anyone else read them.
expect_private_journals() {
    local folder journal count=0
    for folder in "$WINEPREFIX"/drive_c/users/*/AppData/Local/Tessary/Recovery; do
        for journal in "$folder"/*.tsj; do
            [ -e "$journal" ] || continue
            count=$((count + 1))
            [ $((0$(stat -c %a "$journal") & 027)) -eq 0 ] ||
                fail "journal $journal has mode $(stat -c %a "$journal")"
        done
    done
    [ $count -gt 0 ] || fail "no recovery journal"
    say "ok: $count journals, mode $(stat -c %a "$journal")"
}

# Prints a value as Wine's reg tool shows it: its type and data.
reg_value() {
    wine reg query "$E2E_KEY" /v "$1" 2>/dev/null | tr -d '\r' |
        awk -v n="$1" '$1 == n { print $2, $3 }'
}

# expect_reg NAME TYPE DATA: the value becomes this, for example
# `expect_reg ShowStatusBar REG_DWORD 0x0`; a command writes it at once,
# but the command may still be on its way.
expect_reg() {
    local deadline=$((SECONDS + E2E_TIMEOUT)) value
    until value=$(reg_value "$1") && [ "$value" = "$2 $3" ]; do
        [ $SECONDS -ge $deadline ] && fail "registry $1 is '$value', expected '$2 $3'"
        sleep 0.2
    done
    say "ok: registry $1 = $2 $3"
}
