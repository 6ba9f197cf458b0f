// Functions that newer systems export and older ones lack, looked up at run
// time so that the program still starts where they are missing.
#pragma once

#include <windows.h>

// The function `name` of `module` as an Fn; null without the module or the
// function.
template <typename Fn> Fn ModuleFunction(HMODULE module, const char* name) {
    if (!module)
        return nullptr;
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
