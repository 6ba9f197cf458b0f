#include "docs/file_load.h"

#include "fileio/text_file.h"

#include <algorithm>
#include <new>
#include <stdexcept>
#include <utility>

namespace {

// Reading takes most of a load, measuring the lines the rest; a load reads
// the file twice (a check, then the decoding into place).
constexpr int kReadingPercent = 80;

uint32_t NextLoadId() {
    static std::atomic<uint32_t> last{0};
    return ++last;
}

} // namespace

FileLoad::FileLoad(HWND window, std::u16string path, uint64_t size, const LineMetrics& metrics)
    : window_(window), path_(std::move(path)), size_(size), metrics_(metrics), id_(NextLoadId()) {
    thread_ = std::thread([this] { Run(); });
}

FileLoad::~FileLoad() {
    stop_ = true;
    if (thread_.joinable())
        thread_.join();
}

LoadOutcome FileLoad::Finish() {
    if (thread_.joinable())
        thread_.join();
    return std::move(outcome_);
}

void FileLoad::Report(int percent) {
    if (percent <= percent_)
        return;
    percent_ = percent;
    // A status bar drawn more often than a few times a second only takes
    // time from the load.
    const auto now = std::chrono::steady_clock::now();
    if (now - lastTold_ < std::chrono::milliseconds(200))
        return;
    lastTold_ = now;
    PostMessageW(window_, kLoadProgressMessage, id_, percent);
}

void FileLoad::Run() {
    LoadOutcome& out = outcome_;
    std::u16string text;
    // Declared after the text, so that it stops reading the text before the text goes.
    LinesAhead ahead(metrics_);
    const ReadWatch watch{
        [this](uint64_t bytesRead) {
            // One pass, as a UTF-8 file of a known size takes.
            const uint64_t pass = size_ ? size_ : 1;
            Report(static_cast<int>(std::min(bytesRead, pass) * kReadingPercent / pass));
            return !stop_;
        },
        [&ahead](const char16_t* units, size_t written, size_t total) {
            if (units)
                ahead.told(units, written, total);
            else
                ahead.drop();
        }};
    if (ReadTextFile(path_, text, out.encoding, out.lineEnding, &out.replacedBytes, &out.identity,
                     &out.failure, &watch) &&
        !stop_) {
        try {
            PrepareText(out.prepared, std::move(text), ahead);
            Report(100);
        } catch (const std::bad_alloc&) {
            out.failure = FileFailure::OutOfMemory;
        } catch (const std::length_error&) {
            out.failure = FileFailure::OutOfMemory;
        }
    }
    if (stop_ && out.failure == FileFailure::None)
        out.failure = FileFailure::Other;
    PostMessageW(window_, kLoadEndMessage, id_, 0);
}
