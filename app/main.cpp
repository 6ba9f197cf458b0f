// The entry point: DPI awareness, the start-up file, the main window, the
// accelerators and the message loop.
#include "app/main_window_proc.h"
#include "app/menu.h"
#include "app/resource.h"
#include "docs/main_window.h"
#include "docs/window_geometry.h"
#include "winkit/module_function.h"
#include "winkit/win_handles.h"

#include <windows.h>
#include <shellapi.h>

namespace {

using SetDpiContextFn = BOOL(WINAPI*)(HANDLE);
using SetDpiAwareFn = BOOL(WINAPI*)();

// Per-monitor awareness (version 2) where the system has it, else the
// system-wide awareness of older systems.
void BecomeDpiAware() {
    if (const LoadedLibrary user32{LoadLibraryW(L"user32.dll")}) {
        auto setContext =
            ModuleFunction<SetDpiContextFn>(user32.get(), "SetProcessDpiAwarenessContext");
        if (setContext) {
            setContext(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
            return;
        }
    }
    if (auto setAware =
            ModuleFunction<SetDpiAwareFn>(GetModuleHandleW(L"user32.dll"), "SetProcessDPIAware"))
        setAware();
}

void ReadStartupPath() {
    int count = 0;
    const Owned<LPWSTR*, LocalFree> arguments(CommandLineToArgvW(GetCommandLineW(), &count));
    if (arguments && count >= 2)
        startupPath = arguments.get()[1];
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

    if (!RegisterMainWindowClass(instance, largeIcon, smallIcon))
        return 0;

    const WindowSize size = StartSize();
    HWND window =
        CreateWindowExW(0, kMainWindowClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                        size.width, size.height, nullptr, nullptr, instance, nullptr);
    if (!window)
        return 0;
    if (largeIcon)
        SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(largeIcon));
    if (smallIcon)
        SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon));
    const Accelerators accelerators(MainWnd_CreateAccelerators());
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    return RunMessageLoop(window, accelerators.get());
}
