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

/// True when `name` is a file name alone: not empty, not "." or "..", and
/// without '/', '\\' or ':', so that no directory, drive, share or Windows
/// data stream is named. The same on every platform.
bool IsPlainLibraryName(std::string_view name);

/// Loads the library file `requested` (a plain file name), or when it is
/// empty the default library, by its full path in the program's own
/// directory, never through the system's search, the working directory or
/// PATH. On Windows the default library is looked for in the system
/// directory and then the Windows directory when the program's directory has
/// none; the libraries it needs come from beside it and System32. The library
/// stays loaded until the process ends. Returns the message of the error
/// document when the library (also one whose name is not plain) or one of its
/// functions is missing, nullopt on success.
std::optional<std::string> LoadRfcLibrary(std::string_view requested, RfcLibrary& library);

#endif  // KESTRELON_RFC_RFC_LIBRARY_H_
