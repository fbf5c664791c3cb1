// An exclusive lock between processes, taken on a lock file.
//
// Processes that share a file (the RFC library's "SapRfc.ini" in a working
// directory where many runs start at once) agree on a lock file beside it and
// hold its lock while they use the shared file. The lock belongs to the open
// lock file (flock on POSIX, LockFileEx on Windows), so two FileLock objects
// exclude each other even within one process, and the system drops the lock
// when the process ends, however it ends. The lock file is created when it is
// missing and never deleted: a process that deleted it while another waited
// on it would let the next two processes lock two different files.
#ifndef KESTRELON_BASE_FILE_LOCK_H_
#define KESTRELON_BASE_FILE_LOCK_H_

#include <chrono>
#include <cstdint>
#include <string_view>

#include "base/host_files.h"

class FileLock {
 public:
  /// How long a process waits between two tries while the lock is held
  /// elsewhere: short beside the time a holder keeps it (an RFC open), long
  /// enough that waiting costs next to nothing.
  static constexpr std::chrono::milliseconds kRetryInterval{10};

  /// Takes the lock of the lock file `windows_path`, creating the file when it
  /// is missing, and tries again every kRetryInterval while it is held
  /// elsewhere, until `wait` has passed. On failure (the file cannot be
  /// opened, a link stands in its place on POSIX, or the lock stays held) the
  /// object holds nothing. A link is never followed: on Windows the link
  /// itself is opened and locked.
  static FileLock Take(const PathMap& paths, std::string_view windows_path,
                       std::chrono::milliseconds wait);

  FileLock() = default;
  FileLock(FileLock&& other) noexcept;
  FileLock& operator=(FileLock&& other) noexcept;
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  /// Releases the lock and closes the lock file.
  ~FileLock();

  bool held() const { return file_ != kNoFile; }

 private:
  /// The open lock file: a descriptor on POSIX, a HANDLE on Windows, where
  /// -1 is INVALID_HANDLE_VALUE. Open exactly while the lock is held.
  static constexpr std::intptr_t kNoFile = -1;
  void Release();

  std::intptr_t file_ = kNoFile;
};

#endif  // KESTRELON_BASE_FILE_LOCK_H_
