// The twelve functions of rfc/rfc_interface.h, exported with C linkage and
// the RFC_CALL convention under exactly their names; nothing else of the
// library is visible outside it. Each forwards to the process's Simulator.
#include <type_traits>

#include "rfc/rfc_interface.h"
#include "rfcsim/simulator.h"

#if defined(_WIN32)
#define RFCSIM_EXPORT __declspec(dllexport)
#else
#define RFCSIM_EXPORT __attribute__((visibility("default")))
#endif

using rfcsim::Simulator;

extern "C" {

RFCSIM_EXPORT void RFC_CALL RfcEnvironment(RfcEnvironmentRecord* environment) {
  Simulator::Get().Environment(environment);
}

RFCSIM_EXPORT RfcConnectionHandle RFC_CALL RfcOpen(RfcOpenOptions* options) {
  return Simulator::Get().Open(options);
}

RFCSIM_EXPORT RfcConnectionHandle RFC_CALL RfcOpenEx(const char* connect_string,
                                                     RfcErrorInfoEx* error_info) {
  return Simulator::Get().OpenEx(connect_string, error_info);
}

RFCSIM_EXPORT void RFC_CALL RfcClose(RfcConnectionHandle connection) {
  Simulator::Get().Close(connection);
}

RFCSIM_EXPORT int RFC_CALL RfcLastError(RfcErrorInfo* error_info) {
  return Simulator::Get().GetLastError(error_info);
}

RFCSIM_EXPORT int RFC_CALL RfcInstallStructure(const char* name, const RfcTypeElement* elements,
                                               uint32_t element_count, RfcTypeHandle* type_handle) {
  return Simulator::Get().InstallStructure(name, elements, element_count, type_handle);
}

RFCSIM_EXPORT int RFC_CALL RfcCall(RfcConnectionHandle connection, const char* function,
                                   RfcParameter* exporting, RfcTable* tables) {
  return Simulator::Get().Call(connection, function, exporting, tables);
}

RFCSIM_EXPORT int RFC_CALL RfcReceive(RfcConnectionHandle connection, RfcParameter* importing,
                                      RfcTable* tables, char** exception) {
  return Simulator::Get().Receive(connection, importing, tables, exception);
}

RFCSIM_EXPORT RfcTableHandle RFC_CALL ItCreate(const char* name, uint32_t line_length,
                                               uint32_t occupation, uint32_t memory) {
  return Simulator::Get().CreateTable(name, line_length, occupation, memory);
}

RFCSIM_EXPORT uint32_t RFC_CALL ItFill(RfcTableHandle table) {
  return Simulator::Get().TableFill(table);
}

RFCSIM_EXPORT void* RFC_CALL ItGetLine(RfcTableHandle table, uint32_t line) {
  return Simulator::Get().GetLine(table, line);
}

RFCSIM_EXPORT int RFC_CALL ItDelete(RfcTableHandle table) {
  return Simulator::Get().DeleteTable(table);
}

}  // extern "C"

// Each export has exactly the type the program loads it as.
static_assert(std::is_same_v<decltype(&RfcEnvironment), RfcEnvironmentFunction>);
static_assert(std::is_same_v<decltype(&RfcOpen), RfcOpenFunction>);
static_assert(std::is_same_v<decltype(&RfcOpenEx), RfcOpenExFunction>);
static_assert(std::is_same_v<decltype(&RfcClose), RfcCloseFunction>);
static_assert(std::is_same_v<decltype(&RfcLastError), RfcLastErrorFunction>);
static_assert(std::is_same_v<decltype(&RfcInstallStructure), RfcInstallStructureFunction>);
static_assert(std::is_same_v<decltype(&RfcCall), RfcCallFunction>);
static_assert(std::is_same_v<decltype(&RfcReceive), RfcReceiveFunction>);
static_assert(std::is_same_v<decltype(&ItCreate), ItCreateFunction>);
static_assert(std::is_same_v<decltype(&ItFill), ItFillFunction>);
static_assert(std::is_same_v<decltype(&ItGetLine), ItGetLineFunction>);
static_assert(std::is_same_v<decltype(&ItDelete), ItDeleteFunction>);
