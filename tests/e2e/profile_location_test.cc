// Where the program finds its profile: through the path file or the fixed
// PRTG directories in the EXEXML mode, with the ExeXml path check, and in the
// typed directory in the other modes or with "@".
//
// A usable profile that is found and passes the checks ends the run at the
// missing RFC library, so that message proves the file was taken. Where two
// candidates exist, the one that must lose holds an empty profile, which
// would end the run with Error 1006 instead.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

constexpr std::string_view kInvalidPath = "Sorry, invalid Path-Usage...";
constexpr std::string_view kMissingPrd = "Error 1002: Profile prd.P00 is missing...";

/// The file `name` in the host directory `dir` (ending in "/").
std::string In(std::string_view dir, std::string_view name) {
  return std::string(dir) + std::string(name);
}

HostFile PathFile(std::string bytes) { return {std::string(kPathFile), std::move(bytes)}; }
HostFile Usable(std::string_view dir) { return {In(dir, "prd.P00"), UsableProfile()}; }
HostFile Empty(std::string_view dir) { return {In(dir, "prd.P00"), ""}; }

struct LocationCase {
  const char* name;
  std::vector<HostFile> files;
  std::vector<std::string> args;
  std::string message;
};

void RunCases(const std::vector<LocationCase>& cases) {
  for (const LocationCase& c : cases) {
    SCOPED_TRACE(c.name);
    ExpectErrorDocument(RunProgram(c.files, c.args), c.message);
  }
}

TEST(ProfileLocation, ExeXmlModeWithPathFile) {
  const std::string kFound(kRfcLibraryMissing);
  RunCases({
      {"directory without trailing backslash, second level",
       {PathFile("D:\\PRTG Network Monitor\n"),
        Usable("D/PRTG Network Monitor/Custom Sensors/ExeXml/")},
       {"prd"}, kFound},
      {"drive root alone, first level",
       {PathFile("D:\\\n"), Usable("D/PRTG Network Monitor/Custom Sensors/ExeXml/")},
       {"prd"}, kFound},
      {"the ExeXml directory itself",
       {PathFile("D:\\Tools\\Sensors\\ExeXml\\\n"), Usable("D/Tools/Sensors/ExeXml/")},
       {"prd"}, kFound},
      {"last qualifying line wins",
       {PathFile("D:\\Old\\ExeXml\\\nE:\\New\\ExeXml\\\n"), Empty("D/Old/ExeXml/"),
        Usable("E/New/ExeXml/")},
       {"prd"}, kFound},
      {"empty and other lines after the qualifying one",
       {PathFile("E:\\New\\ExeXml\\\n\nnot a directory\n"), Usable("E/New/ExeXml/")},
       {"prd"}, kFound},
      {"CR LF line ends",
       {PathFile("E:\\New\\ExeXml\\\r\n\r\n"), Usable("E/New/ExeXml/")},
       {"prd"}, kFound},
      {"no qualifying line: root of the current drive",
       {PathFile("PRTG\nsee below\nabc\\def\n"),
        Usable("C/PRTG Network Monitor/Custom Sensors/ExeXml/")},
       {"prd"}, kFound},
      {"empty path file: second level under the root",
       {PathFile(""), Usable("C/Custom Sensors/ExeXml/")}, {"prd"}, kFound},
      {"qualifies by its first character",
       {PathFile("\\Sensors\\ExeXml\\\n"), Usable("C/Sensors/ExeXml/")},
       {"prd"}, kFound},
      {"qualifies by its third character: relative directory",
       {PathFile("ab\\ExeXml\\\n"), Usable("C/work/ab/ExeXml/")}, {"prd"}, kFound},
      {"drive letter in lower case",
       {PathFile("d:\\Tools\\ExeXml\\\n"), Usable("D/Tools/ExeXml/")}, {"prd"}, kFound},
      {"directory spelled exexml passes the check",
       {PathFile("D:\\Tools\\exexml\\\n"), Usable("D/Tools/exexml/")}, {"prd"}, kFound},
      {"directory not ending in ExeXml",
       {PathFile("D:\\Sensors\\\n"), Usable("D/Sensors/")}, {"prd"},
       std::string(kInvalidPath)},
      {"profile only in a fixed directory",
       {PathFile("D:\\\n"), Usable(kProgramFilesDir)}, {"prd"}, std::string(kMissingPrd)},
      {"profile only in the working directory",
       {PathFile("D:\\\n"), Usable(kWorkDir)}, {"prd"}, std::string(kMissingPrd)},
      {"typed directory plays no part",
       {PathFile("E:\\\n"), Usable("D/Tools/ExeXml/")},
       {"D:\\Tools\\ExeXml\\prd"}, std::string(kMissingPrd)},
  });
}

TEST(ProfileLocation, ExeXmlModeWithoutPathFile) {
  const std::string kFound(kRfcLibraryMissing);
  RunCases({
      {"working directory first, then the path check",
       {Usable(kWorkDir), Usable(kProgramFilesDir)}, {"prd"}, std::string(kInvalidPath)},
      {"Program Files", {Usable(kProgramFilesDir)}, {"prd"}, kFound},
      {"Program Files (x86)", {Usable(kProgramFilesX86Dir)}, {"prd"}, kFound},
      {"Programme before Program Files (x86)",
       {Usable(kProgrammeDir), Empty(kProgramFilesX86Dir)}, {"prd"}, kFound},
      {"Program Files before Program Files (x86)",
       {Usable(kProgramFilesDir), Empty(kProgramFilesX86Dir)}, {"prd"}, kFound},
      {"nowhere", {}, {"prd"}, std::string(kMissingPrd)},
      {"only in the typed directory", {Usable("C/P/")}, {"C:\\P\\prd"},
       std::string(kMissingPrd)},
  });
}

TEST(ProfileLocation, DirectoryLengthLimit) {
  // "D:\" + padding + "\ExeXml\": 3 + n + 8 characters.
  const std::string dir_95 = "D:\\" + std::string(84, 'p') + "\\ExeXml\\";
  const std::string dir_96 = "D:\\" + std::string(85, 'p') + "\\ExeXml\\";
  // 54 characters plus the 43 of the first level make 97.
  const std::string base_54 = "D:\\" + std::string(50, 'p') + "\\";
  // 74 characters plus the 22 of the second level make 96.
  const std::string base_74 = "D:\\" + std::string(70, 'p') + "\\";
  const std::string typed_95 = "C:\\" + std::string(91, 'd') + "\\";
  RunCases({
      {"path-file directory of 95 characters",
       {PathFile(dir_95 + "\n"), Usable("D/" + std::string(84, 'p') + "/ExeXml/")},
       {"prd"}, std::string(kRfcLibraryMissing)},
      {"path-file directory of 96 characters",
       {PathFile(dir_96 + "\n")}, {"prd"},
       "Error 1107: Profile-Path " + dir_96 + " too long..."},
      {"first PRTG level makes 97 characters",
       {PathFile(base_54 + "\n"),
        Usable("D/" + std::string(50, 'p') +
               "/PRTG Network Monitor/Custom Sensors/ExeXml/")},
       {"prd"},
       "Error 1107: Profile-Path " + base_54 +
           "PRTG Network Monitor\\Custom Sensors\\ExeXml\\ too long..."},
      {"second PRTG level makes 96 characters",
       {PathFile(base_74 + "\n"),
        Usable("D/" + std::string(70, 'p') + "/Custom Sensors/ExeXml/")},
       {"prd"},
       "Error 1107: Profile-Path " + base_74 + "Custom Sensors\\ExeXml\\ too long..."},
      {"typed directory of 95 characters",
       {Usable("C/" + std::string(91, 'd') + "/")},
       {"--mode=Corvane", typed_95 + "prd"}, std::string(kRfcLibraryMissing)},
  });
}

TEST(ProfileLocation, TypedDirectoryInOtherModes) {
  const std::string kFound(kRfcLibraryMissing);
  RunCases({
      {"Corvane: working directory, no path check",
       {Usable(kWorkDir)}, {"--mode=Corvane", "prd"}, kFound},
      {"Vantrel: root of the current drive",
       {Usable("C/Sensors/")}, {"--mode=Vantrel", "\\Sensors\\prd"}, kFound},
      {"Tessaryn: drive letter in lower case",
       {Usable("D/s/")}, {"--mode=Tessaryn", "d:\\s\\prd"}, kFound},
      {"Mirabel: relative directory",
       {Usable("C/work/sub/")}, {"--mode=Mirabel", "sub\\prd"}, kFound},
      {"Corvane: the PRTG directories are not searched",
       {PathFile("D:\\\n"), Usable("D/PRTG Network Monitor/Custom Sensors/ExeXml/"),
        Usable(kProgramFilesDir)},
       {"--mode=Corvane", "prd"}, std::string(kMissingPrd)},
      {"Corvane: messages name the profile without its directory",
       {Empty("C/P/")}, {"--mode=Corvane", "C:\\P\\prd"},
       "Error 1006: Username in Profile prd.P00 is missing..."},
      {"Corvane: markup characters in directory and profile name",
       {{"C/A&B<C/R&D<1.P00", ""}}, {"--mode=Corvane", "C:\\A&B<C\\R&D<1"},
       "Error 1006: Username in Profile R&D<1.P00 is missing..."},
  });
}

TEST(ProfileLocation, ManualTestSwitchInExeXmlMode) {
  RunCases({
      {"working directory, no search and no path check",
       {PathFile("D:\\\n"), Usable(kWorkDir), Empty(kProgramFilesDir)},
       {"prd", "@"}, std::string(kRfcLibraryMissing)},
      {"typed directory, no path check",
       {Usable("D/x/")}, {"D:\\x\\prd", "by hand @"}, std::string(kRfcLibraryMissing)},
      {"missing in the working directory",
       {Usable(kProgramFilesDir)}, {"prd", "@"}, std::string(kMissingPrd)},
      {"missing in the typed directory: the whole path",
       {}, {"D:\\x\\prd", "@"}, "Error 1002: Profile D:\\x\\prd.P00 is missing..."},
  });
}

}  // namespace
