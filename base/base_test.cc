#include <gtest/gtest.h>

#include "base/fixed_text.h"
#include "base/host_files.h"
#include "base/test_files.h"
#include "base/text.h"

namespace {

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

}  // namespace
