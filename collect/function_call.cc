#include "collect/function_call.h"

#include <cstring>
#include <string>

#include "rfc/rfc_failure.h"
#include "rfc/run_log.h"

namespace {

void LogCall(CallContext& call, std::string_view event) {
  WriteRunLog(call.session.log, call.paths, call.parameter_keys,
              static_cast<std::int32_t>(call.session.RfcHandle), event, "");
}

}  // namespace

int CallFunctionModule(CallContext& call, const char* function, RfcParameter* exporting,
                       RfcParameter* importing, RfcTable* tables, ExceptionName& exception) {
  const RfcLibrary& rfc = call.session.library;
  RfcConnectionHandle handle = call.session.RfcHandle;
  call.progress.SetStep(function);
  int code = rfc.RfcCall(handle, function, exporting, tables);
  LogCall(call, "RfcCall called");
  if (code != 0) return code;
  char* raised = nullptr;
  code = rfc.RfcReceive(handle, importing, tables, &raised);
  LogCall(call, "RfcReceive called");
  if ((code == 2 || code == 3) && raised != nullptr) exception.AssignCut(raised);
  return code;
}

void ApplyOutcomeRule(int code, const ExceptionName& exception, RunStatus& status,
                      Output& output) {
  switch (code) {
    case 0:
      status = RunStatus::kOk;
      return;
    case 1:
      return output.OutputBuffer.AppendCut("Error 1014: RFC-Failure raised !");
    case 2:
      return output.OutputBuffer.AppendCut("Error 1012: Exception.: " + exception.str());
    case 3:
      return output.OutputBuffer.AppendCut("Error 1013: Sys-Exception raised !");
    default:
      return output.OutputBuffer.AppendCut("Error 1015: Other Failure raised !");
  }
}

void InstallStructure(CallContext& call, const char* name, const RfcTypeElement* rows,
                      std::uint32_t row_count, RfcTypeHandle& handle) {
  if (handle != 0) return;
  const RfcLibrary& rfc = call.session.library;
  RfcTypeHandle installed = 0;
  if (rfc.RfcInstallStructure(name, rows, row_count, &installed) != 0) {
    ReportRfcFailure(call.failure, "RfcInstallStructure");
  }
  handle = installed;
}

RfcTableHandle CreateTable(CallContext& call, const char* name, std::uint32_t line_length) {
  const RfcLibrary& rfc = call.session.library;
  RfcTableHandle table = rfc.ItCreate(name, line_length, 0, 0);
  if (table == nullptr) ReportRfcFailure(call.failure, "ItCreate " + std::string(name));
  return table;
}

void DeleteTable(CallContext& call, const char* name, RfcTableHandle table) {
  const RfcLibrary& rfc = call.session.library;
  if (rfc.ItDelete(table) != 0) ReportRfcFailure(call.failure, "ItDelete " + std::string(name));
}

std::string_view RecordField(const unsigned char* record, std::size_t offset,
                             std::size_t length) {
  const char* field = reinterpret_cast<const char*>(record) + offset;
  std::size_t size = 0;
  while (size < length && field[size] != '\0') ++size;
  return {field, size};
}

RfcParameter Parameter(const char* name, std::uint32_t type, std::uint32_t length,
                       void* address) {
  return {name, static_cast<std::uint32_t>(std::strlen(name)), type, length, address};
}

RfcTable Table(const char* name, RfcTypeHandle row_type, RfcTableHandle table) {
  return {name, static_cast<std::uint32_t>(std::strlen(name)), row_type, 0, table, 0, 0};
}
