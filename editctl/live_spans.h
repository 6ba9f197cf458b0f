// Spans of the text held elsewhere (the text ranges automation clients keep)
// that go on covering the same text while edits before, inside and after
// them change it.
#pragma once

#include "editctl/history.h"

#include <cstdint>
#include <span>
#include <vector>

struct TextSpan {
    int32_t start = 0;
    int32_t end = 0;

    bool operator==(const TextSpan&) const = default;
};

// Where `span` goes when the records are carried out in order. Text put in
// at either end stays outside the span; text that takes the place of some
// of its own joins it. An empty span moves as a caret would, past text put
// in where it stands.
TextSpan FollowRecords(TextSpan span, std::span<const UndoRecord> records);

class LiveSpans {
  public:
    // `span` follows every edit until it is dropped.
    void keep(TextSpan* span) { spans_.push_back(span); }
    void drop(TextSpan* span) { std::erase(spans_, span); }
    void follow(std::span<const UndoRecord> records);

  private:
    std::vector<TextSpan*> spans_;
};
