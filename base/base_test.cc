#include <gtest/gtest.h>

#include <chrono>
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
      {"long line in pieces", "abcdefg\n", 3, {"abc", "def", "g"}},
      {"exact piece leaves an empty rest", "abc\n", 3, {"abc", ""}},
      {"zero byte ends the text", std::string("ab\0cd\nx\n", 8), 99, {"ab", "x"}},
      {"empty file", "", 99, {}},
  };
  for (const auto& c : kCases) {
    FilePtr file = FileWith(c.contents);
    LineReader reader(file.get());
    std::vector<std::string> lines;
    std::string piece;
    while (reader.ReadPiece(c.piece, piece)) lines.push_back(piece);
    EXPECT_EQ(lines, c.lines) << c.name;
  }
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
#endif

}  // namespace
