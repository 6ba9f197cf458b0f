#include "fileio/file_paths.h"

namespace {

// The zero-terminated string at offset; a string that runs into the end of
// the buffer ends there.
std::u16string_view StringAt(std::u16string_view buffer, size_t offset) {
    if (offset >= buffer.size())
        return {};
    const std::u16string_view rest = buffer.substr(offset);
    return rest.substr(0, rest.find(u'\0'));
}

char16_t AsciiUpper(char16_t c) {
    return c >= u'a' && c <= u'z' ? static_cast<char16_t>(c - 32) : c;
}

bool SameIgnoringCase(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (AsciiUpper(a[i]) != AsciiUpper(b[i]))
            return false;
    }
    return true;
}

// COM and LPT take a digit from 1 to 9, or a superscript 1, 2 or 3.
bool IsPortDigit(char16_t c) {
    return (c >= u'1' && c <= u'9') || c == u'\u00B9' || c == u'\u00B2' || c == u'\u00B3';
}

} // namespace

std::vector<std::u16string> ParseOpenFileSelection(std::u16string_view buffer) {
    const std::u16string_view first = StringAt(buffer, 0);
    if (first.empty())
        return {};
    size_t offset = first.size() + 1;
    if (StringAt(buffer, offset).empty())
        return {std::u16string(first)};
    std::vector<std::u16string> paths;
    for (std::u16string_view name = StringAt(buffer, offset); !name.empty();
         name = StringAt(buffer, offset)) {
        paths.push_back(JoinFolderAndName(first, name));
        offset += name.size() + 1;
    }
    return paths;
}

std::u16string JoinFolderAndName(std::u16string_view folder, std::u16string_view name) {
    std::u16string path(folder);
    if (path.empty() || path.back() != u'\\')
        path += u'\\';
    path += name;
    return path;
}

std::u16string AddTxtExtension(std::u16string path, int filterIndex) {
    if (filterIndex != 1)
        return path;
    const size_t separator = path.find_last_of(u"\\/");
    const size_t dot = path.rfind(u'.');
    if (dot == std::u16string::npos || (separator != std::u16string::npos && dot < separator))
        path += u".txt";
    return path;
}

bool NamesDevice(std::u16string_view path) {
    if (path.starts_with(u"\\\\?\\"))
        return false;
    std::u16string_view name = path.substr(path.find_last_of(u"\\/") + 1);
    if (name.size() >= 2 && name[1] == u':' && name.size() == path.size())
        name.remove_prefix(2); // a drive and a name relative to its current folder
    name = name.substr(0, name.find_first_of(u".:"));
    while (!name.empty() && name.back() == u' ')
        name.remove_suffix(1);
    for (const char16_t* device : {u"CON", u"PRN", u"AUX", u"NUL", u"CONIN$", u"CONOUT$"}) {
        if (SameIgnoringCase(name, device))
            return true;
    }
    return name.size() == 4 &&
           (SameIgnoringCase(name.substr(0, 3), u"COM") ||
            SameIgnoringCase(name.substr(0, 3), u"LPT")) &&
           IsPortDigit(name[3]);
}
