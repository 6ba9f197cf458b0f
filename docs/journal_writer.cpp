#include "docs/journal_writer.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

struct JournalQueue {
    struct Job {
        std::string bytes;
        bool flush = false;
        bool close = false; // the last: the sink goes, and with it the file
    };
    std::unique_ptr<JournalSink> sink;
    std::deque<Job> jobs;
    uint64_t queued = 0;
    uint64_t written = 0;
    bool busy = false;   // the thread is carrying out one of its jobs
    bool listed = false; // among the thread's files with work
    bool failed = false;
};

namespace {

class Writer {
  public:
    Writer() { spare_.reserve(kSpareBuffers); }
    ~Writer() {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
        }
        wake_.notify_all();
        if (thread_.joinable())
            thread_.join();
    }

    void Post(const std::shared_ptr<JournalQueue>& queue, JournalQueue::Job job) {
        {
            const std::lock_guard lock(mutex_);
            if (queue->failed)
                return;
            if (!thread_.joinable())
                thread_ = std::thread([this] { Run(); });
            const size_t size = job.bytes.size();
            queue->jobs.push_back(std::move(job));
            queue->queued += size;
            if (!queue->listed) {
                listed_.push_back(queue);
                queue->listed = true;
            }
        }
        wake_.notify_all();
    }

    // Drops the queue's jobs not yet begun; the sink goes after the one under
    // way, on the thread, so that closing and deleting a large file never
    // stops the window.
    void Retire(const std::shared_ptr<JournalQueue>& queue) {
        {
            const std::lock_guard lock(mutex_);
            queue->jobs.clear();
            queue->queued = 0;
            if (!queue->sink)
                return;
            if (!thread_.joinable())
                thread_ = std::thread([this] { Run(); });
            queue->jobs.push_back({{}, false, true});
            if (!queue->listed) {
                listed_.push_back(queue);
                queue->listed = true;
            }
        }
        wake_.notify_all();
    }

    // The queue's sink goes on this thread, once the job under way is done.
    void Close(JournalQueue& queue) {
        std::unique_ptr<JournalSink> sink;
        {
            std::unique_lock lock(mutex_);
            queue.jobs.clear();
            queue.queued = 0;
            done_.wait(lock, [&] { return !queue.busy; });
            sink = std::move(queue.sink);
        }
    }

    template <typename Read> auto Look(const JournalQueue& queue, Read read) const {
        const std::lock_guard lock(mutex_);
        return read(queue);
    }

    std::string TakeBuffer() {
        const std::lock_guard lock(mutex_);
        if (spare_.empty())
            return {};
        std::string buffer = std::move(spare_.back());
        spare_.pop_back();
        return buffer;
    }

    void WaitAll() {
        std::unique_lock lock(mutex_);
        done_.wait(lock, [&] { return listed_.empty() && !working_; });
    }

  private:
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || !listed_.empty(); });
            if (listed_.empty())
                return;
            const std::shared_ptr<JournalQueue> queue = std::move(listed_.front());
            listed_.pop_front();
            queue->listed = false;
            if (queue->jobs.empty()) {
                done_.notify_all();
                continue;
            }
            JournalQueue::Job job = std::move(queue->jobs.front());
            queue->jobs.pop_front();
            queue->busy = working_ = true;
            if (job.close) {
                std::unique_ptr<JournalSink> sink = std::move(queue->sink);
                lock.unlock();
                sink.reset();
                lock.lock();
                queue->busy = working_ = false;
                done_.notify_all();
                continue;
            }
            lock.unlock();
            bool ok = false;
            try {
                ok = job.flush ? queue->sink->Flush() : queue->sink->Append(job.bytes);
            } catch (...) {
                // A sink that cannot take the bytes has failed like a full disk.
            }
            lock.lock();
            queue->busy = working_ = false;
            queue->queued -= job.bytes.size();
            Recycle(job.bytes);
            if (ok)
                queue->written += job.bytes.size();
            else {
                queue->failed = true;
                queue->jobs.clear();
                queue->queued = 0;
            }
            // Files take turns, a job each.
            if (!queue->jobs.empty() && !queue->listed) {
                listed_.push_back(queue);
                queue->listed = true;
            }
            done_.notify_all();
        }
    }

    // Keeps a written buffer for the next piece of a copy: its pages are in
    // memory already, where a fresh block's first writes cost more than the
    // encoding (under Wine, about 3 ms a megabyte).
    void Recycle(std::string& bytes) {
        if (spare_.size() >= kSpareBuffers || bytes.capacity() < kSpareBytes / 16 ||
            bytes.capacity() > kSpareBytes)
            return;
        bytes.clear();
        spare_.push_back(std::move(bytes));
    }

    static constexpr size_t kSpareBuffers = 32;
    static constexpr size_t kSpareBytes = 1u << 20;

    mutable std::mutex mutex_;
    std::vector<std::string> spare_;
    std::condition_variable wake_;
    std::condition_variable done_;
    std::deque<std::shared_ptr<JournalQueue>> listed_;
    std::thread thread_;
    bool working_ = false;
    bool stop_ = false;
};

Writer& TheWriter() {
    static Writer writer;
    return writer;
}

} // namespace

QueuedJournal::QueuedJournal(std::unique_ptr<JournalSink> sink)
    : queue_(std::make_shared<JournalQueue>()) {
    queue_->sink = std::move(sink);
}

QueuedJournal::~QueuedJournal() {
    try {
        TheWriter().Retire(queue_);
    } catch (...) {
        // No memory for the job, or no thread: the file goes here and now.
        TheWriter().Close(*queue_);
    }
}

void QueuedJournal::Append(std::string bytes) {
    if (!bytes.empty())
        TheWriter().Post(queue_, {std::move(bytes), false});
}

void QueuedJournal::Flush() {
    TheWriter().Post(queue_, {{}, true});
}

uint64_t QueuedJournal::Queued() const {
    return TheWriter().Look(*queue_, [](const JournalQueue& q) { return q.queued; });
}

uint64_t QueuedJournal::Written() const {
    return TheWriter().Look(*queue_, [](const JournalQueue& q) { return q.written; });
}

bool QueuedJournal::Failed() const {
    return TheWriter().Look(*queue_, [](const JournalQueue& q) { return q.failed; });
}

bool QueuedJournal::Settled() const {
    return TheWriter().Look(*queue_,
                            [](const JournalQueue& q) { return q.jobs.empty() && !q.busy; });
}

std::string JournalWriter_TakeBuffer() {
    return TheWriter().TakeBuffer();
}

void JournalWriter_WaitAll() {
    TheWriter().WaitAll();
}
