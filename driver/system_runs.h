// The two kinds of run: one system measured and its document printed, or a
// listing of systems measured one after another and a summary printed.
//
// Every system goes through the same sequence on one connection: the RFC
// environment installed, the connection opened, GET_CPU_ALL, then
// RFC_SYSTEM_INFO with the check that the database is DB4, then the sizing,
// and the connection closed.
#ifndef KESTRELON_DRIVER_SYSTEM_RUNS_H_
#define KESTRELON_DRIVER_SYSTEM_RUNS_H_

#include <cstdio>

#include "base/host_files.h"
#include "base/outcome.h"
#include "base/progress.h"
#include "collect/function_call.h"
#include "collect/system_info.h"
#include "driver/run_texts.h"
#include "output/output_document.h"
#include "profile/password.h"
#include "profile/server_listing.h"
#include "profile/system_profile.h"
#include "rfc/rfc_connection.h"
#include "rfc/rfc_failure.h"

/// The counters of a multi-system run.
struct ListingCounters {
  unsigned systems = 0;
  unsigned processed = 0;
  unsigned failed = 0;
};

/// Everything a run works on besides the command-line texts.
struct RunState {
  Output output;
  ConnectionParameters connection;
  SensorAllocation allocation;
  ListingCounters counters;
  PasswordKey key;
  RfcSession rfc;
  /// How a failure of the library is reported; set when the library's
  /// environment is installed.
  FailureReport failure;
  StructureHandles structures;
  RunStatus status = RunStatus::kErr;
  DatabaseSystemText database_system;
  /// The system and the step the run works on, for the watchdog.
  Progress progress;
  /// Whether the run or the watchdog prints the last words.
  FinalWords final_words;
};

/// The message area: error messages composed by the driver, and the buffer's
/// text copied out of it, hold 127 characters; a longer text is cut.
using MessageArea = FixedText<128>;

/// What the connection takes from the run: the keyword values come from
/// the parameters as they stand in `run`, never from a text cut for the
/// console.
ConnectionContext ConnectionContextOf(const RunTexts& run, std::FILE* out);

/// The parameters as the executing line of a single-system run shows them:
/// cut at the first "#", then at the first "@"; the two default texts of a
/// sensor's parameter field ("(Parameters " and "(No ") count as empty, and
/// an empty text shows as "(No Parameters)".
std::string ReportedParameters(std::string_view parameter_text);

/// Reads the located profile strictly and measures the system.
Outcome RunSingleSystem(const RunTexts& run, RunState& state, FilePtr profile_file,
                        std::FILE* out);

/// Reads the listing, prints the start report, measures every listed system
/// and prints the summary. A global run works with the allocation line's
/// parameters and item in place of those of `command_line`.
Outcome RunMultiSystem(const RunTexts& command_line, RunState& state, FilePtr listing_file,
                       std::FILE* out);

#endif  // KESTRELON_DRIVER_SYSTEM_RUNS_H_
