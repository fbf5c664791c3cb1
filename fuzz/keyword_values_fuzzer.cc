// Fuzzes the keyword values as the run reads them after start-up: the input,
// split at zero bytes into at most five arguments after the program name, is
// read by StartUp; then, as the run does, the report lines are built, the
// connection is opened (against a stand-in RfcOpen that records what it is
// given) and the four channels are written in the Corvane and EXEXML modes,
// all from the run's texts. Console keywords, overrides and selectors in any
// order are the point: the values of ",HOST=", ",NO=" and "CH=" must come
// from the parameters as typed, whatever the console lines show.
#include <string>
#include <vector>

#include "base/text.h"
#include "driver/start_up.h"
#include "driver/system_runs.h"
#include "fuzz/fuzz_support.h"
#include "output/channel_writer.h"
#include "output/console_report.h"

namespace {

// What the stand-in RfcOpen was handed.
struct SeenOpen {
  bool called = false;
  std::string host;
  std::int32_t system_number = -1;
};
SeenOpen g_seen;

RfcConnectionHandle RFC_CALL RecordingOpen(RfcOpenOptions* options) {
  g_seen.called = true;
  if (options->mode == 0) {
    const auto* server = static_cast<const RfcServerOptions*>(options->connection);
    g_seen.host = server->host != nullptr ? server->host : "";
    g_seen.system_number = server->system_number;
  }
  return 1;
}

// The value behind `key` in the keys, as the keys have it (upper case).
std::string KeyValue(std::string_view keys, std::string_view key) {
  std::string_view rest = keys.substr(keys.find(key) + key.size());
  return std::string(rest.substr(0, rest.find_first_of(", ")));
}

void OpenAsTheRunDoes(const RunTexts& run) {
  RunState state;
  state.rfc.library.RfcOpen = RecordingOpen;
  state.rfc.log.open_failed = true;  // no run log file from the fuzzer
  ConnectionParameters& profile = state.connection;
  Require(profile.Destination.Assign("FZZ") && profile.Client.Assign("100") &&
          profile.User.Assign("MONITOR") && profile.Password.Assign("secret") &&
          profile.Language.Assign("E") && profile.Mode.Assign("R/3") &&
          profile.Hostname.Assign("sapprd") && profile.Sysnr.Assign("00"));
  g_seen = SeenOpen{};
  RfcConnectionHandle handle =
      OpenRfcConnection(state.rfc, profile, ConnectionContextOf(run, NullStream()));
  std::string_view keys = run.ParameterKeys.view();
  if (!g_seen.called) {
    // Only an override too long for its option text keeps the open back.
    Require(handle == 0 && (Contains(keys, ",HOST=") || Contains(keys, ",NO=")));
    return;
  }
  Require(handle == 1);
  if (Contains(keys, ",HOST=")) {
    RequireOf(UpperCase(g_seen.host) == KeyValue(keys, ",HOST="),
              "the host override comes from the parameters as typed", g_seen.host);
  } else {
    Require(g_seen.host == "sapprd");
  }
  if (Contains(keys, ",NO=")) {
    std::string number = KeyValue(keys, ",NO=");
    if (!number.empty()) Require(g_seen.system_number == SystemNumber(number));
  }
}

void WriteChannelsAsTheRunDoes(const RunTexts& run, OutputMode mode) {
  Output output;
  output.mode = mode;
  OpenDocument(output);
  OpenMessageText(output);
  CloseMessageText(output, run.ParameterKeys.view());
  for (const char* name : {"DB-Table Sizes", "Prim.Key Sizes", "Index Sizes", "DBase Size"}) {
    WriteChannel(output, run.ParameterText.view(), run.ParameterKeys.view(), name, "1234",
                 "MByte");
  }
  CloseDocument(output);
  if (mode == OutputMode::kCorvane && Contains(run.ParameterKeys.view(), "CH=")) {
    long selected = SelectedChannel(run.ParameterText.view(), run.ParameterKeys.view());
    Require(output.OutputBuffer == (selected >= 1 && selected <= 4 ? "1234\n" : "\n"));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CommandLine line = CommandLineOf(AsText(data, size));
  RunTexts run;
  Output output;
  if (StartUp(line.argc(), line.argv.data(), run, output, NullStream()).ended()) {
    return 0;
  }
  const RunTexts& texts = run;
  Require(texts.ParameterKeys == UpperCase(texts.ParameterText.view()));
  // The report lines: a text of their own, the run's texts untouched.
  const ParameterField before = texts.ParameterText;
  PrintReportLine(SingleExecutingText("00:00:00", ReportedParameters(texts.ParameterText.view())),
                  NullStream());
  if (texts.MultiSystemRun) PrintStartReport(texts, output, NullStream());
  Require(texts.ParameterText == before.view());

  OpenAsTheRunDoes(texts);
  WriteChannelsAsTheRunDoes(texts, OutputMode::kCorvane);
  WriteChannelsAsTheRunDoes(texts, OutputMode::kExeXml);
  return 0;
}
