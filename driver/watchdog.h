// The watchdog: with --timeout, a thread that ends a run taking longer than
// allowed, before PRTG kills the sensor and shows nothing but a timeout.
//
// At the deadline it claims the run's last words (FinalWords). If the run
// has claimed them already, it is printing its final document and the
// watchdog stands down. Otherwise the watchdog prints one error document,
// "Error 1140: No answer from SUBJECT within N s (STEP)...", naming what the
// run was waiting for (inside the document a multi-system run has opened),
// and ends the process at once with exit code 2: it does not wait for the
// library, which may never answer, nor run the library's clean-up.
#ifndef KESTRELON_DRIVER_WATCHDOG_H_
#define KESTRELON_DRIVER_WATCHDOG_H_

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "base/progress.h"
#include "output/output_document.h"

/// The most seconds --timeout takes.
inline constexpr int kMaxTimeoutSeconds = 3600;

/// The seconds of a --timeout value: a whole number from 1 to 3600 in
/// decimal digits only; 0 for anything else.
int TimeoutSeconds(std::string_view value);

/// The watchdog's message.
std::string TimeoutMessage(const Progress::Snapshot& now, int seconds);

class Watchdog {
 public:
  /// Starts watching. `output`, `progress` and `final_words` must outlive
  /// the watchdog; `output.final_words` must point to `final_words`.
  Watchdog(std::chrono::steady_clock::time_point deadline, int seconds, const Output& output,
           const Progress& progress, FinalWords& final_words, std::FILE* out);
  /// Stops watching and waits for the thread.
  ~Watchdog();

  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;

 private:
  void Watch(std::chrono::steady_clock::time_point deadline);
  void EndRun();

  const int seconds_;
  const Output& output_;
  const Progress& progress_;
  FinalWords& final_words_;
  std::FILE* const out_;
  std::mutex mutex_;
  std::condition_variable stop_;
  bool stopping_ = false;
  std::thread thread_;  // last: starts once everything above is set
};

#endif  // KESTRELON_DRIVER_WATCHDOG_H_
