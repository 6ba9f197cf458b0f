#!/usr/bin/env python3
"""Measures one editor from outside, for bench/peer/compare.sh.

  measure.py launch [--keys] PATTERN COMMAND...
      Starts COMMAND on $DISPLAY, finds the editor's process by PATTERN (a
      regular expression over its command line) and prints one line:
      "idle_quiet idle_slow peak_kB first_screen key_start key_end", the
      first four in seconds from launch (peak in kB), the keystroke costs
      in milliseconds of the process's CPU time; "-" where a figure could
      not be had.
  measure.py header KIND...
  measure.py row LABEL TINY_FOLDER FOLDER KIND...
      Print the table's header and the rows of one file from the "launch"
      lines of each editor (KIND: b the earlier build, t this one, s SciTE),
      kept in FOLDER/KIND; TINY_FOLDER holds those of the 3-byte file.

Only processes of the calling user whose command line matches PATTERN are
measured or ended, so other users' editors on the machine are never touched.
"""
import bisect
import hashlib
import os
import re
import signal
import statistics
import struct
import subprocess
import sys
import threading
import time
import zlib

TICK = 1.0 / os.sysconf("SC_CLK_TCK")
POLL = 0.01
# Generous enough for SciTE wrapping 100 MB on one line (over a minute).
OPEN_LIMIT = 900.0
KEY_LIMIT = 120.0
# A caret is a line tall and blinks: two pictures of the window that differ
# in no more rows of pixels than this show the same text.
CARET_ROWS = 24
# Left out when frames are compared: the status bar and horizontal scroll
# bar at the bottom, the vertical scroll bar at the right. While a file
# loads, these are what may still change (progress, the thumb's size)
# although the text on screen is final.
BOTTOM_STRIP = 64
RIGHT_STRIP = 28


def stat(pid):
    """The fields of /proc/PID/stat after the command's name, from the
    state on (so field n of proc(5) is at n - 3), or None once it is gone."""
    try:
        with open(f"/proc/{pid}/stat") as f:
            return f.read().rsplit(")", 1)[1].split()
    except (OSError, IndexError):
        return None


def alive(pid):
    fields = stat(pid)
    return fields is not None and fields[0] != "Z"


def cpu_ticks(pid):
    """User plus system time of the whole process (all its threads)."""
    fields = stat(pid)
    return None if fields is None else int(fields[11]) + int(fields[12])


def peak_kb(pid):
    try:
        with open(f"/proc/{pid}/status") as f:
            for line in f:
                if line.startswith("VmHWM:"):
                    return int(line.split()[1])
    except OSError:
        pass
    return None


def find_pid(pattern, since):
    """The newest process of ours, started no earlier than `since` (in
    clock ticks after boot), whose command line matches `pattern`."""
    me, best, best_start = os.getuid(), None, -1
    regex = re.compile(pattern)
    for name in os.listdir("/proc"):
        if not name.isdigit():
            continue
        try:
            if os.stat(f"/proc/{name}").st_uid != me:
                continue
            with open(f"/proc/{name}/cmdline", "rb") as f:
                cmdline = f.read().replace(b"\0", b" ").decode(errors="replace")
        except OSError:
            continue
        fields = stat(name)
        started = -1 if fields is None else int(fields[19])
        if started >= since and started > best_start and regex.search(cmdline):
            best, best_start = int(name), started
    return best


def boot_ticks_now():
    with open("/proc/uptime") as f:
        return int(float(f.read().split()[0]) / TICK)


def run(*args):
    return subprocess.run(args, capture_output=True, text=True).stdout


def find_window(pid):
    """The process's largest visible top-level window, or None. Wine and
    GTK both set _NET_WM_PID."""
    best, best_area = None, 50 * 50
    for wid in run("xdotool", "search", "--onlyvisible", "--pid", str(pid)).split():
        geometry = run("xdotool", "getwindowgeometry", "--shell", wid)
        size = dict(line.split("=", 1) for line in geometry.split() if "=" in line)
        area = int(size.get("WIDTH", 0)) * int(size.get("HEIGHT", 0))
        if area > best_area:
            best, best_area = wid, area
    return best


def screenshot(window):
    """The window's picture as xwd writes it (b"" once it is gone)."""
    return subprocess.run(["xwd", "-silent", "-id", window], capture_output=True).stdout


def rows_of(xwd):
    """A checksum of each row of pixels of a window's picture, less the
    strips that may still change once the text on screen is final."""
    if len(xwd) < 100:
        return ()
    fields = struct.unpack(">25I", xwd[:100])
    width, height, bpp, stride, ncolors = fields[4], fields[5], fields[11], fields[12], fields[19]
    start = fields[0] + 12 * ncolors
    used = max(0, width - RIGHT_STRIP) * bpp // 8
    return tuple(zlib.crc32(xwd[start + r * stride : start + r * stride + used]) for r in range(max(0, height - BOTTOM_STRIP)))


def same_text(a, b):
    return len(a) == len(b) and sum(x != y for x, y in zip(a, b)) <= CARET_ROWS


class Shooter(threading.Thread):
    """Pictures of the editor's window from the moment it is found, one
    every 0.1 s, as (time taken, rows). Only the window is taken: a picture
    of the whole display costs several times the CPU, taken from the same
    two cores the editors run on."""

    def __init__(self):
        super().__init__(daemon=True)
        self.stop = threading.Event()
        self.found = threading.Event()
        self.window = None
        self.shots = []

    def finish(self):
        self.stop.set()
        self.found.set()
        self.join()

    def show(self, window):
        self.window = window
        self.found.set()

    def run(self):
        self.found.wait()
        while not self.stop.is_set():
            taken = time.monotonic()
            rows = rows_of(screenshot(self.window))
            if rows:
                self.shots.append((taken, rows))
            self.stop.wait(max(0.0, 0.1 - (time.monotonic() - taken)))


def first_screen(shots, final, start, unseen_at):
    """Time to first screen: from launch to the first picture after which
    every picture until the editor went idle shows the window's text area
    as it finally stands (the file's first lines, as the editor leaves them
    once the open is done), allowing for the caret. Comparing with the
    editor's own final picture needs no knowledge of its fonts or layout
    and holds for both editors; requiring that it stays so rules out a
    passing likeness, such as a blank frame. The moment taken is halfway
    from the picture before, or from the last look that found no window;
    when the first look found it, the first picture's own."""
    since, before = None, unseen_at
    for taken, rows in shots:
        if not same_text(rows, final):
            since = None
        elif since is None:
            since = taken if before is None else (before + taken) / 2
        before = taken
    return None if since is None else since - start


class Idle:
    """Follows a process's CPU time and decides, by two rules, when it
    became idle. Neither moment may come before its window shows, since a
    process waiting on the disk or on Wine before that is not done: the
    floor is the last look that found no window (the launch if none did).
    As the last CPU a process used before its window showed may not reach
    the next 10 ms tick, the slow rule also tries the floor itself, or the
    moment the window was found when no look missed it."""

    def __init__(self, start, ticks):
        self.times, self.ticks = [start], [ticks]  # moments the CPU time grew
        self.quiet_at = self.slow_at = None
        self.candidates, self.next = None, 0

    def ticks_at(self, moment):
        return self.ticks[bisect.bisect_right(self.times, moment) - 1]

    def sample(self, now, ticks, shown):
        """shown: None until the window is found, then (floor, the moment
        the slow rule tries besides the growths after the floor)."""
        grew = ticks != self.ticks[-1]
        if grew:
            self.times.append(now)
            self.ticks.append(ticks)
        if shown is None:
            return
        floor, extra = shown
        if self.candidates is None:
            self.candidates = sorted([extra] + [m for m in self.times if m > floor])
        elif grew:
            self.candidates.append(now)
        # Quiet rule: idle from the last growth of the CPU time after which
        # the process used no CPU at all for 0.5 s.
        moment = max(self.times[-1], floor)
        if self.quiet_at is None and now - moment >= 0.5:
            self.quiet_at = moment
        # Slow rule: idle from a moment the CPU time grew after which it grew
        # by less than 30 ms in the next second. A Win32 caret blinks every
        # half second, and each wake-up of a process with gigabytes resident
        # costs a few milliseconds, so "no CPU at all" may be slow to come.
        while self.slow_at is None and self.next < len(self.candidates):
            moment = self.candidates[self.next]
            if now - moment < 1.0:
                break
            if (self.ticks_at(moment + 1.0) - self.ticks_at(moment)) * TICK < 0.03:
                self.slow_at = moment
            self.next += 1

    def done(self):
        return self.quiet_at is not None and self.slow_at is not None


def until_quiet(pid, limit):
    """CPU ticks once the process has used none for 0.5 s, or None."""
    ticks = cpu_ticks(pid)
    changed_at = end = time.monotonic()
    end += limit
    while time.monotonic() < end:
        time.sleep(POLL)
        now, t = time.monotonic(), cpu_ticks(pid)
        if t is None:
            return None
        if t != ticks:
            ticks, changed_at = t, now
        elif now - changed_at >= 0.5:
            return ticks
    return None


def pictures(window, count=5, gap=0.15):
    """Screenshots over more than a caret's blink, as hashes: a window
    whose text did not change shows at least one picture again."""
    shots = set()
    for i in range(count):
        if i:
            time.sleep(gap)
        shots.add(hashlib.blake2b(screenshot(window), digest_size=16).digest())
    return shots


def press(pid, keys):
    """Sends keys with XTEST to the focused window and returns the CPU the
    process used from then until it was quiet again, in ticks, or None."""
    ticks = cpu_ticks(pid)
    subprocess.run(["xdotool", "key", "--clearmodifiers", keys], capture_output=True)
    after = until_quiet(pid, KEY_LIMIT)
    return None if after is None or ticks is None else after - ticks


def letter_cost(pid, window):
    """The CPU a typed letter costs, in ms; None when it made no difference
    on screen (it did not arrive). A typed letter and the caret it moves
    change the picture for good, where a blinking caret alone only brings
    back a picture seen before."""
    before = pictures(window)
    ticks = press(pid, "x")
    return None if ticks is None or before & pictures(window) else ticks * TICK * 1000


def typing_costs(pid, window):
    """The first letter typed at the start right after the open, then
    (after Ctrl+End, not measured) the first letter typed at the end."""
    run("xdotool", "windowfocus", "--sync", window)
    start = letter_cost(pid, window)
    if press(pid, "ctrl+End") is None:
        return start, None
    return start, letter_cost(pid, window)


def end_process(pid, launcher):
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            os.kill(pid, sig)
        except ProcessLookupError:
            break
        deadline = time.monotonic() + 3.0
        # The editor may be the launcher itself, a zombie until reaped.
        while launcher.poll() is None and alive(pid) and time.monotonic() < deadline:
            time.sleep(0.05)
        if not alive(pid):
            break
    try:
        launcher.wait(timeout=5)
    except subprocess.TimeoutExpired:
        launcher.kill()
        launcher.wait()


def launch(args):
    keys = args[0] == "--keys"
    pattern, command = (args[1], args[2:]) if keys else (args[0], args[1:])
    shooter = Shooter()
    shooter.start()
    since = boot_ticks_now()
    start = time.monotonic()
    launcher = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, start_new_session=True)
    pid = None
    while pid is None and time.monotonic() - start < 10:
        pid = find_pid(pattern, since)
        time.sleep(0.025)
    if pid is None:
        shooter.finish()
        launcher.kill()
        launcher.wait()
        print(" ".join("-" * 6))
        return
    try:
        figures = measure(pid, start, shooter, keys)
    finally:
        shooter.finish()
        end_process(pid, launcher)
    print(" ".join("-" if v is None else f"{v:.3f}" if i != 2 else str(v) for i, v in enumerate(figures)))


def measure(pid, start, shooter, keys):
    idle = Idle(start, cpu_ticks(pid) or 0)
    window, unseen_at, looked, missed = None, start, 0.0, False
    while not idle.done() and time.monotonic() - start < OPEN_LIMIT:
        time.sleep(POLL)
        now, ticks = time.monotonic(), cpu_ticks(pid)
        if ticks is None:
            return [None] * 6
        if window is None and now - looked >= 0.03:
            looked = now
            window = find_window(pid)
            if window is None:
                unseen_at, missed = now, True
            else:
                seen_at = now
                shooter.show(window)
        idle.sample(now, ticks, None if window is None else (unseen_at, unseen_at if missed else seen_at))
    peak = peak_kb(pid)
    shooter.finish()
    if not idle.done() or window is None:
        return [None, None, peak, None, None, None]
    shown = first_screen(shooter.shots, rows_of(screenshot(window)), start, unseen_at if missed else None)
    typed = typing_costs(pid, window) if keys else (None, None)
    return [idle.quiet_at - start, idle.slow_at - start, peak, shown, *typed]


NAMES = {"b": "Tessary before", "t": "Tessary", "s": "SciTE"}


def read_runs(folder, kind):
    """The launches' figures, one list per figure, missing ones left out."""
    columns = [[] for _ in range(6)]
    with open(os.path.join(folder, kind)) as f:
        for line in f:
            for i, v in enumerate(line.split()[:6]):
                if v != "-":
                    columns[i].append(float(v))
    return columns


def median(values):
    return statistics.median(values) if values else None


def header(kinds):
    names = [NAMES[k] for k in kinds]
    print("| File | Figure | " + " | ".join(names) + " | Tessary / SciTE |")
    print("|---|---|" + "---|" * len(names) + "---|")


FIGURES = [  # name, unit, column of the launch lines, whether an open cost
    ("launch to idle, quiet rule", "s", 0, False),
    ("launch to idle, slow rule", "s", 1, False),
    ("open cost, quiet rule", "s", 0, True),
    ("open cost, slow rule", "s", 1, True),
    ("peak memory", "MB", 2, False),
    ("first screen", "s", 3, False),
    ("letter at the start, after open", "ms CPU", 4, False),
    ("letter after Ctrl+End", "ms CPU", 5, False),
]


def row(label, tiny_folder, folder, kinds):
    """Each figure is the median of the launches; an open cost is the
    median launch to idle less the median on the 3-byte file; a keystroke's
    runs follow its median. What makes a figure doubtful is told on stderr."""
    runs = {k: read_runs(folder, k) for k in kinds}
    tiny = {k: read_runs(tiny_folder, k) for k in kinds}
    is_tiny = tiny_folder == folder

    def value(k, column, cost):
        v = median(runs[k][column])
        if v is None or not cost:
            return v / 1024 if v is not None and column == 2 else v
        start_up = median(tiny[k][column])
        return None if start_up is None else v - start_up

    first = True
    for name, unit, column, cost in FIGURES:
        if cost and is_tiny:
            continue
        cells = []
        for k in kinds:
            v = value(k, column, cost)
            text = "-" if v is None else f"{v:.2f} s" if unit == "s" else f"{v:.0f} {unit}"
            if unit == "ms CPU" and v is not None:
                text += " (" + ", ".join(f"{x:.0f}" for x in runs[k][column]) + ")"
            cells.append(text)
            if len(runs[k][column]) < 3 and not cost:
                doubt(label, f"{NAMES[k]}: {3 - len(runs[k][column])} of 3 launches gave no {name}")
        t, s = value("t", column, cost), value("s", column, cost)
        ratio = "-" if t is None or s is None or s <= 0 else f"{t / s:.2f}" if t >= s / 10 else f"{t / s:.2g}"
        print(f"| {label if first else ''} | {name} | " + " | ".join(cells) + f" | {ratio} |")
        first = False
        if unit == "ms CPU" and t == 0 and s == 0 and not is_tiny:
            doubt(label, f"{name}: no CPU for either editor")
    for k in kinds:
        shown, idle = value(k, 3, False), value(k, 0, False)
        # A picture is taken every 0.1 s.
        if shown is not None and idle is not None and shown > idle + 0.1:
            doubt(label, f"{NAMES[k]}: first screen {shown:.2f} s, after the launch went idle at {idle:.2f} s")


def doubt(label, text):
    print(f"{label}, {text}", file=sys.stderr)


def main():
    # Ended from outside, still end the editor measured.
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))
    if sys.argv[1] == "launch":
        launch(sys.argv[2:])
    elif sys.argv[1] == "header":
        header(sys.argv[2:])
    elif sys.argv[1] == "row":
        row(sys.argv[2], sys.argv[3], sys.argv[4], sys.argv[5:])


if __name__ == "__main__":
    main()
