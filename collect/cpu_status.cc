#include "collect/cpu_status.h"

#include <cstring>

#include "collect/structures.h"
#include "rfc/rfc_failure.h"

int FetchCpuAll(CallContext& call, char (&local_remote)[6], char (&logical_destination)[32],
                CpuAllValues& values, RfcTableHandle cpu_table, ExceptionName& exception) {
  InstallStructure(call, "CPU_ALL", kCpuAllRows.data(), kCpuAllRows.size(),
                   call.structures.CPU_ALL);
  RfcParameter exporting[] = {
      Parameter("LOCAL_REMOTE", kRfcTypeChar, 6, local_remote),
      Parameter("LOGICAL_DESTINATION", kRfcTypeChar, 32, logical_destination),
      RfcParameter{},
  };
  RfcParameter importing[] = {
      Parameter("ACTIVEFLAG", kRfcTypeInt, 4, &values.ACTIVEFLAG),
      Parameter("DETAILSCOLL", kRfcTypeInt, 4, &values.DETAILSCOLL),
      Parameter("DETAILSMODE", kRfcTypeInt, 4, &values.DETAILSMODE),
      Parameter("DETAILSREQI", kRfcTypeInt, 4, &values.DETAILSREQI),
      Parameter("F_CPU_ALL_READ", kRfcTypeChar, 3, values.F_CPU_ALL_READ),
      Parameter("INTERVAL", kRfcTypeInt, 4, &values.INTERVAL),
      Parameter("LASTCOLLINT", kRfcTypeInt, 4, &values.LASTCOLLINT),
      Parameter("LASTCOLLWRT", kRfcTypeChar, 25, values.LASTCOLLWRT),
      Parameter("NORMCOLLINT", kRfcTypeInt, 4, &values.NORMCOLLINT),
      Parameter("OP_SYSTEM", kRfcTypeChar, 52, values.OP_SYSTEM),
      RfcParameter{},
  };
  RfcTable tables[] = {Table("TF_CPU_ALL", call.structures.CPU_ALL, cpu_table), RfcTable{}};
  return CallFunctionModule(call, "GET_CPU_ALL", exporting, importing, tables, exception);
}

int ReadCpuStatus(CallContext& call, RunStatus& status, Output& output) {
  RfcTableHandle cpu_table = CreateTable(call, "TF_CPU_ALL", kCpuAllLineLength);
  char local_remote[6];
  std::memcpy(local_remote, "LOCAL ", sizeof local_remote);
  char logical_destination[32];
  std::memset(logical_destination, ' ', sizeof logical_destination);
  CpuAllValues values;
  ExceptionName exception;
  int code = FetchCpuAll(call, local_remote, logical_destination, values, cpu_table, exception);
  ApplyOutcomeRule(code, exception, status, output);
  if (code == 0) {
    // The rows are not evaluated, but each one is read; the count is asked
    // again before every row.
    const RfcLibrary& rfc = call.session.library;
    for (std::uint32_t row = 1; row <= rfc.ItFill(cpu_table); ++row) {
      if (rfc.ItGetLine(cpu_table, row) == nullptr) {
        ReportRfcFailure(call.failure, "ItGetLine TF_CPU_ALL");
      }
    }
  }
  DeleteTable(call, "TF_CPU_ALL", cpu_table);
  return code;
}
