// What one operation did to the text model: the one record the layout and
// the effects are brought up to date from, so that neither looks back into
// the edit that made it.
#pragma once

#include "editctl/history.h"
#include "editctl/line_table.h"

#include <span>

struct ModelChange {
    enum class Kind {
        Nothing,   // nothing to follow: an undo with no history
        Refused,   // the text would have grown too long; nothing changed
        Selection, // only the selection moved
        Text,      // an edit, undo or redo, also one that removed nothing
    };
    Kind kind = Kind::Nothing;
    // The units replaced, already in the line table's lines; nothing when
    // the edit changed no unit.
    TextChange span;
    // The records now carried out, in order, for a log of the changes; a
    // Replace All is one record of its own.
    std::span<const UndoRecord> records;
    bool reveal = true; // scroll the caret into view after a move
};
