#include "base/host_files.h"

#include <sys/stat.h>

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

#endif

FilePtr OpenForReading(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (host.empty() || IsDirectory(host)) return nullptr;
  return FilePtr(std::fopen(host.c_str(), "rb"));
}

bool CanOpen(const PathMap& paths, std::string_view windows_path) {
  return OpenForReading(paths, windows_path) != nullptr;
}

FilePtr CreateForWriting(const PathMap& paths, std::string_view windows_path) {
  std::string host = paths.HostPath(windows_path);
  if (host.empty()) return nullptr;
  return FilePtr(std::fopen(host.c_str(), "wb"));
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
