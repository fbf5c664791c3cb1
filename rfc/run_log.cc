#include "rfc/run_log.h"

#include <string>

#include "base/text.h"

void WriteRunLog(RunLog& log, const PathMap& paths, std::string_view parameter_keys,
                 std::int32_t code, std::string_view event, std::string_view detail) {
  if (!Contains(parameter_keys, ",SYSLOG")) return;
  if (!log.RunLogStream && !log.open_failed) {
    log.RunLogStream = OpenForAppending(paths, kRunLogFile);
    log.open_failed = !log.RunLogStream;
  }
  if (!log.RunLogStream) return;
  std::fprintf(log.RunLogStream.get(), "%d %s %s\n", static_cast<int>(code),
               std::string(event).c_str(), std::string(detail).c_str());
  std::fflush(log.RunLogStream.get());
}
