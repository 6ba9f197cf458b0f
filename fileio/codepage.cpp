#include "fileio/codepage.h"

bool EncodeToCodePage(uint32_t codePage, std::u16string_view text, std::string& bytes,
                      bool& replaced) {
    size_t size;
    if (!MeasureEncoding(codePage, text, size, replaced))
        return false;
    bytes.assign(size, '\0');
    return size == 0 || EncodeMeasured(codePage, text, bytes.data(), size);
}
