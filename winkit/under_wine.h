// Whether the program runs under Wine rather than on Windows, for the few
// places where the two differ in a way the program must work around.
#pragma once

#include "winkit/module_function.h"

#include <windows.h>

// Wine's ntdll exports its version; Windows' has no such function.
inline bool RunningUnderWine() {
    static const bool wine =
        ModuleFunction<void (*)()>(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}
