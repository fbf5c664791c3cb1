// The command line: options, the limits on its texts, and how the profile
// argument becomes a file name and a kind of run. No files are laid out, so
// every run that gets as far as the profile search names the file it did not
// find, which shows the name the program derived.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/program_run.h"

namespace {

std::string Missing(std::string_view name) {
  return "Error 1002: Profile " + std::string(name) + " is missing...";
}

std::string NotBeside(std::string_view library) {
  return "Error 1112: RFC-Library " + std::string(library) +
         " is no file name beside the program...";
}

TEST(CommandLine, VersionPrintsNameAndVersionOnly) {
  ProgramResult result = RunProgram({}, {"--version"});
  ExpectOutput(result, "Kestrelon Vers 4.3 / 29.08.22\n", 0);
}

TEST(CommandLine, HelpPrintsUsage) {
  ProgramResult result = RunProgram({}, {"--help"}, DriveRootOption::kOmitted);
  EXPECT_EQ(result.exit_code, 0);
  EXPECT_NE(result.out.find("--mode"), std::string::npos) << result.out;
}

TEST(CommandLine, FaultsEndTheRunBeforeAnyFileIsOpened) {
  static const std::string long_dir = "C:\\" + std::string(92, 'd') + "\\";
  // Windows uses its paths as they are: the option is refused before its value
  // is looked at.
  static const std::string kNoDriveRootOnWindows =
      "Error 1103: Option --drive-root is not supported on Windows...";
  static const struct {
    const char* name;
    DriveRootOption drive_root;
    std::vector<std::string> args;
    std::string message;
    std::string windows_message = "";  // where the Windows program differs
  } kCases[] = {
      {"no arguments at all", DriveRootOption::kOmitted, {},
       "Error 1001: Parameter for Profile-Name is missing !"},
      {"only the drive root", DriveRootOption::kGiven, {},
       "Error 1001: Parameter for Profile-Name is missing !"},
      {"only options", DriveRootOption::kGiven,
       {"--mode=Corvane", "--rfc-library=nosuch.so"},
       "Error 1001: Parameter for Profile-Name is missing !"},
      {"unknown option", DriveRootOption::kGiven, {"--bogus", "prd"},
       "Error 1101: Option --bogus is unknown..."},
      {"known option in other letter case", DriveRootOption::kGiven,
       {"--Mode=Corvane", "prd"}, "Error 1101: Option --Mode=Corvane is unknown..."},
      {"unknown option with markup characters", DriveRootOption::kGiven,
       {"--x=<&>", "prd"}, "Error 1101: Option --x=<&> is unknown..."},
      {"mode name in other letter case", DriveRootOption::kGiven,
       {"--mode=corvane", "prd"}, "Error 1102: Output-Mode corvane is unknown..."},
      {"mode name not among the five", DriveRootOption::kGiven,
       {"--mode=XML", "prd"}, "Error 1102: Output-Mode XML is unknown..."},
      {"empty mode name", DriveRootOption::kGiven, {"--mode=", "prd"},
       "Error 1102: Output-Mode  is unknown..."},
      {"mode without a value", DriveRootOption::kGiven, {"--mode", "prd"},
       "Error 1104: Option --mode needs a value..."},
      {"drive root without a value", DriveRootOption::kOmitted,
       {"--drive-root", "prd"}, "Error 1104: Option --drive-root needs a value...",
       kNoDriveRootOnWindows},
      {"drive root with an empty value", DriveRootOption::kGiven,
       {"--drive-root=", "prd"}, "Error 1104: Option --drive-root needs a value...",
       kNoDriveRootOnWindows},
      {"RFC library without a value", DriveRootOption::kGiven,
       {"--rfc-library", "prd"}, "Error 1104: Option --rfc-library needs a value..."},
      {"RFC library in a directory", DriveRootOption::kGiven,
       {"--rfc-library=a/b.so", "prd"}, NotBeside("a/b.so")},
      {"RFC library in a Windows directory", DriveRootOption::kGiven,
       {"--rfc-library=dir\\lib.dll", "prd"}, NotBeside("dir\\lib.dll")},
      {"RFC library on a drive", DriveRootOption::kGiven,
       {"--rfc-library=C:lib.dll", "prd"}, NotBeside("C:lib.dll")},
      {"RFC library on a share", DriveRootOption::kGiven,
       {"--rfc-library=\\\\server\\share\\lib.dll", "prd"},
       NotBeside("\\\\server\\share\\lib.dll")},
      {"RFC library named ..", DriveRootOption::kGiven, {"--rfc-library=..", "prd"},
       NotBeside("..")},
      {"RFC library named .", DriveRootOption::kGiven, {"--rfc-library=.", "prd"},
       NotBeside(".")},
      {"timeout without a value", DriveRootOption::kGiven, {"--timeout", "prd"},
       "Error 1104: Option --timeout needs a value..."},
      {"timeout with an empty value", DriveRootOption::kGiven, {"--timeout=", "prd"},
       "Error 1104: Option --timeout needs a value..."},
      {"timeout of 0 seconds", DriveRootOption::kGiven, {"--timeout=0", "prd"},
       "Error 1141: Timeout 0 is unknown..."},
      {"timeout above an hour", DriveRootOption::kGiven, {"--timeout=3601", "prd"},
       "Error 1141: Timeout 3601 is unknown..."},
      {"timeout far above an hour", DriveRootOption::kGiven,
       {"--timeout=99999999999999999999", "prd"},
       "Error 1141: Timeout 99999999999999999999 is unknown..."},
      {"timeout with a sign", DriveRootOption::kGiven, {"--timeout=+50", "prd"},
       "Error 1141: Timeout +50 is unknown..."},
      {"negative timeout", DriveRootOption::kGiven, {"--timeout=-5", "prd"},
       "Error 1141: Timeout -5 is unknown..."},
      {"timeout with a fraction", DriveRootOption::kGiven, {"--timeout=1.5", "prd"},
       "Error 1141: Timeout 1.5 is unknown..."},
      {"timeout with a unit", DriveRootOption::kGiven, {"--timeout=50s", "prd"},
       "Error 1141: Timeout 50s is unknown..."},
      {"timeout with a blank", DriveRootOption::kGiven, {"--timeout= 50", "prd"},
       "Error 1141: Timeout  50 is unknown..."},
      {"argument 2 of 128 characters", DriveRootOption::kGiven,
       {"prd", std::string(128, 'x')}, "Error 1105: Parameters too long..."},
      {"arguments 2 and 3 joined to 128 characters", DriveRootOption::kGiven,
       {"prd", std::string(64, 'x'), std::string(63, 'y')},
       "Error 1105: Parameters too long..."},
      {"file name of 64 characters after the extension", DriveRootOption::kGiven,
       {std::string(60, 'n')},
       "Error 1106: Profile-Name " + std::string(60, 'n') + ".P00 too long..."},
      {"file name of 64 characters with its own extension", DriveRootOption::kGiven,
       {std::string(60, 'n') + ".P01"},
       "Error 1106: Profile-Name " + std::string(60, 'n') + ".P01 too long..."},
      {"file name of 64 characters behind a directory", DriveRootOption::kGiven,
       {"--mode=Corvane", "C:\\d\\" + std::string(60, 'n')},
       "Error 1106: Profile-Name " + std::string(60, 'n') + ".P00 too long..."},
      {"typed directory of 96 characters", DriveRootOption::kGiven,
       {"--mode=Corvane", long_dir + "prd"},
       "Error 1107: Profile-Path " + long_dir + " too long..."},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectErrorDocument(RunProgram({}, c.args, c.drive_root),
                        RunsWindowsProgram() && !c.windows_message.empty()
                            ? c.windows_message
                            : c.message);
  }
}

TEST(CommandLine, ProfileArgumentBecomesFileName) {
  static const struct {
    const char* name;
    std::vector<std::string> args;
    std::string missing;  // the file name the missing-profile message names
  } kCases[] = {
      {"extension appended", {"prd"}, "prd.P00"},
      {"own extension kept", {"prd.p01"}, "prd.p01"},
      {"any three-letter extension kept", {"PRD.TXT"}, "PRD.TXT"},
      {"name of two characters", {"ab"}, "ab.P00"},
      {"name of three characters with a dot", {"a.b"}, "a.b.P00"},
      {"dot not fourth from the end", {"prd.p1"}, "prd.p1.P00"},
      {"file name of 63 characters", {std::string(59, 'n')},
       std::string(59, 'n') + ".P00"},
      {"typed directory dropped in EXEXML", {"C:\\P\\prd"}, "prd.P00"},
      {"EXEXML chosen by name", {"--mode=EXEXML", "C:\\P\\prd"}, "prd.P00"},
      {"typed directory kept in Corvane",
       {"--mode=Corvane", "C:\\Sensors\\prd"}, "C:\\Sensors\\prd.P00"},
      {"extension test sees the directory",
       {"--mode=Corvane", "C:\\a.b\\c"}, "C:\\a.b\\c"},
      {"leading backslash alone does not split",
       {"--mode=Corvane", "\\prd"}, "\\prd.P00"},
      {"long argument with a short file name",
       {"--mode=Corvane", "C:\\" + std::string(70, 'd') + "\\prd"},
       "C:\\" + std::string(70, 'd') + "\\prd.P00"},
      {"markup characters in directory and name",
       {"--mode=Corvane", "C:\\A&B<C\\R&D>1"}, "C:\\A&B<C\\R&D>1.P00"},
      {"parameters of 127 characters", {"prd", std::string(127, 'x')}, "prd.P00"},
      {"argument 4 ignored, however long",
       {"prd", "a", "b", "ITEM=@" + std::string(200, 'x')}, "prd.P00"},
      {"option after the profile is a parameter",
       {"C:\\P\\prd", "--mode=Corvane"}, "prd.P00"},
      {"RFC library option accepted",
       {"--rfc-library=nosuch.so", "prd"}, "prd.P00"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectErrorDocument(RunProgram({}, c.args), Missing(c.missing));
  }
}

TEST(CommandLine, ProfileArgumentChoosesKindOfRun) {
  static const struct {
    const char* name;
    std::vector<std::string> args;
    std::string missing;
  } kCases[] = {
      {"global", {"global"}, "SAP Quadrant.Gbl"},
      {"global with extension", {"Global.P00"}, "SAP Quadrant.Gbl"},
      {"global in mixed case", {"gLoBaL.p00"}, "SAP Quadrant.Gbl"},
      {"global behind a directory in EXEXML", {"D:\\x\\GLOBAL"}, "SAP Quadrant.Gbl"},
      {"global behind a directory in Corvane",
       {"--mode=Corvane", "D:\\x\\GLOBAL"}, "D:\\x\\SAP Quadrant.Gbl"},
      {"global.p00 behind a directory in Corvane",
       {"--mode=Corvane", "D:\\x\\global.p00"}, "D:\\x\\SAP Quadrant.Gbl"},
      {"global with another extension", {"global.txt"}, "global.txt"},
      {"global inside a longer name", {"xglobal"}, "xglobal.P00"},
      {"item run", {"x", "ITEM=Plant:North,more"}, "Quadrant.Prf"},
      {"item run wins over global", {"global", "item=A"}, "Quadrant.Prf"},
      {"item keyword in argument 3", {"x", "a", "ITEM=A"}, "Quadrant.Prf"},
      {"item run ignores the typed directory",
       {"--mode=Corvane", "D:\\x\\prd", "ITEM=A"}, "Quadrant.Prf"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectErrorDocument(RunProgram({}, c.args), Missing(c.missing));
  }
}

}  // namespace
