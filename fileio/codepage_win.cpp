// The system's converters. Windows wants int lengths, which the 32-bit limit
// on texts and files keeps in range.
#include "fileio/codepage.h"

#include "fileio/page_prefault.h"
#include "fileio/text_units.h"
#include "fileio/wide.h"

#include <windows.h>

namespace {

// A system whose ANSI page is UTF-8 takes the UTF-8 rules: the converter
// rejects the no-best-fit flag and the default-character report for it.
bool IsUtf8(uint32_t codePage) {
    return codePage == kCodePageUtf8 || (codePage == CP_ACP && GetACP() == CP_UTF8);
}

// Runs WideCharToMultiByte, measuring when `out` is null.
int Encode(uint32_t codePage, std::u16string_view text, char* out, int outSize, bool& replaced) {
    const auto* wide = Wide(text.data());
    const int length = static_cast<int>(text.size());
    replaced = false;
    if (IsUtf8(codePage))
        return WideCharToMultiByte(CP_UTF8, 0, wide, length, out, outSize, nullptr, nullptr);
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(codePage, WC_NO_BEST_FIT_CHARS, wide, length, out, outSize,
                                         nullptr, &usedDefault);
    replaced = usedDefault != FALSE;
    return size;
}

} // namespace

bool DecodeFromCodePage(uint32_t codePage, std::string_view bytes, std::u16string& text,
                        size_t spareUnits) {
    text.clear();
    if (bytes.empty())
        return true;
    if (!FitsTextLength(bytes.size()))
        return false;
    const int length = static_cast<int>(bytes.size());
    const int units = MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0);
    if (units <= 0)
        return false;
    text.reserve(units + spareUnits);
    PrefaultSpare(text);
    text.assign(units, u'\0');
    auto* wide = Wide(text.data());
    return MultiByteToWideChar(codePage, 0, bytes.data(), length, wide, units) == units;
}

bool DecodingReplacesBytes(uint32_t codePage, std::string_view bytes) {
    if (bytes.empty() || !FitsTextLength(bytes.size()))
        return false;
    const int length = static_cast<int>(bytes.size());
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, bytes.data(), length, nullptr, 0) ==
               0 &&
           GetLastError() == ERROR_NO_UNICODE_TRANSLATION;
}

bool MeasureEncoding(uint32_t codePage, std::u16string_view text, size_t& size, bool& replaced) {
    size = 0;
    replaced = false;
    if (text.empty())
        return true;
    if (!FitsTextLength(text.size()))
        return false;
    const int measured = Encode(codePage, text, nullptr, 0, replaced);
    if (measured <= 0)
        return false;
    size = static_cast<size_t>(measured);
    return true;
}

bool EncodeMeasured(uint32_t codePage, std::u16string_view text, char* out, size_t size) {
    const int outSize = static_cast<int>(size);
    bool replaced = false;
    return Encode(codePage, text, out, outSize, replaced) == outSize;
}
