// Fuzzes the trace-file scan: the input is "Dev_Rfc.Trc" in the working
// directory; the scan adds its remark to a failure message, which then goes
// into the error document as the run would print it.
#include "fuzz/fuzz_support.h"
#include "rfc/rfc_failure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::string_view kMessage = "Error 1014: RFC-Failure raised !";
  WriteHostFile(ScratchDirectory() / kTraceFile, AsText(data, size));
  Output output;
  output.OutputBuffer.AssignCut(kMessage);
  {
    InScratchDirectory scan_there;
    ScanTraceFile(output, PathMap{});
  }

  // The remark is " - " and at most one piece of the file (99 characters).
  std::string message = output.OutputBuffer.str();
  Require(message.starts_with(std::string(kMessage) + " - "));
  Require(message.size() <= kMessage.size() + 3 + 99);
  WriteErrorDocument(output, message);
  RequireErrorDocument(output.OutputBuffer.view());
  return 0;
}
