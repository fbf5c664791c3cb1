#include "base/host_files.h"

#include <fcntl.h>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include <atomic>
#include <cstdio>

namespace {

bool IsDirectory(const std::string& host_path) {
  struct stat info;
  return stat(host_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace

#ifdef _WIN32

std::string PathMap::HostPath(std::string_view windows_path) const {
  return std::string(windows_path);
}

namespace {

unsigned long ProcessId() { return GetCurrentProcessId(); }

// CREATE_NEW fails when the name exists in any form, a link included.
FilePtr CreateNewHostFile(const std::string& host_path) {
  HANDLE handle = CreateFileA(host_path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return nullptr;
  int descriptor = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_WRONLY | _O_BINARY);
  if (descriptor < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  FilePtr file(_fdopen(descriptor, "wb"));
  if (!file) _close(descriptor);
  return file;
}

}  // namespace

#else

namespace {

bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

}  // namespace

std::string PathMap::HostPath(std::string_view windows_path) const {
  std::string path(windows_path);
  for (char& c : path) {
    if (c == '\\') c = '/';
  }
  std::string root = drive_root;
  if (root.empty() || root.back() != '/') root += '/';
  if (path.size() >= 2 && IsLetter(path[0]) && path[1] == ':') {
    char drive = path[0];
    if (drive >= 'a' && drive <= 'z') drive = static_cast<char>(drive - 'a' + 'A');
    std::string rest = path.substr(2);
    if (!rest.empty() && rest[0] == '/') rest.erase(0, 1);
    return root + drive + '/' + rest;
  }
  if (!path.empty() && path[0] == '/') return root + "C" + path;
  return path;
}

namespace {

unsigned long ProcessId() { return static_cast<unsigned long>(getpid()); }

// O_EXCL fails when the name exists, a link included (O_NOFOLLOW says the
// same outright). Mode 0644 (less the umask), what fopen gave the files the
// program wrote before: a draft becomes "SapRfc.ini", a copy of a destination
// file that lies readable beside it and holds no password (that goes in the
// connect string), so hiding it from other accounts would protect nothing
// and keep SAP's own tools of another account from reading it.
FilePtr CreateNewHostFile(const std::string& host_path) {
  int descriptor =
      open(host_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644);
  if (descriptor < 0) return nullptr;
  FilePtr file(fdopen(descriptor, "wb"));
  if (!file) close(descriptor);
  return file;
}

}  // namespace

#endif

FilePtr OpenForReading(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (host.empty() || IsDirectory(host)) return nullptr;
  return FilePtr(std::fopen(host.c_str(), "rb"));
}

bool CanOpen(const PathMap& paths, std::string_view windows_path) {
  return OpenForReading(paths, windows_path) != nullptr;
}

FilePtr CreateNewForWriting(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (host.empty()) return nullptr;
  return CreateNewHostFile(host);
}

std::string DraftPath(std::string_view windows_path) {
  static std::atomic<unsigned long> drafts_named{0};
  return std::string(windows_path) + "." + std::to_string(ProcessId()) + "-" +
         std::to_string(++drafts_named) + ".new";
}

FilePtr OpenForAppending(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (host.empty()) return nullptr;
  return FilePtr(std::fopen(host.c_str(), "ab"));
}

void RemoveHostFile(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (!host.empty()) std::remove(host.c_str());
}

int LineReader::ReadTextChar() {
  int c = std::getc(file_);
  if (c != '\r') return c;
  int next = std::getc(file_);
  if (next == '\n') return '\n';
  if (next != EOF) std::ungetc(next, file_);
  return '\r';
}

bool LineReader::ReadPiece(std::size_t max_chars, std::string& piece) {
  piece.clear();
  while (piece.size() < max_chars) {
    int c = ReadTextChar();
    if (c == EOF) break;
    piece += static_cast<char>(c);
    if (c == '\n') break;
  }
  if (piece.empty()) return false;
  piece.resize(piece.find('\0') == std::string::npos ? piece.size() : piece.find('\0'));
  if (!piece.empty() && piece.back() == '\r') piece.pop_back();
  if (!piece.empty() && piece.back() == '\n') piece.pop_back();
  return true;
}
