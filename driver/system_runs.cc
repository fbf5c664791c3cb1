#include "driver/system_runs.h"

#include <string>

#include "driver/start_up.h"

namespace {

// The RFC layer is not part of this build yet: every run that needs a
// connection ends here, with the message a machine without the library gets.
std::string RfcLibraryUnavailable(const RunTexts& run) {
#ifdef _WIN32
  const std::string default_library = "librfc32.dll";
#else
  const std::string default_library = "librfccm.so";
#endif
  const std::string& library = run.rfc_library.empty() ? default_library : run.rfc_library;
  return "Error 1110: RFC-Library " + library + " is not available...";
}

void WriteSummary(const RunTexts& run, RunState& state) {
  Output& output = state.output;
  OpenMessageText(output);
  std::string summary = "(***) " + run.ItemId.str() +
                        ": NoSystems=" + std::to_string(state.counters.systems) +
                        ", Processed=" + std::to_string(state.counters.processed) +
                        ", Failed=" + std::to_string(state.counters.failed);
  AppendMessageText(output, summary);
  CloseMessageText(output, run.ParameterKeys.view());
  CloseDocument(output);
}

}  // namespace

Outcome RunSingleSystem(RunTexts& run, RunState& state, FilePtr profile_file, std::FILE* out) {
  std::optional<std::string> fault =
      ReadSystemProfile(std::move(profile_file), ProfileReader::kStrict, run.ProfileName.view(),
                        state.key, state.connection);
  if (fault) return ErrorExit(state.output, out, *fault);
  return ErrorExit(state.output, out, RfcLibraryUnavailable(run));
}

Outcome RunMultiSystem(RunTexts& run, RunState& state, FilePtr listing_file, std::FILE* out) {
  listing_file.reset();
  std::optional<std::string> fault = ReadServerListing(run, state.allocation);
  if (fault) return ErrorExit(state.output, out, *fault);
  PrintStartReport(run, state.output, out);

  ListingField& listing = state.allocation.ServerListing;
  while (!listing.empty()) {
    ++state.counters.systems;
    std::string name = TakeListingEntry(listing);
    FilePtr profile = OpenForReading(run.paths, run.ProfileDir.str() + name);
    if (!profile) continue;
    state.connection.ProfileState = kProfileUsable;
    (void)ReadSystemProfile(std::move(profile), ProfileReader::kListed, name, state.key,
                            state.connection);
    return ErrorExit(state.output, out, RfcLibraryUnavailable(run));
  }

  WriteSummary(run, state);
  std::fprintf(out, "%s\n", state.output.OutputBuffer.c_str());
  if (run.ConsoleReport) {
    std::fprintf(out, "%s\n", ClosingText(TimeText()).c_str());
  }
  return Outcome::End(0);
}
