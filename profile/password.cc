// Password encoding: decoding the stored form, and writing one.

#include "profile/password.h"

#include <bitset>
#include <random>
#include <utility>
#include <vector>

#include "profile/password_key_data.h"

namespace {

bool IsDigit(unsigned char c) { return c >= '0' && c <= '9'; }

/// The value of a header digit; a character that is no digit counts as 0.
std::size_t DigitValue(unsigned char c) { return IsDigit(c) ? c - '0' : 0; }

/// A stored form holds only printable ASCII without the blank, so that it
/// survives the profile line (values are not trimmed) and copying by hand.
bool IsStorable(unsigned char c) { return c >= 0x21 && c <= 0x7E; }

bool InPasswordAlphabet(unsigned char c) {
  return c != '\0' && PasswordAlphabet.find(static_cast<char>(c)) !=
                          std::string_view::npos;
}

/// The body index of clear-text character `position`: the clear text takes
/// the body alternately from the front and the back (body 0, 19, 1, 18, ...,
/// 9, 10), so clear[2j] = body[j] and clear[2j+1] = body[19 - j].
std::size_t BodyIndexOf(std::size_t position) {
  return position % 2 == 0 ? position / 2
                           : kPasswordBodyLength - 1 - position / 2;
}

/// The filler characters: they occur in PasswordAlphabet, so each one enters
/// the checksum and the filler can steer the check digit.
constexpr std::string_view kFillerCharacters =
    "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ";

using Residues = std::bitset<10>;  // last decimal digits of checksums

/// What one key offset allows for one password: the filler characters that
/// stay storable at each clear-text position after the password, and which
/// check digits the checksum can end in.
struct OffsetPlan {
  std::size_t offset = 0;
  std::array<std::vector<char>, kPasswordBodyLength> filler_choices;
  // reachable[k]: last digits of the checksum over the password and the
  // first k filler characters.
  std::array<Residues, kPasswordBodyLength + 1> reachable;
  std::vector<unsigned> check_digits;  // reachable and storable
};

Residues ShiftResidues(Residues residues, unsigned by) {
  Residues shifted;
  for (unsigned r = 0; r < 10; ++r) {
    if (residues[r]) shifted[(r + by) % 10] = true;
  }
  return shifted;
}

/// Plans the filler for key offset `offset`; false when the password itself
/// or some filler position cannot be stored with it, or when no storable
/// check digit is reachable.
bool PlanOffset(std::string_view clear, const PasswordKey& key,
                std::size_t offset,
                const std::vector<unsigned>& storable_checks,
                OffsetPlan& plan) {
  plan.offset = offset;
  for (std::size_t p = 0; p < clear.size(); ++p) {
    const unsigned char stored = static_cast<unsigned char>(clear[p]) ^
                                 key.bytes[offset + BodyIndexOf(p)];
    if (!IsStorable(stored)) return false;
  }
  plan.reachable[0].reset();
  plan.reachable[0][PasswordChecksum(clear) % 10] = true;
  std::size_t k = 0;
  for (std::size_t p = clear.size(); p < kPasswordBodyLength; ++p, ++k) {
    const unsigned char key_byte = key.bytes[offset + BodyIndexOf(p)];
    std::vector<char>& choices = plan.filler_choices[p];
    choices.clear();
    Residues added;  // last digits of the codes of the choices
    for (char c : kFillerCharacters) {
      if (!IsStorable(static_cast<unsigned char>(c) ^ key_byte)) continue;
      choices.push_back(c);
      added[static_cast<unsigned char>(c) % 10] = true;
    }
    if (choices.empty()) return false;
    plan.reachable[k + 1].reset();
    for (unsigned r = 0; r < 10; ++r) {
      if (added[r]) {
        plan.reachable[k + 1] |= ShiftResidues(plan.reachable[k], r);
      }
    }
  }
  plan.check_digits.clear();
  for (unsigned check : storable_checks) {
    if (plan.reachable[k][check]) plan.check_digits.push_back(check);
  }
  return !plan.check_digits.empty();
}

/// The header digits 0 to 9 whose stored character at header position
/// `position` is storable with this key.
std::vector<unsigned> StorableDigits(const PasswordKey& key,
                                     std::size_t position) {
  std::vector<unsigned> digits;
  for (unsigned d = 0; d < 10; ++d) {
    if (IsStorable(static_cast<unsigned char>('0' + d) ^ key.bytes[position])) {
      digits.push_back(d);
    }
  }
  return digits;
}

template <typename T>
const T& PickOne(const std::vector<T>& items, std::mt19937& random) {
  return items[random() % items.size()];
}

std::nullopt_t Refuse(std::string* why_refused, std::string reason) {
  if (why_refused != nullptr) *why_refused = std::move(reason);
  return std::nullopt;
}

}  // namespace

PasswordKey AssemblePasswordKey() {
  // The text is copied into a buffer of 32 characters and a terminator, then
  // the patches replace its decoys. Both are read through volatile pointers
  // so that the compiler cannot fold them into one constant holding the whole
  // key.
  std::array<unsigned char, 33> buffer{};
  const volatile unsigned char* text = kPasswordKeyText;
  for (std::size_t i = 0; i < 32; ++i) buffer[i] = text[i];
  buffer[32] = '\0';
  for (const PasswordKeyPatch& entry : kPasswordKeyPatches) {
    const volatile PasswordKeyPatch* patch = &entry;
    const std::size_t position = patch->position;
    if (position < 32) buffer[position] = patch->value;
  }
  PasswordKey key;
  for (std::size_t i = 0; i < key.bytes.size(); ++i) key.bytes[i] = buffer[i];
  return key;
}

unsigned PasswordChecksum(std::string_view clear_text) {
  unsigned sum = 0;
  for (char c : clear_text) {
    if (InPasswordAlphabet(static_cast<unsigned char>(c))) {
      sum += static_cast<unsigned char>(c);
    }
  }
  return sum;
}

DecodedPassword DecodeProfilePassword(std::string_view stored,
                                      const PasswordKey& key) {
  DecodedPassword result;

  // Header: stored character i with key byte i. A missing character is the
  // zero byte, which is no digit.
  std::array<unsigned char, kPasswordHeaderLength> header{};
  bool header_digits = true;
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (i < stored.size()) {
      header[i] = static_cast<unsigned char>(stored[i]) ^ key.bytes[i];
    }
    if (!IsDigit(header[i])) header_digits = false;
  }
  result.form_ok = stored.size() == kStoredPasswordLength && header_digits;
  const std::size_t offset = DigitValue(header[1]);
  const std::size_t length = DigitValue(header[2]);

  // Body: stored character 4 + i with key byte offset + i; a missing
  // character counts as the zero byte.
  std::array<unsigned char, kPasswordBodyLength> body{};
  for (std::size_t i = 0; i < body.size(); ++i) {
    const std::size_t at = kPasswordHeaderLength + i;
    if (at < stored.size()) {
      body[i] = static_cast<unsigned char>(stored[at]) ^ key.bytes[offset + i];
    }
  }

  // Unshuffle, leaving out zero bytes.
  FixedText<kPasswordBodyLength + 1> clear_text;
  for (std::size_t p = 0; p < kPasswordBodyLength; ++p) {
    const char c = static_cast<char>(body[BodyIndexOf(p)]);
    if (c != '\0') clear_text.AppendCut(std::string_view(&c, 1));
  }

  const unsigned check = PasswordChecksum(clear_text.view()) % 10;
  result.check_ok =
      IsDigit(header[0]) && static_cast<unsigned>(header[0] - '0') == check;
  result.clear.AssignCut(clear_text.view().substr(0, length));
  return result;
}

std::optional<std::string> EncodeProfilePassword(std::string_view clear,
                                                 const PasswordKey& key,
                                                 std::uint32_t seed,
                                                 std::string* why_refused) {
  if (clear.size() > kMaxPasswordLength) {
    return Refuse(why_refused,
                  "the password has " + std::to_string(clear.size()) +
                      " characters; a stored form holds at most " +
                      std::to_string(kMaxPasswordLength));
  }
  for (char c : clear) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) {
      return Refuse(why_refused,
                    "the password holds a control character, DEL or a byte "
                    "above 0x7E; only printable ASCII characters are allowed");
    }
  }
  if (!clear.empty() && (clear.front() == ' ' || clear.back() == ' ')) {
    return Refuse(why_refused,
                  "the password begins or ends with a blank; blanks are "
                  "allowed only inside it");
  }

  const std::string no_form =
      "this key admits no stored form of printable characters for this "
      "password";
  const std::vector<unsigned> checks = StorableDigits(key, 0);
  const std::vector<unsigned> offsets = StorableDigits(key, 1);
  const std::vector<unsigned> lengths = StorableDigits(key, 2);
  const std::vector<unsigned> spares = StorableDigits(key, 3);
  bool length_storable = false;
  for (unsigned n : lengths) length_storable |= n == clear.size();
  if (!length_storable || spares.empty()) return Refuse(why_refused, no_form);

  std::vector<OffsetPlan> plans;
  for (unsigned offset : offsets) {
    OffsetPlan plan;
    if (PlanOffset(clear, key, offset, checks, plan)) {
      plans.push_back(std::move(plan));
    }
  }
  if (plans.empty()) return Refuse(why_refused, no_form);

  std::mt19937 random(seed);
  const OffsetPlan& plan = PickOne(plans, random);
  const unsigned spare = PickOne(spares, random);
  const unsigned check = PickOne(plan.check_digits, random);

  // Choose the filler from the back: at each position take a character that
  // leaves a residue the positions before it can reach, so the checksum ends
  // in `check`.
  std::array<char, kPasswordBodyLength> clear_text{};
  for (std::size_t p = 0; p < clear.size(); ++p) clear_text[p] = clear[p];
  unsigned residue = check;
  for (std::size_t p = kPasswordBodyLength; p-- > clear.size();) {
    const std::size_t k = p - clear.size();  // filler characters before p
    std::vector<char> fitting;
    for (char c : plan.filler_choices[p]) {
      const unsigned before =
          (residue + 10 - static_cast<unsigned char>(c) % 10) % 10;
      if (plan.reachable[k][before]) fitting.push_back(c);
    }
    const char c = PickOne(fitting, random);
    clear_text[p] = c;
    residue = (residue + 10 - static_cast<unsigned char>(c) % 10) % 10;
  }

  std::string stored(kStoredPasswordLength, '\0');
  const unsigned header[kPasswordHeaderLength] = {
      check, static_cast<unsigned>(plan.offset),
      static_cast<unsigned>(clear.size()), spare};
  for (std::size_t i = 0; i < kPasswordHeaderLength; ++i) {
    stored[i] = static_cast<char>(('0' + header[i]) ^ key.bytes[i]);
  }
  for (std::size_t p = 0; p < kPasswordBodyLength; ++p) {
    const std::size_t i = BodyIndexOf(p);
    stored[kPasswordHeaderLength + i] =
        static_cast<char>(static_cast<unsigned char>(clear_text[p]) ^
                          key.bytes[plan.offset + i]);
  }
  return stored;
}
