// The real main window and edit control in this process, timed from the
// outside through their messages and commands: open, type, undo and redo,
// paint, thumb scrolling, Find Next, Replace All and Save on documents the
// program writes itself. Every figure is a median printed beside a baseline
// measured in the same run: what the same work costs without the editor.
//
//   bench_win [--quick | --gb] [--keep]
//
// Without a flag the documents are 100 MB (2.4 M lines), one 2 M-unit line of
// "abc<tab>", 100 MB on one line, and 10 MB of lines in plain ASCII beside
// 10 MB of the same lines with emoji and combining marks among the words;
// --gb makes the first 1 GB (24 M lines); --quick makes all of them small,
// for a run that only checks the program.
#include "app/main_window_proc.h"
#include "app/settings.h"
#include "docs/find.h"
#include "docs/main_window.h"
#include "editctl/edit_effects.h"
#include "editctl/edit_record.h"
#include "editctl/editctl.h"
#include "editctl/scroll_bars.h"
#include "fileio/file_commands.h"
#include "winkit/modal_ui.h"
#include "winkit/win_handles.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <span>
#include <string>
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
    HANDLE file = CreateFileW(W(path), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool ok = true;
    for (size_t done = 0; ok && done < size;) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size - done, 1u << 26));
        DWORD written = 0;
        ok = WriteFile(file, data + done, chunk, &written, nullptr) && written == chunk;
        done += chunk;
    }
    CloseHandle(file);
    return ok;
}

std::string ReadBytes(const std::u16string& path) {
    std::string bytes;
    HANDLE file = CreateFileW(W(path), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return bytes;
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    bytes.resize(static_cast<size_t>(size.QuadPart));
    for (size_t done = 0; done < bytes.size();) {
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 26));
        DWORD read = 0;
        if (!ReadFile(file, bytes.data() + done, chunk, &read, nullptr) || read == 0)
            break;
        done += read;
    }
    CloseHandle(file);
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
        ScrollToBarPosition(s, false, static_cast<int32_t>(end * step++ / (kSteps - 1)));
        EditCtl_ApplyEffects(b.edit(), s);
        UpdateWindow(b.edit());
    });
    Report(name + " thumb drag step", ms, "BitBlt", blit);
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
    const double undo = Median(1, [&] {
        EditCtl_Undo(b.edit());
        UpdateWindow(b.edit());
    });
    const bool restored = EditCtl_GetText(b.edit()) == text;
    Report(name + " Replace All undone", undo, "plain scan", count);
    if ((!replaced || !restored) && ++faults)
        std::printf("Replace All %s, its Undo %s\n", replaced ? "replaced" : "left matches",
                    restored ? "restored the text" : "did not restore the text");
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

void Open(const Bench& b, const std::string& name, const std::u16string& path, int runs) {
    const double baseline = Median(runs, [&] { Widen(ReadBytes(path)); });
    bool opened = true;
    const double open = Median(runs, [&] {
        opened = OpenFileIntoActiveDocument(*b.mw, b.window, path) && opened;
        UpdateWindow(b.window);
    });
    if (!opened && ++faults)
        std::printf("Open failed\n");
    Report(name + " open", open, "read and widen", baseline);
}

struct Sample {
    const char* name;
    std::u16string path;
    bool searched; // Find, Replace All and Save run on it
};

HWND CreateMainWindow() {
    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWnd_Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = L"TessaryClass";
    if (!RegisterClassExW(&wc))
        return nullptr;
    HWND window = CreateWindowExW(0, L"TessaryClass", L"", WS_OVERLAPPEDWINDOW, 0, 0, 1200, 900,
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
    for (int i = 1; i < argc; ++i) {
        quick = quick || std::strcmp(argv[i], "--quick") == 0;
        gb = gb || std::strcmp(argv[i], "--gb") == 0;
        keep = keep || std::strcmp(argv[i], "--keep") == 0;
    }
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
            FindAndReplace(b, d.name);
            Save(b, d.name);
        }
        EditCtl_SetModified(b.edit(), false);
        b.mw->documents[static_cast<size_t>(b.mw->activeIndex)].modified = false;
    }

    DestroyWindow(b.window);
    Pump();
    ModalUi_SetHandlers(nullptr);
    RegDeleteTreeW(HKEY_CURRENT_USER, key.c_str());
    if (!keep) {
        for (const std::u16string* path :
             {&linesPath, &tabsPath, &onePath, &asciiPath, &clusterPath})
            DeleteFileW(W(*path));
    }
    return faults == 0 ? 0 : 1;
}
