#include "docs/journal_writer.h"

#include <condition_variable>
#include <deque>
#include <list>
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
            Enlist(queue);
            const size_t size = job.bytes.size();
            queue->jobs.push_back(std::move(job));
            queue->queued += size;
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
            Enlist(queue);
            queue->jobs.push_back({{}, false, true});
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
    // With the lock held, before a job is added: should the job then find
    // no memory, the thread just finds the queue without work.
    void Enlist(const std::shared_ptr<JournalQueue>& queue) {
        if (!thread_.joinable())
            thread_ = std::thread([this] { Run(); });
        if (!queue->listed) {
            listed_.push_back(queue);
            queue->listed = true;
        }
    }

    // Nothing here allocates outside the sink's own work, which may fail:
    // a queue keeps its place in the list while it has jobs, and moves to
    // the list's end by a splice.
    void Run() {
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [&] { return stop_ || !listed_.empty(); });
            if (listed_.empty())
                return;
            const auto place = listed_.begin();
            const std::shared_ptr<JournalQueue> queue = *place;
            if (queue->jobs.empty()) {
                Unlist(place);
                continue;
            }
            JournalQueue::Job job = std::move(queue->jobs.front());
            queue->jobs.pop_front();
            queue->busy = working_ = true;
            // The sink leaves the queue under the lock, as others look at it.
            std::unique_ptr<JournalSink> closing = job.close ? std::move(queue->sink) : nullptr;
            lock.unlock();
            const bool ok = job.close || Carry(*queue->sink, job);
            closing.reset();
            lock.lock();
            queue->busy = working_ = false;
            queue->queued -= job.bytes.size();
            Recycle(job.bytes);
            if (ok) {
                queue->written += job.bytes.size();
            } else {
                queue->failed = true;
                queue->jobs.clear();
                queue->queued = 0;
            }
            if (queue->jobs.empty())
                Unlist(place);
            else // files take turns, a job each
                listed_.splice(listed_.end(), listed_, place);
            done_.notify_all();
        }
    }

    // Runs without the lock.
    static bool Carry(JournalSink& sink, const JournalQueue::Job& job) {
        try {
            return job.flush ? sink.Flush() : sink.Append(job.bytes);
        } catch (...) {
            // A sink that cannot take the bytes has failed like a full disk.
            return false;
        }
    }

    void Unlist(std::list<std::shared_ptr<JournalQueue>>::iterator place) {
        (*place)->listed = false;
        listed_.erase(place);
        done_.notify_all();
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
    std::list<std::shared_ptr<JournalQueue>> listed_;
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
