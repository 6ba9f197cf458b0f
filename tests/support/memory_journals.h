// Journal files kept in memory, as the recovery folder keeps them on the
// disk: a file goes when its sink does (on the writing thread), a refused
// folder makes none, and a full disk takes only so many bytes.
#pragma once

#include "docs/journal_format.h"
#include "docs/journal_log.h"
#include "docs/journal_writer.h"

#include <cstdint>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <string>

class MemoryJournals final : public JournalFolder {
  public:
    MemoryJournals() = default;
    // The writing thread lets go of the files it was given up last.
    ~MemoryJournals() { JournalWriter_WaitAll(); }
    MemoryJournals(const MemoryJournals&) = delete;
    MemoryJournals& operator=(const MemoryJournals&) = delete;

    std::unique_ptr<JournalSink> Create(uint64_t, uint32_t generation) override {
        if (refuse)
            return nullptr;
        // As on the disk: the file is made last, when nothing else can fail.
        auto sink = std::make_unique<Sink>(*this);
        const std::lock_guard lock(mutex_);
        sink->bytes_ = &files_[generation];
        return sink;
    }

    // The files by generation; read only once the writing thread is idle.
    const std::map<uint32_t, std::string>& Files() {
        JournalWriter_WaitAll();
        return files_;
    }
    const std::string& Newest() { return Files().rbegin()->second; }

    bool refuse = false;
    // Bytes the disk takes from now on, across all files.
    size_t room = std::numeric_limits<size_t>::max();

  private:
    class Sink final : public JournalSink {
      public:
        explicit Sink(MemoryJournals& folder) : folder_(folder) {}
        ~Sink() override {
            const std::lock_guard lock(folder_.mutex_);
            for (auto file = folder_.files_.begin(); file != folder_.files_.end(); ++file) {
                if (&file->second == bytes_) {
                    folder_.files_.erase(file);
                    break;
                }
            }
        }
        bool Append(std::string_view bytes) override {
            const size_t taken = std::min(bytes.size(), folder_.room);
            bytes_->append(bytes.substr(0, taken));
            folder_.room -= taken;
            return taken == bytes.size();
        }
        bool Flush() override { return true; }

        std::string* bytes_ = nullptr;

      private:
        MemoryJournals& folder_;
    };

    std::mutex mutex_; // the map: files are made on one thread and go on another
    std::map<uint32_t, std::string> files_;
};

// The text a journal leads to from `base`, and how its replay went.
inline std::u16string ReplayText(std::string_view bytes, std::u16string_view base = {},
                                 JournalReplay* result = nullptr) {
    TextBuffer text(base);
    const JournalReplay replay = ReplayJournal(bytes, text);
    if (result)
        *result = replay;
    return text.substr(0);
}
