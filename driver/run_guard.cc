#include "driver/run_guard.h"

#include <exception>
#include <string>
#include <string_view>

#include "driver/start_up.h"
#include "driver/system_runs.h"

namespace {

// The ending after an exception whose text is `what`.
Outcome EndAfterException(Output& output, std::FILE* out, std::string_view what) {
  if (output.printed == Printed::kWhole) return Outcome::End(2);
  MessageArea message;
  message.AssignCut("Error 1130: Internal failure: " + std::string(what) + "...");
  return ErrorExit(output, out, message.view());
}

}  // namespace

Outcome RunGuarded(const std::function<Outcome()>& run, Output& output, std::FILE* out) {
  try {
    return run();
  } catch (const std::exception& exception) {
    return EndAfterException(output, out, exception.what());
  } catch (...) {
    return EndAfterException(output, out, "unknown exception");
  }
}
