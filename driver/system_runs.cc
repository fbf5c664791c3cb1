#include "driver/system_runs.h"

#include <string>

#include "base/text.h"
#include "collect/cpu_status.h"
#include "collect/db4_sizing.h"
#include "driver/start_up.h"
#include "output/console_report.h"
#include "rfc/rfc_failure.h"
#include "rfc/rfc_library.h"
#include "rfc/run_log.h"

namespace {

// Loads the RFC library on first use and installs the failure report as its
// error handler.
Outcome InstallEnvironment(const RunTexts& run, RunState& state, std::FILE* out) {
  state.progress.SetStep("RfcEnvironment");
  if (!state.rfc.library.loaded()) {
    std::optional<std::string> missing = LoadRfcLibrary(run.rfc_library, state.rfc.library);
    if (missing) return ErrorExit(state.output, out, *missing);
  }
  state.failure = FailureReportFor(state.rfc.library, state.output, out, run.ConsoleReport);
  InstallRfcEnvironment(state.failure);
  return Outcome::GoOn();
}

CallContext Call(const RunTexts& run, RunState& state) {
  return CallContext{state.rfc, state.structures, run.paths, run.ParameterKeys.view(),
                     state.failure, state.progress};
}

void CloseConnection(RunState& state) {
  if (state.rfc.RfcHandle != 0) {
    state.progress.SetStep("RfcClose");
    state.rfc.library.RfcClose(state.rfc.RfcHandle);
  }
  state.rfc.RfcHandle = 0;
}

// Prints an error document with `message` (cut to the message area).
Outcome EndWithMessage(RunState& state, std::string_view message, std::FILE* out) {
  MessageArea area;
  area.AssignCut(message);
  WriteErrorDocument(state.output, area.view());
  PrintOutputBuffer(state.output, out);
  CloseConnection(state);
  return Outcome::End(2);
}

// A failed step: its message, the trace-file remark, the error document.
Outcome FailureEnding(const RunTexts& run, RunState& state, std::FILE* out) {
  ScanTraceFile(state.output, run.paths);
  return EndWithMessage(state, state.output.OutputBuffer.str(), out);
}

// GET_CPU_ALL, then RFC_SYSTEM_INFO and the database check; ends the run on
// a failure of either or on a database that is not DB4.
Outcome CheckSystem(const RunTexts& run, RunState& state, std::FILE* out) {
  CallContext call = Call(run, state);
  state.status = RunStatus::kErr;
  ReadCpuStatus(call, state.status, state.output);
  if (state.status == RunStatus::kErr) return FailureEnding(run, state, out);
  state.status = RunStatus::kErr;
  ReadSystemInfo(call, state.status, state.output, state.connection, state.database_system);
  if (state.status == RunStatus::kErr) return FailureEnding(run, state, out);
  if (!IsDb4Database(state.database_system)) {
    return EndWithMessage(state, "Error 1018: DataBase mismatch !", out);
  }
  return Outcome::GoOn();
}

void MeasureSizes(const RunTexts& run, RunState& state) {
  CallContext call = Call(run, state);
  SizingContext sizing{run.MultiSystemRun, state.connection.Destination.view(),
                       run.ParameterText.view(), run.ParameterKeys.view()};
  state.status = RunStatus::kErr;
  ReportDatabaseSizes(call, state.status, state.output, sizing);
}

RfcConnectionHandle OpenConnection(const RunTexts& run, RunState& state, std::FILE* out,
                                   std::string* refusal = nullptr) {
  ConnectionContext context = ConnectionContextOf(run, out);
  context.progress = &state.progress;
  return OpenRfcConnection(state.rfc, state.connection, context, refusal);
}

void PrintSingleReportLines(const RunTexts& run, const ConnectionParameters& profile,
                            std::FILE* out) {
  std::fprintf(out, "%s\n", run.HeaderLine.c_str());
  std::string time = TimeText();
  std::string system = SystemText(time, run.ProfileName.view(), profile.ReportHost.view(),
                                  profile.Destination.view(), profile.Sysnr.view(),
                                  profile.Client.view());
  PrintReportLine(system + " State=Processing", out);
  PrintReportLine(SingleExecutingText(time, ReportedParameters(run.ParameterText.view())), out);
}

void WriteLog(const RunTexts& run, RunState& state, std::string_view event,
              std::string_view detail) {
  WriteRunLog(state.rfc.log, run.paths, run.ParameterKeys.view(),
              static_cast<std::int32_t>(state.rfc.RfcHandle), event, detail);
}

// One listed system, from its open profile to its count.
Outcome MeasureListedSystem(const RunTexts& run, RunState& state, const std::string& name,
                            FilePtr profile, std::FILE* out) {
  state.progress.Set(name, "profile");
  ConnectionParameters& connection = state.connection;
  connection.ProfileState = kProfileUsable;
  // A logon belongs to its own system: without a user or a password of its
  // own a profile is unusable, never logged on with the previous system's.
  connection.User.Clear();
  connection.Password.Clear();
  (void)ReadSystemProfile(std::move(profile), ProfileReader::kListed, name, state.key,
                          connection);
  // A listed system counts as found once its profile file was opened.
  state.allocation.AllocationFound = true;
  std::string system = SystemText(TimeText(), name, connection.ReportHost.view(),
                                  connection.Destination.view(), connection.Sysnr.view(),
                                  connection.Client.view());

  Outcome installed = InstallEnvironment(run, state, out);
  if (installed.ended()) return installed;
  state.output.OutputBuffer.Clear();
  state.status = RunStatus::kErr;
  // An unusable profile is not logged on to: its values may be half its own
  // and half the previous system's.
  if (connection.ProfileState == kProfileUsable) {
    state.rfc.RfcHandle = OpenConnection(run, state, out);
  }
  if (state.rfc.RfcHandle == 0) {
    connection.ProfileState = kProfileUnusable;
  } else {
    Outcome checked = CheckSystem(run, state, out);
    if (checked.ended()) return checked;
    MeasureSizes(run, state);
  }
  CloseConnection(state);

  bool usable = connection.ProfileState == kProfileUsable;
  bool measured = state.status == RunStatus::kOk;
  bool found = state.allocation.AllocationFound;
  if (usable && measured && found) {
    ++state.counters.processed;
  } else {
    ++state.counters.failed;
  }
  std::string_view state_text = !usable || !measured ? "Rfc Failure"
                                : !found             ? "Not Found"
                                                     : "Processed";
  if (run.ConsoleReport) PrintSystemState(system, state_text, out);
  return Outcome::GoOn();
}

void WriteSummary(const RunTexts& run, RunState& state) {
  Output& output = state.output;
  // A failed sizing of the last system leaves its message in front of the
  // summary; in the XML family it stands inside the document, so it is
  // escaped like every other text there.
  if (IsXmlFamily(output.mode)) output.OutputBuffer.AssignCut(EscapeXml(output.OutputBuffer.view()));
  OpenMessageText(output);
  AppendMessageText(output, "(***) " + run.ItemId.str() +
                                ": NoSystems=" + std::to_string(state.counters.systems) +
                                ", Processed=" + std::to_string(state.counters.processed) +
                                ", Failed=" + std::to_string(state.counters.failed));
  CloseMessageText(output, run.ParameterKeys.view());
  CloseDocument(output);
}

// The run's texts once the listing is read: in a global run the allocation
// line's parameters and item replace those of the command line.
RunTexts ListingRunTexts(const RunTexts& command_line, const ListingTexts& listing) {
  RunTexts run = command_line;
  run.ParameterText = listing.ParameterText;
  run.ParameterKeys = listing.ParameterKeys;
  run.ItemId = listing.ItemId;
  return run;
}

Outcome MeasureListing(const RunTexts& run, RunState& state, std::FILE* out) {
  PrintStartReport(run, state.output, out);
  ListingField& listing = state.allocation.ServerListing;
  while (!listing.empty()) {
    state.allocation.AllocationFound = false;
    ++state.counters.systems;
    std::string name = TakeListingEntry(listing);
    FilePtr profile = OpenForReading(run.paths, run.ProfileDir.str() + name);
    if (!profile) continue;
    Outcome measured = MeasureListedSystem(run, state, name, std::move(profile), out);
    if (measured.ended()) return measured;
  }

  WriteSummary(run, state);
  PrintOutputBuffer(state.output, out, "\n");
  if (run.ConsoleReport) PrintReportLine(ClosingText(TimeText()), out);
  return Outcome::End(0);
}

}  // namespace

ConnectionContext ConnectionContextOf(const RunTexts& run, std::FILE* out) {
  return ConnectionContext{run.paths, run.ParameterText.view(), run.ParameterKeys.view(), out,
                           run.ConsoleReport};
}

std::string ReportedParameters(std::string_view parameter_text) {
  std::string text(CutBefore(CutBefore(parameter_text, "#"), "@"));
  if (text == "(Parameters " || text == "(No ") text.clear();
  return text.empty() ? "(No Parameters)" : text;
}

Outcome RunSingleSystem(const RunTexts& run, RunState& state, FilePtr profile_file,
                        std::FILE* out) {
  std::optional<std::string> fault =
      ReadSystemProfile(std::move(profile_file), ProfileReader::kStrict, run.ProfileName.view(),
                        state.key, state.connection);
  if (fault) return ErrorExit(state.output, out, *fault);
  state.progress.SetSubject(state.connection.Destination.view());
  WriteLog(run, state, "program started", run.program_path);
  Outcome installed = InstallEnvironment(run, state, out);
  if (installed.ended()) return installed;
  WriteLog(run, state, "RfcEnvironment called", "");
  state.output.OutputBuffer.Clear();
  state.status = RunStatus::kErr;
  if (run.ConsoleReport) PrintSingleReportLines(run, state.connection, out);

  std::string refusal;
  state.rfc.RfcHandle = OpenConnection(run, state, out, &refusal);
  if (state.rfc.RfcHandle == 0) {
    if (refusal.empty()) {
      refusal = "Error 1011: RFC-Open for " + state.connection.Destination.str() + " failed !";
    }
    return EndWithMessage(state, refusal, out);
  }
  Outcome checked = CheckSystem(run, state, out);
  if (checked.ended()) return checked;
  MeasureSizes(run, state);
  CloseConnection(state);
  if (state.status != RunStatus::kOk) return FailureEnding(run, state, out);

  PrintOutputBuffer(state.output, out);
  RemoveRegularFile(run.paths, kTraceFile);
  if (run.ConsoleReport) PrintReportLine(ClosingText(TimeText()), out);
  return Outcome::End(0);
}

Outcome RunMultiSystem(const RunTexts& command_line, RunState& state, FilePtr listing_file,
                       std::FILE* out) {
  listing_file.reset();
  ListingSource source{command_line.paths,
                       command_line.ProfilePath,
                       command_line.ProfileName.view(),
                       command_line.ParameterText.view(),
                       command_line.ParameterKeys.view(),
                       command_line.ItemId.view(),
                       command_line.second_argument};
  ListingTexts listing = ReadServerListing(source, state.allocation);
  if (listing.fault) return ErrorExit(state.output, out, *listing.fault);
  return MeasureListing(ListingRunTexts(command_line, listing), state, out);
}
