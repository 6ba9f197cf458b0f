// The recovery journals' writes, carried out on a thread of their own so
// that a slow disk never stops the window: a copy of a large text runs to
// gigabytes, and a full cache of unwritten pages makes each write wait for
// the disk. One thread serves every journal file, each file's writes in the
// order they were asked for.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// A journal file as the system holds it. Destroying it closes the file and
// deletes it: a journal nobody holds any more is one nobody needs.
class JournalSink {
  public:
    virtual ~JournalSink() = default;
    virtual bool Append(std::string_view bytes) = 0;
    // True once everything appended is on the disk.
    virtual bool Flush() = 0;
};

struct JournalQueue;

class QueuedJournal {
  public:
    explicit QueuedJournal(std::unique_ptr<JournalSink> sink);
    // Drops the writes not yet begun; the writing thread closes and deletes
    // the file once the one under way is done.
    ~QueuedJournal();
    QueuedJournal(const QueuedJournal&) = delete;
    QueuedJournal& operator=(const QueuedJournal&) = delete;

    // Out of memory, throws std::bad_alloc with nothing queued.
    void Append(std::string bytes);
    void Flush();
    // Bytes asked for and not yet written, and bytes written.
    uint64_t Queued() const;
    uint64_t Written() const;
    // A write or a flush failed: the file may end in a torn record, and
    // what was asked for after it was dropped.
    bool Failed() const;
    // Everything asked for has been done (or dropped after a failure).
    bool Settled() const;

  private:
    std::shared_ptr<JournalQueue> queue_;
};

// An empty string with room, written and given back by the thread, for the
// next piece of a copy; empty without room when none is spare.
std::string JournalWriter_TakeBuffer();

// Waits until every journal file's writes are done and every file given up
// is deleted: before a forced end of the session, and in tests.
void JournalWriter_WaitAll();
