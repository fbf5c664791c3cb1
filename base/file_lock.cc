#include "base/file_lock.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <string>
#include <thread>
#include <utility>

namespace {

#ifdef _WIN32

// FILE_FLAG_OPEN_REPARSE_POINT opens a link itself, never what it names.
std::intptr_t OpenLockFile(const std::string& host_path) {
  HANDLE handle = CreateFileA(host_path.c_str(), GENERIC_READ | GENERIC_WRITE,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                              nullptr);
  return reinterpret_cast<std::intptr_t>(handle);
}

// Locks the first byte, which stands for the whole file (a range may lie
// beyond the end of a file, and the lock file stays empty).
bool TryLock(std::intptr_t file) {
  OVERLAPPED start{};
  return LockFileEx(reinterpret_cast<HANDLE>(file),
                    LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &start) != 0;
}

// Windows drops the lock of a closed handle only "in time"; unlocked first,
// the next process gets it at once.
void UnlockAndClose(std::intptr_t file, bool locked) {
  HANDLE handle = reinterpret_cast<HANDLE>(file);
  OVERLAPPED start{};
  if (locked) UnlockFileEx(handle, 0, 1, 0, &start);
  CloseHandle(handle);
}

#else

// O_NOFOLLOW: a link in the place of the lock file fails the open rather than
// create or lock the file it names; O_NONBLOCK: a pipe in its place never
// makes the open wait. Open for writing, as an exclusive lock needs on NFS.
// 0600 as any file the program makes.
std::intptr_t OpenLockFile(const std::string& host_path) {
  return open(host_path.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0600);
}

// flock rather than fcntl locks: an flock lock belongs to the open file, as
// LockFileEx's does, not to the process, so it excludes a second FileLock of
// the same process too, and closing another descriptor of the file (which
// drops every fcntl lock of the process) cannot release it.
bool TryLock(std::intptr_t file) {
  return flock(static_cast<int>(file), LOCK_EX | LOCK_NB) == 0;
}

void UnlockAndClose(std::intptr_t file, bool locked) {
  if (locked) flock(static_cast<int>(file), LOCK_UN);
  close(static_cast<int>(file));
}

#endif

}  // namespace

FileLock FileLock::Take(const PathMap& paths, std::string_view windows_path,
                        std::chrono::milliseconds wait) {
  FileLock lock;
  const std::string host = paths.HostPath(windows_path);
  if (host.empty()) return lock;
  const std::intptr_t file = OpenLockFile(host);
  if (file == kNoFile) return lock;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (!TryLock(file)) {
    if (std::chrono::steady_clock::now() >= deadline) {
      UnlockAndClose(file, false);
      return lock;
    }
    std::this_thread::sleep_for(kRetryInterval);
  }
  lock.file_ = file;
  return lock;
}

FileLock::FileLock(FileLock&& other) noexcept : file_(std::exchange(other.file_, kNoFile)) {}

FileLock& FileLock::operator=(FileLock&& other) noexcept {
  if (this != &other) {
    Release();
    file_ = std::exchange(other.file_, kNoFile);
  }
  return *this;
}

FileLock::~FileLock() { Release(); }

void FileLock::Release() {
  if (file_ != kNoFile) UnlockAndClose(std::exchange(file_, kNoFile), true);
}
