// Measures the lines of a text on a thread of its own while another thread
// still decodes the text from a file, so that a large file's load keeps two
// cores busy instead of measuring after decoding.
#pragma once

#include "editctl/line_table.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

class TextBuffer;

class LinesAhead {
  public:
    explicit LinesAhead(const LineMetrics& metrics) : metrics_(metrics) {}
    ~LinesAhead() { drop(); }
    LinesAhead(const LinesAhead&) = delete;
    LinesAhead& operator=(const LinesAhead&) = delete;

    // From the decoding thread: units [0, written) at `units` are final, of
    // the `total` the text will have. The units stay where they are, and
    // begin with those told before, until drop() or finish().
    void told(const char16_t* units, size_t written, size_t total);
    // What was told no longer holds: stops the thread, waits for it and
    // forgets what it measured, ready to be told of other units.
    void drop();
    // Measures what the thread has not measured yet of `units`, which
    // begin with every prefix told, sharing it with the thread, and stops
    // the thread; then `text` takes the units and `lines` becomes their
    // table. Out of memory, throws.
    void finish(std::u16string&& units, TextBuffer& text, LineTable& lines);

  private:
    void Follow();
    void Stop();
    // Sends the thread no further than a line start halfway through what it
    // has left of the whole text of `length` units and measures from there
    // on here; nothing when too little is left or the text is not whole.
    std::optional<LineTable::Ahead> MeasureFarHalf(int64_t length);

    const LineMetrics metrics_;
    std::optional<LineTable::Ahead> ahead_; // the thread's while it runs
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable more_;    // to the thread: more is written, or stop
    std::condition_variable settled_; // from the thread: it has done what it can
    // Guarded by mutex_:
    const char16_t* units_ = nullptr;
    size_t written_ = 0;
    size_t limit_ = SIZE_MAX; // the thread measures no further
    int64_t measured_ = 0;    // where the thread's lines end so far
    size_t seen_ = 0;         // what was written when it last ran out of lines to measure
    bool stop_ = false;
    bool failed_ = false; // the thread ran out of memory: measure afresh
};
