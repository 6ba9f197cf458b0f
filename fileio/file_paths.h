// Path work of the file commands that needs no window: the open dialog's
// multiple selection, the ".txt" the save dialog's text filter stands for,
// joining a folder with a name, and the names Windows keeps for devices.
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

// Whether the path's last name is one Windows keeps for a device in every
// folder: CON, PRN, AUX, NUL, CONIN$, CONOUT$, COM1-COM9 and LPT1-LPT9 in
// any case, also with an extension or a stream name after it and with the
// spaces and dots Windows drops from the end of a name ("nul.txt", "Com1 ",
// "lpt1.log.", "nul:"). A path that starts with \\?\ is taken literally
// by Windows and names no device this way.
bool NamesDevice(std::u16string_view path);
