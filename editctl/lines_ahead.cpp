#include "editctl/lines_ahead.h"

#include "editctl/text_buffer.h"

#include <algorithm>
#include <new>
#include <string_view>
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
    for (;;) {
        more_.wait(lock, [this] { return stop_ || std::min(written_, limit_) > seen_; });
        if (stop_)
            return;
        const char16_t* units = units_;
        const size_t written = std::min(written_, limit_);
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
            settled_.notify_one();
            return;
        }
        measured_ = ahead_->next();
        if (ahead_->next() <= stopBeyond) {
            seen_ = written;
            settled_.notify_one();
        }
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
    const std::lock_guard<std::mutex> lock(mutex_);
    units_ = nullptr;
    written_ = 0;
    limit_ = SIZE_MAX;
    measured_ = 0;
    seen_ = 0;
    stop_ = false;
}

std::optional<LineTable::Ahead> LinesAhead::MeasureFarHalf(int64_t length) {
    const char16_t* units = nullptr;
    int64_t from = 0;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!thread_.joinable() || stop_ || failed_ || static_cast<int64_t>(written_) != length)
            return std::nullopt;
        units = units_;
        from = measured_;
    }
    // The stretch the thread may be measuring now ends well before the
    // half, unless a line longer than a stretch crosses it.
    if (length - from < 8 * kStretchUnits)
        return std::nullopt;
    const std::u16string_view rest(units + from, static_cast<size_t>(length - from));
    const size_t lineEnd = rest.find_first_of(u"\r\n", rest.size() / 2);
    if (lineEnd == std::u16string_view::npos)
        return std::nullopt;
    int64_t half = from + static_cast<int64_t>(lineEnd) + 1;
    if (units[half - 1] == u'\r' && half < length && units[half] == u'\n')
        ++half;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        limit_ = static_cast<size_t>(half);
    }
    more_.notify_one();
    std::optional<LineTable::Ahead> far;
    try {
        far.emplace(metrics_, length, half);
        far->measure(units, length, length);
    } catch (const std::bad_alloc&) {
        far.reset();
    }
    // The thread ends its share, or gets stuck in a line it leaves to rebuild.
    std::unique_lock<std::mutex> lock(mutex_);
    settled_.wait(lock, [this] { return failed_ || seen_ >= limit_; });
    return far;
}

void LinesAhead::finish(std::u16string&& units, TextBuffer& text, LineTable& lines) {
    const std::optional<LineTable::Ahead> far = MeasureFarHalf(static_cast<int64_t>(units.size()));
    Stop();
    text.assign(std::move(units));
    if (!ahead_ || failed_) {
        lines.rebuild(text, metrics_);
        return;
    }
    // The thread got exactly as far as the far half begins, unless a long
    // line took it past: then the far half is measured again below.
    if (far && ahead_->next() == far->start())
        ahead_->append(*far);
    lines.rebuild(text, std::move(*ahead_));
    ahead_.reset();
}
