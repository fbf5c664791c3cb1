#include "rfc/rfc_failure.h"

#include <cstdlib>
#include <string>

#include "output/console_report.h"

namespace {

// The trace file is read in pieces of at most 99 characters.
constexpr std::size_t kTracePiece = 99;
constexpr int kLabelWidth = 15;

// The operation as the document shows it: the library names its own, which
// may be of any length.
constexpr std::size_t kMaxOperation = 127;

// What the error handler needs: the library calls it with nothing but the
// operation text.
FailureReport g_failure_report;

// Called from inside the library: nothing may be thrown through its frames.
void RFC_CALL HandleRfcError(const char* operation) {
  try {
    ReportRfcFailure(g_failure_report, operation != nullptr ? operation : "");
  } catch (...) {
    // Even then the report keeps its form, from fixed texts that need no
    // memory: for PRTG one error document (inside an opened one).
    const FailureReport& report = g_failure_report;
    if (report.plain_lines) {
      std::fputs("RFC error\n", report.out);
    } else {
      if (!PrtgOpen(*report.output)) std::fputs("<Prtg>\n", report.out);
      std::fputs("<Error>1</Error>\n<Text>RFC error</Text>\n</Prtg>\n", report.out);
    }
    std::fflush(report.out);
    std::exit(1);
  }
}

// A text of the error record, which the library may have filled to its
// last byte without a terminator.
template <std::size_t N>
std::string_view RecordText(const char (&text)[N]) {
  std::size_t length = 0;
  while (length < N && text[length] != '\0') ++length;
  return {text, length};
}

}  // namespace

FailureReport FailureReportFor(const RfcLibrary& library, Output& output, std::FILE* out,
                               bool console_report) {
  return {&library, &output, out, console_report || !IsXmlFamily(output.mode)};
}

std::string RfcFailureText(std::string_view operation, const RfcErrorInfo& error) {
  std::string text = "RFC error - operation/code: ";
  text.append(operation.substr(0, kMaxOperation));
  text.append(" - key: ").append(RecordText(error.key));
  text.append(" - status: ").append(RecordText(error.status));
  text.append(" - message: ").append(RecordText(error.message));
  return text.append(" - internal status: ").append(RecordText(error.internal_status));
}

void ReportRfcFailure(const FailureReport& report, std::string_view operation) {
  const RfcLibrary& library = *report.library;
  std::FILE* out = report.out;
  // The report is the run's last words, in either form.
  ClaimFinalWords(*report.output);
  if (!report.plain_lines) {
    RfcErrorInfo error{};
    library.RfcLastError(&error);
    WriteErrorDocument(*report.output, RfcFailureText(operation, error));
    library.RfcClose(0);
    PrintOutputBuffer(*report.output, out);
    std::fflush(out);
    std::exit(1);
  }
  std::fputs("RFC error\n", out);
  RfcErrorInfo error{};
  library.RfcLastError(&error);
  PrintLabelledLine("operation/code", 0, kLabelWidth, operation, out);
  PrintLabelledLine("key", 0, kLabelWidth, RecordText(error.key), out);
  PrintLabelledLine("status", 0, kLabelWidth, RecordText(error.status), out);
  PrintLabelledLine("message", 0, kLabelWidth, RecordText(error.message), out);
  PrintLabelledLine("internal status", 0, kLabelWidth, RecordText(error.internal_status), out);
  std::fputs("\n", out);
  library.RfcClose(0);
  std::fputs("* Programm aborted...\n", out);
  // The end-of-output file has no name in this program, so creating it
  // always fails and the report says so.
  std::fputs("* Error at EoXput-File...\n", out);
  std::fflush(out);
  std::exit(1);
}

void InstallRfcEnvironment(const FailureReport& report) {
  g_failure_report = report;
  RfcEnvironmentRecord environment{HandleRfcError, nullptr};
  report.library->RfcEnvironment(&environment);
}

void ScanTraceFile(Output& output, const PathMap& paths) {
  FilePtr trace = OpenForReading(paths, kTraceFile);
  if (!trace) {
    output.OutputBuffer.AppendCut(" - Look for Trace-File");
    return;
  }
  std::string error_text;
  LineReader reader(trace.get());
  std::string line;
  while (reader.ReadPiece(kTracePiece, line)) {
    if (line.starts_with("**** ERROR ")) error_text.clear();
    if (line.starts_with("ERROR ")) error_text = line.size() > 12 ? line.substr(12) : "";
    if (line.size() >= 15 && line.substr(7, 8) == "======> ") error_text = line.substr(15);
  }
  trace.reset();
  output.OutputBuffer.AppendCut(error_text.empty() ? " - Please Check Trace-File !"
                                                   : " - " + error_text);
}
