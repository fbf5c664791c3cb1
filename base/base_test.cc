#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>
#endif

#include <chrono>
#include <cstring>
#include <filesystem>
#include <optional>
#include <thread>

#include "base/file_lock.h"
#include "base/fixed_text.h"
#include "base/host_files.h"
#include "base/test_files.h"
#include "base/text.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

TEST(FixedTextTest, RefusesWhatDoesNotFitAndCutsOnlyWhenAsked) {
  FixedText<6> field;  // five characters
  EXPECT_TRUE(field.Assign("abcde"));
  EXPECT_FALSE(field.Assign("abcdef"));
  EXPECT_EQ(field.view(), "abcde");
  EXPECT_FALSE(field.Append("x"));
  EXPECT_EQ(field.view(), "abcde");
  field.AssignCut("123456789");
  EXPECT_EQ(field.view(), "12345");
  EXPECT_EQ(std::string(field.c_str()), "12345");
  field.Truncate(2);
  field.AppendCut("xyzw");
  EXPECT_EQ(field.view(), "12xyz");
}

TEST(TextTest, UpperCaseChangesOnlyAsciiLetters) {
  EXPECT_EQ(UpperCase("prd,item=x:\xe4y"), "PRD,ITEM=X:\xe4Y");
}

TEST(TextTest, EscapeXmlWritesOnlyWhatXmlAllows) {
  EXPECT_EQ(EscapeXml("a&b<c>d\"e'"), "a&amp;b&lt;c&gt;d\"e'");
  EXPECT_EQ(EscapeXml("M\xfcller \x80\xff"), "M&#xFC;ller &#x80;&#xFF;");
  EXPECT_EQ(EscapeXml("a\x01" "b\x1f" "\tc\r\nd\x7f"), "a?b?\tc\r\nd\x7f");
}

TEST(PathMapTest, MapsWindowsPathsUnderTheDriveRoot) {
#ifndef _WIN32
  PathMap paths{"/root/x"};
  static const struct {
    const char* windows;
    const char* host;
  } kCases[] = {
      {"C:\\PRTG_Path.Txt", "/root/x/C/PRTG_Path.Txt"},
      {"d:\\a\\b", "/root/x/D/a/b"},
      {"\\Program Files\\PRTG\\x.P00", "/root/x/C/Program Files/PRTG/x.P00"},
      {"sub\\prd.P00", "sub/prd.P00"},
      {"prd.P00", "prd.P00"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(paths.HostPath(c.windows), c.host) << c.windows;
  }
  EXPECT_EQ(PathMap{"/"}.HostPath("C:\\x"), "/C/x");
#else
  // Windows opens the paths as they are, whatever the drive root says.
  PathMap paths{"/root/x"};
  for (const char* path : {"C:\\PRTG_Path.Txt", "d:\\a\\b", "\\Program Files\\x.P00",
                           "sub\\prd.P00", "prd.P00"}) {
    EXPECT_EQ(paths.HostPath(path), path);
  }
#endif
}

// Each piece as read: "~" in front of the rest of a longer line, "+" after a
// piece whose line goes on.
std::vector<std::string> PiecesOf(const std::string& contents, std::size_t piece_size) {
  FilePtr file = FileWith(contents);
  LineReader reader(file.get());
  std::vector<std::string> pieces;
  std::string piece;
  while (reader.ReadPiece(piece_size, piece)) {
    pieces.push_back((reader.piece_starts_line() ? "" : "~") + piece +
                     (reader.line_goes_on() ? "+" : ""));
  }
  return pieces;
}

TEST(LineReaderTest, ReadsPiecesInWindowsTextMode) {
  static const struct {
    const char* name;
    std::string contents;
    std::size_t piece;
    std::vector<std::string> lines;
  } kCases[] = {
      {"LF", "ab\ncd\n", 99, {"ab", "cd"}},
      {"CR LF", "ab\r\ncd\r\n", 99, {"ab", "cd"}},
      {"no final line end", "ab\ncd", 99, {"ab", "cd"}},
      {"lone CR stays inside", "a\rb\n", 99, {"a\rb"}},
      {"CR at the end is removed", "ab\r", 99, {"ab"}},
      {"CR CR LF keeps one CR", "ab\r\r\n", 99, {"ab\r"}},
      {"long line in pieces", "abcdefg\nh\n", 3, {"abc+", "~def+", "~g", "h"}},
      {"a line of exactly one piece", "abc\nd\n", 3, {"abc", "d"}},
      {"exactly one piece before CR LF", "abc\r\nd", 3, {"abc", "d"}},
      {"exactly one piece at the end", "abc", 3, {"abc"}},
      {"a lone CR after a full piece goes on", "abc\rd\n", 3, {"abc+", "~\rd"}},
      {"zero byte ends the text", std::string("ab\0cd\nx\n", 8), 99, {"ab", "x"}},
      {"empty file", "", 99, {}},
      {"byte-order mark skipped", "\xEF\xBB\xBF" "ab\ncd\n", 99, {"ab", "cd"}},
      {"byte-order mark alone", "\xEF\xBB\xBF", 99, {}},
      {"byte-order mark only at the start", "ab\n\xEF\xBB\xBF" "cd\n", 99,
       {"ab", "\xEF\xBB\xBF" "cd"}},
      {"part of a mark is content", "\xEF\xBB" "ab\n", 99, {"\xEF\xBB" "ab"}},
      {"a mark does not count into the piece", "\xEF\xBB\xBF" "abc\n", 3, {"abc"}},
  };
  for (const auto& c : kCases) EXPECT_EQ(PiecesOf(c.contents, c.piece), c.lines) << c.name;
}

TEST(HostFilesTest, DirectoriesDoNotOpenAsFiles) {
#ifndef _WIN32
  TempDirectory dir;
  dir.Write("C/sub/file.txt", "x");
  PathMap paths{dir.path().string()};
  EXPECT_TRUE(CanOpen(paths, "C:\\sub\\file.txt"));
  EXPECT_TRUE(CanOpen(paths, "\\sub\\file.txt"));
  EXPECT_FALSE(CanOpen(paths, "C:\\sub"));
  EXPECT_FALSE(CanOpen(paths, "C:\\sub\\none.txt"));
#else
  // Windows paths are the files' own paths.
  TempDirectory dir;
  dir.Write("C/sub/file.txt", "x");
  const std::string sub = (dir.path() / "C" / "sub").string();
  PathMap paths;
  EXPECT_TRUE(CanOpen(paths, sub + "\\file.txt"));
  EXPECT_FALSE(CanOpen(paths, sub));
  EXPECT_FALSE(CanOpen(paths, sub + "\\none.txt"));
#endif
}

// Runs in a fresh working directory, where relative Windows paths ("x.ini")
// name the same files on every host.
class InWorkingDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    home_ = fs::current_path();
    fs::current_path(dir_.path());
  }
  void TearDown() override { fs::current_path(home_); }

  TempDirectory dir_;
  fs::path home_;
  PathMap paths_;
};

using CreateNewForWritingTest = InWorkingDirectoryTest;

TEST_F(CreateNewForWritingTest, CreatesOnlyWhereNothingIsThere) {
  FilePtr created = CreateNewForWriting(paths_, "new.txt");
  ASSERT_TRUE(created);
  std::fputs("written", created.get());
  created.reset();
  EXPECT_EQ(WholeFile("new.txt"), "written");

  // A second creation under that name finds the file and leaves it alone.
  EXPECT_FALSE(CreateNewForWriting(paths_, "new.txt"));
  EXPECT_EQ(WholeFile("new.txt"), "written");
  EXPECT_FALSE(CreateNewForWriting(paths_, "missing-dir\\new.txt"));
}

TEST(DraftPathTest, NamesADraftOfItsOwnBesideTheFile) {
  // The file's name + "." + process id + "-" + count + ".new".
  const std::string file = "C:\\work\\SapRfc.ini";
  const std::string first = DraftPath(file);
  const std::string second = DraftPath(file);
  EXPECT_NE(first, second);
  for (const std::string& draft : {first, second}) {
    ASSERT_TRUE(draft.starts_with(file + ".") && draft.ends_with(".new")) << draft;
    std::string middle = draft.substr(file.size() + 1, draft.size() - file.size() - 5);
    std::size_t dash = middle.find('-');
    EXPECT_TRUE(dash != std::string::npos && dash > 0 && dash + 1 < middle.size()) << draft;
    EXPECT_EQ(middle.find_first_not_of("0123456789-"), std::string::npos) << draft;
  }
  // One process: the same id, another count.
  EXPECT_EQ(first.substr(0, first.rfind('-')), second.substr(0, second.rfind('-')));
}

using FileLockTest = InWorkingDirectoryTest;

TEST_F(FileLockTest, CreatesTheLockFileAndKeepsIt) {
  {
    FileLock lock = FileLock::Take(paths_, "x.lock", 0ms);
    EXPECT_TRUE(lock.held());
    EXPECT_EQ(WholeFile("x.lock"), "");
  }
  EXPECT_EQ(WholeFile("x.lock"), "") << "the lock file went with the lock";
  // A lock file that is there already is used as it is.
  dir_.Write("y.lock", "left by someone");
  EXPECT_TRUE(FileLock::Take(paths_, "y.lock", 0ms).held());
  EXPECT_EQ(WholeFile("y.lock"), "left by someone");
  EXPECT_FALSE(FileLock::Take(paths_, "missing-dir\\x.lock", 0ms).held());
}

TEST_F(FileLockTest, ExcludesAnotherHolderUntilReleased) {
  FileLock first = FileLock::Take(paths_, "x.lock", 0ms);
  ASSERT_TRUE(first.held());

  // Held: a second taker tries for its whole wait, then holds nothing.
  Clock::time_point start = Clock::now();
  EXPECT_FALSE(FileLock::Take(paths_, "x.lock", 100ms).held());
  EXPECT_GE(Clock::now() - start, 100ms);
  EXPECT_LT(Clock::now() - start, 5s);

  // A move hands the lock on: it stays held.
  FileLock moved = std::move(first);
  EXPECT_FALSE(first.held());
  EXPECT_TRUE(moved.held());
  EXPECT_FALSE(FileLock::Take(paths_, "x.lock", 0ms).held());

  // Released while a second taker waits: it gets the lock then.
  std::thread releaser([&moved] {
    std::this_thread::sleep_for(50ms);
    moved = FileLock();
  });
  start = Clock::now();
  FileLock second = FileLock::Take(paths_, "x.lock", 5s);
  Clock::duration waited = Clock::now() - start;
  releaser.join();
  EXPECT_TRUE(second.held());
  EXPECT_GE(waited, 40ms);
  EXPECT_LT(waited, 4s);
}

#ifndef _WIN32
// A link planted in the place of a file the program creates anew or locks:
// both refuse it, and neither the file it names nor a missing one it names
// is touched.
using LinkInThePlaceTest = InWorkingDirectoryTest;

TEST_F(LinkInThePlaceTest, IsNeverFollowed) {
  dir_.Write("target.txt", "precious");
  static const struct {
    const char* name;
    bool (*opens)(const PathMap& paths, std::string_view name);
  } kOpeners[] = {
      {"CreateNewForWriting",
       [](const PathMap& paths, std::string_view name) {
         return CreateNewForWriting(paths, name) != nullptr;
       }},
      {"FileLock::Take",
       [](const PathMap& paths, std::string_view name) {
         return FileLock::Take(paths, name, 0ms).held();
       }},
      {"OpenForAppending",
       [](const PathMap& paths, std::string_view name) {
         return OpenForAppending(paths, name) != nullptr;
       }},
  };
  for (const auto& opener : kOpeners) {
    for (const char* target : {"target.txt", "none.txt"}) {
      fs::remove("link");
      fs::create_symlink(target, "link");
      EXPECT_FALSE(opener.opens(paths_, "link")) << opener.name << ", link to " << target;
    }
  }
  EXPECT_EQ(WholeFile("target.txt"), "precious");
  EXPECT_FALSE(fs::exists("none.txt")) << "the link's missing target was created";
}

using OnlyRegularFilesTest = InWorkingDirectoryTest;

// None of these may be opened: a pipe without a writer would block the open,
// a device would read or take bytes without end. None is deleted either.
TEST_F(OnlyRegularFilesTest, PipesSocketsAndDevicesAreNotOpenedNorDeleted) {
  ASSERT_EQ(mkfifo("pipe", 0644), 0);
  fs::create_symlink("/dev/zero", "zero");
  fs::create_symlink("/dev/null", "null");
  int listener = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::strcpy(address.sun_path, "socket");
  ASSERT_EQ(bind(listener, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  for (const char* name : {"pipe", "zero", "null", "socket"}) {
    EXPECT_FALSE(CanOpen(paths_, name)) << name;
    EXPECT_FALSE(OpenForAppending(paths_, name)) << name;
    RemoveRegularFile(paths_, name);
    EXPECT_TRUE(fs::exists(fs::symlink_status(name))) << name << " was deleted";
  }
  close(listener);
}

TEST_F(OnlyRegularFilesTest, RegularFilesAreReadAppendedAndDeleted) {
  dir_.Write("file.txt", "x");
  fs::create_symlink("file.txt", "link");
  EXPECT_TRUE(CanOpen(paths_, "file.txt"));
  EXPECT_TRUE(CanOpen(paths_, "link")) << "a link to a regular file is read";
  RemoveRegularFile(paths_, "link");
  EXPECT_TRUE(fs::exists(fs::symlink_status("link"))) << "only a regular file is deleted";
  RemoveRegularFile(paths_, "file.txt");
  EXPECT_FALSE(fs::exists("file.txt"));
  RemoveRegularFile(paths_, "none.txt");  // a missing file is no error
}

// The run log tells who logs on where: another account may not read it.
TEST_F(OnlyRegularFilesTest, CreatedFilesAreTheOwnersAlone) {
  mode_t old_mask = umask(022);
  FilePtr appended = OpenForAppending(paths_, "log.txt");
  FilePtr created = CreateNewForWriting(paths_, "new.txt");
  umask(old_mask);
  ASSERT_TRUE(appended && created);
  for (const char* name : {"log.txt", "new.txt"}) {
    EXPECT_EQ(fs::status(name).permissions(), fs::perms::owner_read | fs::perms::owner_write)
        << name;
  }
}
#else

// Windows opens a device for any of its reserved names, in any directory
// and with any extension; none is ever opened as a file.
TEST(OnlyRegularFilesTest, ReservedDeviceNamesAreNeverOpened) {
  TempDirectory dir;
  const std::string in_dir = dir.path().string() + "\\";
  PathMap paths;
  for (std::string name : {"NUL", "nul.txt", "CON", "con.P00", "aux", "PRN.log", "COM1",
                           "com9.ini", "LPT1", "lpt9 .x", "CONOUT$", "COM0"}) {
    for (const std::string& path : {name, in_dir + name}) {
      EXPECT_FALSE(CanOpen(paths, path)) << path;
      EXPECT_FALSE(OpenForAppending(paths, path)) << path;
      EXPECT_FALSE(CreateNewForWriting(paths, path)) << path;
    }
  }
  EXPECT_FALSE(CanOpen(paths, "\\\\.\\pipe\\none"));
  // Names that only look like devices are files.
  for (std::string name : {"COM10.txt", "console.P00", "NULL", "LPT"}) {
    dir.Write(name, "x");
    EXPECT_TRUE(CanOpen(paths, in_dir + name)) << name;
  }
}
#endif

}  // namespace
