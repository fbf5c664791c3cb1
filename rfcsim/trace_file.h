// The trace file "Dev_Rfc.Trc" in the working directory, to which the
// library appends the story of every failed open and failed call. The
// default block of a failure (columns count from 1):
//
//   **** ERROR file opened at YYYYMMDD HHMMSS, rfcsim connection N
//   ERROR       <message>                 message from column 13
//   LOCATION    rfcsim system <SID>       ("rfcsim, no system" when none)
//   COMPONENT   <operation>
//   KEY         <key>
//   T:NNNN ======> <message>              "======> " in columns 8 to 15
//
// followed by the system's own trace lines, verbatim. A system may switch
// the default block off and keep only its own lines.
#ifndef KESTRELON_RFCSIM_TRACE_FILE_H_
#define KESTRELON_RFCSIM_TRACE_FILE_H_

#include "rfc/rfc_interface.h"
#include "rfcsim/landscape.h"
#include "rfcsim/last_error.h"

namespace rfcsim {

/// The file name, in the working directory.
inline constexpr const char* kTraceFile = "Dev_Rfc.Trc";

/// Appends the lines of one failure of `system` (nullptr: no system was
/// found) on connection `connection` (0 for an open). A file that cannot be
/// opened loses the lines.
void AppendTrace(const SystemConfig* system, RfcConnectionHandle connection,
                 const LastError& error);

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_TRACE_FILE_H_
