// A document's recovery journal as its edit control feeds it: every change
// of the text becomes a few bytes kept in memory, which the window layer
// (recovery_files.h) appends to the journal's file about a second later.
#pragma once

#include "editctl/edit_state.h"

#include <cstdint>
#include <span>
#include <string>

class JournalLog final : public TextObserver {
  public:
    void TextChanged(const EditState& s, std::span<const UndoRecord> records,
                     bool forward) noexcept override;
    void TextReplaced(const EditState& s) noexcept override;

    std::string pending; // records not yet written
    bool due = false;    // the text changed since the last write
    // The file's records no longer lead to the text (it was replaced, or a
    // record could not be kept or written): the next write starts a journal
    // afresh from a copy of the whole text.
    bool afresh = false;
    int64_t textUnits = 0;

    // Kept by the window layer: the open journal file (null: none), its name
    // and length, and what tells this document's journals from others.
    void* file = nullptr;
    std::u16string fileName;
    uint64_t fileBytes = 0;
    uint64_t documentId = 0;
    uint32_t generation = 0;
};
