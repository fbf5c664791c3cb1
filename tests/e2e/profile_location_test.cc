// Where the program finds its profile: through the path file or the fixed
// PRTG directories in the EXEXML mode, with the ExeXml path check, and in the
// typed directory in the other modes or with "@".
//
// Every run has a landscape in its working directory with the system that
// the usable profile reaches, so a usable profile that is found is measured
// and its document proves the file was taken. Where two candidates exist,
// the one that must lose holds an empty profile, which would end the run
// with Error 1006 instead.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
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

/// `files` and the landscape with the system the usable profile reaches; its
/// sizes give the channels 1234, 0, 2 and 1238 MByte.
std::vector<HostFile> WithLandscape(std::vector<HostFile> files) {
  SimSystem system = ReachableSystem();
  system.Set("TAB_SIZE", "1234567").Set("CST_SIZE", "999").Set("IDX_SIZE", "2500");
  files.push_back(LandscapeWith(system));
  return files;
}

/// The document of the usable profile measured in `mode`.
std::string Measured(std::string_view mode) {
  return MeasurementDocument(mode, ResultText("PRD", "DB4", "20240115", "083000", "PRD     "),
                             {"1234", "0", "2", "1238"}, "MByte");
}

/// The output mode that the options in front of the profile name select.
std::string_view ModeOf(const std::vector<std::string>& args) {
  for (const std::string& arg : args) {
    if (!arg.starts_with("--")) break;
    if (arg.starts_with("--mode=")) return std::string_view(arg).substr(7);
  }
  return "EXEXML";
}

/// The message of a case whose profile is found: none, since the profile is
/// measured.
const std::string kFound;

struct LocationCase {
  const char* name;
  std::vector<HostFile> files;
  std::vector<std::string> args;
  std::string message;  // the error document's message; kFound when measured
};

void RunCases(const std::vector<LocationCase>& cases) {
  for (const LocationCase& c : cases) {
    SCOPED_TRACE(c.name);
    ProgramResult result = RunProgram(WithLandscape(c.files), c.args);
    if (c.message == kFound) {
      ExpectOutput(result, Measured(ModeOf(c.args)), 0);
    } else {
      ExpectErrorDocument(result, c.message);
    }
  }
}

TEST(ProfileLocation, ExeXmlModeWithPathFile) {
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
  RunCases({
      {"working directory first, then the path check",
       {Usable(kWorkDir), Usable(kProgramFilesDir)}, {"prd"}, std::string(kInvalidPath)},
      {"Program Files", {Usable(kProgramFilesDir)}, {"prd"}, kFound},
      {"found, then the RFC library named on the command line is missing",
       {Usable(kProgramFilesDir)}, {"--rfc-library=nosuch.so", "prd"},
       "Error 1110: RFC-Library nosuch.so is not available..."},
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
       {"prd"}, kFound},
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
       {"--mode=Corvane", typed_95 + "prd"}, kFound},
  });
}

TEST(ProfileLocation, TypedDirectoryInOtherModes) {
  // Windows forbids "<" in file names: there the markup case has "&" alone.
  const std::string lt = RunsWindowsProgram() ? "" : "<";
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
       {{"C/A&B" + lt + "C/R&D" + lt + "1.P00", ""}},
       {"--mode=Corvane", "C:\\A&B" + lt + "C\\R&D" + lt + "1"},
       "Error 1006: Username in Profile R&D" + lt + "1.P00 is missing..."},
  });
}

/// Console lines and document of the usable profile measured in the EXEXML
/// mode with "@": the executing line shows `parameters`.
std::string MeasuredByHand(std::string_view parameters) {
  return std::string(kHeaderLine) +
         "* HH:MM:SS prd.P00, sapprd, PRD, 00, 100 State=Processing\n"
         "* HH:MM:SS Kestrelon - " + std::string(parameters) + " State=Executing\n" +
         Measured("EXEXML") + std::string(kClosingLine);
}

TEST(ProfileLocation, ManualTestSwitchInExeXmlMode) {
  // "@" also switches the console lines on, so a found profile is measured
  // between them; a missing one ends the run before them.
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    std::string expected;
    int exit_code;
  } kCases[] = {
      {"working directory, no search and no path check",
       {PathFile("D:\\\n"), Usable(kWorkDir), Empty(kProgramFilesDir)},
       {"prd", "@"}, MeasuredByHand("(No Parameters)"), 0},
      {"typed directory, no path check",
       {Usable("D/x/")}, {"D:\\x\\prd", "by hand @"}, MeasuredByHand("by hand "), 0},
      {"missing in the working directory",
       {Usable(kProgramFilesDir)}, {"prd", "@"}, ErrorDocument(kMissingPrd), 2},
      {"missing in the typed directory: the whole path",
       {}, {"D:\\x\\prd", "@"},
       ErrorDocument("Error 1002: Profile D:\\x\\prd.P00 is missing..."), 2},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectOutput(RunProgram(WithLandscape(c.files), c.args), c.expected, c.exit_code);
  }
}

}  // namespace
