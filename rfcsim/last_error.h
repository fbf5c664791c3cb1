// The details of the stand-in's last error, which RfcLastError hands out
// and which a failure writes into the trace file.
#ifndef KESTRELON_RFCSIM_LAST_ERROR_H_
#define KESTRELON_RFCSIM_LAST_ERROR_H_

#include <string>

namespace rfcsim {

struct LastError {
  std::string key;              // e.g. "RFC_ERROR_LOGON_FAILURE"
  std::string status;           // the operation, e.g. "RfcCall GET_CPU_ALL"
  std::string message;          // e.g. "Name or password is incorrect (repeat logon)"
  std::string internal_status;  // what in the landscape caused it
};

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_LAST_ERROR_H_
