// The system's wide strings hold UTF-16 code units, as the program's text
// does: these view one as the other without copying. Window layer only,
// where wchar_t is 16 bits.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

static_assert(sizeof(wchar_t) == sizeof(char16_t), "wide strings must be UTF-16");

inline const wchar_t* Wide(const char16_t* text) {
    return reinterpret_cast<const wchar_t*>(text);
}

inline wchar_t* Wide(char16_t* text) {
    return reinterpret_cast<wchar_t*>(text);
}

inline const wchar_t* Wide(const std::u16string& text) {
    return Wide(text.c_str());
}

inline const char16_t* U16(const wchar_t* text) {
    return reinterpret_cast<const char16_t*>(text);
}

inline std::u16string_view U16(const wchar_t* text, size_t length) {
    return {U16(text), length};
}

inline std::u16string U16(const std::wstring& text) {
    return std::u16string(U16(text.c_str()), text.size());
}
