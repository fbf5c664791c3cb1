// The system profile: a small text file with the logon data of one SAP
// system, one labelled line per value, read into ConnectionParameters.
//
// A labelled line is a 12-character label ("Destination:", "User.......:"),
// one separator character that is skipped whatever it is, and the value from
// character 14 on, cut to its first 60 characters and never trimmed. Other
// lines are ignored. The reader runs in two variants: the strict one (a
// single-system run) stops at the first fault with its message; the listed
// one (each system of a multi-system run) only marks the profile unusable.
#ifndef KESTRELON_PROFILE_SYSTEM_PROFILE_H_
#define KESTRELON_PROFILE_SYSTEM_PROFILE_H_

#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"
#include "base/host_files.h"
#include "profile/password.h"

inline constexpr char kProfileUsable = '.';
inline constexpr char kProfileUnusable = 'X';

/// The current system's logon values. Set to empty texts once at start and
/// overwritten by each profile that holds the label, so a label missing from
/// a later profile of a listing leaves the earlier profile's value in place;
/// only the logon (User, Password) is cleared before each listed profile,
/// so that no system is ever logged on to with another system's logon.
struct ConnectionParameters {
  FixedText<64> Extcompany;
  FixedText<12> Destination;
  FixedText<12> Client;
  FixedText<48> User;
  FixedText<32> Password;
  FixedText<32> Language;
  FixedText<32> Mode;
  FixedText<48> Hostname;
  FixedText<32> Sysnr;
  FixedText<62> Gwhost;
  FixedText<32> Gwservice;
  /// The host shown in the report lines: the profile's until the system
  /// names its own.
  FixedText<48> ReportHost;
  /// kProfileUsable or kProfileUnusable (listed variant).
  char ProfileState = kProfileUsable;
};

enum class ProfileReader { kStrict, kListed };

/// Reads the profile to its end and closes it. Strict: returns the message
/// of the first fault (Errors 1003 to 1007, `profile_name` in the message),
/// nullopt when the profile is usable. Listed: sets ProfileState to "X" on
/// those faults instead and always returns nullopt.
std::optional<std::string> ReadSystemProfile(FilePtr file, ProfileReader variant,
                                             std::string_view profile_name,
                                             const PasswordKey& key,
                                             ConnectionParameters& parameters);

#endif  // KESTRELON_PROFILE_SYSTEM_PROFILE_H_
