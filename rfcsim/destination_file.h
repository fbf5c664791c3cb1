// The destination file "SapRfc.ini" in the working directory, which
// RfcOpenEx consults for the DEST= of a connect string. Entries are
// "KEY=value" lines; each entry begins with its DEST= line:
//
//   DEST=PRD
//   TYPE=A
//   ASHOST=sapprd01
//   SYSNR=00
//
// An R/2 destination names GWHOST= and GWSERV= instead of ASHOST= and
// SYSNR=. Keys are compared without regard to letter case; lines beginning
// with "*" or "#" are comments; other keys (TYPE=, RFC_TRACE=, ...) are
// ignored.
#ifndef KESTRELON_RFCSIM_DESTINATION_FILE_H_
#define KESTRELON_RFCSIM_DESTINATION_FILE_H_

#include <optional>
#include <string>
#include <string_view>

namespace rfcsim {

/// The file name, in the working directory.
inline constexpr const char* kDestinationFile = "SapRfc.ini";

struct Destination {
  std::string host;             // ASHOST=
  std::optional<int> sysnr;     // SYSNR=, when it is a number from 0 to 99
  std::string gateway_host;     // GWHOST=
  std::string gateway_service;  // GWSERV=
};

/// The entry of destination `name` (compared without regard to letter
/// case) in the text of a destination file; nothing when there is none.
std::optional<Destination> FindDestination(std::string_view file_text, std::string_view name);

}  // namespace rfcsim

#endif  // KESTRELON_RFCSIM_DESTINATION_FILE_H_
