#include "fileio/under_wine.h"

#include <windows.h>

// Wine's ntdll exports its version; Windows' has no such function.
bool RunningUnderWine() {
    static const bool wine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return wine;
}
