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

#include "base/text.h"

#ifdef _WIN32

std::string PathMap::HostPath(std::string_view windows_path) const {
  return std::string(windows_path);
}

namespace {

unsigned long ProcessId() { return GetCurrentProcessId(); }

// A name Windows takes for a device in any directory and with any
// extension ("NUL", "c:\x\com1.txt", "Lpt9 .log"), or a path into the
// device namespace ("\\.\pipe\x", "\\?\..."). Opening one reads a console,
// a port or a pipe, never a file.
bool IsDeviceName(std::string_view path) {
  if (path.substr(0, 4) == "\\\\.\\" || path.substr(0, 4) == "\\\\?\\") return true;
  std::size_t last = path.find_last_of("\\/:");
  std::string_view name = last == std::string_view::npos ? path : path.substr(last + 1);
  name = name.substr(0, name.find('.'));
  while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
  const std::string upper = UpperCase(name);
  for (std::string_view device : {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"}) {
    if (upper == device) return true;
  }
  // COM1 to COM9 and LPT1 to LPT9; newer Windows also take the digit 0 and
  // the superscripts 1, 2 and 3 (bytes B9, B2, B3 of the ANSI code page).
  if (upper.size() != 4 || std::string_view("0123456789\xB9\xB2\xB3").find(upper[3]) ==
                               std::string_view::npos) {
    return false;
  }
  return upper.starts_with("COM") || upper.starts_with("LPT");
}

// Nothing with a device name is opened; what did open must be a file on a
// disk (not a pipe or a character device) and not a directory.
FilePtr OpenRegularFile(const std::string& host_path, const char* mode) {
  if (IsDeviceName(host_path)) return nullptr;
  DWORD attributes = GetFileAttributesA(host_path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return nullptr;
  }
  FilePtr file(std::fopen(host_path.c_str(), mode));
  if (!file) return nullptr;
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file.get())));
  if (GetFileType(handle) != FILE_TYPE_DISK) return nullptr;
  return file;
}

FilePtr OpenHostForReading(const std::string& host_path) {
  return OpenRegularFile(host_path, "rb");
}

FilePtr OpenHostForAppending(const std::string& host_path) {
  return OpenRegularFile(host_path, "ab");
}

bool IsRegularFile(const std::string& host_path) {
  if (IsDeviceName(host_path)) return false;
  DWORD attributes = GetFileAttributesA(host_path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES &&
         !(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT));
}

// CREATE_NEW fails when the name exists in any form, a link included.
FilePtr CreateNewHostFile(const std::string& host_path) {
  if (IsDeviceName(host_path)) return nullptr;
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

// The files the program creates are its owner's alone (mode 0600): the run
// log tells who logs on where, and nothing another account does needs them.
constexpr mode_t kCreatedFileMode = 0600;

// Opens without waiting (a pipe with no writer would block the open itself,
// and O_NOCTTY keeps a terminal from becoming the process's own), then keeps
// the descriptor only when fstat says it is a regular file; reads and writes
// of a regular file never wait, so the flag goes again before stdio uses it.
FilePtr OpenRegularDescriptor(const std::string& host_path, int flags, const char* mode) {
  int descriptor = open(host_path.c_str(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC,
                        kCreatedFileMode);
  if (descriptor < 0) return nullptr;
  struct stat info;
  if (fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode) ||
      fcntl(descriptor, F_SETFL, fcntl(descriptor, F_GETFL) & ~O_NONBLOCK) != 0) {
    close(descriptor);
    return nullptr;
  }
  FilePtr file(fdopen(descriptor, mode));
  if (!file) close(descriptor);
  return file;
}

// A name that is no regular file is not opened at all, so a device is never
// touched; the check after the open covers a file swapped in between.
FilePtr OpenHostForReading(const std::string& host_path) {
  struct stat info;
  if (stat(host_path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return nullptr;
  return OpenRegularDescriptor(host_path, O_RDONLY, "rb");
}

// A missing file is created; a link in its place is not followed.
FilePtr OpenHostForAppending(const std::string& host_path) {
  struct stat info;
  if (lstat(host_path.c_str(), &info) == 0 && !S_ISREG(info.st_mode)) return nullptr;
  return OpenRegularDescriptor(host_path, O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW, "ab");
}

bool IsRegularFile(const std::string& host_path) {
  struct stat info;
  return lstat(host_path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

// O_EXCL fails when the name exists, a link included (O_NOFOLLOW says the
// same outright).
FilePtr CreateNewHostFile(const std::string& host_path) {
  int descriptor = open(host_path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                        kCreatedFileMode);
  if (descriptor < 0) return nullptr;
  FilePtr file(fdopen(descriptor, "wb"));
  if (!file) close(descriptor);
  return file;
}

}  // namespace

#endif

FilePtr OpenForReading(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (host.empty()) return nullptr;
  return OpenHostForReading(host);
}

std::optional<std::uint64_t> FileSize(std::FILE* file) {
#ifdef _WIN32
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) != 0) return std::nullopt;
#else
  struct stat info;
  if (fstat(fileno(file), &info) != 0) return std::nullopt;
#endif
  return static_cast<std::uint64_t>(info.st_size);
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
  return OpenHostForAppending(host);
}

void RemoveHostFile(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (!host.empty()) std::remove(host.c_str());
}

void RemoveRegularFile(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (!host.empty() && IsRegularFile(host)) std::remove(host.c_str());
}

int LineReader::RawChar() {
  if (held_.empty()) return std::getc(file_);
  int c = held_.back();
  held_.pop_back();
  return c;
}

int LineReader::ReadTextChar() {
  int c = RawChar();
  if (c != '\r') return c;
  int next = RawChar();
  if (next == '\n') return '\n';
  if (next != EOF) PutBack(next);
  return '\r';
}

void LineReader::SkipByteOrderMark() {
  static constexpr unsigned char kMark[] = {0xEF, 0xBB, 0xBF};
  int read[3];
  std::size_t count = 0;
  while (count < 3 && (read[count] = RawChar()) == kMark[count]) ++count;
  if (count == 3) return;
  if (read[count] != EOF) PutBack(read[count]);
  while (count > 0) PutBack(read[--count]);
}

bool LineReader::ReadPiece(std::size_t max_chars, std::string& piece) {
  if (at_file_start_) SkipByteOrderMark();
  at_file_start_ = false;
  piece_starts_line_ = at_line_start_;
  piece.clear();
  bool line_ended = false;
  while (piece.size() < max_chars) {
    int c = ReadTextChar();
    if (c == EOF) {
      line_ended = true;
      break;
    }
    piece += static_cast<char>(c);
    if (c == '\n') {
      line_ended = true;
      break;
    }
  }
  if (piece.empty()) return false;
  if (!line_ended) {
    // A full piece: its line ends here if a line end or the file's end
    // follows, and otherwise goes on in the next piece.
    int next = ReadTextChar();
    line_ended = next == '\n' || next == EOF;
    if (!line_ended) PutBack(next);
  }
  at_line_start_ = line_ended;
  piece.resize(piece.find('\0') == std::string::npos ? piece.size() : piece.find('\0'));
  if (!piece.empty() && piece.back() == '\r') piece.pop_back();
  if (!piece.empty() && piece.back() == '\n') piece.pop_back();
  return true;
}
