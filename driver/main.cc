// Kestrelon: measures the DB4 database of SAP systems for PRTG Network
// Monitor. The whole run in one screen: command line, profile location, then
// the single-system or the multi-system run. Only this function ends the
// process (the RFC library's error handler aside).
#include <cstdio>

#include "driver/profile_location.h"
#include "driver/start_up.h"
#include "driver/system_runs.h"

int main(int argc, char** argv) {
  RunTexts run;
  RunState state;
  state.key = AssemblePasswordKey();
  Outcome outcome = StartUp(argc, argv, run, state.output, stdout);
  FilePtr profile_file;
  if (!outcome.ended()) outcome = LocateProfile(run, state.output, stdout, profile_file);
  if (!outcome.ended()) {
    outcome = run.MultiSystemRun
                  ? RunMultiSystem(run, state, std::move(profile_file), stdout)
                  : RunSingleSystem(run, state, std::move(profile_file), stdout);
  }
  std::fflush(stdout);
  return outcome.exit_code();
}
