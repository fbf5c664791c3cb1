// Opening the RFC connection to the system of the current profile.
//
// Two ways: when a destination file "SapRfc." + destination lies in the
// working directory, it becomes the library's "SapRfc.ini" and the connection
// is opened with RfcOpenEx and a connect string; otherwise with RfcOpen and
// an options record built from the profile's values.
//
// Many runs may start at once in one working directory (a PRTG probe starts
// its sensors together), and all of them share the one "SapRfc.ini". A run
// that opens through a destination file therefore holds the lock of
// "SapRfc.ini.lock" from before its copy until RfcOpenEx has returned, so
// every RfcOpenEx reads the destinations its own run wrote. Opens through
// RfcOpen leave both files alone and take no lock.
#ifndef KESTRELON_RFC_RFC_CONNECTION_H_
#define KESTRELON_RFC_RFC_CONNECTION_H_

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "base/host_files.h"
#include "base/progress.h"
#include "profile/system_profile.h"
#include "rfc/rfc_library.h"
#include "rfc/run_log.h"

/// The lock file beside "SapRfc.ini" in the working directory; created when
/// missing, never deleted.
inline constexpr std::string_view kConnectionFileLock = "SapRfc.ini.lock";
/// How long a run waits for that lock before its open fails: far longer than
/// the copy and an open take, short beside the time PRTG gives a sensor.
inline constexpr std::chrono::seconds kConnectionFileLockWait{10};

/// The largest destination file that is copied into "SapRfc.ini": 1 MiB.
inline constexpr std::uint64_t kMaxConnectionFileBytes = 1024 * 1024;

/// Private copies of the profile values handed to RfcOpen; the records point
/// into them, so they live as long as the session.
struct OpenOptionTexts {
  FixedText<16> destination;
  FixedText<28> client;
  FixedText<40> user;
  FixedText<12> password;
  FixedText<24> language;
  FixedText<8> mode;
  FixedText<80> host;
  FixedText<52> system_number;
  FixedText<60> gateway_host;
  FixedText<52> gateway_service;
};

/// The RFC side of a run: the library, the connection, the run log and the
/// open records, which every open refills.
struct RfcSession {
  RfcLibrary library;
  RfcConnectionHandle RfcHandle = 0;
  RunLog log;
  OpenOptionTexts texts;
  RfcOpenOptions open_options{};
  RfcServerOptions server_options{};
  RfcGatewayOptions gateway_options{};
};

/// What the connection needs of the run besides the profile values.
struct ConnectionContext {
  const PathMap& paths;
  std::string_view parameter_text;
  std::string_view parameter_keys;
  std::FILE* out;  // the "* SapRfc.Ini" line goes here
  /// Whether that line is printed: only for a person watching the console.
  /// PRTG reads standard output as one XML document, which the line would
  /// break (before the document, or with its "<" inside the one a
  /// multi-system run has opened).
  bool announce_connection_file = false;
  /// Told each step ("RfcOpen"; "SapRfc.ini" for the lock and the copy,
  /// then "RfcOpenEx"), so that a watchdog can name the one that hangs.
  Progress* progress = nullptr;
};

/// Opens the connection and answers its handle; 0 when none was opened
/// (the library refused, the lock of "SapRfc.ini" was not had within
/// kConnectionFileLockWait, "SapRfc.ini" could not be written, or a value
/// does not fit its option text). A destination file larger than
/// kMaxConnectionFileBytes is not copied and nothing is opened; then
/// `*refusal` (when given) gets ConnectionFileTooLarge's message.
RfcConnectionHandle OpenRfcConnection(RfcSession& session, const ConnectionParameters& profile,
                                      const ConnectionContext& context,
                                      std::string* refusal = nullptr);

/// "Error 1113: Destination-File NAME too large...".
std::string ConnectionFileTooLarge(std::string_view file_name);

/// The override value after `key` (",HOST=" or ",NO=") in the parameters: up
/// to the next comma or blank or the end. The key is found in the keys, the
/// value taken from the text at the same position; both must be the same
/// text in two letter cases. nullopt when the key is absent.
std::optional<std::string> OverrideValue(std::string_view parameter_text,
                                         std::string_view parameter_keys, std::string_view key);

/// The system number of a text: the decimal number at its start after
/// leading blanks, 0 when it starts with no digit.
std::int32_t SystemNumber(std::string_view text);

#endif  // KESTRELON_RFC_RFC_CONNECTION_H_
