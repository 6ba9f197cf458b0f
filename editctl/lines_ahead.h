// Measures the lines of a text on a thread of its own while another thread
// still decodes the text from a file, so that a large file's load keeps two
// cores busy instead of measuring after decoding.
#pragma once

#include "editctl/line_table.h"

#include <condition_variable>
#include <cstddef>
#include <mutex>
#include <optional>
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
    // forgets what it measured.
    void drop();
    // Stops the thread, waits for it and makes `lines` the table of `text`,
    // which begins with every prefix told, measuring the rest here. Out of
    // memory, throws with `lines` unchanged.
    void finish(const TextBuffer& text, LineTable& lines);

  private:
    void Follow();
    void Stop();

    const LineMetrics metrics_;
    std::optional<LineTable::Ahead> ahead_; // the thread's while it runs
    std::thread thread_;
    std::mutex mutex_;
    std::condition_variable more_;
    // Guarded by mutex_:
    const char16_t* units_ = nullptr;
    size_t written_ = 0;
    bool stop_ = false;
    bool failed_ = false; // the thread ran out of memory: measure afresh
};
