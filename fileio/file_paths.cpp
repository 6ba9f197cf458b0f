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
