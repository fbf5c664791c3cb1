// Helpers for unit tests: files with given contents, and a captured stream.
#ifndef KESTRELON_BASE_TEST_FILES_H_
#define KESTRELON_BASE_TEST_FILES_H_

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>

#include "base/host_files.h"

/// An anonymous file holding `contents`, positioned at its start.
inline FilePtr FileWith(std::string_view contents) {
  FilePtr file(std::tmpfile());
  std::fwrite(contents.data(), 1, contents.size(), file.get());
  std::rewind(file.get());
  return file;
}

/// Everything written to `file` so far.
inline std::string ContentsOf(std::FILE* file) {
  std::fflush(file);
  std::rewind(file);
  std::string text;
  char chunk[512];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) text.append(chunk, got);
  return text;
}

/// The whole file at `path` as bytes; nullopt when it cannot be opened.
inline std::optional<std::string> WholeFile(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  return std::string((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
}

/// A fresh directory under the system's temporary directory, removed with
/// everything in it when the object goes.
class TempDirectory {
 public:
  TempDirectory() {
    std::filesystem::path base = std::filesystem::temp_directory_path();
    for (unsigned n = 0;; ++n) {
      path_ = base / ("kestrelon-test-" + std::to_string(std::rand()) + "-" + std::to_string(n));
      if (std::filesystem::create_directory(path_)) break;
    }
  }
  ~TempDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  TempDirectory(const TempDirectory&) = delete;
  TempDirectory& operator=(const TempDirectory&) = delete;

  const std::filesystem::path& path() const { return path_; }

  /// Writes `contents` to the file at `relative` (a host path under the
  /// directory), creating the directories on the way.
  void Write(const std::string& relative, std::string_view contents) const {
    std::filesystem::path file = path_ / relative;
    std::filesystem::create_directories(file.parent_path());
    std::ofstream(file, std::ios::binary) << contents;
  }

 private:
  std::filesystem::path path_;
};

#endif  // KESTRELON_BASE_TEST_FILES_H_
