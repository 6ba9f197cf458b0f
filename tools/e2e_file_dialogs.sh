#!/usr/bin/env bash
# Drives the real Open and Save As dialogs of tessary.exe from the keyboard,
# as a user would, on a private Xvfb display: opens a file through Open,
# types into a new tab, saves it through Save As, and checks the bytes that
# reach the disk. Screenshots of each step land in $B/e2e/. Needs a Windows
# build in $B/win (TESSARY_BUILD, default build).
set -eu
cd "$(dirname "$0")/.."
. tools/setup.sh

B="${TESSARY_BUILD:-build}"
exe="$PWD/$B/win/tessary.exe"
[ -f "$exe" ] || { echo "no $exe: build the Windows configuration first"; exit 1; }
out="$PWD/$B/e2e"
rm -rf "$out"
mkdir -p "$out/files"
printf 'Opened through the dialog.\nSecond line.\n' >"$out/files/hello.txt"

tessary_wine_start "$PWD/$B/wineprefix"
app=""
finish() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    tessary_wine_stop
}
trap finish EXIT

# Waits up to 15 s for a window whose title matches the pattern; prints its id.
wait_window() {
    local id=""
    for _ in $(seq 75); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    echo "no window titled like '$1'" >&2
    import -window root "$out/timeout.png"
    return 1
}
# Gives a window the X keyboard focus; a window that has only just been
# mapped may refuse it for a moment.
focus() {
    for _ in $(seq 25); do
        xdotool windowfocus --sync "$1" 2>/dev/null && return 0
        sleep 0.2
    done
    echo "could not focus window $1" >&2
    return 1
}
shot() { sleep 0.7; import -window root "$out/$1.png"; }
winpath() { winepath -w "$1" 2>/dev/null; }

wine "$exe" &
app=$!
main=$(wait_window '^Untitled - Tessary$')
focus "$main"
shot 1-started

# Open: Ctrl+O, the file's full path into the name field, Return.
xdotool key ctrl+o
open=$(wait_window '^Open$')
focus "$open"
shot 2-open-dialog
xdotool type --delay 20 "$(winpath "$out/files/hello.txt")"
xdotool key Return
main=$(wait_window '^hello.txt - Tessary$')
focus "$main"
shot 3-opened

# A new tab, some text, Save: the Save As dialog for an Untitled document.
xdotool key ctrl+n
wait_window '^Untitled - Tessary$' >/dev/null
xdotool type --delay 20 "Typed and saved."
xdotool key Return
xdotool type --delay 20 "End"
wait_window '^\*Untitled - Tessary$' >/dev/null
xdotool key ctrl+s
save=$(wait_window '^Save As$')
focus "$save"
shot 4-save-dialog
# No extension typed: the text filter adds ".txt".
xdotool type --delay 20 "$(winpath "$out/files")\\saved"
xdotool key Return
main=$(wait_window '^saved.txt - Tessary$')
focus "$main"
shot 5-saved

status=0
expected=$(printf 'Typed and saved.\r\nEnd')
if [ "$(cat "$out/files/saved.txt" 2>/dev/null)" = "$expected" ]; then
    echo "saved.txt holds the typed text with CR LF"
else
    echo "saved.txt is wrong:"
    od -c "$out/files/saved.txt" 2>&1 | head
    status=1
fi
cmp -s "$out/files/hello.txt" <(printf 'Opened through the dialog.\nSecond line.\n') ||
    { echo "hello.txt was changed"; status=1; }

# Alt+F4 closes the window; nothing is modified, so nothing is asked.
xdotool key alt+F4
for _ in $(seq 50); do
    kill -0 "$app" 2>/dev/null || break
    sleep 0.2
done
if kill -0 "$app" 2>/dev/null; then
    echo "the program did not end after Alt+F4"
    shot 6-not-closed
    status=1
else
    app=""
    echo "closed without a question"
fi
echo "screenshots in $out"
exit $status
