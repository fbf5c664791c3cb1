#include "profile/password.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <string_view>

#include "profile/password_key_data.h"

namespace {

using namespace std::literals;

// A key with bytes across the whole range 0..255, for stored forms built by
// hand. The decoder does not care whether a form is printable.
PasswordKey HandKey() {
  PasswordKey key;
  for (std::size_t i = 0; i < key.bytes.size(); ++i) {
    key.bytes[i] = static_cast<unsigned char>(0x9D + 53 * i);
  }
  return key;
}

bool IsAsciiLetterOrDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') ||
         (c >= 'A' && c <= 'Z');
}

// The check digit of a clear text, worked out here on its own: the last
// decimal digit of the sum of the codes of its ASCII letters and digits (of
// every byte but the zero byte, when `count_everything`).
char CheckDigitOf(std::string_view clear_text, bool count_everything = false) {
  unsigned sum = 0;
  for (char c : clear_text) {
    if (IsAsciiLetterOrDigit(c) || (count_everything && c != '\0')) {
      sum += static_cast<unsigned char>(c);
    }
  }
  return static_cast<char>('0' + sum % 10);
}

// Builds a stored form by hand from four decoded header characters and a
// clear text of 20 bytes (zero bytes allowed). A header that starts with '*'
// gets the check digit of the clear text. The clear text is laid into the
// body as clear[2j] = body[j], clear[2j + 1] = body[19 - j], and body byte i
// is combined with key byte offset + i.
std::string HandForm(std::string header, std::size_t offset,
                     std::string_view clear_text, const PasswordKey& key) {
  EXPECT_EQ(header.size(), 4u);
  EXPECT_EQ(clear_text.size(), 20u);
  if (header[0] == '*') header[0] = CheckDigitOf(clear_text);
  char body[20];
  for (std::size_t j = 0; j < 10; ++j) {
    body[j] = clear_text[2 * j];
    body[19 - j] = clear_text[2 * j + 1];
  }
  std::string stored;
  for (std::size_t i = 0; i < 4; ++i) {
    stored += static_cast<char>(header[i] ^ key.bytes[i]);
  }
  for (std::size_t i = 0; i < 20; ++i) {
    stored += static_cast<char>(body[i] ^ key.bytes[offset + i]);
  }
  return stored;
}

bool IsStorable(std::string_view stored) {
  for (char c : stored) {
    if (c < 0x21 || c > 0x7E) return false;
  }
  return true;
}

// Keys for the encoder. Bytes from 0x01 to 0x1F keep every printable
// character printable except two; bytes from 0x40 to 0x5F turn the capitals
// into control characters, so only lower-case letters and digits get through.
PasswordKey ZeroKey() { return PasswordKey{}; }
PasswordKey LowKey() {
  PasswordKey key;
  for (std::size_t i = 0; i < key.bytes.size(); ++i) {
    key.bytes[i] = static_cast<unsigned char>(0x1F - i % 0x1F);
  }
  return key;
}
// Header bytes from 0x10 to 0x19 turn one digit each into a blank: here
// check digit 5, key offset 0 and 4th digit 9 cannot be written.
PasswordKey BlankProneHeaderKey() {
  PasswordKey key = LowKey();
  key.bytes[0] = 0x15;
  key.bytes[1] = 0x10;
  key.bytes[3] = 0x19;
  return key;
}
PasswordKey CapitalHostileKey() {
  PasswordKey key;
  key.bytes = {0x05, 0x0A, 0x0C, 0x03};
  for (std::size_t i = 4; i < key.bytes.size(); ++i) {
    key.bytes[i] = static_cast<unsigned char>(0x40 + (i * 5) % 0x20);
  }
  return key;
}

constexpr std::string_view kFirstClear = "Secret7abcdefghijklm";

TEST(DecodeProfilePasswordTest, HandBuiltForms) {
  static const struct {
    const char* name;
    const char* header;  // '*' first: the check digit of the clear text
    std::size_t offset;
    std::string_view clear_text;  // 20 bytes
    bool form_ok;
    bool check_ok;
    const char* clear;
  } kCases[] = {
      {"seven characters at offset 3", "*370", 3, kFirstClear, true, true,
       "Secret7"},
      {"length 5 takes the first five", "*252", 2, kFirstClear, true, true,
       "Secre"},
      {"length 0 gives an empty password", "*905", 9, kFirstClear, true, true,
       ""},
      {"length 9 with a full clear text", "*091", 0, "NineCharsZYXWVUTSRQP"sv,
       true, true, "NineChars"},
      {"punctuation in the password", "*750", 7, "p@s$!wxyzWXYZ0123456"sv,
       true, true, "p@s$!"},
      {"zero byte in the body is left out", "*641", 6,
       "ab\0cdefghijklmnopqrs"sv, true, true, "abcd"},
      {"clear text shorter than the length", "*190", 1,
       "abc\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"sv, true, true, "abc"},
      {"all body bytes zero", "*090", 0,
       "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0"sv, true, true, ""},
      // A header that is no digit: the form is invalid, yet it is decoded
      // with the character counted as 0.
      {"letter as 4th digit", "*37x", 3, kFirstClear, false, true, "Secret7"},
      {"letter as key offset counts as 0", "*Q70", 0, kFirstClear, false,
       true, "Secret7"},
      {"blank as length counts as 0", "*3 0", 3, kFirstClear, false, true, ""},
      {"letter as check digit never matches", "C370", 3, kFirstClear, false,
       false, "Secret7"},
  };
  const PasswordKey key = HandKey();
  for (const auto& c : kCases) {
    const DecodedPassword decoded =
        DecodeProfilePassword(HandForm(c.header, c.offset, c.clear_text, key),
                              key);
    EXPECT_EQ(decoded.form_ok, c.form_ok) << c.name;
    EXPECT_EQ(decoded.check_ok, c.check_ok) << c.name;
    EXPECT_EQ(decoded.clear.view(), c.clear) << c.name;
  }
}

TEST(DecodeProfilePasswordTest, OnlyTwentyFourCharactersPassTheFormCheck) {
  const PasswordKey key = HandKey();
  const std::string valid = HandForm("*370", 3, kFirstClear, key);
  static const struct {
    const char* name;
    std::size_t keep;          // characters of the valid form kept
    const char* append;        // then appended
    bool form_ok;
    const char* clear_text;    // what the decoder should see of the body
  } kCases[] = {
      {"24 characters", 24, "", true, "Secret7abcdefghijklm"},
      // Only the first 24 characters are decoded.
      {"25 characters (a trailing blank)", 24, " ", false,
       "Secret7abcdefghijklm"},
      {"60 characters", 24, "123456789012345678901234567890123456", false,
       "Secret7abcdefghijklm"},
      // The last stored character is body byte 19, clear character 1.
      {"23 characters", 23, "", false, "Scret7abcdefghijklm"},
      // Body bytes 0 to 9 are clear characters 0, 2, ..., 18.
      {"14 characters", 14, "", false, "Sce7bdfhjl"},
      // Without the length digit the password is empty.
      {"3 characters", 3, "", false, ""},
      {"empty", 0, "", false, ""},
  };
  for (const auto& c : kCases) {
    const std::string stored = valid.substr(0, c.keep) + c.append;
    const DecodedPassword decoded = DecodeProfilePassword(stored, key);
    EXPECT_EQ(decoded.form_ok, c.form_ok) << c.name;
    // The check digit is the one of the whole clear text; without a 1st
    // header character nothing matches.
    EXPECT_EQ(decoded.check_ok,
              c.keep >= 1 && CheckDigitOf(c.clear_text) ==
                                 CheckDigitOf(kFirstClear))
        << c.name;
    EXPECT_EQ(decoded.clear.view(),
              std::string_view(c.clear_text).substr(0, c.keep >= 3 ? 7 : 0))
        << c.name;
  }
}

TEST(DecodeProfilePasswordTest, CheckDigitIsTheLastDigitOfTheChecksum) {
  const PasswordKey key = HandKey();
  const std::size_t offset = 5;
  const std::string valid = HandForm("*580", offset, kFirstClear, key);
  ASSERT_TRUE(DecodeProfilePassword(valid, key).check_ok);
  for (std::size_t i = 0; i < 20; ++i) {
    const char old_char =
        static_cast<char>(valid[4 + i] ^ key.bytes[offset + i]);
    // 'q' and 'r' differ by one, so one of them moves the last digit.
    const char moved = (('q' - old_char) % 10 != 0) ? 'q' : 'r';
    // Ten codes apart: the sum changes but its last digit stays.
    const char kept = static_cast<char>(old_char < 'a' ? old_char + 10
                                                      : old_char - 10);
    std::string stored = valid;
    stored[4 + i] = static_cast<char>(moved ^ key.bytes[offset + i]);
    const DecodedPassword decoded = DecodeProfilePassword(stored, key);
    EXPECT_TRUE(decoded.form_ok) << "body " << i;
    EXPECT_FALSE(decoded.check_ok) << "body " << i << " -> " << moved;
    if (IsAsciiLetterOrDigit(kept)) {
      stored[4 + i] = static_cast<char>(kept ^ key.bytes[offset + i]);
      EXPECT_TRUE(DecodeProfilePassword(stored, key).check_ok)
          << "body " << i << " -> " << kept;
    }
  }
}

TEST(DecodeProfilePasswordTest, OnlyLettersAndDigitsEnterTheChecksum) {
  const PasswordKey key = HandKey();
  static const struct {
    const char* name;
    std::string_view clear_text;
  } kCases[] = {
      {"filler of tildes", "Pass12~~~~~~~~~~~~~~"sv},
      {"filler of mixed punctuation", "Pass12ab!#-+~{}|:;,."sv},
      {"punctuation in the password", "a~b~c~d~efghijklmnop"sv},
      {"bytes above 0x7E", "Pass12\xe9\xe9\xfc\xfdxyz0123456"sv},
  };
  for (const auto& c : kCases) {
    const char letters_and_digits = CheckDigitOf(c.clear_text);
    const char every_byte = CheckDigitOf(c.clear_text, true);
    ASSERT_NE(letters_and_digits, every_byte) << c.name;
    std::string header = "?460";
    header[0] = letters_and_digits;
    EXPECT_TRUE(
        DecodeProfilePassword(HandForm(header, 4, c.clear_text, key), key)
            .check_ok)
        << c.name;
    header[0] = every_byte;
    EXPECT_FALSE(
        DecodeProfilePassword(HandForm(header, 4, c.clear_text, key), key)
            .check_ok)
        << c.name;
  }
}

TEST(PasswordChecksumTest, SumsTheCodesOfLettersAndDigits) {
  static const struct {
    std::string_view text;
    unsigned sum;
  } kCases[] = {
      {""sv, 0},
      {"0"sv, '0'},
      {"9aZ"sv, '9' + 'a' + 'Z'},
      {"a b-c~"sv, 'a' + 'b' + 'c'},
      {"x\0y"sv, 'x' + 'y'},
      {"\x80\xff/:@[`{"sv, 0},  // the neighbours of the digits and letters
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(PasswordChecksum(c.text), c.sum) << '"' << c.text << '"';
  }
}

TEST(EncodeProfilePasswordTest, RoundTripsEveryLength) {
  static const struct {
    const char* key_name;
    PasswordKey (*key)();
    const char* password;  // its prefixes of 0 to 9 characters
  } kCases[] = {
      {"build key", AssemblePasswordKey, "Kestrel42"},
      {"build key", AssemblePasswordKey, "p@$$w0rd!"},
      {"build key", AssemblePasswordKey, "~{|}^_`[]"},
      {"build key", AssemblePasswordKey, "ZZZZZZZZZ"},
      {"zero key", ZeroKey, "Kestrel42"},
      {"zero key", ZeroKey, "!\"#%&'()*"},
      {"low key", LowKey, "Kestrel42"},
      {"low key", LowKey, "?<>/\\=-.,"},
      {"blank-prone header key", BlankProneHeaderKey, "Kestrel42"},
      {"blank-prone header key", BlankProneHeaderKey, "p@$$w0rd!"},
      {"capital-hostile key", CapitalHostileKey, "kestrel42"},
      {"capital-hostile key", CapitalHostileKey, "098765432"},
  };
  static const std::uint32_t kSeeds[] = {0, 1, 7, 12345, 0xFFFFFFFF};
  for (const auto& c : kCases) {
    const PasswordKey key = c.key();
    for (std::size_t n = 0; n <= 9; ++n) {
      const std::string clear = std::string(c.password).substr(0, n);
      for (std::uint32_t seed : kSeeds) {
        SCOPED_TRACE(std::string(c.key_name) + ", \"" + clear + "\", seed " +
                     std::to_string(seed));
        std::string why;
        const std::optional<std::string> stored =
            EncodeProfilePassword(clear, key, seed, &why);
        ASSERT_TRUE(stored.has_value()) << why;
        EXPECT_EQ(stored->size(), kStoredPasswordLength);
        EXPECT_TRUE(IsStorable(*stored)) << *stored;
        const DecodedPassword decoded = DecodeProfilePassword(*stored, key);
        EXPECT_TRUE(decoded.form_ok);
        EXPECT_TRUE(decoded.check_ok);
        EXPECT_EQ(decoded.clear.view(), clear);
      }
    }
  }
}

TEST(EncodeProfilePasswordTest, InnerBlanksRoundTrip) {
  static const char* const kPasswords[] = {"a b", "pass word", "a  b   c"};
  const PasswordKey key = AssemblePasswordKey();
  for (const char* password : kPasswords) {
    const std::optional<std::string> stored =
        EncodeProfilePassword(password, key, 3, nullptr);
    ASSERT_TRUE(stored.has_value()) << '"' << password << '"';
    EXPECT_TRUE(IsStorable(*stored)) << '"' << password << '"';
    EXPECT_EQ(DecodeProfilePassword(*stored, key).clear.view(), password);
  }
}

TEST(EncodeProfilePasswordTest, SeedDecidesTheForm) {
  const PasswordKey key = AssemblePasswordKey();
  std::set<std::string> forms;
  for (std::uint32_t seed = 1; seed <= 20; ++seed) {
    const std::optional<std::string> first =
        EncodeProfilePassword("Secret7", key, seed, nullptr);
    const std::optional<std::string> again =
        EncodeProfilePassword("Secret7", key, seed, nullptr);
    ASSERT_TRUE(first.has_value() && again.has_value()) << "seed " << seed;
    EXPECT_EQ(*first, *again) << "seed " << seed;
    forms.insert(*first);
  }
  // The filler alone has dozens of choices at each of 13 positions.
  EXPECT_GE(forms.size(), 15u);
}

PasswordKey UnprintableLengthKey() {
  PasswordKey key = AssemblePasswordKey();
  key.bytes[2] = 0x80;
  return key;
}

TEST(EncodeProfilePasswordTest, Refusals) {
  static const char kUnprintable[] =
      "the password holds a control character, DEL or a byte above 0x7E; "
      "only printable ASCII characters are allowed";
  static const char kBlankAtEnd[] =
      "the password begins or ends with a blank; blanks are allowed only "
      "inside it";
  static const char kNoForm[] =
      "this key admits no stored form of printable characters for this "
      "password";
  static const struct {
    const char* name;
    std::string_view clear;
    PasswordKey (*key)();
    const char* why;
  } kCases[] = {
      {"ten characters", "abcdefghij"sv, AssemblePasswordKey,
       "the password has 10 characters; a stored form holds at most 9"},
      {"24 characters", "Secret7abcdefghijklm1234"sv, AssemblePasswordKey,
       "the password has 24 characters; a stored form holds at most 9"},
      {"tab", "ab\tcd"sv, AssemblePasswordKey, kUnprintable},
      {"carriage return", "abcd\r"sv, AssemblePasswordKey, kUnprintable},
      {"zero byte", "ab\0cd"sv, AssemblePasswordKey, kUnprintable},
      {"DEL", "ab\x7f"sv, AssemblePasswordKey, kUnprintable},
      {"byte 0x80 and above", "caf\xc3\xa9"sv, AssemblePasswordKey,
       kUnprintable},
      {"leading blank", " abc"sv, AssemblePasswordKey, kBlankAtEnd},
      {"trailing blank", "abc "sv, AssemblePasswordKey, kBlankAtEnd},
      {"only a blank", " "sv, AssemblePasswordKey, kBlankAtEnd},
      {"length digit not printable with this key", "abc"sv,
       UnprintableLengthKey, kNoForm},
      {"capitals not printable with this key", "ABC"sv, CapitalHostileKey,
       kNoForm},
  };
  for (const auto& c : kCases) {
    const PasswordKey key = c.key();
    std::string why;
    EXPECT_FALSE(EncodeProfilePassword(c.clear, key, 1, &why).has_value())
        << c.name;
    EXPECT_EQ(why, c.why) << c.name;
    EXPECT_FALSE(EncodeProfilePassword(c.clear, key, 1, nullptr).has_value())
        << c.name;
  }
}

TEST(AssemblePasswordKeyTest, BuildKeyStoresEveryLengthDigit) {
  const PasswordKey key = AssemblePasswordKey();
  for (int n = 0; n <= 9; ++n) {
    const int stored = ('0' + n) ^ key.bytes[2];
    EXPECT_TRUE(stored >= 0x21 && stored <= 0x7E) << "length digit " << n;
  }
}

TEST(AssemblePasswordKeyTest, TextHidesTheKeyBehindPatches) {
  const PasswordKey key = AssemblePasswordKey();
  std::set<std::size_t> patched;
  for (const PasswordKeyPatch& patch : kPasswordKeyPatches) {
    ASSERT_LT(patch.position, 32u);
    EXPECT_EQ(patch.value, key.bytes[patch.position])
        << "position " << int{patch.position};
    patched.insert(patch.position);
  }
  EXPECT_GE(patched.size(), 10u);
  for (std::size_t i = 0; i < 32; ++i) {
    EXPECT_NE(kPasswordKeyText[i], 0) << "position " << i;
    if (patched.count(i) != 0) {
      EXPECT_NE(kPasswordKeyText[i], key.bytes[i]) << "position " << i;
    } else {
      EXPECT_EQ(kPasswordKeyText[i], key.bytes[i]) << "position " << i;
    }
  }
}

}  // namespace
