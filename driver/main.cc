// Kestrelon: measures the DB4 database of SAP systems for PRTG Network
// Monitor. The whole run in one screen: command line, profile location, then
// the single-system or the multi-system run. Only this function ends the
// process, apart from the RFC library's error handler (the failure report),
// which must end it from inside a library call.
#include <cstdio>
#include <utility>

#include "driver/profile_location.h"
#include "driver/run_guard.h"
#include "driver/start_up.h"
#include "driver/system_runs.h"

namespace {

Outcome Run(int argc, char** argv, RunState& state) {
  RunTexts run;
  Outcome outcome = StartUp(argc, argv, run, state.output, stdout);
  FilePtr profile_file;
  if (!outcome.ended()) outcome = LocateProfile(run, state.output, stdout, profile_file);
  if (outcome.ended()) return outcome;
  // From here on the run's texts stay as start-up and the location left them.
  const RunTexts& texts = run;
  return texts.MultiSystemRun
             ? RunMultiSystem(texts, state, std::move(profile_file), stdout)
             : RunSingleSystem(texts, state, std::move(profile_file), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  RunState state;
  Outcome outcome = RunGuarded(
      [&] {
        state.key = AssemblePasswordKey();
        return Run(argc, argv, state);
      },
      state.output, stdout);
  std::fflush(stdout);
  return outcome.exit_code();
}
