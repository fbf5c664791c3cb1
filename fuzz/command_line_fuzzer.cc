// Fuzzes the command line: the input, split at zero bytes into at most five
// arguments after the program name (options included), read by StartUp; a
// multi-system run also prints its start report.
#include <string>
#include <vector>

#include "base/text.h"
#include "driver/start_up.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  CommandLine line = CommandLineOf(AsText(data, size));
  RunTexts run;
  Output output;
  Outcome outcome = StartUp(line.argc(), line.argv.data(), run, output, NullStream());
  if (outcome.ended()) {
    Require(outcome.exit_code() == 0 || outcome.exit_code() == 2);
    if (outcome.exit_code() == 2) RequireErrorDocument(output.OutputBuffer.view());
    return 0;
  }
  // The directory split leaves a backslash in the name only at its start.
  std::size_t backslash = run.ProfileName.view().rfind('\\');
  Require(backslash == std::string_view::npos || (backslash == 0 && run.ProfileDir.empty()));
  Require(run.ProfileDir.empty() || run.ProfileDir.view().back() == '\\');
  Require(run.ParameterKeys == UpperCase(run.ParameterText.view()));
  if (run.MultiSystemRun) {
    Require(run.ProfileName == "SAP Quadrant.Gbl" || run.ProfileName == "Quadrant.Prf");
    run.ConsoleReport = true;
    PrintStartReport(run, output, NullStream());
  }
  return 0;
}
