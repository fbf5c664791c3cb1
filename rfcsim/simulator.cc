#include "rfcsim/simulator.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>
#include <vector>

#include "rfcsim/checks.h"
#include "rfcsim/destination_file.h"
#include "rfcsim/journal.h"
#include "rfcsim/records.h"
#include "rfcsim/sim_text.h"
#include "rfcsim/trace_file.h"

namespace rfcsim {
namespace {

std::string Number(long long value) { return std::to_string(value); }

// Copies `text` into a fixed-width field of the error record, cut to fit
// and always terminated.
template <std::size_t Width>
void CopyCut(char (&field)[Width], std::string_view text) {
  std::size_t length = std::min(text.size(), Width - 1);
  std::memcpy(field, text.data(), length);
  field[length] = '\0';
}

// The records are written whole, as the real library may write them, so
// that a caller's record of the wrong size shows in a sanitizer build.
void FillErrorInfo(const LastError& error, RfcErrorInfo* info) {
  std::memset(info, 0, sizeof *info);
  CopyCut(info->key, error.key);
  CopyCut(info->status, error.status);
  CopyCut(info->message, error.message);
  CopyCut(info->internal_status, error.internal_status);
}

// The error group of the extended record: the stand-in's own numbers for
// the keys its opens leave (0: no error).
int32_t ErrorGroup(std::string_view key) {
  if (key.empty()) return 0;
  if (key == "RFC_ERROR_COMMUNICATION") return 1;
  if (key == "RFC_ERROR_LOGON_FAILURE") return 2;
  return 3;
}

// The extended record of RfcOpenEx: empty after a successful open, the last
// error's key and message after a failed one.
void FillErrorInfoEx(const LastError* error, RfcErrorInfoEx* info) {
  std::memset(info, 0, sizeof *info);
  if (!error) return;
  info->group = ErrorGroup(error->key);
  CopyCut(info->key, error->key);
  CopyCut(info->message, error->message);
}

std::string TwoDigits(int number) {
  std::string digits = Number(number);
  return digits.size() < 2 ? "0" + digits : digits;
}

std::string_view TextOrEmpty(const char* text) { return text ? text : ""; }

// How a function module's outcome is written in the landscape.
std::string DescribeOutcome(const CallOutcome& outcome) {
  std::string text;
  switch (outcome.kind) {
    case CallOutcome::Kind::kOk:
      return "ok";
    case CallOutcome::Kind::kMissing:
      return "missing";
    case CallOutcome::Kind::kHandler:
      text = "handler";
      break;
    case CallOutcome::Kind::kFailure:
      text = "failure " + Number(outcome.code);
      break;
    case CallOutcome::Kind::kException:
      text = "exception " + outcome.exception;
      break;
  }
  return text + (outcome.on_call ? " on call" : " on receive");
}

// The journal's name for a table handle: its quoted ItCreate name, or null,
// unknown (never issued) or deleted.
std::string TableName(InternalTables& tables, RfcTableHandle handle) {
  if (!handle) return "null";
  const InternalTable* table = tables.Find(handle);
  if (!table) return "unknown";
  return table->live ? QuoteText(table->name) : "deleted";
}

}  // namespace

Simulator& Simulator::Get() {
  static Simulator simulator;
  return simulator;
}

Simulator::Simulator() {
  std::ifstream file(kLandscapeFile, std::ios::binary);
  if (!file) return;
  std::ostringstream text;
  text << file.rdbuf();
  std::string error;
  if (!ParseLandscape(text.str(), &landscape_, &error)) {
    std::cerr << "rfcsim: " << kLandscapeFile << ": " << error << std::endl;
    std::abort();
  }
  EnableJournal(landscape_.journal);
}

// ---- Errors, the handler and the delay.

void Simulator::Fail(std::string_view key, std::string_view status, std::string message,
                     std::string internal_status) {
  last_error_ = LastError{std::string(key), std::string(status), std::move(message),
                          std::move(internal_status)};
}

void Simulator::FailRemote(const SystemConfig* system, RfcConnectionHandle connection,
                           std::string_view key, std::string_view status, std::string message,
                           std::string internal_status) {
  Fail(key, status, std::move(message), std::move(internal_status));
  AppendTrace(system, connection, last_error_);
}

void Simulator::CallErrorHandler(const std::string& operation) {
  if (!error_handler_) return;
  WriteJournal("ErrorHandler operation=" + QuoteText(operation));
  error_handler_(operation.c_str());
}

void Simulator::Pause(const SystemConfig* system, std::string_view step) const {
  int delay = system && system->delay_ms ? *system->delay_ms : landscape_.delay_ms;
  if (delay > 0) std::this_thread::sleep_for(std::chrono::milliseconds(delay));
  if (system == nullptr || step.empty() || system->hang != step) return;
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}

// ---- RfcEnvironment, RfcLastError.

void Simulator::Environment(RfcEnvironmentRecord* environment) {
  if (!environment) {
    WriteJournal("RfcEnvironment record=null -> mismatch");
    ReportMismatch("RfcEnvironment: no environment record");
  }
  WriteJournal(std::string("RfcEnvironment handler=") +
               (environment->error_handler ? "set" : "null") +
               " allocator=" + (environment->allocator ? "set" : "null"));
  error_handler_ = environment->error_handler;
  Pause(nullptr);
}

int Simulator::GetLastError(RfcErrorInfo* error_info) {
  if (!error_info) {
    WriteJournal("RfcLastError record=null -> mismatch");
    ReportMismatch("RfcLastError: no error record");
  }
  FillErrorInfo(last_error_, error_info);
  WriteJournal("RfcLastError -> key=" + QuoteText(last_error_.key));
  Pause(nullptr);
  return 0;
}

// ---- Opening and closing.

Simulator::Target Simulator::FindByHost(const char* host, int sysnr) const {
  Target target;
  target.partner = std::string(TextOrEmpty(host)) + ":sapgw" + TwoDigits(sysnr);
  target.not_found =
      "rfcsim: no system with host " + QuoteText(host) + " and system number " + Number(sysnr);
  if (!host) return target;
  for (const SystemConfig& system : landscape_.systems) {
    if (!system.host.empty() && EqualNoCase(system.host, host) && system.sysnr == sysnr) {
      target.system = &system;
    }
  }
  return target;
}

Simulator::Target Simulator::FindByGateway(const char* gateway_host,
                                           const char* gateway_service) const {
  Target target;
  target.partner =
      std::string(TextOrEmpty(gateway_host)) + ":" + std::string(TextOrEmpty(gateway_service));
  target.not_found = "rfcsim: no system with gateway host " + QuoteText(gateway_host) +
                     " and service " + QuoteText(gateway_service);
  if (!gateway_host || !gateway_service) return target;
  for (const SystemConfig& system : landscape_.systems) {
    if (!system.gateway_host.empty() && EqualNoCase(system.gateway_host, gateway_host) &&
        system.gateway_service == gateway_service) {
      target.system = &system;
    }
  }
  return target;
}

RfcConnectionHandle Simulator::Logon(std::string_view operation, const Target& target,
                                     std::string_view client, std::string_view user,
                                     std::string_view password, bool* call_handler) {
  const SystemConfig* system = target.system;
  const std::string not_reached = "partner '" + target.partner + "' not reached";
  if (!system) {
    FailRemote(nullptr, 0, "RFC_ERROR_COMMUNICATION", operation, not_reached, target.not_found);
    return 0;
  }
  const std::string sid = "rfcsim: system " + system->sid;
  if (system->open == OpenBehaviour::kUnreachable) {
    FailRemote(system, 0, "RFC_ERROR_COMMUNICATION", operation, not_reached,
               sid + " is unreachable");
    return 0;
  }
  client = TrimTrailingBlanks(client);
  user = TrimTrailingBlanks(user);
  password = TrimTrailingBlanks(password);
  if (client != system->client) {
    FailRemote(system, 0, "RFC_ERROR_LOGON_FAILURE", operation,
               "Client " + std::string(client) + " is not available in this system",
               sid + " has client " + system->client);
    return 0;
  }
  if (!EqualNoCase(user, system->user) || password != system->password) {
    FailRemote(system, 0, "RFC_ERROR_LOGON_FAILURE", operation,
               "Name or password is incorrect (repeat logon)",
               sid + " refuses user " + std::string(user) + " with this password");
    return 0;
  }
  if (system->open == OpenBehaviour::kHandler) {
    FailRemote(system, 0, "RFC_ERROR_COMMUNICATION", operation,
               "connection to partner '" + target.partner + "' broken",
               sid + " calls the error handler during the open");
    *call_handler = true;
    return 0;
  }
  RfcConnectionHandle handle = next_connection_++;
  connections_[handle] = Connection{system, {}};
  return handle;
}

RfcConnectionHandle Simulator::Open(RfcOpenOptions* options) {
  if (!options) {
    WriteJournal("RfcOpen options=null -> mismatch");
    ReportMismatch("RfcOpen: no options record");
  }
  std::string line =
      "RfcOpen dest=" + QuoteText(options->destination) + " mode=" + Number(options->mode);
  const RfcServerOptions* server = nullptr;
  const RfcGatewayOptions* gateway = nullptr;
  if (!options->connection) {
    line += " connection=null";
  } else if (options->mode == 0) {
    server = static_cast<const RfcServerOptions*>(options->connection);
    line += " host=" + QuoteText(server->host) + " sysnr=" + Number(server->system_number) +
            " gwhost=" + QuoteText(server->gateway_host) +
            " gwservice=" + QuoteText(server->gateway_service);
  } else if (options->mode == 1) {
    gateway = static_cast<const RfcGatewayOptions*>(options->connection);
    line += " gwhost=" + QuoteText(gateway->gateway_host) +
            " gwservice=" + QuoteText(gateway->gateway_service);
  }
  line += " client=" + QuoteText(options->client) + " user=" + QuoteText(options->user) +
          " password=" + QuoteText(options->password) + " lang=" + QuoteText(options->language) +
          " trace=" + Number(options->trace);

  std::string mismatch;
  if (options->mode != 0 && options->mode != 1) {
    mismatch = "RfcOpen: mode " + Number(options->mode) + " is neither 0 nor 1";
  } else if (!options->connection) {
    mismatch = "RfcOpen: no connection options for mode " + Number(options->mode);
  } else if (!options->destination || !options->client || !options->user || !options->password ||
             !options->language) {
    mismatch = "RfcOpen: destination, client, user, password and language must be texts";
  }
  if (!mismatch.empty()) {
    WriteJournal(line + " -> mismatch");
    ReportMismatch(mismatch);
  }

  Target target = server ? FindByHost(server->host, server->system_number)
                         : FindByGateway(gateway->gateway_host, gateway->gateway_service);
  bool call_handler = false;
  RfcConnectionHandle handle =
      Logon("RfcOpen", target, options->client, options->user, options->password, &call_handler);
  WriteJournal(line + " -> " + Number(handle));
  if (call_handler) CallErrorHandler("RfcOpen");
  Pause(target.system, handle != 0 ? "open" : "");
  return handle;
}

RfcConnectionHandle Simulator::OpenFromDestinationFile(std::string_view connect_string,
                                                       bool* call_handler) {
  constexpr std::string_view kOperation = "RfcOpenEx";
  // The connect string: blank-separated KEY=value words.
  std::map<std::string, std::string> words;
  std::istringstream input{std::string(connect_string)};
  std::string word;
  while (input >> word) {
    std::size_t equals = word.find('=');
    if (equals == std::string::npos) {
      Fail("RFC_ERROR_PROGRAM", kOperation, "invalid connect string: " + word,
           "rfcsim: a word without \"=\" in the connect string");
      return 0;
    }
    std::string key = word.substr(0, equals);
    for (char& c : key) c = AsciiUpper(c);
    words[key] = word.substr(equals + 1);
  }
  const std::string& dest = words["DEST"];
  if (dest.empty()) {
    Fail("RFC_ERROR_PROGRAM", kOperation, "connect string names no DEST",
         "rfcsim: RfcOpenEx opens by DEST only");
    return 0;
  }
  std::ifstream file(kDestinationFile, std::ios::binary);
  if (!file) {
    Fail("RFC_ERROR_PROGRAM", kOperation, "destination " + dest + " not found",
         std::string("rfcsim: no ") + kDestinationFile + " in the working directory");
    return 0;
  }
  std::ostringstream text;
  text << file.rdbuf();
  std::optional<Destination> destination = FindDestination(text.str(), dest);
  if (!destination) {
    Fail("RFC_ERROR_PROGRAM", kOperation, "destination " + dest + " not found",
         std::string("rfcsim: no DEST=") + dest + " in " + kDestinationFile);
    return 0;
  }
  Target target;
  if (!destination->host.empty() && destination->sysnr) {
    target = FindByHost(destination->host.c_str(), *destination->sysnr);
  } else if (!destination->gateway_host.empty() && !destination->gateway_service.empty()) {
    target = FindByGateway(destination->gateway_host.c_str(), destination->gateway_service.c_str());
  } else {
    Fail("RFC_ERROR_PROGRAM", kOperation, "destination " + dest + " names no partner",
         std::string("rfcsim: DEST=") + dest + " in " + kDestinationFile +
             " gives neither ASHOST and SYSNR nor GWHOST and GWSERV");
    return 0;
  }
  return Logon(kOperation, target, words["CLIENT"], words["USER"], words["PASSWD"], call_handler);
}

RfcConnectionHandle Simulator::OpenEx(const char* connect_string, RfcErrorInfoEx* error_info) {
  std::string line = "RfcOpenEx connect=" + QuoteText(connect_string);
  if (!connect_string || !error_info) {
    WriteJournal(line + " -> mismatch");
    ReportMismatch(!connect_string ? "RfcOpenEx: no connect string" : "RfcOpenEx: no error record");
  }
  bool call_handler = false;
  RfcConnectionHandle handle = OpenFromDestinationFile(connect_string, &call_handler);
  FillErrorInfoEx(handle == 0 ? &last_error_ : nullptr, error_info);
  WriteJournal(line + " -> " + Number(handle));
  if (call_handler) CallErrorHandler("RfcOpenEx");
  auto connection = connections_.find(handle);
  Pause(connection == connections_.end() ? nullptr : connection->second.system, "open");
  return handle;
}

Simulator::Connection& Simulator::OpenConnection(RfcConnectionHandle connection,
                                                 std::string_view what,
                                                 const std::string& journal_line) {
  auto found = connections_.find(connection);
  if (found == connections_.end()) {
    WriteJournal(journal_line + " -> mismatch");
    ReportMismatch(std::string(what) + ": connection " + Number(connection) + " is not open");
  }
  return found->second;
}

void Simulator::Close(RfcConnectionHandle connection) {
  const std::string line = "RfcClose handle=" + Number(connection);
  // Closing "no connection" is allowed: a failure report closes handle 0.
  const SystemConfig* system = nullptr;
  if (connection != 0) {
    system = OpenConnection(connection, "RfcClose", line).system;
    connections_.erase(connection);
  }
  WriteJournal(line);
  Pause(system, "close");
}

// ---- Structures.

int Simulator::InstallStructure(const char* name, const RfcTypeElement* elements, uint32_t count,
                                RfcTypeHandle* type_handle) {
  std::string line = "RfcInstallStructure name=" + QuoteText(name) + " rows=" + Number(count);
  std::string mismatch;
  if (!name || !type_handle) {
    mismatch = "RfcInstallStructure: the name and the place of the handle must be given";
  } else {
    mismatch = StructureMismatch(name, elements, count);
  }
  if (!mismatch.empty()) {
    WriteJournal(line + " -> mismatch");
    ReportMismatch(mismatch);
  }
  int result = 0;
  if (landscape_.fail_install.count(name)) {
    Fail("RFC_ERROR_PROGRAM", "RfcInstallStructure " + std::string(name),
         "structure " + std::string(name) + " cannot be installed",
         "rfcsim: fail_install names " + std::string(name));
    result = 1;
    WriteJournal(line + " -> 1");
  } else {
    *type_handle = types_.Issue(name);
    WriteJournal(line + " -> 0 handle=" + Number(*type_handle));
  }
  Pause(nullptr);
  return result;
}

// ---- Remote calls.

int Simulator::FailCall(const CallOutcome& outcome, std::string_view operation,
                        const std::string& function, const Connection& connection,
                        RfcConnectionHandle handle) {
  const std::string status = std::string(operation) + " " + function;
  const std::string internal = "rfcsim: system " + connection.system->sid + ", " + function + ": " +
                               DescribeOutcome(outcome);
  const SystemConfig* system = connection.system;
  switch (outcome.kind) {
    case CallOutcome::Kind::kOk:
      return 0;
    case CallOutcome::Kind::kMissing:
      FailRemote(system, handle, "RFC_ERROR_SYSTEM_FAILURE", status,
                 "Function module \"" + function + "\" not found", internal);
      return 1;
    case CallOutcome::Kind::kHandler:
      FailRemote(system, handle, "RFC_ERROR_COMMUNICATION", status,
                 "connection to partner broken during " + function, internal);
      return 1;
    case CallOutcome::Kind::kException:
      FailRemote(system, handle, "RFC_ERROR_APPLICATION_EXCEPTION", status,
                 "exception " + outcome.exception + " raised by " + function, internal);
      return 2;
    case CallOutcome::Kind::kFailure:
      if (outcome.code == 1) {
        FailRemote(system, handle, "RFC_ERROR_COMMUNICATION", status,
                   "connection to partner broken during " + function, internal);
      } else if (outcome.code == 3) {
        FailRemote(system, handle, "RFC_ERROR_SYSTEM_FAILURE", status,
                   outcome.exception + " raised by " + function, internal);
      } else {
        FailRemote(system, handle, "RFC_ERROR_PROGRAM", status,
                   function + " failed with code " + Number(outcome.code), internal);
      }
      return outcome.code;
  }
  return 1;
}

int Simulator::Call(RfcConnectionHandle connection, const char* function, RfcParameter* exporting,
                    RfcTable* tables) {
  const std::string line = "RfcCall handle=" + Number(connection) +
                           " function=" + QuoteText(function) +
                           " exporting=" + DescribeParameters(exporting, types_) +
                           " tables=" + DescribeTables(tables, types_, tables_);
  if (!function) {
    WriteJournal(line + " -> mismatch");
    ReportMismatch("RfcCall: no function module name");
  }
  const std::string name = function;
  Connection& open = OpenConnection(connection, "RfcCall " + name, line);
  std::string mismatch;
  if (!open.pending_function.empty()) {
    mismatch = "RfcCall " + name + ": connection " + Number(connection) +
               " still waits for RfcReceive of " + open.pending_function;
  }
  const FunctionDef* known = FindFunction(name);
  if (known && mismatch.empty()) mismatch = ParameterMismatch(*known, false, exporting, types_);
  if (known && mismatch.empty())
    mismatch = TableMismatch("RfcCall", *known, tables, types_, tables_);
  if (!mismatch.empty()) {
    WriteJournal(line + " -> mismatch");
    ReportMismatch(mismatch);
  }

  CallOutcome outcome;
  if (auto configured = open.system->outcomes.find(name);
      configured != open.system->outcomes.end()) {
    outcome = configured->second;
  }
  int code = 0;
  if (!known) {
    FailRemote(open.system, connection, "RFC_ERROR_SYSTEM_FAILURE", "RfcCall " + name,
               "Function module \"" + name + "\" not found",
               "rfcsim: system " + open.system->sid + " has no function module " + name);
    code = 1;
  } else if (outcome.kind != CallOutcome::Kind::kOk && outcome.on_call) {
    code = FailCall(outcome, "RfcCall", name, open, connection);
  } else {
    open.pending_function = name;
  }
  WriteJournal(line + " -> " + Number(code));
  const SystemConfig* system = open.system;
  if (code != 0 && outcome.kind == CallOutcome::Kind::kHandler) {
    CallErrorHandler("RfcCall " + name);
  }
  Pause(system, name);
  return code;
}

void Simulator::Deliver(const FunctionDef& function, const SystemConfig& system,
                        RfcParameter* importing, RfcTable* tables) {
  for (RfcParameter* p = importing; p && p->name; ++p) {
    std::string bytes;
    for (const ParameterDef& known : function.importing) {
      if (known.name != p->name) continue;
      if (!known.structure.empty()) {
        bytes = BuildRecord(*FindStructure(known.structure), system);
      } else {
        bytes = BuildValue(*FindSettableValue(known.name), system);
      }
    }
    std::memcpy(p->address, bytes.data(), std::min<std::size_t>(bytes.size(), p->length));
  }
  for (RfcTable* t = tables; t && t->name; ++t) {
    std::vector<std::string> lines;
    if (std::string_view(t->name) == "TF_CPU_ALL") {
      for (int row = 1; row <= system.cpu_rows; ++row) {
        lines.push_back(BuildCpuRow(row, system.cpu_rows));
      }
    }
    InternalTables::Fill(tables_.Find(t->table), lines);
  }
}

int Simulator::Receive(RfcConnectionHandle connection, RfcParameter* importing, RfcTable* tables,
                       char** exception) {
  auto pending = connections_.find(connection);
  const std::string function =
      pending == connections_.end() ? std::string() : pending->second.pending_function;
  const std::string line = "RfcReceive handle=" + Number(connection) +
                           " function=" + QuoteText(function) +
                           " importing=" + DescribeParameters(importing, types_) +
                           " tables=" + DescribeTables(tables, types_, tables_);
  Connection& open = OpenConnection(connection, "RfcReceive", line);
  std::string mismatch;
  if (function.empty()) {
    mismatch = "RfcReceive: connection " + Number(connection) + " has no RfcCall to receive";
  } else if (!exception) {
    mismatch = "RfcReceive " + function + ": no place for the exception name";
  } else {
    const FunctionDef& known = *FindFunction(function);
    mismatch = ParameterMismatch(known, true, importing, types_);
    if (mismatch.empty()) mismatch = TableMismatch("RfcReceive", known, tables, types_, tables_);
  }
  if (!mismatch.empty()) {
    WriteJournal(line + " -> mismatch");
    ReportMismatch(mismatch);
  }

  open.pending_function.clear();
  CallOutcome outcome;
  if (auto configured = open.system->outcomes.find(function);
      configured != open.system->outcomes.end()) {
    outcome = configured->second;
  }
  int code = 0;
  std::string answer;
  if (outcome.kind == CallOutcome::Kind::kOk || outcome.on_call) {
    Deliver(*FindFunction(function), *open.system, importing, tables);
  } else {
    code = FailCall(outcome, "RfcReceive", function, open, connection);
    if (code == 2 || code == 3) {
      exception_ = outcome.exception;
      *exception = exception_.data();
      answer = " exception=" + QuoteText(exception_);
    }
  }
  WriteJournal(line + " -> " + Number(code) + answer);
  const SystemConfig* system = open.system;
  if (code != 0 && outcome.kind == CallOutcome::Kind::kHandler) {
    CallErrorHandler("RfcReceive " + function);
  }
  Pause(system);
  return code;
}

// ---- Internal tables.

InternalTable& Simulator::LiveTable(RfcTableHandle table, std::string_view operation,
                                    const std::string& journal_line) {
  InternalTable* found = table ? tables_.Find(table) : nullptr;
  if (!found || !found->live) {
    WriteJournal(journal_line + " -> mismatch");
    ReportMismatch(std::string(operation) + ": " +
                   (!table  ? std::string("no table handle")
                    : found ? "the table " + found->name + " was deleted"
                            : std::string("a table handle that ItCreate never issued")));
  }
  return *found;
}

RfcTableHandle Simulator::CreateTable(const char* name, uint32_t line_length, uint32_t occupation,
                                      uint32_t memory) {
  const std::string line = "ItCreate name=" + QuoteText(name) + " length=" + Number(line_length) +
                           " occupation=" + Number(occupation) + " memory=" + Number(memory);
  if (!name || line_length == 0) {
    WriteJournal(line + " -> mismatch");
    ReportMismatch("ItCreate: a table needs a name and a line length above 0");
  }
  RfcTableHandle table = nullptr;
  if (landscape_.fail_itcreate.count(name)) {
    Fail("RFC_ERROR_MEMORY_INSUFFICIENT", "ItCreate " + std::string(name),
         "no memory for internal table " + std::string(name),
         "rfcsim: fail_itcreate names " + std::string(name));
  } else {
    table = tables_.Create(name, line_length);
  }
  WriteJournal(line + (table ? " -> ok" : " -> null"));
  Pause(nullptr);
  return table;
}

uint32_t Simulator::TableFill(RfcTableHandle table) {
  const std::string line = "ItFill table=" + TableName(tables_, table);
  const InternalTable& found = LiveTable(table, "ItFill", line);
  WriteJournal(line + " -> " + Number(found.line_count));
  Pause(nullptr);
  return found.line_count;
}

void* Simulator::GetLine(RfcTableHandle table, uint32_t line) {
  const std::string journal_line =
      "ItGetLine table=" + TableName(tables_, table) + " line=" + Number(line);
  InternalTable& found = LiveTable(table, "ItGetLine", journal_line);
  void* address = nullptr;
  const std::string status = "ItGetLine " + found.name;
  const std::string message =
      "line " + Number(line) + " of internal table " + found.name + " cannot be read";
  if (landscape_.fail_itgetline.count(found.name)) {
    Fail("RFC_ERROR_PROGRAM", status, message, "rfcsim: fail_itgetline names " + found.name);
  } else if (line == 0 || line > found.line_count) {
    Fail("RFC_ERROR_PROGRAM", status, message,
         "rfcsim: table " + found.name + " has " + Number(found.line_count) + " lines");
  } else {
    address = found.bytes.data() + static_cast<std::size_t>(line - 1) * found.line_length;
  }
  WriteJournal(journal_line + (address ? " -> ok" : " -> null"));
  Pause(nullptr);
  return address;
}

int Simulator::DeleteTable(RfcTableHandle table) {
  const std::string line = "ItDelete table=" + TableName(tables_, table);
  InternalTable& found = LiveTable(table, "ItDelete", line);
  int result = 0;
  if (landscape_.fail_itdelete.count(found.name)) {
    Fail("RFC_ERROR_PROGRAM", "ItDelete " + found.name,
         "internal table " + found.name + " cannot be deleted",
         "rfcsim: fail_itdelete names " + found.name);
    result = 1;
  } else {
    InternalTables::Delete(&found);
  }
  WriteJournal(line + " -> " + Number(result));
  Pause(nullptr);
  return result;
}

}  // namespace rfcsim
