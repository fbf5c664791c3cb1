#include "rfcsim/trace_file.h"

#include <ctime>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <string>

#include "rfcsim/journal.h"

namespace rfcsim {
namespace {

// The local date and time as "YYYYMMDD HHMMSS".
std::string Timestamp() {
  std::time_t now = std::time(nullptr);
  const std::tm* local = std::localtime(&now);
  if (!local) return "00000000 000000";
  std::ostringstream text;
  text << std::put_time(local, "%Y%m%d %H%M%S");
  return text.str();
}

// "T:" and four digits of the connection: the first 6 columns of the line
// whose columns 8 to 15 hold "======> ".
std::string ThreadColumn(RfcConnectionHandle connection) {
  std::string digits = std::to_string(connection % 10000);
  return "T:" + std::string(4 - digits.size(), '0') + digits;
}

}  // namespace

void AppendTrace(const SystemConfig* system, RfcConnectionHandle connection,
                 const LastError& error) {
  if (!MayAppendTo(kTraceFile)) return;
  std::ofstream trace(kTraceFile, std::ios::app);
  if (!system || system->trace_block) {
    trace << "**** ERROR file opened at " << Timestamp() << ", rfcsim connection " << connection
          << '\n'
          << "ERROR       " << error.message << '\n'
          << "LOCATION    "
          << (system ? "rfcsim system " + system->sid : std::string("rfcsim, no system")) << '\n'
          << "COMPONENT   " << error.status << '\n'
          << "KEY         " << error.key << '\n'
          << ThreadColumn(connection) << " ======> " << error.message << '\n';
  }
  if (system) {
    for (const std::string& line : system->trace_lines) trace << line << '\n';
  }
  trace.flush();
}

}  // namespace rfcsim
