// Edit-control records for tests: a pretend window with a known client size.
#pragma once

#include "editctl/commands.h"
#include "editctl/edit_state.h"

#include <string>

inline int editFixtureWindowPlace;
// Only its address is used, as a non-null window.
inline const WindowHandle editFixtureWindow =
    reinterpret_cast<WindowHandle>(&editFixtureWindowPlace);

struct EditView {
    int32_t width = 800;
    int32_t height = 600;
    bool wrap = false;
    bool lineNumbers = true;
};

inline EditState MakeEdit(std::u16string text, EditView view = {}) {
    EditState s;
    s.view.wordWrap = view.wrap;
    s.view.showLineNumbers = view.lineNumbers;
    AttachWindow(s, editFixtureWindow, view.width, view.height);
    SetText(s, text);
    TakeEffects(s);
    return s;
}
