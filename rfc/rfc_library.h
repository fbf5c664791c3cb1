// Loading the RFC library at run time.
//
// The program never links the RFC library: it opens it with the platform's
// loader when the RFC work starts and resolves the twelve functions by name
// into one record of pointers. On a PRTG probe that is SAP's librfc32.dll;
// in tests it is the stand-in library of rfcsim/, with the same interface.
#ifndef KESTRELON_RFC_RFC_LIBRARY_H_
#define KESTRELON_RFC_RFC_LIBRARY_H_

#include <optional>
#include <string>
#include <string_view>

#include "rfc/rfc_interface.h"

/// The functions of a loaded library; all set once loading succeeded.
struct RfcLibrary {
  RfcEnvironmentFunction RfcEnvironment = nullptr;
  RfcOpenFunction RfcOpen = nullptr;
  RfcOpenExFunction RfcOpenEx = nullptr;
  RfcCloseFunction RfcClose = nullptr;
  RfcLastErrorFunction RfcLastError = nullptr;
  RfcInstallStructureFunction RfcInstallStructure = nullptr;
  RfcCallFunction RfcCall = nullptr;
  RfcReceiveFunction RfcReceive = nullptr;
  ItCreateFunction ItCreate = nullptr;
  ItFillFunction ItFill = nullptr;
  ItGetLineFunction ItGetLine = nullptr;
  ItDeleteFunction ItDelete = nullptr;

  bool loaded() const { return RfcEnvironment != nullptr; }
};

/// The library's name when none is requested: "librfc32.dll" on Windows,
/// "librfccm.so" elsewhere.
std::string_view DefaultRfcLibraryName();

/// Loads `requested` (a path), or when it is empty the default library: on
/// Windows through the normal DLL search, which looks in the program's
/// directory first; elsewhere from the program's directory, then through
/// the system search. The library stays loaded until the process ends.
/// Returns the message of the error document when the library or one of its
/// functions is missing, nullopt on success.
std::optional<std::string> LoadRfcLibrary(std::string_view requested, RfcLibrary& library);

#endif  // KESTRELON_RFC_RFC_LIBRARY_H_
