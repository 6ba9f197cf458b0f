#include "editctl/column_stops.h"

#include "editctl/characters.h"

#include <algorithm>
#include <new>
#include <stdexcept>

namespace {

bool SameRules(const CellRules& a, const CellRules& b) {
    return a.tabWidth == b.tabWidth && a.perRow == b.perRow;
}

} // namespace

CellStop ColumnStops::beforeOffset(std::u16string_view line, const LineInfo& info,
                                   const CellRules& rules, int32_t offset) {
    Line* entry = info.length < kSpacing ? nullptr : find(info, rules);
    if (!entry)
        return {};
    while (entry->stops.back().offset <= int64_t{offset} - kSpacing && extend(*entry, line)) {
    }
    const auto after =
        std::upper_bound(entry->stops.begin(), entry->stops.end(), offset,
                         [](int32_t value, const CellStop& stop) { return value < stop.offset; });
    return *(after - 1);
}

CellStop ColumnStops::beforeColumn(std::u16string_view line, const LineInfo& info,
                                   const CellRules& rules, int64_t column) {
    Line* entry = info.length < kSpacing || column <= 0 ? nullptr : find(info, rules);
    if (!entry)
        return {};
    while (entry->stops.back().column <= column && extend(*entry, line)) {
    }
    const auto after =
        std::upper_bound(entry->stops.begin(), entry->stops.end(), column,
                         [](int64_t value, const CellStop& stop) { return value < stop.column; });
    return *(after - 1);
}

std::span<const CellStop> ColumnStops::kept(const LineInfo& info, const CellRules& rules) const {
    const auto entry = std::find_if(lines_.begin(), lines_.end(), [&](const Line& l) {
        return l.start == info.start && l.length == info.length && SameRules(l.rules, rules);
    });
    return entry == lines_.end() ? std::span<const CellStop>() : std::span(entry->stops);
}

void ColumnStops::edited(const TextChange& change, const LineTable& lines) {
    if (!change.any)
        return;
    const int32_t delta = change.newEnd - change.oldEnd;
    std::erase_if(lines_, [&](Line& entry) {
        bool touched = false;
        if (change.oldEnd < entry.start) {
            // The break before the line keeps its last unit: the line moves whole.
            entry.start += delta;
        } else if (change.start <= entry.start + entry.length) {
            if (change.start <= entry.start)
                return true;
            // A stop depends only on the units before it.
            const int32_t kept = change.start - entry.start;
            std::erase_if(entry.stops, [&](const CellStop& stop) { return stop.offset >= kept; });
            entry.complete = false;
            touched = true;
        }
        const LineInfo now = lines[lines.lineOfPosition(entry.start)];
        if (now.start != entry.start ||
            (touched ? now.length < entry.stops.back().offset : now.length != entry.length))
            return true;
        entry.length = now.length;
        return false;
    });
}

ColumnStops::Line* ColumnStops::find(const LineInfo& info, const CellRules& rules) {
    ++clock_;
    auto entry = std::find_if(lines_.begin(), lines_.end(),
                              [&](const Line& l) { return l.start == info.start; });
    if (entry != lines_.end() && entry->length == info.length && SameRules(entry->rules, rules)) {
        entry->used = clock_;
        return &*entry;
    }
    try {
        if (entry == lines_.end() && lines_.size() < kLines)
            entry = lines_.insert(lines_.end(), Line{});
        else if (entry == lines_.end())
            entry = std::min_element(lines_.begin(), lines_.end(),
                                     [](const Line& a, const Line& b) { return a.used < b.used; });
        entry->stops.clear();
        entry->stops.push_back({});
    } catch (const std::bad_alloc&) {
        // Walking from the line's start is slower but needs no memory.
        if (entry != lines_.end())
            lines_.erase(entry);
        return nullptr;
    }
    entry->start = info.start;
    entry->length = info.length;
    entry->rules = rules;
    entry->complete = false;
    entry->used = clock_;
    return &*entry;
}

bool ColumnStops::extend(Line& entry, std::u16string_view line) {
    if (entry.complete)
        return false;
    const int32_t length = static_cast<int32_t>(line.size());
    CellStop walk = entry.stops.back();
    const int64_t target = int64_t{walk.offset} + kSpacing;
    while (walk.offset < length && walk.offset < target) {
        const CellSpan span = PlaceCharacter(line, walk.offset, walk.column, entry.rules);
        walk.column = span.end;
        walk.offset = span.after;
    }
    if (walk.offset >= length) {
        entry.complete = true;
        return false;
    }
    try {
        entry.stops.push_back(walk);
    } catch (const std::bad_alloc&) {
        return false;
    } catch (const std::length_error&) {
        return false;
    }
    return true;
}
