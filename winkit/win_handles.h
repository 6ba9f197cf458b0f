// Owners of system resources that give them back when they go out of
// scope, so that an early return or an exception (memory running out in the
// middle of a command) leaves nothing open, locked or leaked.
#pragma once

#include <windows.h>
#include <objbase.h>

#include <utility>

// A handle given back with Free when its owner goes (or takes another); a
// null one is not. Ownership moves with the owner and leaves with release().
template <typename Handle, auto Free> class Owned {
  public:
    Owned() = default;
    explicit Owned(Handle handle) : handle_(handle) {}
    ~Owned() { reset(); }
    Owned(Owned&& other) noexcept : handle_(other.release()) {}
    Owned& operator=(Owned&& other) noexcept {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Handle get() const { return handle_; }
    explicit operator bool() const { return handle_ != Handle{}; }
    // Hands the handle to the caller, who frees it from now on.
    Handle release() {
        const Handle handle = handle_;
        handle_ = Handle{};
        return handle;
    }
    // Frees the handle held, if any, and holds `handle` instead.
    void reset(Handle handle = Handle{}) {
        const Handle old = handle_;
        handle_ = handle;
        if (old)
            Free(old);
    }

  private:
    Handle handle_{};
};

// An open file, or another kernel object that CloseHandle gives back (a
// process). CreateFileW's failure value, INVALID_HANDLE_VALUE, counts as no
// handle, as null does.
class FileHandle : public Owned<HANDLE, CloseHandle> {
  public:
    FileHandle() = default;
    explicit FileHandle(HANDLE handle) : Owned(Held(handle)) {}
    void reset(HANDLE handle = nullptr) { Owned::reset(Held(handle)); }
    // False when there was no handle or closing it failed, which for a file
    // written to can mean that its last bytes did not reach the disk.
    bool Close() {
        const HANDLE handle = release();
        return handle && CloseHandle(handle);
    }

  private:
    static HANDLE Held(HANDLE handle) { return handle == INVALID_HANDLE_VALUE ? nullptr : handle; }
};

// A font, pen, brush or bitmap.
template <typename Handle> using GdiObject = Owned<Handle, DeleteObject>;
// A memory device context from CreateCompatibleDC.
using MemoryDc = Owned<HDC, DeleteDC>;
// An open registry key.
using RegistryKey = Owned<HKEY, RegCloseKey>;
// A module loaded with LoadLibraryW.
using LoadedLibrary = Owned<HMODULE, FreeLibrary>;
// An icon loaded at a chosen size, or made.
using OwnedIcon = Owned<HICON, DestroyIcon>;
// An accelerator table.
using Accelerators = Owned<HACCEL, DestroyAcceleratorTable>;
// A menu not attached to a window, such as a popup menu.
using MenuHandle = Owned<HMENU, DestroyMenu>;
// A global memory block, until the clipboard or another owner takes it.
using GlobalBlock = Owned<HGLOBAL, GlobalFree>;

// An object selected into a device context until the end of the scope;
// nothing happens for a null object.
class SelectedObject {
  public:
    SelectedObject(HDC dc, HGDIOBJ object)
        : dc_(dc), previous_(object ? SelectObject(dc, object) : nullptr) {}
    ~SelectedObject() {
        if (previous_)
            SelectObject(dc_, previous_);
    }
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;

  private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The device context of a window's client area (of the screen for a null
// window), or of the whole window with its frame.
class WindowDc {
  public:
    enum Area { Client, Whole };
    explicit WindowDc(HWND window, Area area = Client)
        : window_(window), dc_(area == Whole ? GetWindowDC(window) : GetDC(window)) {}
    ~WindowDc() {
        if (dc_)
            ReleaseDC(window_, dc_);
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC get() const { return dc_; }

  private:
    HWND window_;
    HDC dc_;
};

// The clipboard, opened for a window until the end of the scope.
class OpenClipboardScope {
  public:
    explicit OpenClipboardScope(HWND window) : open_(OpenClipboard(window) != FALSE) {}
    ~OpenClipboardScope() {
        if (open_)
            CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open_; }

  private:
    bool open_;
};

// A movable memory block locked until the end of the scope; get() is null
// when the block is null or cannot be locked.
template <typename T> class LockedGlobal {
  public:
    explicit LockedGlobal(HGLOBAL block)
        : block_(block), data_(block ? static_cast<T*>(GlobalLock(block)) : nullptr) {}
    ~LockedGlobal() {
        if (data_)
            GlobalUnlock(block_);
    }
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    T* get() const { return data_; }

  private:
    HGLOBAL block_;
    T* data_;
};

// A search of a folder's entries, its first entry in `entry`; Found() is
// false when nothing matched or the search could not start.
class FileSearch {
  public:
    FileSearch(const wchar_t* pattern, WIN32_FIND_DATAW& entry)
        : handle_(FindFirstFileW(pattern, &entry)) {}
    ~FileSearch() {
        if (Found())
            FindClose(handle_);
    }
    FileSearch(const FileSearch&) = delete;
    FileSearch& operator=(const FileSearch&) = delete;
    bool Found() const { return handle_ != INVALID_HANDLE_VALUE; }
    bool Next(WIN32_FIND_DATAW& entry) const { return FindNextFileW(handle_, &entry) != FALSE; }

  private:
    HANDLE handle_;
};

// A reference to a COM object, released when its owner goes; it moves with
// the owner and leaves with release().
template <typename Interface> class ComPtr {
  public:
    ComPtr() = default;
    // Takes over a reference the caller holds.
    explicit ComPtr(Interface* adopted) : pointer_(adopted) {}
    // A reference of its own to an object someone else holds.
    static ComPtr Share(Interface* shared) {
        if (shared)
            shared->AddRef();
        return ComPtr(shared);
    }
    ~ComPtr() {
        if (pointer_)
            pointer_->Release();
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(other.release()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) {
            ComPtr gone(std::move(*this));
            pointer_ = other.release();
        }
        return *this;
    }
    // For a call that hands out a new reference; the pointer must be empty.
    Interface** Receive() { return &pointer_; }
    Interface* get() const { return pointer_; }
    Interface* operator->() const { return pointer_; }
    explicit operator bool() const { return pointer_ != nullptr; }
    // Hands the reference to the caller, who releases it from now on.
    Interface* release() {
        Interface* pointer = pointer_;
        pointer_ = nullptr;
        return pointer;
    }

  private:
    Interface* pointer_ = nullptr;
};

// COM on this thread, uninitialised at the end of the scope when the
// initialisation succeeded.
class ComScope {
  public:
    explicit ComScope(DWORD flags) : result_(CoInitializeEx(nullptr, flags)) {}
    ~ComScope() {
        if (SUCCEEDED(result_))
            CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    HRESULT result_;
};
