// Path work of the file commands that needs no window: the open dialog's
// multiple selection, the ".txt" the save dialog's text filter stands for,
// and joining a folder with a name.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The paths in an open dialog's result buffer: one full path, or a folder
// followed by names, each ended by a zero and the list by an empty string.
// Nothing is read past the end of the buffer; an empty first string gives an
// empty list.
std::vector<std::u16string> ParseOpenFileSelection(std::u16string_view buffer);

// The folder, a backslash unless it already ends in one, and the name.
std::u16string JoinFolderAndName(std::u16string_view folder, std::u16string_view name);

// With filter 1 ("Text Files (*.txt)"), a name without an extension gets
// ".txt"; a dot before the last separator belongs to a folder and does not
// count. Any other filter leaves the path as it is.
std::u16string AddTxtExtension(std::u16string path, int filterIndex);
