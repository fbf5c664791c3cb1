#include "driver/start_up.h"

#include <gtest/gtest.h>

#include <vector>

#include "base/test_files.h"
#include "base/text.h"

namespace {

struct StartedRun {
  Outcome outcome = Outcome::GoOn();
  RunTexts run;
  Output output;
  std::string printed;
};

StartedRun Start(std::vector<const char*> arguments) {
  arguments.insert(arguments.begin(), "kestrelon");
  StartedRun started;
  FilePtr out(std::tmpfile());
  started.outcome = StartUp(static_cast<int>(arguments.size()), arguments.data(), started.run,
                            started.output, out.get());
  started.printed = ContentsOf(out.get());
  return started;
}

TEST(StartUpTest, DerivesProfileNameDirectoryAndKindOfRun) {
  static const struct {
    std::vector<const char*> arguments;
    const char* name;
    const char* directory;
    bool multi;
    const char* item;
  } kCases[] = {
      {{"prd"}, "prd.P00", "", false, ""},
      {{"prd.p01"}, "prd.p01", "", false, ""},
      {{"PRD.TXT"}, "PRD.TXT", "", false, ""},
      {{"ab"}, "ab.P00", "", false, ""},
      {{"C:\\Sensors\\prd"}, "prd.P00", "C:\\Sensors\\", false, ""},
      {{"\\prd"}, "\\prd.P00", "", false, ""},
      {{"global"}, "SAP Quadrant.Gbl", "", true, ""},
      {{"Global.P00"}, "SAP Quadrant.Gbl", "", true, ""},
      {{"D:\\x\\GLOBAL"}, "SAP Quadrant.Gbl", "D:\\x\\", true, ""},
      {{"x", "ITEM=Plant:North,more"}, "Quadrant.Prf", "", true, "Plant North"},
      {{"global", "item=a b"}, "Quadrant.Prf", "", true, "a"},
      {{"x", "#", "Item=z"}, "Quadrant.Prf", "", true, "z"},
      {{"x", "a", "b", "ITEM=ignored"}, "x.P00", "", false, ""},
  };
  for (const auto& c : kCases) {
    StartedRun started = Start(c.arguments);
    ASSERT_FALSE(started.outcome.ended()) << c.arguments[0] << started.printed;
    EXPECT_EQ(started.run.ProfileName.view(), c.name) << c.arguments[0];
    EXPECT_EQ(started.run.ProfileDir.view(), c.directory) << c.arguments[0];
    EXPECT_EQ(started.run.MultiSystemRun, c.multi) << c.arguments[0];
    EXPECT_EQ(started.run.ItemId.view(), c.item) << c.arguments[0];
    EXPECT_EQ(started.printed, "");
  }
}

TEST(StartUpTest, ItemIdentificationIsCutAt90Characters) {
  std::string parameters = "ITEM=" + std::string(100, 'i');
  StartedRun started = Start({"x", parameters.c_str()});
  EXPECT_EQ(started.run.ItemId.view(), std::string(90, 'i'));
}

TEST(StartUpTest, ParameterTextsAndFlags) {
  static const struct {
    std::vector<const char*> arguments;
    const char* text;
    bool console;
  } kCases[] = {
      {{"prd"}, "", false},
      {{"prd", "a,syslog"}, "a,syslog", false},
      {{"prd", "a", "b"}, "a b", false},
      {{"prd", "a", "b", "c%"}, "a b", false},
      {{"prd", "50%"}, "50%", true},
      {{"prd", "x", "$"}, "x $", true},
      {{"prd", "@"}, "@", true},
      {{"prd", "#"}, "#", true},
  };
  for (const auto& c : kCases) {
    StartedRun started = Start(c.arguments);
    EXPECT_EQ(started.run.ParameterText.view(), c.text);
    EXPECT_EQ(started.run.ParameterKeys.view(), UpperCase(c.text));
    EXPECT_EQ(started.run.ConsoleReport, c.console) << c.text;
  }
}

#ifndef _WIN32
TEST(StartUpTest, OptionsComeFirstAndSetModeAndDriveRoot) {
  StartedRun started = Start({"--mode=Corvane", "--drive-root=/srv/drives", "prd", "--mode=x"});
  ASSERT_FALSE(started.outcome.ended());
  EXPECT_EQ(started.output.mode, OutputMode::kCorvane);
  EXPECT_EQ(started.run.paths.drive_root, "/srv/drives");
  EXPECT_EQ(started.run.ParameterText.view(), "--mode=x");
}
#else
// Windows has no drive root to set: the option is refused, with or without
// a value.
TEST(StartUpTest, OptionsComeFirstAndSetModeButNotDriveRoot) {
  StartedRun started = Start({"--mode=Corvane", "prd", "--mode=x"});
  ASSERT_FALSE(started.outcome.ended());
  EXPECT_EQ(started.output.mode, OutputMode::kCorvane);
  EXPECT_EQ(started.run.ParameterText.view(), "--mode=x");
  for (const char* option : {"--drive-root=/srv/drives", "--drive-root"}) {
    StartedRun refused = Start({"--mode=Corvane", option, "prd"});
    ASSERT_TRUE(refused.outcome.ended()) << option;
    EXPECT_EQ(refused.outcome.exit_code(), 2);
    EXPECT_EQ(refused.printed,
              "<Prtg>\n<Error>1</Error>\n<Text>Error 1103: Option --drive-root is not "
              "supported on Windows...</Text>\n</Prtg>\n");
  }
}
#endif

std::string ErrorDocument(std::string_view message) {
  return "<Prtg>\n<Error>1</Error>\n<Text>" + std::string(message) + "</Text>\n</Prtg>\n";
}

TEST(StartUpTest, CommandLineFaultsEndTheRunWithAnErrorDocument) {
  std::string long_parameters(128, 'p');
  std::string long_name(60, 'n');  // 64 with the extension
  std::string long_directory = "C:\\" + std::string(93, 'd') + "\\prd";
  static const struct {
    std::vector<const char*> arguments;
    std::string message;
  } kCases[] = {
      {{}, "Error 1001: Parameter for Profile-Name is missing !"},
      {{"--mode=EXEXML"}, "Error 1001: Parameter for Profile-Name is missing !"},
      {{"--frobnicate", "prd"}, "Error 1101: Option --frobnicate is unknown..."},
      {{"--mode=exexml", "prd"}, "Error 1102: Output-Mode exexml is unknown..."},
      {{"--mode", "prd"}, "Error 1104: Option --mode needs a value..."},
      {{"--rfc-library=", "prd"}, "Error 1104: Option --rfc-library needs a value..."},
      {{"prd", long_parameters.c_str()}, "Error 1105: Parameters too long..."},
      {{long_name.c_str()}, "Error 1106: Profile-Name " + long_name + ".P00 too long..."},
      {{long_directory.c_str()},
       "Error 1107: Profile-Path C:\\" + std::string(93, 'd') + "\\ too long..."},
  };
  for (const auto& c : kCases) {
    StartedRun started = Start(c.arguments);
    ASSERT_TRUE(started.outcome.ended()) << c.message;
    EXPECT_EQ(started.outcome.exit_code(), 2);
    EXPECT_EQ(started.printed, ErrorDocument(c.message));
  }
}

// The library is loaded from the program's directory, so the option takes a
// file name alone; a value that names a directory, drive, share or data
// stream is refused at once, the same on every platform.
TEST(StartUpTest, RfcLibraryOptionTakesAFileNameAlone) {
  for (const char* name : {"librfc32.dll", "other.so", "...", ".hidden", "a..b", " lib "}) {
    std::string option = std::string("--rfc-library=") + name;
    StartedRun started = Start({option.c_str(), "prd"});
    ASSERT_FALSE(started.outcome.ended()) << name << started.printed;
    EXPECT_EQ(started.run.rfc_library, name);
    EXPECT_EQ(started.printed, "");
  }
  for (const char* name : {"a/b.so", "/lib.so", "lib/", "./lib.so", "dir\\lib.dll",
                           "\\\\server\\share\\lib.dll", "C:lib.dll", "C:\\lib.dll",
                           "lib.dll:stream", ":", ".", ".."}) {
    std::string option = std::string("--rfc-library=") + name;
    StartedRun started = Start({option.c_str(), "prd"});
    ASSERT_TRUE(started.outcome.ended()) << name;
    EXPECT_EQ(started.outcome.exit_code(), 2);
    EXPECT_EQ(started.run.rfc_library, "");
    EXPECT_EQ(started.printed,
              ErrorDocument("Error 1112: RFC-Library " + std::string(name) +
                            " is no file name beside the program..."));
  }
}

TEST(StartUpTest, HelpAndVersionEndTheRunWithExitCodeZero) {
  StartedRun version = Start({"--version", "prd"});
  EXPECT_EQ(version.outcome.exit_code(), 0);
  EXPECT_EQ(version.printed, "Kestrelon Vers 4.3 / 29.08.22\n");
  StartedRun help = Start({"--help"});
  EXPECT_EQ(help.outcome.exit_code(), 0);
  EXPECT_EQ(help.printed, UsageText());
}

TEST(StartReportTest, PrintsTheOpeningAndWithConsoleReportTheLines) {
  StartedRun started = Start({"global", "PRD:x #y @z"});
  FilePtr out(std::tmpfile());
  started.run.StartTime = "16:20:21";
  started.run.HeaderLine.AssignCut(HeaderText("16:20:21"));
  PrintStartReport(started.run, started.output, out.get());
  EXPECT_EQ(ContentsOf(out.get()),
            "* 16:20:21 SAP Kestrelon Vers 4.3 / 29.08.22\n"
            "* 16:20:21 PRD x #y State=Executing\n"
            "\n<Prtg>\n\n");
  EXPECT_TRUE(started.output.OutputBuffer.empty());
  EXPECT_EQ(started.output.printed, Printed::kOpening);
  // The line shows a text of its own; the run's parameters stay as typed.
  EXPECT_EQ(started.run.ParameterText.view(), "PRD:x #y @z");
}

}  // namespace
