// The entry point: DPI awareness, the start-up file, the main window, the
// accelerators and the message loop.
#include "app/main_window_proc.h"
#include "app/menu.h"
#include "app/resource.h"
#include "docs/main_window.h"
#include "docs/window_geometry.h"
#include "winkit/module_function.h"

#include <windows.h>
#include <shellapi.h>

namespace {

using SetDpiContextFn = BOOL(WINAPI*)(HANDLE);
using SetDpiAwareFn = BOOL(WINAPI*)();

// Per-monitor awareness (version 2) where the system has it, else the
// system-wide awareness of older systems.
void BecomeDpiAware() {
    if (HMODULE user32 = LoadLibraryW(L"user32.dll")) {
        auto setContext = ModuleFunction<SetDpiContextFn>(user32, "SetProcessDpiAwarenessContext");
        if (setContext)
            setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
        FreeLibrary(user32);
        if (setContext)
            return;
    }
    if (auto setAware =
            ModuleFunction<SetDpiAwareFn>(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware"))
        setAware();
}

void ReadStartupPath() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments)
        return;
    if (count >= 2)
        startupPath = arguments[1];
    LocalFree(arguments);
}

HICON LoadAppIcon(HINSTANCE instance, int widthMetric, int heightMetric) {
    return static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                         GetSystemMetrics(widthMetric),
                                         GetSystemMetrics(heightMetric), LR_DEFAULTCOLOR));
}

WindowSize StartSize() {
    RECT work = {};
    if (!SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0))
        return InitialWindowSize(nullptr);
    const Box area{work.left, work.top, work.right, work.bottom};
    return InitialWindowSize(&area);
}

int RunMessageLoop(HWND window, HACCEL accelerators) {
    MSG msg = {};
    while (GetMessageW(&msg, nullptr, 0, 0)) {
        const MainWindow* mw = MainWnd_FromWindow(window);
        if (mw && mw->findDialog && IsDialogMessageW(mw->findDialog, &msg))
            continue;
        if (accelerators && TranslateAcceleratorW(window, accelerators, &msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    BecomeDpiAware();
    ReadStartupPath();
    HICON largeIcon = LoadAppIcon(instance, SM_CXICON, SM_CYICON);
    HICON smallIcon = LoadAppIcon(instance, SM_CXSMICON, SM_CYSMICON);

    WNDCLASSEXW wc = {};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW;
    wc.lpfnWndProc = MainWnd_Proc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"TessaryClass";
    wc.hIcon = largeIcon ? largeIcon : LoadIconW(nullptr, IDI_APPLICATION);
    wc.hIconSm = smallIcon ? smallIcon : wc.hIcon;
    if (!RegisterClassExW(&wc))
        return 0;

    const WindowSize size = StartSize();
    HWND window =
        CreateWindowExW(0, L"TessaryClass", L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        size.width, size.height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 0;
    if (largeIcon)
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    if (smallIcon)
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    HACCEL accelerators = MainWnd_CreateAccelerators();
    ShowWindow(window, showCommand);
    UpdateWindow(window);

    const int exitCode = RunMessageLoop(window, accelerators);
    if (accelerators)
        DestroyAcceleratorTable(accelerators);
    return exitCode;
}
