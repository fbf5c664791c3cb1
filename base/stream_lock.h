// Holds a stdio stream's own lock, so that a sequence of writes, and what
// goes with them, happens as one step for every other thread writing to the
// stream. The lock is recursive: the holder's own stdio calls go through.
#ifndef KESTRELON_BASE_STREAM_LOCK_H_
#define KESTRELON_BASE_STREAM_LOCK_H_

#include <cstdio>

class StreamLock {
 public:
  explicit StreamLock(std::FILE* stream) : stream_(stream) {
#ifdef _WIN32
    _lock_file(stream_);
#else
    flockfile(stream_);
#endif
  }
  ~StreamLock() {
#ifdef _WIN32
    _unlock_file(stream_);
#else
    funlockfile(stream_);
#endif
  }
  StreamLock(const StreamLock&) = delete;
  StreamLock& operator=(const StreamLock&) = delete;

 private:
  std::FILE* stream_;
};

#endif  // KESTRELON_BASE_STREAM_LOCK_H_
