// Faults from the other side: every failure the stand-in RFC library can
// inject, at every call of a multi-system run, and the cases of the
// single-system run that the other suites leave out.
//
// Every case runs twice: opening with RfcOpen, and through destination files
// "SapRfc.<DEST>" that the program copies to "SapRfc.ini" and opens with
// RfcOpenEx. Each run is checked for its exact output and exit code; for
// every connection event in the stand-in's journal, so that each connection
// is seen closed after its last call wherever the program ends in order (the
// failure report instead closes handle 0 and ends the process); for
// "Dev_Rfc.Trc" kept after every failure; and for "SapRfc.ini" holding
// either its previous bytes or a whole destination file, with no draft
// "SapRfc.ini.new" left behind.
#include <algorithm>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "gtest/gtest.h"
#include "tests/e2e/expected_output.h"
#include "tests/e2e/landscape.h"
#include "tests/e2e/program_run.h"
#include "tests/e2e/sample_files.h"

namespace {

const std::string kSensor(kSensorItem);
// The one draft name that runs once shared; a run now drafts under its own.
const std::string kOldDraftFile = std::string(kWorkDir) + "SapRfc.ini.new";
const std::string kOldTrace = "ERROR       from an older run\n";
const std::string kOldIni = "* an older SapRfc.ini\n" + SapRfcEntry("OLD", "sapold", "11");

/// Stands for "RfcOpen" or "RfcOpenEx" in the expectations, whichever the
/// run's way of opening is.
constexpr std::string_view kOpen = "{open}";

std::string WithOpen(std::string text, bool through_file) {
  for (std::size_t at = text.find(kOpen); at != std::string::npos; at = text.find(kOpen, at)) {
    text.replace(at, kOpen.size(), through_file ? "RfcOpenEx" : "RfcOpen");
  }
  return text;
}

std::string Open(int handle) { return std::string(kOpen) + " -> " + std::to_string(handle) + "\n"; }
std::string Close(int handle) { return "RfcClose handle=" + std::to_string(handle) + "\n"; }

constexpr const char* kFunctions[] = {"GET_CPU_ALL", "RFC_SYSTEM_INFO", "DB02_DB4_GET_INFO"};

/// The received calls of a connection before `function` (all three for "").
std::string CallsBefore(std::string_view function) {
  std::string calls;
  for (const char* name : kFunctions) {
    if (function == name) break;
    calls += std::string("RfcCall ") + name + " -> 0\nRfcReceive " + name + " -> 0\n";
  }
  return calls;
}
const std::string kAllCalls = CallsBefore("");

/// What the failure report leaves in the journal after the failing call.
std::string ReportEnd(std::string_view key) {
  return "RfcLastError -> key=\"" + std::string(key) + "\"\n" + Close(0);
}

std::string Replaced(std::string text, std::string_view function) {
  text.replace(text.find("%s"), 2, function);
  return text;
}

/// The outcomes of a function module that answer with a code.
struct CodeOutcome {
  const char* setting;
  const char* message;   // ends in ": " where the exception name follows
  const char* remark;    // the stand-in's trace text, "%s" for the function
  const char* on_call;   // the RfcCall result in the journal
  const char* received;  // the RfcReceive result in the journal
};
constexpr CodeOutcome kCodeOutcomes[] = {
    {"failure 1", "Error 1014: RFC-Failure raised !", "connection to partner broken during %s",
     "-> 1", "-> 1"},
    {"failure 3", "Error 1013: Sys-Exception raised !", "SYSTEM_FAILURE raised by %s", "-> 3",
     "-> 3 exception=\"SYSTEM_FAILURE\""},
    {"failure 23", "Error 1015: Other Failure raised !", "%s failed with code 23", "-> 23",
     "-> 23"},
    {"exception NOT_AUTHORIZED", "Error 1012: Exception.: ",
     "exception NOT_AUTHORIZED raised by %s", "-> 2", "-> 2 exception=\"NOT_AUTHORIZED\""},
};

/// A local service of the library that the stand-in makes fail.
struct LocalService {
  const char* setting;    // top-level landscape key
  const char* operation;  // the operation text of the report; "" when it is the status
  const char* status;     // the stand-in's status, "%s" for the name
  const char* key;
  const char* message;
  const char* journal;    // its failing journal event
};
constexpr LocalService kInstall = {"fail_install", "RfcInstallStructure", "RfcInstallStructure %s",
                                   "RFC_ERROR_PROGRAM", "structure %s cannot be installed",
                                   "RfcInstallStructure %s -> 1\n"};
constexpr LocalService kCreate = {"fail_itcreate", "", "ItCreate %s",
                                  "RFC_ERROR_MEMORY_INSUFFICIENT",
                                  "no memory for internal table %s", "ItCreate %s -> null\n"};
constexpr LocalService kGetLine = {"fail_itgetline", "", "ItGetLine %s", "RFC_ERROR_PROGRAM",
                                   "line 1 of internal table %s cannot be read",
                                   "ItGetLine %s line=1 -> null\n"};
constexpr LocalService kDelete = {"fail_itdelete", "", "ItDelete %s", "RFC_ERROR_PROGRAM",
                                  "internal table %s cannot be deleted", "ItDelete %s -> 1\n"};

/// How the failure report shows a failing local service (its lines for the
/// console, its text for PRTG), and its journal events on a connection whose
/// `calls_before` succeeded.
struct LocalFailureReport {
  std::string lines;
  std::string text;
  std::string events;
};
LocalFailureReport LocalFailure(const LocalService& service, std::string_view name,
                                const std::string& calls_before) {
  const std::string status = Replaced(service.status, name);
  const std::string operation = *service.operation != '\0' ? service.operation : status;
  const std::string message = Replaced(service.message, name);
  const std::string internal =
      "rfcsim: " + std::string(service.setting) + " names " + std::string(name);
  return {RfcErrorReport(operation, service.key, status, message, internal),
          RfcErrorText(operation, service.key, status, message, internal),
          calls_before + Replaced(service.journal, name) + ReportEnd(service.key)};
}

/// Where in a connection each local service fails: the calls that succeed
/// before it.
struct ServicePlace {
  const LocalService* service;
  const char* name;
  std::string calls_before;
};
const std::vector<ServicePlace>& ServicePlaces() {
  static const std::vector<ServicePlace> places = [] {
    std::vector<ServicePlace> list = {
        {&kInstall, "CPU_ALL", ""},
        {&kInstall, "RFCSI", CallsBefore("RFC_SYSTEM_INFO")},
        {&kInstall, "DB02INFDB4", CallsBefore("DB02_DB4_GET_INFO")},
        {&kInstall, "MISSOBJ", CallsBefore("DB02_DB4_GET_INFO")},
        {&kCreate, "TF_CPU_ALL", ""},
        {&kGetLine, "TF_CPU_ALL", CallsBefore("RFC_SYSTEM_INFO")},
        {&kDelete, "TF_CPU_ALL", CallsBefore("RFC_SYSTEM_INFO")},
    };
    for (const char* table : {"ADDTL_INDEX", "ADDTL_TABLES", "ADDTL_VIEWS", "MISS_INDEX",
                              "MISS_TABLES", "MISS_VIEWS"}) {
      list.push_back({&kCreate, table, CallsBefore("DB02_DB4_GET_INFO")});
      list.push_back({&kDelete, table, kAllCalls});
    }
    return list;
  }();
  return places;
}

/// What the files of the working directory must be after a run.
void ExpectFilesKept(const std::map<std::string, std::string>& left,
                     const std::string& saprfc_ini) {
  auto file = [&left](const std::string& path) -> std::optional<std::string> {
    auto found = left.find(path);
    if (found == left.end()) return std::nullopt;
    return found->second;
  };
  std::optional<std::string> trace = file(std::string(kTraceFile));
  EXPECT_TRUE(trace && trace->starts_with(kOldTrace)) << "Dev_Rfc.Trc was not kept";
  EXPECT_EQ(file(std::string(kSapRfcIniFile)), saprfc_ini);
}

std::map<std::string, std::string> RunKeeping(const std::vector<HostFile>& files,
                                              const std::vector<std::string>& args,
                                              ProgramResult* result) {
  std::map<std::string, std::string> left;
  *result = RunProgramKeepingFiles(
      files, args,
      {std::string(kJournalFile), std::string(kTraceFile), std::string(kSapRfcIniFile),
       kOldDraftFile},
      &left);
  return left;
}

// The multi-system run: a global run over A, B and C with the console
// report. A (destination DSA on hosta / 01) and C (DSC, hostc / 03) are
// healthy; B (DSB, hostb / 02) meets the fault of the case, unless the fault
// is a local service of the library, which fails for A, the first system
// measured.

enum class Ending {
  kSystemFails,   // B is counted as failed; C is measured; summary
  kRunEnds,       // the error document of B's failure, exit code 2
  kReportAtB,     // the failure report during B's connection, exit code 1
  kReportAtA,     // the failure report during A's connection, exit code 1
  kAllMeasured,   // no fault shows
};

struct MultiCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> top;       // landscape, top level
  std::vector<std::pair<std::string, std::string>> settings;  // B's system
  Ending ending;
  std::string ending_text;  // the message (kRunEnds) or the report's lines (kReport...)
  std::string events;       // B's journal events from its open on (A's for kReportAtA)
  bool b_connects = true;   // false when B's open fails
  std::string report_text = {};  // kReport...: the text of the report's error document
};

std::vector<MultiCase> MultiCases() {
  std::vector<MultiCase> cases;
  for (const char* function : kFunctions) {
    const bool sizing = std::string_view(function) == "DB02_DB4_GET_INFO";
    const std::string before = Open(2) + CallsBefore(function);
    for (const CodeOutcome& outcome : kCodeOutcomes) {
      for (bool on_call : {true, false}) {
        std::string message = outcome.message;
        if (!on_call && message.ends_with(": ")) message += "NOT_AUTHORIZED";
        message += " - " + Replaced(outcome.remark, function);
        const std::string setting = std::string(outcome.setting) + (on_call ? " on call" : "");
        std::string failing = std::string("RfcCall ") + function + " " +
                              (on_call ? outcome.on_call : "-> 0") + "\n";
        if (!on_call) {
          failing += std::string("RfcReceive ") + function + " " + outcome.received + "\n";
        }
        cases.push_back({std::string(function) + " = " + setting,
                         {},
                         {{function, setting}},
                         sizing ? Ending::kSystemFails : Ending::kRunEnds,
                         message,
                         before + failing + Close(2)});
      }
    }
    cases.push_back({std::string(function) + " = missing", {}, {{function, "missing"}},
                     sizing ? Ending::kSystemFails : Ending::kRunEnds,
                     "Error 1014: RFC-Failure raised ! - Function module \"" +
                         std::string(function) + "\" not found",
                     before + "RfcCall " + function + " -> 1\n" + Close(2)});
    for (bool on_call : {true, false}) {
      const std::string operation = std::string(on_call ? "RfcCall " : "RfcReceive ") + function;
      const std::string message = "connection to partner broken during " + std::string(function);
      const std::string internal = "rfcsim: system SB, " + std::string(function) +
                                   ": handler " + (on_call ? "on call" : "on receive");
      cases.push_back(
          {std::string(function) + " = handler" + (on_call ? " on call" : " on receive"),
           {},
           {{function, on_call ? "handler on call" : "handler"}},
           Ending::kReportAtB,
           RfcErrorReport(operation, "RFC_ERROR_COMMUNICATION", message, internal),
           before + "RfcCall " + function + (on_call ? " -> 1\n" : " -> 0\nRfcReceive ") +
               (on_call ? "" : std::string(function) + " -> 1\n") + "ErrorHandler operation=\"" +
               operation + "\"\n" + ReportEnd("RFC_ERROR_COMMUNICATION"),
           true,
           RfcErrorText(operation, "RFC_ERROR_COMMUNICATION", message, internal)});
    }
  }
  cases.push_back({"negative TAB_SIZE", {}, {{"TAB_SIZE", "-5"}}, Ending::kSystemFails, "",
                   Open(2) + kAllCalls + Close(2)});
  cases.push_back({"database on ORACLE", {}, {{"RFCDBSYS", "ORACLE"}}, Ending::kRunEnds,
                   "Error 1018: DataBase mismatch !",
                   Open(2) + CallsBefore("DB02_DB4_GET_INFO") + Close(2)});
  const std::vector<std::pair<std::string, std::pair<std::string, std::string>>> refusals = {
      {"unreachable system", {"open", "unreachable"}},
      {"wrong password", {"password", "other"}},
      {"wrong client", {"client", "200"}},
      {"wrong user", {"user", "OTHER"}},
      {"no such system", {"host", "elsewhere"}},
  };
  for (const auto& [name, setting] : refusals) {
    cases.push_back({name, {}, {setting}, Ending::kSystemFails, "", Open(0), false});
  }
  const std::string broken = "connection to partner 'hostb:sapgw02' broken";
  const std::string during_open = "rfcsim: system SB calls the error handler during the open";
  cases.push_back({"error handler during the open",
                   {},
                   {{"open", "handler"}},
                   Ending::kReportAtB,
                   RfcErrorReport(std::string(kOpen), "RFC_ERROR_COMMUNICATION", broken,
                                  during_open),
                   Open(0) + "ErrorHandler operation=\"" + std::string(kOpen) + "\"\n" +
                       ReportEnd("RFC_ERROR_COMMUNICATION"),
                   false,
                   RfcErrorText(std::string(kOpen), "RFC_ERROR_COMMUNICATION", broken,
                                during_open)});
  for (const ServicePlace& place : ServicePlaces()) {
    LocalFailureReport report = LocalFailure(*place.service, place.name, place.calls_before);
    cases.push_back({std::string(place.service->setting) + " = " + place.name,
                     {{place.service->setting, place.name}},
                     {},
                     Ending::kReportAtA,
                     report.lines,
                     Open(1) + report.events,
                     true,
                     report.text});
  }
  cases.push_back({"fail_itgetline = MISS_VIEWS, a table never read",
                   {{"fail_itgetline", "MISS_VIEWS"}}, {}, Ending::kAllMeasured, "",
                   Open(2) + kAllCalls + Close(2)});
  return cases;
}

/// The destination file "SapRfc.<destination>": a comment naming it, then
/// its entry naming `host` and `sysnr`.
std::string Entry(std::string_view destination, std::string_view host, std::string_view sysnr) {
  return "* destination file of " + std::string(destination) + "\n" +
         SapRfcEntry(destination, host, sysnr);
}

/// What a multi-system run with console lines prints when it opens a system
/// through its destination file: the line of the single-system run. Without
/// console lines it is left out, since it would fall inside the document
/// opened before the first system and its "<" would break it
/// (FaultInjection.SummaryStaysWellFormedWithDestinationFiles).
std::string MultiRunIniLine(std::string_view destination) {
  return "* SapRfc.Ini.......: " + std::string(destination) + "<\n";
}

/// A system of the listing: its profile, destination, host, system number
/// and its SID in the landscape.
struct Listed {
  const char* profile;
  const char* destination;
  const char* host;
  const char* sysnr;
  const char* sid;
};
constexpr Listed kA = {"A.P00", "DSA", "hosta", "01", "SA"};
constexpr Listed kB = {"B.P00", "DSB", "hostb", "02", "SB"};
constexpr Listed kC = {"C.P00", "DSC", "hostc", "03", "SC"};
constexpr const Listed* kListed[] = {&kA, &kB, &kC};

std::string EntryOf(const Listed& system) {
  return Entry(system.destination, system.host, system.sysnr);
}

/// The files of a multi-system run of case `c`: the listing, A, B and C with
/// their destination files when the run opens through them, the landscape,
/// an older trace file and an older "SapRfc.ini".
std::vector<HostFile> MultiRunFiles(const MultiCase& c, bool through_file) {
  const std::string dir(kProgramFilesDir);
  std::vector<HostFile> files = {
      {dir + "SAP Quadrant.Gbl", ListingLine("PRD", "A.P00#B.P00#C.P00#") + "\n" +
                                     AllocationLine("PRD", "Item=N," + kSensor) + "\n"},
      {std::string(kTraceFile), kOldTrace},
      {std::string(kSapRfcIniFile), kOldIni},
  };
  LandscapeText landscape;
  for (const auto& [key, value] : c.top) landscape.Set(key, value);
  for (const Listed* system : kListed) {
    files.push_back({dir + system->profile,
                     ProfileReaching(system->destination, system->host, system->sysnr)});
    if (through_file) files.push_back(DestinationFile(system->destination, EntryOf(*system)));
    SimSystem sim = SystemAt(system->sid, system->host, system->sysnr);
    if (system == &kB) {
      for (const auto& [key, value] : c.settings) sim.Set(key, value);
    }
    landscape.Add(sim);
  }
  files.push_back(landscape.File());
  return files;
}

/// The console lines ahead of the document of every multi-system run.
const std::string kStartLines =
    std::string(kHeaderLine) + "* HH:MM:SS Item=N State=Executing\n";

/// What a multi-system run of a case must print and leave.
struct MultiRunResult {
  std::string out;      // up to the document's end (the error document's start)
  std::string summary;  // the summary message; empty when the run ends early
  std::string events;   // ConnectionEvents of the journal
  std::string saprfc_ini;
};

MultiRunResult ExpectedMultiRun(const MultiCase& c, bool through_file) {
  auto ini_line = [through_file](const Listed& system) {
    return through_file ? MultiRunIniLine(system.destination) : std::string();
  };
  auto state = [](const Listed& system, std::string_view text) {
    return "\n* HH:MM:SS " + std::string(system.profile) + ", " + system.host + ", " +
           system.destination + ", " + system.sysnr + ", 100 State=" + std::string(text) + "\n";
  };
  const std::string measured_a = ini_line(kA) + state(kA, "Processed");
  const std::string healthy_a = Open(1) + kAllCalls + Close(1);
  MultiRunResult expected;
  expected.out = kStartLines + std::string(kXmlOpening);
  // SapRfc.ini holds the destination file of the last system opened.
  const Listed* last_opened = &kC;
  switch (c.ending) {
    case Ending::kSystemFails: {
      const int c_handle = c.b_connects ? 3 : 2;
      expected.summary = "(***) N: NoSystems=3, Processed=2, Failed=1";
      expected.out += measured_a + ini_line(kB) + state(kB, "Rfc Failure") + ini_line(kC) +
                      state(kC, "Processed");
      expected.events = healthy_a + c.events + Open(c_handle) + kAllCalls + Close(c_handle);
      break;
    }
    case Ending::kAllMeasured:
      expected.summary = "(***) N: NoSystems=3, Processed=3, Failed=0";
      expected.out += measured_a + ini_line(kB) + state(kB, "Processed") + ini_line(kC) +
                      state(kC, "Processed");
      expected.events = healthy_a + Open(2) + kAllCalls + Close(2) + Open(3) + kAllCalls + Close(3);
      break;
    case Ending::kRunEnds:
      expected.out += measured_a + ini_line(kB);
      expected.events = healthy_a + c.events;
      last_opened = &kB;
      break;
    case Ending::kReportAtB:
      expected.out += measured_a + ini_line(kB) + c.ending_text;
      expected.events = healthy_a + c.events;
      last_opened = &kB;
      break;
    case Ending::kReportAtA:
      expected.out += ini_line(kA) + c.ending_text;
      expected.events = c.events;
      last_opened = &kA;
      break;
  }
  expected.out = WithOpen(expected.out, through_file);
  expected.events = WithOpen(expected.events, through_file);
  expected.saprfc_ini = through_file ? EntryOf(*last_opened) : kOldIni;
  return expected;
}

TEST(FaultInjection, EveryFaultAtEveryCallOfTheMultiSystemRun) {
  for (const MultiCase& c : MultiCases()) {
    for (bool through_file : {false, true}) {
      SCOPED_TRACE(c.name + (through_file ? ", through destination files" : ""));
      const MultiRunResult expected = ExpectedMultiRun(c, through_file);
      ProgramResult result;
      std::map<std::string, std::string> left =
          RunKeeping(MultiRunFiles(c, through_file), {"global", "PRD #"}, &result);
      ExpectOrderlyEnd(result);
      if (c.ending == Ending::kRunEnds) {
        ExpectErrorInsideDocument(result, c.ending_text, expected.out);
      } else if (expected.summary.empty()) {
        ExpectOutput(result, expected.out, 1);
      } else {
        // The state lines stand inside the document, as text of Prtg.
        const std::string document_end =
            "\n<Text>" + expected.summary + "</Text>\n\n</Prtg>\n";
        ExpectOutput(result, expected.out + document_end + "\n" + std::string(kClosingLine), 0);
        // Runs through destination files have a case of their own below.
        const std::size_t document_at = kStartLines.size();
        if (!through_file && result.out.size() > document_at) {
          std::string_view document = std::string_view(result.out).substr(
              document_at, expected.out.size() - document_at + document_end.size());
          EXPECT_TRUE(ParsesWithText(document, expected.summary));
          EXPECT_TRUE(HasOnlyXmlCharacters(document));
        }
      }
      EXPECT_EQ(ConnectionEvents(left[std::string(kJournalFile)]), expected.events);
      ExpectFilesKept(left, expected.saprfc_ini);
    }
  }
}

TEST(FaultInjection, WithoutConsoleLinesTheMultiSystemRunPrintsOneDocument) {
  // Every ending of the table above, for PRTG: no state lines and no
  // "SapRfc.Ini" lines, and an ending that stops the run goes inside the
  // document opened before the first system. The run opens through
  // destination files, whose line once broke the summary.
  for (const MultiCase& c : MultiCases()) {
    SCOPED_TRACE(c.name);
    const MultiRunResult with_console = ExpectedMultiRun(c, true);
    ProgramResult result;
    std::map<std::string, std::string> left =
        RunKeeping(MultiRunFiles(c, true), {"global", "PRD"}, &result);
    ExpectOrderlyEnd(result);
    const std::string opening(kXmlOpening);
    switch (c.ending) {
      case Ending::kSystemFails:
      case Ending::kAllMeasured:
        ExpectOutput(result,
                     opening + "\n<Text>" + with_console.summary + "</Text>\n\n</Prtg>\n\n", 0);
        break;
      case Ending::kRunEnds:
        ExpectOutput(result, opening + ErrorInsideDocument(c.ending_text), 2);
        break;
      case Ending::kReportAtA:
      case Ending::kReportAtB:
        ExpectOutput(result, opening + ErrorInsideDocument(WithOpen(c.report_text, true)), 1);
        break;
    }
    EXPECT_EQ(ConnectionEvents(left[std::string(kJournalFile)]), with_console.events);
    ExpectFilesKept(left, with_console.saprfc_ini);
  }
}

TEST(FaultInjection, SummaryStaysWellFormedWithDestinationFiles) {
  // An item run over one healthy system that opens through its destination
  // file, without console lines: the summary document must parse.
  const std::string dir(kProgramFilesDir);
  const std::string summary = "(***) N: NoSystems=1, Processed=1, Failed=0";
  ProgramResult result = RunProgram(
      {{dir + "Quadrant.Prf", ItemLine("A.P00#") + "\n"},
       {dir + "A.P00", ProfileReaching("DSA", "hosta", "01")},
       DestinationFile("DSA", Entry("DSA", "hosta", "01")),
       LandscapeWith(SystemAt("SA", "hosta", "01"))},
      {"x", "ITEM=N"});
  ExpectOrderlyEnd(result);
  const std::string document =
      std::string(kXmlOpening) + "\n<Text>" + summary + "</Text>\n\n</Prtg>\n";
  ExpectOutput(result, document + "\n", 0);
  EXPECT_TRUE(ParsesWithText(std::string_view(result.out).substr(0, document.size()), summary));
}

// The single-system run: the usable profile PRD.P00 on the reachable system,
// with a trace file and a "SapRfc.ini" of an earlier run.

struct SingleCase {
  std::string name;
  std::vector<std::pair<std::string, std::string>> top;       // landscape, top level
  std::vector<std::pair<std::string, std::string>> settings;  // the system's
  int exit_code;
  std::string ending;  // the error message (exit code 2) or the report's text (1)
  std::string events;  // from the open on
  bool connects = true;
};

std::vector<SingleCase> SingleCases() {
  std::vector<SingleCase> cases = {
      {"measured", {}, {}, 0, "", Open(1) + kAllCalls + Close(1)},
      {"GET_CPU_ALL = failure 1", {}, {{"GET_CPU_ALL", "failure 1"}}, 2,
       "Error 1014: RFC-Failure raised ! - connection to partner broken during GET_CPU_ALL",
       Open(1) + "RfcCall GET_CPU_ALL -> 0\nRfcReceive GET_CPU_ALL -> 1\n" + Close(1)},
      {"database on ORACLE", {}, {{"RFCDBSYS", "ORACLE"}}, 2, "Error 1018: DataBase mismatch !",
       Open(1) + CallsBefore("DB02_DB4_GET_INFO") + Close(1)},
      // The stand-in saw no failure and wrote no trace: the remark comes from
      // the older trace file.
      {"negative CST_SIZE", {}, {{"CST_SIZE", "-1"}}, 2,
       "Error 1120: Invalid CST_SIZE figure received... - from an older run",
       Open(1) + kAllCalls + Close(1)},
      {"wrong user", {}, {{"user", "OTHER"}}, 2, "Error 1011: RFC-Open for PRD failed !", Open(0),
       false},
  };
  for (const char* function : {"RFC_SYSTEM_INFO", "DB02_DB4_GET_INFO"}) {
    cases.push_back({std::string(function) + " = missing", {}, {{function, "missing"}}, 2,
                     "Error 1014: RFC-Failure raised ! - Function module \"" +
                         std::string(function) + "\" not found",
                     Open(1) + CallsBefore(function) + "RfcCall " + function + " -> 1\n" +
                         Close(1)});
  }
  // The error handler at the calls that the other suites leave out.
  const std::vector<std::pair<const char*, bool>> handler_calls = {
      {"GET_CPU_ALL", false}, {"RFC_SYSTEM_INFO", true}, {"RFC_SYSTEM_INFO", false},
      {"DB02_DB4_GET_INFO", true}};
  for (const auto& [function, on_call] : handler_calls) {
    const std::string operation = std::string(on_call ? "RfcCall " : "RfcReceive ") + function;
    cases.push_back(
        {std::string(function) + " = handler" + (on_call ? " on call" : " on receive"),
         {},
         {{function, on_call ? "handler on call" : "handler"}},
         1,
         RfcErrorText(operation, "RFC_ERROR_COMMUNICATION",
                      "connection to partner broken during " + std::string(function),
                      "rfcsim: system PRD, " + std::string(function) + ": handler " +
                          (on_call ? "on call" : "on receive")),
         Open(1) + CallsBefore(function) + "RfcCall " + function +
             (on_call ? " -> 1\n" : " -> 0\nRfcReceive " + std::string(function) + " -> 1\n") +
             "ErrorHandler operation=\"" + operation + "\"\n" +
             ReportEnd("RFC_ERROR_COMMUNICATION")});
  }
  // The tables whose creation or deletion the other suites leave out.
  for (const char* table : {"ADDTL_TABLES", "ADDTL_VIEWS", "MISS_INDEX", "MISS_TABLES"}) {
    LocalFailureReport report = LocalFailure(kCreate, table, CallsBefore("DB02_DB4_GET_INFO"));
    cases.push_back({std::string("fail_itcreate = ") + table, {{"fail_itcreate", table}}, {}, 1,
                     report.text, Open(1) + report.events});
  }
  for (const char* table : {"ADDTL_INDEX", "ADDTL_VIEWS", "MISS_INDEX", "MISS_TABLES"}) {
    LocalFailureReport report = LocalFailure(kDelete, table, kAllCalls);
    cases.push_back({std::string("fail_itdelete = ") + table, {{"fail_itdelete", table}}, {}, 1,
                     report.text, Open(1) + report.events});
  }
  return cases;
}

TEST(FaultInjection, SingleSystemRunFaultsTheOtherSuitesLeaveOut) {
  const std::string entry = Entry("PRD", "sapprd", "00");
  const std::string measured = MeasurementDocument(
      "EXEXML", ResultText("PRD", "DB4", "20240115", "083000", "PRD     "),
      {"0", "0", "0", "0"}, "MByte");
  for (const SingleCase& c : SingleCases()) {
    for (bool through_file : {false, true}) {
      SCOPED_TRACE(c.name + (through_file ? ", through the destination file" : ""));
      SimSystem system = ReachableSystem();
      for (const auto& [key, value] : c.settings) system.Set(key, value);
      LandscapeText landscape;
      for (const auto& [key, value] : c.top) landscape.Set(key, value);
      std::vector<HostFile> files = {
          PrtgProfile(UsableProfile()),
          landscape.Add(system).File(),
          {std::string(kTraceFile), kOldTrace},
          {std::string(kSapRfcIniFile), kOldIni},
      };
      if (through_file) files.push_back(DestinationFile("PRD", entry));

      // Without console lines the output is the document alone, also when
      // the run opens through the destination file.
      ProgramResult result;
      std::map<std::string, std::string> left = RunKeeping(files, {"PRD"}, &result);
      ExpectOrderlyEnd(result);
      if (c.exit_code == 0) {
        ExpectOutput(result, measured, 0);
        EXPECT_TRUE(ParsesWithText(result.out,
                                   ResultText("PRD", "DB4", "20240115", "083000", "PRD     ")));
      } else {
        ExpectOutput(result, ErrorDocument(WithOpen(c.ending, through_file)), c.exit_code);
        EXPECT_TRUE(ParsesAsErrorDocument(result.out, WithOpen(c.ending, through_file)));
      }
      EXPECT_EQ(ConnectionEvents(left[std::string(kJournalFile)]),
                WithOpen(c.events, through_file));
      const std::string saprfc_ini = through_file ? entry : kOldIni;
      if (c.exit_code == 0) {
        // Only a successful single-system run deletes the trace file.
        EXPECT_FALSE(left.contains(std::string(kTraceFile))) << "Dev_Rfc.Trc is still there";
        EXPECT_EQ(left[std::string(kSapRfcIniFile)], saprfc_ini);
      } else {
        ExpectFilesKept(left, saprfc_ini);
      }
    }
  }
}

TEST(FaultInjection, LeftoversAtTheOldDraftName) {
  // Runs once drafted SapRfc.ini as "SapRfc.ini.new"; now each run drafts
  // under a name of its own, so what lies at the old name is no run's draft:
  // it stays as it is, and the copy goes on.
  const std::string entry = Entry("PRD", "sapprd", "00");
  static const struct {
    const char* name;
    HostFile leftover;
    std::optional<std::string> after;  // the file at the old name after the run
  } kCases[] = {
      {"a file is left as it is", {kOldDraftFile, "DEST=PRD\nASHOST=stale"},
       "DEST=PRD\nASHOST=stale"},
      {"a directory does not stop the copy", {kOldDraftFile + "/inside", "x"}, std::nullopt},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.name);
    ProgramResult result;
    std::map<std::string, std::string> left = RunKeeping(
        {PrtgProfile(UsableProfile()), LandscapeWith(ReachableSystem()),
         {std::string(kSapRfcIniFile), kOldIni}, DestinationFile("PRD", entry), c.leftover},
        {"PRD"}, &result);
    ExpectOrderlyEnd(result);
    ExpectOutput(result,
                 MeasurementDocument("EXEXML",
                                     ResultText("PRD", "DB4", "20240115", "083000", "PRD     "),
                                     {"0", "0", "0", "0"}, "MByte"),
                 0);
    EXPECT_EQ(ConnectionEvents(left[std::string(kJournalFile)]),
              "RfcOpenEx -> 1\n" + kAllCalls + Close(1));
    EXPECT_EQ(left[std::string(kSapRfcIniFile)], entry);
    auto found = left.find(kOldDraftFile);
    EXPECT_EQ(found == left.end() ? std::nullopt : std::optional(found->second), c.after);
  }
}

}  // namespace
