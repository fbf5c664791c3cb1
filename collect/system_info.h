// System information: RFC_SYSTEM_INFO names the application server's host
// and the database system, which must be DB4 before the sizes are asked for.
#ifndef KESTRELON_COLLECT_SYSTEM_INFO_H_
#define KESTRELON_COLLECT_SYSTEM_INFO_H_

#include <cstdint>

#include "collect/function_call.h"
#include "profile/system_profile.h"

/// The database system as the system names it: 10 characters.
using DatabaseSystemText = FixedText<11>;

/// Calls RFC_SYSTEM_INFO into the given places; returns the RFC code.
int FetchSystemInfo(CallContext& call, std::int32_t& current_resources,
                    char (&dialog_user_type)[1], std::int32_t& maximal_resources,
                    std::int32_t& recommended_delay, unsigned char (&rfcsi)[200],
                    char (&rfc_login_complete)[1], ExceptionName& exception);

/// Calls RFC_SYSTEM_INFO and judges it. On success the system's host
/// replaces `profile.ReportHost` and `database_system` is set.
int ReadSystemInfo(CallContext& call, RunStatus& status, Output& output,
                   ConnectionParameters& profile, DatabaseSystemText& database_system);

/// True when the database system begins with "DB4" (letter case counts).
bool IsDb4Database(const DatabaseSystemText& database_system);

#endif  // KESTRELON_COLLECT_SYSTEM_INFO_H_
