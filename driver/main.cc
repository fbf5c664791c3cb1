// Kestrelon: measures the DB4 database of SAP systems for PRTG Network
// Monitor. The whole run in one screen: command line, profile location, then
// the single-system or the multi-system run. Only this function ends the
// process, apart from the RFC library's error handler (the failure report),
// which must end it from inside a library call, and the watchdog of
// --timeout, which ends it from its own thread when the run takes too long.
#ifndef _WIN32
#include <sys/resource.h>
#endif

#include <chrono>
#include <cstdio>
#include <optional>
#include <utility>

#include "driver/profile_location.h"
#include "driver/run_guard.h"
#include "driver/start_up.h"
#include "driver/system_runs.h"
#include "driver/watchdog.h"

namespace {

using Clock = std::chrono::steady_clock;

// A core file of a crashing run would hold the clear password and the key
// for whoever may read the working directory, so the process asks for none.
void RefuseCoreFiles() {
#ifndef _WIN32
  const struct rlimit none = {0, 0};
  setrlimit(RLIMIT_CORE, &none);
#endif
}

Outcome Run(int argc, char** argv, RunState& state, Clock::time_point started) {
  RunTexts run;
  Outcome outcome = StartUp(argc, argv, run, state.output, stdout);
  if (outcome.ended()) return outcome;
  // Watches from here to the end of the run, which is when it goes.
  std::optional<Watchdog> watchdog;
  if (run.timeout_seconds > 0) {
    state.output.final_words = &state.final_words;
    watchdog.emplace(started + std::chrono::seconds(run.timeout_seconds), run.timeout_seconds,
                     state.output, state.progress, state.final_words, stdout);
  }
  state.progress.Set(run.ProfileName.view(), "profile");
  FilePtr profile_file;
  outcome = LocateProfile(run, state.output, stdout, profile_file);
  if (outcome.ended()) return outcome;
  // From here on the run's texts stay as start-up and the location left them.
  const RunTexts& texts = run;
  return texts.MultiSystemRun
             ? RunMultiSystem(texts, state, std::move(profile_file), stdout)
             : RunSingleSystem(texts, state, std::move(profile_file), stdout);
}

}  // namespace

int main(int argc, char** argv) {
  Clock::time_point started = Clock::now();
  RefuseCoreFiles();
  RunState state;
  Outcome outcome = RunGuarded(
      [&] {
        state.key = AssemblePasswordKey();
        return Run(argc, argv, state, started);
      },
      state.output, stdout);
  std::fflush(stdout);
  return outcome.exit_code();
}
