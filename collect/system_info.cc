#include "collect/system_info.h"

#include <string_view>

#include "collect/structures.h"

namespace {

constexpr std::size_t kRfcHostOffset = 45;
constexpr std::size_t kRfcHostLength = 8;
constexpr std::size_t kRfcDbSysOffset = 101;
constexpr std::size_t kRfcDbSysLength = 10;

}  // namespace

int FetchSystemInfo(CallContext& call, std::int32_t& current_resources,
                    char (&dialog_user_type)[1], std::int32_t& maximal_resources,
                    std::int32_t& recommended_delay, unsigned char (&rfcsi)[200],
                    char (&rfc_login_complete)[1], ExceptionName& exception) {
  InstallStructure(call, "RFCSI", kRfcsiRows.data(), kRfcsiRows.size(), call.structures.RFCSI);
  RfcParameter exporting[] = {RfcParameter{}};
  RfcParameter importing[] = {
      Parameter("CURRENT_RESOURCES", kRfcTypeInt, 4, &current_resources),
      Parameter("DIALOG_USER_TYPE", kRfcTypeChar, 1, dialog_user_type),
      Parameter("MAXIMAL_RESOURCES", kRfcTypeInt, 4, &maximal_resources),
      Parameter("RECOMMENDED_DELAY", kRfcTypeInt, 4, &recommended_delay),
      Parameter("RFCSI_EXPORT", call.structures.RFCSI, kRfcsiLength, rfcsi),
      Parameter("RFC_LOGIN_COMPLETE", kRfcTypeChar, 1, rfc_login_complete),
      RfcParameter{},
  };
  RfcTable tables[] = {RfcTable{}};
  return CallFunctionModule(call, "RFC_SYSTEM_INFO", exporting, importing, tables, exception);
}

int ReadSystemInfo(CallContext& call, RunStatus& status, Output& output,
                   ConnectionParameters& profile, DatabaseSystemText& database_system) {
  std::int32_t current_resources = 0, maximal_resources = 0, recommended_delay = 0;
  char dialog_user_type[1] = {' '};
  char rfc_login_complete[1] = {' '};
  unsigned char rfcsi[kRfcsiLength] = {};
  ExceptionName exception;
  int code = FetchSystemInfo(call, current_resources, dialog_user_type, maximal_resources,
                             recommended_delay, rfcsi, rfc_login_complete, exception);
  ApplyOutcomeRule(code, exception, status, output);
  if (code == 0) {
    profile.ReportHost.AssignCut(RecordField(rfcsi, kRfcHostOffset, kRfcHostLength));
    database_system.AssignCut(RecordField(rfcsi, kRfcDbSysOffset, kRfcDbSysLength));
  }
  return code;
}

bool IsDb4Database(const DatabaseSystemText& database_system) {
  return database_system.view().starts_with("DB4");
}
