// What the run is doing at the moment: the system it works on and the step
// it waits for. The run updates it as it goes; a watchdog on another thread
// reads it to say what hung when the run takes too long.
#ifndef KESTRELON_BASE_PROGRESS_H_
#define KESTRELON_BASE_PROGRESS_H_

#include <mutex>
#include <string>
#include <string_view>

class Progress {
 public:
  struct Snapshot {
    std::string subject;  // a destination, a listed profile, a file name
    std::string step;     // a library call ("RfcOpen", "RFC_SYSTEM_INFO") or "profile"
  };

  void Set(std::string_view subject, std::string_view step);
  void SetSubject(std::string_view subject);
  void SetStep(std::string_view step);
  Snapshot Now() const;

 private:
  mutable std::mutex mutex_;
  Snapshot now_;
};

#endif  // KESTRELON_BASE_PROGRESS_H_
