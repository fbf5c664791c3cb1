// Password encoding: the stored form of a profile password.
//
// A system profile holds the SAP password only in a stored form of 24
// characters: a header of four characters and a body of 20, each combined by
// exclusive or with a byte of the 32-byte PasswordKey. Decoded, the header is
// four digits (check digit, key offset, password length, a free digit) and the
// body is a 20-character clear text whose first characters are the password
// and whose rest is filler that only feeds the checksum. DecodeProfilePassword
// recovers the password for the profile reader; EncodeProfilePassword writes
// stored forms for kestrelon-passwd and the tests.
//
// The key and the clear password never go into messages or logs.
#ifndef KESTRELON_PROFILE_PASSWORD_H_
#define KESTRELON_PROFILE_PASSWORD_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/fixed_text.h"

struct PasswordKey {
  std::array<unsigned char, 32> bytes;
};

/// The key of this build, assembled from the build-time constants.
PasswordKey AssemblePasswordKey();

/// Header (4 characters: check digit, key offset, length, free digit) and
/// body (20 characters of clear text).
inline constexpr std::size_t kPasswordHeaderLength = 4;
inline constexpr std::size_t kPasswordBodyLength = 20;
inline constexpr std::size_t kStoredPasswordLength =
    kPasswordHeaderLength + kPasswordBodyLength;
static_assert(kStoredPasswordLength == 24);
/// The length is one header digit.
inline constexpr std::size_t kMaxPasswordLength = 9;
/// The key offset is one header digit too, so the body never reads past the
/// key: 9 + 20 <= 32.
static_assert(9 + kPasswordBodyLength <= sizeof(PasswordKey::bytes));

/// The characters that count for the checksum: the ASCII digits and letters
/// (the digit 0 occurs twice; the text serves only as a set).
inline constexpr std::string_view PasswordAlphabet =
    "01234567890abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

using ClearPassword = FixedText<kMaxPasswordLength + 1>;

struct DecodedPassword {
  bool form_ok = false;   // exactly 24 characters and four decoded header digits
  bool check_ok = false;  // the check digit matched the checksum
  ClearPassword clear;    // the first n characters of the clear text
};

/// Decodes a stored form (the profile value as read, up to 60 characters).
/// A form that fails the form check is still decoded (a header character that
/// is no digit counts as 0; missing body characters, when the text is shorter
/// than 24, count as zero bytes and are left out) because the listed profile
/// reader stores the clear password when the check digit matches. Only the
/// first 24 characters are decoded. A 1st header character that is no digit
/// never matches the checksum, so check_ok is then false.
DecodedPassword DecodeProfilePassword(std::string_view stored,
                                      const PasswordKey& key);

/// The sum of the character codes of the characters of `clear_text` that
/// occur in PasswordAlphabet; its last decimal digit is the check digit.
unsigned PasswordChecksum(std::string_view clear_text);

/// Writes a stored form for `clear` with `key`: 24 characters from 0x21 to
/// 0x7E, which DecodeProfilePassword turns back into `clear` with form_ok and
/// check_ok. `seed` drives the free choices (key offset, 4th header digit,
/// filler), so one seed always gives the same form on every platform.
/// On refusal returns nullopt and, when `why_refused` is not null, sets it to
/// the reason (which names neither the password nor the key). Refused are:
/// more than kMaxPasswordLength characters; a character outside 0x20..0x7E
/// (control characters, DEL, bytes of 0x80 and above); a blank at the start
/// or the end (inner blanks are fine); a password for which this key admits
/// no stored form of printable characters without blanks.
std::optional<std::string> EncodeProfilePassword(std::string_view clear,
                                                 const PasswordKey& key,
                                                 std::uint32_t seed,
                                                 std::string* why_refused);

#endif  // KESTRELON_PROFILE_PASSWORD_H_
