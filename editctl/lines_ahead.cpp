#include "editctl/lines_ahead.h"

#include "editctl/text_buffer.h"

#include <new>
#include <system_error>

namespace {

// How far the thread measures between looks at whether it should stop, so
// that finish() never waits long for it.
constexpr int64_t kStretchUnits = int64_t{1} << 18;

} // namespace

void LinesAhead::told(const char16_t* units, size_t written, size_t total) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stop_ || failed_)
            return;
        units_ = units;
        written_ = written;
    }
    if (thread_.joinable()) {
        more_.notify_one();
        return;
    }
    ahead_.emplace(metrics_, static_cast<int64_t>(total));
    try {
        thread_ = std::thread([this] { Follow(); });
    } catch (const std::system_error&) {
        // Without a thread the lines are all measured at the end, as ever.
        ahead_.reset();
        const std::lock_guard<std::mutex> lock(mutex_);
        failed_ = true;
    }
}

void LinesAhead::Follow() {
    std::unique_lock<std::mutex> lock(mutex_);
    size_t seen = 0; // what was written when the thread last ran out of lines to measure
    for (;;) {
        more_.wait(lock, [&] { return stop_ || written_ > seen; });
        if (stop_)
            return;
        const char16_t* units = units_;
        const size_t written = written_;
        lock.unlock();
        const int64_t stopBeyond = ahead_->next() + kStretchUnits;
        bool measured = true;
        try {
            ahead_->measure(units, static_cast<int64_t>(written), stopBeyond);
        } catch (const std::bad_alloc&) {
            measured = false;
        }
        lock.lock();
        if (!measured) {
            failed_ = true;
            return;
        }
        if (ahead_->next() <= stopBeyond)
            seen = written;
    }
}

void LinesAhead::Stop() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    more_.notify_one();
    if (thread_.joinable())
        thread_.join();
}

void LinesAhead::drop() {
    Stop();
    ahead_.reset();
}

void LinesAhead::finish(const TextBuffer& text, LineTable& lines) {
    Stop();
    if (!ahead_ || failed_) {
        lines.rebuild(text, metrics_);
        return;
    }
    lines.rebuild(text, std::move(*ahead_));
    ahead_.reset();
}
