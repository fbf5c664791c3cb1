// RFC access through the real program and the stand-in library: what the
// open hands over (checked in the stand-in's journal), the open through a
// destination file, the run log, the library failure report, the
// trace-file remark of a failed call, and the one directory the library is
// loaded from.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/test_files.h"
#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

using namespace std::string_literals;

/// `profile` with the value of the line labelled `label` replaced.
std::string Changed(std::string profile, std::string_view label, std::string_view value) {
  std::size_t at = profile.starts_with(label) ? 0 : profile.find("\n" + std::string(label));
  if (at == std::string::npos) {
    ADD_FAILURE() << "no profile line labelled " << label;
    return profile;
  }
  if (at != 0) ++at;
  std::size_t end = profile.find('\n', at);
  profile.replace(at, end - at, std::string(label) + " " + std::string(value));
  return profile;
}

/// The document of a successful run against a system with the stand-in's
/// default values.
std::string DefaultDocument() {
  return MeasurementDocument("EXEXML", ResultText("PRD", "DB4", "20240115", "083000", "PRD     "),
                             {"0", "0", "0", "0"}, "MByte");
}

const std::string kOpenFailed = "Error 1011: RFC-Open for PRD failed !";

/// The options of one RfcOpen as the journal writes them; texts are written
/// quoted, as the journal does, or as null.
struct OpenOptions {
  std::string dest = "\"PRD\"";
  int mode = 0;
  std::string host = "\"sapprd\"";
  int sysnr = 0;
  std::string gwhost = "\"sapgw\"";
  std::string gwservice = "\"sapgw00\"";
  std::string client = "\"100\"";
  std::string user = "\"MONITOR     \"";
  std::string password = "\"secret    \"";
  std::string lang = "\"E\"";
  int handle = 1;

  std::string Line() const {
    std::string line = "RfcOpen dest=" + dest + " mode=" + std::to_string(mode);
    if (mode == 0) line += " host=" + host + " sysnr=" + std::to_string(sysnr);
    return line + " gwhost=" + gwhost + " gwservice=" + gwservice + " client=" + client +
           " user=" + user + " password=" + password + " lang=" + lang +
           " trace=0 -> " + std::to_string(handle) + "\n";
  }
};

/// The reachable system plus two more on the same logon: sapprd with system
/// number 05, and SAPOTHER with 42 for the overrides.
HostFile OpenLandscape() {
  auto same_logon = [](const char* sid, const char* host, const char* sysnr) {
    SimSystem system(sid);
    system.Set("host", host).Set("sysnr", sysnr).Set("client", "100");
    system.Set("user", "MONITOR").Set("password", "secret").Set("SYSID", "PRD");
    return system;
  };
  return LandscapeText()
      .Add(ReachableSystem())
      .Add(same_logon("S05", "sapprd", "05"))
      .Add(same_logon("OVR", "SAPOTHER", "42"))
      .File();
}

TEST(RfcOpenOptions, JournalShowsWhatTheOpenHandsOver) {
  static const std::string usable = UsableProfile();
  static const std::string r2 = Changed(usable, kMode, "R/2");
  static const struct {
    const char* name;
    std::string profile;
    std::vector<std::string> args;
    OpenOptions open;
  } kCases[] = {
      {"mode R/3: server options, user padded to 12, password to 10", usable, {"PRD"}, {}},
      {"mode R/2 exactly: gateway options", r2, {"PRD"}, {.mode = 1}},
      {"mode r/2 in lower case: server options", Changed(usable, kMode, "r/2"), {"PRD"}, {}},
      {"mode R/2 and a blank: server options", Changed(usable, kMode, "R/2 "), {"PRD"}, {}},
      {"system number 05 is 5", Changed(usable, kSysnr, "05"), {"PRD"}, {.sysnr = 5}},
      {"system number after a leading blank", Changed(usable, kSysnr, " 5"), {"PRD"},
       {.sysnr = 5}},
      {"system number without a leading digit is 0", Changed(usable, kSysnr, "x5"), {"PRD"},
       {}},
      {"overrides of host and system number, letter case as typed", usable,
       {"PRD", "x,HOST=SapOther,NO=42"}, {.host = "\"SapOther\"", .sysnr = 42}},
      {"overrides typed in lower case, ended by a blank and a comma", usable,
       {"PRD", ",host=SapOther", ",no=42,x"}, {.host = "\"SapOther\"", .sysnr = 42}},
      {"empty host override: null host", usable, {"PRD", ",HOST=,x"},
       {.host = "null", .handle = 0}},
      {"empty system-number override keeps 0", usable, {"PRD", ",NO="}, {}},
      {"overrides leave the gateway options alone", r2, {"PRD", ",HOST=SapOther,NO=42"},
       {.mode = 1}},
      {"HOST= without the comma is no override", usable, {"PRD", "HOST=SapOther"}, {}},
      {"user of four letters gets eight blanks", Changed(usable, kUser, "mona"), {"PRD"},
       {.user = "\"MONA        \"", .handle = 0}},
      {"user of twelve characters stays unchanged", Changed(usable, kUser, "monitor_user"),
       {"PRD"}, {.user = "\"MONITOR_USER\"", .handle = 0}},
      {"password of nine characters gets one blank",
       Changed(usable, kPassword, StoredPassword("secret123")), {"PRD"},
       {.password = "\"secret123 \"", .handle = 0}},
      {"password of two characters gets eight blanks",
       Changed(usable, kPassword, StoredPassword("ab")), {"PRD"},
       {.password = "\"ab        \"", .handle = 0}},
      {"language passed unchanged", Changed(usable, kLanguage, " de x"), {"PRD"},
       {.lang = "\" de x\""}},
      {"client with a trailing blank passed unchanged", Changed(usable, kClient, "100 "),
       {"PRD"}, {.client = "\"100 \""}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    RunWithFiles run = RunKeepingRfcFiles({PrtgProfile(c.profile), OpenLandscape()}, c.args);
    EXPECT_EQ(JournalLines(run.File(kJournalFile), {"RfcOpen"}), c.open.Line());
    if (c.open.handle != 0) {
      ExpectOutput(run.result, DefaultDocument(), 0);
    } else {
      ExpectErrorDocument(run.result, kOpenFailed);
    }
  }
}

TEST(RfcOpenOptions, ValueLongerThanItsOptionTextOpensNothing) {
  static const std::string usable = UsableProfile();
  static const struct {
    const char* name;
    std::string profile;
    std::vector<std::string> args;
    std::string passed;  // how the value stands in the journal when it fits
    bool fits;
  } kCases[] = {
      {"user of 39 characters", Changed(usable, kUser, std::string(39, 'u')), {"PRD"},
       "user=\"" + std::string(39, 'U') + "\"", true},
      {"user of 40 characters", Changed(usable, kUser, std::string(40, 'u')), {"PRD"}, "",
       false},
      {"language of 23 characters", Changed(usable, kLanguage, std::string(23, 'l')),
       {"PRD"}, "lang=\"" + std::string(23, 'l') + "\"", true},
      {"language of 24 characters", Changed(usable, kLanguage, std::string(24, 'l')),
       {"PRD"}, "", false},
      {"gateway host of 59 characters", Changed(usable, kGwhost, std::string(59, 'g')),
       {"PRD"}, "gwhost=\"" + std::string(59, 'g') + "\"", true},
      {"gateway host of 60 characters", Changed(usable, kGwhost, std::string(60, 'g')),
       {"PRD"}, "", false},
      {"host override of 79 characters", usable, {"PRD", ",HOST=" + std::string(79, 'h')},
       "host=\"" + std::string(79, 'h') + "\"", true},
      {"host override of 80 characters", usable, {"PRD", ",HOST=" + std::string(80, 'h')},
       "", false},
      {"system-number override of 51 characters", usable,
       {"PRD", ",NO=7" + std::string(50, 'x')}, "sysnr=7", true},
      {"system-number override of 52 characters", usable,
       {"PRD", ",NO=7" + std::string(51, 'x')}, "", false},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    RunWithFiles run = RunKeepingRfcFiles({PrtgProfile(c.profile), OpenLandscape()}, c.args);
    std::string opens = JournalLines(run.File(kJournalFile), {"RfcOpen"});
    if (c.fits) {
      EXPECT_NE(opens.find(" " + c.passed + " "), std::string::npos) << opens;
    } else {
      EXPECT_EQ(opens, "");
      ExpectErrorDocument(run.result, kOpenFailed);
    }
  }
}

TEST(RfcOpenOptions, DestinationFileOpensThroughSapRfcIni) {
  static const std::string entry = SapRfcEntry("PRD", "sapprd", "00");
  // A zero byte, a byte above 127 and the DOS end-of-file mark in a comment,
  // and CR LF line ends.
  static const std::string raw_entry =
      "* bytes kept\x00\xff\x1a\r\nDEST=PRD\r\nASHOST=sapprd\r\nSYSNR=00\r\n"s;
  static const std::string connect =
      "RfcOpenEx connect=\"CLIENT=100 USER=MONITOR PASSWD=secret LANG=D DEST=PRD\" -> 1\n";
  static const std::string ini_line = "* SapRfc.Ini.......: PRD<\n";
  static const std::string old_ini = SapRfcEntry("OLD", "sapold", "11") + std::string(200, '*');
  static const HostFile old_ini_file{std::string(kSapRfcIniFile), old_ini};
  static const struct {
    const char* name;
    std::vector<HostFile> files;
    std::vector<std::string> args;
    std::string opens;     // the RfcOpen and RfcOpenEx lines of the journal
    std::string ini;       // SapRfc.ini after the run
    std::string expected;  // standard output
    int exit_code;
  } kCases[] = {
      // Without console report lines nothing but the document is printed.
      {"copied to SapRfc.ini, language D and no padding in the connect string",
       {DestinationFile("PRD", entry)}, {"PRD"}, connect, entry, DefaultDocument(), 0},
      {"with console report lines the copy is announced",
       {DestinationFile("PRD", entry)}, {"PRD", "$"}, connect, entry,
       std::string(kHeaderLine) + "* HH:MM:SS PRD.P00, sapprd, PRD, 00, 100 State=Processing\n" +
           "* HH:MM:SS Kestrelon - $ State=Executing\n" + ini_line + DefaultDocument() +
           std::string(kClosingLine),
       0},
      {"a longer SapRfc.ini is replaced whole",
       {DestinationFile("PRD", entry), old_ini_file}, {"PRD"}, connect, entry,
       DefaultDocument(), 0},
      {"copied byte for byte", {DestinationFile("PRD", std::string(raw_entry))}, {"PRD"},
       connect, std::string(raw_entry), DefaultDocument(), 0},
      {"overrides stay out of the connect string", {DestinationFile("PRD", entry)},
       {"PRD", ",HOST=SapOther,NO=42"}, connect, entry, DefaultDocument(), 0},
      {"logon refused through the destination file",
       {DestinationFile("PRD", entry),
        PrtgProfile(Changed(UsableProfile(), kPassword, StoredPassword("wrong")))},
       {"PRD"},
       "RfcOpenEx connect=\"CLIENT=100 USER=MONITOR PASSWD=wrong LANG=D DEST=PRD\" -> 0\n",
       entry, ErrorDocument(kOpenFailed), 2},
      {"without a destination file SapRfc.ini is left alone", {old_ini_file}, {"PRD"},
       OpenOptions{}.Line(), old_ini, DefaultDocument(), 0},
      {"destination file of another destination is not used",
       {DestinationFile("QAS", entry), old_ini_file}, {"PRD"}, OpenOptions{}.Line(), old_ini,
       DefaultDocument(), 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<HostFile> files = {PrtgProfile(UsableProfile()), OpenLandscape()};
    files.insert(files.end(), c.files.begin(), c.files.end());
    RunWithFiles run = RunKeepingRfcFiles(files, c.args);
    EXPECT_EQ(JournalLines(run.File(kJournalFile), {"RfcOpen"}), c.opens);
    EXPECT_EQ(run.File(kSapRfcIniFile), c.ini);
    ExpectOutput(run.result, c.expected, c.exit_code);
  }
}

TEST(RfcOpenOptions, SapRfcIniThatCannotBeWrittenOpensNothing) {
  // A directory in the place of SapRfc.ini: the copy cannot be made.
  RunWithFiles run = RunKeepingRfcFiles(
      {PrtgProfile(UsableProfile()), OpenLandscape(),
       DestinationFile("PRD", SapRfcEntry("PRD", "sapprd", "00")),
       {std::string(kSapRfcIniFile) + "/inside", "x"}},
      {"PRD"});
  EXPECT_EQ(JournalLines(run.File(kJournalFile), {"RfcOpen"}), "");
  ExpectErrorDocument(run.result, kOpenFailed);
}

TEST(RunLog, WrittenOnlyWithSyslog) {
  static const std::string started = "0 program started " + ProgramPathSeenByProgram() +
                                     "\n0 RfcEnvironment called \n";
  static const std::string calls =
      "1 RfcCall called \n1 RfcReceive called \n1 RfcCall called \n1 RfcReceive called \n"
      "1 RfcCall called \n1 RfcReceive called \n";
  static const HostFile destination_file =
      DestinationFile("PRD", SapRfcEntry("PRD", "sapprd", "00"));
  static const struct {
    const char* name;
    std::vector<std::string> args;
    bool written;
    std::string log;
    SimSystem system = ReachableSystem();
    std::vector<HostFile> files = {};
  } kCases[] = {
      {"no log without the keyword", {"PRD", "GIGABYTE"}, false, ""},
      {"SYSLOG without its comma", {"PRD", "SYSLOG"}, false, ""},
      {"every event of a successful run", {"PRD", ",SYSLOG"}, true,
       started + "1 RfcOpen called \n" + calls},
      {"keyword in lower case, appended to an old log", {"PRD", "x,syslog"}, true,
       "old line\n" + started + "1 RfcOpen called \n" + calls, ReachableSystem(),
       {{std::string(kRunLogFile), "old line\n"}}},
      {"open through the destination file", {"PRD", ",SYSLOG"}, true,
       started + "1 RfcOpenEx called \n" + calls, ReachableSystem(), {destination_file}},
      {"refused open", {"PRD", ",SYSLOG"}, true, started + "0 RfcOpen called \n",
       ReachableSystem().Set("password", "other")},
      {"failed RfcCall: no RfcReceive line", {"PRD", ",SYSLOG"}, true,
       started + "1 RfcOpen called \n1 RfcCall called \n",
       ReachableSystem().Set("GET_CPU_ALL", "failure 1 on call")},
      {"error handler during the open ends the log", {"PRD", ",SYSLOG"}, true, started,
       ReachableSystem().Set("open", "handler")},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<HostFile> files = {PrtgProfile(UsableProfile()), LandscapeWith(c.system)};
    files.insert(files.end(), c.files.begin(), c.files.end());
    RunWithFiles run = RunKeepingRfcFiles(files, c.args);
    EXPECT_EQ(run.Has(kRunLogFile), c.written);
    EXPECT_EQ(run.File(kRunLogFile), c.log);
  }
}

TEST(RfcFailureReport, ErrorHandlerEndsWithTheDetailsAndExitCode1) {
  static const std::string console =
      std::string(kHeaderLine) + "* HH:MM:SS PRD.P00, sapprd, PRD, 00, 100 State=Processing\n" +
      "* HH:MM:SS Kestrelon - (No Parameters) State=Executing\n";
  static const SimSystem handler_open = ReachableSystem().Set("open", "handler");
  static const std::string during_open =
      "rfcsim: system PRD calls the error handler during the open";
  // How the report is printed: its lines for a person at the console and in
  // the modes outside the XML family, else one error document for PRTG.
  enum Form { kLines, kDocument };
  static const struct {
    const char* name;
    SimSystem system;
    std::vector<std::string> args;
    Form form;
    std::string before;  // printed ahead of the report
    std::string operation;
    std::string message;
    std::string internal_status;
    std::vector<HostFile> files = {PrtgProfile(UsableProfile())};
  } kCases[] = {
      {"during the open", handler_open, {"PRD"}, kDocument, "", "RfcOpen",
       "connection to partner 'sapprd:sapgw00' broken", during_open},
      {"during the open of mode 1, after the console lines", handler_open, {"PRD", "#"},
       kLines, console, "RfcOpen", "connection to partner 'sapgw:sapgw00' broken", during_open,
       {PrtgProfile(Changed(UsableProfile(), kMode, "R/2"))}},
      {"during RfcOpenEx", handler_open, {"PRD"}, kDocument, "", "RfcOpenEx",
       "connection to partner 'sapprd:sapgw00' broken", during_open,
       {PrtgProfile(UsableProfile()), DestinationFile("PRD", SapRfcEntry("PRD", "sapprd", "00"))}},
      {"on the call of GET_CPU_ALL", ReachableSystem().Set("GET_CPU_ALL", "handler on call"),
       {"PRD"}, kDocument, "", "RfcCall GET_CPU_ALL",
       "connection to partner broken during GET_CPU_ALL",
       "rfcsim: system PRD, GET_CPU_ALL: handler on call"},
      {"on the receive of DB02_DB4_GET_INFO, after the console lines",
       ReachableSystem().Set("DB02_DB4_GET_INFO", "handler"), {"PRD", "#"}, kLines, console,
       "RfcReceive DB02_DB4_GET_INFO", "connection to partner broken during DB02_DB4_GET_INFO",
       "rfcsim: system PRD, DB02_DB4_GET_INFO: handler on receive"},
      {"Mirabel: the document", handler_open, {"--mode=Mirabel", "PRD"}, kDocument, "",
       "RfcOpen", "connection to partner 'sapprd:sapgw00' broken", during_open,
       {WorkProfile(UsableProfile())}},
      {"Tessaryn: the lines", handler_open, {"--mode=Tessaryn", "PRD"}, kLines, "", "RfcOpen",
       "connection to partner 'sapprd:sapgw00' broken", during_open,
       {WorkProfile(UsableProfile())}},
      {"markup in the texts is escaped in the document",
       ReachableSystem().Set("host", "sap<&>").Set("open", "handler"), {"PRD"}, kDocument, "",
       "RfcOpen", "connection to partner 'sap<&>:sapgw00' broken", during_open,
       {PrtgProfile(Changed(UsableProfile(), kHostname, "sap<&>"))}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<HostFile> files = {LandscapeWith(c.system)};
    files.insert(files.end(), c.files.begin(), c.files.end());
    RunWithFiles run = RunKeepingRfcFiles(files, c.args);
    if (c.form == kLines) {
      ExpectOutput(run.result,
                   c.before + RfcErrorReport(c.operation, "RFC_ERROR_COMMUNICATION", c.message,
                                             c.internal_status),
                   1);
    } else {
      const std::string text = RfcErrorText(c.operation, "RFC_ERROR_COMMUNICATION", c.message,
                                            c.internal_status);
      ExpectOutput(run.result, ErrorDocument(text), 1);
      EXPECT_TRUE(ParsesAsErrorDocument(run.result.out, text));
    }
    // The report asks for the last error and closes with handle 0.
    const std::string journal = run.File(kJournalFile);
    const std::size_t handler_at = journal.find("ErrorHandler");
    EXPECT_EQ(handler_at == std::string::npos ? "" : journal.substr(handler_at),
              "ErrorHandler operation=\"" + c.operation +
                  "\"\nRfcLastError -> key=\"RFC_ERROR_COMMUNICATION\"\nRfcClose handle=0\n");
  }
}

TEST(TraceFileRemark, LastErrorLineAfterTheLastBlock) {
  // GET_CPU_ALL fails with code 1 and leaves only the lines of the case in
  // the trace file.
  auto failing = [](std::initializer_list<const char*> lines) {
    SimSystem system = ReachableSystem();
    system.Set("GET_CPU_ALL", "failure 1").Set("trace_block", "off");
    for (const char* line : lines) system.Set("trace_line", line);
    return system;
  };
  static const std::string kFailure = "Error 1014: RFC-Failure raised !";
  static const std::string kCheck = kFailure + " - Please Check Trace-File !";
  static const std::string long_text(100, 'x');
  static const struct {
    const char* name;
    SimSystem system;
    std::vector<HostFile> files;
    std::string message;
  } kCases[] = {
      {"the stand-in's own block",
       ReachableSystem().Set("GET_CPU_ALL", "failure 1"), {},
       kFailure + " - connection to partner broken during GET_CPU_ALL"},
      {"an older trace file ends at the stand-in's block",
       ReachableSystem().Set("GET_CPU_ALL", "failure 1"),
       {{std::string(kTraceFile), "ERROR       from an older run\n"}},
       kFailure + " - connection to partner broken during GET_CPU_ALL"},
      {"no error line", failing({"ERRORS are elsewhere", " ERROR       indented"}), {},
       kCheck},
      {"empty trace file", failing({}), {}, kCheck},
      {"ERROR line: text from character 13", failing({"ERROR       partner not reached"}),
       {}, kFailure + " - partner not reached"},
      {"ERROR line of 12 characters gives no text", failing({"ERROR  short"}), {}, kCheck},
      {"the last error line wins",
       failing({"ERROR       first", "T:0001 ======> second", "ERROR       third"}), {},
       kFailure + " - third"},
      {"======> at character 8: text from character 16",
       failing({"T:0001 ======> CPI-C error 236"}), {}, kFailure + " - CPI-C error 236"},
      {"======> at character 9 is no error line", failing({"T:00001 ======> no"}), {},
       kCheck},
      {"a line that is both: ======> wins", failing({"ERROR  ======> both"}), {},
       kFailure + " - both"},
      {"**** ERROR clears the lines before it",
       failing({"ERROR       first", "T:0001 ======> second", "**** ERROR file opened"}), {},
       kCheck},
      {"error line after the last **** ERROR",
       failing({"ERROR       first", "**** ERROR file opened", "ERROR       after"}), {},
       kFailure + " - after"},
      {"line read in pieces of 99 characters",
       failing({("ERROR       " + long_text).c_str()}), {},
       kFailure + " - " + long_text.substr(0, 87)},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    std::vector<HostFile> files = {PrtgProfile(UsableProfile()), LandscapeWith(c.system)};
    files.insert(files.end(), c.files.begin(), c.files.end());
    RunWithFiles run = RunKeepingRfcFiles(files, {"PRD"});
    ExpectErrorDocument(run.result, c.message);
    EXPECT_TRUE(run.Has(kTraceFile));
  }
}

/// The stand-in library as built beside the program under test: librfccm.so
/// beside the host program, librfc32.dll in the Windows build tree.
std::filesystem::path StandInBesideProgram() {
  if (RunsWindowsProgram()) {
    return std::filesystem::path(std::getenv("KESTRELON_E2E_WINE")) / "librfc32.dll";
  }
  return std::filesystem::path(KESTRELON_BINARY).parent_path() / "librfccm.so";
}

// A library named on the command line is loaded from the program's own
// directory and nowhere else: a working copy of the stand-in in the working
// directory, under a name the program's directory lacks, is not loaded, while
// the stand-in beside the program is, by its name or as the default.
TEST(RfcLibraryLoading, OnlyTheProgramsDirectoryIsLookedIn) {
  const std::filesystem::path stand_in = StandInBesideProgram();
  const std::optional<std::string> bytes = WholeFile(stand_in);
  ASSERT_TRUE(bytes.has_value()) << stand_in;
  const std::string copy = RunsWindowsProgram() ? "other.dll" : "other.so";
  const std::vector<HostFile> files = {PrtgProfile(UsableProfile()),
                                       LandscapeWith(ReachableSystem()),
                                       {"C/work/" + copy, *bytes}};
  static const auto missing = [](const std::string& name) {
    return ErrorDocument("Error 1110: RFC-Library " + name + " is not available...");
  };
  const struct {
    const char* name;
    std::vector<std::string> args;
    std::string expected;
    int exit_code;
  } kCases[] = {
      {"name found nowhere", {"--rfc-library=nosuch.so", "PRD"}, missing("nosuch.so"), 2},
      {"name only in the working directory", {"--rfc-library=" + copy, "PRD"}, missing(copy), 2},
      {"stand-in named by its file name",
       {"--rfc-library=" + stand_in.filename().string(), "PRD"}, DefaultDocument(), 0},
      {"default library", {"PRD"}, DefaultDocument(), 0},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ExpectOutput(RunProgram(files, c.args), c.expected, c.exit_code);
  }
}

}  // namespace
