// The About box and the version block it reads.
#pragma once

#include <windows.h>

#include <string>

// A string of the US English, Unicode table of a file's version block; empty
// when the file, the block or the string is missing.
std::wstring MainWnd_GetFileVersionString(const std::wstring& path, const wchar_t* key);
// The same for the program's own executable.
std::wstring MainWnd_GetVersionString(const wchar_t* key);
void MainWnd_ShowAbout(HWND window);
