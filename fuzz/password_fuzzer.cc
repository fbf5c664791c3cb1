// Fuzzes the stored password form with the key of this build and a fixed
// test key: the input decoded as a stored form, and its first nine bytes
// taken as a clear password, encoded and decoded again.
#include "fuzz/fuzz_support.h"
#include "profile/password.h"

namespace {

constexpr PasswordKey kTestKey = {{0x3a, 0x07, 0x51, 0x6c, 0x12, 0x00, 0x7f, 0x25,
                                   0x48, 0x19, 0x63, 0x0e, 0x2d, 0x74, 0x01, 0x5b,
                                   0x36, 0x6e, 0x09, 0x42, 0x1f, 0x70, 0x28, 0x55,
                                   0x0b, 0x67, 0x3c, 0x14, 0x4d, 0x7a, 0x02, 0x31}};

void Check(std::string_view input, const PasswordKey& key) {
  DecodedPassword decoded = DecodeProfilePassword(input, key);
  Require(decoded.clear.size() <= kMaxPasswordLength);
  Require(decoded.clear.view().find('\0') == std::string_view::npos);
  Require(!decoded.form_ok || input.size() == kStoredPasswordLength);

  std::string clear(input.substr(0, kMaxPasswordLength));
  std::uint32_t seed = 0;
  for (char c : input) seed = seed * 31 + static_cast<unsigned char>(c);
  std::optional<std::string> stored = EncodeProfilePassword(clear, key, seed, nullptr);
  if (!stored) return;
  Require(stored->size() == kStoredPasswordLength);
  for (char c : *stored) Require(c >= 0x21 && c <= 0x7e);
  DecodedPassword again = DecodeProfilePassword(*stored, key);
  Require(again.form_ok && again.check_ok && again.clear == clear);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const PasswordKey build_key = AssemblePasswordKey();
  Check(AsText(data, size), build_key);
  Check(AsText(data, size), kTestKey);
  return 0;
}
