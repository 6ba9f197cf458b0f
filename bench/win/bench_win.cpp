// The real main window and edit control in this process, timed from the
// outside through their messages and commands: open, type, undo and redo,
// paint, thumb scrolling, Find Next, Replace All and Save on documents the
// program writes itself, and the recovery journal's work after them: how
// long the window stops at most while it writes, and how long a copy of
// the whole text takes with typing going on. Every figure is a median printed beside a baseline
// measured in the same run: what the same work costs without the editor.
//
//   bench_win [--quick | --gb | --huge] [--journal | --open] [--keep]
//
// Without a flag the documents are 100 MB (2.4 M lines), one 2 M-unit line of
// "abc<tab>", 100 MB on one line, and 10 MB of lines in plain ASCII beside
// 10 MB of the same lines with emoji and combining marks among the words;
// --gb makes the first 1 GB (24 M lines); --quick makes all of them small,
// for a run that only checks the program.
// --journal opens the first alone and measures only the journal's work;
// --open measures only opening each and the first letters typed in it.
// --huge opens 125 M and 500 M lines of "x" beside 1 GB of ordinary lines
// (about 12 GB of memory at its peak) and measures the memory a copy of
// the whole 1 GB takes and the memory opening a 1.86 GB UTF-16 file takes.
#include "app/main_window_proc.h"
#include "app/settings.h"
#include "docs/file_commands.h"
#include "docs/find.h"
#include "docs/journal_log.h"
#include "docs/main_window.h"
#include "docs/recovery.h"
#include "docs/recovery_files.h"
#include "editctl/edit_effects.h"
#include "editctl/edit_record.h"
#include "editctl/editctl.h"
#include "editctl/scroll_bars.h"
#include "winkit/modal_ui.h"
#include "winkit/win_handles.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <span>
#include <string>
#include <thread>
#include <vector>

namespace {

// Results that came out wrong; any makes the exit code 1.
int faults = 0;

double Now() {
    static const double perMs = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return static_cast<double>(f.QuadPart) / 1000.0;
    }();
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) / perMs;
}

// Milliseconds of each run of `work`, after `prepare` (not timed).
double Median(
    int runs, const std::function<void()>& work, const std::function<void()>& prepare = [] {}) {
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        prepare();
        const double start = Now();
        work();
        times.push_back(Now() - start);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void Report(const std::string& what, double ms, const char* baseline, double baselineMs) {
    std::printf("%-34s %10.3f ms   beside %-22s %10.3f ms\n", what.c_str(), ms, baseline,
                baselineMs);
    std::fflush(stdout);
}

// Words of a small vocabulary, one of them the Replace All target about one
// word in fourteen; tabs, accented letters and ideographs among them.
const char* const kWords[] = {"lorem",       "ipsum",  "dolor", "quartz", "amet",
                              "\tconsequat", "café",   "naïve", "中文",   "tempor",
                              "magna",       "aliqua", "minim", "veniam"};
// The words in plain ASCII, and with emoji, a flag, a family and letters
// with combining marks among them, for paints and typing side by side.
const char* const kAsciiWords[] = {"lorem",       "ipsum",  "dolor",  "quartz", "amet",
                                   "\tconsequat", "cafe",   "naive",  "zhong",  "tempor",
                                   "magna",       "aliqua", "hearts", "veniam"};
const char* const kClusterWords[] = {"lorem",
                                     "ipsum\U0001F600",
                                     "dolor",
                                     "quartz",
                                     "amet",
                                     "\tconsequat",
                                     "cafe\u0301",
                                     "nai\u0308ve",
                                     "\U0001F1EF\U0001F1F5",
                                     "tempor",
                                     "\U0001F468\u200D\U0001F469\u200D\U0001F467",
                                     "aliqua",
                                     "\u2764\uFE0F\U0001F44D\U0001F3FD",
                                     "ve\u0301ni\u0323am"};

// UTF-8 lines of 1..11 words until `bytes`; with `breaks` false, one line.
// The last words are the only "needle" of the document.
std::string MakeText(uint64_t bytes, bool breaks,
                     std::span<const char* const> vocabulary = kWords) {
    std::string text;
    text.reserve(bytes + 64);
    uint32_t seed = 9;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return seed >> 8;
    };
    while (text.size() < bytes) {
        const uint32_t words = 1 + next() % 11;
        for (uint32_t w = 0; w < words; ++w) {
            text += vocabulary[next() % vocabulary.size()];
            text += ' ';
        }
        text += breaks ? "\r\n" : " ";
    }
    text += "needle at the end";
    return text;
}

std::u16string TempPath(const wchar_t* name) {
    wchar_t folder[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, folder);
    const std::wstring path = std::wstring(folder) + name;
    return std::u16string(path.begin(), path.end());
}

const wchar_t* W(const std::u16string& s) {
    return reinterpret_cast<const wchar_t*>(s.c_str());
}

bool WriteBytes(const std::u16string& path, const char* data, size_t size) {
    const FileHandle file(CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return false;
    bool ok = true;
    for (size_t done = 0; ok && done < size;) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 26));
        DWORD written = 0;
        ok = WriteFile(file.get(), data + done, chunk, &written, nullptr) && written == chunk;
        done += chunk;
    }
    return ok;
}

std::string ReadBytes(const std::u16string& path) {
    std::string bytes;
    const FileHandle file(CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                      OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file)
        return bytes;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file.get(), &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 26));
        DWORD read = 0;
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &read, nullptr) || read == 0)
            break;
        done += read;
    }
    return bytes;
}

std::u16string Widen(const std::string& bytes) {
    const int size = static_cast<int>(bytes.size());
    std::u16string text(
        static_cast<size_t>(MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0)),
        u'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, reinterpret_cast<wchar_t*>(text.data()),
                        static_cast<int>(text.size()));
    return text;
}

std::string Narrow(const std::u16string& text) {
    const auto* units = reinterpret_cast<const wchar_t*>(text.data());
    const int size = static_cast<int>(text.size());
    std::string bytes(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, units, size, nullptr, 0,
                                                              nullptr, nullptr)),
                      '\0');
    WideCharToMultiByte(CP_UTF8, 0, units, size, bytes.data(), static_cast<int>(bytes.size()),
                        nullptr, nullptr);
    return bytes;
}

struct Bench {
    HWND window = nullptr;
    MainWindow* mw = nullptr;
    HWND edit() const { return mw->activeEdit; }
    int runs = 15;
};

void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

void Repaint(HWND window) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void Place(const Bench& b, int32_t position) {
    EditCtl_SetSelection(b.edit(), position, position);
    EditCtl_EnsureCaretVisible(b.edit());
    UpdateWindow(b.edit());
}

SIZE ClientSize(HWND window) {
    RECT client = {};
    GetClientRect(window, &client);
    return {client.right, client.bottom};
}

// The window's client area, and a memory bitmap of its size selected into a
// memory device context.
struct ClientCanvas {
    explicit ClientCanvas(HWND window)
        : size(ClientSize(window)), screen(window), memory(CreateCompatibleDC(screen.get())),
          bitmap(CreateCompatibleBitmap(screen.get(), size.cx, size.cy)),
          selected(memory.get(), bitmap.get()) {}

    SIZE size;
    WindowDc screen;
    MemoryDc memory;
    GdiObject<HBITMAP> bitmap;
    SelectedObject selected;
};

// A BitBlt of the whole client from a memory bitmap: the least a paint does.
double BlitBaseline(const Bench& b) {
    const ClientCanvas canvas(b.edit());
    return Median(b.runs, [&] {
        BitBlt(canvas.screen.get(), 0, 0, canvas.size.cx, canvas.size.cy, canvas.memory.get(), 0, 0,
               SRCCOPY);
        GdiFlush();
    });
}

void Paints(const Bench& b, const std::string& name, double blit) {
    const int32_t length = EditCtl_GetTextLength(b.edit());
    const ClientCanvas canvas(b.edit());
    const std::pair<const char*, int32_t> places[] = {
        {"top", 0}, {"middle", length / 2}, {"end", length}};
    for (const auto& [where, position] : places) {
        Place(b, position);
        Report(name + " paint " + where, Median(b.runs, [&] { Repaint(b.edit()); }), "BitBlt",
               blit);
        Report(name + " print " + where,
               Median(b.runs,
                      [&] {
                          SendMessageW(b.edit(), WM_PRINTCLIENT,
                                       reinterpret_cast<WPARAM>(canvas.memory.get()), PRF_CLIENT);
                          GdiFlush();
                      }),
               "BitBlt", blit);
    }
}

void Key(HWND edit, WPARAM key, bool ctrl) {
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = ctrl ? 0x80 : 0;
    SetKeyboardState(keys);
    SendMessageW(edit, WM_KEYDOWN, key, 1);
    keys[VK_CONTROL] = 0;
    SetKeyboardState(keys);
}

// Each keystroke with the layout and paint it causes, then its Undo and
// Redo; an Undo after each round leaves the text as it was.
void Typing(const Bench& b, const std::string& name) {
    const int32_t length = EditCtl_GetTextLength(b.edit());
    const double empty = Median(b.runs, [&] {
        SendMessageW(b.edit(), WM_NULL, 0, 0);
        UpdateWindow(b.edit());
    });
    const std::pair<const char*, int32_t> places[] = {
        {"start", 0}, {"middle", length / 2}, {"end", length}};
    for (const auto& [where, position] : places) {
        for (const wchar_t unit : {L'x', L'\r'}) {
            const std::string what = name + (unit == L'x' ? " type " : " Enter ") + where;
            std::vector<double> type, undo, redo;
            for (int i = 0; i < b.runs; ++i) {
                Place(b, position);
                double start = Now();
                SendMessageW(b.edit(), WM_CHAR, unit, 1);
                UpdateWindow(b.edit());
                type.push_back(Now() - start);
                start = Now();
                Key(b.edit(), 'Z', true);
                UpdateWindow(b.edit());
                undo.push_back(Now() - start);
                start = Now();
                Key(b.edit(), 'Y', true);
                UpdateWindow(b.edit());
                redo.push_back(Now() - start);
                EditCtl_Undo(b.edit());
            }
            for (auto* times : {&type, &undo, &redo})
                std::sort(times->begin(), times->end());
            const size_t mid = type.size() / 2;
            Report(what, type[mid], "empty message", empty);
            Report(what + " undo", undo[mid], "empty message", empty);
            Report(what + " redo", redo[mid], "empty message", empty);
        }
    }
    Pump();
}

// The system reports a thumb's track position only while a person drags it,
// so the drag is the step the scroll handler takes once it has read it.
void ThumbDrag(const Bench& b, const std::string& name, double blit) {
    EditState& s = *EditCtl_State(b.edit());
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    GetScrollInfo(b.edit(), SB_VERT, &info);
    const int64_t end = std::max<int64_t>(int64_t{info.nMax} - info.nPage, 0);
    constexpr int kSteps = 50;
    int step = 0;
    const double ms = Median(kSteps, [&] {
        ScrollByRequest(s, false, ScrollRequest::ThumbTrack,
                        static_cast<int32_t>(end * step++ / (kSteps - 1)));
        EditCtl_ApplyEffects(b.edit(), s);
        UpdateWindow(b.edit());
    });
    Report(name + " thumb drag step", ms, "BitBlt", blit);
}

// The messages waiting, paint included, but not the journal's timer.
void PumpAllButTimers() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, WM_TIMER - 1, PM_REMOVE) ||
           PeekMessageW(&msg, nullptr, WM_TIMER + 1, 0xFFFF, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

// Whether the journals have work left: their timer is set, or a document's
// journal has something to write or a copy under way.
bool JournalsBusy(const Bench& b) {
    if (b.mw->journalWriteDue)
        return true;
    return std::any_of(b.mw->documents.begin(), b.mw->documents.end(),
                       [](const Document& d) { return d.journal && d.journal->Due(); });
}

struct Stops {
    double longest = 0;       // the longest single message
    std::vector<double> each; // every message's time
    double total = 0;
    std::vector<double> keys; // each keystroke with its layout and paint
};

// Runs the message loop for `ms`, or less once the journals are idle when
// `untilIdle`, timing each message; with `typing`, a letter typed at the end
// and taken back with Backspace every 100 ms.
Stops RunLoop(const Bench& b, double ms, bool untilIdle, bool typing) {
    Stops stops;
    const double start = Now();
    double nextKey = start;
    while (Now() - start < ms && (!untilIdle || JournalsBusy(b))) {
        MSG msg;
        if (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            const double began = Now();
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
            stops.each.push_back(Now() - began);
            stops.longest = std::max(stops.longest, stops.each.back());
        } else if (typing && Now() >= nextKey) {
            nextKey += 100;
            Place(b, EditCtl_GetTextLength(b.edit()));
            const double began = Now();
            SendMessageW(b.edit(), WM_CHAR, L'x', 1);
            UpdateWindow(b.edit());
            stops.keys.push_back(Now() - began);
            Key(b.edit(), VK_BACK, false);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
        }
    }
    stops.total = Now() - start;
    return stops;
}

double Percentile(std::vector<double> times, double share) {
    if (times.empty())
        return 0;
    std::sort(times.begin(), times.end());
    return times[static_cast<size_t>(share * static_cast<double>(times.size() - 1))];
}

double MedianOf(std::vector<double> times) {
    return Percentile(std::move(times), 0.5);
}

// A copy of the whole text into a new journal, as after a declined reload:
// its time beside writing the text's bytes, the window's longest stop
// beside an idle loop's, and keystrokes meanwhile beside keystrokes without.
void JournalCopy(const Bench& b, const std::string& name) {
    RunLoop(b, 600'000, true, false);
    const Stops idle = RunLoop(b, 500, false, false);
    const Stops typing = RunLoop(b, 1000, false, true);
    RunLoop(b, 600'000, true, false);
    const std::u16string path = TempPath(L"tessary_bench_copy.bin");
    const double write = Median(1, [&] {
        const std::u16string text = EditCtl_GetText(b.edit());
        WriteBytes(path, reinterpret_cast<const char*>(text.data()), 2 * text.size());
    });
    DeleteFileW(W(path));
    Document& document = b.mw->documents[static_cast<size_t>(b.mw->activeIndex)];
    PumpAllButTimers();
    const double began = Now();
    document.journal->BaseLost();
    MainWnd_WriteJournals(*b.mw, b.window);
    const double first = Now() - began;
    Stops copy = RunLoop(b, 600'000, true, true);
    copy.total += first;
    copy.longest = std::max(copy.longest, first);
    Report(name + " journal copy", copy.total, "write the text", write);
    Report(name + " journal copy, longest stop", copy.longest, "idle loop", idle.longest);
    Report(name + " journal copy, 99th percentile stop", Percentile(copy.each, 0.99), "idle loop",
           Percentile(idle.each, 0.99));
    Report(name + " type during copy", MedianOf(copy.keys), "type, no copy", MedianOf(typing.keys));
}

// The longest the window stops while the journal writes what a command did.
void JournalAfter(const Bench& b, const std::string& what) {
    PumpAllButTimers(); // the command's own paint is not the journal's
    const Stops after = RunLoop(b, 600'000, true, false);
    const Stops idle = RunLoop(b, 500, false, false);
    Report(what + ", journal's longest stop", after.longest, "idle loop", idle.longest);
}

// Each match grows by 42 units: a 1 GB text gains about 40 % and stays
// within what a document may hold. Undone afterwards for the steps that follow.
void LongReplaceAll(const Bench& b, const std::string& name, size_t matches, double scan) {
    wcscpy(b.mw->replaceWith, L"quartz, replaced by something rather longer");
    const size_t before = static_cast<size_t>(EditCtl_GetTextLength(b.edit()));
    const double all =
        Median(1, [&] { Find_HandleDialogMessage(*b.mw, b.window, &b.mw->findReplace); });
    const size_t grown = static_cast<size_t>(EditCtl_GetTextLength(b.edit())) - before;
    if (grown != matches * (wcslen(b.mw->replaceWith) - 6) && ++faults)
        std::printf("The long Replace All grew the text by %zu units\n", grown);
    Report(name + " Replace All, long replacement", all, "plain scan", scan);
    JournalAfter(b, name + " Replace All, long replacement");
    EditCtl_Undo(b.edit());
    UpdateWindow(b.edit());
    PumpAllButTimers();
    RunLoop(b, 600'000, true, false);
}

void FindAndReplace(const Bench& b, const std::string& name) {
    const std::u16string text = EditCtl_GetText(b.edit());
    const std::u16string_view needle = u"needle at the end";
    size_t found = 0;
    const double scan = Median(3, [&] { found = text.find(needle); });
    wcscpy(b.mw->findWhat, L"needle at the end");
    const double find = Median(
        3, [&] { Find_FindNext(*b.mw, b.window, false); },
        [&] { EditCtl_SetSelection(b.edit(), 0, 0); });
    int32_t anchor = 0;
    EditCtl_GetSelection(b.edit(), &anchor, nullptr);
    if (static_cast<size_t>(anchor) != found && ++faults)
        std::printf("Find Next stopped at %d, the needle is at %zu\n", anchor, found);
    Report(name + " Find Next, match at end", find, "plain scan", scan);

    size_t matches = 0;
    const double count = Median(1, [&] {
        for (size_t at = text.find(u"quartz"); at != text.npos; at = text.find(u"quartz", at + 6))
            ++matches;
    });
    wcscpy(b.mw->findWhat, L"quartz");
    wcscpy(b.mw->replaceWith, L"QUARTZ");
    b.mw->findReplace.Flags = FR_REPLACEALL | FR_DOWN | FR_MATCHCASE;
    const double all =
        Median(1, [&] { Find_HandleDialogMessage(*b.mw, b.window, &b.mw->findReplace); });
    const bool replaced = EditCtl_GetText(b.edit()).find(u"quartz") == std::u16string::npos;
    Report(name + " Replace All (" + std::to_string(matches) + ")", all, "plain scan", count);
    JournalAfter(b, name + " Replace All");
    const double undo = Median(1, [&] {
        EditCtl_Undo(b.edit());
        UpdateWindow(b.edit());
    });
    const bool restored = EditCtl_GetText(b.edit()) == text;
    Report(name + " Replace All undone", undo, "plain scan", count);
    JournalAfter(b, name + " Replace All undone");
    if ((!replaced || !restored) && ++faults)
        std::printf("Replace All %s, its Undo %s\n", replaced ? "replaced" : "left matches",
                    restored ? "restored the text" : "did not restore the text");
    LongReplaceAll(b, name, matches, count);
    b.mw->findReplace.Flags = 0;
}

void Save(const Bench& b, const std::string& name) {
    const std::u16string path = TempPath(L"tessary_bench_saved.txt");
    const std::u16string text = EditCtl_GetText(b.edit());
    const double baseline = Median(3, [&] {
        const std::string bytes = Narrow(text);
        WriteBytes(path, bytes.data(), bytes.size());
    });
    bool saved = true;
    const double save =
        Median(3, [&] { saved = SaveDocumentToPath(*b.mw, b.window, path) && saved; });
    if (!saved && ++faults)
        std::printf("Save failed\n");
    Report(name + " Save", save, "convert and write", baseline);
    DeleteFileW(W(path));
}

// Ctrl+End from the top, with the layout and paint it causes, and back.
void Ends(const Bench& b, const std::string& name, double empty) {
    const auto jump = [&](bool toEnd) {
        return Median(
            b.runs,
            [&] {
                Key(b.edit(), toEnd ? VK_END : VK_HOME, true);
                UpdateWindow(b.edit());
            },
            [&] { Place(b, toEnd ? 0 : EditCtl_GetTextLength(b.edit())); });
    };
    Report(name + " Ctrl+End", jump(true), "empty message", empty);
    Report(name + " Ctrl+Home", jump(false), "empty message", empty);
}

double WorkingSetMb() {
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters);
    return static_cast<double>(counters.WorkingSetSize) / (1 << 20);
}

// How far the working set grows above its size before `work`, sampled
// every millisecond while it runs.
double PeakGrowthMb(const std::function<void()>& work) {
    const double before = WorkingSetMb();
    std::atomic<bool> done = false;
    double peak = before;
    std::thread sampler([&] {
        while (!done) {
            peak = std::max(peak, WorkingSetMb());
            Sleep(1);
        }
    });
    work();
    done = true;
    sampler.join();
    return std::max(peak, WorkingSetMb()) - before;
}

void ReportMemory(const std::string& what, double mb, const char* baseline, double baselineMb) {
    std::printf("%-34s %10.0f MB   beside %-22s %10.0f MB\n", what.c_str(), mb, baseline,
                baselineMb);
    std::fflush(stdout);
}

// Opens the file into the active tab and runs the window's messages until
// the whole of it is in: a large file shows its start first. False when it
// could not be read.
bool OpenWhole(const Bench& b, const std::u16string& path) {
    if (!OpenFileIntoActiveDocument(*b.mw, b.window, path))
        return false;
    MSG msg;
    while (MainWnd_ActiveDocument(*b.mw)->loading && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return !MainWnd_ActiveDocument(*b.mw)->path.empty();
}

void Open(const Bench& b, const std::string& name, const std::u16string& path, int runs) {
    const double baseline = Median(runs, [&] { Widen(ReadBytes(path)); });
    bool opened = true;
    double open = 0;
    const double peak = PeakGrowthMb([&] {
        open = Median(runs, [&] {
            opened = OpenWhole(b, path) && opened;
            UpdateWindow(b.window);
        });
    });
    if (!opened && ++faults)
        std::printf("Open failed\n");
    Report(name + " open", open, "read and widen", baseline);
    const double units = static_cast<double>(EditCtl_GetTextLength(b.edit()));
    ReportMemory(name + " open, peak growth", peak, "the text in UTF-16", units * 2 / (1 << 20));
}

// The processor time this process has used, in milliseconds.
double CpuMs() {
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user))
        return 0;
    const auto ms = [](const FILETIME& t) {
        return static_cast<double>((static_cast<uint64_t>(t.dwHighDateTime) << 32) |
                                   t.dwLowDateTime) /
               10'000.0;
    };
    return ms(kernel) + ms(user);
}

// The first letters typed after opening, each far from the last edit: at the
// start, in the middle, then at the end after Ctrl+End; then a second letter
// there. Beside them, what a single gap across the whole text costs to move
// that far. Each is timed on the clock and in processor time.
void FirstLetters(const Bench& b, const std::string& name) {
    const int32_t length = EditCtl_GetTextLength(b.edit());
    const double empty = Median(3, [&] {
        SendMessageW(b.edit(), WM_NULL, 0, 0);
        UpdateWindow(b.edit());
    });
    double moveAll = 0;
    {
        std::vector<char16_t> units(static_cast<size_t>(length) + 1, u'x');
        moveAll =
            Median(1, [&] { std::memmove(units.data() + 1, units.data(), units.size() * 2 - 2); });
    }
    const auto letter = [&](const std::string& what, const char* baseline, double baselineMs) {
        const double cpu = CpuMs();
        const double wall = Median(1, [&] {
            SendMessageW(b.edit(), WM_CHAR, L'x', 1);
            UpdateWindow(b.edit());
        });
        const double used = CpuMs() - cpu;
        Report(name + " " + what, wall, baseline, baselineMs);
        Report(name + " " + what + ", CPU", used, baseline, baselineMs);
    };
    letter("first letter at start", "moving a gap across", moveAll);
    Place(b, length / 2);
    letter("first letter in the middle", "moving a gap across", moveAll / 2);
    Key(b.edit(), VK_END, true);
    UpdateWindow(b.edit());
    letter("first letter after Ctrl+End", "moving a gap across", moveAll);
    letter("next letter there", "empty message", empty);
    for (int i = 0; i < 4 && EditCtl_GetTextLength(b.edit()) != length; ++i)
        EditCtl_Undo(b.edit());
    if (EditCtl_GetTextLength(b.edit()) != length && ++faults)
        std::printf("Undo did not take the first letters back\n");
}

// Copy of the whole text: the memory it takes while it runs and while the
// clipboard holds the text, beside the text's size in UTF-16.
void CopyOfAll(const Bench& b, const std::string& name) {
    const double units = static_cast<double>(EditCtl_GetTextLength(b.edit()));
    const double size = units * sizeof(char16_t) / (1 << 20);
    const double fill = Median(1, [&] {
        const GlobalBlock block(GlobalAlloc(GMEM_MOVEABLE, static_cast<SIZE_T>(units) * 2 + 2));
        const LockedGlobal<char> bytes(block.get());
        if (bytes.get())
            std::memset(bytes.get(), 'x', static_cast<size_t>(units) * 2 + 2);
    });
    EditCtl_SelectAll(b.edit());
    const double before = WorkingSetMb();
    double copy = 0;
    const double peak = PeakGrowthMb([&] { copy = Median(1, [&] { EditCtl_Copy(b.edit()); }); });
    const double held = WorkingSetMb() - before;
    if (OpenClipboard(b.window)) {
        EmptyClipboard();
        CloseClipboard();
    }
    const double released = WorkingSetMb() - before;
    Report(name + " Copy of all", copy, "filling a block", fill);
    ReportMemory(name + " Copy of all, peak", peak, "selection (UTF-16)", size);
    ReportMemory(name + " Copy of all, held", held, "selection (UTF-16)", size);
    ReportMemory(name + " Copy of all, let go", released, "selection (UTF-16)", size);
    Place(b, 0);
}

// Opening a UTF-16 file of about `bytes`: how far the working set grows
// while it opens and what it keeps, beside the text's size in memory.
void Utf16Open(const Bench& b, uint64_t bytes, bool keep) {
    const std::u16string path = TempPath(L"tessary_bench_utf16.txt");
    {
        const std::u16string units = Widen(MakeText(bytes / 2, true));
        std::string file = "\xFF\xFE";
        file.append(reinterpret_cast<const char*>(units.data()), units.size() * sizeof(char16_t));
        WriteBytes(path, file.data(), file.size());
    }
    EditCtl_SetText(b.edit(), u"");
    const double before = WorkingSetMb();
    bool opened = false;
    const double peak = PeakGrowthMb([&] {
        opened = OpenWhole(b, path);
        UpdateWindow(b.window);
    });
    const double held = WorkingSetMb() - before;
    if (!opened && ++faults)
        std::printf("UTF-16 open failed\n");
    const double size =
        static_cast<double>(EditCtl_GetTextLength(b.edit())) * sizeof(char16_t) / (1 << 20);
    ReportMemory("UTF-16 open, peak", peak, "text (UTF-16)", size);
    ReportMemory("UTF-16 open, held", held, "text (UTF-16)", size);
    if (!keep)
        DeleteFileW(W(path));
}

// Lines of one "x" each, the shape with the most lines a text can hold.
void WriteOneUnitLines(const std::u16string& path, uint64_t lines) {
    std::string text;
    text.reserve(lines * 3);
    for (uint64_t i = 0; i < lines; ++i)
        text += "x\r\n";
    WriteBytes(path, text.data(), text.size());
}

// Opening, Ctrl+End, typing and painting at 125 M and 500 M lines of "x"
// beside the same at 1 GB of ordinary lines, a copy of that 1 GB, and the
// memory opening a 1.86 GB UTF-16 file takes.
void HugeDocuments(Bench& b, bool keep) {
    b.runs = 5;
    Utf16Open(b, 1'860'000'000, keep);
    const std::u16string path = TempPath(L"tessary_bench_huge.txt");
    const std::pair<const char*, uint64_t> documents[] = {
        {"1 GB lines", 0}, {"125 M lines of x", 125'000'000}, {"500 M lines of x", 500'000'000}};
    for (const auto& [name, lines] : documents) {
        EditCtl_SetText(b.edit(), u"");
        if (lines == 0) {
            const std::string text = MakeText(1'000'000'000, true);
            WriteBytes(path, text.data(), text.size());
        } else {
            WriteOneUnitLines(path, lines);
        }
        Open(b, name, path, 1);
        const double blit = BlitBaseline(b);
        const double empty = Median(b.runs, [&] { SendMessageW(b.edit(), WM_NULL, 0, 0); });
        Ends(b, name, empty);
        Paints(b, name, blit);
        Typing(b, name);
        ThumbDrag(b, name, blit);
        if (lines == 0)
            CopyOfAll(b, name);
        EditCtl_SetModified(b.edit(), false);
        b.mw->documents[static_cast<size_t>(b.mw->activeIndex)].modified = false;
    }
    if (!keep)
        DeleteFileW(W(path));
}

struct Sample {
    const char* name;
    std::u16string path;
    bool searched; // Find, Replace All and Save run on it
};

// The documents of a regular run, each wrapped and not.
void RegularDocuments(Bench& b, bool quick, bool gb, bool keep, bool journalOnly, bool openOnly) {
    const uint64_t mb = quick ? 20'000 : 1'000'000;
    const uint64_t linesBytes = (gb ? 1000 : 100) * mb;
    const std::u16string linesPath = TempPath(L"tessary_bench_lines.txt");
    const std::u16string tabsPath = TempPath(L"tessary_bench_tabs.txt");
    const std::u16string onePath = TempPath(L"tessary_bench_one_line.txt");
    const std::u16string asciiPath = TempPath(L"tessary_bench_ascii.txt");
    const std::u16string clusterPath = TempPath(L"tessary_bench_clusters.txt");
    {
        std::string text = MakeText(linesBytes, true);
        WriteBytes(linesPath, text.data(), text.size());
        text = MakeText(100 * mb, false);
        WriteBytes(onePath, text.data(), text.size());
        text.clear();
        for (uint64_t i = 0; i < (quick ? 50'000u : 500'000u); ++i)
            text += "abc\t";
        WriteBytes(tabsPath, text.data(), text.size());
        text = MakeText(10 * mb, true, kAsciiWords);
        WriteBytes(asciiPath, text.data(), text.size());
        text = MakeText(10 * mb, true, kClusterWords);
        WriteBytes(clusterPath, text.data(), text.size());
    }
    b.runs = quick ? 3 : 15;
    const Sample documents[] = {
        {gb      ? "1 GB lines"
         : quick ? "small lines"
                 : "100 MB lines",
         linesPath, true},
        {"tabbed line", tabsPath, false},
        {quick ? "small one line" : "100 MB one line", onePath, false},
        {quick ? "small ASCII" : "10 MB ASCII", asciiPath, false},
        {quick ? "small emoji and marks" : "10 MB emoji and marks", clusterPath, false},
    };
    for (const Sample& d : documents) {
        Open(b, d.name, d.path, gb || quick ? 1 : 3);
        FirstLetters(b, d.name);
        if (openOnly)
            continue;
        if (journalOnly) {
            JournalCopy(b, d.name);
            FindAndReplace(b, d.name);
            break;
        }
        for (const bool wrap : {true, false}) {
            EditCtl_SetWordWrap(b.edit(), wrap);
            UpdateWindow(b.edit());
            const std::string name = std::string(d.name) + (wrap ? ", wrap" : ", no wrap");
            const double blit = BlitBaseline(b);
            Paints(b, name, blit);
            Typing(b, name);
            ThumbDrag(b, name, blit);
        }
        if (d.searched) {
            JournalCopy(b, d.name);
            FindAndReplace(b, d.name);
            Save(b, d.name);
        }
        EditCtl_SetModified(b.edit(), false);
        b.mw->documents[static_cast<size_t>(b.mw->activeIndex)].modified = false;
    }
    if (!keep) {
        for (const std::u16string* path :
             {&linesPath, &tabsPath, &onePath, &asciiPath, &clusterPath})
            DeleteFileW(W(*path));
    }
}

HWND CreateMainWindow() {
    if (!RegisterMainWindowClass(GetModuleHandleW(nullptr), nullptr, nullptr))
        return nullptr;
    HWND window = CreateWindowExW(0, kMainWindowClass, L"", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 900,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window) {
        ShowWindow(window, SW_SHOW);
        UpdateWindow(window);
    }
    return window;
}

} // namespace

int main(int argc, char** argv) {
    bool quick = false;
    bool gb = false;
    bool keep = false;
    bool huge = false;
    bool journalOnly = false;
    bool openOnly = false;
    for (int i = 1; i < argc; ++i) {
        journalOnly = journalOnly || std::strcmp(argv[i], "--journal") == 0;
        openOnly = openOnly || std::strcmp(argv[i], "--open") == 0;
        quick = quick || std::strcmp(argv[i], "--quick") == 0;
        gb = gb || std::strcmp(argv[i], "--gb") == 0;
        keep = keep || std::strcmp(argv[i], "--keep") == 0;
        huge = huge || std::strcmp(argv[i], "--huge") == 0;
    }

    const std::u16string journals = TempPath(L"tessary_bench_recovery");
    Recovery_FolderOverride() = W(journals);
    std::wstring& key = Settings_KeyPath();
    key = L"Software\\Orvanel\\TessaryBench";
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    ModalUiHandlers handlers;
    handlers.messageBox = [](HWND, const std::wstring& text, const std::wstring&, UINT) {
        std::printf("message box: %ls\n", text.c_str());
        return IDNO;
    };
    ModalUi_SetHandlers(&handlers);

    Bench b;
    b.window = CreateMainWindow();
    b.mw = b.window ? MainWnd_FromWindow(b.window) : nullptr;
    if (!b.mw) {
        std::printf("no main window\n");
        return 1;
    }
    if (huge)
        HugeDocuments(b, keep);
    else
        RegularDocuments(b, quick, gb, keep, journalOnly, openOnly);

    DestroyWindow(b.window);
    Pump();
    RemoveDirectoryW(W(journals));
    ModalUi_SetHandlers(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    return faults == 0 ? 0 : 1;
}
