// The watchdog of --timeout: a run that hangs in a step ends at the deadline
// with one error document naming the system and the step (inside the
// document a multi-system run has opened), exit code 2, the trace file kept;
// a run that ends in time is unchanged; and a run that ends right at its
// deadline prints one document, its own or the watchdog's, never both.
#include <chrono>
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

using Clock = std::chrono::steady_clock;

const std::string kItemFile = std::string(kProgramFilesDir) + "Quadrant.Prf";
const HostFile kOldTrace{std::string(kTraceFile), "ERROR       from an older run\n"};

/// Well below the harness's limit of 20 s, well above a deadline of 1 s plus
/// a start under Wine.
constexpr auto kPromptEnd = std::chrono::seconds(8);

HostFile ListedProfile(std::string_view name, std::string_view destination,
                       std::string_view host, std::string_view sysnr) {
  return {std::string(kProgramFilesDir) + std::string(name),
          ProfileReaching(destination, host, sysnr)};
}

TEST(Watchdog, NamesTheSystemAndTheStepThatHung) {
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    std::string message;
    std::string before = "";  // console lines and the opening of a multi-system run
    bool inside = false;  // the error goes inside the opened document
  } kCases[] = {
      {"single system, the open",
       {PrtgProfile(UsableProfile()), LandscapeWith(ReachableSystem().Set("hang", "open"))},
       {"--timeout=1", "PRD"},
       "Error 1140: No answer from PRD within 1 s (RfcOpen)..."},
      {"single system, the open through a destination file",
       {PrtgProfile(UsableProfile()), LandscapeWith(ReachableSystem().Set("hang", "open")),
        DestinationFile("PRD", SapRfcEntry("PRD", "sapprd", "00"))},
       {"--timeout=1", "PRD"},
       "Error 1140: No answer from PRD within 1 s (RfcOpenEx)..."},
      {"single system, a function module",
       {PrtgProfile(UsableProfile()),
        LandscapeWith(ReachableSystem().Set("hang", "RFC_SYSTEM_INFO"))},
       {"--timeout=1", "PRD"},
       "Error 1140: No answer from PRD within 1 s (RFC_SYSTEM_INFO)..."},
      {"single system, the close, in a mode outside the XML family",
       {WorkProfile(UsableProfile()), LandscapeWith(ReachableSystem().Set("hang", "close"))},
       {"--timeout=1", "--mode=Corvane", "PRD"},
       "Error 1140: No answer from PRD within 1 s (RfcClose)..."},
      {"multi-system run: the second listed system",
       {{kItemFile, ItemLine("A.P00#B.P00#C.P00#") + "\n"},
        ListedProfile("A.P00", "DSA", "hosta", "01"),
        ListedProfile("B.P00", "DSB", "hostb", "02"),
        ListedProfile("C.P00", "DSC", "hostc", "03"),
        LandscapeText()
            .Add(SystemAt("SA", "hosta", "01"))
            .Add(SystemAt("SB", "hostb", "02").Set("hang", "GET_CPU_ALL"))
            .Add(SystemAt("SC", "hostc", "03"))
            .File()},
       {"--timeout=1", "x", "ITEM=N"},
       "Error 1140: No answer from B.P00 within 1 s (GET_CPU_ALL)...",
       std::string(kXmlOpening), true},
      {"multi-system run with console lines",
       {{kItemFile, ItemLine("A.P00#B.P00#") + "\n"},
        ListedProfile("A.P00", "DSA", "hosta", "01"),
        ListedProfile("B.P00", "DSB", "hostb", "02"),
        LandscapeText()
            .Add(SystemAt("SA", "hosta", "01"))
            .Add(SystemAt("SB", "hostb", "02").Set("hang", "DB02_DB4_GET_INFO"))
            .File()},
       {"--timeout=1", "x", "ITEM=N #"},
       "Error 1140: No answer from B.P00 within 1 s (DB02_DB4_GET_INFO)...",
       std::string(kHeaderLine) + "* HH:MM:SS ITEM=N # State=Executing\n" +
           std::string(kXmlOpening) + "\n* HH:MM:SS A.P00, hosta, DSA, 01, 100 State=Processed\n",
       true},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<HostFile> files = c.files;
    files.push_back(kOldTrace);
    std::map<std::string, std::string> left;
    Clock::time_point start = Clock::now();
    ProgramResult result =
        RunProgramKeepingFiles(files, c.args, {std::string(kTraceFile)}, &left);
    EXPECT_LT(Clock::now() - start, kPromptEnd);
    if (c.inside) {
      ExpectErrorInsideDocument(result, c.message, c.before);
    } else {
      ExpectErrorDocument(result, c.message, c.before);
    }
    EXPECT_EQ(result.err, "");
    EXPECT_TRUE(left.contains(std::string(kTraceFile))) << "Dev_Rfc.Trc was deleted";
  }
}

TEST(Watchdog, RunWithinItsTimeIsUnchangedAndEndsAtOnce) {
  Clock::time_point start = Clock::now();
  ProgramResult result = RunProgram({PrtgProfile(UsableProfile()), LandscapeWith(ReachableSystem())},
                                    {"--timeout=3600", "PRD"});
  EXPECT_LT(Clock::now() - start, kPromptEnd);
  ExpectOutput(result,
               MeasurementDocument("EXEXML",
                                   ResultText("PRD", "DB4", "20240115", "083000", "PRD     "),
                                   {"0", "0", "0", "0"}, "MByte"),
               0);
}

TEST(Watchdog, RunEndingAtItsDeadlinePrintsOneDocument) {
  // Eight delayed library calls (open, three calls and receives, close) make
  // the run last about as long as its one second: some runs end before the
  // deadline, some meet the watchdog, and each prints one whole document.
  // The harness checks that what PRTG reads is exactly one document.
  const std::string measured =
      MeasurementDocument("EXEXML", ResultText("PRD", "DB4", "20240115", "083000", "PRD     "),
                          {"0", "0", "0", "0"}, "MByte");
  const std::string timed_out_prefix =
      "<Prtg>\n<Error>1</Error>\n<Text>Error 1140: No answer from PRD within 1 s (";
  for (int delay = 105; delay <= 145; delay += 4) {
    SCOPED_TRACE("delay_ms " + std::to_string(delay));
    ProgramResult result = RunProgram(
        {PrtgProfile(UsableProfile()),
         LandscapeWith(ReachableSystem().Set("delay_ms", std::to_string(delay)))},
        {"--timeout=1", "PRD"});
    if (result.exit_code == 0) {
      EXPECT_EQ(result.out, measured);
    } else {
      EXPECT_EQ(result.exit_code, 2);
      EXPECT_EQ(result.out.substr(0, timed_out_prefix.size()), timed_out_prefix);
      EXPECT_TRUE(result.out.ends_with(")...</Text>\n</Prtg>\n")) << result.out;
    }
  }
}

}  // namespace
