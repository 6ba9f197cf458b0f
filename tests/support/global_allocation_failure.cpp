#include "global_allocation_failure.h"

#include <windows.h>

// The binary's import slot for GlobalAlloc: every call the program makes
// goes through it.
extern "C" HGLOBAL(WINAPI* __imp_GlobalAlloc)(UINT, SIZE_T);

namespace {

using GlobalAllocFunction = HGLOBAL(WINAPI*)(UINT, SIZE_T);

GlobalAllocFunction realGlobalAlloc = nullptr;
size_t countdown = 0;
bool hasStruck = false;

HGLOBAL WINAPI FailingGlobalAlloc(UINT flags, SIZE_T bytes) {
    if (countdown > 0 && --countdown == 0) {
        hasStruck = true;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return realGlobalAlloc(flags, bytes);
}

void PointImportAt(GlobalAllocFunction function) {
    DWORD protection = 0;
    VirtualProtect(&__imp_GlobalAlloc, sizeof(__imp_GlobalAlloc), PAGE_READWRITE, &protection);
    __imp_GlobalAlloc = function;
    VirtualProtect(&__imp_GlobalAlloc, sizeof(__imp_GlobalAlloc), protection, &protection);
}

} // namespace

GlobalAllocationFailure::GlobalAllocationFailure(size_t nth) {
    countdown = nth;
    hasStruck = false;
    realGlobalAlloc = __imp_GlobalAlloc;
    PointImportAt(FailingGlobalAlloc);
}

GlobalAllocationFailure::~GlobalAllocationFailure() {
    PointImportAt(realGlobalAlloc);
    countdown = 0;
}

bool GlobalAllocationFailure::struck() const {
    return hasStruck;
}
