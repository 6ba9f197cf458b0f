// The document's UTF-16 units, held with a gap where the last edit was, so
// that typing anywhere moves only the units between the last edit and this
// one, not the whole tail of the text. Reads mean what std::u16string's do.
//
// view() moves the gap out of the range it returns, so even a const buffer
// is written to: use it from one thread only. A view lasts until the buffer
// changes; taking another view moves only units inside that view's range,
// so views of ranges that do not overlap stay valid together.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

class TextBuffer {
  public:
    static constexpr size_t npos = std::u16string::npos;

    TextBuffer() = default;
    explicit TextBuffer(std::u16string_view units) { assign(units); }

    size_t size() const { return units_.size() - gapLength_; }
    bool empty() const { return size() == 0; }
    // Units the buffer holds without growing.
    size_t capacity() const { return units_.size(); }
    char16_t operator[](size_t i) const {
        return units_.data()[i < gapStart_ ? i : i + gapLength_];
    }

    // Positions beyond the text throw std::out_of_range; `n` is cut at the end.
    std::u16string substr(size_t pos, size_t n = npos) const;
    std::u16string_view view(size_t pos, size_t n = npos) const;
    // The text before the gap and after it, together the whole text.
    std::pair<std::u16string_view, std::u16string_view> halves() const;
    // Units [pos, pos + n) as the parts before and after the gap, the second
    // often empty; unlike view(), moves nothing. `n` is cut at the end.
    std::pair<std::u16string_view, std::u16string_view> pieces(size_t pos, size_t n) const;

    // `units` may view the buffer itself. Out of memory, throws
    // std::bad_alloc with the buffer unchanged; after reserve() made room
    // for the larger text, it cannot fail.
    void insert(size_t pos, std::u16string_view units);
    void erase(size_t pos, size_t n = npos);
    // Room for `n` units and some to spare: growing by the spare alone does
    // not reallocate. Out of memory, throws with the buffer unchanged.
    void reserve(size_t n);

    // Takes the string's block, its spare capacity becoming the gap.
    void assign(std::u16string&& units) noexcept;
    void assign(std::u16string_view units);
    TextBuffer& operator=(std::u16string&& units) noexcept {
        assign(std::move(units));
        return *this;
    }
    void clear() noexcept;
    void swap(TextBuffer& other) noexcept;
    // The text as one string, the gap becoming its spare capacity, without a
    // copy; the buffer is left empty.
    std::u16string release() noexcept;

    friend bool operator==(const TextBuffer& a, std::u16string_view b);
    friend bool operator==(const TextBuffer& a, const TextBuffer& b);

  private:
    void moveGap(size_t to) const;
    // Reallocates to `total` units with the text where it was.
    void regrow(size_t total);

    // The text before the gap, the gap's units, the text after it.
    mutable std::u16string units_;
    mutable size_t gapStart_ = 0;
    size_t gapLength_ = 0;
};
