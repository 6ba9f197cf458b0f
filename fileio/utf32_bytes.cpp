#include "fileio/utf32_bytes.h"
#include "fileio/text_units.h"

namespace {

char32_t ValueAt(const unsigned char* p, bool bigEndian) {
    if (bigEndian)
        return char32_t{p[0]} << 24 | char32_t{p[1]} << 16 | char32_t{p[2]} << 8 | p[3];
    return char32_t{p[3]} << 24 | char32_t{p[2]} << 16 | char32_t{p[1]} << 8 | p[0];
}

bool IsHighSurrogateValue(char32_t value) {
    return value >= 0xD800 && value <= 0xDBFF;
}

bool IsLowSurrogateValue(char32_t value) {
    return value >= 0xDC00 && value <= 0xDFFF;
}

} // namespace

bool AppendUtf32Units(std::string_view bytes, bool bigEndian, std::u16string& text) {
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t values = bytes.size() / 4;
    text.reserve(text.size() + values + 1);
    bool replaced = false;
    char32_t previous = 0;
    for (size_t i = 0; i < values; ++i) {
        const char32_t value = ValueAt(p + 4 * i, bigEndian);
        if (value > 0x10FFFF || (IsLowSurrogateValue(value) && IsHighSurrogateValue(previous))) {
            text.push_back(kReplacementUnit);
            replaced = true;
        } else if (value >= 0x10000) {
            text.push_back(HighSurrogateOf(value));
            text.push_back(LowSurrogateOf(value));
        } else {
            text.push_back(static_cast<char16_t>(value));
        }
        previous = value;
    }
    if (bytes.size() % 4 != 0) {
        text.push_back(kReplacementUnit);
        replaced = true;
    }
    return replaced;
}

void AppendUtf32Bytes(std::u16string_view text, bool bigEndian, std::string& bytes) {
    const size_t n = text.size();
    const size_t at = bytes.size();
    bytes.resize(at + 4 * n); // a pair takes one value for its two units
    char* out = bytes.data() + at;
    for (size_t i = 0; i < n; ++i) {
        char32_t value = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < n && IsLowSurrogate(text[i + 1])) {
            value = CombineSurrogates(text[i], text[i + 1]);
            ++i;
        }
        for (int k = 0; k < 4; ++k)
            out[bigEndian ? 3 - k : k] = static_cast<char>(value >> (8 * k));
        out += 4;
    }
    bytes.resize(static_cast<size_t>(out - bytes.data()));
}
