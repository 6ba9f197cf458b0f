// The edit history: what each edit changed, kept to undo and redo it, and
// who else hears of the changes.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

enum class UndoKind : int32_t { Insert = 0, Delete = 1 };

// Every match of Replace All given way to the same text: the places and
// units alone, so that the history holds no copy of the text around them.
struct ReplacedMatches {
    // Where each match starts in the text without the replacement; ascending, apart.
    std::vector<int32_t> positions;
    int32_t length = 0; // units in each match
    // The matches' units in turn, or the first one's alone when all are alike.
    std::u16string removed;
    std::u16string inserted;
};

// One edit: `text` was inserted at, or removed from, `position`. With
// `matches`, the edit is a Replace All starting at `position` instead: an
// Insert record put the inserted text in place of the matches, a Delete
// record the matches back.
struct UndoRecord {
    UndoKind kind = UndoKind::Insert;
    int32_t position = 0;
    std::u16string text;
    // Undone and redone in one step with the record beneath it in its history.
    bool joined = false;
    // Shared by copies of the record: it never changes once made.
    std::shared_ptr<const ReplacedMatches> matches = nullptr;
};

struct EditState;

// Hears of every change of the text once it is made, to keep a record of it
// elsewhere. Called inside the edit, so it must be quick and must not throw.
class TextObserver {
  public:
    // The records were carried out: in order when `forward`, else each
    // reversed, from the last to the first.
    virtual void TextChanged(const EditState& s, std::span<const UndoRecord> records,
                             bool forward) noexcept = 0;
    // The whole text was replaced; what came before no longer leads to it.
    virtual void TextReplaced(const EditState& s) noexcept = 0;

  protected:
    ~TextObserver() = default;
};

struct EditHistory {
    std::vector<UndoRecord> undoHistory; // newest last, unlimited
    std::vector<UndoRecord> redoHistory; // newest last; every new edit empties it
    bool modified = false;               // edited since the text was last set or marked saved
    bool readOnly = false;               // every edit, undo and redo is refused
    TextObserver* observer = nullptr;    // not owned
};
