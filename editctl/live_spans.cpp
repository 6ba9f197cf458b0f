#include "editctl/live_spans.h"

#include "editctl/saturate.h"

namespace {

// What one record does, as pieces of equal size at ascending places: piece
// i starts at place(i) of the text before it, and its `removed` units give
// way to `inserted`. A plain edit is one piece; a Replace All, one per match.
struct Pieces {
    const std::vector<int32_t>* places = nullptr; // one piece at `at` when null
    int64_t at = 0;
    int64_t shift = 0; // how far piece i lies behind places[i] in the text before
    int64_t removed = 0;
    int64_t inserted = 0;

    int64_t count() const { return places ? static_cast<int64_t>(places->size()) : 1; }
    int64_t place(int64_t i) const { return places ? (*places)[i] + i * shift : at; }
    int64_t moved(int64_t pieces) const { return pieces * (inserted - removed); }
};

Pieces PiecesOf(const UndoRecord& record) {
    Pieces p;
    const auto units = static_cast<int64_t>(record.text.size());
    if (!record.matches) {
        p.at = record.position;
        (record.kind == UndoKind::Insert ? p.inserted : p.removed) = units;
        return p;
    }
    const ReplacedMatches& m = *record.matches;
    const auto replacement = static_cast<int64_t>(m.inserted.size());
    // The places are those of the matches; with the replacement in, each
    // piece lies behind its match by what the pieces before it grew.
    const bool putReplacement = record.kind == UndoKind::Insert;
    p.places = &m.positions;
    p.removed = putReplacement ? m.length : replacement;
    p.inserted = putReplacement ? replacement : m.length;
    p.shift = putReplacement ? 0 : replacement - m.length;
    return p;
}

// The first piece for which `before` is false; pieces are ascending.
template <typename Before> int64_t FirstNot(const Pieces& p, Before before) {
    int64_t low = 0;
    int64_t high = p.count();
    while (low < high) {
        const int64_t middle = low + (high - low) / 2;
        if (before(middle))
            low = middle + 1;
        else
            high = middle;
    }
    return low;
}

// A start stays before text put in where it stands.
int64_t FollowStart(const Pieces& p, int64_t position) {
    const int64_t k = FirstNot(p, [&](int64_t i) { return p.place(i) + p.removed <= position; });
    if (k < p.count() && p.place(k) <= position)
        return p.place(k) + p.moved(k);
    return position + p.moved(k);
}

// An end stays before text put in where it stands, and takes in what
// replaced the units just before it.
int64_t FollowEnd(const Pieces& p, int64_t position) {
    const int64_t k = FirstNot(p, [&](int64_t i) { return p.place(i) + p.removed < position; });
    if (k < p.count() && p.place(k) < position)
        return p.place(k) + p.moved(k) + p.inserted;
    return position + p.moved(k);
}

// Whether the records at `i` are a removal and what was put in its place,
// which the spans follow as one replacement.
bool ReplacementAt(std::span<const UndoRecord> records, size_t i) {
    if (i + 1 >= records.size())
        return false;
    const UndoRecord& removed = records[i];
    const UndoRecord& put = records[i + 1];
    return !removed.matches && !put.matches && removed.kind == UndoKind::Delete &&
           put.kind == UndoKind::Insert && removed.position == put.position;
}

} // namespace

TextSpan FollowRecords(TextSpan span, std::span<const UndoRecord> records) {
    for (size_t i = 0; i < records.size(); ++i) {
        Pieces pieces = PiecesOf(records[i]);
        if (ReplacementAt(records, i))
            pieces.inserted = static_cast<int64_t>(records[++i].text.size());
        const int64_t start = FollowStart(pieces, span.start);
        const int64_t end = span.end == span.start ? start : FollowEnd(pieces, span.end);
        span = {Saturate32(start), Saturate32(end)};
    }
    return span;
}

void LiveSpans::follow(std::span<const UndoRecord> records) {
    for (TextSpan* span : spans_)
        *span = FollowRecords(*span, records);
}
