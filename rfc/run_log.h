// The run log: one line per RFC event, "%d %s %s" (code, event, detail),
// written only when the parameters contain ",SYSLOG".
//
// The log is the file "Kestrelon.Log" in the working directory, opened for
// appending when the first line is to be written; when it cannot be opened
// the run goes on without it. No password ever reaches it.
#ifndef KESTRELON_RFC_RUN_LOG_H_
#define KESTRELON_RFC_RUN_LOG_H_

#include <cstdint>
#include <string_view>

#include "base/host_files.h"

inline constexpr std::string_view kRunLogFile = "Kestrelon.Log";

struct RunLog {
  FilePtr RunLogStream;
  bool open_failed = false;
};

/// Writes one line when `parameter_keys` contains ",SYSLOG"; flushes it.
void WriteRunLog(RunLog& log, const PathMap& paths, std::string_view parameter_keys,
                 std::int32_t code, std::string_view event, std::string_view detail);

#endif  // KESTRELON_RFC_RUN_LOG_H_
