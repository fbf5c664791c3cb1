// Single-system runs of the real program against the stand-in library: the
// measurement document in every output mode, the console report lines, the
// failures of the three function modules and what the run leaves behind
// (trace file, closed connection), the database check, the library's local
// services failing, bad size figures and the structures installed once.
#include <string>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

/// The worked example: TAB_SIZE 1234567, CST_SIZE 999, IDX_SIZE 2500.
SimSystem ExampleSystem() {
  return ReachableSystem().Set("TAB_SIZE", "1234567").Set("CST_SIZE", "999").Set("IDX_SIZE",
                                                                                  "2500");
}

const ChannelValues kExampleMByte = {"1234", "0", "2", "1238"};
const ChannelValues kExampleGByte = {"1", "0", "0", "1"};
const std::string kDefaultText = ResultText("PRD", "DB4", "20240115", "083000", "PRD     ");

/// An old trace file that a successful run deletes and a failed one keeps.
const HostFile kOldTrace{std::string(kTraceFile), "ERROR       from an older run\n"};

/// The calls of the run up to and including `function`, each received, in
/// the short form of CallSequence.
std::string CallsThrough(std::string_view function) {
  std::string calls;
  for (const char* name : {"GET_CPU_ALL", "RFC_SYSTEM_INFO", "DB02_DB4_GET_INFO"}) {
    calls += std::string("RfcCall ") + name + " -> 0\nRfcReceive " + name + " -> 0\n";
    if (function == name) break;
  }
  return calls;
}

TEST(SingleSystemRun, MeasurementDocumentInEveryMode) {
  static const SimSystem big = ReachableSystem()
                                   .Set("TAB_SIZE", "5000000000")
                                   .Set("CST_SIZE", "1000000")
                                   .Set("IDX_SIZE", "2999999999");
  static const std::string markup_text =
      ResultText("A&B<C>", "DB4", "20240115", "083000", "PRD     ");
  static const std::string markup_profile = ProfileWithValue(kDestination, "A&B<C>");
  static const ChannelValues zero = {"0", "0", "0", "0"};
  static const struct {
    const char* name;
    std::string mode;
    std::vector<std::string> args;
    SimSystem system;
    std::string text;  // the result text
    ChannelValues values;
    std::string unit;
    int selected = 0;  // "CH=" of Corvane
    std::string profile = UsableProfile();
  } kCases[] = {
      {"EXEXML in MByte", "EXEXML", {"PRD"}, ExampleSystem(), kDefaultText, kExampleMByte,
       "MByte"},
      {"EXEXML in GByte", "EXEXML", {"PRD", "GIGABYTE"}, ExampleSystem(), kDefaultText,
       kExampleGByte, "GByte"},
      {"gigabytes in lower case inside a longer word", "EXEXML", {"PRD", "x", "in gigabytes"},
       ExampleSystem(), kDefaultText, kExampleGByte, "GByte"},
      {"Vantrel", "Vantrel", {"PRD"}, ExampleSystem(), kDefaultText, kExampleMByte, "MByte"},
      {"Mirabel in GByte", "Mirabel", {"PRD", "GIGABYTE"}, ExampleSystem(), kDefaultText,
       kExampleGByte, "GByte"},
      {"Tessaryn", "Tessaryn", {"PRD"}, ExampleSystem(), kDefaultText, kExampleMByte, "MByte"},
      {"Corvane in GByte", "Corvane", {"PRD", "GIGABYTE"}, ExampleSystem(), kDefaultText,
       kExampleGByte, "GByte"},
      {"Corvane CH=1", "Corvane", {"PRD", "CH=1"}, ExampleSystem(), kDefaultText,
       kExampleMByte, "MByte", 1},
      {"Corvane ch=2 in lower case", "Corvane", {"PRD", "ch=2"}, ExampleSystem(), kDefaultText,
       kExampleMByte, "MByte", 2},
      {"Corvane CH=3 followed by a comma, in GByte", "Corvane", {"PRD", "CH=3,GIGABYTE"},
       ExampleSystem(), kDefaultText, kExampleGByte, "GByte", 3},
      {"Corvane CH=4", "Corvane", {"PRD", "CH=4"}, ExampleSystem(), kDefaultText,
       kExampleMByte, "MByte", 4},
      {"Corvane CH=5 selects no channel", "Corvane", {"PRD", "CH=5"}, ExampleSystem(),
       kDefaultText, kExampleMByte, "MByte", 5},
      {"figures of 2^32 and more in MByte", "EXEXML", {"PRD"}, big, kDefaultText,
       {"5000000", "1000", "2999999", "8000999"}, "MByte"},
      {"figures of 2^32 and more in GByte", "EXEXML", {"PRD", "GIGABYTE"}, big, kDefaultText,
       {"5000", "1", "2999", "8000"}, "GByte"},
      {"largest packed figure", "EXEXML", {"PRD"},
       ReachableSystem().Set("TAB_SIZE", "999999999999999"), kDefaultText,
       {"999999999999", "0", "0", "999999999999"}, "MByte"},
      {"sign half-byte F reads as plus", "EXEXML", {"PRD"},
       ExampleSystem().Set("IDX_SIZE", "hex 000000000002500F"), kDefaultText, kExampleMByte,
       "MByte"},
      {"API_QWCRSSTS_RC is not evaluated", "EXEXML", {"PRD"},
       ExampleSystem().Set("API_QWCRSSTS_RC", "-7"), kDefaultText, kExampleMByte, "MByte"},
      {"date, time, DBSYS with a blank inside, SYSID of three letters", "EXEXML", {"PRD"},
       ReachableSystem()
           .Set("DBSYS", "DB4 V7R5")
           .Set("FS_A_DATE", "20241210")
           .Set("FS_A_TIME", "235959")
           .Set("SYSID", "DEV"),
       ResultText("PRD", "DB4 V7R5", "20241210", "235959", "DEV     "), zero, "MByte"},
      {"blank DBSYS", "Tessaryn", {"PRD"}, ReachableSystem().Set("DBSYS", " "),
       ResultText("PRD", "", "20240115", "083000", "PRD     "), zero, "MByte"},
      {"DBSYS and SYSID end at a zero byte", "EXEXML", {"PRD"},
       ReachableSystem()
           .Set("DBSYS", "hex 44423400202020202020")
           .Set("SYSID", "hex 5052440020202020"),
       ResultText("PRD", "DB4", "20240115", "083000", "PRD"), zero, "MByte"},
      {"destination with markup characters, escaped in XML", "EXEXML", {"PRD"},
       ExampleSystem(), markup_text, kExampleMByte, "MByte", 0, markup_profile},
      {"destination with markup characters, unchanged in Corvane", "Corvane", {"PRD"},
       ExampleSystem(), markup_text, kExampleMByte, "MByte", 0, markup_profile},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.args;
    if (c.mode != "EXEXML") args.insert(args.begin(), "--mode=" + c.mode);
    HostFile profile = c.mode == "EXEXML" ? PrtgProfile(c.profile) : WorkProfile(c.profile);
    RunWithFiles run = RunKeepingRfcFiles({profile, LandscapeWith(c.system), kOldTrace}, args);
    ExpectOutput(run.result, MeasurementDocument(c.mode, c.text, c.values, c.unit, c.selected),
                 0);
    if (c.mode == "EXEXML" || c.mode == "Vantrel" || c.mode == "Mirabel") {
      EXPECT_TRUE(ParsesWithText(run.result.out, c.text));
    }
    EXPECT_FALSE(run.Has(kTraceFile)) << "Dev_Rfc.Trc is still there";
    EXPECT_EQ(CallSequence(run.File(kJournalFile)),
              CallsThrough("DB02_DB4_GET_INFO") + "RfcClose handle=1\n");
  }
}

/// The console lines ahead of the document, times masked, for the usable
/// profile and `parameters` as the executing line shows them.
std::string ConsoleLines(std::string_view parameters) {
  return std::string(kHeaderLine) + "* HH:MM:SS PRD.P00, sapprd, PRD, 00, 100 State=Processing\n" +
         "* HH:MM:SS Kestrelon - " + std::string(parameters) + " State=Executing\n";
}

TEST(SingleSystemRun, ConsoleReportLinesAroundTheDocument) {
  // The system reports another host than the profile; the processing line
  // still shows the profile's.
  static const SimSystem system = ExampleSystem().Set("RFCHOST", "otherhst");
  static const std::string mbyte =
      MeasurementDocument("EXEXML", kDefaultText, kExampleMByte, "MByte");
  static const std::string gbyte =
      MeasurementDocument("EXEXML", kDefaultText, kExampleGByte, "GByte");
  static const std::string closing(kClosingLine);
  static const struct {
    const char* name;
    std::vector<std::string> args;
    bool profile_in_work_dir;  // "@" takes the profile from the working directory
    std::string expected;
  } kCases[] = {
      {"\"#\" first: no parameters shown", {"PRD", "#,SYSLOG"}, false,
       ConsoleLines("(No Parameters)") + mbyte + closing},
      {"\"$\" and the parameters in two arguments", {"PRD", "GIGABYTE", "$"}, false,
       ConsoleLines("GIGABYTE $") + gbyte + closing},
      {"cut at \"#\", then at \"@\"", {"PRD", "x%y@z#w"}, true,
       ConsoleLines("x%y") + mbyte + closing},
      {"\"(No \" before \"@\" counts as empty", {"PRD", "(No @x"}, true,
       ConsoleLines("(No Parameters)") + mbyte + closing},
      {"\"(Parameters \" before \"#\" counts as empty", {"PRD", "(Parameters #x"}, false,
       ConsoleLines("(No Parameters)") + mbyte + closing},
      {"\"(Parameters x \" is shown", {"PRD", "(Parameters x #"}, false,
       ConsoleLines("(Parameters x ") + mbyte + closing},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    HostFile profile =
        c.profile_in_work_dir ? WorkProfile(UsableProfile()) : PrtgProfile(UsableProfile());
    ExpectOutput(RunProgram({profile, LandscapeWith(system)}, c.args), c.expected, 0);
  }
}

TEST(SingleSystemRun, KeywordValuesComeFromTheParametersBeforeTheConsoleCut) {
  // The executing line shows the parameters cut at "#"; ",HOST=", ",NO="
  // and "CH=" behind the cut still take their values from the parameters
  // as typed. The system lies on another host and number than the profile
  // names, so only the overrides reach it.
  static const SimSystem moved = ExampleSystem().Set("host", "sapalt").Set("sysnr", "07");
  static const std::string closing(kClosingLine);
  static const struct {
    const char* name;
    std::vector<std::string> args;
    HostFile profile;
    std::string expected;
  } kCases[] = {
      {"both overrides behind \"#\"", {"PRD", "#,HOST=sapalt,NO=07"},
       PrtgProfile(UsableProfile()),
       ConsoleLines("(No Parameters)") +
           MeasurementDocument("EXEXML", kDefaultText, kExampleMByte, "MByte") + closing},
      {"GIGABYTE before the cut, the overrides behind it", {"PRD", "GIGABYTE#x,HOST=sapalt,NO=07"},
       PrtgProfile(UsableProfile()),
       ConsoleLines("GIGABYTE") +
           MeasurementDocument("EXEXML", kDefaultText, kExampleGByte, "GByte") + closing},
      {"the channel selector behind \"#\"",
       {"--mode=Corvane", "PRD", "#CH=4,HOST=sapalt,NO=07"}, WorkProfile(UsableProfile()),
       ConsoleLines("(No Parameters)") +
           MeasurementDocument("Corvane", kDefaultText, kExampleMByte, "MByte", 4) + closing},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    RunWithFiles run = RunKeepingRfcFiles({c.profile, LandscapeWith(moved)}, c.args);
    ExpectOrderlyEnd(run.result);
    ExpectOutput(run.result, c.expected, 0);
    EXPECT_NE(run.File(kJournalFile).find(" host=\"sapalt\" sysnr=7 "), std::string::npos)
        << run.File(kJournalFile);
  }
}

TEST(SingleSystemRun, FailedCallEndsWithItsMessageAndTheTraceRemark) {
  static const struct {
    const char* setting;
    const char* message;   // ends in ": " where the exception name follows
    const char* remark;    // the stand-in's message, "%s" for the function
    const char* on_call;   // the RfcCall result in the journal
    const char* received;  // the RfcReceive result in the journal
  } kOutcomes[] = {
      {"failure 1", "Error 1014: RFC-Failure raised !",
       "connection to partner broken during %s", "-> 1", "-> 1"},
      {"exception NO_DATA_FOUND", "Error 1012: Exception.: ",
       "exception NO_DATA_FOUND raised by %s", "-> 2", "-> 2 exception=\"NO_DATA_FOUND\""},
      {"failure 3", "Error 1013: Sys-Exception raised !", "SYSTEM_FAILURE raised by %s", "-> 3",
       "-> 3 exception=\"SYSTEM_FAILURE\""},
      {"failure 23", "Error 1015: Other Failure raised !", "%s failed with code 23", "-> 23",
       "-> 23"},
  };
  for (const char* function : {"GET_CPU_ALL", "RFC_SYSTEM_INFO", "DB02_DB4_GET_INFO"}) {
    for (const auto& outcome : kOutcomes) {
      for (bool on_call : {true, false}) {
        const std::string setting = std::string(outcome.setting) + (on_call ? " on call" : "");
        SCOPED_TRACE(std::string(function) + " = " + setting);
        std::string remark = outcome.remark;
        remark.replace(remark.find("%s"), 2, function);
        // Only RfcReceive delivers an exception name.
        std::string message = outcome.message;
        if (!on_call && message.ends_with(": ")) message += "NO_DATA_FOUND";
        message += " - " + remark;
        // The calls before this function succeed; this one stops the run.
        std::string calls = CallsThrough(function);
        calls.erase(calls.rfind("RfcCall "));
        calls += "RfcCall " + std::string(function) + " " + (on_call ? outcome.on_call : "-> 0") +
                 "\n";
        if (!on_call) {
          calls += "RfcReceive " + std::string(function) + " " + outcome.received + "\n";
        }

        RunWithFiles run = RunKeepingRfcFiles(
            {PrtgProfile(UsableProfile()), LandscapeWith(ExampleSystem().Set(function, setting))},
            {"PRD"});
        ExpectErrorDocument(run.result, message);
        EXPECT_TRUE(run.Has(kTraceFile)) << "Dev_Rfc.Trc was deleted";
        EXPECT_EQ(CallSequence(run.File(kJournalFile)), calls + "RfcClose handle=1\n");
      }
    }
  }
}

TEST(SingleSystemRun, OtherEndingsWithAnErrorDocument) {
  static const std::string long_name(100, 'E');
  static const struct {
    const char* name;
    LandscapeText landscape;
    std::vector<std::string> args;
    std::string before;  // console lines ahead of the document
    std::string message;
    std::string calls;  // CallSequence of the journal
  } kCases[] = {
      {"system without GET_CPU_ALL",
       LandscapeText().Add(ExampleSystem().Set("GET_CPU_ALL", "missing")), {"PRD"}, "",
       "Error 1014: RFC-Failure raised ! - Function module \"GET_CPU_ALL\" not found",
       "RfcCall GET_CPU_ALL -> 1\nRfcClose handle=1\n"},
      {"message cut at 127 characters",
       LandscapeText().Add(ExampleSystem().Set("DB02_DB4_GET_INFO", "exception " + long_name)),
       {"PRD"}, "", ("Error 1012: Exception.: " + long_name + " - "),
       CallsThrough("RFC_SYSTEM_INFO") + "RfcCall DB02_DB4_GET_INFO -> 0\n" +
           "RfcReceive DB02_DB4_GET_INFO -> 2 exception=\"" + long_name +
           "\"\nRfcClose handle=1\n"},
      {"failure after the console lines, no closing line",
       LandscapeText().Add(ExampleSystem().Set("RFC_SYSTEM_INFO", "failure 1")), {"PRD", "#"},
       ConsoleLines("(No Parameters)"),
       "Error 1014: RFC-Failure raised ! - connection to partner broken during RFC_SYSTEM_INFO",
       CallsThrough("GET_CPU_ALL") +
           "RfcCall RFC_SYSTEM_INFO -> 0\nRfcReceive RFC_SYSTEM_INFO -> 1\nRfcClose handle=1\n"},
      {"wrong password", LandscapeText().Add(ExampleSystem().Set("password", "other")),
       {"PRD"}, "", "Error 1011: RFC-Open for PRD failed !", ""},
      {"wrong client", LandscapeText().Add(ExampleSystem().Set("client", "200")), {"PRD"}, "",
       "Error 1011: RFC-Open for PRD failed !", ""},
      {"unreachable system, after the console lines",
       LandscapeText().Add(ExampleSystem().Set("open", "unreachable")), {"PRD", "@"},
       ConsoleLines("(No Parameters)"), "Error 1011: RFC-Open for PRD failed !", ""},
      {"no such system", LandscapeText(), {"PRD"}, "", "Error 1011: RFC-Open for PRD failed !",
       ""},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    const bool at = c.args.size() > 1 && c.args[1] == "@";
    HostFile profile = at ? WorkProfile(UsableProfile()) : PrtgProfile(UsableProfile());
    RunWithFiles run = RunKeepingRfcFiles({profile, c.landscape.File()}, c.args);
    ExpectErrorDocument(run.result, c.message.substr(0, 127), c.before);
    EXPECT_EQ(CallSequence(run.File(kJournalFile)), c.calls);
  }
}

TEST(SingleSystemRun, DatabaseCheckComparesThreeCharacters) {
  static const struct {
    const char* dbsys;  // RFCDBSYS as the system reports it
    bool passes;
  } kCases[] = {
      {"DB4", true}, {"DB4xx", true},  {"DB400", true}, {"db4", false},
      {" DB4", false}, {"DB", false}, {"ORACLE", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.dbsys);
    RunWithFiles run = RunKeepingRfcFiles(
        {PrtgProfile(UsableProfile()), LandscapeWith(ExampleSystem().Set("RFCDBSYS", c.dbsys)),
         kOldTrace},
        {"PRD", "#"});
    if (c.passes) {
      ExpectOutput(run.result,
                   ConsoleLines("(No Parameters)") +
                       MeasurementDocument("EXEXML", kDefaultText, kExampleMByte, "MByte") +
                       std::string(kClosingLine),
                   0);
      continue;
    }
    ExpectErrorDocument(run.result, "Error 1018: DataBase mismatch !",
                        ConsoleLines("(No Parameters)"));
    EXPECT_EQ(CallSequence(run.File(kJournalFile)),
              CallsThrough("RFC_SYSTEM_INFO") + "RfcClose handle=1\n");
    EXPECT_TRUE(run.Has(kTraceFile)) << "Dev_Rfc.Trc was deleted";
  }
}

TEST(SingleSystemRun, BadSizeFigureEndsTheRun) {
  static const struct {
    const char* name;
    SimSystem system;
    std::vector<HostFile> files;
    std::string message;
  } kCases[] = {
      {"negative TAB_SIZE, no trace file", ExampleSystem().Set("TAB_SIZE", "-5"), {},
       "Error 1120: Invalid TAB_SIZE figure received... - Look for Trace-File"},
      {"CST_SIZE with a nibble that is no digit",
       ExampleSystem().Set("CST_SIZE", "hex 00000000000A250C"), {},
       "Error 1120: Invalid CST_SIZE figure received... - Look for Trace-File"},
      {"negative IDX_SIZE, remark from an older trace file",
       ExampleSystem().Set("IDX_SIZE", "-2500"), {kOldTrace},
       "Error 1120: Invalid IDX_SIZE figure received... - from an older run"},
      {"TAB_SIZE with the minus sign half-byte B",
       ExampleSystem().Set("TAB_SIZE", "hex 000000000012345B"), {},
       "Error 1120: Invalid TAB_SIZE figure received... - Look for Trace-File"},
      {"IDX_SIZE whose last half-byte is a digit, no sign",
       ExampleSystem().Set("IDX_SIZE", "hex 0000000000123455"), {},
       "Error 1120: Invalid IDX_SIZE figure received... - Look for Trace-File"},
      {"the first bad field is named",
       ExampleSystem().Set("IDX_SIZE", "-1").Set("CST_SIZE", "hex 0000000000000F0C"), {},
       "Error 1120: Invalid CST_SIZE figure received... - Look for Trace-File"},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<HostFile> files = {PrtgProfile(UsableProfile()), LandscapeWith(c.system)};
    files.insert(files.end(), c.files.begin(), c.files.end());
    RunWithFiles run = RunKeepingRfcFiles(files, {"PRD"});
    ExpectErrorDocument(run.result, c.message);
    EXPECT_EQ(run.Has(kTraceFile), !c.files.empty());
    EXPECT_EQ(CallSequence(run.File(kJournalFile)),
              CallsThrough("DB02_DB4_GET_INFO") + "RfcClose handle=1\n");
  }
}

TEST(SingleSystemRun, LocalServiceFailureEndsWithExitCode1) {
  struct Service {
    const char* setting;        // top-level landscape key
    const char* status_prefix;  // the stand-in's status is this and the name
    bool named;                 // the operation text names the object too
    const char* key;
    const char* message_format;  // "%s" for the name
  };
  static const Service kInstall = {"fail_install", "RfcInstallStructure ", false,
                                   "RFC_ERROR_PROGRAM", "structure %s cannot be installed"};
  static const Service kCreate = {"fail_itcreate", "ItCreate ", true,
                                  "RFC_ERROR_MEMORY_INSUFFICIENT",
                                  "no memory for internal table %s"};
  static const Service kGetLine = {"fail_itgetline", "ItGetLine ", true, "RFC_ERROR_PROGRAM",
                                   "line 1 of internal table %s cannot be read"};
  static const Service kDelete = {"fail_itdelete", "ItDelete ", true, "RFC_ERROR_PROGRAM",
                                  "internal table %s cannot be deleted"};
  static const struct {
    const Service* service;
    const char* name;  // structure or table
  } kCases[] = {
      {&kInstall, "CPU_ALL"},     {&kInstall, "RFCSI"},        {&kInstall, "DB02INFDB4"},
      {&kInstall, "MISSOBJ"},     {&kCreate, "TF_CPU_ALL"},    {&kCreate, "ADDTL_INDEX"},
      {&kCreate, "MISS_VIEWS"},   {&kGetLine, "TF_CPU_ALL"},   {&kDelete, "TF_CPU_ALL"},
      {&kDelete, "ADDTL_TABLES"}, {&kDelete, "MISS_VIEWS"},
  };
  for (const auto& c : kCases) {
    const Service& service = *c.service;
    SCOPED_TRACE(std::string(service.setting) + " = " + c.name);
    const std::string status = service.status_prefix + std::string(c.name);
    const std::string operation = service.named ? status : "RfcInstallStructure";
    std::string message = service.message_format;
    message.replace(message.find("%s"), 2, c.name);
    const std::string internal = "rfcsim: " + std::string(service.setting) + " names " + c.name;

    RunWithFiles run = RunKeepingRfcFiles(
        {PrtgProfile(UsableProfile()),
         LandscapeText().Set(service.setting, c.name).Add(ExampleSystem()).File(), kOldTrace},
        {"PRD", "#"});
    ExpectOutput(run.result,
                 ConsoleLines("(No Parameters)") +
                     RfcErrorReport(operation, service.key, status, message, internal),
                 1);
    const std::string journal = run.File(kJournalFile);
    EXPECT_TRUE(journal.ends_with("RfcLastError -> key=\"" + std::string(service.key) +
                                  "\"\nRfcClose handle=0\n"))
        << journal;
    EXPECT_TRUE(run.Has(kTraceFile)) << "Dev_Rfc.Trc was deleted";
  }
}

TEST(SingleSystemRun, EmptyCpuTableReadsNoRow) {
  // Reading a row of TF_CPU_ALL would fail; with no rows none is read.
  ProgramResult result = RunProgram(
      {PrtgProfile(UsableProfile()),
       LandscapeText()
           .Set("fail_itgetline", "TF_CPU_ALL")
           .Add(ExampleSystem().Set("cpu_rows", "0"))
           .File()},
      {"PRD"});
  ExpectOutput(result, MeasurementDocument("EXEXML", kDefaultText, kExampleMByte, "MByte"), 0);
}

TEST(SingleSystemRun, StructuresInstalledOncePerProcess) {
  RunWithFiles run = RunKeepingRfcFiles(
      {PrtgProfile(UsableProfile()), LandscapeWith(ExampleSystem().Set("cpu_rows", "3"))},
      {"PRD"});
  ExpectOutput(run.result, MeasurementDocument("EXEXML", kDefaultText, kExampleMByte, "MByte"),
               0);
  EXPECT_EQ(JournalLines(run.File(kJournalFile), {"RfcInstallStructure"}),
            "RfcInstallStructure name=\"CPU_ALL\" rows=13 -> 0 handle=1001\n"
            "RfcInstallStructure name=\"RFCSI\" rows=18 -> 0 handle=1002\n"
            "RfcInstallStructure name=\"DB02INFDB4\" rows=21 -> 0 handle=1003\n"
            "RfcInstallStructure name=\"MISSOBJ\" rows=1 -> 0 handle=1004\n");
}

}  // namespace
