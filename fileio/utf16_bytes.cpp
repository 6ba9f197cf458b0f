#include "fileio/utf16_bytes.h"
#include "fileio/text_units.h"

bool AppendUtf16Units(std::string_view bytes, bool bigEndian, std::u16string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t units = bytes.size() / 2;
    const size_t at = text.size();
    text.resize(at + units);
    char16_t* out = text.data() + at;
    const int high = bigEndian ? 0 : 1;
    for (size_t i = 0; i < units; ++i)
        out[i] = static_cast<char16_t>(p[2 * i + high] << 8 | p[2 * i + 1 - high]);
    const bool odd = bytes.size() % 2 != 0;
    if (odd)
        text.push_back(kReplacementUnit);
    return odd;
}

void AppendUtf16Bytes(std::u16string_view text, bool bigEndian, std::string& bytes) {
    const size_t at = bytes.size();
    bytes.resize(at + 2 * text.size());
    char* out = bytes.data() + at;
    const int high = bigEndian ? 0 : 1;
    for (size_t i = 0; i < text.size(); ++i) {
        out[2 * i + high] = static_cast<char>(text[i] >> 8);
        out[2 * i + 1 - high] = static_cast<char>(text[i] & 0xFF);
    }
}
