// What the window layer attaches to the control's record: its handles and
// objects, opaque here. The core only asks whether there is a window.
#pragma once

// Win32's own handle types, declared as its headers declare them: an HWND
// and an HFONT convert to these without a cast.
struct HWND__;
struct HFONT__;
using WindowHandle = HWND__*;
using FontHandle = HFONT__*;
class EditProvider;
struct BackBuffer;
struct FontGlyphs;

// Owns an object of the window layer, freed by the function it came with.
// The record is a value the tests copy; a copy starts without the object,
// which only the window's own record may free.
template <typename T> class Attachment {
  public:
    using Free = void (*)(T*);

    Attachment() = default;
    Attachment(const Attachment&) noexcept {}
    Attachment& operator=(const Attachment& other) noexcept {
        if (this != &other)
            reset();
        return *this;
    }
    Attachment(Attachment&& other) noexcept : object_(other.object_), free_(other.free_) {
        other.object_ = nullptr;
    }
    Attachment& operator=(Attachment&& other) noexcept {
        if (this != &other) {
            reset(other.object_, other.free_);
            other.object_ = nullptr;
        }
        return *this;
    }
    ~Attachment() { reset(); }

    T* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    // Frees the object held, if any, and holds `object` instead.
    void reset(T* object = nullptr, Free free = nullptr) noexcept {
        T* const old = object_;
        const Free oldFree = free_;
        object_ = object;
        free_ = free;
        if (old)
            oldFree(old);
    }

  private:
    T* object_ = nullptr;
    Free free_ = nullptr;
};

struct WindowParts {
    WindowHandle window = nullptr; // null: no window, the view operations do nothing
    FontHandle font = nullptr;     // not owned: the main window creates and deletes it
    // The accessibility element, made when a client first asks; holds a reference.
    EditProvider* automation = nullptr;
    // The off-screen bitmap kept between paints at the size it was made for.
    Attachment<BackBuffer> backBuffer;
    // The font's glyphs as the paint code draws characters by them.
    Attachment<FontGlyphs> glyphs;
};
