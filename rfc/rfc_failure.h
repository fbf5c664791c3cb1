// Turning RFC trouble into text.
//
// ReportRfcFailure is the error handler the program installs in the RFC
// library, and what the data collection calls itself when a local service of
// the library (a structure, an internal table) fails: it prints the library's
// last error and ends the process with exit code 1. ScanTraceFile runs after a
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

/// Prints "RFC error", the library's last error in five labelled lines and
/// the abort lines on `out`, closes connection 0 and ends the process with
/// exit code 1. Never returns.
[[noreturn]] void ReportRfcFailure(const RfcLibrary& library, std::FILE* out,
                                   std::string_view operation);

/// Installs ReportRfcFailure as the library's error handler (no allocator).
/// The handler reaches `library` and `out` through the one process-wide
/// pointer pair that a C callback without a context argument requires; both
/// must remain live until the process ends.
void InstallRfcEnvironment(const RfcLibrary& library, std::FILE* out);

/// Appends " - " and the last error text of the trace file, " - Please Check
/// Trace-File !" when it holds none, or " - Look for Trace-File" when there
/// is no trace file, to the buffer's text.
void ScanTraceFile(Output& output, const PathMap& paths);

#endif  // KESTRELON_RFC_RFC_FAILURE_H_
