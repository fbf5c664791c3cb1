// The simulated landscape behind the twelve library functions. One
// Simulator per process holds the landscape (read at the first call of any
// function), the error handler, the last error, the open connections, the
// type handles and the internal tables, and does what each function does;
// exports.cc forwards the C functions to it.
//
// Every function first checks what it was passed and ends the process on a
// mismatch (checks.h), then journals the call (journal.h), then waits the
// configured delay before it answers.
#ifndef KESTRELON_RFCSIM_SIMULATOR_H_
#define KESTRELON_RFCSIM_SIMULATOR_H_

#include <map>
#include <string>
#include <string_view>

#include "rfc/rfc_interface.h"
#include "rfcsim/dictionary.h"
#include "rfcsim/landscape.h"
#include "rfcsim/last_error.h"
#include "rfcsim/objects.h"

namespace rfcsim {

class Simulator {
 public:
  /// The simulator of the process. The first use reads the landscape; a
  /// landscape file that does not parse ends the process with its fault on
  /// standard error. No landscape file means a landscape without systems.
  static Simulator& Get();

  void Environment(RfcEnvironmentRecord* environment);
  RfcConnectionHandle Open(RfcOpenOptions* options);
  RfcConnectionHandle OpenEx(const char* connect_string, RfcErrorInfoEx* error_info);
  void Close(RfcConnectionHandle connection);
  /// Fills the record and answers 0.
  int GetLastError(RfcErrorInfo* error_info);
  int InstallStructure(const char* name, const RfcTypeElement* elements, uint32_t count,
                       RfcTypeHandle* type_handle);
  int Call(RfcConnectionHandle connection, const char* function, RfcParameter* exporting,
           RfcTable* tables);
  int Receive(RfcConnectionHandle connection, RfcParameter* importing, RfcTable* tables,
              char** exception);
  RfcTableHandle CreateTable(const char* name, uint32_t line_length, uint32_t occupation,
                             uint32_t memory);
  uint32_t TableFill(RfcTableHandle table);
  void* GetLine(RfcTableHandle table, uint32_t line);
  int DeleteTable(RfcTableHandle table);

 private:
  struct Connection {
    const SystemConfig* system;
    std::string pending_function;  // called, not yet received; "" when none
  };

  // The system an open addresses, and how it was addressed.
  struct Target {
    const SystemConfig* system = nullptr;
    std::string partner;    // "host:sapgwNN" or "gwhost:gwservice"
    std::string not_found;  // the internal status when no system was found
  };

  Simulator();

  Target FindByHost(const char* host, int sysnr) const;
  Target FindByGateway(const char* gateway_host, const char* gateway_service) const;
  // Logs on to the target: answers the new handle, or 0 with the error set
  // and traced; *call_handler tells that the error handler is due.
  RfcConnectionHandle Logon(std::string_view operation, const Target& target,
                            std::string_view client, std::string_view user,
                            std::string_view password, bool* call_handler);
  RfcConnectionHandle OpenFromDestinationFile(std::string_view connect_string, bool* call_handler);

  // The connection of a handle; a handle that is not open is a mismatch.
  Connection& OpenConnection(RfcConnectionHandle connection, std::string_view what,
                             const std::string& journal_line);
  // Sets the last error; a remote failure is also written to the trace file.
  void Fail(std::string_view key, std::string_view status, std::string message,
            std::string internal_status);
  void FailRemote(const SystemConfig* system, RfcConnectionHandle connection, std::string_view key,
                  std::string_view status, std::string message, std::string internal_status);
  // Answers the code of a failed call outcome, with the error set and traced.
  int FailCall(const CallOutcome& outcome, std::string_view operation, const std::string& function,
               const Connection& connection, RfcConnectionHandle handle);
  void Deliver(const FunctionDef& function, const SystemConfig& system, RfcParameter* importing,
               RfcTable* tables);
  void CallErrorHandler(const std::string& operation);
  // Waits the delay; then, when `step` is the system's hanging step, waits
  // until something outside ends the process.
  void Pause(const SystemConfig* system, std::string_view step = {}) const;
  InternalTable& LiveTable(RfcTableHandle table, std::string_view operation,
                           const std::string& journal_line);

  Landscape landscape_;
  RfcErrorHandler error_handler_ = nullptr;
  LastError last_error_;
  std::map<RfcConnectionHandle, Connection> connections_;
  RfcConnectionHandle next_connection_ = 1;
  TypeHandles types_;
  InternalTables tables_;
  std::string exception_;  // the name the last RfcReceive pointed to
};

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_SIMULATOR_H_
