// The common shape of a remote function call and the rule that classifies
// its outcome.
//
// Each function module is called by a fetch routine (RfcCall, then
// RfcReceive unless the call already failed, with a run-log line after each)
// and judged by an outcome routine: code 0 sets RunStatus to OK; any other
// code appends its numbered message to the output buffer. Failures of the
// library's local services (structures, internal tables) are not judged:
// they go to ReportRfcFailure, which ends the process.
#ifndef KESTRELON_COLLECT_FUNCTION_CALL_H_
#define KESTRELON_COLLECT_FUNCTION_CALL_H_

#include <cstdio>
#include <string_view>

#include "base/fixed_text.h"
#include "base/host_files.h"
#include "base/progress.h"
#include "output/output_document.h"
#include "rfc/rfc_connection.h"
#include "rfc/rfc_failure.h"
#include "rfc/rfc_interface.h"

enum class RunStatus { kErr, kOk };

/// The type handles of the installed structures: 0 until installed, then
/// kept for every later call of the process.
struct StructureHandles {
  RfcTypeHandle RFCSI = 0;
  RfcTypeHandle CPU_ALL = 0;
  RfcTypeHandle DB02INFDB4 = 0;
  RfcTypeHandle MISSOBJ = 0;
};

/// The name of an exception raised by a function module.
using ExceptionName = FixedText<256>;

/// What every call of the data collection works with.
struct CallContext {
  RfcSession& session;  // library, connection handle, run log
  StructureHandles& structures;
  const PathMap& paths;
  std::string_view parameter_keys;  // for ",SYSLOG"
  const FailureReport& failure;     // where a local service's failure goes
  Progress& progress;               // each call names its function module
};

/// Calls `function` with RfcCall and, when that answers 0, RfcReceive, with
/// the function as the run's step; writes the run-log line of each; copies
/// the exception name on codes 2 and 3. Returns the code of the last call
/// made.
int CallFunctionModule(CallContext& call, const char* function, RfcParameter* exporting,
                       RfcParameter* importing, RfcTable* tables, ExceptionName& exception);

/// Code 0: RunStatus OK. Otherwise appends "Error 1014: RFC-Failure raised !"
/// (1), "Error 1012: Exception.: " + the name (2), "Error 1013: Sys-Exception
/// raised !" (3) or "Error 1015: Other Failure raised !" to the buffer.
void ApplyOutcomeRule(int code, const ExceptionName& exception, RunStatus& status,
                      Output& output);

/// Installs a structure unless its handle is already set; a failure goes to
/// ReportRfcFailure with "RfcInstallStructure".
void InstallStructure(CallContext& call, const char* name, const RfcTypeElement* rows,
                      std::uint32_t row_count, RfcTypeHandle& handle);

/// Creates an internal table; a failure goes to ReportRfcFailure with
/// "ItCreate " + the name.
RfcTableHandle CreateTable(CallContext& call, const char* name, std::uint32_t line_length);

/// Deletes an internal table; a failure goes to ReportRfcFailure with
/// "ItDelete " + the name.
void DeleteTable(CallContext& call, const char* name, RfcTableHandle table);

/// A character field of a received record: up to `length` characters or
/// to a zero byte, whichever comes first.
std::string_view RecordField(const unsigned char* record, std::size_t offset,
                             std::size_t length);

/// A parameter description; the name length is the name's.
RfcParameter Parameter(const char* name, std::uint32_t type, std::uint32_t length,
                       void* address);
/// A table description; the name length is the name's.
RfcTable Table(const char* name, RfcTypeHandle row_type, RfcTableHandle table);

#endif  // KESTRELON_COLLECT_FUNCTION_CALL_H_
