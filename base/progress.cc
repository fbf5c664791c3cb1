#include "base/progress.h"

void Progress::Set(std::string_view subject, std::string_view step) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_.subject = subject;
  now_.step = step;
}

void Progress::SetSubject(std::string_view subject) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_.subject = subject;
}

void Progress::SetStep(std::string_view step) {
  std::lock_guard<std::mutex> lock(mutex_);
  now_.step = step;
}

Progress::Snapshot Progress::Now() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return now_;
}
