#include "editctl/context_menu.h"

ContextMenuStates ContextMenuEnabled(const EditState& s, bool clipboardHasText) {
    const bool selected = s.model.anchor != s.model.caret;
    return {!s.history.undoHistory.empty(), selected, selected, clipboardHasText, selected};
}
