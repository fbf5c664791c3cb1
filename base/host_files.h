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
//
// Only regular files are ever opened. A named pipe, a socket or a device in
// the place of a profile or a destination file would make a run wait for
// ever or read without end, so anything else is handled as a file that
// cannot be opened, as a directory is; on Windows the reserved device names
// (CON, NUL, COM1, ..., with any extension) are never opened at all.
#ifndef KESTRELON_BASE_HOST_FILES_H_
#define KESTRELON_BASE_HOST_FILES_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

/// Opens a regular file for reading (as bytes; LineReader does the text
/// mode). The file is opened without waiting and checked before anything is
/// read. Null when it cannot be opened or is not a regular file.
FilePtr OpenForReading(const PathMap& paths, std::string_view windows_path);

/// The size in bytes of an open file; nullopt when the system cannot tell.
std::optional<std::uint64_t> FileSize(std::FILE* file);

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

/// Opens a regular file for appending, creating it if needed; null on
/// failure, for anything but a regular file, and (POSIX) for a link in its
/// place, which would send the writes to whatever file the link names.
FilePtr OpenForAppending(const PathMap& paths, std::string_view windows_path);

/// Deletes a file or a link (only the link); a missing file is no error.
void RemoveHostFile(const PathMap& paths, std::string_view windows_path);

/// Deletes the file only when it is a regular file (not a link, a pipe or a
/// device, which belong to whoever put them there); a missing file is no
/// error.
void RemoveRegularFile(const PathMap& paths, std::string_view windows_path);

/// Reads a text file in pieces, as fgets does on a file opened in text mode:
/// a piece ends after a line feed or after `max_chars` characters, whichever
/// comes first, so a longer line yields several pieces. Each piece is cut at
/// its first zero byte (the program's texts are zero-terminated), then loses
/// one trailing carriage return and then one trailing line feed. A UTF-8
/// byte-order mark at the start of the file is no content and is skipped; a
/// line of exactly `max_chars` characters is one piece.
class LineReader {
 public:
  /// "*file" must remain open while the reader is in use.
  explicit LineReader(std::FILE* file) : file_(file) {}

  /// Reads the next piece. Returns false at the end of the file.
  bool ReadPiece(std::size_t max_chars, std::string& piece);

  /// Whether the last piece began its line. The later pieces of an
  /// over-long line are its rest, never a line of their own.
  bool piece_starts_line() const { return piece_starts_line_; }
  /// Whether the last piece's line goes on beyond it (the line is longer
  /// than `max_chars`).
  bool line_goes_on() const { return !at_line_start_; }

 private:
  int RawChar();
  void PutBack(int c) { held_.push_back(c); }
  int ReadTextChar();
  void SkipByteOrderMark();

  std::FILE* file_;
  std::vector<int> held_;  // characters read ahead, the next one last
  bool at_file_start_ = true;
  bool at_line_start_ = true;
  bool piece_starts_line_ = true;
};

#endif  // KESTRELON_BASE_HOST_FILES_H_
