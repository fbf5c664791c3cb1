// The landscape: the SAP systems the stand-in simulates and how each of
// them behaves, read from the text file "rfcsim.landscape" in the working
// directory. rfcsim/README.md describes the format.
#ifndef KESTRELON_RFCSIM_LANDSCAPE_H_
#define KESTRELON_RFCSIM_LANDSCAPE_H_

#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace rfcsim {

/// The file name of the landscape, in the working directory.
inline constexpr const char* kLandscapeFile = "rfcsim.landscape";

/// How a system answers a call of one function module.
struct CallOutcome {
  enum class Kind {
    kOk,         // success with the configured values
    kFailure,    // the return code `code` (1, 3 or any other but 0 and 2)
    kException,  // code 2, the function module raised `exception`
    kHandler,    // the error handler is called, then code 1
    kMissing,    // the system lacks the function module
  };
  Kind kind = Kind::kOk;
  int code = 0;
  std::string exception;
  bool on_call = false;  // answered by RfcCall; otherwise by RfcReceive
};

/// How a system answers an open with the right logon.
enum class OpenBehaviour { kOk, kUnreachable, kHandler };

struct SystemConfig {
  std::string sid;
  // Selection: host and system number (mode 0), or gateway (mode 1).
  std::string host;
  int sysnr = -1;  // -1: none given
  std::string gateway_host;
  std::string gateway_service;
  // Logon.
  std::string client;
  std::string user;
  std::string password;
  OpenBehaviour open = OpenBehaviour::kOk;
  std::optional<int> delay_ms;  // replaces the landscape's delay
  // The step that never answers: "open", "close" or a function module's
  // name (its RfcCall); empty when every step answers.
  std::string hang;
  int cpu_rows = 1;
  bool trace_block = true;
  std::vector<std::string> trace_lines;
  // Encoded field bytes by SAP field or parameter name.
  std::map<std::string, std::string, std::less<>> values;
  // Outcomes by function module name; a module not named succeeds.
  std::map<std::string, CallOutcome, std::less<>> outcomes;
};

struct Landscape {
  bool journal = false;
  int delay_ms = 0;
  // Names of structures and tables whose local services fail on request.
  std::set<std::string, std::less<>> fail_install;
  std::set<std::string, std::less<>> fail_itcreate;
  std::set<std::string, std::less<>> fail_itgetline;
  std::set<std::string, std::less<>> fail_itdelete;
  std::vector<SystemConfig> systems;
};

/// Parses the text of a landscape file into *landscape. Stops at the first
/// fault: returns false and sets *error to "line N: what".
bool ParseLandscape(std::string_view text, Landscape* landscape, std::string* error);

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_LANDSCAPE_H_
