// A file read whole on a thread of its own while its start is shown: the
// thread reads, decodes and measures the text, and tells the main window
// of its progress and its end by posted messages.
#pragma once

#include "editctl/commands.h"
#include "fileio/file_failure.h"
#include "fileio/file_identity.h"
#include "fileio/text_format.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

// Posted to the window with the load's id in wParam: the percentage in
// lParam as it grows, a few times a second at most, then, once, the end
// (loaded, failed or stopped).
constexpr UINT kLoadProgressMessage = WM_APP + 14;
constexpr UINT kLoadEndMessage = WM_APP + 15;

struct LoadOutcome {
    FileFailure failure = FileFailure::None; // None: loaded
    PreparedText prepared;
    TextEncoding encoding = TextEncoding::Utf8;
    LineEnding lineEnding = LineEnding::Crlf;
    bool replacedBytes = false;
    FileIdentity identity;
};

class FileLoad {
  public:
    // Starts the thread; throws std::system_error when none can be made.
    // `size` is the file's size as the load begins, for the progress.
    FileLoad(HWND window, std::u16string path, uint64_t size, const LineMetrics& metrics);
    // Stops the thread between two pieces and waits for it.
    ~FileLoad();
    FileLoad(const FileLoad&) = delete;
    FileLoad& operator=(const FileLoad&) = delete;

    uint32_t Id() const { return id_; }
    int Percent() const { return percent_; }
    // Waits for the thread and hands over what it made; call once.
    LoadOutcome Finish();

  private:
    void Run();
    void Report(int percent);

    const HWND window_;
    const std::u16string path_;
    const uint64_t size_;
    const LineMetrics metrics_;
    const uint32_t id_;
    std::atomic<bool> stop_{false};
    std::atomic<int> percent_{0};
    std::chrono::steady_clock::time_point lastTold_; // by the thread
    LoadOutcome outcome_;
    std::thread thread_;
};
