#include "driver/watchdog.h"

#include <cstdlib>

#include "base/stream_lock.h"
#include "driver/system_runs.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// Ends the process with `code` without exit handlers, static destructors or
// the libraries' clean-up; output already written to a stream is flushed by
// the caller.
[[noreturn]] void EndProcessAtOnce(int code) {
#ifdef _WIN32
  // ExitProcess would run every DLL's detach routine, the RFC library's too.
  TerminateProcess(GetCurrentProcess(), static_cast<UINT>(code));
#endif
  _exit(code);
}

}  // namespace

int TimeoutSeconds(std::string_view value) {
  if (value.empty()) return 0;
  int seconds = 0;
  for (char c : value) {
    if (c < '0' || c > '9') return 0;
    seconds = seconds * 10 + (c - '0');
    if (seconds > kMaxTimeoutSeconds) return 0;
  }
  return seconds;
}

std::string TimeoutMessage(const Progress::Snapshot& now, int seconds) {
  return "Error 1140: No answer from " + now.subject + " within " + std::to_string(seconds) +
         " s (" + now.step + ")...";
}

Watchdog::Watchdog(std::chrono::steady_clock::time_point deadline, int seconds,
                   const Output& output, const Progress& progress, FinalWords& final_words,
                   std::FILE* out)
    : seconds_(seconds),
      output_(output),
      progress_(progress),
      final_words_(final_words),
      out_(out),
      thread_(&Watchdog::Watch, this, deadline) {}

Watchdog::~Watchdog() {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
  }
  stop_.notify_one();
  thread_.join();
}

void Watchdog::Watch(std::chrono::steady_clock::time_point deadline) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (stop_.wait_until(lock, deadline, [this] { return stopping_; })) return;
  lock.unlock();
  if (!final_words_.Claim(FinalWords::Speaker::kWatchdog)) return;
  EndRun();
}

void Watchdog::EndRun() {
  MessageArea message;
  message.AssignCut(TimeoutMessage(progress_.Now(), seconds_));
  // Held to the end: whatever the run's thread writes to the stream from now
  // on waits until the process is gone.
  StreamLock lock(out_);
  // A document of its own, shaped as the run's would be; it has no last
  // words to claim, the watchdog holds them.
  Output document;
  document.mode = output_.mode;
  document.printed = output_.printed;
  WriteErrorDocument(document, message.view());
  PrintOutputBuffer(document, out_);
  std::fflush(out_);
  EndProcessAtOnce(2);
}
