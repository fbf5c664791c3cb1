// The CPU status call: GET_CPU_ALL is the first function module called on
// every connection; its success is the condition for going on. What it
// returns is received and not evaluated.
#ifndef KESTRELON_COLLECT_CPU_STATUS_H_
#define KESTRELON_COLLECT_CPU_STATUS_H_

#include <cstdint>

#include "collect/function_call.h"

/// The importing values of GET_CPU_ALL, received and not evaluated.
struct CpuAllValues {
  std::int32_t ACTIVEFLAG = 0;
  std::int32_t DETAILSCOLL = 0;
  std::int32_t DETAILSMODE = 0;
  std::int32_t DETAILSREQI = 0;
  char F_CPU_ALL_READ[3] = {};
  std::int32_t INTERVAL = 0;
  std::int32_t LASTCOLLINT = 0;
  char LASTCOLLWRT[25] = {};
  std::int32_t NORMCOLLINT = 0;
  char OP_SYSTEM[52] = {};
};

/// Calls GET_CPU_ALL with the table TF_CPU_ALL; returns the RFC code.
int FetchCpuAll(CallContext& call, char (&local_remote)[6], char (&logical_destination)[32],
                CpuAllValues& values, RfcTableHandle cpu_table, ExceptionName& exception);

/// Creates TF_CPU_ALL, calls GET_CPU_ALL, judges it, reads the rows on
/// success and deletes the table. Returns the RFC code.
int ReadCpuStatus(CallContext& call, RunStatus& status, Output& output);

#endif  // KESTRELON_COLLECT_CPU_STATUS_H_
