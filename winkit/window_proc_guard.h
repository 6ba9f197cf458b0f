// The one guard around every window procedure of the program. Only running
// out of memory (or past what a container can hold) is caught: any other
// exception is a fault and ends the program here rather than unwinding
// through the system's frames.
#pragma once

#include <windows.h>

#include <new>
#include <stdexcept>

// What a window does when handling a message ran out of memory: every edit
// is all or nothing, so the message has changed nothing; the user is told
// (but not about a paint, whose message box would bring the next paint) and
// the window goes on. A window that cannot be made is not made.
LRESULT WindowProc_OnOutOfMemory(HWND window, UINT message) noexcept;

using MessageHandler = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

// Handle's result, or WindowProc_OnOutOfMemory's when Handle ran out of memory.
template <MessageHandler Handle>
LRESULT CALLBACK GuardedWindowProc(HWND window, UINT message, WPARAM wParam,
                                   LPARAM lParam) noexcept {
    try {
        return Handle(window, message, wParam, lParam);
    } catch (const std::bad_alloc&) {
        return WindowProc_OnOutOfMemory(window, message);
    } catch (const std::length_error&) {
        return WindowProc_OnOutOfMemory(window, message);
    }
}
