#include "editctl/context_menu.h"

ContextMenuStates ContextMenuEnabled(const EditState& s, bool clipboardHasText) {
    const bool selected = s.anchor != s.caret;
    return {!s.undoHistory.empty(), selected, selected, clipboardHasText, selected};
}
