// Turning RFC trouble into text.
//
// ReportRfcFailure is the error handler the program installs in the RFC
// library, and what the data collection calls itself when a local service of
// the library (a structure, an internal table) fails: it prints the library's
// last error and ends the process with exit code 1. For a person at the
// console, and in the modes outside the XML family, it prints labelled lines;
// for PRTG it prints one error document (inside the document a multi-system
// run has opened) whose text carries the same facts. ScanTraceFile runs after a
// function module failed in an orderly way: it adds the last error of the
// library's trace file "Dev_Rfc.Trc", or a hint to look at it, to the message.
#ifndef KESTRELON_RFC_RFC_FAILURE_H_
#define KESTRELON_RFC_RFC_FAILURE_H_

#include <cstdio>
#include <string_view>

#include "base/host_files.h"
#include "output/output_document.h"
#include "rfc/rfc_library.h"

inline constexpr std::string_view kTraceFile = "Dev_Rfc.Trc";

/// Where and in which form a library failure is reported.
struct FailureReport {
  const RfcLibrary* library = nullptr;
  /// The document form is built in its buffer; it also tells whether the
  /// opening of a multi-system run has been printed.
  Output* output = nullptr;
  std::FILE* out = nullptr;
  /// The labelled report lines rather than one error document: with console
  /// report lines, and in the modes outside the XML family.
  bool plain_lines = true;
};

/// The form of the report for a run: plain lines with console report lines
/// or outside the XML family, else one error document.
FailureReport FailureReportFor(const RfcLibrary& library, Output& output, std::FILE* out,
                               bool console_report);

/// The text of the error document: "RFC error", then the operation and the
/// four texts of the library's last error, each behind its label, on one
/// line ("RFC error - operation/code: ... - key: ... - status: ... -
/// message: ... - internal status: ...").
std::string RfcFailureText(std::string_view operation, const RfcErrorInfo& error);

/// Reports the library's last error for `operation` (lines: "RFC error",
/// five labelled lines, an empty line and the abort lines; or the error
/// document of RfcFailureText), closes connection 0 and ends the process
/// with exit code 1. Never returns.
[[noreturn]] void ReportRfcFailure(const FailureReport& report, std::string_view operation);

/// Installs ReportRfcFailure as the library's error handler (no allocator).
/// The handler reaches the report through the one process-wide copy that a C
/// callback without a context argument requires; what it points to must
/// remain live until the process ends.
void InstallRfcEnvironment(const FailureReport& report);

/// Appends " - " and the last error text of the trace file, " - Please Check
/// Trace-File !" when it holds none, or " - Look for Trace-File" when there
/// is no trace file, to the buffer's text.
void ScanTraceFile(Output& output, const PathMap& paths);

#endif  // KESTRELON_RFC_RFC_FAILURE_H_
