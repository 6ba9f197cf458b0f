// The close button shows only an "X"; screen readers read it as the
// "Close tab" button its tooltip describes.
#pragma once

#include <windows.h>

// Names the button for UI Automation clients for as long as it lives.
void TabStrip_NameCloseButton(HWND closeButton);
