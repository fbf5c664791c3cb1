// Files named by Windows paths, opened on the host.
//
// The program names its files the way Windows does ("C:\PRTG_Path.Txt",
// "\Program Files\...\ExeXml\PRD.P00", "SapRfc.ini"). On Windows these names
// are used as they are. On other hosts a PathMap turns them into host paths
// under a drive root: "X:\a\b" becomes ROOT/X/a/b, "\a\b" (the root of the
// current drive) becomes ROOT/C/a/b, and "a\b" stays relative to the working
// directory as a/b. Every file the program opens, tests for or deletes goes
// through this one mapping.
//
// Files are read in Windows text mode on every host: a CR LF pair reads as a
// single line feed, so files written on Windows read the same everywhere.
#ifndef KESTRELON_BASE_HOST_FILES_H_
#define KESTRELON_BASE_HOST_FILES_H_

#include <cstddef>
#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
/// An open file, closed when the pointer goes.
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

struct PathMap {
  /// The host directory that holds the drive letters (POSIX hosts only).
  std::string drive_root = "/";

  /// The host path of a Windows path.
  std::string HostPath(std::string_view windows_path) const;
};

/// Opens a file for reading (as bytes; LineReader does the text mode).
/// On failure, or when the name is a directory, returns null.
FilePtr OpenForReading(const PathMap& paths, std::string_view windows_path);

/// True when OpenForReading would succeed; nothing stays open.
bool CanOpen(const PathMap& paths, std::string_view windows_path);

/// Creates a new file for writing as bytes, only when nothing has that name:
/// an existing file is never opened, nor a link in its place followed, so
/// what another process prepared under that name stays untouched. Null when
/// the name is taken or the file cannot be created.
FilePtr CreateNewForWriting(const PathMap& paths, std::string_view windows_path);

/// A name for a draft of `windows_path` beside it that no other process
/// uses: the name + "." + the process id + "-" + a count of the drafts this
/// process has named + ".new" ("SapRfc.ini.4711-1.new"). Beside the file, so
/// that renaming the draft over it stays on one file system.
std::string DraftPath(std::string_view windows_path);

/// Opens a file for appending, creating it if needed; null on failure.
FilePtr OpenForAppending(const PathMap& paths, std::string_view windows_path);

/// Deletes a file; a missing file is no error.
void RemoveHostFile(const PathMap& paths, std::string_view windows_path);

/// Reads a text file in pieces, as fgets does on a file opened in text mode:
/// a piece ends after a line feed or after `max_chars` characters, whichever
/// comes first, so a longer line yields several pieces. Each piece is cut at
/// its first zero byte (the program's texts are zero-terminated), then loses
/// one trailing carriage return and then one trailing line feed.
class LineReader {
 public:
  /// "*file" must remain open while the reader is in use.
  explicit LineReader(std::FILE* file) : file_(file) {}

  /// Reads the next piece. Returns false at the end of the file.
  bool ReadPiece(std::size_t max_chars, std::string& piece);

 private:
  int ReadTextChar();
  std::FILE* file_;
};

#endif  // KESTRELON_BASE_HOST_FILES_H_
