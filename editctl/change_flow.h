// The way every operation takes once it has changed the text model: the
// layout is brought up to date from the change record, then the effects
// are recorded (the log of changes told, a repaint asked for, the parent's
// notification last). Neither stage calls back into editing.
#pragma once

#include "editctl/edit_state.h"
#include "editctl/model_change.h"

void FollowChange(EditState& s, const ModelChange& change);

// The record of a caret or selection move; without `reveal` the view stays.
inline ModelChange SelectionMoved(bool reveal = true) {
    ModelChange change;
    change.kind = ModelChange::Kind::Selection;
    change.reveal = reveal;
    return change;
}
